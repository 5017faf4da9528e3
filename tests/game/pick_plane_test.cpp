// Picking near the eye plane: a blob level with the eye (depth exactly 0) or
// behind it has no place on screen. Its projection would divide by zero or
// mirror it through the centre of the screen, and the hand would point at a
// blob the player cannot see.
#include <gtest/gtest.h>

#include "game/world.h"
#include "tests/game/test_world.h"

namespace {

using testworld::AddUnit;
using testworld::MakeBoard;

// Looking along +y from (5, -5, 0.35): depth along +y, screen x along +x,
// screen y along +z.
const double EYE[3] = {5, -5, 0.35};
const double ROWS[9] = {0, 1, 0, 1, 0, 0, 0, 0, 1};

TEST(PickPlane, ABlobLevelWithTheEyeIsNeverChosen) {
  CWorld world;
  MakeBoard(world, 10, 10);
  AddUnit(world, 7, -5);  // beside the eye: depth 0, screen x would be 2 / 0
  AddUnit(world, 5, -5);  // at the eye itself
  for (double x : {-1.0, 0.0, 1.0}) {
    const PickResult pick = world.PickUnit(x, 0, EYE, ROWS, 1.0, 70.0);
    EXPECT_EQ(pick.unit, nullptr) << x;
    EXPECT_FALSE(pick.found) << x;
  }
}

// Behind the eye and off to the left, the mirrored projection lands on the
// right of the screen; pointing there must still find the blob in front.
TEST(PickPlane, AMirroredBlobBehindTheEyeDoesNotHideOneInFront) {
  CWorld world;
  MakeBoard(world, 10, 10);
  AddUnit(world, 4, -6);                 // behind, one to the left: would show at screen x 1
  CUnit& ahead = AddUnit(world, 9, -1);  // in front, four to the right: screen x 1
  const PickResult pick = world.PickUnit(1, 0, EYE, ROWS, 1.0, 70.0);
  EXPECT_EQ(pick.unit, &ahead);
  EXPECT_TRUE(pick.found);
  EXPECT_DOUBLE_EQ(pick.screenX, 1.0);
}

}  // namespace
