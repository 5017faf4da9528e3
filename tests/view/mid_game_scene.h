#pragma once

#include "game/world.h"
#include "view/vis_world.h"

class CRenderer;

// A game some tens of seconds in, with holes, cracks, flowers and fire, for the
// picture test and the frame benchmark. Needs a current OpenGL context and the
// generated graphics/ folder in the working directory.
struct MidGameScene {
  CWorld world;
  CVisWorld vis{&world};

  // Seeds the generator, starts a game, and plays it at 60 frames a second as
  // the game screen does (visual world first, then the game world).
  void Build(unsigned seed, double seconds);

  // One frame as the game screen draws it, without the heads-up display.
  void DrawFrame(CRenderer& r, int width, int height);
};
