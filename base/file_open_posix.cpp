#include "base/file_open.h"

// Linux hands the bytes of a path to the file system as they are.
std::FILE* OpenFileToRead(const std::string& path) {
  return std::fopen(path.c_str(), "rb");
}
