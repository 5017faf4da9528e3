#include "tools/art/paint.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>

void SetSource(cairo_t* cr, Rgb colour, double alpha) {
  cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void AddColorStop(cairo_pattern_t* pattern, double offset, Rgb colour, double alpha) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, colour.r, colour.g, colour.b, alpha);
}

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
  cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void FillAndOutline(cairo_t* cr, Rgb fill, Rgb ink, double inkWidth) {
  SetSource(cr, fill);
  cairo_fill_preserve(cr);
  SetSource(cr, ink);
  cairo_set_line_width(cr, inkWidth);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

double CDice::Uniform() {
  // 32-bit xorshift: tiny, fast and the same on every compiler.
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state / 4294967295.0;
}

CTileNoise::CTileNoise(int period, uint32_t seed) : period(period), seed(seed) {}

double CTileNoise::Lattice(int x, int y) const {
  const uint32_t wx = static_cast<uint32_t>(((x % period) + period) % period);
  const uint32_t wy = static_cast<uint32_t>(((y % period) + period) % period);
  uint32_t h = seed ^ (wx * 374761393u) ^ (wy * 668265263u);
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFF) / 65535.0;
}

double CTileNoise::At(double x, double y) const {
  const int x0 = static_cast<int>(std::floor(x));
  const int y0 = static_cast<int>(std::floor(y));
  auto smooth = [](double t) { return t * t * (3 - 2 * t); };
  const double tx = smooth(x - x0);
  const double ty = smooth(y - y0);
  const double top = Lattice(x0, y0) + (Lattice(x0 + 1, y0) - Lattice(x0, y0)) * tx;
  const double bottom = Lattice(x0, y0 + 1) + (Lattice(x0 + 1, y0 + 1) - Lattice(x0, y0 + 1)) * tx;
  return top + (bottom - top) * ty;
}

namespace {

cairo_font_face_t* GameFontFace() {
  static cairo_font_face_t* face = [] {
    FT_Library library = nullptr;
    FT_Face ftFace = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, JQ_ART_FONT, 0, &ftFace) != 0) {
      std::fprintf(stderr, "jq_art: cannot open the font %s\n", JQ_ART_FONT);
      std::exit(1);
    }
    // The FreeType face and library live as long as the program.
    return cairo_ft_font_face_create_for_ft_face(ftFace, 0);
  }();
  return face;
}

}  // namespace

void SelectGameFont(cairo_t* cr, double size) {
  cairo_set_font_face(cr, GameFontFace());
  cairo_set_font_size(cr, size);
}

double TextPath(cairo_t* cr, const std::string& text, double x, double y, Align align) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  const double left = align == Align::kCentre ? x - extents.x_advance / 2 : x;
  cairo_move_to(cr, left, y);
  cairo_text_path(cr, text.c_str());
  return extents.x_advance;
}

void DrawLettering(cairo_t* cr, const std::string& text, double x, double y, Align align,
                   const LetteringStyle& style) {
  SelectGameFont(cr, style.size);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  if (style.shadowOffset > 0) {
    cairo_new_path(cr);
    TextPath(cr, text, x, y + style.shadowOffset, align);
    SetSource(cr, kInk, 0.45);
    cairo_set_line_width(cr, style.inkWidth * 2);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
  }
  cairo_new_path(cr);
  TextPath(cr, text, x, y, align);
  SetSource(cr, kInk);
  cairo_set_line_width(cr, style.inkWidth * 2);  // half of it hides under the fill
  cairo_stroke_preserve(cr);
  if (style.fillPattern != nullptr) {
    cairo_set_source(cr, style.fillPattern);
  } else {
    SetSource(cr, style.fill);
  }
  cairo_fill(cr);
}
