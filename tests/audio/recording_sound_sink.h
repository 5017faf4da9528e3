#pragma once

#include <algorithm>
#include <vector>

#include "audio/sound_sink.h"

// A sink that plays nothing and keeps what it was asked to play; a voice is the
// index of its play.
class CRecordingSoundSink : public CSoundSink {
 public:
  struct Played {
    SoundId sound;
    SoundPlace place;
    double pitch, gain;
    bool loop;
  };
  void SetListener(const double[3], const double[3]) override {}
  int Play(SoundId sound, const SoundPlace& place, double pitch, double gain, bool loop) override {
    played.push_back({sound, place, pitch, gain, loop});
    return static_cast<int>(played.size()) - 1;
  }
  void Steer(int voice, double pitch, double gain) override {
    steered.push_back({played[voice].sound, {}, pitch, gain, true});
  }
  void Stop(int voice) override { stopped.push_back(voice); }
  void SetMuted(bool m) override { muted = m; }
  void Prepare() override { ++prepared; }
  void SetPaused(bool p) override { paused = p; }
  int Count(SoundId sound) const {
    return static_cast<int>(std::count_if(played.begin(), played.end(),
                                          [&](const Played& p) { return p.sound == sound; }));
  }

  std::vector<Played> played, steered;
  std::vector<int> stopped;
  bool muted = false, paused = false;
  int prepared = 0;
};
