#pragma once

#include <vector>

#include "render/matrix_stack.h"
#include "render/renderer.h"
#include "render/texture_upload.h"

// The renderer for OpenGL ES 2 and WebGL 1, which have no fixed-function pipeline
// and no immediate mode: it keeps the matrices itself, collects each Begin/End's
// vertices in an array and draws them at End with one shader that does what the
// fixed-function pipeline did for the game (colour times texture, eye-linear
// texture generation, linear fog on the eye distance), so its frames match the
// OpenGL 1 renderer's. A context must be current before the first operation.
class CGles2Renderer : public CRenderer {
 public:
  CGles2Renderer();
  // Deletes its shader program and buffers: unlike OpenGL 1's, this renderer owns
  // OpenGL objects, and the game screen makes a new renderer each time it is entered.
  ~CGles2Renderer() override;
  CGles2Renderer(const CGles2Renderer&) = delete;
  CGles2Renderer& operator=(const CGles2Renderer&) = delete;

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

  // False when the shaders would not build (no usable context): every drawing
  // operation then does nothing.
  bool IsReady() const { return programs[0].id != 0; }

  // One vertex as the shader reads it.
  struct Vertex {
    float x, y, z;
    float u, v;
    float r, g, b, a;
  };

 private:
  // What a Begin started: how its vertices make triangles.
  enum Primitive {
    PRIMITIVE_NONE,
    PRIMITIVE_QUADS,
    PRIMITIVE_TRIANGLES,
    PRIMITIVE_FAN,
    PRIMITIVE_STRIP
  };
  // The shader's inputs, as last sent, so only what changed is sent again.
  struct Uniforms {
    int modelview = -1, modelviewProjection = -1, planeS = -1, planeT = -1, texGen = -1,
        fogColour = -1, fogLine = -1, levelLimit = -1;
  };
  // One program for each set of the fragment stage's switches, as a
  // fixed-function driver builds them: a switch tested in the shader would cost
  // a software rasteriser both ways on every fragment.
  enum Variant {
    VARIANT_TEXTURING = 1,
    VARIANT_FOG = 2,
    VARIANT_LEVEL_LIMIT = 4,
    VARIANT_COUNT = 8
  };
  struct Program {
    unsigned id = 0;
    bool failed = false;
    Uniforms where;
    // What it holds: matrices and switches by version (never 0 at first, so the
    // first draw sends all), the level limit as sent (never a real size).
    unsigned sentMatrices = ~0u;
    unsigned sentState = ~0u;
    TextureLevelLimit sentLimit{0, 0, 0};
  };

  // Builds the program of a variant unless built (or failed) already; false when
  // it cannot be built.
  bool BuildProgram(int variant);
  Program* UseProgram();
  void Begin(Primitive primitive);
  void End();
  void Emit(const RenderVertex& v);
  // Sends the program the matrices and settings that changed since it last drew.
  void SendState(Program& p);
  // Draws the first `count` collected vertices (whole quads for quads).
  void Draw(int count);

  CMatrixStack matrices;
  float colour[4] = {1, 1, 1, 1};
  bool texturing = false;
  bool texGen = false;
  bool fog = false;
  float planeS[4] = {1, 0, 0, 0};
  float planeT[4] = {0, 1, 0, 0};
  float fogColour[3] = {0, 0, 0};
  // The fog factor is clamp(distance * scale + offset): OpenGL's default linear fog
  // runs from 0 to 1.
  float fogLine[2] = {-1, 1};

  Primitive primitive = PRIMITIVE_NONE;
  std::vector<Vertex> batch;

  Program programs[VARIANT_COUNT];
  int current = -1;
  unsigned vertexBuffer = 0;
  unsigned indexBuffer = 0;
  // Bumped by every change of the texture generation or the fog.
  unsigned stateVersion = 0;
};
