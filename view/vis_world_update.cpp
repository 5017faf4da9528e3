#include <cmath>
#include <vector>

#include "base/random.h"
#include "game/world.h"
#include "view/vis_world.h"

namespace {

constexpr int FIRE_KIND = 0;
// Each open hole cell is owed five flame births a second.
constexpr double FIRE_PER_HOLE_PER_SECOND = 5;
// Flames are born this deep, at rest, and rise under their own acceleration.
constexpr double FIRE_DEPTH = -5.0;

}  // namespace

void CVisWorld::Update(double dt) {
  // A broken frame time (infinite or not a number) would make the spawn count
  // meaningless; such a frame moves nothing.
  if (!std::isfinite(dt)) return;
  particles.Update(dt);
  SpawnFire(dt);
}

void CVisWorld::SpawnFire(double dt) {
  int width = world->width;
  std::vector<int> holes;
  for (int row = 0; row < world->height; ++row)
    for (int column = 0; column < width; ++column)
      if (world->CellAt(column, row) == CELL_HOLE) holes.push_back(column + row * width);
  int count = static_cast<int>(holes.size());
  if (count == 0) {
    fireClock = fireClock + dt;
    return;
  }
  double interval = 1 / (count * FIRE_PER_HOLE_PER_SECOND);
  // Time accumulated while no hole was open never produces a burst.
  double avail = interval <= fireClock ? dt : dt - (interval - fireClock);
  double due = std::ceil(avail / interval);
  if (due <= 0) {
    fireClock = fireClock + dt;
    return;
  }
  // Attempt k stands for a birth k intervals after the frame's first due moment
  // and is aged accordingly. Every attempt takes its draws, even one so old that its
  // flame is gone the moment it is born: model and view share the generator, so
  // skipping them would make a long frame change the rest of the game.
  for (double k = 0; k < due; ++k) {
    double age = avail - k * interval;
    int index = holes[Rand() % count];
    int column = index % width;
    int row = index / width;
    double x = Rand() / static_cast<double>(RAND_LIMIT) + (column - 0.5);
    double y = Rand() / static_cast<double>(RAND_LIMIT) + (row - 0.5);
    // Near a rim the footing test may call the point solid: no flame there.
    if (world->ClassifyPoint(x, y) != FOOTING_SOLID)
      particles.Spawn(FIRE_KIND, x, y, FIRE_DEPTH, 0, 0, 0, age);
  }
  fireClock = avail - due * interval;
}
