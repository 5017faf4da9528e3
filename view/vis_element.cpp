#include "view/vis_element.h"

#include "game/unit.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "view/blob_context.h"
#include "view/blob_image_set.h"

BlobDrawingContext blobContext;

void CVisElement::EyePosition(double& ex, double& ey, double& ez) const {
  RenderVertex p = GetPosition();
  const double* m = matrix;
  ex = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
  ey = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
  ez = m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14];
}

void CVisElement::UpdateDepth() {
  double ex, ey, ez;
  EyePosition(ex, ey, ez);
  depth = ex * ex + ey * ey + ez * ez;
}

CQuadVisElement::CQuadVisElement(const CTexture* texture) : texture(texture) {}

namespace {

// A point part way across the strip: t of the way from `from` to `to`.
RenderVertex Between(const RenderVertex& from, const RenderVertex& to, double t) {
  RenderVertex p;
  p.x = (1 - t) * from.x + t * to.x;
  p.y = (1 - t) * from.y + t * to.y;
  p.z = (1 - t) * from.z + t * to.z;
  p.u = (1 - t) * from.u + t * to.u;
  p.v = (1 - t) * from.v + t * to.v;
  p.hasColor = false;
  return p;
}

}  // namespace

void CQuadVisElement::Draw(CRenderer& r) {
  if (texture) texture->Bind();
  r.SetColor(colour[0], colour[1], colour[2], colour[3]);
  if (additive)
    r.EnableAdditiveBlend();
  else
    r.EnableAlphaBlend();
  const RenderVertex& v0 = vertices[0];
  const RenderVertex& v1 = vertices[1];
  const RenderVertex& v2 = vertices[2];
  const RenderVertex& v3 = vertices[3];
  if (segments <= 1) {
    // Only the part of the image with something to show is shaded and blended.
    RenderVertex q[4] = {v0, v1, v2, v3};
    if (texture) TrimQuadToArt(texture->Extent(), q[0], q[1], q[2], q[3]);
    r.BeginQuads();
    r.AddQuad(q[0], q[1], q[2], q[3]);
    r.EndQuads();
    return;
  }
  r.BeginTriangleStrip();
  r.AddStripVertex(v1);
  r.AddStripVertex(v2);
  for (int i = 1; i < segments; ++i) {
    double t = static_cast<double>(i) / segments;
    r.AddStripVertex(Between(v1, v0, t));
    r.AddStripVertex(Between(v2, v3, t));
  }
  r.AddStripVertex(v0);
  r.AddStripVertex(v3);
  r.EndTriangleStrip();
}

RenderVertex CQuadVisElement::GetPosition() const {
  RenderVertex p;
  p.x = (vertices[0].x + vertices[1].x + vertices[2].x + vertices[3].x) * 0.25;
  p.y = (vertices[0].y + vertices[1].y + vertices[2].y + vertices[3].y) * 0.25;
  p.z = (vertices[0].z + vertices[1].z + vertices[2].z + vertices[3].z) * 0.25;
  p.hasColor = false;
  return p;
}

void CBlobVisElement::Draw(CRenderer& r) {
  RenderVertex p = unit->DisplayPosition();
  const RenderVertex& eye = blobContext.cameraEye;
  double view[3] = {p.x - eye.x, p.y - eye.y, p.z - eye.z};
  double scale = blobContext.blobScale;
  r.SetColor(1, 1, 1, 1);
  r.EnableAlphaBlend();
  r.PushMatrix();
  r.Translate(p.x, p.y, p.z);
  r.Scale(scale, scale, unit->LandingSquash() * scale);
  // No image set before the first reset: nothing to draw the blob with.
  if (blobContext.blobImageSet) blobContext.blobImageSet->DrawBlob(r, *unit, view);
  r.PopMatrix();
}

RenderVertex CBlobVisElement::GetPosition() const {
  return unit->DisplayPosition();
}
