#include "render/png_decoder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/render/png_writer.h"

namespace {
using Rows = std::vector<std::vector<unsigned char>>;
using Rgba = std::array<unsigned char, 4>;

// The decoded pixel at column x of the file's row fileRow (counted from the
// top, as in the file); the decoder stores rows bottom-up.
Rgba PixelAt(const DecodedImage& image, int x, int fileRow) {
  const int memoryRow = image.height - 1 - fileRow;
  const unsigned char* p = image.pixels.data() + (memoryRow * image.width + x) * 4;
  return {p[0], p[1], p[2], p[3]};
}

// A width x height RGBA image, every pixel the given colour.
Rows Fill(int width, int height, Rgba colour) {
  std::vector<unsigned char> row(static_cast<size_t>(width) * 4);
  for (size_t i = 0; i < row.size(); ++i) {
    row[i] = colour[i % 4];
  }
  return Rows(height, row);
}

void Set(Rows& rows, int x, int fileRow, Rgba colour) {
  for (int i = 0; i < 4; ++i) {
    rows[fileRow][x * 4 + i] = colour[i];
  }
}

class PngDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder.Path().empty()); }

  DecodedImage DecodeRgba(int width, int height, const Rows& rows) {
    const std::string path = folder.File("image.png");
    EXPECT_TRUE(WriteRgbaPng(path, width, height, rows));
    DecodedImage image;
    EXPECT_TRUE(LoadPngImage(path.c_str(), image));
    return image;
  }

  bool Decodes(int width, int height, int colorType, int bitDepth, const Rows& rows,
               DecodedImage& image) {
    const std::string path = folder.File("image.png");
    EXPECT_TRUE(WritePng(path, width, height, colorType, bitDepth, rows));
    return LoadPngImage(path.c_str(), image);
  }

  CScratchFolder folder;
};

TEST_F(PngDecoderTest, TransparentPixelTakesTheRoundedRedAverageOfItsOpaqueNeighbours) {
  const Rgba clear = {200, 201, 202, 0};
  Rows rows = Fill(5, 5, clear);
  Set(rows, 2, 2, {77, 88, 99, 0});
  // Reds 10, 10 and 11 average 10.33; green and blue play no part.
  Set(rows, 1, 1, {10, 50, 60, 255});
  Set(rows, 2, 1, {10, 90, 60, 255});
  Set(rows, 3, 1, {11, 50, 70, 128});
  const DecodedImage image = DecodeRgba(5, 5, rows);
  EXPECT_EQ(PixelAt(image, 2, 2), (Rgba{10, 10, 10, 0}));
  // Opaque pixels stay as they were.
  EXPECT_EQ(PixelAt(image, 3, 1), (Rgba{11, 50, 70, 128}));
  // Across the corner its only opaque neighbour is the 10 at (1, 1).
  EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{10, 10, 10, 0}));
  // Among transparent pixels only: unchanged.
  EXPECT_EQ(PixelAt(image, 0, 3), clear);
  EXPECT_EQ(PixelAt(image, 2, 4), clear);

  // Reds 10 and 11 average 10.5, which rounds up.
  Rows halfway = Fill(4, 3, {0, 0, 0, 0});
  Set(halfway, 0, 1, {10, 0, 0, 255});
  Set(halfway, 2, 1, {11, 0, 0, 255});
  EXPECT_EQ(PixelAt(DecodeRgba(4, 3, halfway), 1, 1), (Rgba{11, 11, 11, 0}));
}

TEST_F(PngDecoderTest, NeighboursWrapAroundTheEdges) {
  const Rgba clear = {200, 200, 200, 0};
  Rows rows = Fill(4, 4, clear);
  Set(rows, 3, 1, {40, 0, 0, 255});
  Set(rows, 2, 0, {70, 0, 0, 255});
  const DecodedImage image = DecodeRgba(4, 4, rows);
  // First column: its left neighbour is the last column.
  EXPECT_EQ(PixelAt(image, 0, 1), (Rgba{40, 40, 40, 0}));
  // The file's bottom row is the first row in memory; its neighbour below is
  // the file's top row.
  EXPECT_EQ(PixelAt(image, 2, 3), (Rgba{70, 70, 70, 0}));
  EXPECT_EQ(PixelAt(image, 0, 3), clear);
}

TEST_F(PngDecoderTest, RefusesImagesWithASideAbove16384) {
  DecodedImage image;
  const int side = MAX_IMAGE_SIDE;
  EXPECT_TRUE(Decodes(side, 1, PNG_COLOR_TYPE_RGB, 8, Rows(1, std::vector<unsigned char>(side * 3)),
                      image));
  EXPECT_EQ(image.pixels.size(), static_cast<size_t>(side) * 3);

  DecodedImage wide;
  EXPECT_FALSE(Decodes(side + 1, 1, PNG_COLOR_TYPE_RGB, 8,
                       Rows(1, std::vector<unsigned char>((side + 1) * 3)), wide));
  DecodedImage tall;
  EXPECT_FALSE(Decodes(1, side + 1, PNG_COLOR_TYPE_RGB, 8,
                       Rows(side + 1, std::vector<unsigned char>(3)), tall));
  EXPECT_TRUE(wide.pixels.empty());
  EXPECT_TRUE(tall.pixels.empty());
}

TEST_F(PngDecoderTest, DamagedFilesAreRefusedWithoutAWordOnStandardError) {
  const std::string path = folder.File("image.png");
  ASSERT_TRUE(WriteRgbaPng(path, 8, 8, Fill(8, 8, {1, 2, 3, 255})));
  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 20);
  DecodedImage image;
  ::testing::internal::CaptureStderr();
  const bool loaded = LoadPngImage(path.c_str(), image);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(loaded);
}

TEST_F(PngDecoderTest, BackslashPathsOpen) {
  std::filesystem::create_directories(folder.File("graphics/interface"));
  ASSERT_TRUE(
      WriteRgbaPng(folder.File("graphics/interface/title.png"), 1, 1, Fill(1, 1, {9, 8, 7, 255})));
  const std::string gamePath = folder.Path() + "\\graphics\\interface\\title.png";
  DecodedImage image;
  ASSERT_TRUE(LoadPngImage(gamePath.c_str(), image));
  EXPECT_EQ(image.pixels, (std::vector<unsigned char>{9, 8, 7, 255}));
}

// PngSuite names its images by colour type (fifth character) and bit depth
// (seventh and eighth); names starting with x are damaged files.
int BitsPerPixelFromName(const std::string& name) {
  const int channels[] = {1, 0, 3, 1, 2, 0, 4};
  const int colourType = name[4] - '0';
  const int depth = std::stoi(name.substr(6, 2));
  return channels[colourType] * depth;
}

// Width and height as the file's header states them.
std::pair<int, int> HeaderSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  unsigned char header[24] = {};
  file.read(reinterpret_cast<char*>(header), sizeof header);
  auto be32 = [&](int at) {
    return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
  };
  return {be32(16), be32(20)};
}

TEST(PngSuiteTest, EveryImageLoadsOrIsRefusedByItsBitsPerPixel) {
  int accepted = 0;
  int refused = 0;
  int damaged = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PNGSUITE_DIR)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".png") {
      continue;
    }
    DecodedImage image;
    const bool loaded = LoadPngImage(entry.path().c_str(), image);
    if (name[0] == 'x') {
      EXPECT_FALSE(loaded) << name;
      ++damaged;
      continue;
    }
    const int bits = BitsPerPixelFromName(name);
    const bool supported = bits == 24 || bits == 32;
    EXPECT_EQ(loaded, supported) << name << " with " << bits << " bits per pixel";
    if (loaded) {
      const auto [width, height] = HeaderSize(entry.path().string());
      EXPECT_EQ(image.width, width) << name;
      EXPECT_EQ(image.height, height) << name;
      EXPECT_EQ(image.pixels.size(), static_cast<size_t>(width) * height * bits / 8) << name;
      ++accepted;
    } else {
      ++refused;
    }
  }
  // The suite has images of every kind; an empty folder must not pass.
  EXPECT_GT(accepted, 20);
  EXPECT_GT(refused, 100);
  EXPECT_EQ(damaged, 14);
}
}  // namespace
