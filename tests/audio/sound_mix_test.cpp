// The game's sinks place sounds alike: a steady tone played at places around the
// camera through the platform's sink, recorded where a sound card would play it,
// each speaker's level set beside PlaceSound's. On Linux that holds PlaceSound to
// what OpenAL does; under Wine it holds the XAudio2 sink, which places by
// PlaceSound, to it, level and all. The recording goes to JQ_RECORDING, as the
// test's runner set the sound system up (tests/audio/CMakeLists.txt): a 16-bit
// stereo WAV.
#include "audio/sound_mix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/system_sound_sink.h"

namespace {
constexpr double TONE_PEAK = 0.25;
constexpr double TONE_HZ = 441;  // a whole number of periods in a second at 22050 Hz
constexpr double SECONDS_AT_EACH_PLACE = 0.6;
constexpr double SECONDS_BETWEEN = 0.15;
constexpr double PERIODS_PER_WINDOW = 10;  // a level is taken over whole periods of the tone
constexpr int QUIET = 3;                   // in 16-bit steps
constexpr double FULL_SCALE = 32767;

struct Level {
  double left = 0, right = 0;
};

void PutLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i) & 0xff));
}

// A second of the tone as the game's sounds are stored: mono 16-bit PCM.
void WriteTone(const std::filesystem::path& path) {
  const std::uint32_t samples = SOUND_RATE, bytes = 2 * samples;
  std::ofstream out(path, std::ios::binary);
  out << "RIFF";
  PutLittleEndian(out, 36 + bytes, 4);
  out << "WAVEfmt ";
  PutLittleEndian(out, 16, 4);
  PutLittleEndian(out, 1, 2);  // PCM
  PutLittleEndian(out, 1, 2);  // mono
  PutLittleEndian(out, SOUND_RATE, 4);
  PutLittleEndian(out, 2 * SOUND_RATE, 4);
  PutLittleEndian(out, 2, 2);
  PutLittleEndian(out, 16, 2);
  out << "data";
  PutLittleEndian(out, bytes, 4);
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double value = TONE_PEAK * std::sin(2 * 3.141592653589793 * TONE_HZ * i / SOUND_RATE);
    PutLittleEndian(out, static_cast<std::uint16_t>(std::lround(value * FULL_SCALE)), 2);
  }
}

// The stereo frames of a 16-bit WAV, read to the file's end whatever its header
// says (a recording stopped by the process's end may not have its length filled in).
std::vector<std::int16_t> RecordedFrames(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const size_t data = bytes.find("data");
  if (bytes.compare(0, 4, "RIFF") != 0 || data == std::string::npos) return {};
  std::vector<std::int16_t> samples((bytes.size() - data - 8) / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    const auto low = static_cast<unsigned char>(bytes[data + 8 + 2 * i]);
    const auto high = static_cast<unsigned char>(bytes[data + 9 + 2 * i]);
    samples[i] = static_cast<std::int16_t>(low | high << 8);
  }
  return samples;
}

// The level of a steady tone in each channel over frames [from, to): the peak of
// the sine estimated from each window's mean square, the median of the windows,
// so that a moment the mixer fell behind (a gap) does not pull it down.
Level SteadyLevel(const std::vector<std::int16_t>& frames, size_t from, size_t to, size_t window) {
  std::vector<double> lefts, rights;
  for (size_t start = from; start + window <= to; start += window) {
    double left = 0, right = 0;
    for (size_t i = start; i < start + window; ++i) {
      left += std::pow(frames[2 * i] / FULL_SCALE, 2);
      right += std::pow(frames[2 * i + 1] / FULL_SCALE, 2);
    }
    lefts.push_back(std::sqrt(2 * left / window));
    rights.push_back(std::sqrt(2 * right / window));
  }
  if (lefts.empty()) return {};
  std::nth_element(lefts.begin(), lefts.begin() + lefts.size() / 2, lefts.end());
  std::nth_element(rights.begin(), rights.begin() + rights.size() / 2, rights.end());
  return {lefts[lefts.size() / 2], rights[rights.size() / 2]};
}

// The steady middle of each stretch of sound in a stereo recording.
std::vector<Level> ToneLevels(const std::vector<std::int16_t>& frames, double rate) {
  // Runs of sound, split where both channels stay quiet for half the pause
  // between places: a shorter gap is the mixer falling behind on a busy machine.
  const size_t gap = static_cast<size_t>(rate * SECONDS_BETWEEN / 2);
  std::vector<std::pair<size_t, size_t>> runs;
  size_t quietFor = gap;
  for (size_t i = 0; i < frames.size() / 2; ++i) {
    if (std::abs(frames[2 * i]) < QUIET && std::abs(frames[2 * i + 1]) < QUIET) {
      ++quietFor;
      continue;
    }
    if (quietFor >= gap) runs.push_back({i, i});
    runs.back().second = i;
    quietFor = 0;
  }
  std::vector<Level> levels;
  const auto window = static_cast<size_t>(std::lround(rate * PERIODS_PER_WINDOW / TONE_HZ));
  for (const auto& [first, last] : runs) {
    // A stretch too short to be one of the places is a stray blip.
    if (last - first < static_cast<size_t>(rate * SECONDS_AT_EACH_PLACE / 2)) continue;
    levels.push_back(
        SteadyLevel(frames, first + (last - first) / 4, last - (last - first) / 4, window));
  }
  return levels;
}

// The rate in a WAV's format chunk.
double RecordedRate(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[28] = {};
  in.read(reinterpret_cast<char*>(header), sizeof(header));
  return header[24] | header[25] << 8 | header[26] << 16 | header[27] << 24;
}

TEST(SoundMix, PlacesSoundsAsOpenALDoes) {
  const char* recording = std::getenv("JQ_RECORDING");
  ASSERT_NE(recording, nullptr) << "run through CTest, which sets the recording up";
  // The sink reads its sounds below the working directory.
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::filesystem::path folder = previous / "sound_mix_run";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / SOUND_FOLDER);
  WriteTone(folder / SOUND_FOLDER / SOUND_FILES[SOUND_CRACKLE]);
  std::filesystem::current_path(folder);

  // The opening camera's kind of view, down onto the board from its south side.
  const double eye[3] = {4.5, -6, 8};
  const double lookAt[3] = {4.5, 4.5, 0};
  const std::vector<SoundPlace> places = {
      Everywhere(),         OnBoard(4.5, 4.5, 0),  // ahead
      OnBoard(-1, 2, 0),                           // ahead on the left
      OnBoard(9, -1, 0.5),                         // near, to the right
      OnBoard(14, 9, 0),                           // far ahead on the right
      OnBoard(-10, -12, 0),                        // far behind on the left
  };
  {
    std::shared_ptr<CSoundSink> sink = MakeSystemSoundSink();
    sink->SetListener(eye, lookAt);
    for (const SoundPlace& place : places) {
      const int voice = sink->Play(SOUND_CRACKLE, place, 1, 1, true);
      EXPECT_NE(voice, NO_VOICE) << "no sound device, or the tone was not read";
      std::this_thread::sleep_for(std::chrono::duration<double>(SECONDS_AT_EACH_PLACE));
      sink->Stop(voice);
      std::this_thread::sleep_for(std::chrono::duration<double>(SECONDS_BETWEEN));
    }
  }
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(folder);
  const std::vector<Level> heard = ToneLevels(RecordedFrames(recording), RecordedRate(recording));

  ASSERT_EQ(heard.size(), places.size());
  for (size_t i = 0; i < places.size(); ++i) {
    SCOPED_TRACE("place " + std::to_string(i));
    const StereoGains gains = PlaceSound(eye, lookAt, places[i]);
    const double full = TONE_PEAK * SOUND_MASTER_GAIN;
    EXPECT_NEAR(heard[i].left / full, gains.left, 0.01);
    EXPECT_NEAR(heard[i].right / full, gains.right, 0.01);
  }
}
}  // namespace
