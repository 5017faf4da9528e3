#include "render/png_decoder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "base/file_open.h"

namespace {
constexpr int RGB_BITS = 24;
constexpr int RGBA_BITS = 32;

// Neighbour indices wrap around the image's edges.
int Wrap(int i, int n) {
  if (i < 0) {
    return n - 1;
  }
  if (i >= n) {
    return 0;
  }
  return i;
}
}  // namespace

std::string NativePath(const char* gamePath) {
  std::string native(gamePath);
#ifndef _WIN32
  std::replace(native.begin(), native.end(), '\\', '/');
#endif
  return native;
}

bool LoadPngImage(const char* path, DecodedImage& out) {
  std::FILE* file = OpenFileToRead(NativePath(path));
  if (file == nullptr) {
    return false;
  }
  const bool ok = DecodePngStream(file, out);
  std::fclose(file);
  return ok;
}

int StoredBitsPerPixel(int bitDepth, int colourType) {
  constexpr int CHANNELS[] = {1, 0, 3, 1, 2, 0, 4};
  if (colourType < 0 || colourType >= static_cast<int>(std::size(CHANNELS))) {
    return 0;
  }
  return bitDepth * CHANNELS[colourType];
}

bool StorePngRows(const unsigned char* const* rows, int width, int height, int bitsPerPixel,
                  DecodedImage& out) {
  if (bitsPerPixel != RGB_BITS && bitsPerPixel != RGBA_BITS) {
    return false;
  }
  if (width <= 0 || height <= 0 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE) {
    return false;
  }
  // Both sides are at most MAX_IMAGE_SIDE, so these products cannot overflow.
  const std::size_t rowSize = static_cast<std::size_t>(width) * (bitsPerPixel / 8);
  const std::size_t size = rowSize * static_cast<std::size_t>(height);
  try {
    out.pixels.assign(size, 0);
  } catch (const std::bad_alloc&) {
    out.pixels.clear();
    return false;
  }
  for (int i = 0; i < height; ++i) {
    std::memcpy(out.pixels.data() + i * rowSize, rows[height - 1 - i], rowSize);
  }
  out.width = width;
  out.height = height;
  if (bitsPerPixel == RGB_BITS) {
    out.format = GL_RGB;
    out.internalFormat = GL_RGB8;
  } else {
    out.format = GL_RGBA;
    out.internalFormat = GL_RGBA8;
    FillTransparentPixels(out);
  }
  return true;
}

// The nine neighbours' sums are built from column sums of three rows, which
// count each opaque pixel's red once per column instead of nine times per
// pixel: the title, mostly transparent, spent several milliseconds here. The
// wrapped indices are the same as the neighbours', so an image one or two
// pixels across counts a pixel more than once exactly as before.
void FillTransparentPixels(DecodedImage& image) {
  constexpr int RGBA = 4;
  const int w = image.width;
  const int h = image.height;
  unsigned char* pixels = image.pixels.data();
  const std::size_t rowBytes = static_cast<std::size_t>(w) * RGBA;
  // Opaque pixels and the sum of their red in rows y - 1, y and y + 1 of each column.
  std::vector<int> columnCount(static_cast<std::size_t>(w));
  std::vector<int> columnRed(static_cast<std::size_t>(w));
  for (int y = 0; y < h; ++y) {
    unsigned char* row = pixels + static_cast<std::size_t>(y) * rowBytes;
    bool anyTransparent = false;
    for (int x = 0; x < w && !anyTransparent; ++x) anyTransparent = row[x * RGBA + 3] == 0;
    if (!anyTransparent) continue;
    const unsigned char* rows[3] = {pixels + static_cast<std::size_t>(Wrap(y - 1, h)) * rowBytes,
                                    row,
                                    pixels + static_cast<std::size_t>(Wrap(y + 1, h)) * rowBytes};
    for (int x = 0; x < w; ++x) {
      int count = 0;
      int red = 0;
      for (const unsigned char* r : rows) {
        const unsigned char* p = r + x * RGBA;
        if (p[3] != 0) {
          ++count;
          red += p[0];
        }
      }
      columnCount[x] = count;
      columnRed[x] = red;
    }
    for (int x = 0; x < w; ++x) {
      unsigned char* pixel = row + x * RGBA;
      if (pixel[3] != 0) continue;
      const int left = Wrap(x - 1, w);
      const int right = Wrap(x + 1, w);
      const int count = columnCount[left] + columnCount[x] + columnCount[right];
      if (count > 0) {
        const int sum = columnRed[left] + columnRed[x] + columnRed[right];
        // Rounds to nearest with halves going up: 10.5 gives 11, 10.33 gives 10.
        const double average = static_cast<double>(sum) / count;
        const auto value = static_cast<unsigned char>(std::floor(average - 0.5) + 1);
        pixel[0] = value;
        pixel[1] = value;
        pixel[2] = value;
      }
    }
  }
}
