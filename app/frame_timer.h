#pragma once

#include <cstdint>

// Counts seconds between frames on a monotonic counter.
class CFrameTimer {
 public:
  // Reads a monotonic tick counter; tests hand in their own.
  using Counter = std::int64_t (*)();

  // The steady clock in nanoseconds.
  static std::int64_t SteadyClockTicks();
  static constexpr std::int64_t STEADY_CLOCK_TICKS_PER_SECOND = 1000000000;

  explicit CFrameTimer(Counter readCounter = SteadyClockTicks,
                       std::int64_t ticksPerSecond = STEADY_CLOCK_TICKS_PER_SECOND);

  void Restart();
  // Seconds since the previous call, or since Restart for the first call.
  double TakeDelta();

 private:
  Counter readCounter;
  std::int64_t frequency;
  std::int64_t startCount;
  double lastTime = 0;
};
