#include <windows.h>

#include <string>

#include "app/data_folder.h"

namespace {
// Long enough for most paths; a longer one doubles the buffer until it fits.
constexpr DWORD FIRST_PATH_LENGTH = MAX_PATH;

// The full path of the running program, or an empty string if it is unknown.
std::wstring ProgramPath() {
  std::wstring path(FIRST_PATH_LENGTH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    // A path that filled the buffer may have been cut short.
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}
}  // namespace

void EnterDataFolder() {
  const std::wstring program = ProgramPath();
  const std::wstring::size_type separator = program.find_last_of(L"\\/");
  // With no folder to go to, the game stays where it was started and, without
  // its images and sounds, plays on as it does with them missing.
  if (separator == std::wstring::npos) return;
  SetCurrentDirectoryW(program.substr(0, separator + 1).c_str());
}

// Started from inside its zip, the game has no folder beside it.
const char* const MISSING_DATA_TEXT =
    "Jellyquake can't find its graphics folder: extract the whole zip first, then start "
    "the game from the extracted folder";
