#pragma once

#include "base/render_vertex.h"

// Every drawing call of the game goes through this table of operations; only the
// texture handle talks to OpenGL directly. The slot order is fixed.
class CRenderer {
 public:
  virtual void SetViewport(int x, int y, int width, int height) = 0;
  virtual void ResetMatrices() = 0;
  virtual void SetPerspective(double fovYDegrees, double aspect, double zNear, double zFar) = 0;
  virtual void LookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                      double centreZ, double upX, double upY, double upZ) = 0;
  // 0 culls nothing, 1 front faces, -1 back faces; anything else leaves culling alone.
  virtual void SetCullMode(int mode) = 0;
  virtual void SetDepthWrite(bool on) = 0;
  virtual void SetDepthTest(bool on) = 0;
  virtual void SetColor(double r, double g, double b, double a) = 0;
  virtual void SetColor(double r, double g, double b) = 0;
  virtual void SetClearColor(double r, double g, double b) = 0;
  virtual void Clear() = 0;
  virtual void EnableAlphaBlend() = 0;
  virtual void EnableAdditiveBlend() = 0;
  virtual void DisableBlend() = 0;
  virtual void EnableTexturing() = 0;
  virtual void DisableTexturing() = 0;
  virtual void SetTexGenPlanes(const double sPlane[4], const double tPlane[4]) = 0;
  virtual void EnableTexGen() = 0;
  virtual void DisableTexGen() = 0;
  virtual void PushMatrix() = 0;
  virtual void PopMatrix() = 0;
  virtual void Translate(double x, double y, double z) = 0;
  virtual void Scale(double x, double y, double z) = 0;
  virtual void Scale(double s) = 0;
  virtual void Rotate(double angleRadians, double axisX, double axisY, double axisZ) = 0;
  // Always the modelview matrix, whichever matrix is current.
  virtual void GetMatrix(double out[16]) = 0;
  virtual void LoadMatrix(const double m[16]) = 0;
  virtual void BeginQuads() = 0;
  virtual void EndQuads() = 0;
  virtual void AddQuad(const RenderVertex& v0, const RenderVertex& v1, const RenderVertex& v2,
                       const RenderVertex& v3) = 0;
  virtual void AddQuadVertex(const RenderVertex& v) = 0;
  virtual void BeginTriangles() = 0;
  virtual void EndTriangles() = 0;
  virtual void AddTriangle(const RenderVertex& v0, const RenderVertex& v1,
                           const RenderVertex& v2) = 0;
  virtual void AddTriangleVertex(const RenderVertex& v) = 0;
  virtual void BeginTriangleFan() = 0;
  virtual void EndTriangleFan() = 0;
  virtual void AddFanVertex(const RenderVertex& v) = 0;
  virtual void BeginTriangleStrip() = 0;
  virtual void EndTriangleStrip() = 0;
  virtual void AddStripVertex(const RenderVertex& v) = 0;
  // Sets linear fog; the fog colour's alpha is always 0. Fog is not switched on.
  virtual void SetFog(float start, float end, float r, float g, float b) = 0;
  virtual void EnableFog() = 0;
  virtual void DisableFog() = 0;

  // Renderers are owned through shared pointers; the destructor comes last so the
  // table above keeps its order.
  virtual ~CRenderer() = default;
};
