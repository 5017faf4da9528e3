#include "render/texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include "render/opengl_renderer.h"
#include "tests/render/gl_context.h"
#include "tests/render/png_writer.h"

namespace {
using Rows = std::vector<std::vector<unsigned char>>;

// The highest level OpenGL assumes until told otherwise.
constexpr GLint DEFAULT_MAX_LEVEL = 1000;

Rows Gradient(int width, int height, int channels) {
  Rows rows(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * channels; ++x) {
      rows[y].push_back(static_cast<unsigned char>(y * 16 + x));
    }
    if (channels == 4) {
      for (int x = 0; x < width; ++x) {
        rows[y][x * 4 + 3] = 255;
      }
    }
  }
  return rows;
}

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.IsReady()) << gl.Problem();
    ASSERT_FALSE(folder.Path().empty());
  }

  std::string WriteImage(const std::string& name, int width, int height, int colorType = 6) {
    const std::string path = folder.File(name);
    const int channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : 4;
    EXPECT_TRUE(WritePng(path, width, height, colorType, 8, Gradient(width, height, channels)));
    return path;
  }

  static GLint LevelParameter(int level, GLenum which) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
    return value;
  }

  static GLint Parameter(GLenum which) {
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
  }

  // Checks levels 0..highest have the given sizes and nothing lies above.
  static void ExpectLevels(const std::vector<std::pair<int, int>>& sizes) {
    for (size_t level = 0; level < sizes.size(); ++level) {
      EXPECT_EQ(LevelParameter(level, GL_TEXTURE_WIDTH), sizes[level].first) << "level " << level;
      EXPECT_EQ(LevelParameter(level, GL_TEXTURE_HEIGHT), sizes[level].second) << "level " << level;
    }
    EXPECT_EQ(LevelParameter(sizes.size(), GL_TEXTURE_WIDTH), 0);
  }

  static std::vector<unsigned char> LevelZero(int width, int height, GLenum format, int bytes) {
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height * bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  COffscreenGLContext gl{64, 64};
  CScratchFolder folder;
};

TEST_F(TextureTest, HandBuiltLevelsStopAtMipLevels) {
  CTexture texture;
  ASSERT_TRUE(texture.Load(WriteImage("wide.png", 64, 16).c_str(), true, false, 3));
  ExpectLevels({{64, 16}, {32, 8}, {16, 4}, {8, 2}});
  EXPECT_EQ(Parameter(GL_TEXTURE_MAX_LEVEL), 3);
}

TEST_F(TextureTest, HandBuiltLevelsStopAtOnePixel) {
  CTexture texture;
  ASSERT_TRUE(texture.Load(WriteImage("small.png", 4, 4).c_str(), false, false, 5));
  ExpectLevels({{4, 4}, {2, 2}, {1, 1}});
  EXPECT_EQ(Parameter(GL_TEXTURE_MAX_LEVEL), 2);
}

TEST_F(TextureTest, LevelZeroOnly) {
  CTexture texture;
  ASSERT_TRUE(texture.Load(WriteImage("small.png", 4, 4).c_str(), false, false, 0));
  ExpectLevels({{4, 4}});
  EXPECT_EQ(Parameter(GL_TEXTURE_MAX_LEVEL), 0);
}

TEST_F(TextureTest, GluBuildsEveryLevel) {
  CTexture texture;
  ASSERT_TRUE(texture.Load(WriteImage("wide.png", 64, 16).c_str(), false, false, -1));
  ExpectLevels({{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}});
  EXPECT_EQ(Parameter(GL_TEXTURE_MAX_LEVEL), DEFAULT_MAX_LEVEL);
}

TEST_F(TextureTest, FiltersAndWrapModes) {
  CTexture texture;
  ASSERT_TRUE(texture.Load(WriteImage("small.png", 4, 4).c_str(), true, false, 0));
  EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

  ASSERT_TRUE(texture.Load(WriteImage("small.png", 4, 4).c_str(), false, true, -1));
  EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
}

TEST_F(TextureTest, UploadsTheDecodedBottomUpRows) {
  const std::string path = WriteImage("image.png", 4, 2);
  DecodedImage image;
  ASSERT_TRUE(LoadPngImage(path.c_str(), image));
  CTexture texture;
  ASSERT_TRUE(texture.Load(path.c_str(), false, false, 0));
  EXPECT_EQ(LevelZero(4, 2, GL_RGBA, 4), image.pixels);
}

// Rows of 3 x 3 = 9 or 2 x 3 = 6 bytes are not a multiple of four: OpenGL and
// GLU must neither expect nor write padding the decoder's buffers do not have.
TEST_F(TextureTest, UploadsRgbRowsOfAnyLength) {
  const std::string odd = WriteImage("odd.png", 3, 3, PNG_COLOR_TYPE_RGB);
  DecodedImage image;
  ASSERT_TRUE(LoadPngImage(odd.c_str(), image));
  CTexture texture;
  ASSERT_TRUE(texture.Load(odd.c_str(), false, false, 0));
  EXPECT_EQ(LevelZero(3, 3, GL_RGB, 3), image.pixels);

  const std::string narrow = WriteImage("narrow.png", 2, 4, PNG_COLOR_TYPE_RGB);
  ASSERT_TRUE(LoadPngImage(narrow.c_str(), image));
  ASSERT_TRUE(texture.Load(narrow.c_str(), false, false, -1));
  EXPECT_EQ(LevelZero(2, 4, GL_RGB, 3), image.pixels);
}

TEST_F(TextureTest, ScalesRgbLevelsOfAnyRowLength) {
  // A fresh context packs rows to four bytes; a one-colour image must still
  // scale to the same colour at every level.
  const std::string plain = folder.File("plain.png");
  const std::vector<unsigned char> row = {10, 20, 30, 10, 20, 30};
  ASSERT_TRUE(WritePng(plain, 2, 4, PNG_COLOR_TYPE_RGB, 8, Rows(4, row)));
  CTexture texture;
  ASSERT_TRUE(texture.Load(plain.c_str(), false, false, 1));
  ExpectLevels({{2, 4}, {1, 2}});
  std::vector<unsigned char> level1(6);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 1, GL_RGB, GL_UNSIGNED_BYTE, level1.data());
  EXPECT_EQ(level1, (std::vector<unsigned char>{10, 20, 30, 10, 20, 30}));
}

TEST_F(TextureTest, TextureCoordinateZeroIsTheImageBottom) {
  // Top row red, bottom row blue.
  const std::string path = folder.File("stripes.png");
  ASSERT_TRUE(WritePng(path, 2, 2, PNG_COLOR_TYPE_RGB, 8,
                       {{255, 0, 0, 255, 0, 0}, {0, 0, 255, 0, 0, 255}}));
  CTexture texture;
  ASSERT_TRUE(texture.Load(path.c_str(), false, false, 0));

  COpenGLRenderer renderer;
  renderer.ResetMatrices();
  renderer.SetColor(1, 1, 1);
  renderer.EnableTexturing();
  texture.Bind();
  RenderVertex corners[4];
  const double xy[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int i = 0; i < 4; ++i) {
    corners[i].x = xy[i][0];
    corners[i].y = xy[i][1];
    corners[i].u = (xy[i][0] + 1) / 2;
    corners[i].v = (xy[i][1] + 1) / 2;
  }
  renderer.BeginQuads();
  renderer.AddQuad(corners[0], corners[1], corners[2], corners[3]);
  renderer.EndQuads();
  renderer.DisableTexturing();

  const auto bottom = gl.Pixel(32, 1);
  const auto top = gl.Pixel(32, 62);
  EXPECT_GT(bottom[2], 240);
  EXPECT_LT(bottom[0], 15);
  EXPECT_GT(top[0], 240);
  EXPECT_LT(top[2], 15);
}

TEST_F(TextureTest, LastHandleDeletesTheTexture) {
  GLuint name = 0;
  {
    CTexture first;
    ASSERT_TRUE(first.Load(WriteImage("a.png", 2, 2).c_str(), false, false, 0));
    name = first.Name();
    ASSERT_TRUE(glIsTexture(name));
    {
      CTexture second(first);
      EXPECT_EQ(second.Name(), name);
      CTexture third;
      third = second;
      EXPECT_EQ(third.Name(), name);
      first.Release();
      EXPECT_EQ(first.Name(), 0u);
      EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));
  }
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureTest, SelfAssignmentChangesNothing) {
  CTexture texture;
  ASSERT_TRUE(texture.Load(WriteImage("a.png", 2, 2).c_str(), false, false, 0));
  const GLuint name = texture.Name();
  CTexture& same = texture;
  texture = same;
  EXPECT_EQ(texture.Name(), name);
  EXPECT_TRUE(glIsTexture(name));
  // Still exactly one holder: one release deletes it.
  texture.Release();
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureTest, AssigningOverALoadedHandleDeletesItsTexture) {
  CTexture kept;
  CTexture replaced;
  ASSERT_TRUE(kept.Load(WriteImage("a.png", 2, 2).c_str(), false, false, 0));
  ASSERT_TRUE(replaced.Load(WriteImage("b.png", 2, 2).c_str(), false, false, 0));
  const GLuint keptName = kept.Name();
  const GLuint replacedName = replaced.Name();
  ASSERT_NE(keptName, replacedName);

  replaced = kept;
  EXPECT_FALSE(glIsTexture(replacedName));
  EXPECT_EQ(replaced.Name(), keptName);
  kept.Release();
  EXPECT_TRUE(glIsTexture(keptName));
}

TEST_F(TextureTest, LoadingAgainLeavesASharedTextureToItsOtherHolders) {
  CTexture texture;
  ASSERT_TRUE(texture.Load(WriteImage("a.png", 2, 2).c_str(), false, false, 0));
  const GLuint oldName = texture.Name();
  CTexture holder = texture;
  ASSERT_TRUE(texture.Load(WriteImage("b.png", 2, 2).c_str(), false, false, 0));
  EXPECT_NE(texture.Name(), oldName);
  EXPECT_TRUE(glIsTexture(oldName));
  EXPECT_EQ(holder.Name(), oldName);
}

TEST_F(TextureTest, FailedLoadStillHoldsASharedName) {
  const std::string grey = folder.File("grey.png");
  ASSERT_TRUE(WritePng(grey, 2, 1, PNG_COLOR_TYPE_GRAY, 8, {{1, 2}}));
  for (const std::string& path : {grey, folder.File("missing.png")}) {
    CTexture texture;
    EXPECT_FALSE(texture.Load(path.c_str(), false, false, 0)) << path;
    EXPECT_NE(texture.Name(), 0u);
    CTexture copy(texture);
    CTexture assigned;
    assigned = texture;
    EXPECT_EQ(copy.Name(), texture.Name());
    EXPECT_EQ(assigned.Name(), texture.Name());
  }
}

TEST_F(TextureTest, BindingAnEmptyHandleBindsNoTexture) {
  CTexture loaded;
  ASSERT_TRUE(loaded.Load(WriteImage("a.png", 2, 2).c_str(), false, false, 0));
  loaded.Bind();
  CTexture empty;
  EXPECT_EQ(empty.Name(), 0u);
  empty.Bind();
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
}

TEST_F(TextureTest, BackslashPathLoads) {
  std::filesystem::create_directories(folder.File("graphics/particles"));
  WriteImage("graphics/particles/fire0.png", 4, 4);
  const std::string gamePath = folder.Path() + "\\graphics\\particles\\fire0.png";
  CTexture texture;
  EXPECT_TRUE(texture.Load(gamePath.c_str(), false, false, -1));
}

// Every supported PngSuite image uploads both ways, at its own size.
TEST_F(TextureTest, SupportedPngSuiteImagesUpload) {
  int uploaded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PNGSUITE_DIR)) {
    DecodedImage image;
    if (entry.path().extension() != ".png" || !LoadPngImage(entry.path().c_str(), image)) {
      continue;
    }
    for (int mipLevels : {-1, 0}) {
      CTexture texture;
      ASSERT_TRUE(texture.Load(entry.path().c_str(), false, false, mipLevels));
      EXPECT_EQ(LevelParameter(0, GL_TEXTURE_WIDTH), image.width) << entry.path();
      EXPECT_EQ(LevelParameter(0, GL_TEXTURE_HEIGHT), image.height) << entry.path();
    }
    ++uploaded;
  }
  EXPECT_GT(uploaded, 20);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
}  // namespace
