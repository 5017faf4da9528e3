// Images decoded ahead on the worker must be the ones a direct decode gives, and
// a file that cannot be decoded must fail there as it would in place.
#include "render/image_prefetch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "render/png_decoder.h"
#include "tests/render/png_writer.h"

namespace {

// A small RGBA image with transparent pixels, so the decoder's filling shows too.
std::string WriteSprite(const CScratchFolder& folder, const std::string& name) {
  constexpr int SIDE = 16;
  std::vector<std::vector<unsigned char>> rows(SIDE, std::vector<unsigned char>(SIDE * 4, 0));
  for (int y = 3; y < 11; ++y)
    for (int x = 5; x < 12; ++x) {
      unsigned char* p = &rows[y][x * 4];
      p[0] = static_cast<unsigned char>(x * 20), p[1] = 90, p[2] = 200, p[3] = 255;
    }
  const std::string path = folder.File(name);
  EXPECT_TRUE(WriteRgbaPng(path, SIDE, SIDE, rows));
  return path;
}

TEST(ImagePrefetch, EachDecodedPathIsHandedOverOnceAsADirectDecodeGivesIt) {
  CScratchFolder folder;
  const std::string good = WriteSprite(folder, "good.png");
  const std::string damaged = folder.File("damaged.png");
  std::ofstream(damaged) << "\x89PNG\r\n not really";
  const std::string missing = folder.File("missing.png");
  DecodedImage direct;
  ASSERT_TRUE(LoadPngImage(good.c_str(), direct));

  CImagePrefetch prefetch;
  prefetch.Start({good, damaged, missing});
  prefetch.Wait();
  DecodedImage image;
  bool decoded = true;
  EXPECT_FALSE(prefetch.Take(folder.File("other.png").c_str(), image, decoded));
  ASSERT_TRUE(prefetch.Take(missing.c_str(), image, decoded));
  EXPECT_FALSE(decoded);
  ASSERT_TRUE(prefetch.Take(good.c_str(), image, decoded));
  EXPECT_TRUE(decoded);
  EXPECT_EQ(image.width, direct.width);
  EXPECT_EQ(image.height, direct.height);
  EXPECT_EQ(image.format, direct.format);
  EXPECT_EQ(image.pixels, direct.pixels);
  EXPECT_FALSE(prefetch.Take(good.c_str(), image, decoded)) << "handed over twice";
  ASSERT_TRUE(prefetch.Take(damaged.c_str(), image, decoded));
  EXPECT_FALSE(decoded);
}

TEST(ImagePrefetch, AnImageTheWorkerHasNotStartedIsLeftToTheCaller) {
  CScratchFolder folder;
  std::vector<std::string> paths;
  for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
    paths.push_back(WriteSprite(folder, name));
  CImagePrefetch prefetch;
  prefetch.Start(paths);
  DecodedImage image;
  bool decoded = false;
  // The last is either decoded (or being decoded) and handed over, or not yet
  // started and then the caller's from now on: never both.
  const bool handed = prefetch.Take(paths.back().c_str(), image, decoded);
  EXPECT_EQ(handed, decoded);
  prefetch.Wait();
  EXPECT_FALSE(prefetch.Take(paths.back().c_str(), image, decoded));
  EXPECT_TRUE(prefetch.Take(paths.front().c_str(), image, decoded));
}

}  // namespace
