#include "tools/art/icon_art.h"

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

  // The crack opening under it, glowing with the fire below.
  cairo_move_to(cr, s * 0.2, s * 0.86);
  cairo_line_to(cr, s * 0.36, s * 0.8);
  cairo_line_to(cr, s * 0.46, s * 0.87);
  cairo_line_to(cr, s * 0.6, s * 0.8);
  cairo_line_to(cr, s * 0.8, s * 0.86);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, s * 0.07);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke_preserve(cr);
  SetSource(cr, kEmber);
  cairo_set_line_width(cr, s * 0.025);
  cairo_stroke(cr);

  BlobPose pose;
  pose.mouth = Mouth::kBeaming;
  pose.gaze = kPi * 0.3;
  DrawBlobPortrait(cr, s * 0.5, s * 0.47, s * 0.32, pose);
}
