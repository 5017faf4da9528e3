#include "app/window.h"

#include <cstdio>
#include <cstring>

#include "ui/screen.h"

const char* const OPENGL_TOO_OLD =
    "Jellyquake needs OpenGL 1.2 or later: please install the graphics card's driver";

namespace {
// The window takes at most this share of the screen in each direction.
constexpr double SCREEN_SHARE = 0.8;
// Height over width of the window.
constexpr double ASPECT = 0.75;
}  // namespace

WindowPlacement ComputeWindowPlacement(int screenWidth, int screenHeight) {
  const double a = SCREEN_SHARE * screenWidth;
  const double b = SCREEN_SHARE * screenHeight;
  WindowPlacement placement;
  if (ASPECT * a > b) {
    // The screen is wider than 4:3: the height is the limit.
    placement.height = static_cast<int>(b + 0.5);
    placement.width = (4 * placement.height) / 3;
  } else {
    placement.width = static_cast<int>(a + 0.5);
    placement.height = (3 * placement.width) / 4;
  }
  placement.x = screenWidth / 2 - placement.width / 2;
  placement.y = screenHeight / 2 - placement.height / 2;
  return placement;
}

bool NormalisePointer(int x, int y, int width, int height, double& nx, double& ny) {
  if (width <= 0 || height <= 0) {
    return false;
  }
  nx = (x + 0.5) / width;
  ny = 1 - (y + 0.5) / height;
  return true;
}

bool MapMouseButton(int windowButton, int windowState, int& button, bool& pressed) {
  switch (windowButton) {
    case WINDOW_BUTTON_LEFT:
      button = MB_LEFT;
      break;
    case WINDOW_BUTTON_MIDDLE:
      button = MB_MIDDLE;
      break;
    case WINDOW_BUTTON_RIGHT:
      button = MB_RIGHT;
      break;
    default:
      return false;
  }
  if (windowState == WINDOW_BUTTON_DOWN) {
    pressed = true;
  } else if (windowState == WINDOW_BUTTON_UP) {
    pressed = false;
  } else {
    return false;
  }
  return true;
}

int MapSpecialKey(int windowKey) {
  if (windowKey >= WINDOW_KEY_F1 && windowKey <= WINDOW_KEY_F12) {
    return SK_F1 + (windowKey - WINDOW_KEY_F1);
  }
  if (windowKey >= WINDOW_KEY_LEFT && windowKey <= WINDOW_KEY_INSERT) {
    return SK_LEFT + (windowKey - WINDOW_KEY_LEFT);
  }
  return windowKey;
}

bool OpenGLVersionAtLeast(const char* version, int major, int minor) {
  int foundMajor = 0;
  int foundMinor = 0;
  if (version == nullptr || std::sscanf(version, "%d.%d", &foundMajor, &foundMinor) != 2) {
    return false;
  }
  return foundMajor > major || (foundMajor == major && foundMinor >= minor);
}

bool HasExtension(const char* extensions, const char* name) {
  if (extensions == nullptr || *name == '\0') return false;
  const std::size_t length = std::strlen(name);
  for (const char* at = std::strstr(extensions, name); at != nullptr;
       at = std::strstr(at + 1, name)) {
    // A whole name only: GLX_EXT_swap_control is not GLX_EXT_swap_control_tear.
    const bool starts = at == extensions || at[-1] == ' ';
    const bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}
