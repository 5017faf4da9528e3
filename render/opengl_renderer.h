#pragma once

#include "render/renderer.h"

// The one renderer: each operation is a thin immediate-mode wrapper over
// OpenGL 1.x and GLU. It keeps no geometry; vertices go to OpenGL as they come.
// An OpenGL context must be current before the first operation.
class COpenGLRenderer : public CRenderer {
 public:
  void SetViewport(int x, int y, int width, int height) override;
  void ResetMatrices() override;
  void SetPerspective(double fovYDegrees, double aspect, double zNear, double zFar) override;
  void LookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,
              double upX, double upY, double upZ) override;
  void SetCullMode(int mode) override;
  void SetDepthWrite(bool on) override;
  void SetDepthTest(bool on) override;
  void SetColor(double r, double g, double b, double a) override;
  void SetColor(double r, double g, double b) override;
  void SetClearColor(double r, double g, double b) override;
  void Clear() override;
  void EnableAlphaBlend() override;
  void EnableAdditiveBlend() override;
  void DisableBlend() override;
  void EnableTexturing() override;
  void DisableTexturing() override;
  void SetTexGenPlanes(const double sPlane[4], const double tPlane[4]) override;
  void EnableTexGen() override;
  void DisableTexGen() override;
  void PushMatrix() override;
  void PopMatrix() override;
  void Translate(double x, double y, double z) override;
  void Scale(double x, double y, double z) override;
  void Scale(double s) override;
  void Rotate(double angleRadians, double axisX, double axisY, double axisZ) override;
  void GetMatrix(double out[16]) override;
  void LoadMatrix(const double m[16]) override;
  void BeginQuads() override;
  void EndQuads() override;
  void AddQuad(const RenderVertex& v0, const RenderVertex& v1, const RenderVertex& v2,
               const RenderVertex& v3) override;
  void AddQuadVertex(const RenderVertex& v) override;
  void BeginTriangles() override;
  void EndTriangles() override;
  void AddTriangle(const RenderVertex& v0, const RenderVertex& v1, const RenderVertex& v2) override;
  void AddTriangleVertex(const RenderVertex& v) override;
  void BeginTriangleFan() override;
  void EndTriangleFan() override;
  void AddFanVertex(const RenderVertex& v) override;
  void BeginTriangleStrip() override;
  void EndTriangleStrip() override;
  void AddStripVertex(const RenderVertex& v) override;
  void SetFog(float start, float end, float r, float g, float b) override;
  void EnableFog() override;
  void DisableFog() override;

 private:
  void Emit(const RenderVertex& v);

  // Mirrors only what went through this interface; it alone decides whether
  // texture coordinates are sent.
  bool texturing = false;
};
