#include <windows.h>

#include "app/frame_timer.h"

std::int64_t CFrameTimer::PerformanceCounter() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

// Fixed at boot, so reading it once when the timer is made is enough.
std::int64_t CFrameTimer::PerformanceFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}
