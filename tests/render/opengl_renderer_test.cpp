#include "render/opengl_renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "game/random.h"
#include "tests/render/gl_context.h"

namespace {
using Rgba = COffscreenGLContext::Rgba;
constexpr int SIZE = 64;

RenderVertex At(double x, double y, double z = 0) {
  RenderVertex v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

RenderVertex Textured(double x, double y, double u, double v) {
  RenderVertex vertex = At(x, y);
  vertex.u = u;
  vertex.v = v;
  return vertex;
}

RenderVertex Coloured(double x, double y, double r, double g, double b, double a = 1) {
  RenderVertex v = At(x, y);
  v.hasColor = true;
  v.r = r;
  v.g = g;
  v.b = b;
  v.a = a;
  return v;
}

class OpenGLRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.IsReady()) << gl.Problem();
    renderer.ResetMatrices();
    renderer.SetClearColor(0, 0, 0);
    renderer.Clear();
  }

  // Fills the rectangle in normalised screen space with the current colour.
  void FillRect(double x0, double y0, double x1, double y1, double z = 0) {
    renderer.BeginQuads();
    renderer.AddQuad(At(x0, y0, z), At(x1, y0, z), At(x1, y1, z), At(x0, y1, z));
    renderer.EndQuads();
  }

  static void ExpectMatrix(const double* expected, const double* actual, double tolerance) {
    for (int i = 0; i < 16; ++i) {
      EXPECT_NEAR(expected[i], actual[i], tolerance) << "element " << i;
    }
  }

  static void ReadMatrix(GLenum which, double out[16]) { glGetDoublev(which, out); }

  COffscreenGLContext gl{SIZE, SIZE};
  COpenGLRenderer renderer;
};

constexpr double IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST_F(OpenGLRendererTest, BlendModesMixPixels) {
  renderer.SetClearColor(0, 0, 1);
  renderer.Clear();
  renderer.EnableAlphaBlend();
  renderer.SetColor(1, 0, 0, 0.5);
  FillRect(-1, -1, 0, 1);
  renderer.EnableAdditiveBlend();
  FillRect(0, -1, 1, 1);
  FillRect(0, -1, 1, 1);
  renderer.DisableBlend();

  const Rgba over = gl.Pixel(10, 10);
  EXPECT_NEAR(over[0], 128, 1);
  EXPECT_EQ(over[1], 0);
  EXPECT_NEAR(over[2], 127, 1);
  // Additive: half of red twice on top of blue.
  const Rgba added = gl.Pixel(50, 10);
  EXPECT_EQ(added[0], 255);
  EXPECT_EQ(added[2], 255);
}

TEST_F(OpenGLRendererTest, CullingHidesTheChosenFaces) {
  // Counter-clockwise on screen: a front face. An unknown mode leaves culling as it was.
  renderer.SetColor(1, 1, 1);
  renderer.SetCullMode(-1);
  FillRect(-1, -1, 0, 1);
  renderer.SetCullMode(1);
  renderer.SetCullMode(2);
  FillRect(0, -1, 1, 1);
  renderer.SetCullMode(0);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(gl.Pixel(10, 32)[0], 255);
  EXPECT_EQ(gl.Pixel(50, 32)[0], 0);
}

TEST_F(OpenGLRendererTest, ClearResetsColourWithZeroAlphaAndDepth) {
  renderer.SetDepthTest(true);
  renderer.SetColor(1, 0, 0);
  FillRect(-1, -1, 1, 1, -0.5);

  renderer.SetClearColor(1, 1, 1);
  renderer.Clear();
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[3], 0.0f);
  EXPECT_EQ(gl.Pixel(5, 5), (Rgba{255, 255, 255, 0}));

  // Farther than the red quad: it shows only if the depth was cleared too.
  renderer.SetColor(0, 1, 0);
  FillRect(-1, -1, 1, 1, 0.5);
  EXPECT_EQ(gl.Pixel(5, 5), (Rgba{0, 255, 0, 255}));
  renderer.SetDepthTest(false);
}

TEST_F(OpenGLRendererTest, FogParametersWithoutSwitchingItOn) {
  renderer.SetFog(2.0f, 10.0f, 0.25f, 0.5f, 0.75f);
  GLint mode = 0;
  GLfloat range[2] = {};
  GLfloat colour[4] = {1, 1, 1, 1};
  glGetIntegerv(GL_FOG_MODE, &mode);
  glGetFloatv(GL_FOG_START, &range[0]);
  glGetFloatv(GL_FOG_END, &range[1]);
  glGetFloatv(GL_FOG_COLOR, colour);
  EXPECT_EQ(mode, GL_LINEAR);
  EXPECT_EQ(range[0], 2.0f);
  EXPECT_EQ(range[1], 10.0f);
  EXPECT_EQ(colour[1], 0.5f);
  EXPECT_EQ(colour[3], 0.0f);
  EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(OpenGLRendererTest, ResetMatricesLeavesScreenSpaceInTheModelviewMode) {
  renderer.SetPerspective(70, 4.0 / 3.0, 0.1, 100);
  renderer.Translate(1, 2, 3);
  glMatrixMode(GL_PROJECTION);
  renderer.ResetMatrices();
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  // With both matrices reset, x and y in -1..1 are screen space: the lower left quarter.
  renderer.SetColor(1, 1, 1);
  FillRect(-1, -1, 0, 0);
  EXPECT_EQ(gl.Pixel(1, 1)[0], 255);
  EXPECT_EQ(gl.Pixel(31, 31)[0], 255);
  EXPECT_EQ(gl.Pixel(33, 31)[0], 0);
  EXPECT_EQ(gl.Pixel(31, 33)[0], 0);
}

// The projection is GLU's; the renderer must leave the modelview and its mode alone, and
// LookAt must replace the modelview rather than multiply it.
TEST_F(OpenGLRendererTest, PerspectiveAndLookAtTouchOnlyTheirOwnMatrix) {
  renderer.Translate(1, 2, 3);
  double before[16];
  ReadMatrix(GL_MODELVIEW_MATRIX, before);
  renderer.SetPerspective(70, 4.0 / 3.0, 0.5, 50);
  double m[16];
  ReadMatrix(GL_MODELVIEW_MATRIX, m);
  ExpectMatrix(before, m, 0);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  ReadMatrix(GL_PROJECTION_MATRIX, m);
  EXPECT_EQ(m[11], -1);

  renderer.LookAt(1, 2, 3, 1, 2, 0, 0, 1, 0);
  ReadMatrix(GL_MODELVIEW_MATRIX, m);
  const double expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1};
  ExpectMatrix(expected, m, 1e-6);
}

TEST_F(OpenGLRendererTest, RotateTakesRadians) {
  renderer.Rotate(PI / 2, 0, 0, 1);
  double m[16];
  renderer.GetMatrix(m);
  const double quarterTurn[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  ExpectMatrix(quarterTurn, m, 1e-6);
}

TEST_F(OpenGLRendererTest, MatrixStackAndTransforms) {
  renderer.PushMatrix();
  renderer.Translate(1, 2, 3);
  renderer.Scale(2, 3, 4);
  renderer.Scale(0.5);
  double m[16];
  renderer.GetMatrix(m);
  const double halved[16] = {1, 0, 0, 0, 0, 1.5, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1};
  ExpectMatrix(halved, m, 0);
  renderer.PopMatrix();
  renderer.GetMatrix(m);
  ExpectMatrix(IDENTITY, m, 0);
}

TEST_F(OpenGLRendererTest, GetMatrixReadsTheModelviewWhateverIsCurrent) {
  renderer.Translate(4, 5, 6);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScaled(9, 9, 9);
  double m[16];
  renderer.GetMatrix(m);
  const double translated[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1};
  ExpectMatrix(translated, m, 0);
  glMatrixMode(GL_MODELVIEW);
}

TEST_F(OpenGLRendererTest, PrimitiveKindsDrawWhereTheirVerticesSay) {
  renderer.SetColor(1, 1, 1);
  // Lower left: triangles, whole and vertex by vertex, making a square.
  renderer.BeginTriangles();
  renderer.AddTriangle(At(-1, -1), At(0, -1), At(0, 0));
  renderer.AddTriangleVertex(At(-1, -1));
  renderer.AddTriangleVertex(At(0, 0));
  renderer.AddTriangleVertex(At(-1, 0));
  renderer.EndTriangles();
  // Lower right: a fan.
  renderer.BeginTriangleFan();
  renderer.AddFanVertex(At(0.5, -0.5));
  renderer.AddFanVertex(At(0, -1));
  renderer.AddFanVertex(At(1, -1));
  renderer.AddFanVertex(At(1, 0));
  renderer.AddFanVertex(At(0, 0));
  renderer.AddFanVertex(At(0, -1));
  renderer.EndTriangleFan();
  // Upper left: a strip.
  renderer.BeginTriangleStrip();
  renderer.AddStripVertex(At(-1, 0));
  renderer.AddStripVertex(At(0, 0));
  renderer.AddStripVertex(At(-1, 1));
  renderer.AddStripVertex(At(0, 1));
  renderer.EndTriangleStrip();
  // Upper right: a quad vertex by vertex, only its lower half.
  renderer.BeginQuads();
  renderer.AddQuadVertex(At(0, 0));
  renderer.AddQuadVertex(At(1, 0));
  renderer.AddQuadVertex(At(1, 0.5));
  renderer.AddQuadVertex(At(0, 0.5));
  renderer.EndQuads();

  for (const auto& [x, y] : {std::pair{2, 2}, {29, 29}, {2, 29}, {29, 2}}) {
    EXPECT_EQ(gl.Pixel(x, y)[0], 255) << "triangles at " << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{34, 2}, {61, 29}, {34, 29}, {61, 2}}) {
    EXPECT_EQ(gl.Pixel(x, y)[0], 255) << "fan at " << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{2, 34}, {29, 61}, {2, 61}, {29, 34}}) {
    EXPECT_EQ(gl.Pixel(x, y)[0], 255) << "strip at " << x << "," << y;
  }
  EXPECT_EQ(gl.Pixel(40, 40)[0], 255);
  EXPECT_EQ(gl.Pixel(40, 56)[0], 0);
}

TEST_F(OpenGLRendererTest, ColouredVertexSetsTheColourForTheVerticesAfterIt) {
  renderer.SetColor(0, 0, 1);
  renderer.BeginQuads();
  renderer.AddQuad(Coloured(-1, -1, 0, 1, 0), At(0, -1), At(0, 1), At(-1, 1));
  // No colour of its own: it keeps the green of the vertex before.
  renderer.AddQuad(At(0, -1), At(1, -1), At(1, 1), At(0, 1));
  renderer.EndQuads();
  EXPECT_EQ(gl.Pixel(30, 60), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(gl.Pixel(60, 60), (Rgba{0, 255, 0, 255}));
}

TEST_F(OpenGLRendererTest, TextureCoordinatesOnlyWhileTexturing) {
  // Two texels: red on the left, green on the right.
  const unsigned char texels[8] = {255, 0, 0, 255, 0, 255, 0, 255};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  renderer.SetColor(1, 1, 1);

  auto drawQuad = [&] {
    renderer.BeginQuads();
    renderer.AddQuad(Textured(-1, -1, 0, 0), Textured(1, -1, 1, 0), Textured(1, 1, 1, 1),
                     Textured(-1, 1, 0, 1));
    renderer.EndQuads();
  };

  // Texturing switched on behind the renderer's back: the vertices' u and v
  // are not sent, so the whole quad takes the current coordinate.
  renderer.DisableTexturing();
  glEnable(GL_TEXTURE_2D);
  glTexCoord2d(0.75, 0.5);
  drawQuad();
  EXPECT_EQ(gl.Pixel(2, 2), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(gl.Pixel(61, 61), (Rgba{0, 255, 0, 255}));

  renderer.EnableTexturing();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  drawQuad();
  EXPECT_EQ(gl.Pixel(2, 2), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(gl.Pixel(2, 61), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(gl.Pixel(61, 2), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(gl.Pixel(61, 61), (Rgba{0, 255, 0, 255}));

  renderer.DisableTexturing();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glDeleteTextures(1, &name);
}
}  // namespace
