// The game's window in the browser: the page's canvas with a WebGL 1 context,
// the page's own pointer, key, focus and visibility events, and the browser's
// frame callback as the loop. GLUT is left out: emscripten's reports each pointer
// motion a step late and repeats held keys.
#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstring>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>

#include "app/application.h"
#include "app/error_box.h"
#include "app/window.h"

namespace {
constexpr const char* CANVAS = "#canvas";

// A key as it was reported when pressed: its release is reported the same way,
// whatever Shift did in between.
struct HeldKey {
  bool special = false;
  int key = 0;
};

struct NamedKey {
  const char* name;
  int key;
};

// The page's key names (KeyboardEvent.key) for keys that GLUT reports as
// characters, and its key codes (KeyboardEvent.code) for the special keys.
const NamedKey CHARACTER_KEYS[] = {
    {"Backspace", 8}, {"Tab", 9}, {"Enter", 13}, {"Escape", 27}, {"Delete", 127}};
const NamedKey SPECIAL_KEYS[] = {{"F1", 1},
                                 {"F2", 2},
                                 {"F3", 3},
                                 {"F4", 4},
                                 {"F5", 5},
                                 {"F6", 6},
                                 {"F7", 7},
                                 {"F8", 8},
                                 {"F9", 9},
                                 {"F10", 10},
                                 {"F11", 11},
                                 {"F12", 12},
                                 {"ArrowLeft", WINDOW_KEY_LEFT},
                                 {"ArrowUp", WINDOW_KEY_UP},
                                 {"ArrowRight", WINDOW_KEY_RIGHT},
                                 {"ArrowDown", WINDOW_KEY_DOWN},
                                 {"PageUp", WINDOW_KEY_PAGE_UP},
                                 {"PageDown", WINDOW_KEY_PAGE_DOWN},
                                 {"Home", WINDOW_KEY_HOME},
                                 {"End", WINDOW_KEY_END},
                                 {"Insert", WINDOW_KEY_INSERT},
                                 {"NumLock", WINDOW_KEY_NUM_LOCK},
                                 {"ShiftLeft", WINDOW_KEY_SHIFT_L},
                                 {"ShiftRight", WINDOW_KEY_SHIFT_R},
                                 {"ControlLeft", WINDOW_KEY_CTRL_L},
                                 {"ControlRight", WINDOW_KEY_CTRL_R},
                                 {"AltLeft", WINDOW_KEY_ALT_L},
                                 {"AltRight", WINDOW_KEY_ALT_R},
                                 {"MetaLeft", WINDOW_KEY_SUPER_L},
                                 {"MetaRight", WINDOW_KEY_SUPER_R}};

// Keys whose default action would scroll the page or leave it (F11 is the
// game's own full screen); the game keeps them to itself.
const char* const KEPT_KEYS[] = {"ArrowLeft", "ArrowUp",  "ArrowRight", "ArrowDown", "Space",
                                 "PageUp",    "PageDown", "Home",       "End",       "F11"};

// Keys held now, by the page's key code.
std::map<std::string, HeldKey> heldKeys;
bool sizeChanged = true;
// Frames one after another, or only when an event asks for one.
bool continuous = true;
bool redrawWanted = false;
// The figures the page's tests read: frames drawn, and the last frame's update
// and drawing time in milliseconds (the time to hand the frame to WebGL).
int framesDrawn = 0;
double lastFrameMilliseconds = 0;

bool FindKey(const NamedKey* keys, size_t count, const char* name, int& key) {
  for (size_t i = 0; i < count; ++i) {
    if (std::strcmp(keys[i].name, name) == 0) {
      key = keys[i].key;
      return true;
    }
  }
  return false;
}

// How GLUT would report the key: a special key, a character, or nothing (a dead
// key, a character outside ASCII).
bool KeyOfEvent(const EmscriptenKeyboardEvent& event, HeldKey& held) {
  const size_t specialCount = sizeof SPECIAL_KEYS / sizeof SPECIAL_KEYS[0];
  const size_t characterCount = sizeof CHARACTER_KEYS / sizeof CHARACTER_KEYS[0];
  held.special = FindKey(SPECIAL_KEYS, specialCount, event.code, held.key);
  if (held.special || FindKey(CHARACTER_KEYS, characterCount, event.key, held.key)) return true;
  const unsigned char first = static_cast<unsigned char>(event.key[0]);
  if (first < ' ' || first > '~' || event.key[1] != '\0') return false;
  held.key = first;
  return true;
}

bool KeptKey(const EmscriptenKeyboardEvent& event) {
  for (const char* kept : KEPT_KEYS) {
    if (std::strcmp(kept, event.code) == 0) return true;
  }
  return false;
}

void Report(const HeldKey& held, bool pressed) {
  CApplication& app = CApplication::Instance();
  if (held.special) {
    app.Special(held.key, pressed);
  } else {
    app.Keyboard(static_cast<unsigned char>(held.key), pressed);
  }
}

// A held key repeats in the browser; the game hears one press and one release.
EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  const bool pressed = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  const auto found = heldKeys.find(event->code);
  HeldKey held;
  if (pressed && found == heldKeys.end() && !event->repeat && KeyOfEvent(*event, held)) {
    heldKeys[event->code] = held;
    Report(held, true);
  } else if (!pressed && found != heldKeys.end()) {
    held = found->second;
    heldKeys.erase(found);
    Report(held, false);
  }
  return KeptKey(*event);
}

// Keys let go while the page had no focus never report their release; the shell
// lets go of them for the screen, and here they are forgotten.
void ForgetHeldInput() {
  heldKeys.clear();
}

// A place on the canvas in the page's units, in canvas pixels; false while the
// canvas has no size.
bool CanvasPixel(long targetX, long targetY, int& x, int& y) {
  const CWindow& window = CApplication::Instance().Window();
  double cssWidth = 0;
  double cssHeight = 0;
  emscripten_get_element_css_size(CANVAS, &cssWidth, &cssHeight);
  if (cssWidth <= 0 || cssHeight <= 0) return false;
  x = static_cast<int>(std::floor(targetX * window.width / cssWidth));
  y = static_cast<int>(std::floor(targetY * window.height / cssHeight));
  return true;
}

void MovePointer(long targetX, long targetY) {
  int x = 0;
  int y = 0;
  if (CanvasPixel(targetX, targetY, x, y)) CApplication::Instance().Motion(x, y);
}

EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
  MovePointer(event->targetX, event->targetY);
  if (eventType == EMSCRIPTEN_EVENT_MOUSEDOWN) {
    CApplication::Instance().Mouse(event->button, WINDOW_BUTTON_DOWN);
  } else if (eventType == EMSCRIPTEN_EVENT_MOUSEUP) {
    CApplication::Instance().Mouse(event->button, WINDOW_BUTTON_UP);
  }
  return eventType != EMSCRIPTEN_EVENT_MOUSEMOVE;
}

// Every finger reaches the screen on its own, which makes of them what a player
// means. Taken here, the page neither scrolls nor zooms under them, and the
// browser makes up no mouse events after them.
EM_BOOL OnTouch(int eventType, const EmscriptenTouchEvent* event, void*) {
  int phase = TOUCH_UP;
  if (eventType == EMSCRIPTEN_EVENT_TOUCHSTART) phase = TOUCH_DOWN;
  if (eventType == EMSCRIPTEN_EVENT_TOUCHMOVE) phase = TOUCH_MOVE;
  for (int i = 0; i < event->numTouches; ++i) {
    const EmscriptenTouchPoint& touch = event->touches[i];
    int x = 0;
    int y = 0;
    if (!touch.isChanged || !CanvasPixel(touch.targetX, touch.targetY, x, y)) continue;
    CApplication::Instance().Touch(static_cast<int>(touch.identifier), phase, x, y);
  }
  return true;
}

// A page in a hidden tab draws no frames: its game pauses, so the time away is
// not played. A page that loses the focus hears no keys: it pauses too.
EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  if (event->hidden) ForgetHeldInput();
  CApplication::Instance().Visibility(!event->hidden);
  return false;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
  const bool focused = eventType == EMSCRIPTEN_EVENT_FOCUS;
  if (!focused) ForgetHeldInput();
  CApplication::Instance().Focus(focused);
  return false;
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
  sizeChanged = true;
  return false;
}

EM_BOOL OnFullScreen(int, const EmscriptenFullscreenChangeEvent*, void*) {
  sizeChanged = true;
  return false;
}

// The canvas takes the size the page gives it, in device pixels for a sharp
// picture.
void FollowPageSize() {
  double cssWidth = 0;
  double cssHeight = 0;
  emscripten_get_element_css_size(CANVAS, &cssWidth, &cssHeight);
  const double ratio = emscripten_get_device_pixel_ratio();
  const int width = static_cast<int>(std::lround(cssWidth * ratio));
  const int height = static_cast<int>(std::lround(cssHeight * ratio));
  CApplication& app = CApplication::Instance();
  if (width == app.Window().width && height == app.Window().height) return;
  emscripten_set_canvas_element_size(CANVAS, width, height);
  app.Reshape(width, height);
}

// A failure ends the game's loop; the page shows what was written.
void StopAfterFailure() {
  CApplication& app = CApplication::Instance();
  if (!app.Failed()) return;
  emscripten_cancel_main_loop();
  app.ReportFailure(std::cerr);
  ShowErrorToPlayer(app.FailureText());
}

void Frame() {
  const double start = emscripten_get_now();
  if (sizeChanged) {
    sizeChanged = false;
    FollowPageSize();
  }
  // While nothing moves the browser still calls each frame; only an event's
  // request draws one then.
  CApplication& app = CApplication::Instance();
  bool draw = redrawWanted;
  redrawWanted = false;
  if (continuous) draw = app.Idle() || draw;
  if (draw && app.Display()) {
    lastFrameMilliseconds = emscripten_get_now() - start;
    if (++framesDrawn == 1)
      EM_ASM({
        if (Module.firstFrameDrawn) Module.firstFrameDrawn();
      });
  }
  StopAfterFailure();
}

void ListenToPage() {
  const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(page, nullptr, true, OnKey);
  emscripten_set_keyup_callback(page, nullptr, true, OnKey);
  emscripten_set_mousedown_callback(CANVAS, nullptr, true, OnMouse);
  emscripten_set_mouseup_callback(CANVAS, nullptr, true, OnMouse);
  emscripten_set_mousemove_callback(CANVAS, nullptr, true, OnMouse);
  emscripten_set_touchstart_callback(CANVAS, nullptr, true, OnTouch);
  emscripten_set_touchmove_callback(CANVAS, nullptr, true, OnTouch);
  emscripten_set_touchend_callback(CANVAS, nullptr, true, OnTouch);
  emscripten_set_touchcancel_callback(CANVAS, nullptr, true, OnTouch);
  emscripten_set_blur_callback(page, nullptr, true, OnFocus);
  emscripten_set_focus_callback(page, nullptr, true, OnFocus);
  emscripten_set_visibilitychange_callback(nullptr, true, OnVisibility);
  emscripten_set_resize_callback(page, nullptr, true, OnResize);
  emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, true,
                                           OnFullScreen);
}
}  // namespace

extern "C" {
EMSCRIPTEN_KEEPALIVE int JqFramesDrawn() {
  return framesDrawn;
}

EMSCRIPTEN_KEEPALIVE double JqLastFrameMilliseconds() {
  return lastFrameMilliseconds;
}
}

void CWindow::OpenWindow(int, char**) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  // An opaque picture with a depth buffer and no multisampling, as on the desktop.
  attributes.alpha = false;
  attributes.antialias = false;
  attributes.depth = true;
  attributes.majorVersion = 1;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
      emscripten_webgl_create_context(CANVAS, &attributes);
  if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
    EM_ASM({
      if (Module.noWebGL) Module.noWebGL();
    });
    throw std::runtime_error("WebGL is not available");
  }
  emscripten_set_window_title("Jellyquake");
  width = 0;
  height = 0;
  open = true;
  ListenToPage();
}

// The browser calls each frame; this returns at once and the page lives on.
void CWindow::MainLoop() {
  // The page is shown now, as a window is mapped, unless it opened in a tab
  // behind others.
  EmscriptenVisibilityChangeEvent page;
  const bool hidden =
      emscripten_get_visibility_status(&page) == EMSCRIPTEN_RESULT_SUCCESS && page.hidden;
  CApplication::Instance().Visibility(!hidden);
  emscripten_set_main_loop(Frame, 0, false);
}

void CWindow::SetContinuous(bool frames) {
  continuous = frames;
}

void CWindow::Redraw() {
  redrawWanted = true;
}

void CWindow::ToggleFullScreen() {
  // The page puts itself in full screen, so its corner button stays at hand and
  // the canvas keeps its 4:3 place in it.
  EM_ASM({
    if (Module.toggleFullScreen) Module.toggleFullScreen();
  });
}

void CWindow::LeaveMainLoop() {
  emscripten_cancel_main_loop();
  open = false;
}
