// The browser says whether its main pointer is a finger, or the device takes
// touches at all (a laptop with a touch screen reports a fine pointer).
#include <emscripten/emscripten.h>

#include "ui/touch_screen.h"

bool DeviceHasTouchScreen() {
  return EM_ASM_INT({
           return navigator.maxTouchPoints > 0 ||
                          (window.matchMedia && window.matchMedia('(pointer: coarse)').matches)
                      ? 1
                      : 0;
         }) != 0;
}
