#include <emscripten/emscripten.h>

#include "app/error_box.h"

// The page shows the line in place of the game; the console has it from
// standard error.
void ShowErrorToPlayer(const std::string& line) {
  EM_ASM(
      {
        if (Module.gameStopped) Module.gameStopped(UTF8ToString($0));
      },
      line.c_str());
}
