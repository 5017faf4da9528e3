// PNG decoding through libpng, for every platform but Windows.
#include <png.h>

#include "render/png_decoder.h"

namespace {
// The library's read structure and image information for one PNG; both are
// released when this goes out of scope or on Reset.
struct PngReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;

  PngReadState() = default;
  PngReadState(const PngReadState&) = delete;
  PngReadState& operator=(const PngReadState&) = delete;
  ~PngReadState() { Reset(); }
  void Reset() {
    if (png != nullptr) {
      png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    }
    png = nullptr;
    info = nullptr;
  }
};

// A damaged image is refused without a word: the library's error return (the
// jump back to ReadPngStream) is kept, only its messages on standard error go.
[[noreturn]] void SilentError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

// Reads the whole PNG with no transformations: state then holds the width,
// height, bit layout and the decoded rows. False when the library rejects it.
// Only plain data lives in this frame: the library's error return jumps back to
// the setjmp below, which must skip no destructor.
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

bool StoreDecodedRows(const PngReadState& state, DecodedImage& out) {
  const png_uint_32 width = png_get_image_width(state.png, state.info);
  const png_uint_32 height = png_get_image_height(state.png, state.info);
  const int bits = StoredBitsPerPixel(png_get_bit_depth(state.png, state.info),
                                      png_get_color_type(state.png, state.info));
  png_bytepp rows = png_get_rows(state.png, state.info);
  if (rows == nullptr || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE ||
      png_get_rowbytes(state.png, state.info) < static_cast<std::size_t>(width) * bits / 8) {
    return false;
  }
  return StorePngRows(rows, static_cast<int>(width), static_cast<int>(height), bits, out);
}
}  // namespace

bool DecodePngStream(std::FILE* file, DecodedImage& out) {
  PngReadState state;
  return ReadPngStream(file, state) && StoreDecodedRows(state, out);
}
