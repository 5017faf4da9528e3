#pragma once

#include <deque>
#include <iosfwd>
#include <memory>
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

  CFrameTimer timer;
  std::deque<std::shared_ptr<CScreen>> screens;
  CWindow window;
  bool failed = false;
  std::string failureText;
};
