#include "render/gles2_renderer.h"

#include <GLES2/gl2.h>

#include <cstddef>
#include <initializer_list>

#include "base/random.h"
#include "render/texture_upload.h"

namespace {
// SetCullMode's codes: which faces disappear.
constexpr int CULL_NONE = 0;
constexpr int CULL_FRONT = 1;
constexpr int CULL_BACK = -1;

// Attribute slots, bound before linking.
constexpr GLuint ATTRIBUTE_POSITION = 0;
constexpr GLuint ATTRIBUTE_TEXCOORD = 1;
constexpr GLuint ATTRIBUTE_COLOUR = 2;

// A draw holds at most this many quads, so their indices fit in 16 bits (all
// WebGL 1 promises); longer runs are drawn in pieces. Triangles split likewise.
constexpr int QUADS_PER_DRAW = 4096;
constexpr int QUAD_VERTICES_PER_DRAW = QUADS_PER_DRAW * 4;
constexpr int TRIANGLE_VERTICES_PER_DRAW = 3 * 5461;

// The fixed-function pipeline's steps for the game, in the order OpenGL 1 takes
// them: eye-space position, eye-linear texture coordinates, and the fog distance,
// which Mesa takes as |z| in eye space (its default fog coordinate), not the
// radial distance.
const char* const VERTEX_SHADER = R"(
attribute vec3 position;
attribute vec2 texCoord;
attribute vec4 colour;
uniform mat4 modelview;
uniform mat4 modelviewProjection;
uniform vec4 planeS;
uniform vec4 planeT;
uniform bool texGen;
varying vec4 vColour;
varying vec2 vTexCoord;
varying float vFogDistance;
void main() {
  vec4 object = vec4(position, 1.0);
  vec4 eye = modelview * object;
  gl_Position = modelviewProjection * object;
  vColour = clamp(colour, 0.0, 1.0);
  vTexCoord = texGen ? vec2(dot(planeS, eye), dot(planeT, eye)) : texCoord;
  vFogDistance = abs(eye.z);
}
)";

// The texture modulates the colour (OpenGL's default texture environment); fog
// blends the colour, not its alpha, toward the fog colour per fragment, as Mesa
// does. OpenGL ES cannot stop a mipmap chain at a level, so where the picture
// shrinks past the texture's highest level the sample is biased back to it, from
// the level of detail worked out as the sampler does. Each program is built with
// the switches it needs defined in front of this.
const char* const FRAGMENT_SHADER = R"(
#ifdef GL_OES_standard_derivatives
#extension GL_OES_standard_derivatives : enable
#endif
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D image;
uniform vec3 levelLimit;
uniform vec3 fogColour;
uniform vec2 fogLine;
varying vec4 vColour;
varying vec2 vTexCoord;
varying float vFogDistance;
void main() {
  vec4 colour = vColour;
#if defined(TEXTURING) && defined(LEVEL_LIMIT) && defined(GL_OES_standard_derivatives)
  vec2 texel = vTexCoord * levelLimit.xy;
  vec2 dx = dFdx(texel);
  vec2 dy = dFdy(texel);
  float level = 0.5 * log2(max(dot(dx, dx), dot(dy, dy)));
  colour *= texture2D(image, vTexCoord, min(0.0, levelLimit.z - level));
#elif defined(TEXTURING)
  colour *= texture2D(image, vTexCoord);
#endif
#ifdef FOG
  float f = clamp(vFogDistance * fogLine.x + fogLine.y, 0.0, 1.0);
  colour.rgb = mix(fogColour, colour.rgb, f);
#endif
  gl_FragColor = colour;
}
)";

// The switches of each program, by its variant bits.
const char* const VARIANT_DEFINES[] = {
    "",
    "#define TEXTURING\n",
    "#define FOG\n",
    "#define TEXTURING\n#define FOG\n",
    "#define LEVEL_LIMIT\n",
    "#define TEXTURING\n#define LEVEL_LIMIT\n",
    "#define FOG\n#define LEVEL_LIMIT\n",
    "#define TEXTURING\n#define FOG\n#define LEVEL_LIMIT\n",
};

// A level limit this high never stops a chain: the texture has none.
constexpr float NO_LEVEL_LIMIT = 64;

GLuint CompileShader(GLenum kind, const char* defines, const char* source) {
  const GLuint shader = glCreateShader(kind);
  const char* const parts[2] = {defines, source};
  glShaderSource(shader, 2, parts, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled != GL_TRUE) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

float Narrow(double value) {
  return static_cast<float>(value);
}
}  // namespace

CGles2Renderer::CGles2Renderer() {
  BuildProgram(0);
  batch.reserve(QUAD_VERTICES_PER_DRAW);
  if (!IsReady()) return;
  // Each quad (0, 1, 2, 3) is the triangles (0, 1, 3) and (1, 2, 3), the split
  // Mesa makes of OpenGL 1 quads, so the two renderers meet at the same diagonal.
  std::vector<unsigned short> quadIndices;
  quadIndices.reserve(QUADS_PER_DRAW * 6);
  for (int q = 0; q < QUADS_PER_DRAW; ++q) {
    const unsigned short first = static_cast<unsigned short>(q * 4);
    for (int corner : {0, 1, 3, 1, 2, 3})
      quadIndices.push_back(static_cast<unsigned short>(first + corner));
  }
  glGenBuffers(1, &vertexBuffer);
  glGenBuffers(1, &indexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER,
               static_cast<GLsizeiptr>(quadIndices.size() * sizeof(unsigned short)),
               quadIndices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
  const GLsizei stride = sizeof(Vertex);
  glVertexAttribPointer(ATTRIBUTE_POSITION, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(Vertex, x)));
  glVertexAttribPointer(ATTRIBUTE_TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(Vertex, u)));
  glVertexAttribPointer(ATTRIBUTE_COLOUR, 4, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(Vertex, r)));
  glEnableVertexAttribArray(ATTRIBUTE_POSITION);
  glEnableVertexAttribArray(ATTRIBUTE_TEXCOORD);
  glEnableVertexAttribArray(ATTRIBUTE_COLOUR);
}

CGles2Renderer::~CGles2Renderer() {
  if (!IsReady()) return;
  glDeleteBuffers(1, &vertexBuffer);
  glDeleteBuffers(1, &indexBuffer);
  for (const Program& each : programs)
    if (each.id != 0) glDeleteProgram(each.id);
}

bool CGles2Renderer::BuildProgram(int variant) {
  Program& built = programs[variant];
  if (built.id != 0 || built.failed) return built.id != 0;
  built.failed = true;
  const char* defines = VARIANT_DEFINES[variant];
  const GLuint vertexShader = CompileShader(GL_VERTEX_SHADER, "", VERTEX_SHADER);
  const GLuint fragmentShader = CompileShader(GL_FRAGMENT_SHADER, defines, FRAGMENT_SHADER);
  if (vertexShader == 0 || fragmentShader == 0) {
    if (vertexShader != 0) glDeleteShader(vertexShader);
    if (fragmentShader != 0) glDeleteShader(fragmentShader);
    return false;
  }
  const GLuint linked = glCreateProgram();
  glAttachShader(linked, vertexShader);
  glAttachShader(linked, fragmentShader);
  glBindAttribLocation(linked, ATTRIBUTE_POSITION, "position");
  glBindAttribLocation(linked, ATTRIBUTE_TEXCOORD, "texCoord");
  glBindAttribLocation(linked, ATTRIBUTE_COLOUR, "colour");
  glLinkProgram(linked);
  glDeleteShader(vertexShader);
  glDeleteShader(fragmentShader);
  GLint status = GL_FALSE;
  glGetProgramiv(linked, GL_LINK_STATUS, &status);
  if (status != GL_TRUE) {
    glDeleteProgram(linked);
    return false;
  }
  built.id = linked;
  built.failed = false;
  Uniforms& where = built.where;
  where.modelview = glGetUniformLocation(linked, "modelview");
  where.modelviewProjection = glGetUniformLocation(linked, "modelviewProjection");
  where.planeS = glGetUniformLocation(linked, "planeS");
  where.planeT = glGetUniformLocation(linked, "planeT");
  where.texGen = glGetUniformLocation(linked, "texGen");
  where.fogColour = glGetUniformLocation(linked, "fogColour");
  where.fogLine = glGetUniformLocation(linked, "fogLine");
  where.levelLimit = glGetUniformLocation(linked, "levelLimit");
  glUseProgram(linked);
  current = variant;
  glUniform1i(glGetUniformLocation(linked, "image"), 0);
  return true;
}

void CGles2Renderer::SetViewport(int x, int y, int width, int height) {
  glViewport(x, y, width, height);
}

void CGles2Renderer::ResetMatrices() {
  matrices.SelectProjection();
  matrices.LoadIdentity();
  matrices.SelectModelview();
  matrices.LoadIdentity();
}

void CGles2Renderer::SetPerspective(double fovYDegrees, double aspect, double zNear, double zFar) {
  matrices.SelectProjection();
  matrices.LoadIdentity();
  matrices.MultPerspective(fovYDegrees, aspect, zNear, zFar);
  matrices.SelectModelview();
}

void CGles2Renderer::LookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                            double centreZ, double upX, double upY, double upZ) {
  matrices.LoadIdentity();
  matrices.MultLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

void CGles2Renderer::SetCullMode(int mode) {
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

void CGles2Renderer::SetDepthWrite(bool on) {
  glDepthMask(on ? GL_TRUE : GL_FALSE);
}

void CGles2Renderer::SetDepthTest(bool on) {
  if (on) {
    glEnable(GL_DEPTH_TEST);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
}

void CGles2Renderer::SetColor(double r, double g, double b, double a) {
  colour[0] = Narrow(r);
  colour[1] = Narrow(g);
  colour[2] = Narrow(b);
  colour[3] = Narrow(a);
}

void CGles2Renderer::SetColor(double r, double g, double b) {
  SetColor(r, g, b, 1.0);
}

void CGles2Renderer::SetClearColor(double r, double g, double b) {
  // The frame's alpha is never used; keep it 0 so every clear is alike.
  glClearColor(Narrow(r), Narrow(g), Narrow(b), 0.0f);
}

void CGles2Renderer::Clear() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CGles2Renderer::EnableAlphaBlend() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void CGles2Renderer::EnableAdditiveBlend() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void CGles2Renderer::DisableBlend() {
  glDisable(GL_BLEND);
}

void CGles2Renderer::EnableTexturing() {
  texturing = true;
  ++stateVersion;
}

void CGles2Renderer::DisableTexturing() {
  texturing = false;
  ++stateVersion;
}

// An eye-linear plane is fixed in eye space by the modelview of the moment it is
// set, exactly as OpenGL 1 stores it.
void CGles2Renderer::SetTexGenPlanes(const double sPlane[4], const double tPlane[4]) {
  matrices.EyePlane(sPlane, planeS);
  matrices.EyePlane(tPlane, planeT);
  ++stateVersion;
}

void CGles2Renderer::EnableTexGen() {
  texGen = true;
  ++stateVersion;
}

void CGles2Renderer::DisableTexGen() {
  texGen = false;
  ++stateVersion;
}

void CGles2Renderer::PushMatrix() {
  matrices.Push();
}

void CGles2Renderer::PopMatrix() {
  matrices.Pop();
}

void CGles2Renderer::Translate(double x, double y, double z) {
  matrices.Translate(Narrow(x), Narrow(y), Narrow(z));
}

void CGles2Renderer::Scale(double x, double y, double z) {
  matrices.Scale(Narrow(x), Narrow(y), Narrow(z));
}

void CGles2Renderer::Scale(double s) {
  Scale(s, s, s);
}

void CGles2Renderer::Rotate(double angleRadians, double axisX, double axisY, double axisZ) {
  matrices.Rotate(Narrow(angleRadians / PI * 180), Narrow(axisX), Narrow(axisY), Narrow(axisZ));
}

void CGles2Renderer::GetMatrix(double out[16]) {
  const float* m = matrices.Modelview();
  for (int i = 0; i < 16; ++i) out[i] = m[i];
}

void CGles2Renderer::LoadMatrix(const double m[16]) {
  matrices.Load(m);
}

void CGles2Renderer::BeginQuads() {
  Begin(PRIMITIVE_QUADS);
}

void CGles2Renderer::EndQuads() {
  End();
}

void CGles2Renderer::AddQuad(const RenderVertex& v0, const RenderVertex& v1, const RenderVertex& v2,
                             const RenderVertex& v3) {
  Emit(v0);
  Emit(v1);
  Emit(v2);
  Emit(v3);
}

void CGles2Renderer::AddQuadVertex(const RenderVertex& v) {
  Emit(v);
}

void CGles2Renderer::BeginTriangles() {
  Begin(PRIMITIVE_TRIANGLES);
}

void CGles2Renderer::EndTriangles() {
  End();
}

void CGles2Renderer::AddTriangle(const RenderVertex& v0, const RenderVertex& v1,
                                 const RenderVertex& v2) {
  Emit(v0);
  Emit(v1);
  Emit(v2);
}

void CGles2Renderer::AddTriangleVertex(const RenderVertex& v) {
  Emit(v);
}

void CGles2Renderer::BeginTriangleFan() {
  Begin(PRIMITIVE_FAN);
}

void CGles2Renderer::EndTriangleFan() {
  End();
}

void CGles2Renderer::AddFanVertex(const RenderVertex& v) {
  Emit(v);
}

void CGles2Renderer::BeginTriangleStrip() {
  Begin(PRIMITIVE_STRIP);
}

void CGles2Renderer::EndTriangleStrip() {
  End();
}

void CGles2Renderer::AddStripVertex(const RenderVertex& v) {
  Emit(v);
}

// The factor OpenGL 1 computes for linear fog, (end - distance) / (end - start),
// as one multiply and add.
void CGles2Renderer::SetFog(float start, float end, float r, float g, float b) {
  const float range = end - start;
  if (range != 0) {
    fogLine[0] = -1.0f / range;
    fogLine[1] = end / range;
  }
  fogColour[0] = r;
  fogColour[1] = g;
  fogColour[2] = b;
  ++stateVersion;
}

void CGles2Renderer::EnableFog() {
  fog = true;
  ++stateVersion;
}

void CGles2Renderer::DisableFog() {
  fog = false;
  ++stateVersion;
}

// A Begin inside another is ignored, as OpenGL ignores it.
void CGles2Renderer::Begin(Primitive kind) {
  if (primitive != PRIMITIVE_NONE) return;
  primitive = kind;
  batch.clear();
}

void CGles2Renderer::End() {
  if (primitive == PRIMITIVE_NONE) return;
  Draw(static_cast<int>(batch.size()));
  batch.clear();
  primitive = PRIMITIVE_NONE;
}

// A coloured vertex sets the current colour, so the uncoloured vertices after it
// take that colour too. A vertex outside Begin/End draws nothing.
void CGles2Renderer::Emit(const RenderVertex& v) {
  if (primitive == PRIMITIVE_NONE) return;
  if (v.hasColor) SetColor(v.r, v.g, v.b, v.a);
  batch.push_back({Narrow(v.x), Narrow(v.y), Narrow(v.z), Narrow(v.u), Narrow(v.v), colour[0],
                   colour[1], colour[2], colour[3]});
  const int size = static_cast<int>(batch.size());
  if ((primitive == PRIMITIVE_QUADS && size == QUAD_VERTICES_PER_DRAW) ||
      (primitive == PRIMITIVE_TRIANGLES && size == TRIANGLE_VERTICES_PER_DRAW)) {
    Draw(size);
    batch.clear();
  }
}

// The program for the switches now on, built the first time they are.
CGles2Renderer::Program* CGles2Renderer::UseProgram() {
  int variant = (texturing ? VARIANT_TEXTURING : 0) | (fog ? VARIANT_FOG : 0);
  if (texturing && BoundTextureLevelLimit().highestLevel < NO_LEVEL_LIMIT)
    variant |= VARIANT_LEVEL_LIMIT;
  if (!BuildProgram(variant)) return nullptr;
  if (current != variant) {
    glUseProgram(programs[variant].id);
    current = variant;
  }
  return &programs[variant];
}

void CGles2Renderer::SendState(Program& p) {
  const Uniforms& where = p.where;
  if (matrices.Version() != p.sentMatrices) {
    float product[16];
    matrices.ModelviewProjection(product);
    glUniformMatrix4fv(where.modelview, 1, GL_FALSE, matrices.Modelview());
    glUniformMatrix4fv(where.modelviewProjection, 1, GL_FALSE, product);
    p.sentMatrices = matrices.Version();
  }
  const TextureLevelLimit& limit = BoundTextureLevelLimit();
  if (where.levelLimit >= 0 &&
      (limit.width != p.sentLimit.width || limit.height != p.sentLimit.height ||
       limit.highestLevel != p.sentLimit.highestLevel)) {
    glUniform3f(where.levelLimit, limit.width, limit.height, limit.highestLevel);
    p.sentLimit = limit;
  }
  if (p.sentState == stateVersion) return;
  glUniform1i(where.texGen, texGen ? 1 : 0);
  glUniform4fv(where.planeS, 1, planeS);
  glUniform4fv(where.planeT, 1, planeT);
  glUniform3fv(where.fogColour, 1, fogColour);
  glUniform2fv(where.fogLine, 1, fogLine);
  p.sentState = stateVersion;
}

void CGles2Renderer::Draw(int count) {
  if (!IsReady()) return;
  int drawn = count;
  GLenum mode = GL_TRIANGLES;
  switch (primitive) {
    case PRIMITIVE_QUADS:
      drawn = count / 4 * 4;
      break;
    case PRIMITIVE_TRIANGLES:
      drawn = count / 3 * 3;
      break;
    case PRIMITIVE_FAN:
      mode = GL_TRIANGLE_FAN;
      drawn = count >= 3 ? count : 0;
      break;
    case PRIMITIVE_STRIP:
      mode = GL_TRIANGLE_STRIP;
      drawn = count >= 3 ? count : 0;
      break;
    case PRIMITIVE_NONE:
      return;
  }
  if (drawn == 0) return;
  Program* p = UseProgram();
  if (p == nullptr) return;
  SendState(*p);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(drawn * sizeof(Vertex)), batch.data(),
               GL_STREAM_DRAW);
  if (primitive == PRIMITIVE_QUADS) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glDrawElements(GL_TRIANGLES, drawn / 4 * 6, GL_UNSIGNED_SHORT, nullptr);
  } else {
    glDrawArrays(mode, 0, drawn);
  }
}
