#pragma once

#include <cairo.h>

#include <string>

#include "tools/art/palette.h"

// One image being painted: a cairo surface with its drawing context. Painters
// draw in pixel coordinates with the origin at the image's top-left corner.
class CCanvas {
 public:
  CCanvas(int width, int height);
  ~CCanvas();
  CCanvas(const CCanvas&) = delete;
  CCanvas& operator=(const CCanvas&) = delete;

  cairo_t* Context() const { return cr; }
  int Width() const { return width; }
  int Height() const { return height; }

  // Overwrites every pixel with shade(x, y), where x, y are the pixel's centre
  // and shade returns an Rgb (opaque) or an Rgba (straight alpha).
  template <typename Shade>
  void FillPixels(Shade shade);

  // Writes the image as an 8-bit PNG, RGBA when withAlpha, otherwise RGB.
  // Creates the file's folder first. False when the file cannot be written.
  bool Save(const std::string& path, bool withAlpha) const;

 private:
  int width;
  int height;
  cairo_surface_t* surface;
  cairo_t* cr;
};

template <typename Shade>
void CCanvas::FillPixels(Shade shade) {
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  auto channel = [](double v) {
    return static_cast<unsigned>(v <= 0 ? 0 : v >= 1 ? 255 : v * 255 + 0.5);
  };
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<unsigned*>(data + y * stride);
    for (int x = 0; x < width; ++x) {
      const Rgba c = Rgba(shade(x + 0.5, y + 0.5));
      const double a = c.a <= 0 ? 0 : c.a >= 1 ? 1 : c.a;
      row[x] = channel(a) << 24 | channel(c.r * a) << 16 | channel(c.g * a) << 8 | channel(c.b * a);
    }
  }
  cairo_surface_mark_dirty(surface);
}
