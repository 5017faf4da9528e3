#pragma once

#include "base/render_vertex.h"
#include "view/scene_part.h"

class CRenderer;
class CTexture;
class CUnit;

// Something see-through in the scene that remembers where it stands (the modelview
// matrix current when it was made) so it can be drawn later, sorted far to near.
class CVisElement {
 public:
  virtual void Draw(CRenderer& r) = 0;
  // The reference point in the element's own coordinates; only x, y, z count.
  virtual RenderVertex GetPosition() const = 0;

  // The reference point carried into eye space by the captured matrix.
  void EyePosition(double& ex, double& ey, double& ez) const;
  // Squared distance from the eye: no square root needed to sort.
  void UpdateDepth();

  double depth = 0;
  double matrix[16] = {};       // column-major, as GetMatrix returns it
  ScenePart part = PART_FENCE;  // what the element belongs to, for accounting

 protected:
  ~CVisElement() = default;
};

// One textured, tinted quad, or a strip of segments slices between its edges
// v1-v2 and v0-v3 (the curved grass fringes).
class CQuadVisElement final : public CVisElement {
 public:
  explicit CQuadVisElement(const CTexture* texture);

  void Draw(CRenderer& r) override;
  RenderVertex GetPosition() const override;

  RenderVertex vertices[4];
  bool additive = false;
  int segments = 1;
  double colour[4] = {1, 1, 1, 1};
  const CTexture* texture;
};

// One blob, drawn by the blob image set at the unit's drawn position.
class CBlobVisElement final : public CVisElement {
 public:
  explicit CBlobVisElement(const CUnit* unit) : unit(unit) { part = PART_BLOBS; }

  void Draw(CRenderer& r) override;
  RenderVertex GetPosition() const override;

  const CUnit* unit;
};
