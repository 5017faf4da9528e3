#include "tools/art/blob_art.h"

#include <cmath>

#include "tools/art/paint.h"

// Every layer is drawn into a square of side `size` at the origin, so the same
// code paints the game's images and the portraits of the title and icons.

namespace {

// The body fills its square but for an anti-aliasing margin.
constexpr double kBodyRadius = 0.484;  // of the square's side

void BodyLayer(cairo_t* cr, double size) {
  const double c = size / 2, r = size * kBodyRadius;

  // Jelly lets light through: brightest low in the middle, deep at the rim.
  cairo_pattern_t* body = cairo_pattern_create_radial(c, c + r * 0.22, r * 0.05, c, c, r);
  AddColorStop(body, 0, kJellyGlow, 0.8);
  AddColorStop(body, 0.45, kJellyLight, 0.84);
  AddColorStop(body, 0.82, kJelly, 0.9);
  AddColorStop(body, 1, kJellyDeep, 0.97);
  EllipsePath(cr, c, c, r, r);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);

  // Shade on the side away from the sun (the upper left).
  cairo_pattern_t* shade = cairo_pattern_create_radial(c - r * 0.35, c - r * 0.4, r * 0.9,
                                                       c - r * 0.1, c - r * 0.1, r * 1.5);
  AddColorStop(shade, 0, kJellyDeep, 0);
  AddColorStop(shade, 1, kJellyDeep, 0.55);
  EllipsePath(cr, c, c, r, r);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);

  // Light bouncing up from the lawn along the lower rim.
  cairo_save(cr);
  EllipsePath(cr, c, c, r * 0.93, r * 0.93);
  EllipsePath(cr, c - r * 0.02, c - r * 0.1, r * 0.88, r * 0.88);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  SetSource(cr, kJellyGlow, 0.35);
  cairo_fill(cr);
  cairo_restore(cr);

  // The glossy highlight: a soft oval and a sharp sparkle.
  cairo_save(cr);
  cairo_translate(cr, c - r * 0.42, c - r * 0.5);
  cairo_rotate(cr, -0.6);
  cairo_scale(cr, 1, 0.55);
  cairo_pattern_t* gloss = cairo_pattern_create_radial(0, 0, 0, 0, 0, r * 0.34);
  AddColorStop(gloss, 0, kWhite, 0.95);
  AddColorStop(gloss, 0.55, kWhite, 0.6);
  AddColorStop(gloss, 1, kWhite, 0);
  cairo_arc(cr, 0, 0, r * 0.34, 0, 2 * kPi);
  cairo_set_source(cr, gloss);
  cairo_fill(cr);
  cairo_pattern_destroy(gloss);
  cairo_restore(cr);
  EllipsePath(cr, c - r * 0.14, c - r * 0.72, r * 0.07, r * 0.07);
  SetSource(cr, kWhite, 0.9);
  cairo_fill(cr);
}

void OutlineLayer(cairo_t* cr, double size) {
  const double c = size / 2, r = size * kBodyRadius;
  // A cartoon rim: heavier on the shaded lower right.
  const double thin = size * 0.028, heavy = size * 0.05;
  EllipsePath(cr, c, c, r, r);
  EllipsePath(cr, c - (heavy - thin) * 0.5, c - (heavy - thin) * 0.6, r - (thin + heavy) / 2,
              r - (thin + heavy) / 2);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  SetSource(cr, kJellyInk);
  cairo_fill(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  // A streak of shine on the rim sits on top of the face too.
  cairo_arc(cr, c, c, r * 0.84, kPi * 1.08, kPi * 1.3);
  SetSource(cr, kWhite, 0.85);
  cairo_set_line_width(cr, size * 0.03);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

// Face parts are inked in the deep plum of all the game's lines.
constexpr double kFaceInk = 0.05;  // of the part's square

void InkStroke(cairo_t* cr, double size, double scale = 1) {
  SetSource(cr, kInk);
  cairo_set_line_width(cr, size * kFaceInk * scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// Fills the current path as an open mouth: dark inside, a tongue at the
// bottom, optional teeth along the top, then inks its rim.
void OpenMouth(cairo_t* cr, double size, double tongueY, double tongueR, bool teethTop,
               bool teethBottom) {
  cairo_path_t* outline = cairo_copy_path(cr);
  SetSource(cr, kMouth);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  EllipsePath(cr, size * 0.5, tongueY, tongueR, tongueR * 0.62);
  SetSource(cr, kTongue);
  cairo_fill(cr);
  if (teethTop) {
    cairo_rectangle(cr, 0, 0, size, size * 0.43);
    SetSource(cr, kWhite);
    cairo_fill(cr);
  }
  if (teethBottom) {
    cairo_rectangle(cr, 0, size * 0.585, size, size);
    SetSource(cr, kWhite);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  cairo_new_path(cr);
  cairo_append_path(cr, outline);
  cairo_path_destroy(outline);
  InkStroke(cr, size);
}

void SmileArc(cairo_t* cr, double size, double halfWidth, double depth, double y) {
  const double c = size / 2;
  cairo_move_to(cr, c - halfWidth, y);
  cairo_curve_to(cr, c - halfWidth * 0.5, y + depth * 1.3, c + halfWidth * 0.5, y + depth * 1.3,
                 c + halfWidth, y);
}

void MouthLayer(cairo_t* cr, double size, Mouth mouth) {
  const double s = size, c = size / 2;
  switch (mouth) {
    case Mouth::kBeaming: {
      // A wide open grin, teeth on top, tongue below.
      cairo_move_to(cr, s * 0.2, s * 0.38);
      cairo_curve_to(cr, s * 0.4, s * 0.42, s * 0.6, s * 0.42, s * 0.8, s * 0.38);
      cairo_curve_to(cr, s * 0.8, s * 0.72, s * 0.62, s * 0.8, c, s * 0.8);
      cairo_curve_to(cr, s * 0.38, s * 0.8, s * 0.2, s * 0.72, s * 0.2, s * 0.38);
      cairo_close_path(cr);
      OpenMouth(cr, s, s * 0.78, s * 0.2, true, false);
      for (double side : {-1.0, 1.0}) {  // dimples
        cairo_move_to(cr, c + side * s * 0.27, s * 0.31);
        cairo_curve_to(cr, c + side * s * 0.32, s * 0.33, c + side * s * 0.34, s * 0.37,
                       c + side * s * 0.33, s * 0.43);
        InkStroke(cr, s, 0.8);
      }
      break;
    }
    case Mouth::kWorried: {
      // A wobbly line, pulled down at one corner.
      cairo_move_to(cr, s * 0.24, s * 0.58);
      cairo_curve_to(cr, s * 0.34, s * 0.42, s * 0.42, s * 0.42, c, s * 0.52);
      cairo_curve_to(cr, s * 0.58, s * 0.62, s * 0.66, s * 0.62, s * 0.76, s * 0.48);
      InkStroke(cr, s, 1.4);
      break;
    }
    case Mouth::kFrightened: {
      // Teeth clenched in a wide, wavy grimace.
      cairo_move_to(cr, s * 0.22, s * 0.42);
      cairo_curve_to(cr, s * 0.4, s * 0.34, s * 0.6, s * 0.44, s * 0.78, s * 0.36);
      cairo_curve_to(cr, s * 0.84, s * 0.5, s * 0.84, s * 0.62, s * 0.78, s * 0.68);
      cairo_curve_to(cr, s * 0.6, s * 0.74, s * 0.4, s * 0.64, s * 0.22, s * 0.72);
      cairo_curve_to(cr, s * 0.16, s * 0.6, s * 0.16, s * 0.5, s * 0.22, s * 0.42);
      cairo_close_path(cr);
      OpenMouth(cr, s, s * 0.8, s * 0.1, true, true);
      for (double x : {0.34, 0.46, 0.58, 0.7}) {
        cairo_move_to(cr, s * x, s * 0.38);
        cairo_line_to(cr, s * x, s * 0.7);
      }
      SetSource(cr, kInk, 0.55);
      cairo_set_line_width(cr, s * 0.025);
      cairo_stroke(cr);
      break;
    }
    case Mouth::kScreaming: {
      EllipsePath(cr, c, s * 0.52, s * 0.17, s * 0.27);
      OpenMouth(cr, s, s * 0.74, s * 0.15, false, false);
      break;
    }
    case Mouth::kSad: {
      cairo_move_to(cr, s * 0.26, s * 0.68);
      cairo_curve_to(cr, s * 0.36, s * 0.38, s * 0.64, s * 0.38, s * 0.74, s * 0.68);
      InkStroke(cr, s, 1.5);
      break;
    }
    case Mouth::kSilly: {
      // A lopsided grin with the tongue stuck out at one side.
      cairo_move_to(cr, s * 0.52, s * 0.5);
      cairo_curve_to(cr, s * 0.52, s * 0.72, s * 0.74, s * 0.76, s * 0.74, s * 0.55);
      cairo_close_path(cr);
      FillAndOutline(cr, kTongue, kInk, s * kFaceInk);
      cairo_move_to(cr, s * 0.63, s * 0.53);
      cairo_line_to(cr, s * 0.63, s * 0.63);
      SetSource(cr, kMouth, 0.6);
      cairo_set_line_width(cr, s * 0.025);
      cairo_stroke(cr);
      cairo_move_to(cr, s * 0.24, s * 0.42);
      cairo_curve_to(cr, s * 0.36, s * 0.58, s * 0.62, s * 0.58, s * 0.8, s * 0.44);
      InkStroke(cr, s, 1.1);
      break;
    }
    case Mouth::kContent: {
      SmileArc(cr, s, s * 0.26, s * 0.18, s * 0.42);
      InkStroke(cr, s, 1.5);
      for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, c + side * s * 0.22, s * 0.36);
        cairo_line_to(cr, c + side * s * 0.29, s * 0.47);
        InkStroke(cr, s, 0.7);
      }
      break;
    }
  }
}

// Eye geometry within the eye's square: the white is sized so the pupil,
// which circles the centre at 0.1 of a blob radius, always stays inside it.
constexpr double kEyeRx = 0.3, kEyeRy = 0.35;

void EyeWhitePath(cairo_t* cr, double size) {
  EllipsePath(cr, size / 2, size / 2, size * kEyeRx, size * kEyeRy);
}

void EyeWhite(cairo_t* cr, double size) {
  const double c = size / 2;
  EyeWhitePath(cr, size);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, c - size * kEyeRy, 0, c + size * kEyeRy);
  AddColorStop(shade, 0, kEyeShade);
  AddColorStop(shade, 0.3, kEyeWhite);
  AddColorStop(shade, 1, kEyeWhite);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
}

void PupilLayer(cairo_t* cr, double size) {
  const double c = size / 2, r = size * 0.46;
  EllipsePath(cr, c, c, r, r);
  cairo_pattern_t* iris = cairo_pattern_create_radial(c, c, r * 0.2, c, c + r * 0.2, r);
  AddColorStop(iris, 0, kPupil);
  AddColorStop(iris, 0.75, kPupil);
  AddColorStop(iris, 1, Hex(0x3a3a8a));
  cairo_set_source(cr, iris);
  cairo_fill(cr);
  cairo_pattern_destroy(iris);
  // The glint faces the middle of the eye (image left), where a round
  // eyeball catches the light, wherever the pupil wanders.
  EllipsePath(cr, c - r * 0.35, c - r * 0.3, r * 0.3, r * 0.3);
  SetSource(cr, kWhite);
  cairo_fill(cr);
  EllipsePath(cr, c - r * 0.05, c + r * 0.35, r * 0.12, r * 0.12);
  SetSource(cr, kWhite, 0.8);
  cairo_fill(cr);
}

void EyeLayer(cairo_t* cr, double size, Eye eye) {
  const double s = size, c = size / 2;
  switch (eye) {
    case Eye::kOpen:
      EyeWhite(cr, s);
      EyeWhitePath(cr, s);
      InkStroke(cr, s);
      break;
    case Eye::kClosed:
      // Lids resting shut, with a couple of lashes.
      cairo_move_to(cr, c - s * 0.27, s * 0.5);
      cairo_curve_to(cr, c - s * 0.12, s * 0.66, c + s * 0.12, s * 0.66, c + s * 0.27, s * 0.5);
      InkStroke(cr, s, 1.3);
      for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, c + side * s * 0.26, s * 0.52);
        cairo_line_to(cr, c + side * s * 0.34, s * 0.47);
      }
      InkStroke(cr, s, 0.9);
      break;
    case Eye::kSad: {
      // The game draws this one as the left eye and mirrors it for the right:
      // the heavy lid droops toward the outer (left) corner; a tear waits there.
      EyeWhite(cr, s);
      cairo_save(cr);
      EyeWhitePath(cr, s);
      cairo_clip(cr);
      EllipsePath(cr, c + s * 0.03, c + s * 0.14, s * 0.14, s * 0.14);
      cairo_pattern_t* iris =
          cairo_pattern_create_radial(c, c + s * 0.14, 0, c, c + s * 0.14, s * 0.14);
      AddColorStop(iris, 0, kPupil);
      AddColorStop(iris, 1, Hex(0x3a3a8a));
      cairo_set_source(cr, iris);
      cairo_fill(cr);
      cairo_pattern_destroy(iris);
      EllipsePath(cr, c - s * 0.02, c + s * 0.09, s * 0.04, s * 0.04);
      SetSource(cr, kWhite);
      cairo_fill(cr);
      cairo_move_to(cr, 0, 0);
      cairo_line_to(cr, s, 0);
      cairo_line_to(cr, s, s * 0.36);
      cairo_curve_to(cr, s * 0.6, s * 0.38, s * 0.4, s * 0.46, 0, s * 0.62);
      cairo_close_path(cr);
      cairo_path_t* lid = cairo_copy_path(cr);
      SetSource(cr, kJellyLight);
      cairo_fill(cr);
      cairo_move_to(cr, s, s * 0.36);
      cairo_curve_to(cr, s * 0.6, s * 0.38, s * 0.4, s * 0.46, 0, s * 0.62);
      InkStroke(cr, s);
      cairo_path_destroy(lid);
      cairo_restore(cr);
      EyeWhitePath(cr, s);
      InkStroke(cr, s);
      // The tear.
      const double tx = c - s * 0.27, ty = c + s * 0.3;
      cairo_move_to(cr, tx, ty - s * 0.1);
      cairo_curve_to(cr, tx + s * 0.02, ty - s * 0.04, tx + s * 0.07, ty, tx + s * 0.07,
                     ty + s * 0.04);
      cairo_arc(cr, tx, ty + s * 0.04, s * 0.07, 0, kPi);
      cairo_curve_to(cr, tx - s * 0.07, ty, tx - s * 0.02, ty - s * 0.04, tx, ty - s * 0.1);
      cairo_close_path(cr);
      FillAndOutline(cr, kJellyGlow, kJellyInk, s * 0.025);
      EllipsePath(cr, tx - s * 0.02, ty + s * 0.03, s * 0.018, s * 0.025);
      SetSource(cr, kWhite);
      cairo_fill(cr);
      break;
    }
    case Eye::kSqueezed:
      // Screwed tight shut: a pinched lid line with creases at both corners.
      cairo_move_to(cr, c - s * 0.28, s * 0.46);
      cairo_curve_to(cr, c - s * 0.1, s * 0.56, c + s * 0.1, s * 0.56, c + s * 0.28, s * 0.46);
      InkStroke(cr, s, 1.4);
      for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, c + side * s * 0.3, s * 0.36);
        cairo_line_to(cr, c + side * s * 0.38, s * 0.3);
        cairo_move_to(cr, c + side * s * 0.32, s * 0.58);
        cairo_line_to(cr, c + side * s * 0.4, s * 0.64);
      }
      InkStroke(cr, s, 0.8);
      break;
  }
}

}  // namespace

void PaintBlobBody(CCanvas& canvas) {
  BodyLayer(canvas.Context(), canvas.Width());
}
void PaintBlobOutline(CCanvas& canvas) {
  OutlineLayer(canvas.Context(), canvas.Width());
}
void PaintMouth(CCanvas& canvas, Mouth mouth) {
  MouthLayer(canvas.Context(), canvas.Width(), mouth);
}
void PaintEye(CCanvas& canvas, Eye eye) {
  EyeLayer(canvas.Context(), canvas.Width(), eye);
}
void PaintEyeDot(CCanvas& canvas) {
  PupilLayer(canvas.Context(), canvas.Width());
}

void PaintEyebrow(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double s = canvas.Width();
  cairo_move_to(cr, s * 0.15, s * 0.62);
  cairo_curve_to(cr, s * 0.3, s * 0.36, s * 0.62, s * 0.3, s * 0.86, s * 0.42);
  cairo_curve_to(cr, s * 0.62, s * 0.4, s * 0.34, s * 0.48, s * 0.15, s * 0.62);
  cairo_close_path(cr);
  FillAndOutline(cr, kInk, kInk, s * 0.08);
}

namespace {

// Draws layer(size) into the square of side `size` centred on (cx, cy).
template <typename Layer>
void PlaceSquare(cairo_t* cr, double cx, double cy, double size, Layer layer, bool mirror = false) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  if (mirror) cairo_scale(cr, -1, 1);
  cairo_translate(cr, -size / 2, -size / 2);
  layer(size);
  cairo_restore(cr);
}

}  // namespace

void DrawBlobPortrait(cairo_t* cr, double cx, double cy, double radius, const BlobPose& pose) {
  // Positions follow the game's face frame seen head on: eyes 20 degrees
  // either side of the nose, 0.4 radii up; the mouth 0.25 radii down.
  const double eyeX = radius * 0.275, eyeY = -radius * 0.4, eyeSize = radius * 0.9;
  const double pupilReach = radius * 0.1, pupilSize = radius * 0.24;
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, pose.tilt);
  PlaceSquare(cr, 0, 0, radius * 2 / (2 * kBodyRadius), [&](double s) { BodyLayer(cr, s); });
  PlaceSquare(cr, 0, radius * 0.25, radius, [&](double s) { MouthLayer(cr, s, pose.mouth); });
  for (double side : {-1.0, 1.0}) {
    const Eye eye = side < 0 ? pose.leftEye : pose.rightEye;
    const bool mirror = side > 0 && eye == Eye::kSad;
    PlaceSquare(
        cr, side * eyeX, eyeY, eyeSize, [&](double s) { EyeLayer(cr, s, eye); }, mirror);
    if (eye == Eye::kOpen) {
      PlaceSquare(cr, side * eyeX + std::cos(pose.gaze) * pupilReach,
                  eyeY + std::sin(pose.gaze) * pupilReach, pupilSize,
                  [&](double s) { PupilLayer(cr, s); });
    }
  }
  PlaceSquare(cr, 0, 0, radius * 2 / (2 * kBodyRadius), [&](double s) { OutlineLayer(cr, s); });
  cairo_restore(cr);
}
