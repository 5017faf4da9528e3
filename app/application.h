#pragma once

#include <bitset>
#include <deque>
#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "app/frame_timer.h"
#include "app/window.h"
#include "ui/screen.h"

// The single application object: the window, the screen stack and the frame
// timer. Window events reach the top screen through the event operations below;
// a failure raised by a screen stops delivery and ends the loop.
class CApplication {
 public:
  // Makes the screen the application starts with.
  using ScreenFactory = std::shared_ptr<CScreen> (*)();

  // Created on first use and never destroyed, so no screen outlives the window
  // by being torn down after it.
  static CApplication& Instance();

  explicit CApplication(CFrameTimer::Counter readCounter = CFrameTimer::PerformanceCounter,
                        std::int64_t ticksPerSecond = CFrameTimer::PerformanceFrequency());

  // The whole life of the game: opens the window, pushes the first screen and
  // runs the loop. Returns the process's exit status: 0 when the window was
  // closed, 1 after the internal error was written on standard error.
  int Run(int argc, char** argv, ScreenFactory makeFirstScreen);

  void PushScreen(std::shared_ptr<CScreen> screen);
  CScreen& TopScreen();

  // Window events. Each returns false when it reached no screen (none pushed,
  // no position to give, an ignored button, or a failure has stopped delivery).
  bool Reshape(int width, int height);
  bool Display();
  bool Idle();
  bool Motion(int x, int y);
  bool Mouse(int windowButton, int windowState);
  bool Keyboard(unsigned char key, bool pressed);
  bool Special(int windowKey, bool pressed);
  bool Visibility(bool shown);
  // A finger landed, moved or lifted at a pixel position (origin top-left); a
  // finger still down when the window goes out of play is lifted there.
  bool Touch(int finger, int phase, int x, int y);
  // The window gained or lost the keyboard.
  bool Focus(bool focused);

  // A gap between frames longer than this, not spent updating, is a stall
  // (the machine slept, the process was stopped, a system menu held the loop):
  // it is not played.
  static constexpr double LONGEST_FRAME = 1.0;
  // True while frames must come one after another; false while the window may
  // wait for events and draw only when one changes something.
  bool Continuous() const { return continuous; }

  // True once a screen raised an error; nothing reaches a screen after that.
  bool Failed() const { return failed; }
  const std::string& FailureText() const { return failureText; }
  // Writes the failure's text and a newline, if there was one; the exit status.
  int ReportFailure(std::ostream& out) const;

  const CWindow& Window() const { return window; }
  // Ends the loop after the event being handled, as closing the window does:
  // Run returns.
  void LeaveMainLoop() { window.LeaveMainLoop(); }

 private:
  // Runs action; the error kinds the game raises are recorded, not propagated.
  template <typename Action>
  bool Guarded(Action action);
  template <typename Action>
  bool Deliver(Action action);
  void Fail(const std::string& text);
  // Everything the screen was told is held down is let go.
  void ReleaseHeld();
  // Tells the screen when the window goes out of play or comes back.
  bool TellInPlay();
  void RestartTimer();
  // Starts or stops the stream of frames as the screen and window need.
  void PaceFrames();
  // After an event that may change the picture, with no frames streaming.
  void RedrawIfIdle();

  CFrameTimer timer;
  std::deque<std::shared_ptr<CScreen>> screens;
  CWindow window;
  bool failed = false;
  std::string failureText;
  // The window can be seen and has the keyboard; the screen was last told
  // whether it is in play (unknown before the first time).
  bool visible = true;
  bool focused = true;
  enum { PLAY_UNKNOWN, PLAY_OUT, PLAY_IN } toldInPlay = PLAY_UNKNOWN;
  bool continuous = true;
  // Seconds spent inside the screen, drawing aside, since the timer last measured a step.
  double busyTime = 0;
  // Keys and buttons the screen has been told are down, as the window numbers them.
  std::bitset<256> keysDown;
  std::set<int> specialKeysDown;
  std::bitset<3> buttonsDown;
  // Fingers the screen has been told are down, each where it was last told of.
  struct FingerPlace {
    double x = 0;
    double y = 0;
  };
  std::map<int, FingerPlace> fingersDown;
};
