#include "render/texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

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

TEST_F(TextureTest, MipLevelsStopAtTheAskedLevelOrOnePixel) {
  struct Case {
    int width, height, mipLevels, maxLevel;
    std::vector<std::pair<int, int>> sizes;
  };
  const Case cases[] = {
      {64, 16, 3, 3, {{64, 16}, {32, 8}, {16, 4}, {8, 2}}},  // built by hand
      {4, 4, 5, 2, {{4, 4}, {2, 2}, {1, 1}}},                // stops at one pixel
      {4, 4, 0, 0, {{4, 4}}},
      {64, 16, -1, DEFAULT_MAX_LEVEL, {{64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mipLevels);
    CTexture texture;
    ASSERT_TRUE(texture.Load(WriteImage("image.png", c.width, c.height).c_str(), false, false,
                             c.mipLevels));
    ExpectLevels(c.sizes);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAX_LEVEL), c.maxLevel);
  }
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

// The decoder's bottom-up rows go up as they are. Rows of 3 x 3 = 9 or 2 x 3 = 6 bytes
// are not a multiple of four: OpenGL and GLU must neither expect nor write padding.
TEST_F(TextureTest, UploadsTheDecodedRowsOfAnyLength) {
  struct Case {
    int width, height, colorType, mipLevels;
  };
  for (const Case& c : {Case{4, 2, PNG_COLOR_TYPE_RGBA, 0}, Case{3, 3, PNG_COLOR_TYPE_RGB, 0},
                        Case{2, 4, PNG_COLOR_TYPE_RGB, -1}}) {
    const std::string path = WriteImage("image.png", c.width, c.height, c.colorType);
    DecodedImage image;
    ASSERT_TRUE(LoadPngImage(path.c_str(), image));
    CTexture texture;
    ASSERT_TRUE(texture.Load(path.c_str(), false, false, c.mipLevels));
    const bool rgb = c.colorType == PNG_COLOR_TYPE_RGB;
    EXPECT_EQ(LevelZero(c.width, c.height, rgb ? GL_RGB : GL_RGBA, rgb ? 3 : 4), image.pixels);
  }
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

// The texture lives as long as any handle holds it: copies, assignments (even to
// itself), releases and reloads each drop only their own hold.
TEST_F(TextureTest, TheLastHandleDeletesTheTexture) {
  CTexture first;
  ASSERT_TRUE(first.Load(WriteImage("a.png", 2, 2).c_str(), false, false, 0));
  const GLuint name = first.Name();
  CTexture other;
  ASSERT_TRUE(other.Load(WriteImage("b.png", 2, 2).c_str(), false, false, 0));
  const GLuint otherName = other.Name();
  {
    CTexture second(first);
    CTexture& same = second;
    second = same;
    other = second;  // drops the only hold on the other texture
    EXPECT_FALSE(glIsTexture(otherName));
    EXPECT_EQ(other.Name(), name);
    first.Release();
    EXPECT_EQ(first.Name(), 0u);
    ASSERT_TRUE(first.Load(WriteImage("c.png", 2, 2).c_str(), false, false, 0));
    EXPECT_NE(first.Name(), name);
    EXPECT_TRUE(glIsTexture(name));
  }
  EXPECT_TRUE(glIsTexture(name));
  other.Release();
  EXPECT_FALSE(glIsTexture(name));
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
