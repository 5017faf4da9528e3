#pragma once

#include "render/renderer.h"

// Flat images over the window: every one is a single textured quad, its corners
// given top-left, bottom-left, bottom-right, top-right, with the image's u0..u1
// across and its full height up.
void DrawHudQuad(CRenderer& r, double x0, double x1, double y0, double y1, double u0 = 0,
                 double u1 = 1);

// Scores are shown, and compared, rounded to whole points.
long RoundedScore(double score);

// A number from the digit strip, one glyph per character from x onward, each
// glyphWidth wide, all in one batch of quads. A character that is not a digit
// keeps its place but draws nothing. The caller binds the digit image.
void DrawHudDigits(CRenderer& r, const char* text, double x, double glyphWidth, double y0,
                   double y1);
