#include "view/ground_openings.h"

#include <algorithm>
#include <cmath>

#include "game/world.h"

namespace {
// Screen pixels round edges their own way; a hundredth of a unit is a pixel or
// more wherever the board is close enough to matter.
constexpr double MARGIN = 0.01;
constexpr int HALVES = 2;  // grid squares per board unit

// Which of a tile's quarters (in its own turned frame, x and y signs -, + as
// 0, 1) its hole reaches: the grass tops of the scene leave these uncovered.
bool QuarterOpen(int shape, int sx, int sy) {
  switch (shape) {
    case CORNER_SOLID:
      return false;
    case CORNER_EDGE:
      return sx == 0;
    case CORNER_ONE_HOLE:
      return sx == 0 && sy == 0;
    default:  // all hole, one solid corner, two holes across: some of every quarter
      return true;
  }
}
}  // namespace

CGroundOpenings::CGroundOpenings(const CWorld& world, const std::vector<CornerClass>& tiles,
                                 const RenderVertex& eye)
    : eye(eye) {
  columns = (world.width + 1) * HALVES;
  rows = (world.height + 1) * HALVES;
  open.assign(static_cast<size_t>(columns) * rows, 0);
  size_t index = 0;
  for (int x = -1; x <= world.width - 1; ++x)
    for (int y = -1; y <= world.height - 1; ++y) {
      const CornerClass& tile = tiles[index++];
      for (int sx = 0; sx < 2; ++sx)
        for (int sy = 0; sy < 2; ++sy) {
          if (!QuarterOpen(tile.shape, sx, sy)) continue;
          // The quarter's centre, turned a quarter turn at a time as the tile is.
          double qx = sx ? 0.25 : -0.25, qy = sy ? 0.25 : -0.25;
          for (int turn = 0; turn < (tile.rotation % 4 + 4) % 4; ++turn) {
            const double t = qx;
            qx = -qy;
            qy = t;
          }
          const int hx = static_cast<int>(std::floor((x + 0.5 + qx + 1) * HALVES));
          const int hy = static_cast<int>(std::floor((y + 0.5 + qy + 1) * HALVES));
          if (hx >= 0 && hy >= 0 && hx < columns && hy < rows)
            open[static_cast<size_t>(hy) * columns + hx] = 1;
        }
    }
}

bool CGroundOpenings::OpenAt(int hx, int hy) const {
  return open[static_cast<size_t>(hy) * columns + hx] != 0;
}

bool CGroundOpenings::Touches(double x0, double y0, double x1, double y1) const {
  return OpenBox(x0, y0, x1, y1);
}

bool CGroundOpenings::OpenBox(double& x0, double& y0, double& x1, double& y1) const {
  const int hx0 = std::max(0, static_cast<int>(std::floor((x0 - MARGIN + 1) * HALVES)));
  const int hy0 = std::max(0, static_cast<int>(std::floor((y0 - MARGIN + 1) * HALVES)));
  const int hx1 = std::min(columns - 1, static_cast<int>(std::floor((x1 + MARGIN + 1) * HALVES)));
  const int hy1 = std::min(rows - 1, static_cast<int>(std::floor((y1 + MARGIN + 1) * HALVES)));
  int ox0 = columns, oy0 = rows, ox1 = -1, oy1 = -1;
  for (int hy = hy0; hy <= hy1; ++hy)
    for (int hx = hx0; hx <= hx1; ++hx) {
      if (!OpenAt(hx, hy)) continue;
      ox0 = std::min(ox0, hx);
      oy0 = std::min(oy0, hy);
      ox1 = std::max(ox1, hx);
      oy1 = std::max(oy1, hy);
    }
  if (ox1 < 0) return false;
  x0 = static_cast<double>(ox0) / HALVES - 1 - MARGIN;
  y0 = static_cast<double>(oy0) / HALVES - 1 - MARGIN;
  x1 = static_cast<double>(ox1 + 1) / HALVES - 1 + MARGIN;
  y1 = static_cast<double>(oy1 + 1) / HALVES - 1 + MARGIN;
  return true;
}

bool CGroundOpenings::MaySee(const RenderVertex* points, int n) const {
  if (!Usable()) return true;
  double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30;
  for (int i = 0; i < n; ++i) {
    if (points[i].z >= 0) return true;
    double gx, gy;
    ToGround(points[i].x, points[i].y, points[i].z, gx, gy);
    x0 = std::min(x0, gx);
    y0 = std::min(y0, gy);
    x1 = std::max(x1, gx);
    y1 = std::max(y1, gy);
  }
  return Touches(x0, y0, x1, y1);
}

void CGroundOpenings::ToGround(double x, double y, double z, double& gx, double& gy) const {
  const double t = eye.z / (eye.z - z);
  gx = eye.x + (x - eye.x) * t;
  gy = eye.y + (y - eye.y) * t;
}

void CGroundOpenings::FromGround(double gx, double gy, double z, double& x, double& y) const {
  const double t = (eye.z - z) / eye.z;
  x = eye.x + (gx - eye.x) * t;
  y = eye.y + (gy - eye.y) * t;
}
