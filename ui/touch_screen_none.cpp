// The desktop builds' windows take no touches: the mouse and the keys play.
#include "ui/touch_screen.h"

bool DeviceHasTouchScreen() {
  return false;
}
