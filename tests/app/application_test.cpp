// The game's one internal error, raised inside a frame: the shell stops delivering
// to the game and reports the error's text with status 1, whichever way it was
// thrown. Anything else is not swallowed.
#include "app/application.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const INTERNAL_ERROR = "couldn't place a new hole";

// Counts what reaches it and raises whatever it is told to on every call.
class CFailingScreen : public CScreen {
 public:
  void Enter() override {}
  void Reshape(int, int) override { Reached(); }
  void MouseMove(double, double) override { Reached(); }
  void MouseButton(int, bool) override { Reached(); }
  void SpecialKey(int, bool) override { Reached(); }
  void Key(int, bool) override { Reached(); }
  void Draw() override { Reached(); }
  void Update(double) override { Reached(); }
  void Visibility(bool) override { Reached(); }
  bool Animating() const override { return true; }
  void Touch(int, int, double, double) override { Reached(); }

  std::function<void()> raise;
  int calls = 0;

 private:
  void Reached() {
    ++calls;
    if (raise) raise();
  }
};

std::int64_t StillClock() {
  return 0;
}

TEST(Application, TheInternalErrorStopsTheGameAndIsReportedWithStatusOne) {
  const std::vector<std::function<void()>> raisers = {
      [] { throw INTERNAL_ERROR; },
      [] { throw std::string(INTERNAL_ERROR); },
      [] { throw std::runtime_error(INTERNAL_ERROR); },
  };
  for (const auto& raise : raisers) {
    CApplication app{StillClock, 1000};
    auto screen = std::make_shared<CFailingScreen>();
    app.PushScreen(screen);
    screen->raise = raise;
    EXPECT_FALSE(app.Idle());
    ASSERT_TRUE(app.Failed());
    // Nothing more reaches the game once it has failed, and the first error stays.
    screen->raise = [] { throw "a later error"; };
    const int callsAtFailure = screen->calls;
    EXPECT_FALSE(app.Display());
    EXPECT_FALSE(app.Reshape(10, 10));
    EXPECT_FALSE(app.Keyboard('x', true));
    EXPECT_EQ(screen->calls, callsAtFailure);

    std::ostringstream out;
    EXPECT_EQ(app.ReportFailure(out), 1);
    EXPECT_EQ(out.str(), std::string(INTERNAL_ERROR) + "\n");
  }
}

TEST(Application, OtherKindsOfErrorAreNotSwallowed) {
  CApplication app{StillClock, 1000};
  auto screen = std::make_shared<CFailingScreen>();
  app.PushScreen(screen);
  screen->raise = [] { throw 42; };
  EXPECT_THROW(app.Display(), int);
  EXPECT_FALSE(app.Failed());
}

// Writes down what reaches it; its animation is set by the test.
class CRecordingScreen : public CFailingScreen {
 public:
  void MouseButton(int button, bool pressed) override { Log("button", button, pressed); }
  void SpecialKey(int key, bool pressed) override { Log("special", key, pressed); }
  void Key(int key, bool pressed) override { Log("key", key, pressed); }
  void Update(double dt) override {
    log.push_back(Step(dt));
    if (onUpdate) onUpdate();
  }
  void Draw() override {
    if (onDraw) onDraw();
  }
  void Visibility(bool shown) override { log.push_back(shown ? "shown" : "hidden"); }
  bool Animating() const override { return animating; }
  void Touch(int finger, int phase, double, double) override {
    Log("finger", finger, phase != TOUCH_UP);
  }
  static std::string Step(double dt) { return "update " + std::to_string(dt); }

  std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
  bool animating = true;
  std::function<void()> onUpdate;
  std::function<void()> onDraw;

 private:
  void Log(const char* what, int code, bool pressed) {
    log.push_back(what + (" " + std::to_string(code)) + (pressed ? " down" : " up"));
  }
  std::vector<std::string> log;
};
const auto Step = CRecordingScreen::Step;
using Log = std::vector<std::string>;

// A clock the tests move by hand, in milliseconds.
std::int64_t now = 0;
std::int64_t HandClock() {
  return now;
}

struct ShellFixture : ::testing::Test {
  ShellFixture() {
    now = 0;
    app.PushScreen(screen);
    app.Visibility(true);
    screen->TakeLog();
  }
  CApplication app{HandClock, 1000};
  std::shared_ptr<CRecordingScreen> screen = std::make_shared<CRecordingScreen>();
};

TEST_F(ShellFixture, LosingTheKeyboardLetsGoOfWhatIsHeldThenGoesOutOfPlayOnce) {
  app.Keyboard('a', true);
  app.Special(WINDOW_KEY_LEFT, true);
  app.Mouse(WINDOW_BUTTON_RIGHT, WINDOW_BUTTON_DOWN);
  app.Keyboard('b', true);
  app.Keyboard('b', false);  // let go already: not again
  app.Reshape(100, 100);
  app.Touch(7, TOUCH_DOWN, 10, 10);
  app.Touch(8, TOUCH_DOWN, 20, 20);
  app.Touch(8, TOUCH_UP, 20, 20);
  // A finger that never landed has nothing to move.
  EXPECT_FALSE(app.Touch(9, TOUCH_MOVE, 5, 5));
  screen->TakeLog();
  app.Focus(false);
  EXPECT_EQ(screen->TakeLog(),
            (Log{"key 97 up", "special 12 up", "button 2 up", "finger 7 up", "hidden"}));
  // A press heard after the keyboard went would never see its release.
  app.Special(WINDOW_KEY_UP, true);
  // Hidden as well, and shown again without the keyboard: still out of play.
  app.Visibility(false);
  app.Visibility(true);
  EXPECT_EQ(screen->TakeLog(), Log{});
  app.Focus(true);
  EXPECT_EQ(screen->TakeLog(), Log{"shown"});
  // A window minimised lets go of its keys the same way.
  app.Special(WINDOW_KEY_DOWN, true);
  app.Visibility(false);
  EXPECT_EQ(screen->TakeLog(), (Log{"special 15 down", "special 15 up", "hidden"}));
}

TEST_F(ShellFixture, AGapOfMoreThanASecondIsNotPlayedAndTheNextStepIsOrdinary) {
  now += 500;
  app.Idle();
  now += 1000;
  app.Idle();
  EXPECT_EQ(screen->TakeLog(), (Log{Step(0.5), Step(1.0)}));
  now += 3000;
  EXPECT_TRUE(app.Idle());
  now += 20;
  app.Idle();
  EXPECT_EQ(screen->TakeLog(), (Log{"hidden", "shown", Step(0.02)}));
  // A slow frame of the game's own (loading, a sound device opening) is played.
  screen->onUpdate = [] { now += 1500; };
  now += 20;
  app.Idle();
  screen->onUpdate = nullptr;
  now += 20;
  app.Idle();
  EXPECT_EQ(screen->TakeLog(), (Log{Step(0.02), Step(1.52)}));
  // Stopped while drawing, where a frame's time mostly goes, it is a stall again.
  screen->onDraw = [] { now += 3000; };
  app.Display();
  app.Idle();
  EXPECT_EQ(screen->TakeLog(), (Log{"hidden", "shown"}));
}

TEST_F(ShellFixture, FramesStreamOnlyWhileTheScreenMovesAndTheWindowShows) {
  EXPECT_TRUE(app.Continuous());
  screen->animating = false;
  app.Keyboard('p', true);
  EXPECT_FALSE(app.Continuous());
  // Minutes pass waiting for the player, who then goes on: the wait is no step.
  now += 300000;
  screen->animating = true;
  app.Keyboard('p', false);
  EXPECT_TRUE(app.Continuous());
  now += 16;
  app.Idle();
  EXPECT_EQ(screen->TakeLog().back(), Step(0.016));
  // A hidden window draws nothing, whatever the screen does.
  app.Visibility(false);
  EXPECT_FALSE(app.Continuous());
  app.Visibility(true);
  EXPECT_TRUE(app.Continuous());
}

TEST(Window, OpenGLVersionsAndExtensionNamesAreReadWhole) {
  EXPECT_TRUE(OpenGLVersionAtLeast("1.2 Mesa 22.3.6", 1, 2));
  EXPECT_TRUE(OpenGLVersionAtLeast("4.6.0 NVIDIA 535.54", 1, 2));
  EXPECT_FALSE(OpenGLVersionAtLeast("1.1.0", 1, 2));
  EXPECT_FALSE(OpenGLVersionAtLeast(nullptr, 1, 2));
  const char* extensions = "GLX_EXT_swap_control_tear GLX_SGI_swap_control";
  EXPECT_FALSE(HasExtension(extensions, "GLX_EXT_swap_control"));
  EXPECT_TRUE(HasExtension(extensions, "GLX_SGI_swap_control"));
  EXPECT_FALSE(HasExtension(extensions, "GLX_SGI"));
}

}  // namespace
