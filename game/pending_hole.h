#pragma once

#include "game/timer.h"

// A cell that is crumbling and will open into a hole when its forming timer runs out.
// Exactly one exists for every cell that holds CELL_CRUMBLING.
struct CPendingHole {
  CTimer formingTimer;  // {0, 5 s, active} at creation
  int column = 0;
  int row = 0;
  double angle = 0;  // in [0, 2 pi]: how the cracks drawn on the cell are turned
};
