#pragma once

#include <cairo.h>

#include "tools/art/canvas.h"

// The layered blob sprite: body, outline, and the face parts drawn between them.
enum class Mouth { kBeaming, kWorried, kFrightened, kScreaming, kSad, kSilly, kContent };
enum class Eye { kOpen, kClosed, kSad, kSqueezed };

void PaintBlobBody(CCanvas& canvas);
void PaintBlobOutline(CCanvas& canvas);
void PaintMouth(CCanvas& canvas, Mouth mouth);
void PaintEye(CCanvas& canvas, Eye eye);
void PaintEyeDot(CCanvas& canvas);
void PaintEyebrow(CCanvas& canvas);

// A whole blob seen from the front, for the title and the icons: the same
// layers the game stacks, at centre (cx, cy) with the given radius. gaze turns
// the pupils (radians, 0 = to the right, cairo's y down).
struct BlobPose {
  Mouth mouth = Mouth::kContent;
  Eye leftEye = Eye::kOpen;
  Eye rightEye = Eye::kOpen;
  double gaze = kPupilsDown;
  double tilt = 0;  // radians, the whole blob leans

  static constexpr double kPupilsDown = 1.5707963267948966;
};
void DrawBlobPortrait(cairo_t* cr, double cx, double cy, double radius, const BlobPose& pose);
