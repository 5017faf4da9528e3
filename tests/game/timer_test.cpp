#include "game/timer.h"

#include <gtest/gtest.h>

namespace {

TEST(Timer, AdvanceStopsExactlyAtTheEnd) {
  CTimer timer{0, 1.0, true};
  timer.Advance(0.25);
  EXPECT_EQ(timer.current, 0.25);
  EXPECT_EQ(timer.Remaining(), 0.75);
  timer.Advance(10);
  EXPECT_EQ(timer.current, 1.0);
  EXPECT_EQ(timer.Remaining(), 0.0);
  EXPECT_TRUE(timer.active);  // running out does not stop it: its handler does
}

TEST(Timer, FractionOfAZeroLengthSpanIsComplete) {
  CTimer timer{0.1, 0.4, true};
  EXPECT_EQ(timer.Fraction(), 0.1 / 0.4);
  CTimer empty{0, 0, true};
  EXPECT_EQ(empty.Fraction(), 1.0);
}

}  // namespace
