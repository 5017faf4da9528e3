#include <chrono>

#include "app/frame_timer.h"

namespace {
using TickDuration = std::chrono::nanoseconds;
}  // namespace

std::int64_t CFrameTimer::PerformanceCounter() {
  const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<TickDuration>(sinceEpoch).count();
}

std::int64_t CFrameTimer::PerformanceFrequency() {
  return TickDuration::period::den / TickDuration::period::num;
}
