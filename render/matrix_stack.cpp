#include "render/matrix_stack.h"

#include <cmath>
#include <cstring>

namespace {
constexpr float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// GLU's own value of pi, not the game's.
constexpr double GLU_PI = 3.14159265358979323846;

// Element (row, col) of a column-major matrix.
inline float& At(float* m, int row, int col) {
  return m[col * 4 + row];
}
inline float At(const float* m, int row, int col) {
  return m[col * 4 + row];
}

// The driver's product a x b, summed in this order in single precision.
void Multiply(float* product, const float* a, const float* b) {
  for (int i = 0; i < 4; ++i) {
    const float ai0 = At(a, i, 0), ai1 = At(a, i, 1), ai2 = At(a, i, 2), ai3 = At(a, i, 3);
    for (int j = 0; j < 4; ++j)
      At(product, i, j) =
          ai0 * At(b, 0, j) + ai1 * At(b, 1, j) + ai2 * At(b, 2, j) + ai3 * At(b, 3, j);
  }
}

// GLU normalises in single precision with a square root taken in double.
void Normalize(float v[3]) {
  const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (r == 0.0f) return;
  v[0] /= r;
  v[1] /= r;
  v[2] /= r;
}

void Cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// The inverse of a general 4 x 4 matrix by cofactors, in double; false when singular.
bool Invert(const float* m, double inv[16]) {
  double a[16];
  for (int i = 0; i < 16; ++i) a[i] = m[i];
  inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
           a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
  inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] -
           a[8] * a[7] * a[14] - a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
  inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
           a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
  inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] -
            a[8] * a[6] * a[13] - a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
  inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] -
           a[9] * a[3] * a[14] - a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
  inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
           a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
  inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
           a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
  inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
            a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
  inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
           a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
  inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
           a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
  inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
            a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
  inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
            a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
  inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
           a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
  inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
           a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
  inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
            a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
  inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
            a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
  const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
  if (det == 0) return false;
  for (int i = 0; i < 16; ++i) inv[i] /= det;
  return true;
}
}  // namespace

CMatrixStack::CMatrixStack() : current(&modelview[0]) {
  std::memcpy(projection.m, IDENTITY, sizeof IDENTITY);
  std::memcpy(modelview[0].m, IDENTITY, sizeof IDENTITY);
}

void CMatrixStack::MultiplyBy(const float b[16]) {
  float product[16];
  Multiply(product, current->m, b);
  std::memcpy(current->m, product, sizeof product);
  ++version;
}

void CMatrixStack::LoadIdentity() {
  std::memcpy(current->m, IDENTITY, sizeof IDENTITY);
  ++version;
}

void CMatrixStack::MultPerspective(double fovYDegrees, double aspect, double zNear, double zFar) {
  const double radians = fovYDegrees / 2 * GLU_PI / 180;
  const double deltaZ = zFar - zNear;
  const double sine = std::sin(radians);
  // GLU leaves the matrix alone rather than divide by zero.
  if (deltaZ == 0 || sine == 0 || aspect == 0) return;
  const double cotangent = std::cos(radians) / sine;
  double m[16] = {};
  m[0] = cotangent / aspect;
  m[5] = cotangent;
  m[10] = -(zFar + zNear) / deltaZ;
  m[11] = -1;
  m[14] = -2 * zNear * zFar / deltaZ;
  float f[16];
  for (int i = 0; i < 16; ++i) f[i] = static_cast<float>(m[i]);
  MultiplyBy(f);
}

void CMatrixStack::MultLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                              double centreZ, double upX, double upY, double upZ) {
  float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                      static_cast<float>(centreZ - eyeZ)};
  float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
  float side[3];
  Normalize(forward);
  Cross(forward, up, side);
  Normalize(side);
  Cross(side, forward, up);
  float m[16];
  std::memcpy(m, IDENTITY, sizeof IDENTITY);
  for (int i = 0; i < 3; ++i) {
    At(m, 0, i) = side[i];
    At(m, 1, i) = up[i];
    At(m, 2, i) = -forward[i];
  }
  MultiplyBy(m);
  Translate(static_cast<float>(-eyeX), static_cast<float>(-eyeY), static_cast<float>(-eyeZ));
}

void CMatrixStack::Translate(float x, float y, float z) {
  float* m = current->m;
  m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
  m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
  m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
  m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
  ++version;
}

void CMatrixStack::Scale(float x, float y, float z) {
  float* m = current->m;
  for (int row = 0; row < 4; ++row) {
    m[row] *= x;
    m[4 + row] *= y;
    m[8 + row] *= z;
  }
  ++version;
}

// A turn about a coordinate axis is written out directly (as the driver does),
// any other axis goes through the general formula.
void CMatrixStack::Rotate(float angleDegrees, float x, float y, float z) {
  const float s = std::sin(static_cast<float>(angleDegrees * GLU_PI / 180.0));
  const float c = std::cos(static_cast<float>(angleDegrees * GLU_PI / 180.0));
  float m[16];
  std::memcpy(m, IDENTITY, sizeof IDENTITY);
  if (x == 0 && y == 0 && z != 0) {
    At(m, 0, 0) = c;
    At(m, 1, 1) = c;
    At(m, 0, 1) = z < 0 ? s : -s;
    At(m, 1, 0) = z < 0 ? -s : s;
  } else if (x == 0 && z == 0 && y != 0) {
    At(m, 0, 0) = c;
    At(m, 2, 2) = c;
    At(m, 0, 2) = y < 0 ? -s : s;
    At(m, 2, 0) = y < 0 ? s : -s;
  } else if (y == 0 && z == 0 && x != 0) {
    At(m, 1, 1) = c;
    At(m, 2, 2) = c;
    At(m, 1, 2) = x < 0 ? s : -s;
    At(m, 2, 1) = x < 0 ? -s : s;
  } else {
    const float mag = std::sqrt(x * x + y * y + z * z);
    if (mag <= 1.0e-4f) return;
    x /= mag;
    y /= mag;
    z /= mag;
    const float oneC = 1.0f - c;
    At(m, 0, 0) = (oneC * x * x) + c;
    At(m, 0, 1) = (oneC * (x * y)) - z * s;
    At(m, 0, 2) = (oneC * (z * x)) + y * s;
    At(m, 1, 0) = (oneC * (x * y)) + z * s;
    At(m, 1, 1) = (oneC * (y * y)) + c;
    At(m, 1, 2) = (oneC * (y * z)) - x * s;
    At(m, 2, 0) = (oneC * (z * x)) - y * s;
    At(m, 2, 1) = (oneC * (y * z)) + x * s;
    At(m, 2, 2) = (oneC * (z * z)) + c;
  }
  MultiplyBy(m);
}

void CMatrixStack::Load(const double m[16]) {
  for (int i = 0; i < 16; ++i) current->m[i] = static_cast<float>(m[i]);
  ++version;
}

void CMatrixStack::Push() {
  if (depth + 1 >= DEPTH) return;
  const bool onModelview = current == &modelview[depth];
  modelview[depth + 1] = modelview[depth];
  ++depth;
  if (onModelview) current = &modelview[depth];
}

void CMatrixStack::Pop() {
  if (depth == 0) return;
  const bool onModelview = current == &modelview[depth];
  --depth;
  if (onModelview) current = &modelview[depth];
  ++version;
}

void CMatrixStack::ModelviewProjection(float out[16]) const {
  Multiply(out, projection.m, Modelview());
}

void CMatrixStack::EyePlane(const double plane[4], float out[4]) const {
  double inv[16];
  if (!Invert(Modelview(), inv)) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(plane[i]);
    return;
  }
  // The plane is a row vector: p' = p x inverse.
  for (int col = 0; col < 4; ++col) {
    double sum = 0;
    for (int row = 0; row < 4; ++row) sum += static_cast<float>(plane[row]) * inv[col * 4 + row];
    out[col] = static_cast<float>(sum);
  }
}
