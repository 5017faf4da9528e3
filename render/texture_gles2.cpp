#include <GLES2/gl2.h>

#include <algorithm>
#include <vector>

#include "render/image_scale.h"
#include "render/texture_upload.h"

namespace {
// The decoder's rows are tightly packed, whatever their width.
constexpr GLint PACKED_ROWS = 1;

bool PowerOfTwo(int n) {
  return n > 0 && (n & (n - 1)) == 0;
}

int BytesPerPixel(const DecodedImage& image) {
  return image.format == GL_RGBA ? 4 : 3;
}

// The number of halvings from the image down to 1 x 1.
int FullChain(int width, int height) {
  int levels = 0;
  for (int side = std::max(width, height); side > 1; side /= 2) ++levels;
  return levels;
}

void Upload(const DecodedImage& image, int level, int w, int h, const unsigned char* pixels) {
  // OpenGL ES takes the format itself as the internal format.
  glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(image.format), w, h, 0, image.format,
               GL_UNSIGNED_BYTE, pixels);
}

// Every level down to 1 x 1 halved from the one before, as GLU builds a full chain.
void UploadHalvedLevels(const DecodedImage& image) {
  const int components = BytesPerPixel(image);
  std::vector<unsigned char> from(image.pixels), to(image.pixels.size() / 2 + components);
  int w = image.width, h = image.height;
  for (int level = 1; w > 1 || h > 1; ++level) {
    HalveImage(components, w, h, from.data(), to.data());
    w = std::max(1, w / 2);
    h = std::max(1, h / 2);
    Upload(image, level, w, h, to.data());
    from.swap(to);
  }
}

// Levels 1 to the end of the chain each scaled from the full image. OpenGL ES
// cannot stop a chain early, so the levels past mipLevels are made the same way:
// they show only where the picture is smaller than the last level asked for.
void UploadScaledLevels(const DecodedImage& image) {
  const int components = BytesPerPixel(image);
  std::vector<unsigned char> scratch(image.pixels.size() / 2 + components);
  int w = image.width, h = image.height;
  for (int level = 1; w > 1 || h > 1; ++level) {
    w = std::max(1, w / 2);
    h = std::max(1, h / 2);
    ScaleImage(components, image.width, image.height, image.pixels.data(), w, h, scratch.data());
    Upload(image, level, w, h, scratch.data());
  }
}

// Each texture's limit, by name (names are small numbers).
std::vector<TextureLevelLimit>& Limits() {
  static std::vector<TextureLevelLimit> limits;
  return limits;
}

TextureLevelLimit& Bound() {
  static TextureLevelLimit limit;
  return limit;
}

void NoteLimit(unsigned int name, const TextureLevelLimit& limit) {
  std::vector<TextureLevelLimit>& limits = Limits();
  if (name >= limits.size()) limits.resize(name + 1);
  limits[name] = limit;
}

void SetFilters(GLint minFilter, GLint wrapS, GLint wrapT) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
}
}  // namespace

int UploadTextureImage(unsigned int name, const DecodedImage& image, bool repeatS, bool repeatT,
                       int mipLevels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, PACKED_ROWS);
  TextureLevelLimit limit;
  limit.width = static_cast<float>(image.width);
  limit.height = static_cast<float>(image.height);
  if (mipLevels >= 0) limit.highestLevel = static_cast<float>(mipLevels);
  NoteLimit(name, limit);
  Bound() = limit;
  Upload(image, 0, image.width, image.height, image.pixels.data());
  if (!PowerOfTwo(image.width) || !PowerOfTwo(image.height)) {
    // WebGL 1 neither mipmaps nor repeats a texture whose sides are not powers of
    // two: it is drawn from its one level, clamped.
    SetFilters(GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
    return 0;
  }
  const GLint wrapS = repeatS ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  const GLint wrapT = repeatT ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  if (mipLevels == 0) {
    // Level 0 alone samples exactly as a chain stopped at level 0.
    SetFilters(GL_LINEAR, wrapS, wrapT);
    return 0;
  }
  SetFilters(GL_LINEAR_MIPMAP_LINEAR, wrapS, wrapT);
  if (mipLevels < 0) {
    UploadHalvedLevels(image);
    return -1;
  }
  UploadScaledLevels(image);
  return FullChain(image.width, image.height);
}

// OpenGL ES samples a texture with no image as black: one white texel instead
// leaves the current colour as it is, as untextured drawing does.
void UploadMissingImage(unsigned int name) {
  NoteLimit(name, TextureLevelLimit());
  Bound() = TextureLevelLimit();
  const unsigned char white[4] = {255, 255, 255, 255};
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, PACKED_ROWS);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  SetFilters(GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE);
}

void BindTexture(unsigned int name) {
  glBindTexture(GL_TEXTURE_2D, name);
  const std::vector<TextureLevelLimit>& limits = Limits();
  Bound() = name < limits.size() ? limits[name] : TextureLevelLimit();
}

const TextureLevelLimit& BoundTextureLevelLimit() {
  return Bound();
}
