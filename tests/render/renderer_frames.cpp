// Draws the frames a player sees most (the title, a seeded game some seconds in,
// the end of a game) with the game screen and this build's renderer, offscreen,
// and writes them as <folder>/<name>_<frame>.png. Given a reference name too, it
// compares each frame with <folder>/<reference>_<frame>.png and fails when they
// differ by more than the two pipelines legitimately do.
//
//   renderer_frames_gl1 <folder> gl1            the reference (OpenGL 1)
//   renderer_frames_gles2 <folder> gles2 gl1    draws and compares (OpenGL ES 2)
//
// The build says which kind of context to draw in: FRAMES_API.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/random.h"
#include "render/texture.h"
#include "tests/render/gl_context.h"
#include "tests/render/png_writer.h"
#include "ui/game_ui.h"
#include "ui/screen.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr unsigned SEED = 2024;
constexpr double FRAME_TIME = 1.0 / 60;
constexpr double MID_GAME_SECONDS = 25;

// The tolerance. Both pipelines run on the same rasteriser (llvmpipe) and the
// game's frames come out alike to within 4 levels in every pixel, about 0.3 % of
// pixels a level or more apart and 0.015 % more than 2, scattered single pixels
// along the edges of sprites. What parts them there:
// - rounding: the shader's fog and modulation are not the fixed-function code's
//   arithmetic term for term;
// - the level of detail where a sprite shrinks past its image's highest mipmap
//   level: OpenGL 1 stops at that level, the shader biases back to it from its
//   own estimate of the sampler's level, so the blend of two levels moves a
//   little where the estimates part.
// A wrong fog, blend, cull, texture generation or matrix moves thousands of
// pixels by tens of levels.
constexpr int WORST_LEVELS = 8;            // no pixel further apart than this
constexpr int ROUNDING_LEVELS = 2;         // differences up to this are rounding
constexpr double BEYOND_ROUNDING = 0.001;  // share of pixels allowed past rounding

struct Frame {
  std::string name;
  std::vector<unsigned char> pixels;  // RGBA, rows bottom-up
};

// The frame's rows top-down, opaque: the game's window has no alpha channel.
bool Save(const std::string& path, const std::vector<unsigned char>& pixels) {
  std::vector<std::vector<unsigned char>> rows;
  for (int y = HEIGHT - 1; y >= 0; --y) {
    rows.emplace_back(pixels.begin() + y * WIDTH * 4, pixels.begin() + (y + 1) * WIDTH * 4);
    for (int x = 0; x < WIDTH; ++x) rows.back()[x * 4 + 3] = 255;
  }
  return WriteRgbaPng(path, WIDTH, HEIGHT, rows);
}

std::vector<Frame> DrawFrames(COffscreenGLContext& context) {
  std::vector<Frame> frames;
  CGameUI ui(CGameUI::MakeOpenGLRenderer, CGameUI::MakeSilentSoundSink);
  ui.Enter();
  // Entering seeds with the clock; both renderers must see the same game.
  SeedRandom(SEED);
  ui.world.Reset(10, 10);
  ui.visWorld.Reset();
  ui.visWorld.blobsVisible = false;
  ui.Reshape(WIDTH, HEIGHT);
  ui.MouseMove(0.6, 0.4);
  ui.Draw();
  frames.push_back({"title", context.Pixels()});

  ui.MouseButton(MB_LEFT, true);
  ui.MouseButton(MB_LEFT, false);
  for (int frame = 0; frame * FRAME_TIME < MID_GAME_SECONDS; ++frame) ui.Update(FRAME_TIME);
  ui.Draw();
  frames.push_back({"mid_game", context.Pixels()});

  ui.world.gameClock.current = ui.world.gameClock.end - FRAME_TIME;
  for (int frame = 0; frame < 60; ++frame) ui.Update(FRAME_TIME);
  ui.Draw();
  frames.push_back({"end", context.Pixels()});
  return frames;
}

// Compares one frame with the reference drawing of it; writes the difference
// (brightened eight times) beside them and says what it found.
bool Compare(const std::string& folder, const Frame& frame, const std::string& reference) {
  DecodedImage expected;
  const std::string path = folder + "/" + reference + "_" + frame.name + ".png";
  if (!LoadPngImage(path.c_str(), expected) || expected.width != WIDTH ||
      expected.height != HEIGHT || expected.pixels.size() != frame.pixels.size()) {
    std::printf("%s: no reference picture %s\n", frame.name.c_str(), path.c_str());
    return false;
  }
  long beyondRounding = 0, total = 0;
  int worst = 0;
  std::vector<unsigned char> difference(frame.pixels.size(), 255);
  for (size_t p = 0; p < frame.pixels.size(); p += 4) {
    int d = 0;
    for (int c = 0; c < 3; ++c)
      d = std::max(d, std::abs(frame.pixels[p + c] - expected.pixels[p + c]));
    total += d;
    beyondRounding += d > ROUNDING_LEVELS;
    worst = std::max(worst, d);
    const unsigned char shade = static_cast<unsigned char>(std::min(255, d * 8));
    difference[p] = difference[p + 1] = difference[p + 2] = shade;
  }
  Save(folder + "/difference_" + frame.name + ".png", difference);
  const double pixels = static_cast<double>(WIDTH) * HEIGHT;
  const bool pass = worst <= WORST_LEVELS && beyondRounding <= BEYOND_ROUNDING * pixels;
  std::printf("%-9s mean %.3f levels, worst %d (%d allowed), over %d: %ld = %.3f%% (%.3f%%) %s\n",
              frame.name.c_str(), total / pixels, worst, WORST_LEVELS, ROUNDING_LEVELS,
              beyondRounding, 100 * beyondRounding / pixels, 100 * BEYOND_ROUNDING,
              pass ? "ok" : "TOO DIFFERENT");
  return pass;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <folder> <name> [<reference name>]\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1], name = argv[2];
  COffscreenGLContext context(WIDTH, HEIGHT, FRAMES_API);
  if (!context.IsReady()) {
    std::fprintf(stderr, "no offscreen context: %s\n", context.Problem());
    return 1;
  }
  bool ok = true;
  for (const Frame& frame : DrawFrames(context)) {
    ok &= Save(folder + "/" + name + "_" + frame.name + ".png", frame.pixels);
    if (argc > 3) ok &= Compare(folder, frame, argv[3]);
  }
  return ok ? 0 : 1;
}
