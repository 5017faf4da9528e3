#include "tools/sfx/synth.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "audio/sound_id.h"

namespace {
const double TWO_PI = 8 * std::atan(1.0);

double Oscillate(Wave wave, double phase) {
  const double cycle = phase - std::floor(phase);
  switch (wave) {
    case WAVE_TRIANGLE:
      return cycle < 0.5 ? 4 * cycle - 1 : 3 - 4 * cycle;
    case WAVE_SQUARE:
      return cycle < 0.5 ? 1 : -1;
    default:
      return std::sin(TWO_PI * cycle);
  }
}

// Filter coefficient of a one-pole low-pass with this corner.
double PoleFor(double hz) {
  return 1 - std::exp(-TWO_PI * hz / SOUND_RATE);
}

double Slide(double from, double to, double t) {
  return from * std::pow(to / from, t);
}
}  // namespace

int SampleCount(double seconds) {
  return static_cast<int>(std::lround(seconds * SOUND_RATE));
}

double CNoise::Next() {
  // xorshift32
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state / 2147483647.5 - 1;
}

Samples Tone(Wave wave, double seconds, double startHz, double endHz, double vibratoHz,
             double vibratoDepth) {
  Samples s(SampleCount(seconds));
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / s.size();
    const double vibrato = 1 + vibratoDepth * std::sin(TWO_PI * vibratoHz * i / SOUND_RATE);
    s[i] = Oscillate(wave, phase);
    phase += Slide(startHz, endHz, t) * vibrato / SOUND_RATE;
  }
  return s;
}

Samples Noise(double seconds, std::uint32_t seed) {
  Samples s(SampleCount(seconds));
  CNoise noise(seed);
  for (double& v : s) v = noise.Next();
  return s;
}

void Decay(Samples& s, double attackSeconds, double halfLifeSeconds) {
  const double attack = std::max(1, SampleCount(attackSeconds));
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / SOUND_RATE;
    const double rise = std::min(1.0, i / attack);
    s[i] *= rise * std::exp2(-std::max(0.0, t - attackSeconds) / halfLifeSeconds);
  }
}

void Fade(Samples& s, double inSeconds, double outSeconds) {
  const double in = std::max(1, SampleCount(inSeconds));
  const double out = std::max(1, SampleCount(outSeconds));
  for (size_t i = 0; i < s.size(); ++i) {
    const double left = static_cast<double>(s.size() - 1 - i);
    s[i] *= std::min({1.0, i / in, left / out});
  }
}

void LowPass(Samples& s, double startHz, double endHz) {
  double y = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    y += PoleFor(Slide(startHz, endHz, static_cast<double>(i) / s.size())) * (s[i] - y);
    s[i] = y;
  }
}

void HighPass(Samples& s, double startHz, double endHz) {
  double low = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    low += PoleFor(Slide(startHz, endHz, static_cast<double>(i) / s.size())) * (s[i] - low);
    s[i] -= low;
  }
}

void Mix(Samples& dst, const Samples& src, double atSeconds, double gain) {
  const size_t at = SampleCount(atSeconds);
  if (dst.size() < at + src.size()) dst.resize(at + src.size(), 0.0);
  for (size_t i = 0; i < src.size(); ++i) dst[at + i] += src[i] * gain;
}

void Grains(Samples& s, int count, double grainSeconds, double gain, std::uint32_t seed) {
  CNoise place(seed);
  for (int g = 0; g < count; ++g) {
    const double at = (place.Next() + 1) / 2 * s.size() / SOUND_RATE;
    Samples grain = Noise(grainSeconds, seed + 1 + g);
    Decay(grain, 0, grainSeconds / 4);
    Mix(s, grain, at, gain * (0.5 + (place.Next() + 1) / 4));
  }
}

void CloseLoop(Samples& s, double overlapSeconds) {
  const size_t overlap = SampleCount(overlapSeconds);
  if (s.size() <= 2 * overlap) return;
  const size_t length = s.size() - overlap;
  for (size_t i = 0; i < overlap; ++i) {
    const double t = static_cast<double>(i) / overlap;
    s[i] = s[i] * t + s[length + i] * (1 - t);
  }
  s.resize(length);
}

void Normalise(Samples& s, double peak) {
  double loudest = 0;
  for (double v : s) loudest = std::max(loudest, std::fabs(v));
  if (loudest == 0) return;
  for (double& v : s) v *= peak / loudest;
}

bool WriteWav(const std::string& path, const Samples& s) {
  SF_INFO info{};
  info.samplerate = SOUND_RATE;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<short> pcm(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    pcm[i] = static_cast<short>(std::lround(std::clamp(s[i], -1.0, 1.0) * 32767));
  }
  const bool written =
      sf_write_short(file, pcm.data(), pcm.size()) == static_cast<sf_count_t>(pcm.size());
  return sf_close(file) == 0 && written;
}
