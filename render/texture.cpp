#include "render/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "render/png_decoder.h"

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

void UploadImage(const DecodedImage& image, int mipLevels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, PACKED_ROWS);
  glPixelStorei(GL_PACK_ALIGNMENT, PACKED_ROWS);
  if (mipLevels < 0) {
    // GLU rescales sides that are not powers of two and builds every level.
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(image.internalFormat), image.width,
                      image.height, image.format, GL_UNSIGNED_BYTE, image.pixels.data());
    return;
  }
  // Uploaded unscaled: images loaded this way have power-of-two sides.
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.internalFormat), image.width,
               image.height, 0, image.format, GL_UNSIGNED_BYTE, image.pixels.data());
  const int highest = UploadScaledLevels(image, mipLevels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, highest);
}
}  // namespace

CTexture::CTexture(const CTexture& other) : record(other.record) {
  if (record != nullptr) {
    ++record->count;
  }
}

CTexture& CTexture::operator=(const CTexture& other) {
  if (&other == this) {
    return *this;
  }
  Release();
  record = other.record;
  if (record != nullptr) {
    ++record->count;
  }
  return *this;
}

CTexture::~CTexture() {
  Release();
}

void CTexture::Release() {
  if (record == nullptr) {
    return;
  }
  if (--record->count == 0) {
    glDeleteTextures(1, &record->name);
    delete record;
  }
  record = nullptr;
}

bool CTexture::Load(const char* path, bool repeatS, bool repeatT, int mipLevels) {
  Release();
  // The handle keeps this name even if the image fails: drawing with it is then
  // plain untextured drawing, since OpenGL ignores a texture with no image.
  record = new Record;
  record->count = 1;
  glGenTextures(1, &record->name);

  DecodedImage image;
  if (!LoadPngImage(path, image)) {
    return false;
  }
  glBindTexture(GL_TEXTURE_2D, record->name);
  UploadImage(image, mipLevels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, repeatS ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, repeatT ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  return true;
}

void CTexture::Bind() const {
  // An empty handle binds no texture at all, which draws untextured.
  glBindTexture(GL_TEXTURE_2D, Name());
}

unsigned int CTexture::Name() const {
  return record != nullptr ? record->name : 0;
}
