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

// A sunny, glossy button with ink lettering, like the one that starts a game.
void SunButton(cairo_t* cr, const std::string& text, double x, double y, double w, double h) {
  RoundedRectPath(cr, x, y + 7, w, h, h / 2);
  SetSource(cr, kInk, 0.45);
  cairo_fill(cr);
  RoundedRectPath(cr, x, y, w, h, h / 2);
  cairo_pattern_t* face = cairo_pattern_create_linear(0, y, 0, y + h);
  AddColorStop(face, 0, Mix(kSun, kWhite, 0.35));
  AddColorStop(face, 0.5, kSun);
  AddColorStop(face, 1, kSunDeep);
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 8);
  cairo_stroke(cr);
  RoundedRectPath(cr, x + h * 0.3, y + h * 0.12, w - h * 0.6, h * 0.3, h * 0.15);
  SetSource(cr, kWhite, 0.45);
  cairo_fill(cr);
  const Fit fit = FitText(cr, text, x + h * 0.45, y + h * 0.16, w - h * 0.9, h * 0.7, 6);
  LetteringStyle style;
  style.size = fit.size;
  style.inkWidth = 6;
  style.shadowOffset = 0;
  DrawLettering(cr, text, x + w / 2, fit.baseline, Align::kCentre, style);
}

// ---------------------------------------------------------------------------
// The controls legend on the title: small pictures of the mouse and the keys,
// each with a line of white lettering, on a dark glassy card that keeps them
// readable over the grass. Rows are `row` pixels high.

// A cream keycap with its label, the size of one row.
double KeyCap(cairo_t* cr, const std::string& label, double x, double centreY, double row) {
  const double h = row * 0.78, size = h * 0.52;
  const double w = std::max(h, WordWidth(cr, label, size) + h * 0.45);
  RoundedRectPath(cr, x, centreY - h / 2 + 3, w, h, h * 0.22);
  SetSource(cr, kInk, 0.6);
  cairo_fill(cr);
  RoundedRectPath(cr, x, centreY - h / 2, w, h, h * 0.22);
  FillAndOutline(cr, kCream, kInk, 3);
  SelectGameFont(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, label.c_str(), &e);
  cairo_move_to(cr, x + w / 2 - e.x_bearing - e.width / 2, centreY - e.y_bearing - e.height / 2);
  SetSource(cr, kInk);
  cairo_show_text(cr, label.c_str());
  return w;
}

// A mouse seen from above with one button lit: the one to hold.
void MouseIcon(cairo_t* cr, double x, double centreY, double row, bool rightButton) {
  const double h = row * 0.92, w = h * 0.72, top = centreY - h / 2;
  RoundedRectPath(cr, x, top, w, h, w * 0.48);
  FillAndOutline(cr, kCream, kInk, 3);
  const double split = top + h * 0.42;
  cairo_save(cr);
  RoundedRectPath(cr, x, top, w, h, w * 0.48);
  cairo_clip(cr);
  cairo_rectangle(cr, rightButton ? x + w / 2 : x, top, w / 2, split - top);
  SetSource(cr, kSun);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_move_to(cr, x, split);
  cairo_line_to(cr, x + w, split);
  cairo_move_to(cr, x + w / 2, top);
  cairo_line_to(cr, x + w / 2, split);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  RoundedRectPath(cr, x, top, w, h, w * 0.48);
  cairo_stroke(cr);
}

// Four arrow keys, three below and one on top, in the space of one row.
double ArrowKeys(cairo_t* cr, double x, double centreY, double row) {
  const double key = row * 0.46, gap = row * 0.04;
  const double lower = centreY + gap / 2, upper = centreY - gap / 2 - key;
  const double lefts[4] = {x + key + gap, x, x + key + gap, x + 2 * (key + gap)};
  const double tops[4] = {upper, lower, lower, lower};
  const double turns[4] = {-kPi / 2, kPi, kPi / 2, 0};  // up, left, down, right
  for (int i = 0; i < 4; ++i) {
    RoundedRectPath(cr, lefts[i], tops[i], key, key, key * 0.2);
    FillAndOutline(cr, kCream, kInk, 2.5);
    cairo_save(cr);
    cairo_translate(cr, lefts[i] + key / 2, tops[i] + key / 2);
    cairo_rotate(cr, turns[i]);
    cairo_move_to(cr, key * 0.25, 0);
    cairo_line_to(cr, -key * 0.15, -key * 0.22);
    cairo_line_to(cr, -key * 0.15, key * 0.22);
    cairo_close_path(cr);
    SetSource(cr, kInk);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  return 3 * key + 2 * gap;
}

// One line of the legend's lettering, its middle at centreY.
double LegendText(cairo_t* cr, const std::string& text, double x, double centreY, double row) {
  LetteringStyle style;
  style.size = row * 0.58;
  style.inkWidth = 3;
  style.shadowOffset = 0;
  SelectGameFont(cr, style.size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, "Ag", &e);
  DrawLettering(cr, text, x, centreY - e.y_bearing - e.height / 2, Align::kLeft, style);
  return WordWidth(cr, text, style.size);
}

// The dark glassy card under the legend.
void LegendCard(cairo_t* cr, double x, double y, double w, double h) {
  RoundedRectPath(cr, x, y, w, h, h * 0.12);
  SetSource(cr, kInk, 0.62);
  cairo_fill_preserve(cr);
  SetSource(cr, kCream, 0.85);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
}

// A fingertip pressing down, seen from the front, a sun-yellow ring where it
// touches the glass like the lit mouse button; `count` of them side by side,
// centred where the mouse of the other card sits.
void FingerIcon(cairo_t* cr, double x, double centreY, double row, int count) {
  const double w = row * 0.4, h = row * 0.84, top = centreY - h / 2;
  for (int i = 0; i < count; ++i) {
    const double middle = x + row * 0.73 + (i - (count - 1) / 2.0) * w * 1.25;
    const double left = middle - w / 2, tipY = top + h;
    EllipsePath(cr, middle, tipY - h * 0.04, w * 0.8, h * 0.11);
    FillAndOutline(cr, kSun, kInk, 2.5);
    RoundedRectPath(cr, left, top, w, h * 0.94, w / 2);
    FillAndOutline(cr, kCream, kInk, 3);
    RoundedRectPath(cr, left + w * 0.2, tipY - h * 0.42, w * 0.6, h * 0.3, w * 0.26);
    FillAndOutline(cr, kWhite, kInk, 2);
  }
}

// A round arrow over the finger: the view turning under it.
void TurnArrow(cairo_t* cr, double x, double centreY, double row) {
  const double cx = x + row * 0.73, cy = centreY + row * 0.05, radius = row * 0.46;
  const double from = kPi * 1.08, to = kPi * 1.92;
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, radius, from, to);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, row * 0.16);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke_preserve(cr);
  SetSource(cr, kSun);
  cairo_set_line_width(cr, row * 0.08);
  cairo_stroke(cr);
  const double ax = cx + radius * std::cos(to), ay = cy + radius * std::sin(to);
  cairo_move_to(cr, ax + row * 0.1, ay + row * 0.12);
  cairo_line_to(cr, ax - row * 0.16, ay + row * 0.05);
  cairo_line_to(cr, ax + row * 0.02, ay - row * 0.16);
  cairo_close_path(cr);
  FillAndOutline(cr, kSun, kInk, 2);
}

// The game's pause button as the running game draws it: two light bars on dark.
double PauseIcon(cairo_t* cr, double x, double centreY, double row) {
  const double s = row * 0.78, top = centreY - s / 2;
  RoundedRectPath(cr, x, top, s, s, s * 0.12);
  FillAndOutline(cr, kInk, kCream, 2.5);
  SetSource(cr, kWhite);
  cairo_rectangle(cr, x + s * 0.22, top + s * 0.22, s * 0.2, s * 0.56);
  cairo_rectangle(cr, x + s * 0.58, top + s * 0.22, s * 0.2, s * 0.56);
  cairo_fill(cr);
  return s;
}

// The page's own full screen button: four corners.
double FullScreenIcon(cairo_t* cr, double x, double centreY, double row) {
  const double s = row * 0.78, top = centreY - s / 2, c = s * 0.3, m = s * 0.12;
  RoundedRectPath(cr, x, top, s, s, s * 0.12);
  FillAndOutline(cr, kInk, kCream, 2.5);
  cairo_move_to(cr, x + m, top + m + c);
  cairo_line_to(cr, x + m, top + m);
  cairo_line_to(cr, x + m + c, top + m);
  cairo_move_to(cr, x + s - m - c, top + m);
  cairo_line_to(cr, x + s - m, top + m);
  cairo_line_to(cr, x + s - m, top + m + c);
  cairo_move_to(cr, x + s - m, top + s - m - c);
  cairo_line_to(cr, x + s - m, top + s - m);
  cairo_line_to(cr, x + s - m - c, top + s - m);
  cairo_move_to(cr, x + m + c, top + s - m);
  cairo_line_to(cr, x + m, top + s - m);
  cairo_line_to(cr, x + m, top + s - m - c);
  SetSource(cr, kWhite);
  cairo_set_line_width(cr, s * 0.1);
  cairo_stroke(cr);
  return s;
}

// The same card for fingers: what one finger on a blob, one on the ground and two
// together do, and the buttons to tap.
void TouchLegend(cairo_t* cr, double x, double y, double w, double h) {
  LegendCard(cr, x, y, w, h);
  const double row = h / 4.4, pad = row * 0.45, textX = x + pad + row * 1.75;
  auto middle = [&](int i) { return y + row * 0.7 + row * i; };
  FingerIcon(cr, x + pad, middle(0), row, 1);
  LegendText(cr, "Drag a blob, let go to fling it", textX, middle(0), row);
  FingerIcon(cr, x + pad, middle(1), row, 1);
  TurnArrow(cr, x + pad, middle(1), row);
  LegendText(cr, "Drag the ground to turn the view", textX, middle(1), row);
  FingerIcon(cr, x + pad, middle(2), row, 2);
  LegendText(cr, "Drag two fingers to slide it", textX, middle(2), row);
  double pen = x + pad;
  pen += PauseIcon(cr, pen, middle(3), row) + row * 0.2;
  pen += LegendText(cr, "pause", pen, middle(3), row) + row * 0.6;
  pen += FullScreenIcon(cr, pen, middle(3), row) + row * 0.2;
  LegendText(cr, "full screen", pen, middle(3), row);
}

void ControlsLegend(cairo_t* cr, double x, double y, double w, double h) {
  LegendCard(cr, x, y, w, h);
  const double row = h / 4.4, pad = row * 0.45, textX = x + pad + row * 1.75;
  auto middle = [&](int i) { return y + row * 0.7 + row * i; };
  MouseIcon(cr, x + pad + row * 0.4, middle(0), row, false);
  LegendText(cr, "Drag a blob, let go to fling it", textX, middle(0), row);
  MouseIcon(cr, x + pad + row * 0.4, middle(1), row, true);
  LegendText(cr, "Drag to turn the view", textX, middle(1), row);
  ArrowKeys(cr, x + pad, middle(2), row);
  LegendText(cr, "Slide the view", textX, middle(2), row);
  double pen = x + pad;
  for (const auto& [key, meaning] : {std::pair<std::string, std::string>{"P", "pause"},
                                     {"M", "sound"},
                                     {"F11", "full screen"}}) {
    pen += KeyCap(cr, key, pen, middle(3), row) + row * 0.2;
    pen += LegendText(cr, meaning, pen, middle(3), row) + row * 0.6;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Title: the name, a few blobs, the call to start and how to play; drawn
// across the full window width over the board, so everything around it stays
// clear.

namespace {
void PaintTitleFor(CCanvas& canvas, bool touch) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  CDice dice(2024);

  // "Jelly" in blob blue, "quake" in fire: the two halves of the game.
  constexpr double kProbe = 100, kTitleWidth = 0.7;
  const double size =
      kProbe * w * kTitleWidth / (WordWidth(cr, "Jelly", kProbe) + WordWidth(cr, "quake", kProbe));
  const double ink = size * 0.055, baseline = h * 0.33;
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
  GroundShadow(cr, w * 0.09, h * 0.93, h * 0.1);
  DrawBlobPortrait(cr, w * 0.09, h * 0.79, h * 0.125, happy);
  BlobPose startled;
  startled.mouth = Mouth::kScreaming;
  startled.gaze = -kPi * 0.75;
  startled.tilt = 0.18;
  GroundShadow(cr, w * 0.91, h * 0.93, h * 0.09);
  DrawBlobPortrait(cr, w * 0.91, h * 0.78, h * 0.115, startled);
  BlobPose small;
  small.mouth = Mouth::kContent;
  small.gaze = kPi;
  small.tilt = -0.2;
  DrawBlobPortrait(cr, w * 0.94, h * 0.09, h * 0.065, small);
  for (double dx : {-0.5, 0.0, 0.5}) {  // it is mid-hop
    cairo_move_to(cr, w * 0.94 + dx * h * 0.09, h * 0.175);
    cairo_line_to(cr, w * 0.94 + dx * h * 0.12, h * 0.21);
  }
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);

  const double bw = w * 0.34, bh = h * 0.12;
  SunButton(cr, touch ? "Tap to start!" : "Click to start!", (w - bw) / 2, h * 0.42, bw, bh);
  if (touch) {
    TouchLegend(cr, w * 0.21, h * 0.59, w * 0.58, h * 0.39);
  } else {
    ControlsLegend(cr, w * 0.21, h * 0.59, w * 0.58, h * 0.39);
  }
}
}  // namespace

void PaintTitle(CCanvas& canvas) {
  PaintTitleFor(canvas, false);
}

void PaintTouchTitle(CCanvas& canvas) {
  PaintTitleFor(canvas, true);
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

// Under the final score once a click starts the next game.
void PaintNextGame(CCanvas& canvas) {
  const double w = canvas.Width(), h = canvas.Height();
  SunButton(canvas.Context(), "Click to play again!", w * 0.02, h * 0.06, w * 0.96, h * 0.8);
}

void PaintTouchNextGame(CCanvas& canvas) {
  const double w = canvas.Width(), h = canvas.Height();
  SunButton(canvas.Context(), "Tap to play again!", w * 0.02, h * 0.06, w * 0.96, h * 0.8);
}

// Beside the best score when the game just played set it.
void PaintNewBest(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  const std::string text = "New best!";
  const double ink = 6;
  const Fit fit = FitText(cr, text, w * 0.03, h * 0.08, w * 0.94, h * 0.75, ink * 2);
  CDice dice(31);
  CandyWord(cr, text, fit.left, fit.baseline, fit.size, kPetal, kPetalDeep, ink, dice, 0.08);
}

// Over the dimmed game while it stands still: the word, and how to go on.
namespace {
void PaintPausedWith(CCanvas& canvas, const std::string& how) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  const std::string word = "Paused";
  const double ink = 8;
  const Fit big = FitText(cr, word, w * 0.2, h * 0.04, w * 0.6, h * 0.6, ink * 2);
  CDice dice(5);
  CandyWord(cr, word, big.left, big.baseline, big.size, kJellyLight, kJellyDeep, ink, dice, 0.04);
  const Fit line = FitText(cr, how, w * 0.12, h * 0.7, w * 0.76, h * 0.26, 6);
  LetteringStyle style;
  style.size = line.size;
  style.inkWidth = 6;
  style.shadowOffset = 4;
  DrawLettering(cr, how, w / 2, line.baseline, Align::kCentre, style);
}
}  // namespace

void PaintPaused(CCanvas& canvas) {
  PaintPausedWith(canvas, "Press P or click to play on");
}

void PaintTouchPaused(CCanvas& canvas) {
  PaintPausedWith(canvas, "Tap to play on");
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
void PaintBestText(CCanvas& canvas) {
  Label(canvas, "Best", canvas.Width() * 0.73);
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
