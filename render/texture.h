#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/render_vertex.h"

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

// The part of an image that can show, in texture coordinates: outside it every
// mipmap level the image has holds only fully transparent texels within reach
// of the filter, so a blended quad cut down to it draws the same pixels while
// shading fewer.
struct ArtExtent {
  double u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  bool Whole() const { return u0 <= 0 && v0 <= 0 && u1 >= 1 && v1 >= 1; }
};

// The visible extent of an image whose levels 0 to highestLevel were each scaled
// from the full image (-1: GLU's levels down to 1 x 1, which leave nothing out).
// A repeating axis wraps the filter round the edge and is kept whole.
ArtExtent VisibleArtExtent(const DecodedImage& image, int highestLevel, bool repeatS, bool repeatT);

// Cuts a quad whose corners carry the image's four corners (u and v each 0 or 1,
// in any order) down to the art's extent: the same texels fall on the same
// points of a flat quad, the transparent margin is left out. Any other quad is
// left as it is.
void TrimQuadToArt(const ArtExtent& art, RenderVertex& v0, RenderVertex& v1, RenderVertex& v2,
                   RenderVertex& v3);

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
  // As Load, but the image is read only when it is first needed (bound, or its
  // extent asked for) or when LoadPending reaches it, whichever comes first: an
  // image that the first frame does not show need not hold it up.
  void LoadLater(const char* path, bool repeatS, bool repeatT, int mipLevels);
  // Reads the oldest image still waiting from LoadLater; false when none waits.
  static bool LoadPending();
  void Bind() const;

  // The OpenGL texture name, 0 for an empty handle.
  unsigned int Name() const;
  // Where the loaded image can show; the whole image when none is loaded.
  ArtExtent Extent() const;

 private:
  struct Record {
    unsigned int name = 0;
    int count = 0;
    ArtExtent extent;
    // An image noted by LoadLater and not read yet.
    bool waiting = false;
    std::string path;
    bool repeatS = false, repeatT = false;
    int mipLevels = 0;
  };
  static bool Read(Record& record, const char* path, bool repeatS, bool repeatT, int mipLevels);
  static void ReadWaiting(Record& record);
  // The records noted by LoadLater that are still to be read, oldest first.
  static std::deque<Record*>& Waiting();
  Record* record = nullptr;
};
