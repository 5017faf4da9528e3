// A blob's states, hops, falls, turning, drawn position and picking.

#include "game/unit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/random.h"
#include "game/world.h"
#include "tests/game/test_world.h"

namespace {

using testworld::AddUnit;
using testworld::MakeBoard;
using testworld::ReferenceRandom;
using testworld::SetCrumbling;
using testworld::SetHole;

// Runs a unit's transition timer out and fires its event, as the world would.
void FinishPhase(CUnit& unit) {
  unit.transitionTimer.Advance(unit.transitionTimer.Remaining());
  unit.OnTimerExpired();
}

TEST(Unit, AHopRunsThroughLandingBackToStanding) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 2, 2);
  unit.autonomous = false;  // its decisions then only glance about
  ASSERT_TRUE(unit.Hop(0, 4));
  EXPECT_EQ(unit.state, UNIT_HOPPING);
  EXPECT_EQ(unit.x, 6);
  EXPECT_EQ(unit.y, 2);
  EXPECT_EQ(unit.hopStartX, 2);
  EXPECT_EQ(unit.targetHeading, 0);
  EXPECT_EQ(unit.hopHeight, 4 * 0.33);
  EXPECT_EQ(unit.transitionTimer.end, std::sqrt(4.0) * (1.0 / 3));

  // Half way the blob is half way across, at the top of its arc.
  unit.transitionTimer.Advance(unit.transitionTimer.end / 2);
  const RenderVertex mid = unit.DisplayPosition();
  EXPECT_DOUBLE_EQ(mid.x, 4);
  EXPECT_DOUBLE_EQ(mid.z, unit.hopHeight + 0.35);
  EXPECT_FALSE(mid.hasColor);

  FinishPhase(unit);
  EXPECT_EQ(unit.state, UNIT_LANDING);
  EXPECT_EQ(unit.transitionTimer.end, 0.2);
  EXPECT_EQ(unit.DisplayPosition().z, 0.35);
  unit.transitionTimer.Advance(0.1);
  EXPECT_DOUBLE_EQ(unit.LandingSquash(), 0.5);
  EXPECT_DOUBLE_EQ(unit.DisplayPosition().z, 0.5 * 0.35);

  FinishPhase(unit);
  EXPECT_EQ(unit.state, UNIT_STANDING);
  EXPECT_EQ(unit.transitionTimer.end, 0.5);
  EXPECT_TRUE(unit.transitionTimer.active);
  EXPECT_EQ(unit.LandingSquash(), 1.0);
  EXPECT_EQ(unit.DisplayPosition().z, 0.35);
}

TEST(Unit, AHopWithNowhereToLandLeavesTheUnitStandingAndLookingElsewhere) {
  CWorld world;
  MakeBoard(world, 1, 1);  // room for nothing but the blob itself
  CUnit& unit = AddUnit(world, 0, 0);
  unit.heading = 1;
  unit.targetHeading = 1;
  SeedRandom(11);
  ReferenceRandom reference(11);
  EXPECT_FALSE(unit.Hop(0, 2));
  EXPECT_EQ(unit.state, UNIT_STANDING);
  EXPECT_EQ(unit.x, 0);
  EXPECT_EQ(unit.y, 0);
  EXPECT_EQ(unit.targetHeading, 2 * PI * reference.Next() / 32767);
  EXPECT_EQ(unit.transitionTimer.end, 0.5);
  EXPECT_TRUE(unit.transitionTimer.active);
}

TEST(Unit, AHopLandsOnTheNearestFreeRingPointButKeepsItsRequestedArc) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 2, 5);
  AddUnit(world, 5, 5);  // sits on the target
  ASSERT_TRUE(unit.Hop(0, 3));
  EXPECT_EQ(unit.x, 5 + 0.75 * std::cos(0.0));  // ring 1 of scale 3 has radius 0.75
  EXPECT_EQ(unit.hopHeight, 3 * 0.33);
  EXPECT_EQ(unit.transitionTimer.end, std::sqrt(3.0) * (1.0 / 3));
}

TEST(Unit, LandingOnCrumblingGroundHoldsButLandingOverAHoleFalls) {
  CWorld world;
  MakeBoard(world, 10, 10);
  SetCrumbling(world, 5, 5);
  CUnit& steady = AddUnit(world, 3, 5);
  steady.autonomous = false;
  ASSERT_TRUE(steady.Hop(0, 2));
  FinishPhase(steady);
  EXPECT_EQ(steady.state, UNIT_LANDING);

  // The hole opens under a blob in the air: only its landing point matters.
  CUnit& flyer = AddUnit(world, 3, 2);
  flyer.autonomous = false;
  ASSERT_TRUE(flyer.Hop(0, 2));
  SetHole(world, 5, 2);
  flyer.OnHoleOpened(5, 2);
  EXPECT_EQ(flyer.state, UNIT_HOPPING);
  FinishPhase(flyer);
  EXPECT_EQ(flyer.state, UNIT_FALLING);
  EXPECT_EQ(flyer.transitionTimer.end, 1.0);
  EXPECT_EQ(flyer.eyeSize, 1.3);
  EXPECT_EQ(flyer.face, 3);

  // A blob whose arc crosses a new hole but lands on solid ground is fine.
  CUnit& jumper = AddUnit(world, 6, 8);
  jumper.autonomous = false;
  ASSERT_TRUE(jumper.Hop(0, 3));
  SetHole(world, 7, 8);
  jumper.OnHoleOpened(7, 8);
  FinishPhase(jumper);
  EXPECT_EQ(jumper.state, UNIT_LANDING);
}

TEST(Unit, AHoleOpeningUnderAStandingBlobMakesItFallAndSaddensTheOthers) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& victim = AddUnit(world, 4, 4);
  victim.transitionTimer = {0.1, 0.5, true};
  CUnit& neighbour = AddUnit(world, 6, 4);
  CUnit& hopper = AddUnit(world, 8, 8);
  hopper.state = UNIT_FALLING;  // already falling: neither saddened nor frightened
  SetHole(world, 4, 4);
  for (CUnit& unit : world.units) unit.OnHoleOpened(4, 4);

  EXPECT_EQ(victim.state, UNIT_FALLING);
  EXPECT_EQ(victim.transitionTimer.current, 0);
  EXPECT_EQ(victim.transitionTimer.end, 1.0);
  EXPECT_EQ(victim.targetPitch, 1.5);
  // The faller is not frightened; the neighbour 2 away is saddened by the fall and then
  // frightened by the hole.
  EXPECT_EQ(victim.behaviour->GetFear(), 0);
  EXPECT_EQ(neighbour.behaviour->GetHappiness(), 0.75 - 1 / (1.5 * (2.0 * 2.0) + 1));
  EXPECT_EQ(neighbour.behaviour->GetFear(), 2 / (2.5 * (2.0 * 2.0) + 1));
  EXPECT_EQ(hopper.behaviour->GetHappiness(), 0.75);
  EXPECT_EQ(hopper.behaviour->GetFear(), 0);
}

TEST(Unit, AFallFadesOutInItsLastQuarterAndThenTheUnitIsDead) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 4, 4);
  unit.Fall();
  EXPECT_EQ(unit.FallFade(), 1.0);
  EXPECT_EQ(unit.MoraleWeight(), 1.0);
  unit.transitionTimer.Advance(0.7);
  EXPECT_EQ(unit.FallFade(), 1.0);
  EXPECT_DOUBLE_EQ(unit.MoraleWeight(), 0.3);
  EXPECT_DOUBLE_EQ(unit.DisplayPosition().z, 0.35 - 5 * 0.7);
  unit.transitionTimer.Advance(0.175);
  EXPECT_DOUBLE_EQ(unit.FallFade(), 0.5);
  FinishPhase(unit);
  EXPECT_EQ(unit.FallFade(), 0.0);
  EXPECT_EQ(unit.MoraleWeight(), 0.0);
  EXPECT_FALSE(unit.alive);
  EXPECT_FALSE(unit.transitionTimer.active);
  EXPECT_FALSE(unit.IsGrabbable());
}

TEST(Unit, APushCutsTheTimerShortAndFliesAwayFromTheDrag) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 5, 5);
  unit.state = UNIT_LANDING;
  unit.transitionTimer = {0.05, 0.2, true};
  ASSERT_TRUE(world.PushUnit(&unit, 0, 2));  // dragged toward +x: flies toward -x
  EXPECT_EQ(unit.state, UNIT_HOPPING);
  EXPECT_EQ(unit.x, 5 + 2 * std::cos(PI + 0.0));
  EXPECT_EQ(unit.targetHeading, PI);
  EXPECT_EQ(unit.transitionTimer.current, 0);
  EXPECT_EQ(unit.ThrowRange(), 0.75 * 2.2 + 0.8);
}

TEST(Unit, PushesOnlyReachGrabbableUnitsOfTheWorld) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 5, 5);
  CUnit stranger(&world);
  EXPECT_FALSE(world.PushUnit(nullptr, 0, 1));
  EXPECT_FALSE(world.PushUnit(&stranger, 0, 1));
  EXPECT_FALSE(world.PushUnit(&unit, std::numeric_limits<double>::quiet_NaN(), 1));
  EXPECT_FALSE(world.PushUnit(&unit, 0, std::numeric_limits<double>::infinity()));
  unit.state = UNIT_FALLING;
  EXPECT_FALSE(world.PushUnit(&unit, 0, 1));
  EXPECT_EQ(unit.x, 5);
  EXPECT_TRUE(world.ContainsUnit(&unit));
  EXPECT_FALSE(world.ContainsUnit(&stranger));
}

TEST(Unit, APushOfNoDistanceHopsInPlaceAndIsDrawnWhereItStands) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CUnit& unit = AddUnit(world, 5, 5);
  ASSERT_TRUE(world.PushUnit(&unit, 1, 0));
  EXPECT_EQ(unit.transitionTimer.end, 0);
  const RenderVertex p = unit.DisplayPosition();
  EXPECT_EQ(p.x, 5);
  EXPECT_EQ(p.y, 5);
  EXPECT_EQ(p.z, 0.35);
}

TEST(Unit, HeadingTurnsTheShorterWayAtSixRadiansASecond) {
  CUnit unit;
  unit.heading = 0.1;
  unit.targetHeading = 6.2;  // the short way is down through zero
  unit.Advance(0.01);
  EXPECT_DOUBLE_EQ(unit.heading, 0.04);
  unit.Advance(0.01);
  EXPECT_DOUBLE_EQ(unit.heading, 0.1 - 0.12 + 2 * PI);
  unit.Advance(1);
  EXPECT_EQ(unit.heading, 6.2);

  unit.heading = 6.0;
  unit.targetHeading = 0.2;  // the short way is up through 2 pi
  unit.Advance(0.05);
  EXPECT_DOUBLE_EQ(unit.heading, 6.3 - 2 * PI);

  unit.heading = 4.0 - PI;
  unit.targetHeading = 4.0;  // exactly opposite: turns the negative way
  unit.Advance(0.05);
  EXPECT_DOUBLE_EQ(unit.heading, 4.0 - PI - 0.3);
  unit.heading = 1.0 + PI;
  unit.targetHeading = 1.0;  // and from the other side too
  unit.Advance(0.05);
  EXPECT_DOUBLE_EQ(unit.heading, 1.0 + PI - 0.3);

  unit.heading = 1.0;
  unit.targetHeading = -1.0;  // a negative target is brought into [0, 2 pi) and kept
  unit.Advance(0.05);
  EXPECT_EQ(unit.targetHeading, -1.0 + 2 * PI);
  EXPECT_DOUBLE_EQ(unit.heading, 0.7);
}

TEST(Unit, PitchStopsExactlyAtItsTarget) {
  CUnit unit;
  unit.pitch = 0.2;
  unit.targetPitch = 1.5;
  unit.Advance(0.1);
  EXPECT_DOUBLE_EQ(unit.pitch, 0.8);
  unit.Advance(0.5);
  EXPECT_EQ(unit.pitch, 1.5);
  unit.targetPitch = 1.45;
  unit.Advance(0.1);
  EXPECT_EQ(unit.pitch, 1.45);
}

// A view straight down the +y axis from (5, -5, 0.35): depth along +y, screen x along +x
// and screen y along +z, each already divided as the picking expects.
struct SimpleView {
  double eye[3] = {5, -5, 0.35};
  double rows[9] = {0, 1, 0, 1, 0, 0, 0, 0, 1};
};

TEST(Unit, PickingPrefersTheGrabbableBlobNearestThePointerOnScreen) {
  CWorld world;
  MakeBoard(world, 10, 10);
  SimpleView view;
  AddUnit(world, 5, 0);                 // dead ahead, 5 away: screen (0, 0)
  CUnit& right = AddUnit(world, 6, 0);  // screen (0.2, 0)
  const PickResult pick = world.PickUnit(0.15, 0, view.eye, view.rows, 1.0, 70.0);
  EXPECT_TRUE(pick.found);
  EXPECT_EQ(pick.unit, &right);
  EXPECT_DOUBLE_EQ(pick.screenX, 0.2);
  EXPECT_DOUBLE_EQ(pick.screenY, 0);
  EXPECT_DOUBLE_EQ(pick.distance, std::sqrt(26.0));
  EXPECT_NEAR(pick.screenDistance2, 0.05 * 0.05, 1e-15);
  // The aspect widens screen x offsets.
  const PickResult wide = world.PickUnit(0.09, 0, view.eye, view.rows, 3.0, 70.0);
  EXPECT_EQ(wide.unit, &world.units.front());
}

TEST(Unit, PickingSettlesOnANearerBlobUnderThePointerEvenIfItCannotBeGrabbed) {
  CWorld world;
  MakeBoard(world, 10, 10);
  SimpleView view;
  CUnit& far = AddUnit(world, 6, 4);
  CUnit& near = AddUnit(world, 5, 0);
  near.state = UNIT_HOPPING;
  near.hopStartX = 5;
  near.hopStartY = 0;
  const PickResult pick = world.PickUnit(0, 0, view.eye, view.rows, 1.0, 70.0);
  EXPECT_EQ(pick.unit, &near);
  EXPECT_FALSE(pick.found);
  (void)far;
  // With the pointer away from it, the grabbable blob wins.
  const PickResult aside = world.PickUnit(0.5, 0.5, view.eye, view.rows, 1.0, 70.0);
  EXPECT_EQ(aside.unit, &far);
  EXPECT_TRUE(aside.found);
}

}  // namespace
