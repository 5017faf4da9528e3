// The drawing order and every shortcut in the scene's drawing (trimmed sprites,
// skipped hidden geometry) must leave the picture as it was: the seeded mid-game
// scene, with the aiming line and marker up, drawn offscreen, against a stored
// picture of the same scene drawn the plain way, each part whole and in the
// order of its layers.
//
// To store a new reference (only when the picture is meant to change):
//   JQ_WRITE_PICTURE=<file.png> ./picture_guard_test   (in the build folder)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "render/opengl_renderer.h"
#include "render/texture.h"
#include "tests/render/gl_context.h"
#include "tests/render/png_writer.h"
#include "tests/view/mid_game_scene.h"

namespace {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;
// A software rasterizer may round a blend or a filter step differently when a
// primitive is cut up; more than one level in a channel is a changed picture.
constexpr int CHANNEL_TOLERANCE = 1;
constexpr double MATCHING_SHARE = 0.999;

std::vector<unsigned char> DrawScene(COffscreenGLContext& gl) {
  COpenGLRenderer r;
  r.SetClearColor(0, 0, 0);
  MidGameScene scene;
  scene.Build(2024, 25);
  // A sling pulled from the first blob, so the marker and its dots lie on the ground.
  const CUnit& unit = scene.world.units.front();
  scene.vis.aimVisible = true;
  scene.vis.targetValid = true;
  scene.vis.aimOrigin = {unit.x, unit.y};
  scene.vis.aimAngle = 0.6;
  scene.vis.aimDistance = 2.4;
  scene.DrawFrame(r, WIDTH, HEIGHT);
  return gl.Pixels();
}

bool SaveOpaque(const std::string& path, const std::vector<unsigned char>& pixels) {
  std::vector<std::vector<unsigned char>> rows;
  for (int y = HEIGHT - 1; y >= 0; --y) {
    rows.emplace_back(pixels.begin() + y * WIDTH * 4, pixels.begin() + (y + 1) * WIDTH * 4);
    for (int x = 0; x < WIDTH; ++x) rows.back()[x * 4 + 3] = 255;
  }
  return WriteRgbaPng(path, WIDTH, HEIGHT, rows);
}

TEST(PictureGuard, TheMidGameSceneLooksAsDrawnWholeAndInLayers) {
  COffscreenGLContext gl(WIDTH, HEIGHT);
  ASSERT_TRUE(gl.IsReady()) << gl.Problem();
  const std::vector<unsigned char> pixels = DrawScene(gl);
  if (const char* path = std::getenv("JQ_WRITE_PICTURE")) {
    ASSERT_TRUE(SaveOpaque(path, pixels));
    GTEST_SKIP() << "picture written to " << path;
  }
  DecodedImage reference;
  ASSERT_TRUE(LoadPngImage(REFERENCE_PICTURE, reference));
  ASSERT_EQ(reference.width, WIDTH);
  ASSERT_EQ(reference.height, HEIGHT);
  ASSERT_EQ(reference.pixels.size(), pixels.size());
  int matching = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    bool same = true;
    for (int c = 0; c < 3; ++c)
      same &= std::abs(pixels[i + c] - reference.pixels[i + c]) <= CHANNEL_TOLERANCE;
    matching += same;
  }
  const int total = WIDTH * HEIGHT;
  EXPECT_GE(matching, MATCHING_SHARE * total) << total - matching << " pixels differ";
  if (matching < total) SaveOpaque("picture_guard_actual.png", pixels);
}

}  // namespace
