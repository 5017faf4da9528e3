#pragma once

#include <vector>

// A decoded PNG, rows bottom-up so that texture coordinate v = 0 is the image's
// bottom edge; 3 bytes a pixel (RGB) or 4 (RGBA).
struct DecodedImage {
  std::vector<unsigned char> pixels;
  unsigned int format = 0;          // GL_RGB or GL_RGBA
  unsigned int internalFormat = 0;  // GL_RGB8 or GL_RGBA8
  int width = 0;
  int height = 0;
};

// Decodes the PNG at path (backslash separators allowed). Only 24- and 32-bit
// pixels are accepted; transparent pixels of an RGBA image take their
// neighbours' colour so filtering does not bleed dark fringes.
bool LoadPngImage(const char* path, DecodedImage& out);

// A reference-counted handle to one OpenGL texture, copied by value. The last
// handle to let go deletes the texture.
class CTexture {
 public:
  CTexture() = default;
  CTexture(const CTexture& other);
  CTexture& operator=(const CTexture& other);
  ~CTexture();

  void Release();
  // mipLevels -1 lets GLU build every level; 0 or more builds that many levels by hand.
  bool Load(const char* path, bool repeatS, bool repeatT, int mipLevels);
  void Bind() const;

  // The OpenGL texture name, 0 for an empty handle.
  unsigned int Name() const;

 private:
  struct Record {
    unsigned int name = 0;
    int count = 0;
  };
  Record* record = nullptr;
};
