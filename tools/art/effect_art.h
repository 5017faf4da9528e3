#pragma once

#include "tools/art/canvas.h"

// Fire and smoke sprites, and the decals laid on the ground.
void PaintFire(CCanvas& canvas, int variant);
void PaintSmoke(CCanvas& canvas);
void PaintAimDot(CCanvas& canvas);
void PaintTarget(CCanvas& canvas);
void PaintTargetOff(CCanvas& canvas);
void PaintCracks(CCanvas& canvas);
