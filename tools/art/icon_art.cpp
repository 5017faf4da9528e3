#include "tools/art/icon_art.h"

#include <cmath>

#include "tools/art/blob_art.h"
#include "tools/art/paint.h"

void PaintIcon(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double s = canvas.Width();
  const double margin = s * 0.04, ink = s * 0.035;

  // A tile of sunny lawn.
  RoundedRectPath(cr, margin, margin, s - 2 * margin, s - 2 * margin, s * 0.2);
  cairo_pattern_t* lawn = cairo_pattern_create_linear(0, margin, 0, s - margin);
  AddColorStop(lawn, 0, kGrassSun);
  AddColorStop(lawn, 0.5, kGrassLight);
  AddColorStop(lawn, 1, kGrassDark);
  cairo_set_source(cr, lawn);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(lawn);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink);
  cairo_stroke(cr);

  // A crack gaping open under it, fire glowing inside.
  const double cx = s * 0.5, cy = s * 0.82, rx = s * 0.3, ry = s * 0.07;
  constexpr int kJags = 14;
  for (int i = 0; i < kJags; ++i) {
    const double a = i * 2 * kPi / kJags, k = i % 2 ? 0.78 : 1.0;
    cairo_line_to(cr, cx + std::cos(a) * rx * k, cy + std::sin(a) * ry * k);
  }
  cairo_close_path(cr);
  cairo_pattern_t* fire = cairo_pattern_create_linear(0, cy - ry, 0, cy + ry);
  AddColorStop(fire, 0, kEarthDeep);
  AddColorStop(fire, 0.55, kEmber);
  AddColorStop(fire, 1, kSun);
  cairo_set_source(cr, fire);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fire);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink * 0.8);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);

  BlobPose pose;
  pose.mouth = Mouth::kBeaming;
  pose.gaze = kPi * 0.3;
  DrawBlobPortrait(cr, s * 0.5, s * 0.44, s * 0.31, pose);
}
