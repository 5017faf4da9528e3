#include "tests/view/recording_renderer.h"

#include <cmath>
#include <cstring>

#include "game/random.h"

namespace {

void Identity(double m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// Inverse of a rigid transform (rotation and translation only), as LookAt builds.
void InvertRigid(const double m[16], double out[16]) {
  Identity(out);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out[c * 4 + r] = m[r * 4 + c];
  for (int r = 0; r < 3; ++r)
    out[12 + r] = -(out[r] * m[12] + out[4 + r] * m[13] + out[8 + r] * m[14]);
}

}  // namespace

void MultiplyMatrices(const double a[16], const double b[16], double out[16]) {
  double result[16];
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
      result[c * 4 + r] = sum;
    }
  std::memcpy(out, result, sizeof(result));
}

void TransformPoint(const double m[16], double x, double y, double z, double out[3]) {
  for (int r = 0; r < 3; ++r) out[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
}

CRecordingRenderer::CRecordingRenderer() {
  Matrix identity;
  Identity(identity.m);
  modelviewStack.push_back(identity);
  projectionStack.push_back(identity);
}

void CRecordingRenderer::Log(const char* op, std::vector<double> args,
                             std::vector<RenderVertex> vertices) {
  RecordedCall call;
  call.op = op;
  call.args = std::move(args);
  call.vertices = std::move(vertices);
  std::memcpy(call.modelview, modelviewStack.back().m, sizeof(call.modelview));
  calls.push_back(std::move(call));
}

CRecordingRenderer::Matrix& CRecordingRenderer::Current() {
  return projectionCurrent ? projectionStack.back() : modelviewStack.back();
}

void CRecordingRenderer::MultiplyCurrent(const Matrix& by) {
  Matrix& current = Current();
  MultiplyMatrices(current.m, by.m, current.m);
}

int CRecordingRenderer::Count(const std::string& op) const {
  int count = 0;
  for (const RecordedCall& call : calls) count += call.op == op;
  return count;
}

int CRecordingRenderer::Find(const std::string& op, int from) const {
  for (int i = from; i < static_cast<int>(calls.size()); ++i)
    if (calls[i].op == op) return i;
  return -1;
}

std::vector<std::string> CRecordingRenderer::Ops() const {
  std::vector<std::string> ops;
  for (const RecordedCall& call : calls) ops.push_back(call.op);
  return ops;
}

std::vector<RenderVertex> CRecordingRenderer::VerticesBetween(int from, int to) const {
  std::vector<RenderVertex> vertices;
  for (int i = from; i < to && i < static_cast<int>(calls.size()); ++i)
    vertices.insert(vertices.end(), calls[i].vertices.begin(), calls[i].vertices.end());
  return vertices;
}

RenderVertex CRecordingRenderer::ToBoard(int index, const RenderVertex& v) const {
  double view[16];
  Identity(view);
  for (int i = index; i >= 0; --i)
    if (calls[i].op == "LookAt") {
      std::memcpy(view, calls[i].modelview, sizeof(view));
      break;
    }
  double inverse[16], toBoard[16], p[3];
  InvertRigid(view, inverse);
  MultiplyMatrices(inverse, calls[index].modelview, toBoard);
  TransformPoint(toBoard, v.x, v.y, v.z, p);
  RenderVertex out = v;
  out.x = p[0];
  out.y = p[1];
  out.z = p[2];
  return out;
}

void CRecordingRenderer::SetViewport(int x, int y, int width, int height) {
  Log("SetViewport", {double(x), double(y), double(width), double(height)});
}

void CRecordingRenderer::ResetMatrices() {
  Identity(projectionStack.back().m);
  Identity(modelviewStack.back().m);
  projectionCurrent = false;
  Log("ResetMatrices");
}

void CRecordingRenderer::SetPerspective(double fovYDegrees, double aspect, double zNear,
                                        double zFar) {
  Matrix& p = projectionStack.back();
  Identity(p.m);
  double f = 1.0 / std::tan(fovYDegrees * PI / 360.0);
  p.m[0] = f / aspect;
  p.m[5] = f;
  p.m[10] = (zFar + zNear) / (zNear - zFar);
  p.m[11] = -1;
  p.m[14] = 2 * zFar * zNear / (zNear - zFar);
  p.m[15] = 0;
  projectionCurrent = false;
  Log("SetPerspective", {fovYDegrees, aspect, zNear, zFar});
}

void CRecordingRenderer::LookAt(double eyeX, double eyeY, double eyeZ, double centreX,
                                double centreY, double centreZ, double upX, double upY,
                                double upZ) {
  double f[3] = {centreX - eyeX, centreY - eyeY, centreZ - eyeZ};
  double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
  for (double& c : f) c /= fl;
  double s[3] = {f[1] * upZ - f[2] * upY, f[2] * upX - f[0] * upZ, f[0] * upY - f[1] * upX};
  double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
  for (double& c : s) c /= sl;
  double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
  Matrix& m = Current();
  Identity(m.m);
  for (int i = 0; i < 3; ++i) {
    m.m[i * 4 + 0] = s[i];
    m.m[i * 4 + 1] = u[i];
    m.m[i * 4 + 2] = -f[i];
  }
  Matrix move;
  Identity(move.m);
  move.m[12] = -eyeX;
  move.m[13] = -eyeY;
  move.m[14] = -eyeZ;
  MultiplyCurrent(move);
  Log("LookAt", {eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ});
}

void CRecordingRenderer::SetCullMode(int mode) {
  Log("SetCullMode", {double(mode)});
}
void CRecordingRenderer::SetDepthWrite(bool on) {
  Log("SetDepthWrite", {double(on)});
}
void CRecordingRenderer::SetDepthTest(bool on) {
  Log("SetDepthTest", {double(on)});
}
void CRecordingRenderer::SetColor(double r, double g, double b, double a) {
  Log("SetColor", {r, g, b, a});
}
void CRecordingRenderer::SetColor(double r, double g, double b) {
  Log("SetColor", {r, g, b, 1});
}
void CRecordingRenderer::SetClearColor(double r, double g, double b) {
  Log("SetClearColor", {r, g, b});
}
void CRecordingRenderer::Clear() {
  Log("Clear");
}
void CRecordingRenderer::EnableAlphaBlend() {
  Log("EnableAlphaBlend");
}
void CRecordingRenderer::EnableAdditiveBlend() {
  Log("EnableAdditiveBlend");
}
void CRecordingRenderer::DisableBlend() {
  Log("DisableBlend");
}
void CRecordingRenderer::EnableTexturing() {
  Log("EnableTexturing");
}
void CRecordingRenderer::DisableTexturing() {
  Log("DisableTexturing");
}
void CRecordingRenderer::SetTexGenPlanes(const double sPlane[4], const double tPlane[4]) {
  Log("SetTexGenPlanes",
      {sPlane[0], sPlane[1], sPlane[2], sPlane[3], tPlane[0], tPlane[1], tPlane[2], tPlane[3]});
}
void CRecordingRenderer::EnableTexGen() {
  Log("EnableTexGen");
}
void CRecordingRenderer::DisableTexGen() {
  Log("DisableTexGen");
}

void CRecordingRenderer::PushMatrix() {
  if (projectionCurrent)
    projectionStack.push_back(projectionStack.back());
  else
    modelviewStack.push_back(modelviewStack.back());
  Log("PushMatrix");
}

void CRecordingRenderer::PopMatrix() {
  // Popping the last matrix is an OpenGL stack underflow: the matrix stays.
  std::vector<Matrix>& stack = projectionCurrent ? projectionStack : modelviewStack;
  if (stack.size() > 1) stack.pop_back();
  Log("PopMatrix");
}

void CRecordingRenderer::Translate(double x, double y, double z) {
  Matrix t;
  Identity(t.m);
  t.m[12] = x;
  t.m[13] = y;
  t.m[14] = z;
  MultiplyCurrent(t);
  Log("Translate", {x, y, z});
}

void CRecordingRenderer::Scale(double x, double y, double z) {
  Matrix s;
  Identity(s.m);
  s.m[0] = x;
  s.m[5] = y;
  s.m[10] = z;
  MultiplyCurrent(s);
  Log("Scale", {x, y, z});
}

void CRecordingRenderer::Scale(double s) {
  Matrix m;
  Identity(m.m);
  m.m[0] = m.m[5] = m.m[10] = s;
  MultiplyCurrent(m);
  Log("Scale", {s, s, s});
}

void CRecordingRenderer::Rotate(double angleRadians, double axisX, double axisY, double axisZ) {
  double length = std::sqrt(axisX * axisX + axisY * axisY + axisZ * axisZ);
  double x = axisX / length, y = axisY / length, z = axisZ / length;
  double c = std::cos(angleRadians), s = std::sin(angleRadians), k = 1 - c;
  Matrix r;
  Identity(r.m);
  r.m[0] = x * x * k + c;
  r.m[1] = y * x * k + z * s;
  r.m[2] = x * z * k - y * s;
  r.m[4] = x * y * k - z * s;
  r.m[5] = y * y * k + c;
  r.m[6] = y * z * k + x * s;
  r.m[8] = x * z * k + y * s;
  r.m[9] = y * z * k - x * s;
  r.m[10] = z * z * k + c;
  MultiplyCurrent(r);
  Log("Rotate", {angleRadians, axisX, axisY, axisZ});
}

void CRecordingRenderer::GetMatrix(double out[16]) {
  std::memcpy(out, modelviewStack.back().m, sizeof(double) * 16);
  Log("GetMatrix");
}

void CRecordingRenderer::LoadMatrix(const double m[16]) {
  std::memcpy(Current().m, m, sizeof(double) * 16);
  Log("LoadMatrix", std::vector<double>(m, m + 16));
}

void CRecordingRenderer::BeginQuads() {
  Log("BeginQuads");
}
void CRecordingRenderer::EndQuads() {
  Log("EndQuads");
}
void CRecordingRenderer::AddQuad(const RenderVertex& v0, const RenderVertex& v1,
                                 const RenderVertex& v2, const RenderVertex& v3) {
  Log("AddQuad", {}, {v0, v1, v2, v3});
}
void CRecordingRenderer::AddQuadVertex(const RenderVertex& v) {
  Log("AddQuadVertex", {}, {v});
}
void CRecordingRenderer::BeginTriangles() {
  Log("BeginTriangles");
}
void CRecordingRenderer::EndTriangles() {
  Log("EndTriangles");
}
void CRecordingRenderer::AddTriangle(const RenderVertex& v0, const RenderVertex& v1,
                                     const RenderVertex& v2) {
  Log("AddTriangle", {}, {v0, v1, v2});
}
void CRecordingRenderer::AddTriangleVertex(const RenderVertex& v) {
  Log("AddTriangleVertex", {}, {v});
}
void CRecordingRenderer::BeginTriangleFan() {
  Log("BeginTriangleFan");
}
void CRecordingRenderer::EndTriangleFan() {
  Log("EndTriangleFan");
}
void CRecordingRenderer::AddFanVertex(const RenderVertex& v) {
  Log("AddFanVertex", {}, {v});
}
void CRecordingRenderer::BeginTriangleStrip() {
  Log("BeginTriangleStrip");
}
void CRecordingRenderer::EndTriangleStrip() {
  Log("EndTriangleStrip");
}
void CRecordingRenderer::AddStripVertex(const RenderVertex& v) {
  Log("AddStripVertex", {}, {v});
}
void CRecordingRenderer::SetFog(float start, float end, float r, float g, float b) {
  Log("SetFog", {start, end, r, g, b});
}
void CRecordingRenderer::EnableFog() {
  Log("EnableFog");
}
void CRecordingRenderer::DisableFog() {
  Log("DisableFog");
}
