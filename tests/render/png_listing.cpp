// Lists how the PNG decoder reads every image of a folder, one line a file in name
// order: accepted with its size, layout and a hash of its pixels, or refused; and
// the same for the file cut in half. The Windows build's listing must equal the
// Linux build's line for line (png_parity_test.sh).
// Usage: png_listing <folder> <listing file>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/png_decoder.h"

namespace {
constexpr unsigned int FORMAT_RGB = 0x1907;  // GL_RGB, without pulling OpenGL in

// FNV-1a over the size, the layout and the pixels.
std::uint64_t Hash(const DecodedImage& image) {
  std::uint64_t hash = 14695981039346656037ull;
  auto add = [&hash](unsigned char byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (int value : {image.width, image.height, static_cast<int>(image.format)}) {
    for (int shift = 0; shift < 32; shift += 8) add(static_cast<unsigned char>(value >> shift));
  }
  for (unsigned char byte : image.pixels) add(byte);
  return hash;
}

void List(std::FILE* out, const std::string& name, bool loaded, const DecodedImage& image) {
  if (!loaded) {
    std::fprintf(out, "%s refused\n", name.c_str());
    return;
  }
  std::fprintf(out, "%s accepted %dx%d %s %016llx\n", name.c_str(), image.width, image.height,
               image.format == FORMAT_RGB ? "RGB" : "RGBA",
               static_cast<unsigned long long>(Hash(image)));
}

bool DecodeCutInHalf(const std::filesystem::path& path, const std::string& scratch,
                     DecodedImage& image) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::ofstream(scratch, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  return LoadPngImage(scratch.c_str(), image);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: png_listing <folder> <listing file>\n");
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (entry.path().extension() == ".png") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  // Binary, so that a listing is the same bytes on every platform.
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr || files.empty()) return 1;
  const std::string scratch = std::string(argv[2]) + ".cut.png";
  for (const auto& path : files) {
    const std::string name = path.filename().string();
    DecodedImage whole;
    List(out, name, LoadPngImage(path.string().c_str(), whole), whole);
    DecodedImage half;
    List(out, name + " (half)", DecodeCutInHalf(path, scratch, half), half);
  }
  std::remove(scratch.c_str());
  return std::fclose(out) == 0 ? 0 : 1;
}
