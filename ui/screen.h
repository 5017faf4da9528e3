#pragma once

// Mouse buttons as screens see them.
enum ScreenMouseButton { MB_LEFT = 0, MB_MIDDLE = 1, MB_RIGHT = 2 };

// Special (non-character) keys as screens see them. A key the window does not
// know reaches the screen with the windowing library's own value.
enum ScreenSpecialKey {
  SK_F1 = 0,
  SK_F2,
  SK_F3,
  SK_F4,
  SK_F5,
  SK_F6,
  SK_F7,
  SK_F8,
  SK_F9,
  SK_F10,
  SK_F11,
  SK_F12,
  SK_LEFT,
  SK_UP,
  SK_RIGHT,
  SK_DOWN,
  SK_PAGE_UP,
  SK_PAGE_DOWN,
  SK_HOME,
  SK_END,
  SK_INSERT
};

// What a finger on a touch screen did.
enum ScreenTouchPhase { TOUCH_DOWN = 0, TOUCH_MOVE = 1, TOUCH_UP = 2 };

// One screen of the game. The application forwards every window event to the
// screen on top of its stack. The slot order is fixed.
class CScreen {
 public:
  // Once, right after the screen is pushed.
  virtual void Enter() = 0;
  // On every reshape, including the first one when the window is shown.
  virtual void Reshape(int width, int height) = 0;
  // Pointer position 0..1 from the window's bottom-left corner, with or without
  // a button held.
  virtual void MouseMove(double x, double y) = 0;
  virtual void MouseButton(int button, bool pressed) = 0;
  virtual void SpecialKey(int key, bool pressed) = 0;
  // key is the character code 0..255.
  virtual void Key(int key, bool pressed) = 0;
  virtual void Draw() = 0;
  // dt in seconds since the previous update, unclamped.
  virtual void Update(double dt) = 0;
  // The window went out of play (minimised, unmapped, lost the keyboard, or the
  // game stood still for a stall) or came back into play.
  virtual void Visibility(bool shown) = 0;
  // True while the screen changes by itself, so frames must keep coming; false
  // lets the window sleep until an event changes something.
  virtual bool Animating() const = 0;
  // A finger on a touch screen, told apart from the others by its number, at a
  // position 0..1 from the window's bottom-left corner like the pointer's.
  virtual void Touch(int finger, int phase, double x, double y) = 0;

  // Screens are owned through shared pointers; the destructor comes last so the
  // table above keeps its order.
  virtual ~CScreen() = default;
};
