#pragma once

#include "base/render_vertex.h"

class CBlobImageSet;

// What a blob element needs besides its unit while it draws. The visual world's
// Reset sets the scale and the image set; each frame's drawing sets the eye.
struct BlobDrawingContext {
  double blobScale = 0;
  const CBlobImageSet* blobImageSet = nullptr;
  RenderVertex cameraEye;
};

extern BlobDrawingContext blobContext;
