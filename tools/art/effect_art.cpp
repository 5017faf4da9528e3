#include "tools/art/effect_art.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/art/paint.h"

namespace {

double Clamp01(double v) {
  return std::min(std::max(v, 0.0), 1.0);
}
double SmoothStep(double edge0, double edge1, double v) {
  const double t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

// One tongue of flame in the sprite's unit square (-1 .. 1, y down): its
// centre line leans and wobbles, its width swells from the tip to a round base.
struct Tongue {
  double tipY, baseY, width, lean, wobble, phase;

  // 0 on the tongue's centre line, 1 on its edge, above 1 outside; also how far
  // up the tongue the point lies (0 at the base, 1 at the tip).
  void Measure(double x, double y, double& edge, double& height) const {
    const double s = (y - tipY) / (baseY - tipY);  // 0 at the tip, 1 at the base
    height = 1 - s;
    if (s <= 0 || s >= 1) {
      edge = 2;
      return;
    }
    constexpr double kBelly = 0.72;  // where the flame is widest
    const double half = s < kBelly
                            ? width * std::pow(std::sin(kPi / 2 * s / kBelly), 0.9)
                            : width * std::sqrt(1 - std::pow((s - kBelly) / (1 - kBelly), 2));
    const double centre =
        lean * (1 - s) * (1 - s) + wobble * std::sin(s * kPi * 2.2 + phase) * (1 - s);
    edge = half <= 1e-6 ? 2 : std::fabs(x - centre) / half;
  }
};

// The fire palette: white-hot core, yellow, orange, deep red, black.
Rgb FireColour(double heat) {
  const Rgb core = Hex(0xfff4b8), yellow = Hex(0xffc93a), orange = Hex(0xff7a1a),
            red = Hex(0xc8260e);
  if (heat > 0.75) return Mix(yellow, core, (heat - 0.75) / 0.25);
  if (heat > 0.45) return Mix(orange, yellow, (heat - 0.45) / 0.3);
  if (heat > 0.15) return Mix(red, orange, (heat - 0.15) / 0.3);
  return Mix(Hex(0x000000), red, heat / 0.15);
}

}  // namespace

// Flames are blended additively, so they fade to black as well as to clear.
void PaintFire(CCanvas& canvas, int variant) {
  const Tongue shapes[][2] = {
      {{-0.92, 0.8, 0.62, -0.3, 0.08, 0.0}, {0, 0, 0, 0, 0, 0}},
      {{-0.86, 0.8, 0.6, 0.32, 0.1, 1.3}, {0, 0, 0, 0, 0, 0}},
      {{-0.9, 0.8, 0.45, -0.35, 0.05, 0.4}, {-0.6, 0.8, 0.42, 0.4, 0.06, 2.0}},
      {{-0.6, 0.82, 0.7, 0.1, 0.12, 3.0}, {0, 0, 0, 0, 0, 0}},
  };
  const Tongue* tongues = shapes[variant];
  const double half = canvas.Width() / 2.0;
  canvas.FillPixels([&](double px, double py) {
    const double x = px / half - 1, y = py / half - 1;
    double edge = 2, height = 0;
    for (int i = 0; i < 2; ++i) {
      if (tongues[i].width <= 0) continue;
      double e, h;
      tongues[i].Measure(x, y, e, h);
      if (e < edge) {
        edge = e;
        height = h;
      }
    }
    const double body = 1 - SmoothStep(0.35, 1.0, edge);
    const double heat = Clamp01(body * (1.05 - 0.55 * height));
    const double alpha = body * (1 - 0.35 * height);
    return Rgba(FireColour(heat), alpha);
  });
}

void PaintSmoke(CCanvas& canvas) {
  struct Puff {
    double x, y, r;
  };
  const Puff puffs[] = {{0, 0.15, 0.55},
                        {-0.38, 0.28, 0.4},
                        {0.4, 0.25, 0.42},
                        {-0.12, -0.3, 0.45},
                        {0.25, -0.22, 0.38}};
  const double half = canvas.Width() / 2.0;
  canvas.FillPixels([&](double px, double py) {
    const double x = px / half - 1, y = py / half - 1;
    double density = 0;
    for (const Puff& p : puffs) {
      const double d = std::hypot(x - p.x, y - p.y) / p.r;
      density = std::max(density, 1 - SmoothStep(0.55, 1.0, d));
    }
    const Rgb colour = Mix(Hex(0xe9e6ee), Hex(0x8b8496), Clamp01((y + 0.6) / 1.4));
    return Rgba(colour, density * 0.8);
  });
}

// ---------------------------------------------------------------------------
// Decals: seen from above on the lawn, so they are bold, bright and inked.

void PaintAimDot(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double c = canvas.Width() / 2.0, r = canvas.Width() * 0.3;
  EllipsePath(cr, c, c + 2, r + 4, r + 4);
  SetSource(cr, kInk, 0.3);
  cairo_fill(cr);
  EllipsePath(cr, c, c, r, r);
  FillAndOutline(cr, kCream, kInk, canvas.Width() * 0.09);
  EllipsePath(cr, c - r * 0.3, c - r * 0.3, r * 0.3, r * 0.25);
  SetSource(cr, kWhite);
  cairo_fill(cr);
}

namespace {

// A ring with four pointers: the landing spot marker, tinted per state.
void MarkerRing(cairo_t* cr, double size, Rgb light, Rgb deep) {
  const double c = size / 2, r = size * 0.34, band = size * 0.11, ink = size * 0.045;
  EllipsePath(cr, c, c + size * 0.03, r + band, r + band);
  SetSource(cr, kInk, 0.25);
  cairo_fill(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  EllipsePath(cr, c, c, r + band / 2, r + band / 2);
  EllipsePath(cr, c, c, r - band / 2, r - band / 2);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, c - r, 0, c + r);
  AddColorStop(shade, 0, Mix(light, kWhite, 0.35));
  AddColorStop(shade, 1, deep);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink);
  cairo_stroke(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

}  // namespace

void PaintTarget(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double size = canvas.Width(), c = size / 2;
  MarkerRing(cr, size, kSun, kSunDeep);
  // Four arrow heads point in at the landing spot.
  for (int i = 0; i < 4; ++i) {
    cairo_save(cr);
    cairo_translate(cr, c, c);
    cairo_rotate(cr, i * kPi / 2);
    cairo_move_to(cr, 0, -size * 0.13);
    cairo_line_to(cr, -size * 0.075, -size * 0.25);
    cairo_line_to(cr, size * 0.075, -size * 0.25);
    cairo_close_path(cr);
    cairo_restore(cr);
  }
  FillAndOutline(cr, kWhite, kInk, size * 0.035);
  EllipsePath(cr, c, c, size * 0.06, size * 0.06);
  FillAndOutline(cr, kWhite, kInk, size * 0.035);
}

void PaintTargetOff(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double size = canvas.Width(), c = size / 2;
  MarkerRing(cr, size, kWarning, kWarningDeep);
  // A bold red cross: no landing here.
  const double arm = size * 0.3;
  for (double width : {size * 0.2, size * 0.12}) {
    cairo_move_to(cr, c - arm, c - arm);
    cairo_line_to(cr, c + arm, c + arm);
    cairo_move_to(cr, c + arm, c - arm);
    cairo_line_to(cr, c - arm, c + arm);
    SetSource(cr, width > size * 0.15 ? kInk : kWarning);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
  cairo_move_to(cr, c - arm * 0.75, c - arm * 0.85);
  cairo_line_to(cr, c - arm * 0.35, c - arm * 0.45);
  SetSource(cr, kWhite, 0.7);
  cairo_set_line_width(cr, size * 0.035);
  cairo_stroke(cr);
}

// ---------------------------------------------------------------------------
// Cracks: the ground splitting where a hole is about to open, a faint ember
// glow in the middle. Everything stays inside the circle the decal's square
// keeps at any turn.

namespace {

void CrackLine(cairo_t* cr, CDice& dice, double x, double y, double angle, double length,
               double width, int depth) {
  constexpr double kStep = 9;
  const int steps = std::max(2, static_cast<int>(length / kStep));
  std::vector<double> xs{x}, ys{y}, widths{width};
  for (int i = 1; i <= steps; ++i) {
    angle += dice.Range(-0.45, 0.45);
    x += std::cos(angle) * kStep;
    y += std::sin(angle) * kStep;
    xs.push_back(x);
    ys.push_back(y);
    widths.push_back(width * (1 - static_cast<double>(i) / (steps + 1)));
    if (depth > 0 && dice.Uniform() < 0.22) {
      CrackLine(cr, dice, x, y, angle + (dice.Uniform() < 0.5 ? -1 : 1) * dice.Range(0.5, 1.0),
                length * dice.Range(0.25, 0.45), widths.back() * 0.7, depth - 1);
    }
  }
  // A pale, broken edge under the dark split makes it read as a gap.
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 1; i < xs.size(); ++i) {
      const double w = widths[i - 1];
      cairo_move_to(cr, xs[i - 1] + (pass ? 0 : 1), ys[i - 1] + (pass ? 0 : 1.8));
      cairo_line_to(cr, xs[i] + (pass ? 0 : 1), ys[i] + (pass ? 0 : 1.8));
      if (pass == 0) {
        SetSource(cr, kGrassSun, 0.7);
        cairo_set_line_width(cr, w + 2.5);
      } else {
        SetSource(cr, kEarthDeep, 0.95);
        cairo_set_line_width(cr, w);
      }
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_stroke(cr);
    }
  }
}

}  // namespace

void PaintCracks(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double size = canvas.Width(), c = size / 2;
  // The cell fills 1 / 1.2 of the decal; cracks reach a little short of its sides.
  const double reach = size / 1.2 * 0.46;

  cairo_pattern_t* pit = cairo_pattern_create_radial(c, c, 0, c, c, reach * 0.45);
  AddColorStop(pit, 0, kEarthDeep, 0.85);
  AddColorStop(pit, 0.55, kEarthDark, 0.55);
  AddColorStop(pit, 1, kEarthDark, 0);
  EllipsePath(cr, c, c, reach * 0.45, reach * 0.45);
  cairo_set_source(cr, pit);
  cairo_fill(cr);
  cairo_pattern_destroy(pit);

  CDice dice(404);
  constexpr int kMainCracks = 7;
  for (int i = 0; i < kMainCracks; ++i) {
    const double angle = i * 2 * kPi / kMainCracks + dice.Range(-0.3, 0.3);
    CrackLine(cr, dice, c + std::cos(angle) * 4, c + std::sin(angle) * 4, angle,
              reach * dice.Range(0.7, 0.95), 8, 2);
  }

  cairo_pattern_t* glow = cairo_pattern_create_radial(c, c, 0, c, c, reach * 0.22);
  AddColorStop(glow, 0, kSun, 0.9);
  AddColorStop(glow, 0.4, kEmber, 0.7);
  AddColorStop(glow, 1, kEmber, 0);
  EllipsePath(cr, c, c, reach * 0.22, reach * 0.22);
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
}
