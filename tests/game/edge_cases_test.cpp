// What seeded games never reach: numbers that are not numbers, boards of nothing but
// holes, frames of an hour, and blobs that leave the world while something still
// points at them. Everything a seeded game does reach is pinned by the simulator's
// golden runs and checked by the soak.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>

#include "base/random.h"
#include "game/blob_ai.h"
#include "game/player_hold.h"
#include "game/world.h"
#include "tests/ui/screen_fixture.h"
#include "ui/game_ui.h"
#include "view/vis_world.h"

namespace {

using screentest::AddBlob;
using screentest::BareBoard;

const double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
const double INFINITE = std::numeric_limits<double>::infinity();

void AllHoles(CWorld& world) {
  std::fill(world.cells.begin(), world.cells.end(), CELL_HOLE);
  world.openHoleCount = world.width * world.height;
}

TEST(EdgeCases, PointsThatAreNotNumbersReadAsWallsAndPushesRefuseThem) {
  CWorld world;
  BareBoard(world, 10, 10);
  for (double v : {NOT_A_NUMBER, INFINITE, -INFINITE, 1e300, -1e300}) {
    EXPECT_FALSE(world.IsFree(v, 5, 0.35, nullptr));
    EXPECT_FALSE(world.IsFree(5, v, 0.35, nullptr));
    world.ClassifyPoint(v, v);
    world.GroundRatio(v, v);
  }
  // A huge radius scans no further than the wall ring around the board.
  EXPECT_FALSE(world.IsFree(5, 5, 1e12, nullptr));
  world.gameClock = {0, 90.0, true};
  CUnit& blob = AddBlob(world, 5, 5);
  EXPECT_FALSE(world.PushUnit(&blob, NOT_A_NUMBER, 1));
  EXPECT_FALSE(world.PushUnit(&blob, 0, INFINITE));
  CUnit stranger(&world);
  EXPECT_FALSE(world.PushUnit(&stranger, 0, 1));
  EXPECT_FALSE(world.PushUnit(nullptr, 0, 1));
  EXPECT_EQ(blob.x, 5);
  EXPECT_EQ(blob.state, UNIT_STANDING);
}

TEST(EdgeCases, OnABoardFullOfHolesOnlyRimHolesCanClose) {
  CWorld world;
  BareBoard(world, 5, 5);
  AllHoles(world);
  const HoleCandidates candidates = world.ScanHoleCandidates();
  // The outside counts as walls, so only rim holes have a neighbour that is not a hole.
  EXPECT_EQ(candidates.closable.size(), 16u);
  for (int index : candidates.closable) {
    const int i = index % 5;
    const int j = index / 5;
    EXPECT_TRUE(i == 0 || j == 0 || i == 4 || j == 4) << i << ", " << j;
  }
  EXPECT_EQ(candidates.openable, 0);
}

// Seeded games on the 10 x 10 board are always above their falling hole target by the
// last five seconds, so only a board set up by hand shows that none may start then.
TEST(EdgeCases, NoHoleStartsInTheLastFiveSecondsEvenBelowTheTarget) {
  CWorld world;
  BareBoard(world, 10, 10);
  world.gameClock = {85, 90, true};
  SeedRandom(3);
  world.ChangeBoard();
  EXPECT_TRUE(world.pendingHoles.empty());
  world.gameClock.current = 84.9;
  world.ChangeBoard();
  EXPECT_FALSE(world.pendingHoles.empty());
}

TEST(EdgeCases, AFlowerIsGivenUpRatherThanSoughtForeverOnAHugeBoardOfHoles) {
  // Footing exists only in a thin band along the rim; the tries run out before the
  // band is hit about half the time.
  CWorld world;
  BareBoard(world, 1000, 1000);
  AllHoles(world);
  int givenUp = 0;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    world.flowers.clear();
    SeedRandom(seed);
    world.SpawnFlower();
    if (world.flowers.empty()) {
      ++givenUp;
    } else {
      EXPECT_EQ(world.ClassifyPoint(world.flowers.front().x, world.flowers.front().y),
                FOOTING_SOLID);
    }
    EXPECT_TRUE(world.flowerSpawnTimer.active);  // the next try is still scheduled
  }
  EXPECT_GT(givenUp, 0);
  EXPECT_LT(givenUp, 30);
}

TEST(EdgeCases, TheViewOfABoardOfHolesNeitherHangsNorBurnsForeverAfterAFrameOfAnHour) {
  CScratchWorkingFolder folder;  // no images: loads fail quietly
  CWorld world;
  BareBoard(world, 10, 10);
  AllHoles(world);
  CVisWorld vis(&world);
  vis.Reset();  // tufts look for ground that is not there
  EXPECT_LT(vis.fringeTufts.size(), 80u);
  for (const FringeTuft& t : vis.fringeTufts)
    EXPECT_NE(world.CellAt(static_cast<int>(t.x + 0.5), static_cast<int>(t.y + 0.5)), CELL_HOLE);
  // A machine waking from sleep: every birth of the hour is drawn for, but only the
  // flames young enough to be seen are kept.
  SeedRandom(3);
  const auto start = std::chrono::steady_clock::now();
  vis.Update(3600.0);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 5.0);  // a hang guard, not a speed test
  EXPECT_GT(vis.particles.Live().size(), 40u);
  EXPECT_LT(vis.particles.Live().size(), 1000u);
}

TEST(EdgeCases, TheHoldNeverTouchesABlobThatLeftTheWorld) {
  CWorld world;
  BareBoard(world, 10, 10);
  CUnit& blob = AddBlob(world, 3, 5);
  CPlayerHold hold;
  hold.Aim(blob, PI, 2.0);
  ASSERT_TRUE(hold.Grab(world, &blob));
  ASSERT_TRUE(hold.Release());
  world.units.clear();  // the blob is gone, as after its fall
  // A stale read here is what the sanitizer pass catches.
  EXPECT_EQ(hold.Update(world, 0.1), HOLD_END_CANCELLED);
  EXPECT_FALSE(hold.Busy());
  EXPECT_EQ(hold.Pushes(), 0);
}

// The game screen with the pointer on a blob that then falls away or vanishes between
// frames.
class GameScreen : public screentest::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    DismissTitle();
    BareBoard();
  }
};

TEST_F(GameScreen, AHoveredBlobThatFallsAwayIsNeitherGrabbedNorPushed) {
  CUnit& blob = AddBlob(4, 4);
  CUnit& survivor = AddBlob(8, 2);
  PointAt(blob);
  ASSERT_EQ(ui.target, &blob);
  ui.world.OpenHole(4, 4);
  // The fall lasts a second; the unit leaves the list on the next step after it.
  for (int i = 0; i < 12; ++i) ui.Update(0.1);
  ASSERT_EQ(ui.world.units.size(), 1u);
  EXPECT_EQ(ui.LiveTarget(), nullptr);
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.hold.Holding());
  ui.MouseButton(MB_LEFT, false);
  EXPECT_FALSE(ui.hold.Throwing());
  ui.Update(0.1);
  ui.Draw();
  EXPECT_TRUE(survivor.autonomous);
}

TEST_F(GameScreen, APressOnABlobGoneBetweenFramesGrabsNothing) {
  PointAt(AddBlob(4, 4));
  ASSERT_TRUE(ui.hasTarget);
  ui.world.units.clear();
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.hold.Holding());
  EXPECT_EQ(ui.target, nullptr);
  ui.Draw();
}

// The sling: pulled down the screen, a blob flies up it, away from the camera. The
// play-through only sees that a blob moved; this says which way.
TEST_F(GameScreen, ABlobPulledDownTheScreenFliesUpTheScreen) {
  CUnit& blob = AddBlob(4.5, 4);
  PointAt(blob);
  ui.MouseButton(MB_LEFT, true);
  ASSERT_TRUE(ui.hold.Holding());
  ui.MouseMove(ui.pointerX, ui.pointerY - 0.08);
  ui.Update(0.02);
  ui.MouseButton(MB_LEFT, false);
  for (int frame = 0; frame < 120; ++frame) ui.Update(1.0 / 60);
  // The camera looks from the south, so up the screen is north.
  EXPECT_GT(blob.y, 4.5);
  EXPECT_NEAR(blob.x, 4.5, 0.5);
}

}  // namespace
