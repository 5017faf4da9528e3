#include "app/application.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
// Writes down every call it receives; can be told to raise an error.
class CRecordingScreen : public CScreen {
 public:
  void Enter() override { Log("Enter"); }
  void Reshape(int width, int height) override {
    Log("Reshape " + std::to_string(width) + " " + std::to_string(height));
  }
  void MouseMove(double x, double y) override {
    lastX = x;
    lastY = y;
    Log("MouseMove");
  }
  void MouseButton(int button, bool pressed) override {
    Log("MouseButton " + std::to_string(button) + (pressed ? " down" : " up"));
  }
  void SpecialKey(int key, bool pressed) override {
    Log("SpecialKey " + std::to_string(key) + (pressed ? " down" : " up"));
  }
  void Key(int key, bool pressed) override {
    Log("Key " + std::to_string(key) + (pressed ? " down" : " up"));
    if (onKey) {
      onKey();
    }
  }
  void Draw() override { Log("Draw"); }
  void Update(double dt) override {
    lastDt = dt;
    Log("Update");
  }

  std::vector<std::string> calls;
  double lastX = -1;
  double lastY = -1;
  double lastDt = -1;
  std::function<void()> onKey;
  std::function<void()> raise;

 private:
  void Log(const std::string& call) {
    calls.push_back(call);
    if (raise) {
      raise();
    }
  }
};

std::int64_t ticks = 0;
std::int64_t ReadTicks() {
  return ticks;
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { app.PushScreen(screen); }

  CApplication app{ReadTicks, 1000};
  std::shared_ptr<CRecordingScreen> screen = std::make_shared<CRecordingScreen>();
};

TEST_F(ApplicationTest, PushedScreenIsEnteredAndReceivesEvents) {
  EXPECT_EQ(screen->calls, std::vector<std::string>{"Enter"});
  EXPECT_EQ(&app.TopScreen(), screen.get());
  EXPECT_TRUE(app.Display());
  EXPECT_EQ(screen->calls.back(), "Draw");
}

TEST_F(ApplicationTest, ScreenPushedDuringACallbackGetsTheNextEvent) {
  auto next = std::make_shared<CRecordingScreen>();
  screen->onKey = [&] { app.PushScreen(next); };
  app.Keyboard('n', true);
  EXPECT_EQ(next->calls, std::vector<std::string>{"Enter"});
  app.Keyboard('n', false);
  EXPECT_EQ(next->calls.back(), "Key 110 up");
  EXPECT_EQ(screen->calls.back(), "Key 110 down");
}

TEST_F(ApplicationTest, NoScreenNoDeliveryAndNoFailureReportsNothing) {
  std::ostringstream out;
  EXPECT_EQ(app.ReportFailure(out), 0);
  EXPECT_EQ(out.str(), "");
  CApplication empty{ReadTicks, 1000};
  EXPECT_FALSE(empty.Display());
  EXPECT_FALSE(empty.Idle());
  EXPECT_FALSE(empty.Keyboard('a', true));
}

TEST_F(ApplicationTest, ReshapeKeepsTheSizeThatNormalisesThePointer) {
  app.Reshape(800, 600);
  EXPECT_EQ(screen->calls.back(), "Reshape 800 600");
  ASSERT_TRUE(app.Motion(0, 0));
  EXPECT_DOUBLE_EQ(screen->lastX, 0.000625);
  EXPECT_NEAR(screen->lastY, 0.9991667, 1e-7);

  app.Reshape(640, 480);
  EXPECT_EQ(app.Window().width, 640);
  EXPECT_EQ(app.Window().height, 480);
  ASSERT_TRUE(app.Motion(639, 0));
  EXPECT_NEAR(screen->lastX, 0.9992188, 1e-7);
  EXPECT_NEAR(screen->lastY, 0.9989583, 1e-7);
}

TEST_F(ApplicationTest, MinimisedWindowDropsPointerEvents) {
  app.Reshape(0, 0);
  EXPECT_EQ(screen->calls.back(), "Reshape 0 0");
  EXPECT_FALSE(app.Motion(10, 10));
  EXPECT_EQ(screen->calls.back(), "Reshape 0 0");
  app.Reshape(800, 600);
  EXPECT_TRUE(app.Motion(10, 10));
  EXPECT_EQ(screen->calls.back(), "MouseMove");
}

TEST_F(ApplicationTest, ButtonsAndKeysAreMapped) {
  app.Mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN);
  app.Mouse(GLUT_RIGHT_BUTTON, GLUT_UP);
  EXPECT_FALSE(app.Mouse(3, GLUT_DOWN));
  EXPECT_FALSE(app.Mouse(GLUT_LEFT_BUTTON, 7));
  app.Special(GLUT_KEY_DOWN, true);
  app.Special(109, false);
  app.Keyboard(255, true);
  const std::vector<std::string> expected = {"Enter",
                                             "MouseButton 2 down",
                                             "MouseButton 2 up",
                                             "SpecialKey 15 down",
                                             "SpecialKey 109 up",
                                             "Key 255 down"};
  EXPECT_EQ(screen->calls, expected);
}

TEST_F(ApplicationTest, IdleUpdatesWithTheTimeSinceTheLastFrame) {
  ticks += 40;
  ASSERT_TRUE(app.Idle());
  EXPECT_DOUBLE_EQ(screen->lastDt, 0.04);
  ticks += 16;
  app.Idle();
  EXPECT_DOUBLE_EQ(screen->lastDt, 0.016);
}

// The game's internal error is a plain text; the shell also takes it as a
// standard string or a standard exception.
TEST_F(ApplicationTest, ErrorStopsDeliveryAndIsReportedWithStatusOne) {
  const std::vector<std::function<void()>> raisers = {
      [] { throw "couldn't place a new hole"; },
      [] { throw std::string("couldn't place a new hole"); },
      [] { throw std::runtime_error("couldn't place a new hole"); },
  };
  for (const auto& raise : raisers) {
    CApplication fresh{ReadTicks, 1000};
    auto failing = std::make_shared<CRecordingScreen>();
    fresh.PushScreen(failing);
    failing->raise = raise;
    EXPECT_FALSE(fresh.Idle());
    EXPECT_TRUE(fresh.Failed());
    EXPECT_EQ(fresh.FailureText(), "couldn't place a new hole");

    // Nothing reaches the screen after its error.
    const size_t callsAtFailure = failing->calls.size();
    EXPECT_FALSE(fresh.Display());
    EXPECT_FALSE(fresh.Reshape(10, 10));
    EXPECT_FALSE(fresh.Keyboard('x', true));
    EXPECT_EQ(failing->calls.size(), callsAtFailure);

    std::ostringstream out;
    EXPECT_EQ(fresh.ReportFailure(out), 1);
    EXPECT_EQ(out.str(), "couldn't place a new hole\n");
  }
}

TEST_F(ApplicationTest, FirstErrorIsTheOneReported) {
  screen->raise = [] { throw "first"; };
  app.Display();
  screen->raise = [] { throw "second"; };
  app.Display();
  EXPECT_EQ(app.FailureText(), "first");
}

TEST_F(ApplicationTest, OtherKindsOfErrorAreNotSwallowed) {
  screen->raise = [] { throw 42; };
  EXPECT_THROW(app.Display(), int);
  EXPECT_FALSE(app.Failed());
}
}  // namespace
