#pragma once

#include <cstdio>
#include <string>

#include "render/texture.h"

// No image side may exceed this; larger images are refused while the header is
// read, before any pixel memory is taken. It also keeps every buffer size
// (width x height x 4) within an int, as OpenGL and GLU count them.
constexpr int MAX_IMAGE_SIDE = 16384;
static_assert(MAX_IMAGE_SIDE <= 2147483647 / MAX_IMAGE_SIDE / 4, "pixel buffers overflow an int");

// Game paths are written with backslashes ("graphics\blob\body.png"); this turns
// them into the host's separators. The game's strings stay as they are.
std::string NativePath(const char* gamePath);

// Decodes a PNG from a stream the caller opened (LoadPngImage for a path): the
// whole image as the file stores it, with no transformation, no gamma and no
// colour management, then StorePngRows. False, without a word, for a damaged
// file. Each platform has its own, on the image library it comes with:
// png_decoder_libpng.cpp, png_decoder_wic.cpp.
bool DecodePngStream(std::FILE* file, DecodedImage& out);

// Bits a pixel as a PNG stores it: the bit depth times the channels of the colour
// type (grey 1, RGB 3, palette 1, grey and alpha 2, RGBA 4); 0 for a colour type
// that PNG does not have.
int StoredBitsPerPixel(int bitDepth, int colourType);

// Takes an image's rows, top row first, each width pixels of bitsPerPixel / 8 bytes
// as the file stores them, into out bottom-up, so texture coordinate v = 0 is the
// image's bottom edge. The bytes are taken as they stand by their count alone: 24
// bits is RGB, 32 is RGBA (a 16-bit grey image with alpha too), and transparent
// pixels are filled. Any other bits per pixel, and an empty or oversized image,
// are refused.
bool StorePngRows(const unsigned char* const* rows, int width, int height, int bitsPerPixel,
                  DecodedImage& out);

// Gives each fully transparent pixel of a 4-byte image the rounded average red
// of its opaque neighbours (edges wrap around) in red, green and blue, so
// filtering at a sprite's outline blends toward its own colour rather than
// toward whatever the painter left in the transparent area.
void FillTransparentPixels(DecodedImage& image);
