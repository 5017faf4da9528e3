#include "app/frame_timer.h"

#include <gtest/gtest.h>

namespace {
// A counter the test moves by hand.
std::int64_t ticks = 0;
std::int64_t ReadTicks() {
  return ticks;
}

constexpr std::int64_t TICKS_PER_SECOND = 1000;

TEST(FrameTimerTest, DeltasCountFromRestart) {
  ticks = 500;
  CFrameTimer timer(ReadTicks, TICKS_PER_SECOND);
  ticks = 1000;
  timer.Restart();
  ticks = 1250;
  EXPECT_DOUBLE_EQ(timer.TakeDelta(), 0.25);
  ticks = 1300;
  EXPECT_DOUBLE_EQ(timer.TakeDelta(), 0.05);
  // No time passed: no time reported, and nothing is clamped or smoothed.
  EXPECT_DOUBLE_EQ(timer.TakeDelta(), 0.0);
  ticks = 6300;
  EXPECT_DOUBLE_EQ(timer.TakeDelta(), 5.0);
}

// Times are taken from the restart, so many frames add up to the total
// without drift.
TEST(FrameTimerTest, ManyFramesAddUpToTheElapsedTime) {
  ticks = 0;
  CFrameTimer timer(ReadTicks, 3);
  double sum = 0;
  for (int frame = 0; frame < 3000; ++frame) {
    ticks += 1;
    sum += timer.TakeDelta();
  }
  EXPECT_NEAR(sum, 1000.0, 1e-9);
}

}  // namespace
