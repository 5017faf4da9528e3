#pragma once

#include <png.h>

#include <cstdio>
#include <string>

#include "render/texture.h"

// No image side may exceed this; larger images are refused while the header is
// read, before any pixel memory is taken. It also keeps every buffer size
// (width x height x 4) within an int, as OpenGL and GLU count them.
constexpr int MAX_IMAGE_SIDE = 16384;
static_assert(MAX_IMAGE_SIDE <= 2147483647 / MAX_IMAGE_SIDE / 4, "pixel buffers overflow an int");

// The library's read structure and image information for one PNG; both are
// released when this goes out of scope or on Reset.
struct PngReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;

  PngReadState() = default;
  PngReadState(const PngReadState&) = delete;
  PngReadState& operator=(const PngReadState&) = delete;
  ~PngReadState() { Reset(); }
  void Reset();
};

// Game paths are written with backslashes ("graphics\blob\body.png"); this turns
// them into the host's separators. The game's strings stay as they are.
std::string NativePath(const char* gamePath);

// Reads the whole PNG at path with no transformations: state then holds the
// width, height, bit layout and the decoded rows. False when the file cannot be
// opened or the library rejects it; the file is always closed.
bool ReadPngFile(const char* path, PngReadState& state);

// As ReadPngFile, from a stream the caller opened and closes.
bool ReadPngStream(std::FILE* file, PngReadState& state);

// Converts decoded rows into a bottom-up RGB or RGBA buffer, by bits per pixel
// alone (24 or 32; anything else is refused), and fills transparent pixels.
bool ConvertPngImage(const PngReadState& state, DecodedImage& out);

// Decodes a PNG from a stream the caller opened; LoadPngImage for a path.
bool DecodePngStream(std::FILE* file, DecodedImage& out);

// Gives each fully transparent pixel of a 4-byte image the rounded average red
// of its opaque neighbours (edges wrap around) in red, green and blue, so
// filtering at a sprite's outline blends toward its own colour rather than
// toward whatever the painter left in the transparent area.
void FillTransparentPixels(DecodedImage& image);
