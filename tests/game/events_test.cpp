// Timers, the choice of the earliest event and the world's frame loop.

#include "game/events.h"

#include <gtest/gtest.h>

#include <memory>

#include "game/random.h"
#include "game/world.h"
#include "tests/game/test_world.h"

namespace {

using testworld::AddFlower;
using testworld::AddUnit;
using testworld::MakeBoard;
using testworld::SetCrumbling;

TEST(Events, TheEarlierEventWinsAndTiesKeepTheFirst) {
  const EventPtr none;
  const EventPtr first = std::make_shared<CEvent>(1.0);
  const EventPtr same = std::make_shared<CEvent>(1.0);
  const EventPtr earlier = std::make_shared<CEvent>(0.5);
  EXPECT_EQ(EarlierEvent(none, first), first);
  EXPECT_EQ(EarlierEvent(first, same), first);
  EXPECT_EQ(EarlierEvent(first, earlier), earlier);
  EXPECT_EQ(EarlierEvent(earlier, first), earlier);
}

// A world in which every kind of timer runs out one second from now.
void MakeEverythingDueAtOnce(CWorld& world) {
  MakeBoard(world, 10, 10);
  world.gameClock = {89, 90, true};
  world.boardChangeTimer = {2, 3, true};
  world.flowerSpawnTimer = {0, 1, true};
  AddFlower(world, 2, 2, 1);
  SetCrumbling(world, 7, 7).formingTimer = {4, 5, true};
  CUnit& first = AddUnit(world, 4, 4);
  first.transitionTimer = {0, 1, true};
  CUnit& second = AddUnit(world, 6, 4);
  second.transitionTimer = {0.5, 1.5, true};
}

TEST(Events, SimultaneousTimersFireInTheFixedOrder) {
  CWorld world;
  MakeEverythingDueAtOnce(world);
  CUnit& first = world.units.front();
  CUnit& second = world.units.back();

  auto next = [&world] { return world.FindNextEvent(std::make_shared<CEvent>(5.0)); };
  EventPtr event = next();
  EXPECT_NE(dynamic_cast<CGameEndEvent*>(event.get()), nullptr);
  EXPECT_EQ(event->time, 1.0);
  world.gameClock.active = false;
  EXPECT_NE(dynamic_cast<CBoardChangeEvent*>(next().get()), nullptr);
  world.boardChangeTimer.active = false;
  EXPECT_NE(dynamic_cast<CFlowerSpawnEvent*>(next().get()), nullptr);
  world.flowerSpawnTimer.active = false;
  event = next();
  auto* death = dynamic_cast<CFlowerDeathEvent*>(event.get());
  ASSERT_NE(death, nullptr);
  EXPECT_EQ(death->flower, &world.flowers.front());
  world.flowers.clear();
  event = next();
  auto* creation = dynamic_cast<CHoleCreationEvent*>(event.get());
  ASSERT_NE(creation, nullptr);
  EXPECT_EQ(creation->hole, &world.pendingHoles.front());
  world.pendingHoles.front().formingTimer.end = 9;
  event = next();
  auto* unitEvent = dynamic_cast<CUnitTransTimerExpireEvent*>(event.get());
  ASSERT_NE(unitEvent, nullptr);
  EXPECT_EQ(unitEvent->unit, &first);
  first.transitionTimer.active = false;
  event = next();
  unitEvent = dynamic_cast<CUnitTransTimerExpireEvent*>(event.get());
  ASSERT_NE(unitEvent, nullptr);
  EXPECT_EQ(unitEvent->unit, &second);
  second.transitionTimer.active = false;
  // Nothing due before the end of the step: the plain marker comes back.
  const EventPtr marker = std::make_shared<CEvent>(5.0);
  EXPECT_EQ(world.FindNextEvent(marker), marker);
}

TEST(Events, FlowerAndHoleTimersCountEvenWhenMarkedInactive) {
  CWorld world;
  MakeBoard(world, 10, 10);
  AddFlower(world, 2, 2, 1).lifeTimer.active = false;
  EXPECT_NE(
      dynamic_cast<CFlowerDeathEvent*>(world.FindNextEvent(std::make_shared<CEvent>(5.0)).get()),
      nullptr);
}

TEST(Events, TheEndOfTheStepWinsATieAndTheEventFiresNextFrame) {
  CWorld world;
  MakeBoard(world, 10, 10);
  world.flowerSpawnTimer = {0, 0.5, true};
  SeedRandom(3);
  world.Advance(0.5);
  EXPECT_TRUE(world.flowers.empty());
  EXPECT_EQ(world.flowerSpawnTimer.current, 0.5);
  EXPECT_TRUE(world.flowerSpawnTimer.active);
  world.Advance(0.1);
  EXPECT_EQ(world.flowers.size(), 1u);
  // Spawned at the very start of the frame: its life has run the whole 0.1 s since.
  EXPECT_EQ(world.flowers.front().lifeTimer.current, 0.1);
}

TEST(Events, NoTimeOrNegativeTimeChangesNothing) {
  CWorld world;
  SeedRandom(5);
  world.Reset(10, 10);
  world.Advance(1.5);
  const double score = world.score;
  const double clock = world.gameClock.current;
  const int nextRandom = [] {
    SeedRandom(77);
    return Rand();
  }();
  SeedRandom(77);
  for (double dt : {0.0, -1.0, -0.0}) world.Advance(dt);
  EXPECT_EQ(world.score, score);
  EXPECT_EQ(world.gameClock.current, clock);
  EXPECT_EQ(Rand(), nextRandom);  // no draw was taken
}

TEST(Events, AFinishedFallLeavesTheWorldAtTheNextPass) {
  CWorld world;
  MakeBoard(world, 10, 10);
  world.gameClock = {0, 90, true};
  CUnit& faller = AddUnit(world, 2, 2);
  AddUnit(world, 6, 6);
  faller.state = UNIT_FALLING;
  faller.transitionTimer = {0, 1.0, true};
  world.Advance(1.0);  // the fall ends exactly at the end of the step: not yet fired
  EXPECT_EQ(world.units.size(), 2u);
  EXPECT_TRUE(world.units.front().alive);
  world.Advance(0.01);  // fired at the start of this frame, removed on the next pass
  EXPECT_EQ(world.units.size(), 1u);
  EXPECT_EQ(world.units.front().x, 6);
}

TEST(Events, TheGameEndsAtOnceWhenTheLastUnitIsGone) {
  CWorld world;
  MakeBoard(world, 10, 10);
  world.gameClock = {10, 90, true};
  world.flowerSpawnTimer = {0, 0.5, true};
  CUnit& faller = AddUnit(world, 2, 2);
  faller.state = UNIT_FALLING;
  faller.alive = false;
  const EventPtr event = world.FindNextEvent(std::make_shared<CEvent>(1.0));
  EXPECT_TRUE(world.units.empty());
  ASSERT_NE(dynamic_cast<CGameEndEvent*>(event.get()), nullptr);
  EXPECT_EQ(event->time, 0.0);

  world.score = 42;
  world.Advance(1.0);
  EXPECT_FALSE(world.IsRunning());
  EXPECT_EQ(world.gameClock.current, 90);
  EXPECT_EQ(world.score, 42);
  EXPECT_EQ(world.flowers.size(), 1u);  // the world goes on without a game
}

TEST(Events, ScoreAccruesUpToTheEndOfTheGameAndNoFurther) {
  CWorld world;
  MakeBoard(world, 10, 10);
  world.gameClock = {89.5, 90, true};
  const CUnit& unit = AddUnit(world, 5, 5);  // happiness 0.75, fear 0: morale 0.75
  world.Advance(2.0);
  EXPECT_FALSE(world.IsRunning());
  EXPECT_TRUE(unit.behaviour->gameOver);  // blobs play on, hopping about
  EXPECT_DOUBLE_EQ(world.score, 0.75 * 0.5 * 20);
  const double final = world.score;
  world.Advance(2.0);
  EXPECT_EQ(world.score, final);
}

}  // namespace
