#include "tests/view/mid_game_scene.h"

#include "base/random.h"
#include "render/renderer.h"

void MidGameScene::Build(unsigned seed, double seconds) {
  SeedRandom(seed);
  world.Reset(10, 10);
  vis.Reset();
  vis.blobsVisible = true;
  world.eyePoint = vis.eye;
  const double dt = 1.0 / 60;
  for (int frame = 0; frame * dt < seconds; ++frame) {
    vis.Update(dt);
    world.Advance(dt);
  }
}

void MidGameScene::DrawFrame(CRenderer& r, int width, int height) {
  r.SetViewport(0, 0, width, height);
  r.SetDepthTest(true);
  r.Clear();
  r.ResetMatrices();
  r.SetPerspective(70, static_cast<double>(width) / height, 0.5, 50);
  vis.Draw(r);
}
