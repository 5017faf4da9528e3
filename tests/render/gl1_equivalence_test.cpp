// The OpenGL ES 2 build has no GLU and no fixed-function matrices: its scaler and
// its matrix stack must make what GLU and OpenGL 1 make, byte for byte and bit
// for bit, or its mipmaps and its sorting of see-through sprites would differ.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/image_scale.h"
#include "render/matrix_stack.h"
#include "tests/render/gl_context.h"

namespace {

std::vector<unsigned char> RandomImage(int w, int h, int components, unsigned seed) {
  std::mt19937 generator(seed);
  std::vector<unsigned char> image(static_cast<size_t>(w) * h * components);
  for (unsigned char& byte : image) byte = static_cast<unsigned char>(generator() & 0xFF);
  return image;
}

struct Size {
  int w, h;
};

class Gl1Equivalence : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.IsReady()) << gl.Problem();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
  }
  COffscreenGLContext gl{4, 4};
};

// Every level the texture loader scales (from the full image, down to 1 x 1),
// a side that is not a power of two, and an enlargement.
TEST_F(Gl1Equivalence, ScaleImageMakesGluScaleImagesBytes) {
  const Size cases[][2] = {{{64, 16}, {32, 8}}, {{64, 16}, {16, 4}}, {{64, 16}, {8, 2}},
                           {{64, 16}, {1, 1}},  {{32, 32}, {4, 4}},  {{16, 1}, {2, 1}},
                           {{48, 20}, {12, 5}}, {{7, 5}, {3, 2}},    {{5, 3}, {8, 4}}};
  for (int components : {3, 4}) {
    for (const auto& c : cases) {
      const Size in = c[0], out = c[1];
      const GLenum format = components == 4 ? GL_RGBA : GL_RGB;
      const std::vector<unsigned char> image = RandomImage(in.w, in.h, components, in.w + out.w);
      std::vector<unsigned char> ours(static_cast<size_t>(out.w) * out.h * components);
      std::vector<unsigned char> glu(ours.size());
      ScaleImage(components, in.w, in.h, image.data(), out.w, out.h, ours.data());
      ASSERT_EQ(gluScaleImage(format, in.w, in.h, GL_UNSIGNED_BYTE, image.data(), out.w, out.h,
                              GL_UNSIGNED_BYTE, glu.data()),
                0);
      EXPECT_EQ(ours, glu) << components << " bytes, " << in.w << "x" << in.h << " to " << out.w
                           << "x" << out.h;
    }
  }
}

// A whole chain halved level from level, as gluBuild2DMipmaps builds it, read
// back from OpenGL; sides that reach 1 before the other halve in pairs.
TEST_F(Gl1Equivalence, HalveImageMakesGluBuild2DMipmapsLevels) {
  const Size sizes[] = {{16, 16}, {32, 4}, {1, 8}};
  for (int components : {3, 4}) {
    for (const Size s : sizes) {
      const GLenum format = components == 4 ? GL_RGBA : GL_RGB;
      std::vector<unsigned char> level = RandomImage(s.w, s.h, components, s.w * 31 + s.h);
      GLuint name = 0;
      glGenTextures(1, &name);
      glBindTexture(GL_TEXTURE_2D, name);
      gluBuild2DMipmaps(GL_TEXTURE_2D, components == 4 ? GL_RGBA8 : GL_RGB8, s.w, s.h, format,
                        GL_UNSIGNED_BYTE, level.data());
      int w = s.w, h = s.h;
      for (int index = 1; w > 1 || h > 1; ++index) {
        std::vector<unsigned char> next(level.size() / 2 + components);
        HalveImage(components, w, h, level.data(), next.data());
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
        next.resize(static_cast<size_t>(w) * h * components);
        std::vector<unsigned char> glu(next.size());
        glGetTexImage(GL_TEXTURE_2D, index, format, GL_UNSIGNED_BYTE, glu.data());
        EXPECT_EQ(next, glu) << components << " bytes, " << s.w << "x" << s.h << " level " << index;
        level.swap(next);
      }
      glDeleteTextures(1, &name);
    }
  }
}

void ExpectSameMatrix(GLenum which, const float* ours, const char* step) {
  float theirs[16];
  glGetFloatv(which, theirs);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ours[i], theirs[i]) << step << ", element " << i;
}

// The operations the game uses, in the order a frame uses them, each checked
// against OpenGL 1's own matrices.
TEST_F(Gl1Equivalence, TheMatrixStackKeepsOpenGLOnesMatrices) {
  CMatrixStack ours;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(70, 4.0 / 3, 0.5, 50);
  ours.SelectProjection();
  ours.MultPerspective(70, 4.0 / 3, 0.5, 50);
  ExpectSameMatrix(GL_PROJECTION_MATRIX, ours.Projection(), "perspective");

  glMatrixMode(GL_MODELVIEW);
  ours.SelectModelview();
  glLoadIdentity();
  gluLookAt(4.5, -6.25, 7.75, 4.375, 3.125, 0.35, 0, 0, 1);
  ours.MultLookAt(4.5, -6.25, 7.75, 4.375, 3.125, 0.35, 0, 0, 1);
  ExpectSameMatrix(GL_MODELVIEW_MATRIX, ours.Modelview(), "look-at");

  glPushMatrix();
  ours.Push();
  glTranslatef(2.5f, 3.5f, 0.1f);
  ours.Translate(2.5f, 3.5f, 0.1f);
  glRotatef(253.7f, 0, 0, 1);
  ours.Rotate(253.7f, 0, 0, 1);
  glRotatef(-31.3f, 0, 1, 0);
  ours.Rotate(-31.3f, 0, 1, 0);
  glRotatef(12.9f, -1, 0, 0);
  ours.Rotate(12.9f, -1, 0, 0);
  glScalef(0.35f, 0.35f, 0.28f);
  ours.Scale(0.35f, 0.35f, 0.28f);
  glRotatef(40, 1, 2, 3);
  ours.Rotate(40, 1, 2, 3);
  ExpectSameMatrix(GL_MODELVIEW_MATRIX, ours.Modelview(), "turned and scaled");

  double captured[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, captured);
  glPopMatrix();
  ours.Pop();
  ExpectSameMatrix(GL_MODELVIEW_MATRIX, ours.Modelview(), "popped");
  glLoadMatrixd(captured);
  ours.Load(captured);
  ExpectSameMatrix(GL_MODELVIEW_MATRIX, ours.Modelview(), "loaded");
  float product[16], theirs[16];
  ours.ModelviewProjection(product);
  glMatrixMode(GL_PROJECTION);
  glMultMatrixd(captured);
  glGetFloatv(GL_PROJECTION_MATRIX, theirs);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(product[i], theirs[i]) << "projection x modelview " << i;
  glMatrixMode(GL_MODELVIEW);

}

}  // namespace
