// The world's record of what happened in a frame, checked against the world itself
// before and after each frame of a seeded game.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "base/random.h"
#include "game/world.h"

namespace {

int Count(const CWorld& world, MomentKind kind, double x, double y) {
  return static_cast<int>(
      std::count_if(world.Moments().begin(), world.Moments().end(),
                    [&](const WorldMoment& m) { return m.kind == kind && m.x == x && m.y == y; }));
}

int Count(const CWorld& world, MomentKind kind, const CUnit* unit = nullptr) {
  return static_cast<int>(std::count_if(
      world.Moments().begin(), world.Moments().end(),
      [&](const WorldMoment& m) { return m.kind == kind && (!unit || m.unit == unit); }));
}

MomentKind CellMoment(int now) {
  if (now == CELL_CRUMBLING) return MOMENT_CRUMBLE_STARTED;
  return now == CELL_HOLE ? MOMENT_HOLE_OPENED : MOMENT_HOLE_CLOSED;
}

// Seed 1 loses every blob, so its game has every kind of moment.
TEST(WorldMoments, ASeededGamesRecordIsWhatChangedInEachFrame) {
  SeedRandom(1);
  CWorld world;
  world.Reset(10, 10);
  ASSERT_EQ(world.Moments().size(), 1u);
  EXPECT_EQ(world.Moments()[0].kind, MOMENT_GAME_STARTED);

  std::map<MomentKind, int> seen;
  for (int frame = 0; frame < 6000; ++frame) {
    const std::vector<int> cells = world.cells;
    std::map<const CUnit*, int> states;
    for (const CUnit& unit : world.units) states[&unit] = unit.state;
    const int flowers = static_cast<int>(world.flowers.size());
    const bool running = world.IsRunning();
    world.Advance(1.0 / 60);
    for (const WorldMoment& m : world.Moments()) ++seen[m.kind];

    int changed = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
      if (cells[i] == world.cells[i]) continue;
      ++changed;
      EXPECT_EQ(Count(world, CellMoment(world.cells[i]), i % 10, i / 10), 1) << frame;
    }
    EXPECT_EQ(Count(world, MOMENT_CRUMBLE_STARTED) + Count(world, MOMENT_HOLE_OPENED) +
                  Count(world, MOMENT_HOLE_CLOSED),
              changed);

    int started = 0;
    for (const CUnit& unit : world.units) {
      const int was = states.count(&unit) ? states[&unit] : -1;
      states.erase(&unit);
      for (const auto& [state, kind] : {std::pair{UNIT_HOPPING, MOMENT_UNIT_HOPPED},
                                        {UNIT_LANDING, MOMENT_UNIT_LANDED},
                                        {UNIT_FALLING, MOMENT_UNIT_FELL}}) {
        const bool entered = unit.state == state && was != state;
        started += entered;
        EXPECT_EQ(Count(world, kind, &unit), entered ? 1 : 0) << frame;
      }
    }
    // What is left of the blobs seen before the frame has left the world.
    EXPECT_EQ(Count(world, MOMENT_UNIT_GONE), static_cast<int>(states.size()));
    EXPECT_EQ(Count(world, MOMENT_UNIT_HOPPED) + Count(world, MOMENT_UNIT_LANDED) +
                  Count(world, MOMENT_UNIT_FELL),
              started);
    EXPECT_EQ(Count(world, MOMENT_FLOWER_BORN) - Count(world, MOMENT_FLOWER_DIED),
              static_cast<int>(world.flowers.size()) - flowers);
    EXPECT_EQ(Count(world, MOMENT_GAME_ENDED), running && !world.IsRunning() ? 1 : 0);
  }
  for (MomentKind kind : {MOMENT_CRUMBLE_STARTED, MOMENT_HOLE_OPENED, MOMENT_HOLE_CLOSED,
                          MOMENT_FLOWER_BORN, MOMENT_FLOWER_DIED, MOMENT_UNIT_HOPPED,
                          MOMENT_UNIT_LANDED, MOMENT_UNIT_FELL, MOMENT_UNIT_GONE}) {
    EXPECT_GT(seen[kind], 0) << "moment " << kind;
  }
  EXPECT_EQ(seen[MOMENT_GAME_ENDED], 1);
  EXPECT_EQ(seen[MOMENT_GAME_STARTED], 0) << "only Reset starts a game";

  world.Advance(0);
  EXPECT_TRUE(world.Moments().empty()) << "every Advance starts a fresh record";
  world.Reset(10, 10);
  ASSERT_EQ(world.Moments().size(), 1u);
  EXPECT_EQ(world.Moments()[0].kind, MOMENT_GAME_STARTED);
}

}  // namespace
