// Fire fed into the holes draws from the generator the model shares, so every
// spawn attempt must take its draws whatever becomes of its flame.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/random.h"
#include "game/world.h"
#include "tests/render/png_writer.h"
#include "view/vis_world.h"

namespace {

TEST(FireSpawn, ALongFrameTakesTheDrawsOfFlamesThatDieAtBirth) {
  CScratchWorkingFolder folder;  // no images: loads fail quietly
  CWorld world;
  world.Reset(10, 10);
  const std::vector<int> holes = {44, 45};  // side by side: their rims mix solid footing in
  for (int cell : holes) world.cells[cell] = CELL_HOLE;
  CVisWorld vis(&world);
  vis.Reset();
  // Longer than a flame lives, so the first births of the frame are already over.
  const double dt = 3.0;
  SeedRandom(11);
  vis.Update(dt);
  const int next[2] = {Rand(), Rand()};

  // The draws by the rule, from the same seed: after a reset the first birth is due
  // one interval in, each attempt draws its cell, x and y, and a point whose footing
  // is not solid draws its flame's image.
  SeedRandom(11);
  const double interval = 1 / (holes.size() * 5.0);
  const double avail = dt - interval;
  const int attempts = static_cast<int>(std::ceil(avail / interval));
  int spawned = 0;
  int bornOver = 0;
  for (int k = 0; k < attempts; ++k) {
    const int cell = holes[Rand() % holes.size()];
    const double x = Rand() / 32767.0 + (cell % 10 - 0.5);
    const double y = Rand() / 32767.0 + (cell / 10 - 0.5);
    if (world.ClassifyPoint(x, y) == FOOTING_SOLID) continue;
    Rand();
    ++spawned;
    bornOver += (avail - k * interval) / 1.3 >= 1;
  }
  EXPECT_EQ(Rand(), next[0]);
  EXPECT_EQ(Rand(), next[1]);
  EXPECT_GT(bornOver, 0);
  EXPECT_EQ(static_cast<int>(vis.particles.Live().size()), spawned - bornOver);
}

}  // namespace
