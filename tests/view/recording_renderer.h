#pragma once

#include <string>
#include <vector>

#include "render/renderer.h"

// One renderer call as the recording renderer saw it.
struct RecordedCall {
  std::string op;                      // the operation's name, e.g. "AddQuad"
  std::vector<double> args;            // its numeric arguments, in order
  std::vector<RenderVertex> vertices;  // the vertices it was given, in order
  double modelview[16];                // the modelview matrix in force at the call
};

// A renderer that draws nothing: it logs every call with its arguments and keeps
// the matrix stacks as OpenGL would, so drawing code can be tested without a
// context and GetMatrix returns what the real renderer would.
class CRecordingRenderer : public CRenderer {
 public:
  CRecordingRenderer();

  std::vector<RecordedCall> calls;

  void Clear() override;
  void Forget() { calls.clear(); }

  // How many calls of this operation were logged.
  int Count(const std::string& op) const;
  // Index of the first call of op at or after from, or -1.
  int Find(const std::string& op, int from = 0) const;
  // The operations' names, in order.
  std::vector<std::string> Ops() const;
  // The vertices of every primitive call logged between two indices.
  std::vector<RenderVertex> VerticesBetween(int from, int to) const;

  // Board-space position of a vertex given at call `index`: the call's modelview
  // with the view matrix of the most recent LookAt before it taken away.
  RenderVertex ToBoard(int index, const RenderVertex& v) const;

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
  struct Matrix {
    double m[16];
  };
  void Log(const char* op, std::vector<double> args = {}, std::vector<RenderVertex> vertices = {});
  Matrix& Current();
  void MultiplyCurrent(const Matrix& by);

  std::vector<Matrix> modelviewStack;
  std::vector<Matrix> projectionStack;
  bool projectionCurrent = false;
};

// Column-major 4x4 helpers shared by the drawing tests.
void MultiplyMatrices(const double a[16], const double b[16], double out[16]);
void TransformPoint(const double m[16], double x, double y, double z, double out[3]);
