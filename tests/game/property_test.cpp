// Whole seeded games, with the world's rules checked after every frame.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "game/random.h"
#include "game/world.h"
#include "tests/game/world_invariants.h"

namespace {

constexpr int GAME_FRAMES = 5400;  // 90 s at 60 Hz
constexpr double FRAME = 1.0 / 60;

void PlaceEyeAtTheStartCamera(CWorld& world) {
  world.eyePoint.x = 5.2923;
  world.eyePoint.y = -2.0023;
  world.eyePoint.z = 6.3804;
}

// Plays one game from a seed with frames from nextFrame, checking after every frame; stops
// at the first broken rule and reports it.
template <class NextFrame>
void PlayAndCheck(unsigned seed, double playFor, NextFrame nextFrame) {
  SeedRandom(seed);
  CWorld world;
  world.Reset(10, 10);
  PlaceEyeAtTheStartCamera(world);
  ASSERT_EQ(testworld::CheckInvariants(world), "") << "seed " << seed << " after reset";
  double lastScore = 0;
  bool wasRunning = true;
  size_t lastUnits = world.units.size();
  double played = 0;
  for (int frame = 1; played < playFor; ++frame) {
    const double dt = nextFrame();
    world.Advance(dt);
    played += dt;
    const std::string problem = testworld::CheckInvariants(world);
    ASSERT_EQ(problem, "") << "seed " << seed << " frame " << frame;
    ASSERT_GE(world.score, lastScore) << "seed " << seed << " frame " << frame;
    if (!wasRunning) {
      ASSERT_EQ(world.score, lastScore) << "score rose after the end";
    }
    ASSERT_FALSE(!wasRunning && world.IsRunning()) << "the game started again";
    ASSERT_LE(world.units.size(), lastUnits);
    ASSERT_TRUE(world.IsRunning() || world.gameClock.current == 90 || world.units.empty() ||
                !world.gameClock.active);
    ASSERT_LE(world.gameClock.current, 90);
    if (world.units.empty()) {
      ASSERT_FALSE(world.IsRunning());
    }
    lastScore = world.score;
    wasRunning = world.IsRunning();
    lastUnits = world.units.size();
  }
  // 90 s have passed (give or take the rounding of the frames): the game is over.
  if (playFor > 90.1) {
    ASSERT_FALSE(world.IsRunning()) << "seed " << seed;
  }
}

void PlaySeeds(unsigned first, unsigned last) {
  for (unsigned seed = first; seed <= last; ++seed) {
    PlayAndCheck(seed, GAME_FRAMES * FRAME, [] { return FRAME; });
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// Two hundred games at 60 Hz, in four parts so they can run side by side.
TEST(WholeGames, Seeds1To50) {
  PlaySeeds(1, 50);
}
TEST(WholeGames, Seeds51To100) {
  PlaySeeds(51, 100);
}
TEST(WholeGames, Seeds101To150) {
  PlaySeeds(101, 150);
}
TEST(WholeGames, Seeds151To200) {
  PlaySeeds(151, 200);
}

// Stalls and hiccups: frames from nothing to half a second, and a few of several seconds,
// played well past the end so the board settles after the game.
TEST(WholeGames, LongUnevenFrames) {
  std::mt19937 frames(12345);  // its own generator: the game's draws stay the game's
  std::uniform_real_distribution<double> shortFrame(0.0, 0.5);
  std::uniform_int_distribution<int> stall(0, 99);
  for (unsigned seed = 1000; seed < 1020; ++seed) {
    PlayAndCheck(seed, 150, [&] { return stall(frames) == 0 ? 4.0 : shortFrame(frames); });
    if (HasFatalFailure()) return;
  }
}

TEST(WholeGames, OneFrameForTheWholeGame) {
  for (unsigned seed = 2000; seed < 2010; ++seed) {
    PlayAndCheck(seed, 200, [] { return 100.0; });
    if (HasFatalFailure()) return;
  }
}

}  // namespace
