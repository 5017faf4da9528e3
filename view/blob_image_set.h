#pragma once

#include "render/texture.h"

class CRenderer;
class CUnit;

// The fifteen images of the blob sprite and its drawing: a body and an outline
// that always face the eye, and between them a mouth and two eyes fixed to the
// blob's heading and pitch, so the face turns away with the blob.
class CBlobImageSet {
 public:
  static constexpr int MOUTH_COUNT = 7;
  static constexpr int EYE_COUNT = 4;

  CTexture background;
  CTexture outline;
  CTexture mouths[MOUTH_COUNT];
  CTexture eyes[EYE_COUNT];
  CTexture eyeDot;
  CTexture eyebrow;  // loaded for the artists; no face uses it yet

  void Load();

  // view runs from the eye to the blob's drawn position. Expects the modelview to
  // place the blob's centre at the origin, one local unit being blobScale across,
  // with opaque white, alpha blending, no depth writes, no culling and texturing on.
  // Leaves the modelview as found, culling off and the colour (1, 1, 1, fade).
  void DrawBlob(CRenderer& r, const CUnit& unit, const double view[3]) const;
  void DrawEye(CRenderer& r, int shape, double angle, double eyeSize, double eyeScale2,
               bool mirror) const;
};
