#include "render/png_decoder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

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

// A damaged image is refused without a word: the library's error return (the
// jump back to ReadPngStream) is kept, only its messages on standard error go.
[[noreturn]] void SilentError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

bool DecodeState(PngReadState& state, DecodedImage& out) {
  const bool ok = ConvertPngImage(state, out);
  state.Reset();
  return ok;
}
}  // namespace

void PngReadState::Reset() {
  if (png != nullptr) {
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  }
  png = nullptr;
  info = nullptr;
}

std::string NativePath(const char* gamePath) {
  std::string native(gamePath);
#ifndef _WIN32
  std::replace(native.begin(), native.end(), '\\', '/');
#endif
  return native;
}

// Only plain data lives in this frame: the library's error return jumps back
// to the setjmp below, which must skip no destructor.
bool ReadPngStream(std::FILE* file, PngReadState& state) {
  state.Reset();
  state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
  if (state.png == nullptr) {
    return false;
  }
  state.info = png_create_info_struct(state.png);
  if (state.info == nullptr) {
    state.Reset();
    return false;
  }
  if (setjmp(png_jmpbuf(state.png))) {
    state.Reset();
    return false;
  }
  png_set_user_limits(state.png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
  png_init_io(state.png, file);
  png_set_sig_bytes(state.png, 0);
  png_read_png(state.png, state.info, PNG_TRANSFORM_IDENTITY, nullptr);
  return true;
}

bool ReadPngFile(const char* path, PngReadState& state) {
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (file == nullptr) {
    return false;
  }
  const bool ok = ReadPngStream(file, state);
  std::fclose(file);
  return ok;
}

bool ConvertPngImage(const PngReadState& state, DecodedImage& out) {
  const png_uint_32 width = png_get_image_width(state.png, state.info);
  const png_uint_32 height = png_get_image_height(state.png, state.info);
  const int bits =
      png_get_bit_depth(state.png, state.info) * png_get_channels(state.png, state.info);
  if (bits != RGB_BITS && bits != RGBA_BITS) {
    return false;
  }
  if (width == 0 || height == 0 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE) {
    return false;
  }
  // Both sides are at most MAX_IMAGE_SIDE, so these products cannot overflow.
  const std::size_t rowSize = static_cast<std::size_t>(width) * static_cast<std::size_t>(bits / 8);
  const std::size_t size = rowSize * height;
  png_bytepp rows = png_get_rows(state.png, state.info);
  if (rows == nullptr || png_get_rowbytes(state.png, state.info) < rowSize) {
    return false;
  }
  try {
    out.pixels.assign(size, 0);
  } catch (const std::bad_alloc&) {
    out.pixels.clear();
    return false;
  }
  // Bottom-up, so texture coordinate v = 0 is the image's bottom edge.
  for (png_uint_32 i = 0; i < height; ++i) {
    std::memcpy(out.pixels.data() + i * rowSize, rows[height - 1 - i], rowSize);
  }
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  if (bits == RGB_BITS) {
    out.format = GL_RGB;
    out.internalFormat = GL_RGB8;
  } else {
    out.format = GL_RGBA;
    out.internalFormat = GL_RGBA8;
    FillTransparentPixels(out);
  }
  return true;
}

bool DecodePngStream(std::FILE* file, DecodedImage& out) {
  PngReadState state;
  return ReadPngStream(file, state) && DecodeState(state, out);
}

bool LoadPngImage(const char* path, DecodedImage& out) {
  PngReadState state;
  return ReadPngFile(path, state) && DecodeState(state, out);
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
