// The OpenGL ES 2 renderer's own duties, beyond drawing what OpenGL 1 draws (the
// renderer comparison covers that): images OpenGL ES cannot mipmap, or that fail
// to load, and runs of quads longer than one draw holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "render/gles2_renderer.h"
#include "render/texture.h"
#include "tests/render/gl_context.h"
#include "tests/render/png_writer.h"

namespace {

constexpr int WIDTH = 80;
constexpr int HEIGHT = 64;

std::string WriteSolid(const CScratchFolder& folder, const char* name, int w, int h) {
  std::vector<std::vector<unsigned char>> rows(h, std::vector<unsigned char>(w * 4));
  for (auto& row : rows)
    for (int x = 0; x < w; ++x) {
      row[x * 4] = 200, row[x * 4 + 1] = 100, row[x * 4 + 2] = 40, row[x * 4 + 3] = 255;
    }
  const std::string path = folder.File(name);
  WriteRgbaPng(path, w, h, rows);
  return path;
}

class Gles2Render : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.IsReady()) << gl.Problem();
    ASSERT_TRUE(r.IsReady());
    r.SetViewport(0, 0, WIDTH, HEIGHT);
    r.SetClearColor(0, 0, 0);
    r.Clear();
    r.ResetMatrices();
  }
  // The pixel at (x, y), RGB, within `tolerance` of the colour.
  bool PixelIs(int x, int y, int red, int green, int blue, int tolerance = 2) const {
    const std::vector<unsigned char> pixels = gl.Pixels();
    const unsigned char* p = &pixels[(static_cast<size_t>(y) * WIDTH + x) * 4];
    return std::abs(p[0] - red) <= tolerance && std::abs(p[1] - green) <= tolerance &&
           std::abs(p[2] - blue) <= tolerance;
  }
  // A square of `pixels` a side at the centre, textured with the whole image.
  void DrawSquare(const CTexture& image, double pixels) {
    image.Bind();
    const double w = pixels / WIDTH, h = pixels / HEIGHT;
    r.BeginQuads();
    r.AddQuad(VertexAt(-w, -h, 0, 0, 0), VertexAt(w, -h, 0, 1, 0), VertexAt(w, h, 0, 1, 1),
              VertexAt(-w, h, 0, 0, 1));
    r.EndQuads();
  }
  COffscreenGLContext gl{WIDTH, HEIGHT, COffscreenGLContext::API_GLES2};
  CGles2Renderer r;
};

// OpenGL ES samples an incomplete texture as black: sides that are not powers of
// two, a chain asked to stop early and a missing image must all still draw.
TEST_F(Gles2Render, EveryImageDrawsLargeAndSmallHoweverItLoaded) {
  CScratchFolder folder;
  CTexture odd, shortChain, fullChain, missing;
  EXPECT_TRUE(odd.Load(WriteSolid(folder, "odd.png", 48, 20).c_str(), true, true, -1));
  EXPECT_TRUE(shortChain.Load(WriteSolid(folder, "short.png", 64, 64).c_str(), false, false, 1));
  EXPECT_TRUE(fullChain.Load(WriteSolid(folder, "full.png", 64, 16).c_str(), true, false, -1));
  EXPECT_FALSE(missing.Load(folder.File("none.png").c_str(), false, false, 2));
  r.EnableTexturing();
  for (const CTexture* image : {&odd, &shortChain, &fullChain}) {
    for (double size : {60.0, 3.0}) {
      r.SetColor(1, 1, 1);
      r.Clear();
      DrawSquare(*image, size);
      EXPECT_TRUE(PixelIs(WIDTH / 2, HEIGHT / 2, 200, 100, 40)) << image->Name() << " at " << size;
    }
  }
  r.SetColor(0.2, 0.6, 1);
  DrawSquare(missing, 20);
  EXPECT_TRUE(PixelIs(WIDTH / 2, HEIGHT / 2, 51, 153, 255)) << "a missing image draws untextured";
}

// One quad per pixel, more than a single draw takes: every pixel is covered, in
// the colour its vertices carried.
TEST_F(Gles2Render, ALongRunOfQuadsDrawsWhole) {
  auto corner = [](int x, int y) {
    RenderVertex v = VertexAt(2.0 * x / WIDTH - 1, 2.0 * y / HEIGHT - 1, 0);
    v.hasColor = true;
    v.r = x / 255.0, v.g = y / 255.0, v.b = 1;
    return v;
  };
  r.BeginQuads();
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      const RenderVertex c = corner(x, y);
      RenderVertex v[4] = {c, corner(x + 1, y), corner(x + 1, y + 1), corner(x, y + 1)};
      for (RenderVertex& each : v) each.r = c.r, each.g = c.g;
      r.AddQuad(v[0], v[1], v[2], v[3]);
    }
  r.EndQuads();
  const std::vector<unsigned char> pixels = gl.Pixels();
  int right = 0;
  for (size_t p = 0; p < pixels.size(); p += 4) {
    const int x = static_cast<int>(p / 4 % WIDTH), y = static_cast<int>(p / 4 / WIDTH);
    right += pixels[p] == x && pixels[p + 1] == y && pixels[p + 2] == 255;
  }
  EXPECT_EQ(right, WIDTH * HEIGHT);
}

}  // namespace
