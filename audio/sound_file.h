#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One sound read into memory: mono 16-bit samples at their own rate.
struct SoundData {
  int rate = 0;
  std::vector<std::int16_t> samples;
};

// Reads a sound file through libsndfile. A file that is missing, empty, unreadable,
// not mono, at an odd rate or longer than SOUND_MAX_SECONDS gives false and leaves
// data empty: the game plays silence in its place. A file cut short gives the
// samples that are there.
bool LoadSoundFile(const std::string& path, SoundData& data);
