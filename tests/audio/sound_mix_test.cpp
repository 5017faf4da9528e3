// The placement a sink without OpenAL computes by hand must be what the OpenAL
// sink gives: a steady tone played at places around the camera through OpenAL's
// file-writing backend, each speaker's level set beside PlaceSound's.
#include "audio/sound_mix.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/openal_sound_sink.h"
#include "tools/sfx/synth.h"

namespace {
constexpr double TONE_PEAK = 0.25;
constexpr double TONE_HZ = 441;  // a whole number of periods in a second at 22050 Hz
constexpr double SECONDS_AT_EACH_PLACE = 0.6;
constexpr double SECONDS_BETWEEN = 0.15;
constexpr float QUIET = 1e-4f;

struct Level {
  double left = 0, right = 0;
};

// The steady middle of each stretch of sound in a stereo recording: the peak
// of the sine estimated from each channel's mean square.
std::vector<Level> ToneLevels(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file || info.channels != 2) return {};
  std::vector<float> frames(static_cast<size_t>(info.frames) * 2);
  sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  // Runs of sound, split where both channels stay quiet for a tenth of the gap.
  const size_t gap = static_cast<size_t>(info.samplerate * SECONDS_BETWEEN / 10);
  std::vector<std::pair<size_t, size_t>> runs;
  size_t quietFor = gap;
  for (size_t i = 0; i < frames.size() / 2; ++i) {
    if (std::fabs(frames[2 * i]) < QUIET && std::fabs(frames[2 * i + 1]) < QUIET) {
      ++quietFor;
      continue;
    }
    if (quietFor >= gap) runs.push_back({i, i});
    runs.back().second = i;
    quietFor = 0;
  }
  std::vector<Level> levels;
  for (const auto& [first, last] : runs) {
    const size_t from = first + (last - first) / 4, to = last - (last - first) / 4;
    if (to <= from) continue;
    double left = 0, right = 0;
    for (size_t i = from; i < to; ++i) {
      left += frames[2 * i] * frames[2 * i];
      right += frames[2 * i + 1] * frames[2 * i + 1];
    }
    const double n = static_cast<double>(to - from);
    levels.push_back({std::sqrt(2 * left / n), std::sqrt(2 * right / n)});
  }
  return levels;
}

TEST(SoundMix, PlacesSoundsAsOpenALDoes) {
  char folder[] = "/tmp/jq_mix_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string base = folder;
  std::filesystem::create_directory(base + "/sounds");
  Samples tone(SOUND_RATE);
  for (size_t i = 0; i < tone.size(); ++i) {
    tone[i] = TONE_PEAK * std::sin(2 * 3.141592653589793 * TONE_HZ * i / SOUND_RATE);
  }
  ASSERT_TRUE(WriteWav(base + "/sounds/" + SOUND_FILES[SOUND_CRACKLE], tone));
  std::ofstream(base + "/openal.conf") << "drivers=wave\n[wave]\nfile=" << base << "/heard.wav\n";
  setenv("ALSOFT_CONF", (base + "/openal.conf").c_str(), 1);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(base);

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
    COpenALSoundSink sink;
    sink.SetListener(eye, lookAt);
    ASSERT_TRUE(sink.HasDevice());
    for (const SoundPlace& place : places) {
      const int voice = sink.Play(SOUND_CRACKLE, place, 1, 1, true);
      std::this_thread::sleep_for(std::chrono::duration<double>(SECONDS_AT_EACH_PLACE));
      sink.Stop(voice);
      std::this_thread::sleep_for(std::chrono::duration<double>(SECONDS_BETWEEN));
    }
  }
  const std::vector<Level> heard = ToneLevels(base + "/heard.wav");
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(base);

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
