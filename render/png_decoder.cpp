#include "render/png_decoder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

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

void FillTransparentPixels(DecodedImage& image) {
  constexpr int RGBA = 4;
  const int w = image.width;
  const int h = image.height;
  unsigned char* pixels = image.pixels.data();
  auto at = [&](int x, int y) {
    return pixels + (static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                     static_cast<std::size_t>(x)) *
                        RGBA;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      unsigned char* pixel = at(x, y);
      if (pixel[3] != 0) {
        continue;
      }
      int sum = 0;
      int count = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const unsigned char* neighbour = at(Wrap(x + dx, w), Wrap(y + dy, h));
          if (neighbour[3] != 0) {
            sum += neighbour[0];
            ++count;
          }
        }
      }
      if (count > 0) {
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
