// The board queries of the world: cells, corner shapes, footing, free discs, landing
// spots, neighbours and the ground ratio.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "game/world.h"
#include "tests/game/test_world.h"

namespace {

using testworld::AddUnit;
using testworld::MakeBoard;
using testworld::SetHole;

// Corner bits as the tests name them: SW = cell (0, 0), NW = (0, 1), NE = (1, 1), SE = (1, 0).
enum { SW = 1, NW = 2, NE = 4, SE = 8 };

// A quarter turn from +x toward +y carries SW to SE, SE to NE, NE to NW and NW to SW.
int Turn(int holes) {
  int turned = 0;
  if (holes & SW) turned |= SE;
  if (holes & SE) turned |= NE;
  if (holes & NE) turned |= NW;
  if (holes & NW) turned |= SW;
  return turned;
}

int CanonicalHoles(int shape) {
  switch (shape) {
    case CORNER_SOLID:
      return 0;
    case CORNER_ALL_HOLE:
      return SW | NW | NE | SE;
    case CORNER_EDGE:
      return SW | NW;
    case CORNER_ONE_HOLE:
      return SW;
    case CORNER_ONE_SOLID:
      return NW | NE | SE;
    case CORNER_DIAGONAL:
      return SW | NE;
  }
  return -1;
}

void MakeCorner(CWorld& world, int holes) {
  MakeBoard(world, 2, 2);
  if (holes & SW) SetHole(world, 0, 0);
  if (holes & NW) SetHole(world, 0, 1);
  if (holes & NE) SetHole(world, 1, 1);
  if (holes & SE) SetHole(world, 1, 0);
}

TEST(Board, CellsOutsideTheGridReadAsOneWallValue) {
  CWorld world;
  MakeBoard(world, 10, 10);
  EXPECT_EQ(world.CellAt(-1, 0), CELL_WALL);
  EXPECT_EQ(world.CellAt(10, 0), CELL_WALL);
  EXPECT_EQ(world.CellAt(0, 10), CELL_WALL);
  EXPECT_EQ(world.CellAt(0, -1), CELL_WALL);
  EXPECT_EQ(&world.CellAt(-5, 3), &world.outsideValue);
  // Row-major: column i, row j is element i + j * width.
  world.CellAt(3, 2) = CELL_HOLE;
  EXPECT_EQ(world.cells[3 + 2 * 10], CELL_HOLE);
  EXPECT_EQ(world.CellAt(2, 3), CELL_GROUND);
}

TEST(Board, EveryHolePatternIsItsCanonicalShapeTurned) {
  for (int holes = 0; holes < 16; ++holes) {
    CWorld world;
    MakeCorner(world, holes);
    const CornerClass corner = world.ClassifyCorner(0, 0);
    ASSERT_GE(corner.rotation, 0);
    ASSERT_LE(corner.rotation, 3);
    int turned = CanonicalHoles(corner.shape);
    for (int r = 0; r < corner.rotation; ++r) turned = Turn(turned);
    EXPECT_EQ(turned, holes) << "pattern " << holes;
  }
  // The diagonal through NW and SE is three quarter turns, not one.
  CWorld world;
  MakeCorner(world, NW | SE);
  EXPECT_EQ(world.ClassifyCorner(0, 0).shape, CORNER_DIAGONAL);
  EXPECT_EQ(world.ClassifyCorner(0, 0).rotation, 3);
  // Symmetric shapes keep rotation 0.
  MakeCorner(world, 0);
  EXPECT_EQ(world.ClassifyCorner(0, 0).rotation, 0);
  MakeCorner(world, SW | NW | NE | SE);
  EXPECT_EQ(world.ClassifyCorner(0, 0).rotation, 0);
}

TEST(Board, CornersOutsideTheGridAreWallsNotHoles) {
  CWorld world;
  MakeBoard(world, 3, 3);
  EXPECT_EQ(world.ClassifyCorner(-1, -1).shape, CORNER_SOLID);
  EXPECT_EQ(world.ClassifyCorner(2, 2).shape, CORNER_SOLID);
  SetHole(world, 0, 0);
  const CornerClass corner = world.ClassifyCorner(-1, -1);  // only its NE cell is inside
  EXPECT_EQ(corner.shape, CORNER_ONE_HOLE);
  EXPECT_EQ(corner.rotation, 2);
}

TEST(Board, FootingNearASingleHole) {
  CWorld world;
  MakeBoard(world, 6, 6);
  SetHole(world, 2, 3);  // the SW corner of the block whose lower-left cell is (2, 3)
  EXPECT_EQ(world.ClassifyPoint(2.05, 3.04), FOOTING_HOLE);
  EXPECT_EQ(world.ClassifyPoint(2.2, 3.1), FOOTING_EDGE);
  EXPECT_EQ(world.ClassifyPoint(2.2, 3.2), FOOTING_SOLID);
  // The cell centre itself and points on the far side of it are over the hole too.
  EXPECT_EQ(world.ClassifyPoint(2.0, 3.0), FOOTING_HOLE);
  EXPECT_EQ(world.ClassifyPoint(1.97, 2.97), FOOTING_HOLE);
  // Points well away from it are solid.
  EXPECT_EQ(world.ClassifyPoint(4.0, 4.0), FOOTING_SOLID);
}

TEST(Board, FootingOfTheCanonicalShapes) {
  CWorld world;
  MakeCorner(world, SW | NW);  // edge: holes along the low-x side
  EXPECT_EQ(world.ClassifyPoint(0.05, 0.5), FOOTING_HOLE);
  EXPECT_EQ(world.ClassifyPoint(0.2, 0.5), FOOTING_EDGE);
  EXPECT_EQ(world.ClassifyPoint(0.5, 0.5), FOOTING_SOLID);
  MakeCorner(world, NW | NE | SE);  // one solid corner at SW
  EXPECT_EQ(world.ClassifyPoint(0.5, 0.45), FOOTING_HOLE);
  EXPECT_EQ(world.ClassifyPoint(0.4, 0.4), FOOTING_EDGE);
  EXPECT_EQ(world.ClassifyPoint(0.3, 0.3), FOOTING_SOLID);
  MakeCorner(world, SW | NE);  // diagonal
  EXPECT_EQ(world.ClassifyPoint(0.5, 0.55), FOOTING_HOLE);
  EXPECT_EQ(world.ClassifyPoint(0.5, 0.7), FOOTING_EDGE);
  EXPECT_EQ(world.ClassifyPoint(0.9, 0.1), FOOTING_SOLID);
  MakeCorner(world, SW | NW | NE | SE);
  EXPECT_EQ(world.ClassifyPoint(0.5, 0.5), FOOTING_HOLE);
}

TEST(Board, FootingTurnsWithTheHoles) {
  // Turning the holes a quarter turn about the block centre and the point with them,
  // (u, v) -> (1 - v, u), keeps the footing. Offsets keep every sample clear of the band
  // borders, where rounding could fall either way.
  for (int holes = 0; holes < 16; ++holes) {
    CWorld world;
    CWorld turned;
    MakeCorner(world, holes);
    MakeCorner(turned, Turn(holes));
    for (int a = 0; a < 20; ++a) {
      for (int b = 0; b < 20; ++b) {
        const double u = (a + 0.3) / 20;
        const double v = (b + 0.6) / 20;
        ASSERT_EQ(world.ClassifyPoint(u, v), turned.ClassifyPoint(1 - v, u))
            << "pattern " << holes << " at (" << u << ", " << v << ")";
      }
    }
  }
}

TEST(Board, FreeDiscsAndWalls) {
  CWorld world;
  MakeBoard(world, 10, 10);
  EXPECT_TRUE(world.IsFree(0, 0, 0.35, nullptr));
  EXPECT_FALSE(world.IsFree(-0.4, 0, 0.35, nullptr));
  EXPECT_FALSE(world.IsFree(9.3, 5, 0.35, nullptr));  // reaches past the east wall
  EXPECT_TRUE(world.IsFree(9.1, 5, 0.35, nullptr));
  EXPECT_FALSE(world.IsFree(-0.6, 5, 0.1, nullptr));  // the point itself is outside
  // Holes and crumbling cells do not block a disc.
  SetHole(world, 5, 5);
  testworld::SetCrumbling(world, 6, 5);
  EXPECT_TRUE(world.IsFree(5, 5, 0.35, nullptr));
  EXPECT_TRUE(world.IsFree(6, 5, 0.35, nullptr));
}

TEST(Board, OtherBlobsBlockOnlyWhenStrictlyCloser) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 0.7, 2);
  EXPECT_TRUE(world.IsFree(0, 2, 0.35, nullptr));  // exactly 0.35 + 0.35 apart
  EXPECT_FALSE(world.IsFree(0.01, 2, 0.35, nullptr));
  EXPECT_TRUE(world.IsFree(0.01, 2, 0.35, &unit));  // the ignored unit never blocks
  unit.state = UNIT_FALLING;
  EXPECT_TRUE(world.IsFree(0.01, 2, 0.35, nullptr));  // nor does a falling one
  unit.state = UNIT_HOPPING;                          // a hopping unit blocks at its landing point
  EXPECT_FALSE(world.IsFree(0.7, 2.2, 0.35, nullptr));
}

TEST(Board, LandingSpotsSearchRingsInOrderOrLeaveThePointAlone) {
  CWorld world;
  MakeBoard(world, 10, 10);
  AddUnit(world, 5, 5);
  AddUnit(world, 6, 5);
  // Ring 1 at scale 4 has radius 1: its first point, angle 0, is taken, so the next one
  // on the ring, a third of a turn on, is chosen.
  double x = 5;
  double y = 5;
  ASSERT_TRUE(world.FindLandingSpot(x, y, 0.35, 4, nullptr));
  const double a = 2 * PI * 1 / 3;
  EXPECT_EQ(x, 5 + 1.0 * std::cos(a));
  EXPECT_EQ(y, 5 + 1.0 * std::sin(a));
  // With scale 0 every ring point is the point itself: the search fails in place.
  x = 5.1;
  y = 5;
  EXPECT_FALSE(world.FindLandingSpot(x, y, 0.35, 0, nullptr));
  EXPECT_EQ(x, 5.1);
  EXPECT_EQ(y, 5);
  // A point far outside the board with no free ring point stays where it was.
  x = -20;
  EXPECT_FALSE(world.FindLandingSpot(x, y, 0.35, 1, nullptr));
  EXPECT_EQ(x, -20);
  // A free point succeeds unchanged, whatever the scale.
  x = 2;
  y = 2;
  EXPECT_TRUE(world.FindLandingSpot(x, y, 0.35, 0, nullptr));
  EXPECT_EQ(x, 2);
}

TEST(Board, NeighboursCountOutsideAsWalls) {
  CWorld world;
  MakeBoard(world, 4, 4);
  EXPECT_EQ(world.CountNeighbours(0, 0, CELL_WALL, true), 5);
  EXPECT_EQ(world.CountNeighbours(0, 0, CELL_GROUND, false), 5);
  EXPECT_EQ(world.CountNeighbours(1, 1, CELL_GROUND, true), 8);
  EXPECT_FALSE(world.HasNeighbour(1, 1, CELL_HOLE, true));
  SetHole(world, 2, 2);
  SetHole(world, 0, 1);
  EXPECT_TRUE(world.HasNeighbour(1, 1, CELL_HOLE, true));
  EXPECT_EQ(world.CountNeighbours(1, 1, CELL_HOLE, true), 2);
  EXPECT_EQ(world.CountNeighbours(1, 1, CELL_HOLE, false), 6);
  EXPECT_FALSE(world.HasNeighbour(3, 0, CELL_HOLE, true));
  // The cell itself is not its own neighbour.
  EXPECT_EQ(world.CountNeighbours(2, 2, CELL_HOLE, true), 0);
}

TEST(Board, GroundRatioWindowIsClippedAtTheRim) {
  CWorld world;
  MakeBoard(world, 10, 10);
  SetHole(world, 1, 1);
  EXPECT_EQ(world.GroundRatio(0, 0), 8.0 / 9);    // 3 x 3 at the corner
  EXPECT_EQ(world.GroundRatio(0, 5), 1.0);        // 3 x 5 at an edge, no hole inside
  EXPECT_EQ(world.GroundRatio(3, 3), 24.0 / 25);  // 5 x 5 inside
  EXPECT_EQ(world.GroundRatio(3.6, 3), 1.0);      // the point's cell is (4, 3)
  SetHole(world, 0, 4);
  EXPECT_EQ(world.GroundRatio(0.2, 5.4), 14.0 / 15);
  // Crumbling cells are still ground.
  testworld::SetCrumbling(world, 9, 9);
  EXPECT_EQ(world.GroundRatio(9, 9), 1.0);
}

TEST(Board, AbsurdPointsReadAsWallsAndNeverCrash) {
  CWorld world;
  MakeBoard(world, 10, 10);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double v : {nan, inf, -inf, 1e300, -1e300}) {
    EXPECT_FALSE(world.IsFree(v, 5, 0.35, nullptr));
    EXPECT_FALSE(world.IsFree(5, v, 0.35, nullptr));
    world.ClassifyPoint(v, v);
    world.GroundRatio(v, v);
  }
  // A huge radius scans no further than the wall ring around the board.
  EXPECT_FALSE(world.IsFree(5, 5, 1e12, nullptr));
}

}  // namespace
