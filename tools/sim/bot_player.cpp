#include "tools/sim/bot_player.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/random.h"
#include "game/exact_math.h"
#include "game/world.h"

namespace {
// A quick player manages a throw every 0.3 s of game time, and looks the board over
// again every tenth of a second when there was nothing to do.
constexpr double THROW_INTERVAL = 0.3;
constexpr double LOOK_INTERVAL = 0.1;
// Throw directions tried around a blob, and the steps by which a throw is shortened from
// the blob's full range.
constexpr int THROW_DIRECTIONS = 24;
constexpr double PULL_STEP = 0.25;
constexpr double SHORTEST_PULL = 0.5;
// Beyond this distance from the nearest hole or crack every spot is as good as another.
constexpr double SAFE_ENOUGH = 3.0;
// A throw must take a blob at least this much farther from the nearest hole or crack.
constexpr double BETTER_BY = 0.5;
// Danger levels.
constexpr double DANGER_NEAR_HOLE = 1.0;
constexpr double DANGER_CRACK_UNDERFOOT = 2.0;

bool IsHazard(int cell) {
  return cell == CELL_HOLE || cell == CELL_CRUMBLING;
}

int NearestCell(double v) {
  return static_cast<int>(std::floor(v + 0.5));
}

// True if a hole or a crumbling cell lies in the 3 x 3 cells around the point's cell.
// That block holds the four cells whose corner block decides the point's footing.
bool HazardAround(const CWorld& world, BoardPoint p) {
  const int ci = NearestCell(p.x);
  const int cj = NearestCell(p.y);
  for (int j = cj - 1; j <= cj + 1; ++j) {
    for (int i = ci - 1; i <= ci + 1; ++i) {
      if (IsHazard(world.CellAt(i, j))) return true;
    }
  }
  return false;
}

// True if a hole or a crumbling cell is one of the four cells around the point, the ones
// that decide its footing.
bool HazardUnderfoot(const CWorld& world, BoardPoint p) {
  const int i0 = static_cast<int>(std::floor(p.x));
  const int j0 = static_cast<int>(std::floor(p.y));
  return IsHazard(world.CellAt(i0, j0)) || IsHazard(world.CellAt(i0 + 1, j0)) ||
         IsHazard(world.CellAt(i0, j0 + 1)) || IsHazard(world.CellAt(i0 + 1, j0 + 1));
}

double CrackProgress(const CWorld& world, int column, int row) {
  for (const CPendingHole& hole : world.pendingHoles) {
    if (hole.column == column && hole.row == row) return hole.formingTimer.Fraction();
  }
  return 0;
}

// The holes and crumbling cells of the board, looked up fast: the bot asks about them
// thousands of times for every throw it considers.
class HazardMap {
 public:
  explicit HazardMap(const CWorld& world)
      : width(world.width), height(world.height), hazard(world.cells.size()) {
    for (size_t k = 0; k < hazard.size(); ++k) hazard[k] = IsHazard(world.cells[k]);
  }

  // Off the board there is fence, no hazard.
  bool At(int i, int j) const {
    return i >= 0 && j >= 0 && i < width && j < height &&
           hazard[static_cast<size_t>(i) + static_cast<size_t>(j) * width];
  }

  // See HazardUnderfoot.
  bool Underfoot(BoardPoint p) const {
    const int i0 = static_cast<int>(std::floor(p.x));
    const int j0 = static_cast<int>(std::floor(p.y));
    return At(i0, j0) || At(i0 + 1, j0) || At(i0, j0 + 1) || At(i0 + 1, j0 + 1);
  }

  // Distance from the point to the nearest hazard centre, at most SAFE_ENOUGH.
  double Clearance(BoardPoint p) const { return std::sqrt(Nearest2(p, SAFE_ENOUGH)); }

  // True if no hazard centre lies within the distance of the point.
  bool ClearFor(BoardPoint p, double distance) const {
    return Nearest2(p, distance) == distance * distance;
  }

 private:
  // The squared distance to the nearest hazard centre, or reach squared if none is
  // nearer; only the cells within reach are looked at.
  double Nearest2(BoardPoint p, double reach) const {
    double nearest2 = reach * reach;
    const int i0 = std::max(0, static_cast<int>(std::ceil(p.x - reach)));
    const int i1 = std::min(width - 1, static_cast<int>(std::floor(p.x + reach)));
    const int j0 = std::max(0, static_cast<int>(std::ceil(p.y - reach)));
    const int j1 = std::min(height - 1, static_cast<int>(std::floor(p.y + reach)));
    for (int j = j0; j <= j1; ++j) {
      for (int i = i0; i <= i1; ++i) {
        if (!At(i, j)) continue;
        const double dx = i - p.x;
        const double dy = j - p.y;
        nearest2 = std::min(nearest2, dx * dx + dy * dy);
      }
    }
    return nearest2;
  }

  int width;
  int height;
  std::vector<char> hazard;
};

// The throw of one blob that lands farthest from every hazard, if that spot is safe and
// clearly farther from them than where the blob stands.
bool BestThrowFor(const CWorld& world, const HazardMap& hazards, CUnit& unit, BotThrow& best) {
  struct Direction {
    double angle, cosine, sine;
  };
  static const std::vector<Direction> directions = [] {
    std::vector<Direction> table;
    for (int k = 0; k < THROW_DIRECTIONS; ++k) {
      const double angle = 2 * PI * k / THROW_DIRECTIONS;
      table.push_back({angle, ExactCos(angle), ExactSin(angle)});
    }
    return table;
  }();
  const BoardPoint grab = unit.Position();
  double bestClearance = hazards.Clearance(grab) + BETTER_BY;
  if (bestClearance >= SAFE_ENOUGH) return false;  // nowhere is clearly safer
  bool found = false;
  const double range = unit.ThrowRange();
  for (int step = 0; range - step * PULL_STEP >= SHORTEST_PULL; ++step) {
    const double pull = range - step * PULL_STEP;
    for (const Direction& d : directions) {
      // The same sums as CPlayerHold::Landing, without the sine and cosine.
      const BoardPoint spot = {grab.x - pull * d.cosine, grab.y - pull * d.sine};
      // The cheap tests first: most spots fail on the cells alone.
      if (hazards.Underfoot(spot) || !hazards.ClearFor(spot, bestClearance)) continue;
      const double clearance = hazards.Clearance(spot);
      if (clearance <= bestClearance || !IsSafeSpot(world, spot, &unit)) continue;
      bestClearance = clearance;
      best = {&unit, d.angle, pull};
      found = true;
    }
  }
  return found;
}
}  // namespace

double BotDanger(const CWorld& world, const CUnit& unit) {
  const int i0 = static_cast<int>(std::floor(unit.x));
  const int j0 = static_cast<int>(std::floor(unit.y));
  double progress = -1;
  for (int j = j0; j <= j0 + 1; ++j) {
    for (int i = i0; i <= i0 + 1; ++i) {
      if (world.CellAt(i, j) == CELL_CRUMBLING)
        progress = std::max(progress, CrackProgress(world, i, j));
    }
  }
  if (progress >= 0) return DANGER_CRACK_UNDERFOOT + progress;
  return HazardAround(world, unit.Position()) ? DANGER_NEAR_HOLE : 0;
}

bool IsSafeSpot(const CWorld& world, BoardPoint spot, const CUnit* unit) {
  return !HazardUnderfoot(world, spot) && world.IsFree(spot.x, spot.y, BLOB_RADIUS, unit);
}

bool ChooseBotThrow(CWorld& world, BotThrow& choice) {
  // The grabbable blobs in danger, most endangered first (list order among equals).
  std::vector<std::pair<double, CUnit*>> endangered;
  for (CUnit& unit : world.units) {
    if (!unit.IsGrabbable()) continue;
    const double danger = BotDanger(world, unit);
    if (danger > 0) endangered.emplace_back(danger, &unit);
  }
  std::stable_sort(endangered.begin(), endangered.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  if (endangered.empty()) return false;
  const HazardMap hazards(world);
  for (const auto& entry : endangered) {
    if (BestThrowFor(world, hazards, *entry.second, choice)) return true;
  }
  return false;
}

void CBotPlayer::Update(CWorld& world, double dt) {
  hold.Update(world, dt);
  if (!world.IsRunning()) return;
  sinceThrow += dt;
  sinceLook += dt;
  if (hold.Busy() || (thrownBefore && sinceThrow < THROW_INTERVAL)) return;
  if (lookedBefore && sinceLook < LOOK_INTERVAL) return;
  lookedBefore = true;
  sinceLook = 0;
  BotThrow choice;
  if (!ChooseBotThrow(world, choice)) return;
  hold.Aim(*choice.unit, choice.angle, choice.pull);
  if (!hold.Grab(world, choice.unit)) return;
  if (hold.Release()) ++throws;
  thrownBefore = true;
  sinceThrow = 0;
}
