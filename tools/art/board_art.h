#pragma once

#include "tools/art/canvas.h"

// The board: lawn, the earth walls of the holes, the grass lip over their rims,
// the fence, flowers and grass tufts.
void PaintGrass(CCanvas& canvas);
void PaintDirtWall(CCanvas& canvas);
void PaintGrassEdge(CCanvas& canvas);
void PaintFence(CCanvas& canvas);
void PaintFlower(CCanvas& canvas);
void PaintGrassTuft(CCanvas& canvas, int variant);

// A tapered, gently bent blade of grass from its base toward angle (radians,
// 0 = +x, cairo's y down), added to the current path.
void BladePath(cairo_t* cr, double baseX, double baseY, double length, double angle, double width,
               double bend);
