#include "tools/art/canvas.h"

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/art/edge_padding.h"

CCanvas::CCanvas(int width, int height)
    : width(width),
      height(height),
      surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr(cairo_create(surface)) {}

CCanvas::~CCanvas() {
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

namespace {

// cairo keeps premultiplied 0xAARRGGBB words; PNG wants straight R, G, B, A bytes.
std::vector<uint8_t> StraightRgba(cairo_surface_t* surface, int width, int height) {
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
    for (int x = 0; x < width; ++x) {
      const uint32_t word = row[x];
      const unsigned a = word >> 24;
      uint8_t* px = &out[(static_cast<size_t>(y) * width + x) * 4];
      px[3] = static_cast<uint8_t>(a);
      for (int c = 0; c < 3; ++c) {
        const unsigned premultiplied = (word >> (16 - 8 * c)) & 0xFF;
        px[c] = a == 0 ? 0 : static_cast<uint8_t>((premultiplied * 255 + a / 2) / a);
      }
    }
  }
  return out;
}

std::vector<uint8_t> DropAlpha(const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> rgb;
  rgb.reserve(rgba.size() / 4 * 3);
  for (size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), &rgba[i], &rgba[i + 3]);
  return rgb;
}

}  // namespace

bool CCanvas::Save(const std::string& path, bool withAlpha) const {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);

  std::vector<uint8_t> pixels = StraightRgba(surface, width, height);
  if (withAlpha) {
    PadTransparentEdges(pixels, width, height);
  } else {
    pixels = DropAlpha(pixels);
  }

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr);
  png_image_free(&image);
  return ok != 0;
}
