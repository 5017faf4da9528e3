#pragma once

#include <string>
#include <vector>

// Writes test images as PNG files. rows are top-down, as in the file, each row
// packed at the given colour type and bit depth (libpng's PNG_COLOR_TYPE_*
// values); a palette image gets a grey ramp palette.
bool WritePng(const std::string& path, int width, int height, int colorType, int bitDepth,
              const std::vector<std::vector<unsigned char>>& rows);

// An RGBA8 image from top-down RGBA rows, each width * 4 bytes.
bool WriteRgbaPng(const std::string& path, int width, int height,
                  const std::vector<std::vector<unsigned char>>& rows);

// A fresh scratch folder for one test's files, removed with its contents when
// this goes out of scope.
class CScratchFolder {
 public:
  CScratchFolder();
  ~CScratchFolder();
  CScratchFolder(const CScratchFolder&) = delete;
  CScratchFolder& operator=(const CScratchFolder&) = delete;
  // The path of a file called name inside the folder.
  std::string File(const std::string& name) const;
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

// A scratch folder made the working directory while this lives. The game's
// relative image paths find nothing there, so every load fails quietly and no
// texture work reaches OpenGL: drawing tests need no images and no context.
class CScratchWorkingFolder {
 public:
  CScratchWorkingFolder();
  ~CScratchWorkingFolder();
  CScratchWorkingFolder(const CScratchWorkingFolder&) = delete;
  CScratchWorkingFolder& operator=(const CScratchWorkingFolder&) = delete;

 private:
  CScratchFolder folder;
  std::string previous;
};
