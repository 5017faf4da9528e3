#include "render/opengl_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "base/random.h"

namespace {
// SetCullMode's codes: which faces disappear.
constexpr int CULL_NONE = 0;
constexpr int CULL_FRONT = 1;
constexpr int CULL_BACK = -1;
}  // namespace

void COpenGLRenderer::SetViewport(int x, int y, int width, int height) {
  glViewport(x, y, width, height);
}

void COpenGLRenderer::ResetMatrices() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void COpenGLRenderer::SetPerspective(double fovYDegrees, double aspect, double zNear, double zFar) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fovYDegrees, aspect, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
}

void COpenGLRenderer::LookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                             double centreZ, double upX, double upY, double upZ) {
  glLoadIdentity();
  gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

void COpenGLRenderer::SetCullMode(int mode) {
  switch (mode) {
    case CULL_NONE:
      glDisable(GL_CULL_FACE);
      break;
    case CULL_FRONT:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_FRONT);
      break;
    case CULL_BACK:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_BACK);
      break;
    default:
      break;
  }
}

void COpenGLRenderer::SetDepthWrite(bool on) {
  glDepthMask(on ? GL_TRUE : GL_FALSE);
}

void COpenGLRenderer::SetDepthTest(bool on) {
  if (on) {
    glEnable(GL_DEPTH_TEST);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
}

void COpenGLRenderer::SetColor(double r, double g, double b, double a) {
  glColor4d(r, g, b, a);
}

void COpenGLRenderer::SetColor(double r, double g, double b) {
  glColor3d(r, g, b);
}

void COpenGLRenderer::SetClearColor(double r, double g, double b) {
  // The frame's alpha is never used; keep it 0 so every clear is alike.
  glClearColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 0.0f);
}

void COpenGLRenderer::Clear() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void COpenGLRenderer::EnableAlphaBlend() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void COpenGLRenderer::EnableAdditiveBlend() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void COpenGLRenderer::DisableBlend() {
  glDisable(GL_BLEND);
}

void COpenGLRenderer::EnableTexturing() {
  glEnable(GL_TEXTURE_2D);
  texturing = true;
}

void COpenGLRenderer::DisableTexturing() {
  glDisable(GL_TEXTURE_2D);
  texturing = false;
}

void COpenGLRenderer::SetTexGenPlanes(const double sPlane[4], const double tPlane[4]) {
  glTexGendv(GL_S, GL_EYE_PLANE, sPlane);
  glTexGendv(GL_T, GL_EYE_PLANE, tPlane);
}

void COpenGLRenderer::EnableTexGen() {
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
}

void COpenGLRenderer::DisableTexGen() {
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
}

void COpenGLRenderer::PushMatrix() {
  glPushMatrix();
}

void COpenGLRenderer::PopMatrix() {
  glPopMatrix();
}

void COpenGLRenderer::Translate(double x, double y, double z) {
  glTranslated(x, y, z);
}

void COpenGLRenderer::Scale(double x, double y, double z) {
  glScaled(x, y, z);
}

void COpenGLRenderer::Scale(double s) {
  glScaled(s, s, s);
}

void COpenGLRenderer::Rotate(double angleRadians, double axisX, double axisY, double axisZ) {
  glRotated(angleRadians / PI * 180, axisX, axisY, axisZ);
}

void COpenGLRenderer::GetMatrix(double out[16]) {
  glGetDoublev(GL_MODELVIEW_MATRIX, out);
}

void COpenGLRenderer::LoadMatrix(const double m[16]) {
  glLoadMatrixd(m);
}

void COpenGLRenderer::BeginQuads() {
  glBegin(GL_QUADS);
}

void COpenGLRenderer::EndQuads() {
  glEnd();
}

void COpenGLRenderer::AddQuad(const RenderVertex& v0, const RenderVertex& v1,
                              const RenderVertex& v2, const RenderVertex& v3) {
  Emit(v0);
  Emit(v1);
  Emit(v2);
  Emit(v3);
}

void COpenGLRenderer::AddQuadVertex(const RenderVertex& v) {
  Emit(v);
}

void COpenGLRenderer::BeginTriangles() {
  glBegin(GL_TRIANGLES);
}

void COpenGLRenderer::EndTriangles() {
  glEnd();
}

void COpenGLRenderer::AddTriangle(const RenderVertex& v0, const RenderVertex& v1,
                                  const RenderVertex& v2) {
  Emit(v0);
  Emit(v1);
  Emit(v2);
}

void COpenGLRenderer::AddTriangleVertex(const RenderVertex& v) {
  Emit(v);
}

void COpenGLRenderer::BeginTriangleFan() {
  glBegin(GL_TRIANGLE_FAN);
}

void COpenGLRenderer::EndTriangleFan() {
  glEnd();
}

void COpenGLRenderer::AddFanVertex(const RenderVertex& v) {
  Emit(v);
}

void COpenGLRenderer::BeginTriangleStrip() {
  glBegin(GL_TRIANGLE_STRIP);
}

void COpenGLRenderer::EndTriangleStrip() {
  glEnd();
}

void COpenGLRenderer::AddStripVertex(const RenderVertex& v) {
  Emit(v);
}

void COpenGLRenderer::SetFog(float start, float end, float r, float g, float b) {
  const GLfloat colour[4] = {r, g, b, 0.0f};
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogf(GL_FOG_START, start);
  glFogf(GL_FOG_END, end);
  glFogfv(GL_FOG_COLOR, colour);
  glHint(GL_FOG_HINT, GL_NICEST);
}

void COpenGLRenderer::EnableFog() {
  glEnable(GL_FOG);
}

void COpenGLRenderer::DisableFog() {
  glDisable(GL_FOG);
}

// A coloured vertex sets the current colour, so the uncoloured vertices after
// it take that colour too.
void COpenGLRenderer::Emit(const RenderVertex& v) {
  if (v.hasColor) {
    glColor4d(v.r, v.g, v.b, v.a);
  }
  if (texturing) {
    glTexCoord2d(v.u, v.v);
  }
  glVertex3d(v.x, v.y, v.z);
}
