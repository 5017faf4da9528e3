#include <algorithm>
#include <cmath>

#include "game/exact_math.h"
#include "game/world.h"

namespace {
// Cell coordinates far beyond any board; a coordinate is clamped to this range before it
// becomes an integer, so absurd or invalid points read as walls instead of overflowing.
constexpr double FAR_CELL = 1e9;

int FloorToCell(double v) {
  const double f = std::floor(v);
  if (!(f > -FAR_CELL)) return -static_cast<int>(FAR_CELL);  // also catches NaN
  if (f > FAR_CELL) return static_cast<int>(FAR_CELL);
  return static_cast<int>(f);
}

// Corner bits: SW 1, NW 2, NE 4, SE 8, set where the cell is a hole.
constexpr CornerClass CORNER_TABLE[16] = {
    {CORNER_SOLID, 0},      // none
    {CORNER_ONE_HOLE, 0},   // SW
    {CORNER_ONE_HOLE, 3},   // NW
    {CORNER_EDGE, 0},       // SW NW
    {CORNER_ONE_HOLE, 2},   // NE
    {CORNER_DIAGONAL, 0},   // SW NE
    {CORNER_EDGE, 3},       // NW NE
    {CORNER_ONE_SOLID, 1},  // all but SE
    {CORNER_ONE_HOLE, 1},   // SE
    {CORNER_EDGE, 1},       // SW SE
    {CORNER_DIAGONAL, 3},   // NW SE
    {CORNER_ONE_SOLID, 2},  // all but NE
    {CORNER_EDGE, 2},       // NE SE
    {CORNER_ONE_SOLID, 3},  // all but NW
    {CORNER_ONE_SOLID, 0},  // all but SW
    {CORNER_ALL_HOLE, 0},   // all four
};

// The 8 neighbours of a cell, in the order they are visited.
constexpr int NEIGHBOUR_DI[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr int NEIGHBOUR_DJ[8] = {-1, -1, -1, 0, 1, 1, 1, 0};

// Distance from v to the interval [lo, lo + 1], 0 inside it.
double DistanceToSpan(double v, int lo) {
  if (v < lo) return lo - v;
  if (v > lo + 1) return v - (lo + 1);
  return 0;
}
}  // namespace

int& CWorld::CellAt(int i, int j) {
  if (i < 0 || j < 0 || i >= width || j >= height) return outsideValue;
  return cells[static_cast<size_t>(i) + static_cast<size_t>(j) * width];
}

const int& CWorld::CellAt(int i, int j) const {
  if (i < 0 || j < 0 || i >= width || j >= height) return outsideValue;
  return cells[static_cast<size_t>(i) + static_cast<size_t>(j) * width];
}

bool CWorld::IsPending(int i, int j) const {
  if (i < 0 || j < 0 || i >= width || j >= height) return false;
  return pendingFlags[static_cast<size_t>(i) + static_cast<size_t>(j) * width];
}

CornerClass CWorld::ClassifyCorner(int i, int j) const {
  const int bits = (CellAt(i, j) == CELL_HOLE ? 1 : 0) | (CellAt(i, j + 1) == CELL_HOLE ? 2 : 0) |
                   (CellAt(i + 1, j + 1) == CELL_HOLE ? 4 : 0) |
                   (CellAt(i + 1, j) == CELL_HOLE ? 8 : 0);
  return CORNER_TABLE[bits];
}

int CWorld::ClassifyPoint(double px, double py) const {
  const CornerClass corner = ClassifyCorner(FloorToCell(px), FloorToCell(py));
  const double u = px - std::floor(px);
  const double v = py - std::floor(py);
  // Turn the local coordinates back into the shape's canonical frame.
  double cu = u;
  double cv = v;
  switch (corner.rotation) {
    case 1:
      cu = v;
      cv = 1 - u;
      break;
    case 2:
      cu = 1 - u;
      cv = 1 - v;
      break;
    case 3:
      cu = 1 - v;
      cv = u;
      break;
  }
  // A hole takes a blob only well past the line between cell centres; a band of edge
  // footing lies between.
  const double e = 0.35 - 0.25;
  auto byNearness = [e](double s) {
    if (s < e) return FOOTING_HOLE;
    if (s < 0.35) return FOOTING_EDGE;
    return FOOTING_SOLID;
  };
  switch (corner.shape) {
    case CORNER_ALL_HOLE:
      return FOOTING_HOLE;
    case CORNER_EDGE:
      return byNearness(cu);
    case CORNER_ONE_HOLE:
      return byNearness(cu + cv);
    case CORNER_ONE_SOLID: {
      const double s = cu + cv;
      if (s > 0.9) return FOOTING_HOLE;
      if (s > 0.65) return FOOTING_EDGE;
      return FOOTING_SOLID;
    }
    case CORNER_DIAGONAL:
      return byNearness(std::fabs(cu - cv));
    default:
      return FOOTING_SOLID;
  }
}

bool CWorld::IsFree(double px, double py, double radius, const CUnit* ignored) const {
  // In cell-corner space cell i covers [i, i + 1].
  const double cx = px + 0.5;
  const double cy = py + 0.5;
  if (CellAt(FloorToCell(cx), FloorToCell(cy)) == CELL_WALL) return false;

  // Walls within the radius block the disc. Any cell beyond the first ring outside the
  // grid is no closer than the ring cell beside it, which is a wall too, so the scan
  // stops there.
  const int i0 = std::max(FloorToCell(cx - radius), -1);
  const int i1 = std::min(FloorToCell(cx + radius), width);
  const int j0 = std::max(FloorToCell(cy - radius), -1);
  const int j1 = std::min(FloorToCell(cy + radius), height);
  const double radius2 = radius * radius;
  for (int j = j0; j <= j1; ++j) {
    const double dy = DistanceToSpan(cy, j);
    for (int i = i0; i <= i1; ++i) {
      const double dx = DistanceToSpan(cx, i);
      if (dx * dx + dy * dy <= radius2 && CellAt(i, j) == CELL_WALL) return false;
    }
  }

  // Other blobs, at their logical positions; falling ones no longer take up room.
  const double reach = radius + BLOB_RADIUS;
  const double reach2 = reach * reach;
  for (const CUnit& unit : units) {
    if (&unit == ignored || unit.state == UNIT_FALLING) continue;
    const double dx = unit.x - px;
    const double dy = unit.y - py;
    if (reach2 > dx * dx + dy * dy) return false;
  }
  return true;
}

bool CWorld::FindLandingSpot(double& px, double& py, double radius, double scale,
                             const CUnit* unit) const {
  if (IsFree(px, py, radius, unit)) return true;
  // Rings of candidates spreading outward, with more points on the wider rings.
  constexpr int RING_COUNT = 6;
  for (int k = 1; k <= RING_COUNT; ++k) {
    const double ringRadius = k * 0.25 * scale;
    const int n = k / 2 + 3;
    for (int m = 0; m < n; ++m) {
      const double a = 2 * PI * m / n;
      const double candidateX = px + ringRadius * ExactCos(a);
      const double candidateY = py + ringRadius * ExactSin(a);
      if (IsFree(candidateX, candidateY, radius, unit)) {
        px = candidateX;
        py = candidateY;
        return true;
      }
    }
  }
  return false;
}

bool CWorld::HasNeighbour(int i, int j, int value, bool equal) const {
  for (int n = 0; n < 8; ++n) {
    if ((CellAt(i + NEIGHBOUR_DI[n], j + NEIGHBOUR_DJ[n]) == value) == equal) return true;
  }
  return false;
}

int CWorld::CountNeighbours(int i, int j, int value, bool equal) const {
  int count = 0;
  for (int n = 0; n < 8; ++n) {
    if ((CellAt(i + NEIGHBOUR_DI[n], j + NEIGHBOUR_DJ[n]) == value) == equal) ++count;
  }
  return count;
}

double CWorld::GroundRatio(double px, double py) const {
  // A 5 x 5 window around the point's cell, clipped to the board.
  const int cx = FloorToCell(px + 0.5);
  const int cy = FloorToCell(py + 0.5);
  const int i0 = std::max(cx - 2, 0);
  const int i1 = std::min(cx + 3, width);
  const int j0 = std::max(cy - 2, 0);
  const int j1 = std::min(cy + 3, height);
  if (i0 >= i1 || j0 >= j1) return 0;  // off the board there is no ground
  int ground = 0;
  for (int j = j0; j < j1; ++j) {
    for (int i = i0; i < i1; ++i) {
      if (CellAt(i, j) != CELL_HOLE) ++ground;
    }
  }
  return static_cast<double>(ground) / ((i1 - i0) * (j1 - j0));
}
