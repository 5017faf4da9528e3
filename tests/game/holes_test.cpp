// Board changes, holes opening and closing, and flowers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "game/random.h"
#include "game/world.h"
#include "tests/game/test_world.h"
#include "tests/game/world_invariants.h"

namespace {

using testworld::AddFlower;
using testworld::AddUnit;
using testworld::MakeBoard;
using testworld::ReferenceRandom;
using testworld::SetCrumbling;
using testworld::SetHole;

// A 10 x 10 board mid-game: clock at the given progress, a board change due now.
void MakeGameAt(CWorld& world, double progress) {
  MakeBoard(world, 10, 10);
  world.gameClock = {progress * 90, 90, true};
  world.boardChangeTimer = {0, 0, true};
}

int CountCells(const CWorld& world, int value) {
  return static_cast<int>(std::count(world.cells.begin(), world.cells.end(), value));
}

TEST(Holes, TheFirstBoardChangeCracksFourCellsAnywhere) {
  CWorld world;
  SeedRandom(7);
  world.Reset(10, 10);
  world.Advance(3.0);  // due exactly at 3 s: fires at the start of the next frame
  EXPECT_TRUE(world.pendingHoles.empty());
  world.Advance(0.01);
  EXPECT_EQ(world.boardChangeCount, 1);
  ASSERT_EQ(world.pendingHoles.size(), 4u);
  EXPECT_EQ(CountCells(world, CELL_CRUMBLING), 4);
  for (const CPendingHole& hole : world.pendingHoles) {
    EXPECT_TRUE(world.IsPending(hole.column, hole.row));
    EXPECT_GE(hole.angle, 0);
    EXPECT_LE(hole.angle, 2 * PI);
  }
  EXPECT_TRUE(world.boardChangeTimer.active);
  EXPECT_GE(world.boardChangeTimer.end, 0.5);
  EXPECT_LE(world.boardChangeTimer.end, 3.0);
  EXPECT_EQ(testworld::CheckInvariants(world), "");
}

TEST(Holes, TheHoleTargetRisesHoldsAndFalls) {
  struct Case {
    double progress;
    int expected;
  };
  // At g = 1/3 the target is trunc(62 * 2/3) = 41; 0.5 to 0.8 it is 62; at 0.9 it is 31.
  for (Case c : {Case{1.0 / 3, 41}, Case{0.5, 62}, Case{0.7, 62}, Case{0.9, 31}}) {
    CWorld world;
    MakeGameAt(world, c.progress);
    SeedRandom(1);
    world.ChangeBoard();
    EXPECT_EQ(static_cast<int>(world.pendingHoles.size()), c.expected) << c.progress;
  }
}

TEST(Holes, OneShortOfTheTargetMayAlsoCloseAHole) {
  // Twelve holes, target 12 + 1 at g = 0.1: one opens and, one time in four, one closes.
  int closed = 0;
  for (unsigned seed = 1; seed <= 200; ++seed) {
    CWorld world;
    MakeGameAt(world, 0.1);  // target trunc(62 * 0.2) = 12
    for (int i = 0; i < 10; ++i) SetHole(world, i, 0);
    SetHole(world, 0, 1);
    SeedRandom(seed);
    ReferenceRandom reference(seed);
    world.ChangeBoard();
    const bool closes = reference.Next() % 4 == 0;
    EXPECT_EQ(world.pendingHoles.size(), 1u);
    EXPECT_EQ(world.openHoleCount, closes ? 10 : 11);
    closed += closes;
  }
  EXPECT_GT(closed, 20);
  EXPECT_LT(closed, 80);
}

TEST(Holes, AtTheTargetOneOpensAndOneCloses) {
  CWorld world;
  MakeGameAt(world, 0.6);
  world.targetHoleCount = 3;
  SetHole(world, 4, 4);
  SetHole(world, 5, 4);
  SetCrumbling(world, 6, 4);
  SeedRandom(2);
  world.ChangeBoard();
  EXPECT_EQ(world.pendingHoles.size(), 2u);
  EXPECT_EQ(world.openHoleCount, 1);
  EXPECT_EQ(testworld::CheckInvariants(world), "");
}

TEST(Holes, NoNewHoleStartsInTheLastFiveSeconds) {
  CWorld world;
  MakeGameAt(world, 0.5);
  world.gameClock.current = 85;
  world.targetHoleCount = 62;  // g close to 0.94: target 17
  SeedRandom(3);
  world.ChangeBoard();
  EXPECT_TRUE(world.pendingHoles.empty());
  world.gameClock.current = 84.9;
  world.ChangeBoard();
  EXPECT_FALSE(world.pendingHoles.empty());
}

TEST(Holes, PendingHolesStillOpenAfterTheGame) {
  CWorld world;
  MakeGameAt(world, 0.5);
  SetCrumbling(world, 3, 3).formingTimer = {4.9, 5, true};
  world.EndGame();
  world.Advance(0.2);
  EXPECT_EQ(world.CellAt(3, 3), CELL_HOLE);
  EXPECT_EQ(world.openHoleCount, 1);
}

TEST(Holes, AfterTheGameHolesCloseFromTheRimsAndChangesStop) {
  CWorld world;
  MakeGameAt(world, 0.5);
  // A 4 x 4 chasm: its inner 2 x 2 has no ground neighbour and cannot close.
  for (int j = 3; j < 7; ++j) {
    for (int i = 3; i < 7; ++i) SetHole(world, i, j);
  }
  world.EndGame();
  SeedRandom(4);
  world.ChangeBoard();
  EXPECT_EQ(world.openHoleCount, 4);
  EXPECT_TRUE(world.pendingHoles.empty());
  for (int j = 4; j < 6; ++j) {
    for (int i = 4; i < 6; ++i) EXPECT_EQ(world.CellAt(i, j), CELL_HOLE);
  }
  // Nothing pending and no game: no further change is scheduled.
  EXPECT_FALSE(world.boardChangeTimer.active);
}

TEST(Holes, OnlyRimHolesCloseOnABoardFullOfHoles) {
  CWorld world;
  MakeBoard(world, 5, 5);
  for (int j = 0; j < 5; ++j) {
    for (int i = 0; i < 5; ++i) SetHole(world, i, j);
  }
  const HoleCandidates candidates = world.ScanHoleCandidates();
  // The outside counts as walls, so rim holes have non-hole neighbours.
  EXPECT_EQ(candidates.closable.size(), 16u);
  for (int index : candidates.closable) {
    const int i = index % 5;
    const int j = index / 5;
    EXPECT_TRUE(i == 0 || j == 0 || i == 4 || j == 4) << i << ", " << j;
  }
  EXPECT_EQ(candidates.openable, 0);
}

TEST(Holes, CellsDeepInAChasmWeighMore) {
  CWorld world;
  MakeBoard(world, 5, 5);
  // Holes all round (2, 2) but for its east side: eight neighbours, seven holes.
  for (int j = 1; j <= 3; ++j) {
    for (int i = 1; i <= 3; ++i) {
      if (!(i == 2 && j == 2) && !(i == 3 && j == 2)) SetHole(world, i, j);
    }
  }
  SetCrumbling(world, 0, 0);
  const HoleCandidates candidates = world.ScanHoleCandidates();
  auto copies = [&](int i, int j) {
    return std::count(candidates.nearList.begin(), candidates.nearList.end(), i + j * 5);
  };
  EXPECT_EQ(copies(2, 2), 5);  // seven hole neighbours: weight 5
  EXPECT_EQ(copies(3, 2), 2);  // four: weight 2
  EXPECT_EQ(copies(0, 2), 1);  // three: weight 1
  EXPECT_EQ(copies(4, 4), 1);  // one, at a corner: weight 1
  EXPECT_EQ(copies(0, 0), 0);  // crumbling: neither list
  std::set<int> far(candidates.farList.begin(), candidates.farList.end());
  EXPECT_EQ(far, (std::set<int>{}));  // every other cell borders the chasm
  // Ground cells, each once: 25 - 7 holes - 1 crumbling.
  EXPECT_EQ(candidates.openable, 17);
  EXPECT_EQ(candidates.closable.size(), 7u);
}

TEST(Holes, CrackingCountsDistinctCellsNotTheirWeights) {
  // With a target far beyond the board, every openable cell is wanted at once. Weighted
  // copies outnumber the distinct cells; counting copies would spin forever.
  CWorld world;
  MakeGameAt(world, 0.6);
  world.width = 3;
  world.height = 3;
  world.cells.assign(9, CELL_GROUND);
  world.pendingFlags.assign(9, false);
  for (int i = 0; i < 3; ++i) SetHole(world, i, 0);
  SetHole(world, 0, 1);
  SetHole(world, 2, 1);
  world.targetHoleCount = 100;
  ASSERT_GT(world.ScanHoleCandidates().nearList.size(), 4u);
  SeedRandom(5);
  world.ChangeBoard();
  EXPECT_EQ(world.pendingHoles.size(), 4u);
  EXPECT_EQ(CountCells(world, CELL_CRUMBLING), 4);
}

TEST(Holes, ChoosingAListForANewHole) {
  const std::vector<int> empty;
  const std::vector<int> some = {1, 2};
  const std::vector<int> others = {3};
  try {
    ChooseHoleList(empty, empty, 3);
    ADD_FAILURE() << "no error raised";
  } catch (const char* message) {
    EXPECT_EQ(std::string(message), "couldn't place a new hole");
  }
  // Only one list: no choice and no draw.
  SeedRandom(9);
  EXPECT_EQ(&ChooseHoleList(some, empty, 1), &some);
  ReferenceRandom reference(9);
  EXPECT_EQ(Rand(), reference.Next());
  // With no hole open, the far list, though a draw is still taken; an empty near list
  // takes none.
  SeedRandom(9);
  EXPECT_EQ(&ChooseHoleList(some, others, 0), &others);
  EXPECT_EQ(&ChooseHoleList(empty, others, 4), &others);
  reference = ReferenceRandom(9);
  reference.Next();
  EXPECT_EQ(Rand(), reference.Next());
  // Otherwise the near list four times in five.
  for (unsigned seed = 1; seed < 50; ++seed) {
    SeedRandom(seed);
    ReferenceRandom draw(seed);
    const bool near = draw.Next() % 5 != 0;
    EXPECT_EQ(&ChooseHoleList(some, others, 2), near ? &some : &others);
  }
}

TEST(Holes, AHoleOpensUnderBlobsAndFlowers) {
  CWorld world;
  MakeGameAt(world, 0.5);
  CPendingHole& hole = SetCrumbling(world, 4, 4);
  CUnit& onTop = AddUnit(world, 4.1, 4.0);
  onTop.transitionTimer = {0, 0.5, true};
  CUnit& nearby = AddUnit(world, 4, 6);
  AddFlower(world, 3.9, 4.2, 10);  // over the hole: goes without a death event
  AddFlower(world, 8, 8, 10);
  nearby.behaviour->happiness = 0.9;  // happy, so the flower change shows in attraction

  world.CompleteHole(&hole);
  EXPECT_EQ(world.CellAt(4, 4), CELL_HOLE);
  EXPECT_FALSE(world.IsPending(4, 4));
  EXPECT_TRUE(world.pendingHoles.empty());
  EXPECT_EQ(world.openHoleCount, 1);
  EXPECT_EQ(onTop.state, UNIT_FALLING);
  EXPECT_EQ(nearby.behaviour->GetFear(), 2 / (2.5 * (2.0 * 2.0) + 1));
  // Saddened first by the fall beside it.
  const double fx = 4 - 4.1;
  const double fall = std::sqrt(fx * fx + 2.0 * 2.0);
  EXPECT_EQ(nearby.behaviour->GetHappiness(), 0.9 - 1 / (1.5 * (fall * fall) + 1));
  ASSERT_EQ(world.flowers.size(), 1u);
  EXPECT_EQ(world.flowers.front().x, 8);
  EXPECT_EQ(nearby.behaviour->groundRatio, 24.0 / 25);
  // Attraction was refreshed: the remaining flower plus the blob itself, if happy.
  const double toFlower = std::sqrt(4.0 * 4.0 + 2.0 * 2.0);
  const double own = nearby.behaviour->IsHappy() ? 1.0 : 0.0;
  EXPECT_EQ(nearby.behaviour->attraction, 1 / (4 * (toFlower * toFlower) + 1) + own);
  EXPECT_EQ(testworld::CheckInvariants(world), "");
}

TEST(Holes, FlowersGrowOnSolidGroundAndCheerTheBlobs) {
  CWorld world;
  MakeBoard(world, 10, 10);
  for (int i = 0; i < 10; ++i) SetHole(world, i, 5);
  CUnit& unit = AddUnit(world, 2, 2);
  world.flowerSpawnTimer = {1, 1, true};
  for (unsigned seed = 1; seed <= 50; ++seed) {
    world.flowers.clear();
    SeedRandom(seed);
    ReferenceRandom reference(seed);
    world.SpawnFlower();
    ASSERT_EQ(world.flowers.size(), 1u);
    const CFlower& flower = world.flowers.front();
    // The first try in which the point is solid, x drawn before y.
    double x;
    double y;
    do {
      x = reference.Fraction() * 10 - 0.5;
      y = reference.Fraction() * 10 - 0.5;
    } while (world.ClassifyPoint(x, y) != FOOTING_SOLID);
    EXPECT_EQ(flower.x, x);
    EXPECT_EQ(flower.y, y);
    EXPECT_EQ(flower.lifeTimer.end, 8 + 12 * reference.Fraction());
    EXPECT_EQ(world.flowerSpawnTimer.end, (0.01 + 0.06 * reference.Fraction()) * 10 * 10);
    EXPECT_TRUE(world.flowerSpawnTimer.active);
    EXPECT_EQ(world.flowerSpawnTimer.current, 0);
    const double dx = flower.x - 2;
    const double dy = flower.y - 2;
    const double d = std::sqrt(dx * dx + dy * dy);
    EXPECT_EQ(unit.behaviour->attraction, 1 / (4 * (d * d) + 1));
  }
}

TEST(Holes, ADyingFlowerLeavesAndTheBlobsFeelIt) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 2, 2);
  CFlower& flower = AddFlower(world, 3, 2, 8);
  world.UpdateAttraction(&unit);
  EXPECT_EQ(unit.behaviour->attraction, 1 / (4 * 1.0 + 1));
  flower.lifeTimer.current = 7.5;
  world.Advance(1.0);
  EXPECT_TRUE(world.flowers.empty());
  EXPECT_EQ(unit.behaviour->attraction, 0);
}

TEST(Holes, AFlowerIsGivenUpOnABoardOfNothingButHoles) {
  // Solid footing exists only in a thin band along the rim; on a huge board the tries
  // run out before the band is hit about half the time.
  CWorld world;
  MakeBoard(world, 1000, 1000);
  std::fill(world.cells.begin(), world.cells.end(), CELL_HOLE);
  world.openHoleCount = 1000 * 1000;
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

}  // namespace
