#pragma once

#include "render/texture.h"

// How a decoded image becomes the bound texture's levels on this build's graphics
// API: OpenGL 1.2 with GLU on the desktop, OpenGL ES 2 (WebGL 1) in the browser.
// CMake builds one of the files that define these.

// Uploads the image into texture `name`, which is bound, with its mipmap levels
// (mipLevels as CTexture::Load takes it) and sets its filters and wrapping.
// Returns the highest level, every level up to it scaled from the full image, or
// -1 when the levels were halved one from the next down to 1 x 1.
int UploadTextureImage(unsigned int name, const DecodedImage& image, bool repeatS, bool repeatT,
                       int mipLevels);

// Makes texture `name`, whose image failed to load, draw as untextured drawing in
// the current colour.
void UploadMissingImage(unsigned int name);

// Binds texture `name` (0: none) for drawing.
void BindTexture(unsigned int name);

// Where the bound texture's sampling must stop going down its mipmap chain, for a
// renderer that cannot tell OpenGL (OpenGL ES 2 has no highest level): its size,
// and the highest level the image asked for (a large number for no limit).
struct TextureLevelLimit {
  float width = 1, height = 1;
  float highestLevel = 1000;
};
const TextureLevelLimit& BoundTextureLevelLimit();
