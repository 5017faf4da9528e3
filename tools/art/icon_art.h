#pragma once

#include "tools/art/canvas.h"

// The application icon: a cheerful blob on a square of sunny lawn.
void PaintIcon(CCanvas& canvas);
