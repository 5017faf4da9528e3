#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/error_box.h"

namespace {
// Tests under Wine cannot read a message box, and one left open would hold the
// program: with this set to a file name, the box's text goes to that file
// instead of the screen.
constexpr char BOX_FILE_VARIABLE[] = "JQ_MESSAGE_BOX_FILE";

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}
}  // namespace

void ShowErrorToPlayer(const std::string& line) {
  const char* boxFile = std::getenv(BOX_FILE_VARIABLE);
  if (boxFile != nullptr && *boxFile != '\0') {
    if (std::FILE* file = std::fopen(boxFile, "w")) {
      std::fprintf(file, "%s\n", line.c_str());
      std::fclose(file);
    }
    return;
  }
  MessageBoxW(nullptr, Wide(line).c_str(), L"Jellyquake", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
