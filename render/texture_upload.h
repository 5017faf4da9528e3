#pragma once

#include "render/texture.h"

// How a decoded image becomes the bound texture's levels on this build's graphics
// API: OpenGL 1.2 with GLU on the desktop, OpenGL ES 2 (WebGL 1) in the browser.
// CMake builds one of the files that define these.

// Uploads the image into the bound texture with its mipmap levels (mipLevels as
// CTexture::Load takes it) and sets its filters and wrapping. Returns the highest
// level, every level up to it scaled from the full image, or -1 when the levels
// were halved one from the next down to 1 x 1.
int UploadTextureImage(const DecodedImage& image, bool repeatS, bool repeatT, int mipLevels);

// Makes texture `name`, whose image failed to load, draw as untextured drawing in
// the current colour.
void UploadMissingImage(unsigned int name);
