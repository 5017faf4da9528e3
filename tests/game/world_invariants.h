#pragma once

// The rules a world must keep after every frame, whatever happens in it. Returns an empty
// text when all hold, else a description of the first one broken.

#include <cmath>
#include <sstream>
#include <string>

#include "game/world.h"

namespace testworld {

inline std::string CheckInvariants(const CWorld& world) {
  std::ostringstream problem;
  int holes = 0;
  int pendingCount = 0;
  for (int j = 0; j < world.height; ++j) {
    for (int i = 0; i < world.width; ++i) {
      const int cell = world.CellAt(i, j);
      if (cell < CELL_HOLE || cell > CELL_GROUND) {
        problem << "cell (" << i << ", " << j << ") holds " << cell;
        return problem.str();
      }
      if ((cell == CELL_CRUMBLING) != world.IsPending(i, j)) {
        problem << "cell (" << i << ", " << j << ") is " << cell << " but its pending flag is "
                << world.IsPending(i, j);
        return problem.str();
      }
      if (cell == CELL_HOLE) ++holes;
      if (world.IsPending(i, j)) ++pendingCount;
    }
  }
  if (holes != world.openHoleCount) {
    problem << "open-hole count " << world.openHoleCount << " but " << holes << " hole cells";
    return problem.str();
  }
  if (pendingCount != static_cast<int>(world.pendingHoles.size())) {
    problem << pendingCount << " pending flags but " << world.pendingHoles.size()
            << " pending holes";
    return problem.str();
  }
  for (const CPendingHole& hole : world.pendingHoles) {
    if (world.CellAt(hole.column, hole.row) != CELL_CRUMBLING) {
      problem << "pending hole at (" << hole.column << ", " << hole.row << ") is not crumbling";
      return problem.str();
    }
  }
  for (const CFlower& flower : world.flowers) {
    if (world.ClassifyPoint(flower.x, flower.y) != FOOTING_SOLID) {
      problem << "flower at (" << flower.x << ", " << flower.y << ") stands over a hole";
      return problem.str();
    }
  }
  int index = 0;
  for (const CUnit& unit : world.units) {
    const double h = unit.behaviour->GetHappiness();
    const double f = unit.behaviour->GetFear();
    if (!(h >= 0 && h <= 1 && f >= 0 && f <= 1)) {
      problem << "unit " << index << " has happiness " << h << " and fear " << f;
      return problem.str();
    }
    if (!std::isfinite(unit.x) || !std::isfinite(unit.y) || !std::isfinite(unit.heading) ||
        !std::isfinite(unit.pitch)) {
      problem << "unit " << index << " has a position or angle that is not finite";
      return problem.str();
    }
    if (world.CellAt(static_cast<int>(std::floor(unit.x + 0.5)),
                     static_cast<int>(std::floor(unit.y + 0.5))) == CELL_WALL) {
      problem << "unit " << index << " stands off the board at (" << unit.x << ", " << unit.y
              << ")";
      return problem.str();
    }
    if (unit.alive && (unit.state == UNIT_STANDING || unit.state == UNIT_LANDING) &&
        world.ClassifyPoint(unit.x, unit.y) != FOOTING_SOLID) {
      problem << "unit " << index << " in state " << unit.state << " has footing "
              << world.ClassifyPoint(unit.x, unit.y) << " at (" << unit.x << ", " << unit.y << ")";
      return problem.str();
    }
    // No two blobs that take up room overlap: every landing spot was free.
    int otherIndex = 0;
    for (const CUnit& other : world.units) {
      if (&other != &unit && unit.state != UNIT_FALLING && other.state != UNIT_FALLING) {
        const double dx = other.x - unit.x;
        const double dy = other.y - unit.y;
        const double reach = BLOB_RADIUS + BLOB_RADIUS;
        if (reach * reach > dx * dx + dy * dy) {
          problem << "units " << index << " and " << otherIndex << " overlap";
          return problem.str();
        }
      }
      ++otherIndex;
    }
    ++index;
  }
  return std::string();
}

}  // namespace testworld
