#pragma once

#include "game/timer.h"

// A flower on solid ground; it cheers nearby blobs until its life runs out.
struct CFlower {
  double x = 0;
  double y = 0;
  CTimer lifeTimer;  // {0, 8..20 s, active} at creation
};
