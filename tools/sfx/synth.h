#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A tiny synthesizer for the game's sound effects: oscillators, noise, envelopes,
// pitch slides and one-pole filters over plain buffers of samples at SOUND_RATE.
// Everything is deterministic, so every build writes the same bytes.
using Samples = std::vector<double>;

// Sample count of a stretch of time.
int SampleCount(double seconds);

// White noise in -1..1 from a generator of the synthesizer's own.
class CNoise {
 public:
  explicit CNoise(std::uint32_t seed) : state(seed ? seed : 1) {}
  double Next();

 private:
  std::uint32_t state;
};

enum Wave { WAVE_SINE, WAVE_TRIANGLE, WAVE_SQUARE };

// A tone sliding exponentially from one frequency to another over its length,
// with an optional vibrato (depth as a share of the frequency).
Samples Tone(Wave wave, double seconds, double startHz, double endHz, double vibratoHz = 0,
             double vibratoDepth = 0);
Samples Noise(double seconds, std::uint32_t seed);

// Envelopes, applied in place: a linear rise then an exponential fall with the
// given half-life; a linear fade in and out at the ends.
void Decay(Samples& s, double attackSeconds, double halfLifeSeconds);
void Fade(Samples& s, double inSeconds, double outSeconds);

// One-pole filters whose corner slides from start to end over the buffer.
void LowPass(Samples& s, double startHz, double endHz);
void HighPass(Samples& s, double startHz, double endHz);

// Adds src, times gain, into dst from the given time on; dst grows to fit.
void Mix(Samples& dst, const Samples& src, double atSeconds, double gain);

// Short clicks of noise scattered at random over the buffer: grit, pops.
void Grains(Samples& s, int count, double grainSeconds, double gain, std::uint32_t seed);

// Makes the buffer loop seamlessly: its last overlapSeconds are faded into its start
// and cut off.
void CloseLoop(Samples& s, double overlapSeconds);

// Scales the buffer so its loudest sample has the given peak.
void Normalise(Samples& s, double peak);

// Writes a mono 16-bit WAV file through libsndfile; false on failure.
bool WriteWav(const std::string& path, const Samples& s);
