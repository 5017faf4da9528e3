#include "bench/limit/limit_frame.h"

#include "base/render_vertex.h"
#include "render/renderer.h"
#include "view/vis_world.h"

namespace {
// The scene's camera, fog and grass repeat (render/scene.cpp).
constexpr double FIELD_OF_VIEW = 70, NEAR_PLANE = 0.5, FAR_PLANE = 50;
constexpr double LOOK_AT_HEIGHT = 0.35;
constexpr float FOG_START = 15, FOG_END = 50;
constexpr float SKY_R = 0.7f, SKY_G = 1.0f, SKY_B = 0.7f;
constexpr double GRASS_REPEAT = 2.0 / 13.0;
// Far past the fog's end all round, so from the game's camera the quad covers
// the view to its top edge.
constexpr double EXTENT = 100;
}  // namespace

void DrawLimitFrame(CRenderer& r, const CVisWorld& vis, int width, int height) {
  static const double sPlane[4] = {GRASS_REPEAT, 0, 0, 0};
  static const double tPlane[4] = {0, GRASS_REPEAT, 0, 0};
  r.SetViewport(0, 0, width, height);
  r.SetDepthTest(true);
  r.SetDepthWrite(true);
  r.Clear();
  r.ResetMatrices();
  r.SetPerspective(FIELD_OF_VIEW, static_cast<double>(width) / height, NEAR_PLANE, FAR_PLANE);
  r.LookAt(vis.eye.x, vis.eye.y, vis.eye.z, vis.lookAt.x, vis.lookAt.y, LOOK_AT_HEIGHT, 0, 0, 1);
  r.SetFog(FOG_START, FOG_END, SKY_R, SKY_G, SKY_B);
  r.EnableFog();
  r.DisableBlend();
  r.SetColor(1, 1, 1);
  r.EnableTexturing();
  r.SetTexGenPlanes(sPlane, tPlane);
  vis.grassTexture.Bind();
  r.EnableTexGen();
  r.BeginQuads();
  r.AddQuad(VertexAt(-EXTENT, -EXTENT, 0), VertexAt(EXTENT, -EXTENT, 0),
            VertexAt(EXTENT, EXTENT, 0), VertexAt(-EXTENT, EXTENT, 0));
  r.EndQuads();
  r.DisableTexGen();
}
