#include <GL/gl.h>
// OpenGL 1.2's names (clamping to the edge, the highest mipmap level): Windows'
// gl.h stops at 1.1.
#include <GL/glext.h>
#include <GL/glu.h>

#include <vector>

#include "render/texture_upload.h"

namespace {
// The decoder's rows are tightly packed, whatever their width; OpenGL's default
// 4-byte row alignment would read (and GLU write) past the end of an RGB image
// whose rows are not a multiple of four bytes long.
constexpr GLint PACKED_ROWS = 1;

// Builds levels 1 to mipLevels (fewer when the image reaches 1 x 1 first), each
// scaled from the full image so no level inherits another's blur; returns the
// highest level uploaded.
int UploadScaledLevels(const DecodedImage& image, int mipLevels) {
  // Every level is at most half the full image, so one buffer of half its size
  // serves them all.
  std::vector<unsigned char> scratch(image.pixels.size() / 2);
  int w = image.width;
  int h = image.height;
  int level = 0;
  while (level < mipLevels && (w > 1 || h > 1)) {
    if (w > 1) {
      w /= 2;
    }
    if (h > 1) {
      h /= 2;
    }
    if (gluScaleImage(image.format, image.width, image.height, GL_UNSIGNED_BYTE,
                      image.pixels.data(), w, h, GL_UNSIGNED_BYTE, scratch.data()) != 0) {
      break;
    }
    ++level;
    glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(image.internalFormat), w, h, 0,
                 image.format, GL_UNSIGNED_BYTE, scratch.data());
  }
  return level;
}

// Uploads the image with its levels; returns the highest level built by hand,
// -1 when GLU built them.
int UploadImage(const DecodedImage& image, int mipLevels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, PACKED_ROWS);
  glPixelStorei(GL_PACK_ALIGNMENT, PACKED_ROWS);
  if (mipLevels < 0) {
    // GLU rescales sides that are not powers of two and builds every level.
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(image.internalFormat), image.width,
                      image.height, image.format, GL_UNSIGNED_BYTE, image.pixels.data());
    return -1;
  }
  // Uploaded unscaled: images loaded this way have power-of-two sides.
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.internalFormat), image.width,
               image.height, 0, image.format, GL_UNSIGNED_BYTE, image.pixels.data());
  const int highest = UploadScaledLevels(image, mipLevels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, highest);
  return highest;
}
}  // namespace

int UploadTextureImage(unsigned int, const DecodedImage& image, bool repeatS, bool repeatT,
                       int mipLevels) {
  const int highest = UploadImage(image, mipLevels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, repeatS ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, repeatT ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  return highest;
}

// OpenGL 1 ignores a texture with no image: drawing with it is untextured already.
void UploadMissingImage(unsigned int) {}

void BindTexture(unsigned int name) {
  glBindTexture(GL_TEXTURE_2D, name);
}

// OpenGL 1 stops at the highest level itself.
const TextureLevelLimit& BoundTextureLevelLimit() {
  static const TextureLevelLimit none;
  return none;
}
