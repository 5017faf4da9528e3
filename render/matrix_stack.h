#pragma once

// The projection and modelview matrices of a renderer that has no fixed-function
// pipeline, kept as the OpenGL 1 driver keeps them: single precision, column-major,
// every operation rounded as the driver rounds it. Matrices handed back (to sort
// see-through elements by distance) then agree with the other renderer to the bit,
// so both sort a frame alike.
class CMatrixStack {
 public:
  using Matrix = float[16];

  CMatrixStack();

  void LoadIdentity();
  void SelectProjection() { current = &projection; }
  void SelectModelview() { current = &modelview[depth]; }
  // As gluPerspective and gluLookAt compute them, multiplied onto the current matrix.
  void MultPerspective(double fovYDegrees, double aspect, double zNear, double zFar);
  void MultLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                  double centreZ, double upX, double upY, double upZ);
  void Translate(float x, float y, float z);
  void Scale(float x, float y, float z);
  void Rotate(float angleDegrees, float x, float y, float z);
  void Load(const double m[16]);
  // On the modelview stack alone, as the game only ever pushes while it is current.
  // Like the driver, a push past the deepest level or a pop of the last one does
  // nothing.
  void Push();
  void Pop();

  const float* Modelview() const { return modelview[depth].m; }
  const float* Projection() const { return projection.m; }
  // Projection times modelview, as the driver multiplies it for its vertex stage.
  void ModelviewProjection(float out[16]) const;
  // The plane (a, b, c, d) carried into eye space through the modelview's inverse,
  // as an eye-linear texture-generation plane is stored when it is set.
  void EyePlane(const double plane[4], float out[4]) const;
  // Bumped by every change, so a renderer sends matrices only when they moved.
  unsigned Version() const { return version; }

 private:
  struct Mat {
    Matrix m;
  };
  void MultiplyBy(const float b[16]);

  // OpenGL guarantees at least 32 levels of modelview stack.
  static constexpr int DEPTH = 32;
  Mat projection;
  Mat modelview[DEPTH];
  int depth = 0;
  Mat* current;
  unsigned version = 0;
};
