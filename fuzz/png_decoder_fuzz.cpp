// Feeds arbitrary bytes to the PNG decoder, as an image file on disk would
// reach it. Whatever the bytes, decoding must not crash, leak or touch memory
// it does not own, and an accepted image must be self-consistent.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "render/png_decoder.h"

namespace {
// GL_RGB and GL_RGBA, without pulling OpenGL into the fuzzer.
constexpr unsigned int FORMAT_RGB = 0x1907;
constexpr unsigned int FORMAT_RGBA = 0x1908;

void CheckImage(const DecodedImage& image) {
  const std::size_t bytesPerPixel = image.format == FORMAT_RGB ? 3 : 4;
  const bool consistent =
      (image.format == FORMAT_RGB || image.format == FORMAT_RGBA) && image.width > 0 &&
      image.height > 0 && image.width <= MAX_IMAGE_SIDE && image.height <= MAX_IMAGE_SIDE &&
      image.pixels.size() == static_cast<std::size_t>(image.width) *
                                 static_cast<std::size_t>(image.height) * bytesPerPixel;
  if (!consistent) {
    __builtin_trap();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (file == nullptr) {
    return 0;
  }
  DecodedImage image;
  if (DecodePngStream(file, image)) {
    CheckImage(image);
  }
  std::fclose(file);
  return 0;
}
