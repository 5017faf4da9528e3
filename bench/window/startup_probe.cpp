// Where the game's start-up time goes: the real game screen in the game's own
// shell, with the time since main printed at each step up to the third frame.
//
//   startup_probe        (in the build folder, where graphics/ is)
//
// Entering the game screen loads the images the first frame shows (the others
// are read while the title is up) and opens the sound device (whichever
// ALSOFT_CONF names) with every sound; the sound's share is timed on its own first,
// the visual world's share afterwards (its images are then read a second time, so
// the file cache is warm for it). The first frames (the title over the board, as
// in the game) are slow while Mesa's software renderer compiles a shader for each
// drawing state they use.

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "app/application.h"
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
    double before = SinceStart();
    CGameUI::MakeOpenALSoundSink().reset();
    std::printf("           sound device opened, every sound loaded, device closed: %.1f ms\n",
                SinceStart() - before);
    before = SinceStart();
    game.Enter();
    const double entered = SinceStart();
    std::printf("%7.1f ms  game screen entered: %.1f ms, the first frame's images loaded\n",
                entered, entered - before);
    game.visWorld.Reset();
    std::printf(
        "           of which the visual world's images about %.1f ms, the interface's the rest\n",
        SinceStart() - entered);
  }
  void Reshape(int width, int height) override { game.Reshape(width, height); }
  void MouseMove(double x, double y) override { game.MouseMove(x, y); }
  void MouseButton(int button, bool pressed) override { game.MouseButton(button, pressed); }
  void SpecialKey(int key, bool pressed) override { game.SpecialKey(key, pressed); }
  void Key(int key, bool pressed) override { game.Key(key, pressed); }
  void Draw() override {
    const double before = SinceStart();
    game.Draw();
    glFinish();
    ++frames;
    std::printf("%7.1f ms  frame %d drawn in %.1f ms\n", SinceStart(), frames,
                SinceStart() - before);
    if (frames == FRAMES) glutLeaveMainLoop();
  }
  void Update(double dt) override { game.Update(dt); }

 private:
  CGameUI game{CGameUI::MakeOpenGLRenderer, CGameUI::MakeOpenALSoundSink};
  int frames = 0;
};

std::shared_ptr<CScreen> MakeProbe() {
  return std::make_shared<CStartupProbe>();
}
}  // namespace

int main(int, char** argv) {
  std::printf("%7.1f ms  main\n", SinceStart());
  return CApplication::Instance().Run(1, argv, MakeProbe);
}
