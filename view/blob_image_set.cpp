#include "view/blob_image_set.h"

#include <cmath>
#include <cstdio>

#include "base/random.h"
#include "game/unit.h"
#include "render/renderer.h"

namespace {

// One layer of the sprite, cut down to where its image shows.
void DrawQuad(CRenderer& r, const CTexture& image, RenderVertex v0, RenderVertex v1,
              RenderVertex v2, RenderVertex v3) {
  TrimQuadToArt(image.Extent(), v0, v1, v2, v3);
  r.BeginQuads();
  r.AddQuad(v0, v1, v2, v3);
  r.EndQuads();
}

// The body and the outline: a 2 x 2 billboard in the local y-z plane, turned
// toward the eye.
void DrawBillboard(CRenderer& r, const CTexture& image, double yaw, double lean) {
  r.PushMatrix();
  r.Rotate(yaw, 0, 0, 1);
  r.Rotate(lean, 0, 1, 0);
  DrawQuad(r, image, VertexAt(0, 1, 1, 1, 1), VertexAt(0, -1, 1, 0, 1), VertexAt(0, -1, -1, 0, 0),
           VertexAt(0, 1, -1, 1, 0));
  r.PopMatrix();
}

}  // namespace

// No blob shows before the title is gone: the images are read when first
// needed, or while the title is up.
void CBlobImageSet::Load() {
  char path[64];
  background.LoadLater("graphics\\blob\\bg.png", false, false, 2);
  outline.LoadLater("graphics\\blob\\outline.png", false, false, 2);
  eyeDot.LoadLater("graphics\\blob\\eyedot.png", false, false, 1);
  eyebrow.LoadLater("graphics\\blob\\eyebrow.png", false, false, 1);
  for (int i = 0; i < EYE_COUNT; ++i) {
    std::snprintf(path, sizeof(path), "graphics\\blob\\eye%d.png", i);
    eyes[i].LoadLater(path, false, false, 1);
  }
  for (int i = 0; i < MOUTH_COUNT; ++i) {
    std::snprintf(path, sizeof(path), "graphics\\blob\\mouth%d.png", i);
    mouths[i].LoadLater(path, false, false, 1);
  }
}

void CBlobImageSet::DrawBlob(CRenderer& r, const CUnit& unit, const double view[3]) const {
  double yaw = std::atan2(-view[1], -view[0]);
  double lean = std::atan2(view[2], std::sqrt(view[0] * view[0] + view[1] * view[1]));
  double fade = unit.FallFade();

  background.Bind();
  r.SetColor(1, 1, 1, fade);
  DrawBillboard(r, background, yaw, lean);

  // The face is seen only from the front: a blob looking away shows no face.
  r.SetCullMode(-1);
  r.PushMatrix();
  // Local -y now points along the heading, tilted up by the pitch.
  r.Rotate(PI * 0.5 + unit.heading, 0, 0, 1);
  r.Rotate(-unit.pitch, 1, 0, 0);

  if (unit.face >= 0 && unit.face < MOUTH_COUNT) {
    mouths[unit.face].Bind();
    r.PushMatrix();
    // The wide open mouth sits a little further back on the face.
    if (unit.face == 3) r.Translate(0, 0.05, 0);
    DrawQuad(r, mouths[unit.face], VertexAt(0.5, -0.96, 0.25, 1, 1),
             VertexAt(-0.5, -0.96, 0.25, 0, 1), VertexAt(-0.5, -0.7, -0.75, 0, 0),
             VertexAt(0.5, -0.7, -0.75, 1, 0));
    r.PopMatrix();
  }

  // Growing eyes tilt down by 25 degrees and spread by 12 per unit of size above 1.
  double eyeSize = unit.eyeSize;
  r.Rotate((eyeSize - 1) * PI * -0.1388888888888889, 1, 0, 0);
  r.PushMatrix();
  r.Rotate(((eyeSize - 1) * 12 + 20) * PI * -0.005555555555555556, 0, 0, 1);
  DrawEye(r, unit.leftEye, unit.leftEyeAngle, eyeSize, unit.eyeScale2, false);
  r.PopMatrix();
  r.PushMatrix();
  r.Rotate(((eyeSize - 1) * 12 + 20) * PI * 0.005555555555555556, 0, 0, 1);
  DrawEye(r, unit.rightEye, unit.rightEyeAngle, eyeSize, unit.eyeScale2, true);
  r.PopMatrix();

  r.PopMatrix();
  r.SetCullMode(0);

  // Drawn last so its rim lies over the face where they overlap.
  outline.Bind();
  DrawBillboard(r, outline, yaw, lean);
}

void CBlobImageSet::DrawEye(CRenderer& r, int shape, double angle, double eyeSize, double eyeScale2,
                            bool mirror) const {
  if (shape < 0 || shape >= EYE_COUNT) return;
  // The half-closed eye is lopsided: the second one is its mirror image.
  double p = (mirror && shape == 2) ? 0 : 1;
  eyes[shape].Bind();
  r.PushMatrix();
  // Grow about the eye's centre, moving a little forward and down as it grows.
  r.Translate(0, (eyeSize - 1) * 0.05, (eyeSize - 1) * -0.19);
  r.Translate(0, -0.8049999999999999, 0.35);
  r.Scale(eyeSize);
  r.Translate(0, 0.8049999999999999, -0.35);
  DrawQuad(r, eyes[shape], VertexAt(0.45, -0.65, 0.85, p, 1),
           VertexAt(-0.45, -0.65, 0.85, 1 - p, 1), VertexAt(-0.45, -0.96, -0.05, 1 - p, 0),
           VertexAt(0.45, -0.96, -0.05, p, 0));
  if (shape == 0) {
    // The pupil circles the eye's forward axis by the eye angle; k keeps its size
    // in board units while the eye grows.
    eyeDot.Bind();
    r.PushMatrix();
    r.Translate(0, 0.08, 0.08);
    r.Rotate(PI * -0.10555555555555556, 1, 0, 0);
    r.Rotate(-angle, 0, 1, 0);
    double k = eyeScale2 / eyeSize;
    r.Translate((1 - k + 1) * 0.1, -0.95, 0);
    r.Scale(k);
    DrawQuad(r, eyeDot, VertexAt(0.12, 0, 0.12, 1, 1), VertexAt(-0.12, 0, 0.12, 0, 1),
             VertexAt(-0.12, 0, -0.12, 0, 0), VertexAt(0.12, 0, -0.12, 1, 0));
    r.PopMatrix();
  }
  r.PopMatrix();
}
