// Windows reads narrow paths in the local code page, where Ł or 张 may not exist,
// and stops them at 260 characters. The game's paths are UTF-8, so they go to the
// system as UTF-16, made full and given the \\?\ prefix that lifts the limit.
#include <windows.h>

#include <string>

#include "base/file_open.h"

namespace {
constexpr wchar_t LONG_PREFIX[] = L"\\\\?\\";
constexpr wchar_t LONG_UNC_PREFIX[] = L"\\\\?\\UNC\\";
constexpr wchar_t UNC_START[] = L"\\\\";

std::wstring Utf16(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
  return wide;
}

// The full path, with / turned to \ and . and .. resolved, as \\?\ paths must be:
// the system takes them as they are written.
std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return std::wstring();
  full.resize(length);
  return full;
}

std::wstring LongPath(const std::wstring& full) {
  if (full.compare(0, 4, LONG_PREFIX) == 0) return full;
  if (full.compare(0, 2, UNC_START) == 0) return LONG_UNC_PREFIX + full.substr(2);
  return LONG_PREFIX + full;
}
}  // namespace

std::FILE* OpenFileToRead(const std::string& path) {
  // A path that is not UTF-8 names no file of the game's.
  const std::wstring wide = Utf16(path);
  if (wide.empty()) return nullptr;
  const std::wstring full = FullPath(wide);
  if (full.empty()) return nullptr;
  return _wfopen(LongPath(full).c_str(), L"rb");
}
