#include "app/application.h"

#include <exception>
#include <iostream>

#include "app/error_box.h"

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
    RestartTimer();
    PaceFrames();
    window.MainLoop();
  });
  const int status = ReportFailure(std::cerr);
  if (failed) ShowErrorToPlayer(failureText);
  return status;
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
  const double start = timer.Now();
  const bool reached = Guarded([&] { action(TopScreen()); });
  busyTime += timer.Now() - start;
  return reached;
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

void CApplication::ReleaseHeld() {
  for (int key = 0; key < static_cast<int>(keysDown.size()); ++key) {
    if (!keysDown[key]) continue;
    keysDown[key] = false;
    Deliver([&](CScreen& screen) { screen.Key(key, false); });
  }
  const std::set<int> specials = specialKeysDown;
  specialKeysDown.clear();
  for (int windowKey : specials) {
    Deliver([&](CScreen& screen) { screen.SpecialKey(MapSpecialKey(windowKey), false); });
  }
  for (int button = MB_LEFT; button <= MB_RIGHT; ++button) {
    if (!buttonsDown[button]) continue;
    buttonsDown[button] = false;
    Deliver([&](CScreen& screen) { screen.MouseButton(button, false); });
  }
  const std::map<int, FingerPlace> fingers = fingersDown;
  fingersDown.clear();
  for (const auto& lifted : fingers) {
    const int finger = lifted.first;
    const FingerPlace place = lifted.second;
    Deliver([&](CScreen& screen) { screen.Touch(finger, TOUCH_UP, place.x, place.y); });
  }
}

bool CApplication::TellInPlay() {
  const bool inPlay = visible && focused;
  const auto state = inPlay ? PLAY_IN : PLAY_OUT;
  if (state == toldInPlay) return false;
  toldInPlay = state;
  // Whatever passed while out of play (the window being mapped, a switch of
  // task) is not a frame's worth of game.
  if (inPlay) RestartTimer();
  return Deliver([&](CScreen& screen) { screen.Visibility(inPlay); });
}

void CApplication::RestartTimer() {
  timer.Restart();
  busyTime = 0;
}

void CApplication::PaceFrames() {
  // A window nobody can see has nothing to draw, whatever the screen would do.
  const bool wanted = visible && !failed && !screens.empty() && TopScreen().Animating();
  if (wanted == continuous) return;
  continuous = wanted;
  // The time spent waiting is no frame's step.
  if (continuous) RestartTimer();
  window.SetContinuous(continuous);
}

void CApplication::RedrawIfIdle() {
  PaceFrames();
  if (!continuous && !failed) window.Redraw();
}

bool CApplication::Reshape(int width, int height) {
  window.width = width;
  window.height = height;
  const bool reached = Deliver([&](CScreen& screen) { screen.Reshape(width, height); });
  RedrawIfIdle();
  return reached;
}

// Drawing is not counted as the game's own work: it is where most of a frame's
// time goes, so it is where a stopped process or a sleeping machine usually
// stands still.
bool CApplication::Display() {
  const double busyBefore = busyTime;
  const bool reached = Deliver([](CScreen& screen) { screen.Draw(); });
  busyTime = busyBefore;
  return reached;
}

bool CApplication::Idle() {
  const double dt = timer.TakeDelta();
  // Time the game spent updating or taking input (loading, opening the sound
  // device) makes a slow frame of its own, played as ever; the rest of a long
  // gap is a stall.
  const double away = dt - busyTime;
  busyTime = 0;
  bool reached = false;
  if (away <= LONGEST_FRAME) {
    reached = Deliver([&](CScreen& screen) { screen.Update(dt); });
  } else if (toldInPlay == PLAY_IN) {
    // The stall is not played: a running game comes back paused, as from a
    // window that was away, and the next frame steps from this one.
    reached = Deliver([](CScreen& screen) {
      screen.Visibility(false);
      screen.Visibility(true);
    });
  }
  PaceFrames();
  return reached;
}

bool CApplication::Motion(int x, int y) {
  double nx = 0;
  double ny = 0;
  if (!NormalisePointer(x, y, window.width, window.height, nx, ny)) {
    return false;
  }
  const bool reached = Deliver([&](CScreen& screen) { screen.MouseMove(nx, ny); });
  RedrawIfIdle();
  return reached;
}

bool CApplication::Mouse(int windowButton, int windowState) {
  int button = 0;
  bool pressed = false;
  if (!MapMouseButton(windowButton, windowState, button, pressed)) {
    return false;
  }
  buttonsDown[button] = pressed;
  const bool reached = Deliver([&](CScreen& screen) { screen.MouseButton(button, pressed); });
  RedrawIfIdle();
  return reached;
}

bool CApplication::Touch(int finger, int phase, int x, int y) {
  FingerPlace place;
  const bool known = fingersDown.count(finger) != 0;
  // A finger the screen never heard land has nothing to move or lift.
  if (phase != TOUCH_DOWN && !known) return false;
  if (phase < TOUCH_DOWN || phase > TOUCH_UP) return false;
  // A finger lifted from a window with no size lifts where it was last seen.
  if (!NormalisePointer(x, y, window.width, window.height, place.x, place.y)) {
    if (phase != TOUCH_UP || !known) return false;
    place = fingersDown[finger];
  }
  if (phase == TOUCH_UP) {
    fingersDown.erase(finger);
  } else {
    fingersDown[finger] = place;
  }
  const bool reached =
      Deliver([&](CScreen& screen) { screen.Touch(finger, phase, place.x, place.y); });
  RedrawIfIdle();
  return reached;
}

// A key pressed while the window lacks the keyboard would be released where the
// keyboard is; the window may hear of the press after the focus has gone.
bool CApplication::Keyboard(unsigned char key, bool pressed) {
  if (pressed && !focused) return false;
  keysDown[key] = pressed;
  const bool reached = Deliver([&](CScreen& screen) { screen.Key(key, pressed); });
  RedrawIfIdle();
  return reached;
}

bool CApplication::Special(int windowKey, bool pressed) {
  if (pressed && !focused) return false;
  const int key = MapSpecialKey(windowKey);
  // The window is the shell's: F11 switches it between full screen and the 4:3
  // window here; the screen still hears the key.
  if (key == SK_F11 && pressed && window.IsOpen()) window.ToggleFullScreen();
  if (pressed) {
    specialKeysDown.insert(windowKey);
  } else {
    specialKeysDown.erase(windowKey);
  }
  const bool reached = Deliver([&](CScreen& screen) { screen.SpecialKey(key, pressed); });
  RedrawIfIdle();
  return reached;
}

// Keys and buttons held as the window goes out of play are let go there and
// then: their releases go to whatever window the player turned to, and a screen
// must not be left with a key down that nobody is pressing.
bool CApplication::Visibility(bool shown) {
  visible = shown;
  if (!shown) ReleaseHeld();
  const bool reached = TellInPlay();
  RedrawIfIdle();
  return reached;
}

bool CApplication::Focus(bool hasFocus) {
  focused = hasFocus;
  if (!hasFocus) ReleaseHeld();
  // The window's first showing tells the screen it is in play, after its size.
  if (toldInPlay == PLAY_UNKNOWN) return false;
  const bool reached = TellInPlay();
  RedrawIfIdle();
  return reached;
}
