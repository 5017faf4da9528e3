// How long one frame of the mid-game scene takes to draw at 1024 x 768, next to
// an empty frame (clear and finish only) measured in the same run.
//
//   ./frame_bench [frames]      (run in the build folder, where graphics/ is)
//
// With no GPU, Mesa draws in software (llvmpipe): that is where players with weak
// machines meet the game, and what this measures.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "render/opengl_renderer.h"
#include "tests/render/gl_context.h"
#include "tests/view/mid_game_scene.h"

namespace {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds for one frame; glFinish waits until every pixel is drawn, as a
// buffer swap would.
// Also the processor time the whole process spent on it (every drawing thread),
// which other programs on a busy machine disturb far less than the wall clock.
double CpuMs(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// wall clock; processor time of every thread; of the drawing thread alone (the
// renderer's own threads shade the pixels).
struct FrameTime {
  double wall, cpu, mainThread;
};

template <typename Frame>
FrameTime TimeFrame(Frame frame) {
  double cpuStart = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
  double threadStart = CpuMs(CLOCK_THREAD_CPUTIME_ID);
  auto start = std::chrono::steady_clock::now();
  frame();
  glFinish();
  std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return {spent.count(), CpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart,
          CpuMs(CLOCK_THREAD_CPUTIME_ID) - threadStart};
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  COffscreenGLContext gl(WIDTH, HEIGHT);
  if (!gl.IsReady()) {
    std::fprintf(stderr, "no OpenGL context: %s\n", gl.Problem());
    return 1;
  }
  COpenGLRenderer r;
  r.SetClearColor(0, 0, 0);
  MidGameScene scene;
  scene.Build(2024, 25);

  std::vector<double> empty, full, emptyCpu, fullCpu, fullMain;
  // A few frames first, so textures and drawing paths are warm.
  for (int i = 0; i < 10; ++i) TimeFrame([&] { scene.DrawFrame(r, WIDTH, HEIGHT); });
  for (int i = 0; i < frames; ++i) {
    FrameTime e = TimeFrame([&] {
      r.SetViewport(0, 0, WIDTH, HEIGHT);
      r.SetDepthTest(true);
      r.Clear();
    });
    FrameTime f = TimeFrame([&] { scene.DrawFrame(r, WIDTH, HEIGHT); });
    empty.push_back(e.wall);
    emptyCpu.push_back(e.cpu);
    full.push_back(f.wall);
    fullCpu.push_back(f.cpu);
    fullMain.push_back(f.mainThread);
  }
  double emptyMs = Median(empty), fullMs = Median(full);
  std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  std::printf("scene: %zu blobs, %zu flames, %zu tufts, %d x %d\n", scene.world.units.size(),
              scene.vis.particles.Live().size(), scene.vis.fringeTufts.size(), WIDTH, HEIGHT);
  std::printf("frames: %d of each\n", frames);
  std::printf("empty frame median: %.3f ms\n", emptyMs);
  std::printf("mid-game frame median: %.3f ms\n", fullMs);
  std::printf("ratio: %.2f\n", fullMs / emptyMs);
  std::printf("processor time, all threads: empty %.3f ms, mid-game %.3f ms\n", Median(emptyCpu),
              Median(fullCpu));
  std::printf("drawing thread alone, mid-game: %.3f ms\n", Median(fullMain));
  std::printf("fastest mid-game frame: %.3f ms, %.3f ms of processor time\n",
              *std::min_element(full.begin(), full.end()),
              *std::min_element(fullCpu.begin(), fullCpu.end()));
  return 0;
}
