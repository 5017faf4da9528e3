#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One sound read into memory: mono 16-bit samples at their own rate.
struct SoundData {
  int rate = 0;
  std::vector<std::int16_t> samples;
};

// Reads a sound file: through libsndfile on Linux (sound_file_sndfile.cpp), by
// the game's own WAV reader on Windows and in the browser (sound_file_wav.cpp). A file that is missing, empty, unreadable, or whose
// layout SoundLayoutFits refuses gives false and leaves data empty: the game plays
// silence in its place. A file cut short gives the samples that are there.
bool LoadSoundFile(const std::string& path, SoundData& data);

// Whether a sound file's layout is one the game plays: mono, at a rate a real
// sound file may have, and from one frame up to SOUND_MAX_SECONDS long (frames
// counted as far as the file really goes). Anything else is taken for damage.
bool SoundLayoutFits(int channels, int rate, long long frames);
