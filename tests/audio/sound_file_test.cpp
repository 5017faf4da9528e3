// The generated sounds as the game reads them, and the reader's refusals. Built
// for Linux (libsndfile) and Windows (WinMM), which must read alike.
#include "audio/sound_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "audio/sound_id.h"

namespace {
std::string BuiltSound(int id) {
  return std::string(SOUND_FOLDER) + "/" + SOUND_FILES[id];
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scratch file of the test's own (tests run side by side), removed at the end.
struct ScratchFile {
  std::string path = (std::filesystem::temp_directory_path() /
                      ("jq_sound_" + std::to_string(std::random_device()()) + ".wav"))
                         .string();
  ~ScratchFile() { std::remove(path.c_str()); }
  bool Load(const std::string& bytes, SoundData& data) const {
    std::ofstream(path, std::ios::binary) << bytes;
    return LoadSoundFile(path, data);
  }
};

// Sample i of the test sounds below: a ramp that uses both bytes of a sample.
std::int16_t Ramp(int i) {
  return static_cast<std::int16_t>(i * 263 - 20000);
}

// A 16-bit PCM WAV file of frames frames, each channel the ramp.
std::string Wav(int channels, int rate, int frames) {
  std::string bytes;
  auto put = [&bytes](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
  };
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames) * channels * 2;
  bytes += "RIFF";
  put(36 + dataBytes, 4);
  bytes += "WAVEfmt ";
  put(16, 4);
  put(1, 2);
  put(channels, 2);
  put(rate, 4);
  put(rate * channels * 2, 4);
  put(channels * 2, 2);
  put(16, 2);
  bytes += "data";
  put(dataBytes, 4);
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) put(static_cast<std::uint16_t>(Ramp(i)), 2);
  }
  return bytes;
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

// Mono only, at a rate from 8000 to 192000 a second, from one frame up to
// SOUND_MAX_SECONDS: each bound read, one step beyond it refused.
TEST(SoundFile, OnlyMonoSoundsOfAPlausibleRateAndLengthAreRead) {
  const int longest = static_cast<int>(SOUND_MAX_SECONDS * SOUND_RATE);
  struct Case {
    int channels, rate, frames;
    bool read;
  };
  for (const Case& c : {Case{1, 8000, 100, true}, Case{1, 7999, 100, false},
                        Case{1, 192000, 100, true}, Case{1, 192001, 100, false},
                        Case{2, SOUND_RATE, 100, false}, Case{1, SOUND_RATE, longest, true},
                        Case{1, SOUND_RATE, longest + 1, false}, Case{1, SOUND_RATE, 0, false}}) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.rate << " a second, "
                                    << c.frames << " frames");
    ScratchFile file;
    SoundData data;
    ASSERT_EQ(file.Load(Wav(c.channels, c.rate, c.frames), data), c.read);
    if (!c.read) {
      EXPECT_TRUE(data.samples.empty());
      continue;
    }
    EXPECT_EQ(data.rate, c.rate);
    ASSERT_EQ(data.samples.size(), static_cast<size_t>(c.frames));
    for (int i = 0; i < c.frames; ++i) ASSERT_EQ(data.samples[i], Ramp(i)) << "sample " << i;
  }
}

// Refused: empty, cut after the header, not a sound, missing. A file cut in half
// gives at most the half that is there, nothing made up.
TEST(SoundFile, DamagedFilesGiveNothingOrOnlyWhatIsThere) {
  const std::string whole = Slurp(BuiltSound(SOUND_WHISTLE));
  ScratchFile file;
  for (const std::string& bytes : {std::string(), whole.substr(0, 44), std::string("not a sound"),
                                   whole.substr(0, whole.size() / 2)}) {
    SoundData data;
    const bool read = file.Load(bytes, data);
    EXPECT_EQ(read, bytes.size() > 1000) << bytes.size() << " bytes";
    EXPECT_LE(data.samples.size() * 2, bytes.size());
  }
  std::remove(file.path.c_str());
  SoundData data;
  EXPECT_FALSE(LoadSoundFile(file.path, data));
}
}  // namespace
