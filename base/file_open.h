#pragma once

#include <cstdio>
#include <string>

// Opens one of the game's files for reading, in binary. The path is UTF-8, relative
// to the working directory or full; on Windows any folder name works (Łukasz,
// 张伟) and so do full paths past 260 characters. Null if it cannot be opened.
std::FILE* OpenFileToRead(const std::string& path);
