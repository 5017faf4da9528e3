#pragma once

#include <cstdint>

// Counts seconds between frames on a monotonic counter.
class CFrameTimer {
 public:
  // Reads a monotonic tick counter; tests hand in their own.
  using Counter = std::int64_t (*)();

  // The platform's high-resolution monotonic counter and its ticks per second:
  // the steady clock in nanoseconds on Linux, the performance counter on Windows.
  static std::int64_t PerformanceCounter();
  static std::int64_t PerformanceFrequency();

  explicit CFrameTimer(Counter readCounter = PerformanceCounter,
                       std::int64_t ticksPerSecond = PerformanceFrequency());

  void Restart();
  // Seconds since the previous call, or since Restart for the first call.
  double TakeDelta();
  // Seconds since Restart, leaving the next delta as it is.
  double Now() const;

 private:
  Counter readCounter;
  std::int64_t frequency;
  std::int64_t startCount;
  double lastTime = 0;
};
