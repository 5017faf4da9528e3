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

}  // namespace
