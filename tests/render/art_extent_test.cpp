// Sprites are cut down to where their image shows, some images are read only
// when first needed and some are decoded ahead; none of it may change a pixel
// or lose an image.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "render/image_prefetch.h"
#include "render/opengl_renderer.h"
#include "render/texture.h"
#include "tests/render/gl_context.h"
#include "tests/render/png_writer.h"

namespace {

constexpr int SIDE = 64;  // the window, and the image

// A soft dot off the image's centre, on a transparent field.
std::string WriteDot(const CScratchFolder& folder) {
  std::vector<std::vector<unsigned char>> rows(SIDE, std::vector<unsigned char>(SIDE * 4, 0));
  for (int y = 20; y < 29; ++y)
    for (int x = 37; x < 44; ++x) {
      unsigned char* p = &rows[y][x * 4];
      p[0] = 250, p[1] = 40, p[2] = static_cast<unsigned char>(x * 5), p[3] = 255 - y;
    }
  const std::string path = folder.File("dot.png");
  WriteRgbaPng(path, SIDE, SIDE, rows);
  return path;
}

// The sprite blended over grey, size pixels across, whole or cut to its art.
std::vector<unsigned char> DrawSprite(COffscreenGLContext& gl, const CTexture& image, double size,
                                      bool trimmed) {
  COpenGLRenderer r;
  r.SetViewport(0, 0, SIDE, SIDE);
  r.SetClearColor(0.5, 0.5, 0.5);
  r.Clear();
  r.ResetMatrices();
  r.EnableTexturing();
  r.EnableAlphaBlend();
  r.SetColor(1, 1, 1, 1);
  image.Bind();
  const double h = size / SIDE;
  RenderVertex q[4] = {VertexAt(-h, -h, 0, 0, 0), VertexAt(h, -h, 0, 1, 0), VertexAt(h, h, 0, 1, 1),
                       VertexAt(-h, h, 0, 0, 1)};
  if (trimmed) TrimQuadToArt(image.Extent(), q[0], q[1], q[2], q[3]);
  r.BeginQuads();
  r.AddQuad(q[0], q[1], q[2], q[3]);
  r.EndQuads();
  return gl.Pixels();
}

TEST(ArtExtent, ACutSpriteDrawsTheSamePixelsAtEveryMipmapLevel) {
  COffscreenGLContext gl(SIDE, SIDE);
  ASSERT_TRUE(gl.IsReady()) << gl.Problem();
  CScratchFolder folder;
  CTexture image;
  ASSERT_TRUE(image.Load(WriteDot(folder).c_str(), false, false, 3));
  const ArtExtent art = image.Extent();
  EXPECT_LT(art.u1 - art.u0, 0.6);  // something is cut away
  EXPECT_LT(art.v1 - art.v0, 0.6);
  // From magnified down to where the third level is all that is sampled.
  for (double size : {64.0, 50.0, 32.0, 20.0, 12.0, 7.0}) {
    const std::vector<unsigned char> whole = DrawSprite(gl, image, size, false);
    const std::vector<unsigned char> cut = DrawSprite(gl, image, size, true);
    int differing = 0;
    for (size_t i = 0; i < whole.size(); ++i) differing += std::abs(whole[i] - cut[i]) > 1;
    EXPECT_EQ(differing, 0) << size << " pixels across";
  }
}

TEST(ArtExtent, AnImageLoadedLaterIsReadWhenFirstBoundOrInTurn) {
  COffscreenGLContext gl(SIDE, SIDE);
  ASSERT_TRUE(gl.IsReady()) << gl.Problem();
  CScratchFolder folder;
  const std::string path = WriteDot(folder);
  auto width = [](const CTexture& t) {
    GLint w = 0;
    glBindTexture(GL_TEXTURE_2D, t.Name());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    return w;
  };
  CTexture first, second, gone;
  first.LoadLater(path.c_str(), false, false, 1);
  gone.LoadLater(path.c_str(), false, false, 1);
  second.LoadLater(path.c_str(), false, false, 1);
  gone.Release();  // forgotten while waiting: never read
  EXPECT_EQ(width(first), 0);
  second.Bind();  // needed at once
  EXPECT_EQ(width(second), SIDE);
  EXPECT_TRUE(CTexture::LoadPending());
  EXPECT_EQ(width(first), SIDE);
  EXPECT_FALSE(CTexture::LoadPending());
}

TEST(ArtExtent, AnImageDecodedAheadIsUploadedAndABadOneLeavesAnUntexturedHandle) {
  COffscreenGLContext gl(SIDE, SIDE);
  ASSERT_TRUE(gl.IsReady()) << gl.Problem();
  CScratchFolder folder;
  const std::string good = WriteDot(folder);
  const std::string bad = folder.File("bad.png");
  std::ofstream(bad) << "not an image";
  CImagePrefetch::Shared().Start({good, bad});
  CImagePrefetch::Shared().Wait();
  // Gone from the disk: what the texture gets can only come from the prefetch.
  std::filesystem::remove(good);
  CTexture image, untextured;
  ASSERT_TRUE(image.Load(good.c_str(), false, false, 3));
  EXPECT_FALSE(untextured.Load(bad.c_str(), false, false, -1));
  EXPECT_NE(untextured.Name(), 0u);
  GLint width = -1;
  glBindTexture(GL_TEXTURE_2D, untextured.Name());
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // The same pixels as an image read in place.
  CTexture direct;
  ASSERT_TRUE(direct.Load(WriteDot(folder).c_str(), false, false, 3));
  EXPECT_EQ(DrawSprite(gl, image, 50, false), DrawSprite(gl, direct, 50, false));
}

}  // namespace
