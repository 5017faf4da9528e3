#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

#include "tools/art/palette.h"

constexpr double kPi = 3.14159265358979323846;

void SetSource(cairo_t* cr, Rgb colour, double alpha = 1.0);
void AddColorStop(cairo_pattern_t* pattern, double offset, Rgb colour, double alpha = 1.0);

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius);
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);

// Fills the current path, then strokes it with ink of the given width; the
// path is consumed.
void FillAndOutline(cairo_t* cr, Rgb fill, Rgb ink, double inkWidth);

// A small, fixed-seed random source so every build draws the same pictures.
class CDice {
 public:
  explicit CDice(uint32_t seed) : state(seed) {}
  double Uniform();  // 0 to 1
  double Range(double low, double high) { return low + (high - low) * Uniform(); }

 private:
  uint32_t state;
};

// Smooth value noise that repeats every `period` lattice cells in x and y, so a
// picture built from it tiles without a seam. Returns 0 to 1.
class CTileNoise {
 public:
  CTileNoise(int period, uint32_t seed);
  double At(double x, double y) const;  // x, y in lattice cells

 private:
  int period;
  uint32_t seed;
  double Lattice(int x, int y) const;
};

// Rounded lettering from the game's font (Comfortaa Bold).
enum class Align { kLeft, kCentre };
void SelectGameFont(cairo_t* cr, double size);
// Adds the outline of text whose baseline starts at (x, y) (or is centred on
// x) to the current path; returns the text's advance width.
double TextPath(cairo_t* cr, const std::string& text, double x, double y, Align align);
// The house lettering: a thick ink rim, an optional drop shadow and a fill
// (a solid colour or a pattern when fillPattern is not null).
struct LetteringStyle {
  double size = 64;
  Rgb fill = kWhite;
  cairo_pattern_t* fillPattern = nullptr;
  double inkWidth = 10;
  double shadowOffset = 4;
};
void DrawLettering(cairo_t* cr, const std::string& text, double x, double y, Align align,
                   const LetteringStyle& style);

// Draws paint(offset) at offset -period, 0 and +period along x, so shapes
// crossing the left or right edge reappear on the other side of a tile.
template <typename Paint>
void PaintWrappedX(double period, Paint paint) {
  for (int k = -1; k <= 1; ++k) paint(k * period);
}
template <typename Paint>
void PaintWrappedXY(double period, Paint paint) {
  for (int j = -1; j <= 1; ++j)
    for (int k = -1; k <= 1; ++k) paint(k * period, j * period);
}
