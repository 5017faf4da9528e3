// Where the game's start-up time goes: the real game screen in the game's own
// shell, with the time since main printed at each step up to the third frame.
//
//   startup_probe        (in the build folder, where graphics/ is)
//
// As in the game, the images the first frame shows start decoding on a worker
// before the window opens; entering the game screen uploads them, decoding any
// the worker has not finished itself (the others are read while the title is up).
// The sound device (whichever ALSOFT_CONF names) opens with every sound loaded
// in the first update after the first frame. The first frames (the title over
// the board, as in the game) are slow while Mesa's software renderer compiles
// a shader for each drawing state they use. Last, the first frame's images are
// decoded again on the main thread: the work the worker takes off the start-up.

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/application.h"
#include "render/png_decoder.h"
#include "ui/game_ui.h"

namespace {
using Clock = std::chrono::steady_clock;
const Clock::time_point start = Clock::now();
constexpr int FRAMES = 3;

double SinceStart() {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class CStartupProbe : public CScreen {
 public:
  void Enter() override {
    std::printf("%7.1f ms  window and OpenGL context ready\n", SinceStart());
    const double before = SinceStart();
    game.Enter();
    std::printf("%7.1f ms  game screen entered: %.1f ms, the first frame's images uploaded\n",
                SinceStart(), SinceStart() - before);
  }
  void Reshape(int width, int height) override { game.Reshape(width, height); }
  void MouseMove(double x, double y) override { game.MouseMove(x, y); }
  void MouseButton(int button, bool pressed) override { game.MouseButton(button, pressed); }
  void SpecialKey(int key, bool pressed) override { game.SpecialKey(key, pressed); }
  void Key(int key, bool pressed) override { game.Key(key, pressed); }
  void Visibility(bool shown) override { game.Visibility(shown); }
  bool Animating() const override { return game.Animating(); }
  void Touch(int finger, int phase, double x, double y) override {
    game.Touch(finger, phase, x, y);
  }
  void Draw() override {
    const double before = SinceStart();
    game.Draw();
    glFinish();
    ++frames;
    std::printf("%7.1f ms  frame %d drawn in %.1f ms\n", SinceStart(), frames,
                SinceStart() - before);
    if (frames == FRAMES) {
      TimeDecoding();
      glutLeaveMainLoop();
    }
  }
  void Update(double dt) override {
    const bool soundWasPrepared = game.soundPrepared;
    const double before = SinceStart();
    game.Update(dt);
    if (game.soundPrepared && !soundWasPrepared) {
      std::printf(
          "%7.1f ms  update after frame %d in %.1f ms: sound device opened, every sound "
          "loaded, a waiting image read\n",
          SinceStart(), frames, SinceStart() - before);
    }
  }

 private:
  static void TimeDecoding() {
    const double before = SinceStart();
    for (const std::string& path : CGameUI::FirstFrameImages()) {
      DecodedImage image;
      LoadPngImage(path.c_str(), image);
    }
    std::printf("           the first frame's images decoded on the main thread: %.1f ms\n",
                SinceStart() - before);
  }

  CGameUI game{CGameUI::MakeOpenGLRenderer, CGameUI::MakeSystemSoundSink};
  int frames = 0;
};

std::shared_ptr<CScreen> MakeProbe() {
  return std::make_shared<CStartupProbe>();
}
}  // namespace

int main(int, char** argv) {
  std::printf("%7.1f ms  main\n", SinceStart());
  CGameUI::PrefetchFirstFrameImages();
  return CApplication::Instance().Run(1, argv, MakeProbe);
}
