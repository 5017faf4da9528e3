#include "tests/render/png_writer.h"

#include <png.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>

namespace {
// Only plain data lives in this frame; libpng's error return jumps into it.
bool WriteRows(std::FILE* file, int width, int height, int colorType, int bitDepth,
               png_bytepp rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) {
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
               bitDepth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color palette[256];
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    const int entries = 1 << bitDepth;
    for (int i = 0; i < entries; ++i) {
      const auto level = static_cast<png_byte>(i * 255 / (entries - 1));
      palette[i] = png_color{level, level, level};
    }
    png_set_PLTE(png, info, palette, entries);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

bool WritePng(const std::string& path, int width, int height, int colorType, int bitDepth,
              const std::vector<std::vector<unsigned char>>& rows) {
  if (static_cast<int>(rows.size()) != height) {
    return false;
  }
  std::vector<png_bytep> rowPointers;
  for (const auto& row : rows) {
    rowPointers.push_back(const_cast<png_bytep>(row.data()));
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const bool ok = WriteRows(file, width, height, colorType, bitDepth, rowPointers.data());
  return std::fclose(file) == 0 && ok;
}

bool WriteRgbaPng(const std::string& path, int width, int height,
                  const std::vector<std::vector<unsigned char>>& rows) {
  return WritePng(path, width, height, PNG_COLOR_TYPE_RGBA, 8, rows);
}

CScratchFolder::CScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "jq-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) {
    path = pattern;
  }
}

CScratchFolder::~CScratchFolder() {
  if (!path.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
}

std::string CScratchFolder::File(const std::string& name) const {
  return path + "/" + name;
}

CScratchWorkingFolder::CScratchWorkingFolder() : previous(std::filesystem::current_path()) {
  std::filesystem::current_path(folder.Path());
}

CScratchWorkingFolder::~CScratchWorkingFolder() {
  std::error_code ignored;
  std::filesystem::current_path(previous, ignored);
}
