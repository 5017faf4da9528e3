#include "tools/art/board_art.h"

#include <cmath>
#include <vector>

#include "tools/art/paint.h"

void BladePath(cairo_t* cr, double baseX, double baseY, double length, double angle, double width,
               double bend) {
  const double dx = std::cos(angle), dy = std::sin(angle);
  const double nx = -dy, ny = dx;  // to the blade's side
  const double tipX = baseX + dx * length + nx * bend, tipY = baseY + dy * length + ny * bend;
  const double midX = baseX + dx * length * 0.55 + nx * bend * 0.35;
  const double midY = baseY + dy * length * 0.55 + ny * bend * 0.35;
  const double half = width / 2;
  cairo_move_to(cr, baseX - nx * half, baseY - ny * half);
  cairo_curve_to(cr, midX - nx * half * 0.8, midY - ny * half * 0.8, tipX, tipY, tipX, tipY);
  cairo_curve_to(cr, tipX, tipY, midX + nx * half * 0.8, midY + ny * half * 0.8, baseX + nx * half,
                 baseY + ny * half);
  cairo_close_path(cr);
}

// ---------------------------------------------------------------------------
// Lawn: one 256-pixel tile covers 6.5 board units and repeats both ways, so
// everything on it wraps across the edges.

void PaintGrass(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double size = canvas.Width();
  const CTileNoise broad(4, 0x5eed01), medium(8, 0x5eed02), fine(32, 0x5eed03);
  canvas.FillPixels([&](double x, double y) {
    const double u = x / size, v = y / size;
    const double n = 0.55 * broad.At(u * 4, v * 4) + 0.3 * medium.At(u * 8, v * 8) +
                     0.15 * fine.At(u * 32, v * 32);
    // Sunlit patches and soft shade, never far from the middle green.
    const double t = std::fmin(std::fmax(0.55 + (n - 0.5) * 1.4, 0), 1);
    return t < 0.5 ? Mix(kGrassDark, kGrass, t * 2) : Mix(kGrass, kGrassLight, (t - 0.5) * 2);
  });

  CDice dice(7);
  constexpr int kBlades = 1700;
  for (int i = 0; i < kBlades; ++i) {
    const double x = dice.Range(0, size), y = dice.Range(0, size);
    const double length = dice.Range(5, 10);
    const double angle = -kPi / 2 + dice.Range(-0.45, 0.45);
    const double bend = dice.Range(-2, 2);
    const bool lit = dice.Uniform() < 0.55;
    const double light = broad.At(x / size * 4, y / size * 4);
    const Rgb colour =
        lit ? Mix(kGrassLight, kGrassSun, light) : Mix(kGrassShade, kGrassDark, light);
    SetSource(cr, colour, lit ? 0.85 : 0.7);
    PaintWrappedXY(size, [&](double ox, double oy) {
      BladePath(cr, x + ox, y + oy, length, angle, 2.4, bend);
      cairo_fill(cr);
    });
  }

  // A few clover leaves break up the blades.
  constexpr int kClovers = 9;
  for (int i = 0; i < kClovers; ++i) {
    const double x = dice.Range(0, size), y = dice.Range(0, size), turn = dice.Range(0, kPi);
    PaintWrappedXY(size, [&](double ox, double oy) {
      for (int leaf = 0; leaf < 3; ++leaf) {
        const double a = turn + leaf * 2 * kPi / 3;
        EllipsePath(cr, x + ox + std::cos(a) * 2.6, y + oy + std::sin(a) * 2.6, 2.6, 2.6);
      }
      SetSource(cr, kGrassShade, 0.55);
      cairo_fill(cr);
    });
  }
}

// ---------------------------------------------------------------------------
// Earth wall: one image is one cell wide and five units deep, grass rim on top.
// Drawn in square units (128 px per board unit both ways) and squeezed to fit.

namespace {

constexpr double kWallUnit = 128;      // pixels per board unit across
constexpr double kWallDepthUnits = 5;  // the wall runs from the rim to z = -5
constexpr double kRimHeight = 9;       // the grass band on the wall's top
constexpr double kTwoPi = 2 * kPi;

// Depth colour of the earth: rich brown under the rim, near-black far down,
// warmed by the glow of the fire at the very bottom.
Rgb EarthAtDepth(double units) {
  if (units < 0.4) return Mix(kEarthLight, kEarth, units / 0.4);
  if (units < 2.6) return Mix(kEarth, kEarthDark, (units - 0.4) / 2.2);
  if (units < 4.2) return Mix(kEarthDark, kEarthDeep, (units - 2.6) / 1.6);
  return Mix(kEarthDeep, Mix(kEarthDeep, kEmber, 0.45), (units - 4.2) / 0.8);
}

// Wavy layer lines that repeat exactly across the cell's width.
double StratumWave(double x, double phase, int waves) {
  return std::sin(x / kWallUnit * kTwoPi * waves + phase) * 3.5 +
         std::sin(x / kWallUnit * kTwoPi * (waves + 1) + phase * 1.7) * 2;
}

}  // namespace

void PaintDirtWall(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double tall = kWallUnit * kWallDepthUnits;
  const CTileNoise grain(16, 0xd1a7);
  const double squeeze = canvas.Height() / tall;
  canvas.FillPixels([&](double x, double y) {
    const double depth = y / squeeze / kWallUnit;
    const double n = grain.At(x / kWallUnit * 16, y / squeeze / kWallUnit * 16);
    return Mix(EarthAtDepth(depth), kEarthDeep, (n - 0.5) * 0.25);
  });
  cairo_scale(cr, canvas.Width() / kWallUnit, squeeze);

  // Layers of soil: a darker band with a soft highlight above it.
  CDice dice(31);
  for (double top = 60; top < tall - 80; top += dice.Range(55, 95)) {
    const double phase = dice.Range(0, kTwoPi);
    const int waves = 1 + static_cast<int>(dice.Range(0, 2.99));
    const double thick = dice.Range(8, 16);
    cairo_move_to(cr, 0, top + StratumWave(0, phase, waves));
    for (double x = 4; x <= kWallUnit; x += 4)
      cairo_line_to(cr, x, top + StratumWave(x, phase, waves));
    for (double x = kWallUnit; x >= 0; x -= 4)
      cairo_line_to(cr, x, top + thick + StratumWave(x, phase + 0.6, waves));
    cairo_close_path(cr);
    const double depth = top / kWallUnit;
    SetSource(cr, Mix(EarthAtDepth(depth), kEarthDeep, 0.45), 0.8);
    cairo_fill(cr);
    cairo_move_to(cr, 0, top - 2 + StratumWave(0, phase, waves));
    for (double x = 4; x <= kWallUnit; x += 4)
      cairo_line_to(cr, x, top - 2 + StratumWave(x, phase, waves));
    SetSource(cr, Mix(EarthAtDepth(depth), kEarthLight, 0.5), 0.5);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }

  // Pebbles, thinning out and darkening with depth.
  constexpr int kPebbles = 26;
  for (int i = 0; i < kPebbles; ++i) {
    const double x = dice.Range(0, kWallUnit);
    const double y = 20 + std::pow(dice.Uniform(), 1.6) * (tall - 140);
    const double r = dice.Range(3, 8.5), squash = dice.Range(0.6, 0.9);
    const double shade = std::fmin(y / tall * 1.3, 0.85);
    PaintWrappedX(kWallUnit, [&](double ox) {
      EllipsePath(cr, x + ox, y, r, r * squash);
      SetSource(cr, Mix(kPebble, kEarthDeep, shade));
      cairo_fill_preserve(cr);
      SetSource(cr, Mix(kEarthDark, kEarthDeep, shade), 0.9);
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
      EllipsePath(cr, x + ox - r * 0.3, y - r * squash * 0.35, r * 0.35, r * squash * 0.25);
      SetSource(cr, kWhite, 0.45 * (1 - shade));
      cairo_fill(cr);
    });
  }

  // Roots dangle from the lawn above.
  constexpr int kRoots = 4;
  for (int i = 0; i < kRoots; ++i) {
    const double x = dice.Range(0, kWallUnit), reach = dice.Range(40, 110);
    const double sway = dice.Range(-14, 14);
    PaintWrappedX(kWallUnit, [&](double ox) {
      cairo_move_to(cr, x + ox, kRimHeight);
      cairo_curve_to(cr, x + ox + sway, kRimHeight + reach * 0.4, x + ox - sway, reach * 0.7,
                     x + ox + sway * 0.5, reach);
      SetSource(cr, kEarthDeep, 0.75);
      cairo_set_line_width(cr, 2.2);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_stroke(cr);
    });
  }

  // The grass rim, with a dark lip of shadow just under it.
  cairo_pattern_t* lip = cairo_pattern_create_linear(0, kRimHeight, 0, kRimHeight + 26);
  AddColorStop(lip, 0, kEarthDeep, 0.55);
  AddColorStop(lip, 1, kEarthDeep, 0);
  cairo_rectangle(cr, 0, kRimHeight, kWallUnit, 26);
  cairo_set_source(cr, lip);
  cairo_fill(cr);
  cairo_pattern_destroy(lip);
  cairo_rectangle(cr, 0, 0, kWallUnit, kRimHeight);
  SetSource(cr, kGrass);
  cairo_fill(cr);
  constexpr int kRimBlades = 22;
  for (int i = 0; i < kRimBlades; ++i) {
    const double x = (i + dice.Range(-0.3, 0.3)) * kWallUnit / kRimBlades;
    const double length = dice.Range(6, 14);
    PaintWrappedX(kWallUnit, [&](double ox) {
      BladePath(cr, x + ox, kRimHeight - 2, length, kPi / 2 + dice.Range(-0.3, 0.3), 6, 1);
      SetSource(cr, i % 2 ? kGrass : kGrassDark);
      cairo_fill(cr);
    });
  }
}

// ---------------------------------------------------------------------------
// Grass lip: hangs from a hole's rim over its edge; the top row meets the lawn,
// ragged blades hang toward the bottom. Repeats along the rim, one cell per image.

void PaintGrassEdge(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  const double solid = h * 0.3;
  CDice dice(57);

  // Back row: darker blades give the lip its depth and its dark rim.
  struct Tuft {
    double x, length, angle, width, bend;
  };
  auto row = [&](int count, double minLength, double maxLength) {
    std::vector<Tuft> tufts;
    for (int i = 0; i < count; ++i) {
      tufts.push_back({(i + dice.Range(0, 1)) * w / count, dice.Range(minLength, maxLength),
                       kPi / 2 + dice.Range(-0.35, 0.35), dice.Range(9, 15), dice.Range(-4, 4)});
    }
    return tufts;
  };
  const auto back = row(30, h * 0.45, h * 0.68);
  const auto front = row(26, h * 0.3, h * 0.55);

  auto paintRow = [&](const std::vector<Tuft>& tufts, double grow, Rgb colour) {
    for (const Tuft& t : tufts) {
      PaintWrappedX(w, [&](double ox) {
        BladePath(cr, t.x + ox, solid * 0.5, t.length + grow, t.angle, t.width + grow, t.bend);
        SetSource(cr, colour);
        cairo_fill(cr);
      });
    }
  };
  cairo_rectangle(cr, 0, 0, w, solid + 2);
  SetSource(cr, kGrassShade);
  cairo_fill(cr);
  paintRow(back, 3, kGrassShade);
  paintRow(back, 0, kGrassDark);
  paintRow(front, 2.5, kGrassShade);
  paintRow(front, 0, kGrass);
  cairo_rectangle(cr, 0, 0, w, solid);
  SetSource(cr, kGrass);
  cairo_fill(cr);

  // Sun on the blades' backs.
  for (const Tuft& t : front) {
    PaintWrappedX(w, [&](double ox) {
      BladePath(cr, t.x + ox - 1.5, solid * 0.6, t.length * 0.7, t.angle, t.width * 0.35, t.bend);
      SetSource(cr, kGrassLight, 0.8);
      cairo_fill(cr);
    });
  }
}

// ---------------------------------------------------------------------------
// Fence: one image spans two cells and one unit of height; a post stands at
// every cell corner (the image's left edge and its middle), two rails between.

namespace {

constexpr double kPostWidth = 22;
constexpr double kRailThickness = 19;
constexpr double kFenceInk = 3;

void WoodGrain(cairo_t* cr, double x0, double x1, double y, CDice& dice) {
  cairo_move_to(cr, x0, y);
  for (double x = x0; x <= x1; x += 8) cairo_line_to(cr, x, y + dice.Range(-0.8, 0.8));
  SetSource(cr, kWoodDark, 0.55);
  cairo_set_line_width(cr, 1.3);
  cairo_stroke(cr);
}

void FenceRail(cairo_t* cr, double width, double top, CDice& dice) {
  cairo_rectangle(cr, -4, top, width + 8, kRailThickness);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, top, 0, top + kRailThickness);
  AddColorStop(shade, 0, kWoodLight);
  AddColorStop(shade, 0.35, kWood);
  AddColorStop(shade, 1, kWoodDark);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
  WoodGrain(cr, 0, width, top + kRailThickness * 0.45, dice);
  WoodGrain(cr, 0, width, top + kRailThickness * 0.72, dice);
  for (double y : {top, top + kRailThickness}) {
    cairo_move_to(cr, -4, y);
    cairo_line_to(cr, width + 4, y);
  }
  SetSource(cr, kWoodInk);
  cairo_set_line_width(cr, kFenceInk);
  cairo_stroke(cr);
}

void FencePost(cairo_t* cr, double cx, double top, double bottom, CDice& dice) {
  const double left = cx - kPostWidth / 2, right = cx + kPostWidth / 2;
  cairo_move_to(cr, left, bottom + 4);
  cairo_line_to(cr, left, top + 8);
  cairo_curve_to(cr, left, top + 2, cx - 4, top, cx, top);
  cairo_curve_to(cr, cx + 4, top, right, top + 2, right, top + 8);
  cairo_line_to(cr, right, bottom + 4);
  cairo_close_path(cr);
  cairo_pattern_t* shade = cairo_pattern_create_linear(left, 0, right, 0);
  AddColorStop(shade, 0, kWoodLight);
  AddColorStop(shade, 0.45, kWood);
  AddColorStop(shade, 1, kWoodDark);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  SetSource(cr, kWoodInk);
  cairo_set_line_width(cr, kFenceInk);
  cairo_stroke(cr);
  // A knot and a grain line.
  cairo_move_to(cr, cx + 3, top + 14);
  cairo_line_to(cr, cx + 3 + dice.Range(-1, 1), bottom - 10);
  SetSource(cr, kWoodDark, 0.5);
  cairo_set_line_width(cr, 1.3);
  cairo_stroke(cr);
  EllipsePath(cr, cx - 3, top + dice.Range(30, 70), 2.2, 3.2);
  SetSource(cr, kWoodInk, 0.7);
  cairo_fill(cr);
}

void FenceNails(cairo_t* cr, double cx, double railTop) {
  for (double side : {-1.0, 1.0}) {
    EllipsePath(cr, cx + side * 5, railTop + kRailThickness / 2, 1.8, 1.8);
    SetSource(cr, kWoodInk);
    cairo_fill(cr);
  }
}

}  // namespace

void PaintFence(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  const double postTop = h * 0.05;
  const double railTops[] = {h * 0.22, h * 0.56};
  CDice dice(101);
  for (double top : railTops) FenceRail(cr, w, top, dice);
  // Two posts per image; the one on the left edge wraps round to the right.
  for (double cx : {0.0, w / 2}) {
    CDice look(static_cast<uint32_t>(7 + cx));
    PaintWrappedX(w, [&](double ox) {
      CDice same = look;  // the wrapped copy gets the very same knots and grass
      FencePost(cr, cx + ox, postTop, h, same);
      for (double top : railTops) FenceNails(cr, cx + ox, top);
      // Grass grows up around the post's foot.
      for (int i = 0; i < 9; ++i) {
        const double x = cx + ox + same.Range(-18, 18);
        BladePath(cr, x, h + 2, same.Range(10, 20), -kPi / 2 + same.Range(-0.5, 0.5), 5,
                  same.Range(-3, 3));
        SetSource(cr, i % 3 ? kGrass : kGrassDark);
        cairo_fill_preserve(cr);
        SetSource(cr, kGrassShade);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
      }
    });
  }
}

// ---------------------------------------------------------------------------
// Flower: a cheerful daisy whose stem stands on the image's bottom edge.

void PaintFlower(CCanvas& canvas) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  const double cx = w / 2, cy = h * 0.37;
  const double ink = w * 0.025;

  // Stem and two leaves.
  cairo_move_to(cr, cx, h);
  cairo_curve_to(cr, cx - w * 0.05, h * 0.78, cx + w * 0.05, h * 0.55, cx, cy);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, w * 0.075);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke_preserve(cr);
  SetSource(cr, kGrassDark);
  cairo_set_line_width(cr, w * 0.035);
  cairo_stroke(cr);
  for (double side : {-1.0, 1.0}) {
    const double bx = cx + side * w * 0.01, by = h * (side < 0 ? 0.8 : 0.7);
    cairo_move_to(cr, bx, by);
    cairo_curve_to(cr, bx + side * w * 0.1, by - h * 0.14, bx + side * w * 0.26, by - h * 0.1,
                   bx + side * w * 0.3, by - h * 0.16);
    cairo_curve_to(cr, bx + side * w * 0.24, by + h * 0.02, bx + side * w * 0.1, by + h * 0.04, bx,
                   by);
    cairo_close_path(cr);
    FillAndOutline(cr, kGrass, kInk, ink);
    cairo_move_to(cr, bx + side * w * 0.03, by - h * 0.01);
    cairo_line_to(cr, bx + side * w * 0.2, by - h * 0.09);
    SetSource(cr, kGrassShade, 0.8);
    cairo_set_line_width(cr, ink * 0.6);
    cairo_stroke(cr);
  }

  // Petals: outlined together first so their ink never shows between them.
  constexpr int kPetals = 7;
  const double petalReach = w * 0.18, petalLength = w * 0.14, petalWidth = w * 0.1;
  auto petals = [&] {
    for (int i = 0; i < kPetals; ++i) {
      const double a = -kPi / 2 + i * 2 * kPi / kPetals;
      cairo_save(cr);
      cairo_translate(cr, cx + std::cos(a) * petalReach, cy + std::sin(a) * petalReach);
      cairo_rotate(cr, a);
      EllipsePath(cr, 0, 0, petalLength, petalWidth);
      cairo_restore(cr);
    }
  };
  petals();
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink * 2);
  cairo_stroke(cr);
  petals();
  cairo_pattern_t* petalShade = cairo_pattern_create_radial(cx, cy, w * 0.08, cx, cy, w * 0.36);
  AddColorStop(petalShade, 0, kPetalDeep);
  AddColorStop(petalShade, 0.5, kPetal);
  AddColorStop(petalShade, 1, Mix(kPetal, kWhite, 0.55));
  cairo_set_source(cr, petalShade);
  cairo_fill(cr);
  cairo_pattern_destroy(petalShade);

  // A sunny centre with a little smile: flowers cheer the blobs up.
  const double r = w * 0.13;
  EllipsePath(cr, cx, cy, r, r);
  cairo_pattern_t* centre = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.4, 0, cx, cy, r);
  AddColorStop(centre, 0, Mix(kSun, kWhite, 0.5));
  AddColorStop(centre, 0.6, kSun);
  AddColorStop(centre, 1, kSunDeep);
  cairo_set_source(cr, centre);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(centre);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, ink);
  cairo_stroke(cr);
  for (double side : {-1.0, 1.0}) {
    EllipsePath(cr, cx + side * r * 0.36, cy - r * 0.15, r * 0.1, r * 0.16);
    SetSource(cr, kInk);
    cairo_fill(cr);
  }
  cairo_arc(cr, cx, cy + r * 0.05, r * 0.4, kPi * 0.2, kPi * 0.8);
  cairo_set_line_width(cr, ink * 0.8);
  cairo_stroke(cr);
}

// ---------------------------------------------------------------------------
// Grass tufts standing on the bottom edge; three different clumps.

void PaintGrassTuft(CCanvas& canvas, int variant) {
  cairo_t* cr = canvas.Context();
  const double w = canvas.Width(), h = canvas.Height();
  CDice dice(200 + variant * 17);
  struct Shape {
    int blades;
    double spread, minLength, maxLength, fan;
  };
  const Shape shapes[] = {
      {9, 0.18, 0.6, 0.92, 0.55}, {13, 0.3, 0.42, 0.68, 0.9}, {8, 0.22, 0.45, 0.8, 0.7}};
  const Shape& s = shapes[variant];
  const double ink = 3.2;

  struct Blade {
    double x, length, angle, width, bend;
    Rgb colour;
  };
  std::vector<Blade> blades;
  for (int i = 0; i < s.blades; ++i) {
    const double t = s.blades == 1 ? 0 : i / (s.blades - 1.0) * 2 - 1;  // -1 .. 1 across the clump
    const Rgb colours[] = {kGrass, kGrassLight, kGrassSun};
    blades.push_back({w / 2 + t * w * s.spread + dice.Range(-3, 3),
                      h * dice.Range(s.minLength, s.maxLength) * (1 - 0.25 * t * t),
                      -kPi / 2 + t * s.fan + dice.Range(-0.15, 0.15), dice.Range(9, 13),
                      t * 7 + dice.Range(-3, 3), colours[static_cast<int>(dice.Range(0, 2.99))]});
  }
  for (const Blade& b : blades) {
    BladePath(cr, b.x, h + 3, b.length, b.angle, b.width, b.bend);
    FillAndOutline(cr, b.colour, kGrassShade, ink);
  }

  if (variant == 1) {
    // A pink clover head nods over the wide clump.
    const double x = w * 0.6, top = h * 0.3;
    cairo_move_to(cr, x - 6, h);
    cairo_curve_to(cr, x - 6, h * 0.7, x, top + 10, x, top);
    SetSource(cr, kGrassShade);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    EllipsePath(cr, x, top, 7.5, 8.5);
    FillAndOutline(cr, kPetal, kPetalDeep, 1.8);
    EllipsePath(cr, x - 2.5, top - 3, 2.5, 2);
    SetSource(cr, kWhite, 0.75);
    cairo_fill(cr);
  }
  if (variant == 2) {
    // Two little buttercups on thin stalks.
    for (double side : {-1.0, 1.0}) {
      const double x = w / 2 + side * w * 0.12, top = h * (side < 0 ? 0.24 : 0.36);
      cairo_move_to(cr, x - side * 4, h);
      cairo_curve_to(cr, x - side * 4, h * 0.6, x, top + 8, x, top);
      SetSource(cr, kGrassShade);
      cairo_set_line_width(cr, 2.5);
      cairo_stroke(cr);
      for (int p = 0; p < 5; ++p) {
        const double a = -kPi / 2 + p * 2 * kPi / 5;
        EllipsePath(cr, x + std::cos(a) * 4.5, top + std::sin(a) * 4.5, 4.2, 4.2);
      }
      FillAndOutline(cr, kSun, kSunDeep, 1.4);
      EllipsePath(cr, x, top, 2.5, 2.5);
      SetSource(cr, kSunDeep);
      cairo_fill(cr);
    }
  }
}
