#pragma once

#include <vector>

#include "base/render_vertex.h"
#include "game/board.h"

class CWorld;

// Where the eye can see under the ground: only through the tiles that are not
// solid grass, since the grass tops are drawn first and hide everything below
// them. The openings are kept as a grid of half-cell squares (each tile's four
// quarters), so a lone hole is not taken for the four tiles around it. Every
// test errs toward "may be seen", so what it rules out is never on screen.
class CGroundOpenings {
 public:
  // tiles: ClassifyCorner of every tile, x from -1 to width - 1 outer, y inner.
  CGroundOpenings(const CWorld& world, const std::vector<CornerClass>& tiles,
                  const RenderVertex& eye);

  // False when the eye is not above the ground, and nothing can be ruled out.
  bool Usable() const { return eye.z > 0; }
  // Whether an opening touches the box x0..x1, y0..y1 on the ground.
  bool Touches(double x0, double y0, double x1, double y1) const;
  // The bounding box of the openings that touch the box x0..x1, y0..y1 (in
  // place); false when none does.
  bool OpenBox(double& x0, double& y0, double& x1, double& y1) const;
  // Whether any of the points (all below the ground, n of them) may be seen:
  // the lines from the eye to them cross the ground in a box that touches an
  // opening.
  bool MaySee(const RenderVertex* points, int n) const;
  // Where the line from the eye through (x, y, z), below the ground, meets it.
  void ToGround(double x, double y, double z, double& gx, double& gy) const;
  // Where the line from the eye through (gx, gy) on the ground meets the plane
  // at height z below it.
  void FromGround(double gx, double gy, double z, double& x, double& y) const;

 private:
  bool OpenAt(int hx, int hy) const;

  int columns = 0, rows = 0;  // half-cell squares from board (-1, -1)
  std::vector<char> open;
  RenderVertex eye;
};
