// How long one mid-game frame of the real game screen (scene and display) takes
// to draw at 1024 x 768, offscreen, next to the limit frame (one screenful of
// fogged, filtered grass: the least any frame of the game can cost) and an empty
// frame (clear and finish only), all measured in the same run; then where the
// frame's pixels go, part by part.
//
//   ./frame_bench [frames]      (run in the build folder, where graphics/ is)
//
// With no GPU, Mesa draws in software (llvmpipe): that is where players with weak
// machines meet the game, and what this measures. Fragment counts do not depend
// on the machine's load; times do, so every figure is a median of frames taken
// in turn with the ones it is compared with.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "base/random.h"
#include "bench/limit/limit_frame.h"
#include "render/opengl_renderer.h"
#include "tests/render/gl_context.h"
#include "ui/game_ui.h"

namespace {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;
constexpr unsigned SEED = 2024;
constexpr double STEP = 1.0 / 60;
constexpr double PLAYED_UNSEEN = 25.0;  // seconds: holes, cracks, flowers and fire are up

const char* const PART_NAMES[PART_COUNT] = {"outer ground",    "tile tops", "walls",  "hole floor",
                                            "rim fringes",     "fence",     "tufts",  "flowers",
                                            "blobs and faces", "fire",      "decals", "display"};

// The game's renderer, able to leave out the geometry of one part (to time the
// frame without it) and to keep the depth test off (to count every fragment a
// part lays down, hidden or not).
class CBenchRenderer final : public COpenGLRenderer {
 public:
  bool muted = false;
  bool depthTestOff = false;

  void SetDepthTest(bool on) override { COpenGLRenderer::SetDepthTest(on && !depthTestOff); }
  void AddQuad(const RenderVertex& v0, const RenderVertex& v1, const RenderVertex& v2,
               const RenderVertex& v3) override {
    if (!muted) COpenGLRenderer::AddQuad(v0, v1, v2, v3);
  }
  void AddQuadVertex(const RenderVertex& v) override {
    if (!muted) COpenGLRenderer::AddQuadVertex(v);
  }
  void AddTriangle(const RenderVertex& v0, const RenderVertex& v1,
                   const RenderVertex& v2) override {
    if (!muted) COpenGLRenderer::AddTriangle(v0, v1, v2);
  }
  void AddTriangleVertex(const RenderVertex& v) override {
    if (!muted) COpenGLRenderer::AddTriangleVertex(v);
  }
  void AddFanVertex(const RenderVertex& v) override {
    if (!muted) COpenGLRenderer::AddFanVertex(v);
  }
  void AddStripVertex(const RenderVertex& v) override {
    if (!muted) COpenGLRenderer::AddStripVertex(v);
  }
};

std::shared_ptr<CBenchRenderer> benchRenderer;

std::shared_ptr<CRenderer> MakeBenchRenderer() {
  benchRenderer = std::make_shared<CBenchRenderer>();
  return benchRenderer;
}

// Follows the parts as the frame is drawn: mutes one of them, or counts each
// part's samples with occlusion queries, one per stretch of a part.
class CPartMeter final : public CScenePartListener {
 public:
  int mutedPart = -1;
  bool counting = false;

  void BeginPart(ScenePart part) override {
    benchRenderer->muted = part == mutedPart;
    if (!counting) return;
    EndQuery();
    GLuint query;
    glGenQueries(1, &query);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    running.push_back({part, query});
  }
  // Ends the frame's last stretch; with counting on, adds every stretch's samples
  // to its part.
  void EndFrame(long long samples[PART_COUNT]) {
    benchRenderer->muted = false;
    EndQuery();
    for (const Stretch& s : running) {
      GLuint64 n = 0;
      glGetQueryObjectui64v(s.query, GL_QUERY_RESULT, &n);
      samples[s.part] += static_cast<long long>(n);
      glDeleteQueries(1, &s.query);
    }
    running.clear();
    queryOpen = false;
  }

 private:
  struct Stretch {
    ScenePart part;
    GLuint query;
  };
  void EndQuery() {
    if (!running.empty() && queryOpen) glEndQuery(GL_SAMPLES_PASSED);
    queryOpen = counting;
  }
  std::vector<Stretch> running;
  bool queryOpen = false;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double CpuMs(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall clock; processor time of every thread (which other programs on a busy
// machine disturb far less than the wall clock); of the drawing thread alone
// (the renderer's own threads shade the pixels). glFinish waits until every
// pixel is drawn, as a buffer swap would.
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

// The game screen as the player sees it some way into a seeded game: title
// dismissed, holes, cracks, flowers and fire up.
void StartGame(CGameUI& game) {
  game.Enter();
  SeedRandom(SEED);
  game.world.Reset(10, 10);
  game.visWorld.Reset();
  game.Reshape(WIDTH, HEIGHT);
  game.MouseButton(MB_LEFT, true);
  game.MouseButton(MB_LEFT, false);
  for (double t = 0; t < PLAYED_UNSEEN; t += STEP) game.Update(STEP);
  game.MouseMove(0.5, 0.5);
}

// Fragments per part of one frame: laid down with the depth test off, and
// shaded (passing it) in the frame as drawn.
void CountFragments(CGameUI& game, CPartMeter& meter, bool depthTestOff,
                    long long samples[PART_COUNT]) {
  meter.counting = true;
  benchRenderer->depthTestOff = depthTestOff;
  game.Draw();
  meter.EndFrame(samples);
  benchRenderer->depthTestOff = false;
  meter.counting = false;
}

long long CountLimitFragments(CGameUI& game) {
  GLuint query;
  glGenQueries(1, &query);
  glBeginQuery(GL_SAMPLES_PASSED, query);
  DrawLimitFrame(*benchRenderer, game.visWorld, WIDTH, HEIGHT);
  glEndQuery(GL_SAMPLES_PASSED);
  GLuint64 n = 0;
  glGetQueryObjectui64v(query, GL_QUERY_RESULT, &n);
  glDeleteQueries(1, &query);
  return static_cast<long long>(n);
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  COffscreenGLContext gl(WIDTH, HEIGHT);
  if (!gl.IsReady()) {
    std::fprintf(stderr, "no OpenGL context: %s\n", gl.Problem());
    return 1;
  }
  CGameUI game(MakeBenchRenderer);
  StartGame(game);
  CPartMeter meter;
  game.visWorld.partListener = &meter;
  CRenderer& r = *benchRenderer;
  auto frame = [&] {
    game.Draw();
    meter.EndFrame(nullptr);
  };
  auto limit = [&] { DrawLimitFrame(r, game.visWorld, WIDTH, HEIGHT); };
  auto empty = [&] {
    r.SetViewport(0, 0, WIDTH, HEIGHT);
    r.SetDepthTest(true);
    r.Clear();
  };

  // A few frames first, so textures and drawing paths are warm.
  for (int i = 0; i < 10; ++i) {
    TimeFrame(frame);
    TimeFrame(limit);
  }
  std::vector<double> full, fullCpu, fullMain, limits, limitsCpu, empties;
  for (int i = 0; i < frames; ++i) {
    FrameTime e = TimeFrame(empty);
    FrameTime l = TimeFrame(limit);
    FrameTime f = TimeFrame(frame);
    empties.push_back(e.wall);
    limits.push_back(l.wall);
    limitsCpu.push_back(l.cpu);
    full.push_back(f.wall);
    fullCpu.push_back(f.cpu);
    fullMain.push_back(f.mainThread);
  }
  const double fullMs = Median(full), limitMs = Median(limits);
  std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  std::printf("scene: %zu blobs, %zu flames, %zu flowers, %zu cracks, %d x %d\n",
              game.world.units.size(), game.visWorld.particles.Live().size(),
              game.world.flowers.size(), game.world.pendingHoles.size(), WIDTH, HEIGHT);
  std::printf("frames: %d of each\n", frames);
  std::printf("empty frame median: %.3f ms\n", Median(empties));
  std::printf("limit frame median: %.3f ms\n", limitMs);
  std::printf("mid-game frame median: %.3f ms (scene and display)\n", fullMs);
  std::printf("ratio to the limit frame: %.2f\n", fullMs / limitMs);
  std::printf("processor time, all threads: limit frame %.3f ms, mid-game %.3f ms, ratio %.2f\n",
              Median(limitsCpu), Median(fullCpu), Median(fullCpu) / Median(limitsCpu));
  std::printf("drawing thread alone, mid-game: %.3f ms\n", Median(fullMain));

  // Each part's time: the whole frame against the frame without that part's
  // geometry, taken in turn, in processor time of every thread. Parts hidden
  // behind a left-out part then show through, so a covering part's time is an
  // underestimate.
  const int rounds = std::max(5, frames / 10);
  std::vector<double> whole, without[PART_COUNT];
  for (int i = 0; i < rounds; ++i) {
    whole.push_back(TimeFrame(frame).cpu);
    for (int part = 0; part < PART_COUNT; ++part) {
      meter.mutedPart = part;
      without[part].push_back(TimeFrame(frame).cpu);
      meter.mutedPart = -1;
    }
  }
  long long drawn[PART_COUNT] = {}, shaded[PART_COUNT] = {};
  CountFragments(game, meter, true, drawn);
  CountFragments(game, meter, false, shaded);
  const long long limitFragments = CountLimitFragments(game);
  const double screen = static_cast<double>(WIDTH) * HEIGHT;
  const double wholeMs = Median(whole);
  std::printf(
      "where the pixels go, per frame (drawn: fragments with the depth test off; shaded: "
      "those passing it; in screenfuls of %d x %d; time: processor time of the frame "
      "without the part, against the whole frame's %.3f ms, %d rounds)\n",
      WIDTH, HEIGHT, wholeMs, rounds);
  std::printf("  %-16s %9s %7s %9s %7s %8s\n", "part", "drawn", "screens", "shaded", "screens",
              "time ms");
  long long drawnSum = 0, shadedSum = 0;
  for (int part = 0; part < PART_COUNT; ++part) {
    std::printf("  %-16s %9lld %7.3f %9lld %7.3f %8.3f\n", PART_NAMES[part], drawn[part],
                drawn[part] / screen, shaded[part], shaded[part] / screen,
                wholeMs - Median(without[part]));
    drawnSum += drawn[part];
    shadedSum += shaded[part];
  }
  std::printf("  %-16s %9lld %7.3f %9lld %7.3f %8.3f\n", "whole frame", drawnSum, drawnSum / screen,
              shadedSum, shadedSum / screen, wholeMs);
  std::printf("  %-16s %9lld %7.3f %9lld %7.3f %8.3f\n", "limit frame", limitFragments,
              limitFragments / screen, limitFragments, limitFragments / screen, Median(limitsCpu));
  return 0;
}
