#include "render/texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "render/image_prefetch.h"
#include "render/png_decoder.h"
#include "render/texture_upload.h"

namespace {
// The bounding box of the texels with any opacity: columns x0..x1, rows y0..y1
// (rows as in the decoded buffer, bottom-up); false when there is none.
bool OpaqueBox(const DecodedImage& image, int& x0, int& y0, int& x1, int& y1) {
  constexpr int RGBA_BYTES = 4;
  x0 = image.width;
  y0 = image.height;
  x1 = y1 = -1;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const size_t alpha = (static_cast<size_t>(y) * image.width + x) * RGBA_BYTES + 3;
      if (image.pixels[alpha] == 0) continue;
      x0 = std::min(x0, x);
      x1 = std::max(x1, x);
      y0 = std::min(y0, y);
      y1 = std::max(y1, y);
    }
  return x1 >= 0;
}

// Along one axis of `size` texels with opacity from `first` to `last`: the
// texture coordinates where some level's bilinear filter reaches an opaque
// texel. A level-L texel averages the `size / sizeL` full-size texels under it
// (one more each side is allowed for the scaler's rounding); a sample reaches
// the texels within half a texel of it, and one beyond.
bool AxisExtent(int size, int first, int last, int highestLevel, double& from, double& to) {
  from = 1;
  to = 0;
  for (int level = 0; level <= highestLevel; ++level) {
    const int levelSize = std::max(1, size >> level);
    if (size % levelSize != 0) return false;
    const int texels = size / levelSize;
    const int a = std::max(0, (first - 1) / texels);
    const int b = std::min(levelSize - 1, (last + 1) / texels);
    from = std::min(from, (a - 0.5) / levelSize);
    to = std::max(to, (b + 1.5) / levelSize);
  }
  from = std::max(0.0, from);
  to = std::min(1.0, to);
  return true;
}

// The image at path, from the shared prefetch when it was read ahead there.
bool DecodeImage(const char* path, DecodedImage& image) {
  bool decoded = false;
  if (CImagePrefetch::Shared().Take(path, image, decoded)) return decoded;
  return LoadPngImage(path, image);
}

}  // namespace

ArtExtent VisibleArtExtent(const DecodedImage& image, int highestLevel, bool repeatS,
                           bool repeatT) {
  const ArtExtent whole;
  int x0, y0, x1, y1;
  if (image.format != GL_RGBA || highestLevel < 0 || !OpaqueBox(image, x0, y0, x1, y1))
    return whole;
  ArtExtent art;
  if (!AxisExtent(image.width, x0, x1, highestLevel, art.u0, art.u1) ||
      !AxisExtent(image.height, y0, y1, highestLevel, art.v0, art.v1))
    return whole;
  if (repeatS) art.u0 = 0, art.u1 = 1;
  if (repeatT) art.v0 = 0, art.v1 = 1;
  return art;
}

void TrimQuadToArt(const ArtExtent& art, RenderVertex& v0, RenderVertex& v1, RenderVertex& v2,
                   RenderVertex& v3) {
  if (art.Whole()) return;
  RenderVertex* corners[4] = {&v0, &v1, &v2, &v3};
  // corner[u][v]: the corner that carries the image's corner (u, v).
  const RenderVertex* corner[2][2] = {};
  for (const RenderVertex* c : corners) {
    const bool uEdge = c->u == 0 || c->u == 1, vEdge = c->v == 0 || c->v == 1;
    if (!uEdge || !vEdge) return;
    const RenderVertex*& slot = corner[static_cast<int>(c->u)][static_cast<int>(c->v)];
    if (slot) return;
    slot = c;
  }
  RenderVertex trimmed[4];
  for (int i = 0; i < 4; ++i) {
    const double s = corners[i]->u == 1 ? art.u1 : art.u0;
    const double t = corners[i]->v == 1 ? art.v1 : art.v0;
    const double w00 = (1 - s) * (1 - t), w10 = s * (1 - t), w11 = s * t, w01 = (1 - s) * t;
    RenderVertex& p = trimmed[i];
    p = *corners[i];
    p.x = w00 * corner[0][0]->x + w10 * corner[1][0]->x + w11 * corner[1][1]->x +
          w01 * corner[0][1]->x;
    p.y = w00 * corner[0][0]->y + w10 * corner[1][0]->y + w11 * corner[1][1]->y +
          w01 * corner[0][1]->y;
    p.z = w00 * corner[0][0]->z + w10 * corner[1][0]->z + w11 * corner[1][1]->z +
          w01 * corner[0][1]->z;
    p.u = s;
    p.v = t;
  }
  for (int i = 0; i < 4; ++i) *corners[i] = trimmed[i];
}

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

std::deque<CTexture::Record*>& CTexture::Waiting() {
  static std::deque<Record*> waiting;
  return waiting;
}

void CTexture::Release() {
  if (record == nullptr) {
    return;
  }
  if (--record->count == 0) {
    if (record->waiting) {
      std::deque<Record*>& waiting = Waiting();
      waiting.erase(std::find(waiting.begin(), waiting.end(), record));
    }
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
  return Read(*record, path, repeatS, repeatT, mipLevels);
}

void CTexture::LoadLater(const char* path, bool repeatS, bool repeatT, int mipLevels) {
  Release();
  record = new Record;
  record->count = 1;
  glGenTextures(1, &record->name);
  record->waiting = true;
  record->path = path;
  record->repeatS = repeatS;
  record->repeatT = repeatT;
  record->mipLevels = mipLevels;
  Waiting().push_back(record);
}

bool CTexture::LoadPending() {
  std::deque<Record*>& waiting = Waiting();
  if (waiting.empty()) return false;
  ReadWaiting(*waiting.front());
  return true;
}

void CTexture::ReadWaiting(Record& waitingRecord) {
  std::deque<Record*>& waiting = Waiting();
  waiting.erase(std::find(waiting.begin(), waiting.end(), &waitingRecord));
  waitingRecord.waiting = false;
  std::string path;
  path.swap(waitingRecord.path);
  Read(waitingRecord, path.c_str(), waitingRecord.repeatS, waitingRecord.repeatT,
       waitingRecord.mipLevels);
}

bool CTexture::Read(Record& record, const char* path, bool repeatS, bool repeatT, int mipLevels) {
  DecodedImage image;
  if (!DecodeImage(path, image)) {
    UploadMissingImage(record.name);
    return false;
  }
  glBindTexture(GL_TEXTURE_2D, record.name);
  record.extent = VisibleArtExtent(
      image, UploadTextureImage(record.name, image, repeatS, repeatT, mipLevels), repeatS, repeatT);
  return true;
}

void CTexture::Bind() const {
  if (record != nullptr && record->waiting) ReadWaiting(*record);
  // An empty handle binds no texture at all, which draws untextured.
  BindTexture(Name());
}

unsigned int CTexture::Name() const {
  return record != nullptr ? record->name : 0;
}

ArtExtent CTexture::Extent() const {
  if (record != nullptr && record->waiting) ReadWaiting(*record);
  return record != nullptr ? record->extent : ArtExtent();
}
