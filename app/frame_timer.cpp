#include "app/frame_timer.h"

CFrameTimer::CFrameTimer(Counter readCounter, std::int64_t ticksPerSecond)
    : readCounter(readCounter), frequency(ticksPerSecond), startCount(readCounter()) {}

void CFrameTimer::Restart() {
  startCount = readCounter();
  lastTime = 0;
}

// Times are measured from Restart rather than summed frame by frame, so no
// rounding builds up over a long game.
double CFrameTimer::TakeDelta() {
  const double t = Now();
  const double dt = t - lastTime;
  lastTime = t;
  return dt;
}

double CFrameTimer::Now() const {
  return static_cast<double>(readCounter() - startCount) / static_cast<double>(frequency);
}
