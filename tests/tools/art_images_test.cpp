// Every image the game loads: present, decodable by the game's loader as 8-bit
// RGB or RGBA, shaped for the quads that draw it, and laid out the way the
// drawing code samples it. Run from the build folder, where the build writes
// the images into graphics/.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/texture.h"

namespace {

constexpr unsigned kRgb = 0x1907;   // GL_RGB
constexpr unsigned kRgba = 0x1908;  // GL_RGBA

// The images as the game names them, with the mipmap levels it asks for and
// the width : height of the quads that show them.
struct GameImage {
  const char* path;
  int mipLevels;
  int aspectWidth;
  int aspectHeight;
};

const GameImage kGameImages[] = {
    {"graphics\\interface\\title.png", -1, 2, 1},
    {"graphics\\interface\\complete.png", -1, 4, 1},
    {"graphics\\interface\\moraletext.png", -1, 4, 1},
    {"graphics\\interface\\blobstext.png", -1, 4, 1},
    {"graphics\\interface\\scoretext.png", -1, 4, 1},
    {"graphics\\interface\\moralebarborder.png", -1, 1, 1},
    {"graphics\\interface\\moralebar.png", -1, 1, 1},
    {"graphics\\interface\\digits.png", -1, 8, 1},
    {"graphics\\interface\\hand.png", -1, 1, 1},
    {"graphics\\grass.png", -1, 1, 1},
    {"graphics\\dirtwall.png", -1, 1, 4},
    {"graphics\\grassedge.png", 2, 4, 1},
    {"graphics\\fence.png", 1, 2, 1},
    {"graphics\\flower.png", 2, 1, 1},
    {"graphics\\dot.png", 2, 1, 1},
    {"graphics\\target.png", 2, 1, 1},
    {"graphics\\targetoff.png", 2, 1, 1},
    {"graphics\\cracks.png", 1, 1, 1},
    {"graphics\\grassFringe0.png", 1, 2, 1},
    {"graphics\\grassFringe1.png", 1, 2, 1},
    {"graphics\\grassFringe2.png", 1, 2, 1},
    {"graphics\\particles\\fire0.png", -1, 1, 1},
    {"graphics\\particles\\fire1.png", -1, 1, 1},
    {"graphics\\particles\\fire2.png", -1, 1, 1},
    {"graphics\\particles\\fire3.png", -1, 1, 1},
    {"graphics\\particles\\smoke.png", -1, 1, 1},
    {"graphics\\blob\\bg.png", 2, 1, 1},
    {"graphics\\blob\\outline.png", 2, 1, 1},
    {"graphics\\blob\\mouth0.png", 1, 1, 1},
    {"graphics\\blob\\mouth1.png", 1, 1, 1},
    {"graphics\\blob\\mouth2.png", 1, 1, 1},
    {"graphics\\blob\\mouth3.png", 1, 1, 1},
    {"graphics\\blob\\mouth4.png", 1, 1, 1},
    {"graphics\\blob\\mouth5.png", 1, 1, 1},
    {"graphics\\blob\\mouth6.png", 1, 1, 1},
    {"graphics\\blob\\eye0.png", 1, 1, 1},
    {"graphics\\blob\\eye1.png", 1, 1, 1},
    {"graphics\\blob\\eye2.png", 1, 1, 1},
    {"graphics\\blob\\eye3.png", 1, 1, 1},
    {"graphics\\blob\\eyedot.png", 1, 1, 1},
    {"graphics\\blob\\eyebrow.png", 1, 1, 1},
};

std::string DiskPath(const char* gamePath) {
  std::string path(gamePath);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Bit depth and colour type straight from the file's header chunk, which
// always starts at byte 16 of a PNG.
struct PngHeader {
  bool read = false;
  int bitDepth = 0;
  int colourType = 0;
};

PngHeader ReadHeader(const std::string& path) {
  PngHeader header;
  unsigned char bytes[26];
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return header;
  const bool whole = std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes;
  std::fclose(file);
  const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!whole || !std::equal(signature, signature + 8, bytes)) return header;
  header.read = std::string(reinterpret_cast<char*>(bytes + 12), 4) == "IHDR";
  header.bitDepth = bytes[24];
  header.colourType = bytes[25];
  return header;
}

bool IsPowerOfTwo(int n) {
  return n > 0 && (n & (n - 1)) == 0;
}

// A decoded image with pixel access by column and row counted from the top,
// as the artwork is laid out (the loader keeps rows bottom-up).
struct Image {
  DecodedImage decoded;
  int Channels() const { return decoded.format == kRgba ? 4 : 3; }
  const unsigned char* At(int x, int yFromTop) const {
    const int row = decoded.height - 1 - yFromTop;
    return &decoded.pixels[(static_cast<size_t>(row) * decoded.width + x) * Channels()];
  }
  int Alpha(int x, int y) const { return Channels() == 4 ? At(x, y)[3] : 255; }
};

Image Load(const char* gamePath) {
  Image image;
  EXPECT_TRUE(LoadPngImage(gamePath, image.decoded)) << gamePath;
  return image;
}

// Anything fainter than this (3 %) counts as empty.
constexpr int kVisibleAlpha = 8;

bool ColumnsEmpty(const Image& image, int from, int to) {
  for (int x = from; x < to; ++x)
    for (int y = 0; y < image.decoded.height; ++y)
      if (image.Alpha(x, y) >= kVisibleAlpha) return false;
  return true;
}

bool RowVisible(const Image& image, int y) {
  for (int x = 0; x < image.decoded.width; ++x)
    if (image.Alpha(x, y) >= kVisibleAlpha) return true;
  return false;
}

// Premultiplied difference of two pixels, summed over the channels.
int Difference(const Image& image, int x0, int y0, int x1, int y1) {
  const unsigned char* a = image.At(x0, y0);
  const unsigned char* b = image.At(x1, y1);
  int sum = 0;
  for (int c = 0; c < 3; ++c)
    sum += std::abs(a[c] * image.Alpha(x0, y0) - b[c] * image.Alpha(x1, y1)) / 255;
  if (image.Channels() == 4) sum += std::abs(a[3] - b[3]);
  return sum;
}

// A tile repeats without a seam when the step across its wrapping edge is no
// bigger than an ordinary step between neighbouring columns.
void ExpectSeamlessAcross(const Image& image, const char* name) {
  const int w = image.decoded.width, h = image.decoded.height;
  double seam = 0, inside = 0;
  for (int y = 0; y < h; ++y) {
    seam += Difference(image, w - 1, y, 0, y);
    for (int x = 1; x < w; ++x) inside += Difference(image, x - 1, y, x, y);
  }
  seam /= h;
  inside /= static_cast<double>(h) * (w - 1);
  EXPECT_LE(seam, inside * 2 + 1) << name << " shows a seam where it repeats across";
}

// Opaque tiles are RGB and sprites carry alpha; sides are powers of two where the
// mipmaps are built by hand, and every image has the shape of the quads that show it.
TEST(ArtImagesTest, EveryFileIsEightBitRgbOrRgbaShapedForItsQuads) {
  for (const GameImage& game : kGameImages) {
    const PngHeader header = ReadHeader(DiskPath(game.path));
    ASSERT_TRUE(header.read) << game.path << " is missing or not a PNG";
    EXPECT_EQ(header.bitDepth, 8) << game.path;
    const std::string path = game.path;
    const bool tile = path == "graphics\\grass.png" || path == "graphics\\dirtwall.png";
    EXPECT_EQ(header.colourType, tile ? 2 : 6) << game.path;

    const DecodedImage& d = Load(game.path).decoded;
    EXPECT_EQ(d.format, tile ? kRgb : kRgba) << game.path;
    EXPECT_EQ(d.width * game.aspectHeight, d.height * game.aspectWidth) << game.path;
    if (game.mipLevels >= 0) {
      EXPECT_TRUE(IsPowerOfTwo(d.width) && IsPowerOfTwo(d.height)) << game.path;
    }
  }
}

// The loader gives every fully transparent pixel next to a visible one the
// average red of its neighbours in all three channels; the images keep such
// pixels faintly non-zero so that never greys a coloured edge.
TEST(ArtImagesTest, NoClearPixelTouchesVisibleArtwork) {
  for (const GameImage& game : kGameImages) {
    const Image image = Load(game.path);
    if (image.Channels() != 4) continue;
    const int w = image.decoded.width, h = image.decoded.height;
    int touching = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (image.Alpha(x, y) != 0) continue;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if (image.Alpha((x + dx + w) % w, (y + dy + h) % h) >= kVisibleAlpha) ++touching;
      }
    }
    EXPECT_EQ(touching, 0) << game.path;
  }
}

TEST(ArtImagesTest, LabelsLeaveRoomForWhatIsDrawnOverThem) {
  // Numbers cover the right quarter of "Blobs" and "Score"; the morale bar's
  // frame starts 0.245 of the way into the 0.28-wide "Morale" label.
  for (const char* path :
       {"graphics\\interface\\blobstext.png", "graphics\\interface\\scoretext.png"}) {
    const Image label = Load(path);
    const int w = label.decoded.width;
    EXPECT_TRUE(ColumnsEmpty(label, w * 3 / 4, w)) << path;
    EXPECT_FALSE(ColumnsEmpty(label, 0, w * 3 / 4)) << path;
  }
  const Image morale = Load("graphics\\interface\\moraletext.png");
  const int w = morale.decoded.width;
  EXPECT_TRUE(ColumnsEmpty(morale, w * 7 / 8, w));
  EXPECT_FALSE(ColumnsEmpty(morale, 0, w * 7 / 8));
}

TEST(ArtImagesTest, DigitGlyphsKeepInsideTheSampledMiddleOfTheirCells) {
  const Image digits = Load("graphics\\interface\\digits.png");
  const double cell = digits.decoded.width / 10.0;
  for (int d = 0; d < 10; ++d) {
    // The display samples u from d * 0.1 + 0.015 to d * 0.1 + 0.085.
    const int sampledFrom = static_cast<int>(d * cell + cell * 0.15);
    const int sampledTo = static_cast<int>(d * cell + cell * 0.85);
    EXPECT_TRUE(ColumnsEmpty(digits, static_cast<int>(d * cell), sampledFrom)) << "digit " << d;
    EXPECT_TRUE(ColumnsEmpty(digits, sampledTo + 1, static_cast<int>((d + 1) * cell)))
        << "digit " << d;
    EXPECT_FALSE(ColumnsEmpty(digits, sampledFrom, sampledTo)) << "digit " << d;
  }
}

TEST(ArtImagesTest, HandPointsUpWithItsFingertipOnTheHotSpot) {
  const Image hand = Load("graphics\\interface\\hand.png");
  const int w = hand.decoded.width, h = hand.decoded.height;
  int top = 0;
  while (top < h && !RowVisible(hand, top)) ++top;
  // The hot spot is 7 % down from the top: the fingertip's edge is right there.
  EXPECT_NEAR(top, h * 0.07, h * 0.03);
  int left = w, right = -1;
  for (int x = 0; x < w; ++x) {
    if (hand.Alpha(x, top + 2) >= kVisibleAlpha) {
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  EXPECT_NEAR((left + right) / 2.0, w * 0.35, w * 0.03);
  EXPECT_LT(right - left, w / 4) << "only one finger reaches the top";
}

TEST(ArtImagesTest, MoraleBarMiddleStretchesAndTheFrameIsOpenInside) {
  for (const char* path :
       {"graphics\\interface\\moralebar.png", "graphics\\interface\\moralebarborder.png"}) {
    const Image image = Load(path);
    const int w = image.decoded.width, h = image.decoded.height;
    // Every row of the middle half is one colour, so stretching it changes nothing.
    int uneven = 0;
    for (int y = 0; y < h; ++y)
      for (int x = w / 4; x < w * 3 / 4; ++x)
        if (Difference(image, x, y, w / 2, y) > 3) ++uneven;
    EXPECT_EQ(uneven, 0) << path;
  }
  const Image border = Load("graphics\\interface\\moralebarborder.png");
  const Image bar = Load("graphics\\interface\\moralebar.png");
  const int c = border.decoded.width / 2;
  EXPECT_LT(border.Alpha(c, c), kVisibleAlpha);
  EXPECT_GT(border.Alpha(c, border.decoded.height / 16), 200) << "the frame's top edge";
  EXPECT_GT(bar.Alpha(c, c), 200);
}

TEST(ArtImagesTest, RepeatingImagesHaveNoSeams) {
  const Image grass = Load("graphics\\grass.png");
  ExpectSeamlessAcross(grass, "grass.png");
  // The lawn also repeats up and down: compare its top and bottom rows too.
  const int w = grass.decoded.width, h = grass.decoded.height;
  double seam = 0, inside = 0;
  for (int x = 0; x < w; ++x) {
    seam += Difference(grass, x, h - 1, x, 0);
    for (int y = 1; y < h; ++y) inside += Difference(grass, x, y - 1, x, y);
  }
  EXPECT_LE(seam / w, inside / (static_cast<double>(w) * (h - 1)) * 2 + 1)
      << "grass.png, vertically";

  ExpectSeamlessAcross(Load("graphics\\dirtwall.png"), "dirtwall.png");
  ExpectSeamlessAcross(Load("graphics\\grassedge.png"), "grassedge.png");
  ExpectSeamlessAcross(Load("graphics\\fence.png"), "fence.png");
}

TEST(ArtImagesTest, StandingSpritesStandOnTheirBottomEdge) {
  for (const char* path :
       {"graphics\\flower.png", "graphics\\grassFringe0.png", "graphics\\grassFringe1.png",
        "graphics\\grassFringe2.png", "graphics\\fence.png"}) {
    const Image image = Load(path);
    EXPECT_TRUE(RowVisible(image, image.decoded.height - 1)) << path;
    EXPECT_FALSE(RowVisible(image, 0)) << path;
  }
  // The grass lip is solid where it meets the lawn (top) and ragged below.
  const Image edge = Load("graphics\\grassedge.png");
  for (int x = 0; x < edge.decoded.width; ++x) EXPECT_EQ(edge.Alpha(x, 0), 255) << x;
  EXPECT_FALSE(RowVisible(edge, edge.decoded.height - 1));
}

TEST(ArtImagesTest, FlamesFadeToNothingBeforeTheirEdges) {
  // Fire is added onto the scene: its border must add (almost) nothing.
  for (int i = 0; i < 4; ++i) {
    const std::string path = "graphics\\particles\\fire" + std::to_string(i) + ".png";
    const Image fire = Load(path.c_str());
    const int w = fire.decoded.width, h = fire.decoded.height;
    int brightest = 0;
    for (int k = 0; k < w; ++k) {
      for (int y : {0, h - 1}) {
        const unsigned char* p = fire.At(k, y);
        brightest = std::max(brightest, *std::max_element(p, p + 3) * fire.Alpha(k, y) / 255);
      }
      for (int x : {0, w - 1}) {
        const unsigned char* p = fire.At(x, k);
        brightest = std::max(brightest, *std::max_element(p, p + 3) * fire.Alpha(x, k) / 255);
      }
    }
    EXPECT_LE(brightest, 2) << path;
    const unsigned char* core = fire.At(w / 2, h * 5 / 8);
    EXPECT_GT(core[0] * fire.Alpha(w / 2, h * 5 / 8) / 255, 200) << path << " has a bright core";
  }
}

TEST(ArtImagesTest, BlobBodyIsRoundTranslucentJellyFramedByItsOutline) {
  const Image body = Load("graphics\\blob\\bg.png");
  const Image outline = Load("graphics\\blob\\outline.png");
  const int s = body.decoded.width, c = s / 2;
  // The radius fills the billboard: visible near the rim, clear in the corners.
  EXPECT_GE(body.Alpha(c, c), 150);
  EXPECT_LT(body.Alpha(c, c), 250) << "slightly translucent";
  EXPECT_GE(body.Alpha(c, s - 1 - s / 40), 200) << "reaches the bottom";
  EXPECT_LT(body.Alpha(2, 2), kVisibleAlpha);
  EXPECT_LT(outline.Alpha(c, c), kVisibleAlpha) << "the face shows through";
  EXPECT_LT(outline.Alpha(2, 2), kVisibleAlpha);
  int rim = 0;
  for (int y = c; y < s; ++y) rim = std::max(rim, outline.Alpha(c, y));
  EXPECT_EQ(rim, 255) << "the outline runs round the body's edge";
}

}  // namespace
