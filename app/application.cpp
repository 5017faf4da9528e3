#include "app/application.h"

#include <exception>
#include <iostream>

CApplication& CApplication::Instance() {
  static CApplication* application = new CApplication;
  return *application;
}

CApplication::CApplication(CFrameTimer::Counter readCounter, std::int64_t ticksPerSecond)
    : timer(readCounter, ticksPerSecond) {}

// Errors raised inside the loop are caught where the callbacks call the screen,
// so they never unwind through the windowing library; they end up here after
// the loop has returned, exactly like errors raised during start-up.
int CApplication::Run(int argc, char** argv, ScreenFactory makeFirstScreen) {
  Guarded([&] {
    window.OpenWindow(argc, argv);
    PushScreen(makeFirstScreen());
    // Loading time must not reach the first frame's dt.
    timer.Restart();
    window.MainLoop();
  });
  return ReportFailure(std::cerr);
}

void CApplication::PushScreen(std::shared_ptr<CScreen> screen) {
  screens.push_back(screen);
  screen->Enter();
}

CScreen& CApplication::TopScreen() {
  return *screens.back();
}

template <typename Action>
bool CApplication::Guarded(Action action) {
  try {
    action();
    return true;
  } catch (const char* text) {
    Fail(text != nullptr ? text : "");
  } catch (const std::string& text) {
    Fail(text);
  } catch (const std::exception& error) {
    Fail(error.what());
  }
  return false;
}

template <typename Action>
bool CApplication::Deliver(Action action) {
  if (failed || screens.empty()) {
    return false;
  }
  return Guarded([&] { action(TopScreen()); });
}

void CApplication::Fail(const std::string& text) {
  // The first failure is the one to report; anything after it is a consequence.
  if (!failed) {
    failed = true;
    failureText = text;
  }
}

int CApplication::ReportFailure(std::ostream& out) const {
  if (!failed) {
    return 0;
  }
  out << failureText << '\n' << std::flush;
  return 1;
}

bool CApplication::Reshape(int width, int height) {
  window.width = width;
  window.height = height;
  return Deliver([&](CScreen& screen) { screen.Reshape(width, height); });
}

bool CApplication::Display() {
  return Deliver([](CScreen& screen) { screen.Draw(); });
}

bool CApplication::Idle() {
  return Deliver([&](CScreen& screen) { screen.Update(timer.TakeDelta()); });
}

bool CApplication::Motion(int x, int y) {
  double nx = 0;
  double ny = 0;
  if (!NormalisePointer(x, y, window.width, window.height, nx, ny)) {
    return false;
  }
  return Deliver([&](CScreen& screen) { screen.MouseMove(nx, ny); });
}

bool CApplication::Mouse(int windowButton, int windowState) {
  int button = 0;
  bool pressed = false;
  if (!MapMouseButton(windowButton, windowState, button, pressed)) {
    return false;
  }
  return Deliver([&](CScreen& screen) { screen.MouseButton(button, pressed); });
}

bool CApplication::Keyboard(unsigned char key, bool pressed) {
  return Deliver([&](CScreen& screen) { screen.Key(key, pressed); });
}

bool CApplication::Special(int windowKey, bool pressed) {
  const int key = MapSpecialKey(windowKey);
  // The window is the shell's: F11 switches it between full screen and the 4:3
  // window here; the screen still hears the key.
  if (key == SK_F11 && pressed && window.IsOpen()) window.ToggleFullScreen();
  return Deliver([&](CScreen& screen) { screen.SpecialKey(key, pressed); });
}

bool CApplication::Visibility(bool shown) {
  return Deliver([&](CScreen& screen) { screen.Visibility(shown); });
}
