#pragma once

#include <algorithm>
#include <vector>

#include "audio/sound_sink.h"

// A sink that plays nothing and keeps what it was asked to play.
class CRecordingSoundSink : public CSoundSink {
 public:
  struct Played {
    SoundId sound;
    SoundPlace place;
    double pitch, gain;
    bool loop;
  };
  struct Steered {
    int voice;
    double pitch, gain;
  };

  void SetListener(const double[3], const double[3]) override {}
  int Play(SoundId sound, const SoundPlace& place, double pitch, double gain, bool loop) override {
    played.push_back({sound, place, pitch, gain, loop});
    return static_cast<int>(played.size()) - 1;
  }
  void Steer(int voice, double pitch, double gain) override {
    steered.push_back({voice, pitch, gain});
  }
  void Stop(int voice) override { stopped.push_back(voice); }
  void SetMuted(bool m) override { muted = m; }

  int Count(SoundId sound) const {
    return static_cast<int>(std::count_if(played.begin(), played.end(),
                                          [&](const Played& p) { return p.sound == sound; }));
  }
  // Plays other than the fire's loop, which runs under every game.
  int OneShots() const { return static_cast<int>(played.size()) - Count(SOUND_CRACKLE); }

  std::vector<Played> played;
  std::vector<Steered> steered;
  std::vector<int> stopped;
  bool muted = false;
};
