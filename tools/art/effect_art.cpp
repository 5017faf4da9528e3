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

// One tongue of flame in the sprite's unit square (-1 .. 1, y down): a round
// base narrowing to a pointed tip, its centre line leaning and wobbling.
struct Tongue {
  double tipY, baseY, width, lean, wobble, phase;

  // 0 on the centre line, 1 on the outline, growing outside it.
  double Edge(double x, double y) const {
    constexpr double kBelly = 0.7;                 // how far down the flame is widest
    const double s = (y - tipY) / (baseY - tipY);  // 0 at the tip, 1 at the base
    const double along = std::min(std::max(s, 0.0), 1.0);
    const double centre = lean * (1 - along) * (1 - along) +
                          wobble * std::sin(along * kPi * 2.2 + phase) * (1 - along);
    if (s < 0) return 1 + std::hypot(x - centre, y - tipY) / width * 2;
    if (s >= kBelly) return std::hypot((x - centre) / width, (s - kBelly) / (1 - kBelly));
    const double half = width * std::pow(std::sin(kPi / 2 * s / kBelly), 1.1);
    return half <= 1e-6 ? 3 : std::fabs(x - centre) / half;
  }
};

// A flame of up to three tongues; its inner layers are the same outline
// shrunk toward the base, the way cartoon fire is drawn.
struct Flame {
  Tongue tongues[3];
  int count;

  double Edge(double x, double y, double shrink) const {
    double edge = 1e9;
    for (int i = 0; i < count; ++i) {
      const Tongue& t = tongues[i];
      edge = std::min(edge, t.Edge(x / shrink, t.baseY + (y - t.baseY) / shrink));
    }
    return edge;
  }
};

}  // namespace

// Flames are blended additively, so they fade to black as well as to clear.
void PaintFire(CCanvas& canvas, int variant) {
  const Flame flames[] = {
      {{{-0.95, 0.7, 0.6, -0.25, 0.07, 0.0}, {-0.45, 0.7, 0.5, 0.4, 0.05, 2.0}}, 2},
      {{{-0.9, 0.7, 0.62, 0.3, 0.1, 1.3}}, 1},
      {{{-0.92, 0.7, 0.45, -0.42, 0.05, 0.4},
        {-0.78, 0.7, 0.45, 0.4, 0.06, 2.0},
        {-0.4, 0.7, 0.62, 0.0, 0.05, 1.0}},
       3},
      {{{-0.7, 0.72, 0.7, 0.08, 0.12, 3.0}}, 1},
  };
  const Flame& flame = flames[variant];
  const Rgb red = Hex(0xe83a14), orange = Hex(0xff8a1c), yellow = Hex(0xffd84a),
            core = Hex(0xfff4c2);
  const double half = canvas.Width() / 2.0;
  constexpr double kSoft = 0.1;  // half the width of each colour boundary
  canvas.FillPixels([&](double px, double py) {
    const double x = px / half - 1, y = py / half - 1;
    const double outer = flame.Edge(x, y, 1.0);
    const double mid = flame.Edge(x, y, 0.72);
    const double inner = flame.Edge(x, y, 0.42);
    Rgb colour = red;
    colour = Mix(colour, orange, 1 - SmoothStep(1 - kSoft, 1 + kSoft, mid));
    colour = Mix(colour, yellow, 1 - SmoothStep(0.7 - kSoft, 0.7 + kSoft, mid));
    colour = Mix(colour, core, 1 - SmoothStep(1 - kSoft, 1 + kSoft, inner));
    // Solid inside the outline, then a short glow fading to nothing.
    const double body = 1 - SmoothStep(1 - kSoft, 1 + kSoft, outer);
    const double glow = 0.3 * (1 - SmoothStep(1.0, 1.5, outer));
    // Whatever glow is left dies out before the sprite's border.
    const double border = std::min(std::min(1 - std::fabs(x), 1 - std::fabs(y)), 0.2);
    return Rgba(colour, std::max(body * 0.9, glow) * SmoothStep(0.02, 0.2, border));
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
// Cracks: the ground splitting where a hole is about to open, with a faint
// ember glow in the middle. Everything stays inside the cell's inscribed circle.

namespace {

// A jagged crack as a tapering polygon, added to the current path; its
// branches are collected in `branches` to be drawn the same way.
struct CrackSpine {
  std::vector<double> xs, ys, widths;
};

CrackSpine GrowCrack(CDice& dice, double x, double y, double angle, double length, double width,
                     double endWidth) {
  CrackSpine spine{{x}, {y}, {width}};
  double travelled = 0, side = dice.Uniform() < 0.5 ? -1 : 1;
  while (travelled < length) {
    // Sharp zigzags about the crack's course, like a bolt of lightning.
    const double step = std::min(dice.Range(12, 20), length - travelled + 1);
    const double turn = angle + side * dice.Range(0.25, 0.6);
    side = -side;
    x += std::cos(turn) * step;
    y += std::sin(turn) * step;
    travelled += step;
    spine.xs.push_back(x);
    spine.ys.push_back(y);
    spine.widths.push_back(width + (endWidth - width) * std::min(travelled / length, 1.0));
  }
  return spine;
}

void CrackPath(cairo_t* cr, const CrackSpine& spine, double dx, double dy) {
  const size_t n = spine.xs.size();
  std::vector<double> nx(n), ny(n);
  for (size_t i = 0; i < n; ++i) {
    const size_t a = i == 0 ? 0 : i - 1, b = i + 1 < n ? i + 1 : i;
    const double tx = spine.xs[b] - spine.xs[a], ty = spine.ys[b] - spine.ys[a];
    const double len = std::hypot(tx, ty);
    nx[i] = -ty / len;
    ny[i] = tx / len;
  }
  cairo_move_to(cr, spine.xs[0] + dx + nx[0] * spine.widths[0] / 2,
                spine.ys[0] + dy + ny[0] * spine.widths[0] / 2);
  for (size_t i = 1; i < n; ++i)
    cairo_line_to(cr, spine.xs[i] + dx + nx[i] * spine.widths[i] / 2,
                  spine.ys[i] + dy + ny[i] * spine.widths[i] / 2);
  for (size_t i = n; i-- > 0;)
    cairo_line_to(cr, spine.xs[i] + dx - nx[i] * spine.widths[i] / 2,
                  spine.ys[i] + dy - ny[i] * spine.widths[i] / 2);
  cairo_close_path(cr);
}

}  // namespace

void PaintCracks(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double size = canvas.Width(), c = size / 2;
  // The cell fills 1 / 1.2 of the decal; cracks stop a little short of its sides.
  const double reach = size / 1.2 * 0.46;

  CDice dice(404);
  std::vector<CrackSpine> cracks;
  constexpr int kMainCracks = 5;
  std::vector<CrackSpine> rays;
  for (int i = 0; i < kMainCracks; ++i) {
    const double angle = i * 2 * kPi / kMainCracks + dice.Range(-0.3, 0.3);
    rays.push_back(GrowCrack(dice, c, c, angle, reach * dice.Range(0.55, 0.98), 14, 2));
  }
  for (size_t i = 0; i < rays.size(); ++i) {
    const CrackSpine& ray = rays[i];
    cracks.push_back(ray);
    // A branch off every other ray, and every other ray joined to the next by a
    // thin crack: the slab that is about to drop.
    const size_t at = std::min<size_t>(3, ray.xs.size() - 1);
    const double course = std::atan2(ray.ys.back() - c, ray.xs.back() - c);
    if (i % 2 == 1) {
      cracks.push_back(GrowCrack(dice, ray.xs[at], ray.ys[at], course + 0.8, reach * 0.22,
                                 ray.widths[at] * 0.6, 1));
    }
    if (i % 2 == 0) {
      const CrackSpine& next = rays[(i + 1) % rays.size()];
      const size_t to = std::min<size_t>(3, next.xs.size() - 1);
      const double dx = next.xs[to] - ray.xs[at], dy = next.ys[to] - ray.ys[at];
      cracks.push_back(GrowCrack(dice, ray.xs[at], ray.ys[at], std::atan2(dy, dx),
                                 std::hypot(dx, dy) * 0.9, 4, 1.5));
    }
  }

  // Sunken ground around the split.
  cairo_pattern_t* dip = cairo_pattern_create_radial(c, c, 0, c, c, reach);
  AddColorStop(dip, 0, kGrassShade, 0.6);
  AddColorStop(dip, 0.6, kGrassShade, 0.3);
  AddColorStop(dip, 1, kGrassShade, 0);
  EllipsePath(cr, c, c, reach, reach);
  cairo_set_source(cr, dip);
  cairo_fill(cr);
  cairo_pattern_destroy(dip);

  // Torn earth shows along each crack's lower lip, the gap itself is dark.
  for (const CrackSpine& crack : cracks) CrackPath(cr, crack, 0, 3);
  SetSource(cr, kEarthLight);
  cairo_fill(cr);
  for (const CrackSpine& crack : cracks) CrackPath(cr, crack, 0, 0);
  SetSource(cr, kEarthDeep);
  cairo_fill_preserve(cr);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, 1.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);

  // Where the rays meet the ground has already given way a little.
  constexpr int kPitCorners = 9;
  for (int k = 0; k < kPitCorners; ++k) {
    const double a = k * 2 * kPi / kPitCorners, r = reach * dice.Range(0.12, 0.2);
    cairo_line_to(cr, c + std::cos(a) * r, c + std::sin(a) * r);
  }
  cairo_close_path(cr);
  FillAndOutline(cr, kEarthDeep, kInk, 2);
  // The fire below glows in a seam across the pit.
  cairo_move_to(cr, c - reach * 0.11, c + reach * 0.03);
  cairo_line_to(cr, c - reach * 0.03, c - reach * 0.04);
  cairo_line_to(cr, c + reach * 0.04, c + reach * 0.04);
  cairo_line_to(cr, c + reach * 0.11, c - reach * 0.02);
  SetSource(cr, kEmber, 0.9);
  cairo_set_line_width(cr, 4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke_preserve(cr);
  SetSource(cr, kSun);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
}
