// The real game screen in a real window, the limit frame (one screenful of the
// game's grass, fogged and filtered as the scene does it) or a bare window that
// only clears, drawn
// through the game's own shell (GLUT idle and display, buffer swaps) so that the
// figure is what a player's machine does per frame. Run in a virtual X server with
// Mesa's software renderer for the figures of scripts/bench.sh.
//
//   frame_timing game|sound|muted|limit|empty [frames]   (in the build folder, where
//                                                         graphics/ and sounds/ are)
//
// "game" starts a seeded game, plays its first 25 s unseen and then times the
// frames that follow at a fixed step of 1/60 s, so every run draws the same
// mid-game frames whatever the machine's speed. "sound" is the same game heard
// through OpenAL (whichever device ALSOFT_CONF names), "muted" the same again
// with M pressed. "limit" draws the cheapest frame the game could have, from the
// game's opening camera. "empty" only clears. A frame is
// the time from one Draw to the next: update, drawing, swap and event handling.
// With frames 0 it runs until the window is closed, for start-up and memory
// measurements.

#include <GL/gl.h>
// On Windows, gl.h brings in a message box flag with the name of the screens' right button.
#undef MB_RIGHT

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/application.h"
#include "base/random.h"
#include "bench/limit/limit_frame.h"
#include "render/opengl_renderer.h"
#include "ui/game_ui.h"

namespace {
constexpr double STEP = 1.0 / 60;
constexpr unsigned SEED = 2024;
constexpr double PLAYED_UNSEEN = 25.0;  // seconds: holes, cracks, flowers and fire are up
constexpr int WARM_UP_FRAMES = 30;

using Clock = std::chrono::steady_clock;

int framesWanted = 600;
// How the timed game is heard.
enum Hearing { HEARING_NONE, HEARING_SOUND, HEARING_MUTED };
Hearing hearing = HEARING_NONE;
std::vector<double> frameMs;
const char* rendererName = "";

// Counts the frames and ends the loop once enough are timed.
class CFrameClock {
 public:
  void Tick() {
    const Clock::time_point now = Clock::now();
    if (ticks > WARM_UP_FRAMES) {
      frameMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    }
    last = now;
    ++ticks;
    if (ticks == 1) rendererName = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (framesWanted > 0 && static_cast<int>(frameMs.size()) >= framesWanted) {
      CApplication::Instance().LeaveMainLoop();
    }
  }

 private:
  Clock::time_point last;
  int ticks = 0;
};

// The game screen at a fixed step, some way into a seeded game.
class CTimedGame : public CScreen {
 public:
  void Enter() override {
    game.Enter();
    if (hearing == HEARING_MUTED) game.Key('m', true);
    SeedRandom(SEED);
    game.world.Reset(10, 10);
    game.visWorld.Reset();
    game.UpdateViewBasis();
    game.MouseButton(MB_LEFT, true);  // away with the title
    game.MouseButton(MB_LEFT, false);
    for (double t = 0; t < PLAYED_UNSEEN; t += STEP) game.Update(STEP);
  }
  void Reshape(int width, int height) override { game.Reshape(width, height); }
  void MouseMove(double x, double y) override { game.MouseMove(x, y); }
  void MouseButton(int button, bool pressed) override { game.MouseButton(button, pressed); }
  void SpecialKey(int key, bool pressed) override { game.SpecialKey(key, pressed); }
  void Key(int key, bool pressed) override { game.Key(key, pressed); }
  void Draw() override {
    clock.Tick();
    game.Draw();
  }
  void Update(double) override { game.Update(STEP); }
  void Visibility(bool shown) override { game.Visibility(shown); }
  // Frames are what is measured: they come flat out whatever the game does.
  bool Animating() const override { return true; }
  void Touch(int, int, double, double) override {}

 private:
  CGameUI game{CGameUI::MakeOpenGLRenderer, hearing == HEARING_NONE ? CGameUI::MakeSilentSoundSink
                                                                    : CGameUI::MakeSystemSoundSink};
  CFrameClock clock;
};

// A screen that takes no input and has nothing to update: only its frames count.
class CDeafScreen : public CScreen {
 public:
  void MouseMove(double, double) override {}
  void MouseButton(int, bool) override {}
  void SpecialKey(int, bool) override {}
  void Key(int, bool) override {}
  void Update(double) override {}
  void Visibility(bool) override {}
  bool Animating() const override { return true; }
  void Touch(int, int, double, double) override {}
};

// The limit frame, with the visual world of a new game for its camera and grass.
class CLimitScreen : public CDeafScreen {
 public:
  void Enter() override {
    renderer = std::make_shared<COpenGLRenderer>();
    renderer->SetClearColor(0, 0, 0);
    SeedRandom(SEED);
    world.Reset(10, 10);
    vis.Reset();
  }
  void Reshape(int w, int h) override {
    width = w;
    height = h;
  }
  void Draw() override {
    clock.Tick();
    if (width > 0 && height > 0) DrawLimitFrame(*renderer, vis, width, height);
  }

 private:
  std::shared_ptr<CRenderer> renderer;
  CWorld world;
  CVisWorld vis{&world};
  int width = 0, height = 0;
  CFrameClock clock;
};

// A window that only clears.
class CClearScreen : public CDeafScreen {
 public:
  void Enter() override {
    renderer = std::make_shared<COpenGLRenderer>();
    renderer->SetClearColor(0, 0, 0);
  }
  void Reshape(int width, int height) override { renderer->SetViewport(0, 0, width, height); }
  void Draw() override {
    clock.Tick();
    renderer->SetDepthTest(true);
    renderer->Clear();
  }

 private:
  std::shared_ptr<CRenderer> renderer;
  CFrameClock clock;
};

std::shared_ptr<CScreen> MakeTimedGame() {
  return std::make_shared<CTimedGame>();
}

std::shared_ptr<CScreen> MakeLimitScreen() {
  return std::make_shared<CLimitScreen>();
}

std::shared_ptr<CScreen> MakeClearScreen() {
  return std::make_shared<CClearScreen>();
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(share * (values.size() - 1) + 0.5);
  return values[index];
}
}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "sound") == 0) hearing = HEARING_SOUND;
  if (std::strcmp(mode, "muted") == 0) hearing = HEARING_MUTED;
  const bool game = hearing != HEARING_NONE || std::strcmp(mode, "game") == 0;
  const bool limit = std::strcmp(mode, "limit") == 0;
  const bool empty = std::strcmp(mode, "empty") == 0;
  if (!game && !limit && !empty) {
    std::fprintf(stderr, "usage: frame_timing game|sound|muted|limit|empty [frames]\n");
    return 2;
  }
  if (argc > 2) framesWanted = std::max(0, std::atoi(argv[2]));
  const int status = CApplication::Instance().Run(
      1, argv, game ? MakeTimedGame : (limit ? MakeLimitScreen : MakeClearScreen));
  if (status != 0 || frameMs.empty()) return status;
  double sum = 0;
  for (double ms : frameMs) sum += ms;
  std::printf(
      "%s frame: median %.3f ms, mean %.3f ms, 90th percentile %.3f ms over %zu frames (%s)\n",
      hearing == HEARING_SOUND   ? "mid-game, heard"
      : hearing == HEARING_MUTED ? "mid-game, muted"
      : game                     ? "mid-game"
      : limit                    ? "limit"
                                 : "empty",
      Percentile(frameMs, 0.5), sum / frameMs.size(), Percentile(frameMs, 0.9), frameMs.size(),
      rendererName);
  return 0;
}
