#include "tools/art/interface_art.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/art/blob_art.h"
#include "tools/art/paint.h"

namespace {

// Where text sits: the largest font size whose letters (with their ink rim)
// fit the box, and the baseline that centres them in it vertically.
struct Fit {
  double size;
  double baseline;
  double left;  // where the text's origin goes so its ink starts at the box's left
};

Fit FitText(cairo_t* cr, const std::string& text, double x, double y, double w, double h,
            double ink) {
  constexpr double kProbe = 100;
  SelectGameFont(cr, kProbe);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  const double size = kProbe * std::min((w - 2 * ink) / e.width, (h - 2 * ink) / e.height);
  const double k = size / kProbe;
  return {size, y + h / 2 - (e.y_bearing + e.height / 2) * k, x + ink - e.x_bearing * k};
}

// Lettering in the house style: white with an ink rim and a soft drop shadow.
void Label(CCanvas& canvas, const std::string& text, double usableWidth) {
  cairo_t* cr = canvas.Context();
  const double h = canvas.Height();
  constexpr double kInkWidth = 9;
  const Fit fit = FitText(cr, text, 6, h * 0.08, usableWidth - 12, h * 0.8, kInkWidth + 2);
  LetteringStyle style;
  style.size = fit.size;
  style.inkWidth = kInkWidth;
  style.shadowOffset = 5;
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, h * 0.15, 0, h * 0.85);
  AddColorStop(fill, 0, kWhite);
  AddColorStop(fill, 0.55, kWhite);
  AddColorStop(fill, 1, kCream);
  style.fillPattern = fill;
  DrawLettering(cr, text, fit.left, fit.baseline, Align::kLeft, style);
  cairo_pattern_destroy(fill);
}

// Glossy candy lettering for the big words: a vertical gradient, a shine
// across the top half of every letter and a thick ink rim.
void CandyWord(cairo_t* cr, const std::string& text, double x, double baseline, double size,
               Rgb top, Rgb bottom, double ink, CDice& dice, double wobble) {
  SelectGameFont(cr, size);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  double pen = x;
  for (char letter : text) {
    const std::string glyph(1, letter);
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph.c_str(), &e);
    const double turn = dice.Range(-wobble, wobble);
    const double hop = dice.Range(-wobble, wobble) * size * 0.5;
    const double cx = pen + e.x_advance / 2;
    cairo_save(cr);
    cairo_translate(cr, cx, baseline + hop);
    cairo_rotate(cr, turn);
    cairo_translate(cr, -cx, -baseline);
    auto path = [&](double dy) {
      cairo_new_path(cr);
      cairo_move_to(cr, pen, baseline + dy);
      cairo_text_path(cr, glyph.c_str());
    };
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    path(size * 0.06);  // a deep shadow under the rim
    SetSource(cr, kInk, 0.5);
    cairo_set_line_width(cr, ink * 2);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    path(0);
    SetSource(cr, kInk);
    cairo_stroke_preserve(cr);
    const double glyphTop = baseline + e.y_bearing, glyphBottom = baseline + e.y_bearing + e.height;
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, glyphTop, 0, glyphBottom);
    AddColorStop(fill, 0, Mix(top, kWhite, 0.25));
    AddColorStop(fill, 0.5, top);
    AddColorStop(fill, 1, bottom);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    // Shine: the upper part of the letter, lightened.
    cairo_save(cr);
    cairo_clip(cr);
    cairo_rectangle(cr, pen - size, glyphTop - size, e.x_advance + 2 * size,
                    size + (glyphBottom - glyphTop) * 0.42);
    SetSource(cr, kWhite, 0.35);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_restore(cr);
    pen += e.x_advance;
  }
}

// Cartoon motion marks: short arcs beside something that shakes.
void ShakeMarks(cairo_t* cr, double x, double y, double size, double facing) {
  for (int i = 0; i < 3; ++i) {
    const double r = size * (0.45 + i * 0.3);
    cairo_new_sub_path(cr);
    if (facing > 0) {
      cairo_arc(cr, x, y, r, -0.5, 0.5);
    } else {
      cairo_arc(cr, x, y, r, kPi - 0.5, kPi + 0.5);
    }
  }
  SetSource(cr, kInk);
  cairo_set_line_width(cr, size * 0.12);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

void GroundShadow(cairo_t* cr, double cx, double cy, double rx) {
  EllipsePath(cr, cx, cy, rx, rx * 0.28);
  SetSource(cr, kInk, 0.3);
  cairo_fill(cr);
}

double WordWidth(cairo_t* cr, const std::string& text, double size) {
  SelectGameFont(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

}  // namespace

// ---------------------------------------------------------------------------
// Title: the name, a few blobs and the call to start; drawn across the full
// window width over the board, so everything around it stays clear.

void PaintTitle(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  CDice dice(2024);

  // "Jelly" in blob blue, "quake" in fire: the two halves of the game.
  constexpr double kProbe = 100, kTitleWidth = 0.84;
  const double size =
      kProbe * w * kTitleWidth / (WordWidth(cr, "Jelly", kProbe) + WordWidth(cr, "quake", kProbe));
  const double ink = size * 0.055, baseline = h * 0.53;
  const double jellyWidth = WordWidth(cr, "Jelly", size), quakeWidth = WordWidth(cr, "quake", size);
  const double left = (w - jellyWidth - quakeWidth) / 2;
  CandyWord(cr, "Jelly", left, baseline, size, kJellyLight, kJellyDeep, ink, dice, 0.05);
  CandyWord(cr, "quake", left + jellyWidth, baseline, size, kSun, Hex(0xf0531c), ink, dice, 0.12);
  ShakeMarks(cr, left + jellyWidth + quakeWidth - size * 0.02, baseline - size * 0.3, size * 0.22,
             1);
  ShakeMarks(cr, left + size * 0.05, baseline - size * 0.3, size * 0.22, -1);

  // The cast: a happy blob, a startled one and a little one on the run.
  BlobPose happy;
  happy.mouth = Mouth::kBeaming;
  happy.gaze = kPi * 0.25;
  happy.tilt = -0.12;
  GroundShadow(cr, w * 0.12, h * 0.93, h * 0.12);
  DrawBlobPortrait(cr, w * 0.12, h * 0.77, h * 0.15, happy);
  BlobPose startled;
  startled.mouth = Mouth::kScreaming;
  startled.gaze = -kPi * 0.75;
  startled.tilt = 0.18;
  GroundShadow(cr, w * 0.885, h * 0.93, h * 0.1);
  DrawBlobPortrait(cr, w * 0.885, h * 0.75, h * 0.135, startled);
  BlobPose small;
  small.mouth = Mouth::kContent;
  small.gaze = kPi;
  small.tilt = -0.2;
  DrawBlobPortrait(cr, w * 0.78, h * 0.14, h * 0.075, small);
  for (double dx : {-0.5, 0.0, 0.5}) {  // it is mid-hop
    cairo_move_to(cr, w * 0.78 + dx * h * 0.1, h * 0.25);
    cairo_line_to(cr, w * 0.78 + dx * h * 0.13, h * 0.29);
  }
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);

  // The call to start, on a sunny button.
  const std::string call = "Click to start!";
  const double bw = w * 0.42, bh = h * 0.15, bx = (w - bw) / 2, by = h * 0.7;
  RoundedRectPath(cr, bx, by + 7, bw, bh, bh / 2);
  SetSource(cr, kInk, 0.45);
  cairo_fill(cr);
  RoundedRectPath(cr, bx, by, bw, bh, bh / 2);
  cairo_pattern_t* button = cairo_pattern_create_linear(0, by, 0, by + bh);
  AddColorStop(button, 0, Mix(kSun, kWhite, 0.35));
  AddColorStop(button, 0.5, kSun);
  AddColorStop(button, 1, kSunDeep);
  cairo_set_source(cr, button);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(button);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 8);
  cairo_stroke(cr);
  RoundedRectPath(cr, bx + bh * 0.3, by + bh * 0.12, bw - bh * 0.6, bh * 0.3, bh * 0.15);
  SetSource(cr, kWhite, 0.45);
  cairo_fill(cr);
  const Fit fit = FitText(cr, call, bx + bh * 0.45, by + bh * 0.16, bw - bh * 0.9, bh * 0.7, 6);
  LetteringStyle style;
  style.size = fit.size;
  style.inkWidth = 6;
  style.shadowOffset = 0;
  DrawLettering(cr, call, w / 2, fit.baseline, Align::kCentre, style);
}

// The end of a game: drawn above the window's middle line, the final score
// below it. It ends both when the clock runs out and when every blob is gone.
void PaintComplete(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  const std::string text = "Game over!";
  const double ink = 7;
  const Fit fit = FitText(cr, text, w * 0.04, h * 0.06, w * 0.92, h * 0.8, ink * 2);
  CDice dice(77);
  CandyWord(cr, text, fit.left, fit.baseline, fit.size, kSun, Hex(0xf0531c), ink, dice, 0.06);
}

// Labels: the running display draws the numbers over the right quarter of
// "Blobs" and "Score", and the morale bar's frame over the last eighth of
// "Morale", so the words keep clear of those parts.
void PaintMoraleText(CCanvas& canvas) {
  Label(canvas, "Morale", canvas.Width() * 0.86);
}
void PaintBlobsText(CCanvas& canvas) {
  Label(canvas, "Blobs", canvas.Width() * 0.73);
}
void PaintScoreText(CCanvas& canvas) {
  Label(canvas, "Score", canvas.Width() * 0.73);
}

// ---------------------------------------------------------------------------
// Morale bar: the left and right quarters are end caps drawn at their own
// size, the middle half is stretched, so every row of the middle half is one
// colour from its left end to its right end.

namespace {

// Fractions of the side; inset plus rounding stays inside the end quarters.
constexpr double kBarRadius = 0.19;
constexpr double kFrameInset = 0.04;
constexpr double kFrameWidth = 0.12;

}  // namespace

void PaintMoraleBarBorder(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double s = canvas.Width();
  const double inset = s * kFrameInset, band = s * kFrameWidth, ink = s * 0.035;
  const double outerR = s * kBarRadius;
  const double innerR = outerR - band;
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  RoundedRectPath(cr, inset, inset, s - 2 * inset, s - 2 * inset, outerR);
  RoundedRectPath(cr, inset + band, inset + band, s - 2 * (inset + band), s - 2 * (inset + band),
                  innerR);
  cairo_pattern_t* frame = cairo_pattern_create_linear(0, inset, 0, s - inset);
  AddColorStop(frame, 0, kWhite);
  AddColorStop(frame, 1, kEyeShade);
  cairo_set_source(cr, frame);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(frame);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink);
  cairo_stroke(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void PaintMoraleBar(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double s = canvas.Width();
  // The fill tucks under the frame's inner ink line.
  const double inset = s * (kFrameInset + kFrameWidth) - s * 0.01;
  const double r = s * kBarRadius - (inset - s * kFrameInset);
  RoundedRectPath(cr, inset, inset, s - 2 * inset, s - 2 * inset, r);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, inset, 0, s - inset);
  AddColorStop(fill, 0, Mix(kSun, kWhite, 0.45));
  AddColorStop(fill, 0.45, kSun);
  AddColorStop(fill, 1, Hex(0xf08a1c));
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
  // A glossy stripe along the top, flat in the stretched middle.
  RoundedRectPath(cr, inset + s * 0.05, inset + s * 0.06, s - 2 * inset - s * 0.1, s * 0.09,
                  s * 0.045);
  SetSource(cr, kWhite, 0.6);
  cairo_fill(cr);
}

// ---------------------------------------------------------------------------
// Digit strip: ten equal cells; only the middle 70 % of each is sampled, so
// every glyph (with its rim) keeps inside that.

void PaintDigits(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double cell = canvas.Width() / 10.0, h = canvas.Height();
  constexpr double kSampled = 0.7;
  constexpr double kInkWidth = 4;
  const double room = cell * kSampled - 2 * (kInkWidth + 1.5);

  // One size for all ten so they line up: the widest digit decides it.
  constexpr double kProbe = 100;
  SelectGameFont(cr, kProbe);
  double widest = 0, tallest = 0, lowest = 0;
  for (int d = 0; d < 10; ++d) {
    const std::string glyph(1, static_cast<char>('0' + d));
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph.c_str(), &e);
    widest = std::max(widest, e.width);
    tallest = std::max(tallest, -e.y_bearing);
    lowest = std::max(lowest, e.height + e.y_bearing);
  }
  const double size =
      kProbe * std::min(room / widest, (h - 2 * (kInkWidth + 4)) / (tallest + lowest));
  const double k = size / kProbe;
  const double baseline = h / 2 + (tallest - lowest) * k / 2;

  LetteringStyle style;
  style.size = size;
  style.inkWidth = kInkWidth;
  style.shadowOffset = 0;
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, baseline - tallest * k, 0, baseline);
  AddColorStop(fill, 0, kWhite);
  AddColorStop(fill, 0.6, kWhite);
  AddColorStop(fill, 1, kCream);
  style.fillPattern = fill;
  for (int d = 0; d < 10; ++d) {
    const std::string glyph(1, static_cast<char>('0' + d));
    SelectGameFont(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph.c_str(), &e);
    const double centre = (d + 0.5) * cell;
    DrawLettering(cr, glyph, centre - e.x_bearing - e.width / 2, baseline, Align::kLeft, style);
  }
  cairo_pattern_destroy(fill);
}

// ---------------------------------------------------------------------------
// Hand cursor: a cartoon glove pointing up. The pointer's hot spot is the
// fingertip, at 35 % of the width from the left and 7 % of the height from
// the top.

void PaintHand(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double s = canvas.Width() / 128.0;  // drawn on a 128-pixel grid
  cairo_scale(cr, s, s);
  const double ink = 4.5;
  const double tipX = 128 * 0.35, tipY = 128 * 0.07;
  const Rgb shade = Hex(0xcadcf0), cuffColour = Hex(0xe6eef8);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

  // The outer edge of the fingertip's ink is the hot spot.
  // The glove's silhouette: pointing finger, fist with three curled fingers
  // on top, and the thumb folded across. Inked as one shape, then filled, so
  // only the creases drawn afterwards show inside it.
  const double fingerHalf = 9.5;
  auto finger = [&] {
    cairo_move_to(cr, tipX - fingerHalf, 80);
    cairo_line_to(cr, tipX - fingerHalf, tipY + ink + fingerHalf);
    cairo_arc(cr, tipX, tipY + ink + fingerHalf, fingerHalf, kPi, 2 * kPi);
    cairo_line_to(cr, tipX + fingerHalf, 80);
    cairo_close_path(cr);
  };
  struct Knuckle {
    double x, y, r;
  };
  const Knuckle knuckles[] = {{62, 60, 9.5}, {78, 63, 9.5}, {92, 68, 8.5}};
  auto fist = [&] {
    RoundedRectPath(cr, 36, 56, 64, 50, 18);
    for (const Knuckle& k : knuckles) EllipsePath(cr, k.x, k.y, k.r, k.r);
  };
  auto thumb = [&] {
    cairo_move_to(cr, 28, 76);
    cairo_curve_to(cr, 27, 64, 40, 62, 47, 70);
    cairo_line_to(cr, 62, 85);
    cairo_curve_to(cr, 68, 92, 61, 100, 54, 96);
    cairo_line_to(cr, 37, 89);
    cairo_curve_to(cr, 31, 86, 28, 82, 28, 76);
    cairo_close_path(cr);
  };
  auto cuff = [&] {
    cairo_move_to(cr, 44, 101);
    cairo_line_to(cr, 96, 101);
    cairo_line_to(cr, 100, 119);
    cairo_curve_to(cr, 100, 123, 98, 124, 95, 124);
    cairo_line_to(cr, 45, 124);
    cairo_curve_to(cr, 42, 124, 40, 123, 40, 119);
    cairo_close_path(cr);
  };

  // Cuff first: the hand overlaps its top.
  cuff();
  SetSource(cr, cuffColour);
  cairo_fill_preserve(cr);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink);
  cairo_stroke(cr);
  cairo_move_to(cr, 46, 110);
  cairo_line_to(cr, 94, 110);
  SetSource(cr, shade);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);

  finger();
  fist();
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink * 2);
  cairo_stroke(cr);
  finger();
  fist();
  cairo_pattern_t* glove = cairo_pattern_create_linear(30, 0, 100, 0);
  AddColorStop(glove, 0, kWhite);
  AddColorStop(glove, 0.6, kWhite);
  AddColorStop(glove, 1, shade);
  cairo_set_source(cr, glove);
  cairo_fill(cr);
  cairo_pattern_destroy(glove);

  // Creases between the curled fingers and along the pointing one.
  for (int i = 0; i + 1 < 3; ++i) {
    const double x = (knuckles[i].x + knuckles[i + 1].x) / 2;
    const double y = (knuckles[i].y + knuckles[i + 1].y) / 2 + 4;
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + 1, y + 5, x + 1, y + 9, x, y + 12);
  }
  cairo_move_to(cr, tipX + fingerHalf, 62);
  cairo_line_to(cr, tipX + fingerHalf, 80);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_move_to(cr, tipX + fingerHalf - 4, tipY + 14);
  cairo_line_to(cr, tipX + fingerHalf - 4, 56);
  SetSource(cr, shade);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_move_to(cr, tipX - 4, 42);
  cairo_line_to(cr, tipX + 3, 42);
  SetSource(cr, kInk, 0.6);
  cairo_set_line_width(cr, 2.4);
  cairo_stroke(cr);

  // The thumb folds over the front of the fist.
  thumb();
  SetSource(cr, kWhite);
  cairo_fill_preserve(cr);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink);
  cairo_stroke(cr);
}

// ---------------------------------------------------------------------------
// Muted sound: a chubby cream speaker, inked like the hand, with an ember cross
// where its sound waves would be.

void PaintMuted(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double s = canvas.Width() / 128.0;  // drawn on a 128-pixel grid
  cairo_scale(cr, s, s);
  const double ink = 4.5;
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

  // The speaker: a small box with a flaring cone, one rounded shape.
  cairo_move_to(cr, 16, 48);
  cairo_line_to(cr, 38, 48);
  cairo_line_to(cr, 66, 22);
  cairo_curve_to(cr, 70, 18, 74, 20, 74, 26);
  cairo_line_to(cr, 74, 102);
  cairo_curve_to(cr, 74, 108, 70, 110, 66, 106);
  cairo_line_to(cr, 38, 80);
  cairo_line_to(cr, 16, 80);
  cairo_curve_to(cr, 12, 80, 10, 78, 10, 74);
  cairo_line_to(cr, 10, 54);
  cairo_curve_to(cr, 10, 50, 12, 48, 16, 48);
  cairo_close_path(cr);
  cairo_pattern_t* body = cairo_pattern_create_linear(10, 0, 74, 0);
  AddColorStop(body, 0, kWhite);
  AddColorStop(body, 1, kCream);
  cairo_set_source(cr, body);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(body);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink);
  cairo_stroke(cr);

  // The cross: ink under ember, so it reads on grass and on the title alike.
  auto cross = [&] {
    cairo_move_to(cr, 86, 48);
    cairo_line_to(cr, 116, 80);
    cairo_move_to(cr, 116, 48);
    cairo_line_to(cr, 86, 80);
  };
  cross();
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 16);
  cairo_stroke(cr);
  cross();
  SetSource(cr, kEmber);
  cairo_set_line_width(cr, 8);
  cairo_stroke(cr);
}
