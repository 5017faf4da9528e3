#include "app/application.h"
#include "app/data_folder.h"
#include "app/error_box.h"
#include "ui/game_ui.h"

// The shell knows screens, not the game: the game screen is the one it starts with.
namespace {
std::shared_ptr<CScreen> MakeGameScreen() {
  return std::make_shared<CGameUI>(CGameUI::MakeOpenGLRenderer, CGameUI::MakeSystemSoundSink);
}
}  // namespace

int main(int argc, char** argv) {
  EnterDataFolder();
  if (!DataFolderPresent()) {
    ReportError(MISSING_DATA_TEXT);
    return 1;
  }
  // Its images decode while the window opens, which keeps this thread waiting.
  CGameUI::PrefetchFirstFrameImages();
  return CApplication::Instance().Run(argc, argv, MakeGameScreen);
}
