// The sound generator writes the same bytes on every run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/sfx/effects.h"

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SoundFile, AFreshRunWritesTheSameBytes) {
  char folder[] = "/tmp/jq_sfx_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  for (int id = 0; id < SOUND_COUNT; ++id) {
    const std::string path = std::string(folder) + "/" + SOUND_FILES[id];
    ASSERT_TRUE(WriteWav(path, MakeSound(static_cast<SoundId>(id))));
    EXPECT_EQ(Slurp(path), Slurp(std::string(SOUND_FOLDER) + "/" + SOUND_FILES[id]))
        << SOUND_FILES[id];
    std::remove(path.c_str());
  }
  rmdir(folder);
}
}  // namespace
