#include <algorithm>
#include <cmath>

#include "base/random.h"
#include "game/world.h"

namespace {
constexpr double HOLE_FORMING_TIME = 5.0;  // seconds a cell crumbles before it opens
constexpr double NO_NEW_HOLES_AT_END = 5;  // seconds before the end when no hole starts
// Tries at finding solid ground for a flower before that flower is given up. Any real
// board has ample solid ground; this only keeps a board of nothing but holes from
// spinning forever.
constexpr int FLOWER_PLACEMENT_TRIES = 1000;

double RandomFraction() {
  return Rand() / static_cast<double>(RAND_LIMIT);
}
}  // namespace

const std::vector<int>& ChooseHoleList(const std::vector<int>& nearList,
                                       const std::vector<int>& farList, int openHoleCount) {
  if (farList.empty()) {
    if (nearList.empty()) throw HOLE_PLACEMENT_ERROR;
    return nearList;
  }
  // The conditions are tested left to right and stop at the first false one: the 1-in-5
  // draw is taken only when there is a near list to choose, so an empty near list uses
  // no random number.
  if (!nearList.empty() && Rand() % 5 != 0 && openHoleCount != 0) return nearList;
  return farList;
}

void CWorld::ChangeBoard() {
  boardChangeTimer.Expire();
  const int current = openHoleCount + static_cast<int>(pendingHoles.size());

  // The hole target rises over the first half of the game, holds, and falls to zero over
  // its last fifth.
  const bool running = gameClock.active;
  const double g = running ? gameClock.current / gameClock.end : 1.0;
  int target = targetHoleCount;
  if (g < 0.5) {
    target = static_cast<int>(std::trunc(target * g * 2));
  } else if (g > 0.8) {
    target = static_cast<int>(std::trunc((1 - (g - 0.8) * 5) * target));
  }
  target = std::max(target, 0);

  int toOpen = 0;
  int toClose = 0;
  if (current < target) {
    toOpen = target - current;
    if (current == target - 1 && Rand() % 4 == 0) toClose = 1;
  } else if (current > target) {
    toClose = current - target;
    if (current == target + 1 && Rand() % 4 == 0) toOpen = 1;
  } else {
    toOpen = 1;
    toClose = 1;
  }
  if (!running || gameClock.end - gameClock.current <= NO_NEW_HOLES_AT_END) toOpen = 0;
  if (!running) toClose = openHoleCount;

  if (toOpen != 0 || toClose != 0) {
    HoleCandidates candidates = ScanHoleCandidates();
    const std::vector<int>& closable = candidates.closable;

    // Count distinct cells: the near list's weighted copies would let the picking below
    // spin forever once every distinct cell is pending.
    toOpen = std::min(toOpen, candidates.openable);
    toClose = std::min(toClose, static_cast<int>(closable.size()));

    while (toOpen > 0) {
      const std::vector<int>& list =
          ChooseHoleList(candidates.nearList, candidates.farList, openHoleCount);
      const int index = list[Rand() % list.size()];
      if (pendingFlags[index]) continue;
      CPendingHole hole;
      hole.formingTimer = {0, HOLE_FORMING_TIME, true};
      hole.column = index % width;
      hole.row = index / width;
      hole.angle = 2 * PI * RandomFraction();
      pendingHoles.push_back(hole);
      pendingFlags[index] = true;
      cells[index] = CELL_CRUMBLING;
      RecordCellMoment(MOMENT_CRUMBLE_STARTED, index);
      --toOpen;
    }

    while (toClose > 0) {
      const int index = closable[Rand() % closable.size()];
      if (cells[index] == CELL_GROUND) continue;
      cells[index] = CELL_GROUND;
      RecordCellMoment(MOMENT_HOLE_CLOSED, index);
      --openHoleCount;
      --toClose;
    }
  }

  for (CUnit& unit : units) UpdateGroundRatio(&unit);

  ++boardChangeCount;
  if (boardChangeCount < boardChangeLimit && (running || !pendingHoles.empty())) {
    boardChangeTimer.Restart(0.5 + 2.5 * RandomFraction());
  }
}

HoleCandidates CWorld::ScanHoleCandidates() const {
  // Holes close from their rims; new holes grow mostly beside old ones, and the more
  // holes around a cell, the likelier it goes.
  HoleCandidates candidates;
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      const int index = i + j * width;
      if (CellAt(i, j) == CELL_HOLE) {
        if (CountNeighbours(i, j, CELL_CRUMBLING, true) + CountNeighbours(i, j, CELL_HOLE, true) <
            8) {
          candidates.closable.push_back(index);
        }
      } else if (!pendingFlags[index]) {
        ++candidates.openable;
        if (HasNeighbour(i, j, CELL_HOLE, true)) {
          candidates.nearList.push_back(index);
          const int holes = CountNeighbours(i, j, CELL_HOLE, true);
          for (int copy = 3; copy < holes; ++copy) candidates.nearList.push_back(index);
        } else {
          candidates.farList.push_back(index);
        }
      }
    }
  }
  return candidates;
}

void CWorld::CompleteHole(CPendingHole* hole) {
  hole->formingTimer.Expire();
  const int column = hole->column;
  const int row = hole->row;
  OpenHole(column, row);
  if (column >= 0 && row >= 0 && column < width && row < height) {
    pendingFlags[static_cast<size_t>(column) + static_cast<size_t>(row) * width] = false;
  }
  pendingHoles.remove_if([hole](const CPendingHole& h) { return &h == hole; });
  for (CUnit& unit : units) UpdateGroundRatio(&unit);
}

void CWorld::OpenHole(int column, int row) {
  // Only cells of the grid ever change; the outside stays a wall.
  if (column < 0 || row < 0 || column >= width || row >= height) return;
  CellAt(column, row) = CELL_HOLE;
  ++openHoleCount;
  RecordMoment(MOMENT_HOLE_OPENED, column, row);
  for (CUnit& unit : units) unit.OnHoleOpened(column, row);

  bool swallowed = false;
  for (auto it = flowers.begin(); it != flowers.end();) {
    if (ClassifyPoint(it->x, it->y) == FOOTING_SOLID) {
      ++it;
      continue;
    }
    RecordMoment(MOMENT_FLOWER_DIED, it->x, it->y);
    it = flowers.erase(it);
    swallowed = true;
  }
  if (swallowed) {
    for (CUnit& unit : units) UpdateAttraction(&unit);
  }
}

void CWorld::SpawnFlower() {
  flowerSpawnTimer.Expire();
  bool placed = false;
  double x = 0;
  double y = 0;
  for (int tries = 0; tries < FLOWER_PLACEMENT_TRIES && !placed; ++tries) {
    x = RandomFraction() * width - 0.5;
    y = RandomFraction() * height - 0.5;
    placed = ClassifyPoint(x, y) == FOOTING_SOLID;
  }
  if (placed) {
    const double life = 8 + 12 * RandomFraction();
    CFlower flower;
    flower.x = x;
    flower.y = y;
    flower.lifeTimer = {0, life, true};
    flowers.push_back(flower);
    RecordMoment(MOMENT_FLOWER_BORN, x, y);
    for (CUnit& unit : units) UpdateAttraction(&unit);
  }
  flowerSpawnTimer.Restart((0.01 + 0.06 * RandomFraction()) * height * width);
}

void CWorld::RemoveFlower(CFlower* flower) {
  RecordMoment(MOMENT_FLOWER_DIED, flower->x, flower->y);
  flowers.remove_if([flower](const CFlower& f) { return &f == flower; });
  for (CUnit& unit : units) UpdateAttraction(&unit);
}
