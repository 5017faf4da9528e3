#pragma once

// Where the window goes and how large it is, in screen pixels.
struct WindowPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Buttons, button states and special keys as every platform's window reports
// them to the application: GLUT's numbering, so that one mapping to the
// screens' codes serves all platforms.
enum WindowButton { WINDOW_BUTTON_LEFT = 0, WINDOW_BUTTON_MIDDLE = 1, WINDOW_BUTTON_RIGHT = 2 };
enum WindowButtonState { WINDOW_BUTTON_DOWN = 0, WINDOW_BUTTON_UP = 1 };
enum WindowKey {
  WINDOW_KEY_F1 = 1,
  WINDOW_KEY_F12 = 12,
  WINDOW_KEY_LEFT = 100,
  WINDOW_KEY_UP,
  WINDOW_KEY_RIGHT,
  WINDOW_KEY_DOWN,
  WINDOW_KEY_PAGE_UP,
  WINDOW_KEY_PAGE_DOWN,
  WINDOW_KEY_HOME,
  WINDOW_KEY_END,
  WINDOW_KEY_INSERT,
  // Keys without a screen code of their own, which reach the screen as they are.
  WINDOW_KEY_NUM_LOCK,
  WINDOW_KEY_BEGIN,
  WINDOW_KEY_DELETE,
  WINDOW_KEY_SHIFT_L,
  WINDOW_KEY_SHIFT_R,
  WINDOW_KEY_CTRL_L,
  WINDOW_KEY_CTRL_R,
  WINDOW_KEY_ALT_L,
  WINDOW_KEY_ALT_R,
  WINDOW_KEY_SUPER_L,
  WINDOW_KEY_SUPER_R
};

// The largest 4:3 window that fits into 80 % of the screen both ways, centred.
WindowPlacement ComputeWindowPlacement(int screenWidth, int screenHeight);

// Turns a pixel position (origin top-left) into 0..1 with the origin at the
// bottom-left corner, each pixel counted at its centre. False while a side of
// the window is 0 (minimised): there is no position to give.
bool NormalisePointer(int x, int y, int width, int height, double& nx, double& ny);

// Maps a window button and state to a screen button and pressed flag. False for
// wheel "buttons" and unknown states, which reach no screen.
bool MapMouseButton(int windowButton, int windowState, int& button, bool& pressed);

// Maps a window special key to a screen key code; keys without a code of their
// own pass through unchanged.
int MapSpecialKey(int windowKey);

// What the game says, and ends with, on an OpenGL older than it needs.
extern const char* const OPENGL_TOO_OLD;

// True if the version string of an OpenGL context ("1.1 Mesa 22.3.6",
// "4.6.0 NVIDIA ...") names major.minor or later; false for none at all.
bool OpenGLVersionAtLeast(const char* version, int major, int minor);

// True if the space-separated extension list names the extension exactly.
bool HasExtension(const char* extensions, const char* name);

// The game's one window: GLUT's on Linux, the system's own on Windows. Its
// events reach the screens through the application object.
class CWindow {
 public:
  // Size computation, window and OpenGL context creation, event handlers.
  void OpenWindow(int argc, char** argv);
  // Runs the event loop; returns when the window closes or a failure left the loop.
  void MainLoop();
  // Leaves the loop after the event being handled, as closing the window does.
  void LeaveMainLoop();
  // Full screen, or back to the window it was before. The game starts windowed.
  void ToggleFullScreen();
  bool IsOpen() const { return open; }
  // Frames one after another (true), or none until an event asks for one.
  void SetContinuous(bool continuous);
  // One frame is drawn as soon as the events waiting are handled.
  void Redraw();

  // The size computed at creation, then the size of every reshape.
  int width = 0;
  int height = 0;

 private:
  bool open = false;
};
