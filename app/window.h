#pragma once

// Where the window goes and how large it is, in screen pixels.
struct WindowPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The largest 4:3 window that fits into 80 % of the screen both ways, centred.
WindowPlacement ComputeWindowPlacement(int screenWidth, int screenHeight);

// Turns a pixel position (origin top-left) into 0..1 with the origin at the
// bottom-left corner, each pixel counted at its centre. False while a side of
// the window is 0 (minimised): there is no position to give.
bool NormalisePointer(int x, int y, int width, int height, double& nx, double& ny);

// Maps a windowing-library button and state to a screen button and pressed
// flag. False for wheel "buttons" and unknown states, which reach no screen.
bool MapMouseButton(int glutButton, int glutState, int& button, bool& pressed);

// Maps a windowing-library special key to a screen key code; keys without a
// code of their own pass through unchanged.
int MapSpecialKey(int glutKey);

// The game's one window, opened through GLUT; its callbacks reach the screens
// through the application object.
class CWindow {
 public:
  // Size computation, GLUT initialisation, window creation, callbacks.
  void OpenWindow(int argc, char** argv);
  // Runs GLUT's loop; returns when the window closes or a failure left the loop.
  void MainLoop();
  // Full screen, or back to the window it was before. The game starts windowed.
  void ToggleFullScreen();
  bool IsOpen() const { return open; }

  // The size computed at creation, then the size of every reshape.
  int width = 0;
  int height = 0;

 private:
  bool open = false;
};
