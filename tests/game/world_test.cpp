// A new game, its end, the score, morale and the eye point.

#include "game/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/random.h"
#include "tests/game/test_world.h"
#include "tests/game/world_invariants.h"

namespace {

using testworld::AddFlower;
using testworld::AddUnit;
using testworld::MakeBoard;
using testworld::ReferenceRandom;

TEST(World, ResetStartsAGame) {
  CWorld world;
  SeedRandom(21);
  ReferenceRandom reference(21);
  world.Reset(10, 10);
  EXPECT_EQ(world.units.size(), 15u);
  EXPECT_EQ(world.cells, std::vector<int>(100, CELL_GROUND));
  EXPECT_EQ(world.targetHoleCount, 62);
  EXPECT_TRUE(world.IsRunning());
  EXPECT_EQ(world.gameClock.end, 90.0);
  EXPECT_EQ(world.flowerSpawnTimer.end, 1.0);

  // Ten blobs on a ring of radius 3.3 and five on one of 1.6 around (4.5, 4.5), each
  // facing a random way: one draw per blob, in placement order.
  const CUnit& first = world.units.front();
  EXPECT_DOUBLE_EQ(first.x, 7.8);
  EXPECT_DOUBLE_EQ(first.y, 4.5);
  EXPECT_DOUBLE_EQ(std::next(world.units.begin(), 10)->x, 6.1);
  EXPECT_DOUBLE_EQ(std::next(world.units.begin(), 10)->y, 4.5);
  for (const CUnit& unit : world.units) {
    const double expected = 2 * PI * reference.Next() / 32767;
    EXPECT_EQ(unit.heading, expected);
    const double dx = unit.x - 4.5;
    const double dy = unit.y - 4.5;
    const double ring = std::sqrt(dx * dx + dy * dy);
    EXPECT_TRUE(std::fabs(ring - 3.3) < 1e-9 || std::fabs(ring - 1.6) < 1e-9) << ring;
    // Every blob took its first decision: standing, fresh, waiting half a second.
    EXPECT_EQ(unit.state, UNIT_STANDING);
    EXPECT_EQ(unit.transitionTimer.end, 0.5);
    EXPECT_EQ(unit.behaviour->GetHappiness(), 0.75);
    EXPECT_EQ(unit.behaviour->unit, &unit);
  }
  EXPECT_EQ(testworld::CheckInvariants(world), "");
}

TEST(World, ResetClearsTheLastGame) {
  CWorld world;
  SeedRandom(8);
  world.Reset(10, 10);
  world.eyePoint.z = 5;
  for (int i = 0; i < 600; ++i) world.Advance(0.05);
  ASSERT_FALSE(world.flowers.empty() && world.pendingHoles.empty() && world.openHoleCount == 0);
  world.Reset(10, 10);
  EXPECT_TRUE(world.flowers.empty());
  EXPECT_TRUE(world.pendingHoles.empty());
  EXPECT_EQ(world.openHoleCount, 0);
  EXPECT_EQ(world.units.size(), 15u);
  EXPECT_EQ(world.score, 0);
  EXPECT_TRUE(world.IsRunning());
  EXPECT_EQ(world.eyePoint.z, 5);  // the camera is the game screen's, not the game's
  EXPECT_EQ(testworld::CheckInvariants(world), "");
}

TEST(World, ContentBlobsEarn225PointsASecond) {
  CWorld world;
  SeedRandom(2);
  world.Reset(10, 10);
  world.Advance(0.5);  // before any flower or board change
  EXPECT_NEAR(world.score, 225 * 0.5, 1e-9);
  EXPECT_DOUBLE_EQ(world.MoraleSum(), 15 * 0.75);
  EXPECT_DOUBLE_EQ(world.AverageMorale(), 0.75);
}

TEST(World, MoraleWeighsFallingBlobsOut) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& calm = AddUnit(world, 2, 2);
  CUnit& faller = AddUnit(world, 6, 6);
  calm.behaviour->happiness = 0.8;
  calm.behaviour->fear = 0.4;
  faller.behaviour->happiness = 0.2;
  faller.state = UNIT_FALLING;
  faller.transitionTimer = {0.75, 1.0, true};
  const double calmMorale = 1.0 * 0.8 * (1 - 0.4 * 0.5);
  const double fallerMorale = 0.25 * 0.2 * (1 - 0.0 * 0.5);
  EXPECT_EQ(world.MoraleSum(), 0 + calmMorale + fallerMorale);
  EXPECT_EQ(world.AverageMorale(), (0 + calmMorale + fallerMorale) / (0 + 1.0 + 0.25));
  // A lone blob whose fall has ended weighs nothing: the bar shows empty, not 0 / 0.
  world.units.erase(world.units.begin());
  faller.transitionTimer.current = 1.0;
  EXPECT_EQ(world.MoraleSum(), 0);
  EXPECT_EQ(world.AverageMorale(), 0);
}

TEST(World, DirectionsToTheEye) {
  CWorld world;
  EXPECT_EQ(world.AzimuthTo(1, 0), PI);
  EXPECT_EQ(world.AzimuthTo(0, 1), -PI / 2 + 2 * PI);  // kept in [0, 2 pi)
  EXPECT_EQ(world.AzimuthTo(-1, 0), 0);
  world.eyePoint = {3, 4, 10};
  EXPECT_EQ(world.ElevationTo(0, 0, 5), std::atan2(5.0, 5.0));
  // An eye below the point gives an angle past a full turn back.
  EXPECT_EQ(world.ElevationTo(0, 0, 12), std::atan2(-2.0, 5.0) + 2 * PI);
}

TEST(World, AHappyHopperCheersEveryone) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& hopper = AddUnit(world, 2, 2);
  CUnit& other = AddUnit(world, 2, 5);
  hopper.behaviour->happiness = 0.9;
  hopper.autonomous = false;
  ASSERT_TRUE(hopper.Hop(0, 1));  // lands at (3, 2)
  const double d = std::sqrt(1.0 * 1.0 + 3.0 * 3.0);
  EXPECT_EQ(other.behaviour->attraction, 1 / (4 * (d * d) + 1));
  EXPECT_EQ(hopper.behaviour->attraction, 1.0);  // a happy blob cheers itself
  // An unhappy hopper only refreshes itself.
  other.behaviour->happiness = 0.5;
  other.behaviour->attraction = 7;
  AddFlower(world, 2, 8, 10);
  ASSERT_TRUE(other.Hop(PI / 2, 1));  // lands at (2, 6), two from the flower
  EXPECT_EQ(
      other.behaviour->attraction,
      1 / (4 * (2.0 * 2.0) + 1) + 1 / (4 * (std::sqrt(1.0 + 16.0) * std::sqrt(1.0 + 16.0)) + 1));
  EXPECT_EQ(hopper.behaviour->attraction, 1.0);
}

TEST(World, ASeedReplaysTheSameGame) {
  auto play = [](unsigned seed) {
    CWorld world;
    SeedRandom(seed);
    world.Reset(10, 10);
    world.eyePoint = {5.2923, -2.0023, 6.3804};
    std::vector<double> trail;
    for (int frame = 0; frame < 3000; ++frame) {
      world.Advance(1.0 / 60);
      trail.push_back(world.score);
      for (const CUnit& unit : world.units) {
        trail.push_back(unit.x);
        trail.push_back(unit.heading);
      }
    }
    return trail;
  };
  const std::vector<double> first = play(99);
  EXPECT_EQ(first, play(99));
  EXPECT_NE(first, play(100));
}

}  // namespace
