// The generated sounds as the game reads them, and the reader's refusals.
#include "audio/sound_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/sfx/effects.h"

namespace {
std::string BuiltSound(int id) {
  return std::string(SOUND_FOLDER) + "/" + SOUND_FILES[id];
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SoundFile, EveryBuiltSoundIsReadableAudibleUnclippedAndShort) {
  for (int id = 0; id < SOUND_COUNT; ++id) {
    SCOPED_TRACE(SOUND_FILES[id]);
    SoundData data;
    ASSERT_TRUE(LoadSoundFile(BuiltSound(id), data));
    EXPECT_EQ(data.rate, SOUND_RATE);
    int peak = 0;
    for (std::int16_t s : data.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    // Heard, with headroom left for the mix: nowhere near full scale.
    EXPECT_GT(peak, 32767 / 4);
    EXPECT_LT(peak, 32767 * 3 / 4);
    const double seconds = static_cast<double>(data.samples.size()) / data.rate;
    EXPECT_GT(seconds, 0.02);
    EXPECT_LE(seconds, SOUND_MAX_SECONDS);
    // A tick must be over before the next one, a second later.
    if (id == SOUND_TICK) {
      EXPECT_LT(seconds, 0.5);
    }
    // Loops must not click where they wrap around: no bigger step than inside.
    int step = 0;
    for (size_t i = 1; i < data.samples.size(); ++i) {
      step = std::max(step, std::abs(data.samples[i] - data.samples[i - 1]));
    }
    if (id == SOUND_STRETCH || id == SOUND_CRACKLE) {
      EXPECT_LE(std::abs(data.samples.front() - data.samples.back()), step);
    }
  }
}

TEST(SoundFile, AFreshRunWritesTheSameBytes) {
  char folder[] = "/tmp/jq_sfx_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  for (int id = 0; id < SOUND_COUNT; ++id) {
    const std::string path = std::string(folder) + "/" + SOUND_FILES[id];
    ASSERT_TRUE(WriteWav(path, MakeSound(static_cast<SoundId>(id))));
    EXPECT_EQ(Slurp(path), Slurp(BuiltSound(id))) << SOUND_FILES[id];
    std::remove(path.c_str());
  }
  rmdir(folder);
}

// Refused: empty, cut after the header, not a sound, missing. A file cut in half
// gives at most the half that is there, nothing made up.
TEST(SoundFile, DamagedFilesGiveNothingOrOnlyWhatIsThere) {
  const std::string whole = Slurp(BuiltSound(SOUND_WHISTLE));
  const std::string path = "/tmp/jq_damaged_" + std::to_string(getpid()) + ".wav";
  for (const std::string& bytes : {std::string(), whole.substr(0, 44), std::string("not a sound"),
                                   whole.substr(0, whole.size() / 2)}) {
    std::ofstream(path, std::ios::binary) << bytes;
    SoundData data;
    const bool read = LoadSoundFile(path, data);
    EXPECT_EQ(read, bytes.size() > 1000) << bytes.size() << " bytes";
    EXPECT_LE(data.samples.size() * 2, bytes.size());
  }
  std::remove(path.c_str());
  SoundData data;
  EXPECT_FALSE(LoadSoundFile(path, data));
}
}  // namespace
