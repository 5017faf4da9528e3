// How long the seeded mid-game frame of the game screen (scene and display) takes
// through this build's renderer, offscreen at 1024 x 768 in Mesa's software
// renderer: built once with the OpenGL 1 renderer and once with the OpenGL ES 2
// one, which the browser uses, so scripts/bench.sh can time them by turns.
//
//   ./renderer_bench_gl1 [frames]     ./renderer_bench_gles2 [frames]
//
// Prints "median <ms> ms". The build says which context to draw in: BENCH_API.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/random.h"
#include "tests/render/gl_context.h"
#include "ui/game_ui.h"

namespace {
constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;
constexpr unsigned SEED = 2024;
constexpr double STEP = 1.0 / 60;
constexpr double PLAYED_UNSEEN = 25.0;  // seconds: holes, cracks, flowers and fire are up
constexpr int WARM_UP_FRAMES = 10;
}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  COffscreenGLContext context(WIDTH, HEIGHT, BENCH_API);
  if (!context.IsReady()) {
    std::fprintf(stderr, "no offscreen context: %s\n", context.Problem());
    return 1;
  }
  CGameUI ui(CGameUI::MakeOpenGLRenderer, CGameUI::MakeSilentSoundSink);
  ui.Enter();
  SeedRandom(SEED);
  ui.world.Reset(10, 10);
  ui.visWorld.Reset();
  ui.Reshape(WIDTH, HEIGHT);
  ui.MouseButton(MB_LEFT, true);
  ui.MouseButton(MB_LEFT, false);
  for (int frame = 0; frame * STEP < PLAYED_UNSEEN; ++frame) ui.Update(STEP);
  // The same frame each time: only the drawing is timed.
  std::vector<double> times;
  for (int frame = -WARM_UP_FRAMES; frame < frames; ++frame) {
    const auto start = std::chrono::steady_clock::now();
    ui.Draw();
    glFinish();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (frame >= 0) times.push_back(took.count());
  }
  std::sort(times.begin(), times.end());
  std::printf("median %.3f ms\n", times[times.size() / 2]);
  return 0;
}
