#pragma once

// Small builders for tests of the game model: bare boards and hand-placed blobs, so a
// test sets up exactly the situation it is about, without the draws of a full Reset.

#include <memory>

#include "game/blob_ai.h"
#include "game/world.h"

namespace testworld {

// The game's generator, written out on its own, to predict the draws the model takes.
class ReferenceRandom {
 public:
  explicit ReferenceRandom(unsigned seed) : state_(seed) {}
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  double Fraction() { return Next() / 32767.0; }

 private:
  unsigned state_;
};

// A board of ground cells with nothing on it and every timer stopped.
inline void MakeBoard(CWorld& world, int w, int h) {
  world.width = w;
  world.height = h;
  world.cells.assign(static_cast<size_t>(w) * h, CELL_GROUND);
  world.pendingFlags.assign(world.cells.size(), false);
  world.units.clear();
  world.flowers.clear();
  world.pendingHoles.clear();
  world.openHoleCount = 0;
  world.targetHoleCount = w * h * 5 / 8;
  world.boardChangeCount = 0;
  world.boardChangeLimit = 100;
  world.gameClock = CTimer();
  world.boardChangeTimer = CTimer();
  world.flowerSpawnTimer = CTimer();
}

// Opens a hole directly, keeping the hole count right, with no effect on anything else.
inline void SetHole(CWorld& world, int i, int j) {
  if (world.CellAt(i, j) != CELL_HOLE) ++world.openHoleCount;
  world.CellAt(i, j) = CELL_HOLE;
}

// Marks a cell crumbling with its pending record, as a board change would.
inline CPendingHole& SetCrumbling(CWorld& world, int i, int j) {
  world.CellAt(i, j) = CELL_CRUMBLING;
  world.pendingFlags[static_cast<size_t>(i) + static_cast<size_t>(j) * world.width] = true;
  CPendingHole hole;
  hole.formingTimer = {0, 5.0, true};
  hole.column = i;
  hole.row = j;
  world.pendingHoles.push_back(hole);
  return world.pendingHoles.back();
}

// A standing blob with a fresh behaviour attached but no decision taken and no timer.
inline CUnit& AddUnit(CWorld& world, double x, double y) {
  world.units.emplace_back(&world);
  CUnit& unit = world.units.back();
  unit.x = x;
  unit.y = y;
  unit.autonomous = true;
  unit.behaviour = std::make_shared<CBlobAI>();
  unit.behaviour->unit = &unit;
  unit.behaviour->world = &world;
  return unit;
}

inline CFlower& AddFlower(CWorld& world, double x, double y, double life) {
  CFlower flower;
  flower.x = x;
  flower.y = y;
  flower.lifeTimer = {0, life, true};
  world.flowers.push_back(flower);
  return world.flowers.back();
}

}  // namespace testworld
