// The generated sounds as the game reads them, and the reader's refusals. Built
// for Linux (libsndfile) and for the game's own WAV reader of Windows and the
// browser (run natively here too), which must read alike.
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
#include <vector>

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

// A RIFF chunk: its name, its size, its bytes and the pad byte of an odd size.
std::string Chunk(const char* id, const std::string& body) {
  std::string bytes(id, 4);
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(body.size() >> (8 * i));
  return bytes + body + (body.size() % 2 ? std::string(1, '\0') : std::string());
}

// A format chunk's fields: tag, channels, rate, bytes a second, bytes a frame, bits.
std::string Format(int tag, int channels, int rate, int frameBytes, int bits) {
  std::string bytes;
  for (int field : {tag | channels << 16, rate, rate * frameBytes, frameBytes | bits << 16}) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(field >> (8 * i));
  }
  return bytes;
}

std::string Riff(const std::string& chunks) {
  return Chunk("RIFF", "WAVE" + chunks);
}

// Samples of 8, 24 and 32 bits give their top 16 bits (8-bit ones are unsigned),
// after an odd-sized chunk that comes before the format. Refused: a format chunk
// cut short, frames of no channel at all, no samples, no format.
TEST(SoundFile, SampleWidthsAndOtherChunksAsLibsndfileReadsThem) {
  const std::string list = Chunk("LIST", "abc");
  const std::string bytes8("\x00\x80\xff\x41", 4);
  const std::string bytes24("\x11\x22\x33\x44\x55\xf6", 6);
  const std::string bytes32("\x11\x22\x33\x44\x55\x66\x77\x88", 8);
  struct Case {
    std::string file;
    std::vector<std::int16_t> samples;
  };
  const Case read[] = {
      {Riff(list + Chunk("fmt ", Format(1, 1, 8000, 1, 8)) + Chunk("data", bytes8)),
       {-32768, 0, 32512, -16128}},
      {Riff(Chunk("fmt ", Format(1, 1, 8000, 3, 24)) + list + Chunk("data", bytes24)),
       {0x3322, -2475}},
      {Riff(Chunk("fmt ", Format(1, 1, 8000, 4, 32)) + Chunk("data", bytes32)), {0x4433, -30601}}};
  ScratchFile file;
  for (const Case& c : read) {
    SoundData data;
    ASSERT_TRUE(file.Load(c.file, data));
    EXPECT_EQ(data.rate, 8000);
    EXPECT_EQ(data.samples, c.samples);
  }
  const std::string samples(400, '\x10');
  for (const std::string& refused :
       {Riff(Chunk("fmt ", Format(1, 1, 8000, 2, 16).substr(0, 14)) + Chunk("data", samples)),
        Riff(Chunk("fmt ", Format(1, 0, 8000, 0, 16)) + Chunk("data", samples)),
        Riff(Chunk("fmt ", Format(1, 1, 8000, 2, 16))), Riff(Chunk("data", samples))}) {
    SoundData data;
    EXPECT_FALSE(file.Load(refused, data)) << refused.size() << " bytes";
    EXPECT_TRUE(data.samples.empty());
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
