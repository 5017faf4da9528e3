#pragma once

#include "audio/sound_id.h"

// Where a sound is heard from: a point on the board, or everywhere at once (the
// listener's own place) for sounds that belong to no blob or hole.
struct SoundPlace {
  bool onBoard = false;
  double x = 0;
  double y = 0;
  double z = 0;
};

inline SoundPlace Everywhere() {
  return SoundPlace();
}

inline SoundPlace OnBoard(double x, double y, double z) {
  return SoundPlace{true, x, y, z};
}

// A started sound, to steer or stop later; NO_VOICE when nothing was started.
constexpr int NO_VOICE = -1;

// Every sound of the game goes through this table of operations, as every drawing
// goes through the renderer: OpenAL in the game, a recording sink in tests.
class CSoundSink {
 public:
  // The listener stands at the camera's eye facing its look-at point, z up.
  virtual void SetListener(const double eye[3], const double lookAt[3]) = 0;
  // Starts a sound at a pitch (1 as written) and a gain (1 as written); a looped
  // sound plays until stopped. Returns the voice, or NO_VOICE.
  virtual int Play(SoundId sound, const SoundPlace& place, double pitch, double gain,
                   bool loop) = 0;
  // Changes a playing voice's pitch and gain; a voice that has ended is left alone.
  virtual void Steer(int voice, double pitch, double gain) = 0;
  virtual void Stop(int voice) = 0;
  // Silences everything without stopping it, so unmuting finds loops still going.
  virtual void SetMuted(bool muted) = 0;
  // Opens whatever the sink plays through and reads its sounds, if it has not
  // yet; a sink that is not prepared does this at its first sound instead.
  virtual void Prepare() = 0;
  // Holds every sound where it is, to go on from there when let go; nothing new
  // starts while they are held.
  virtual void SetPaused(bool paused) = 0;

  // Sinks are owned through shared pointers; the destructor comes last so the
  // table above keeps its order.
  virtual ~CSoundSink() = default;
};

// A sink that plays nothing: for screens built without sound.
class CSilentSoundSink : public CSoundSink {
 public:
  void SetListener(const double[3], const double[3]) override {}
  int Play(SoundId, const SoundPlace&, double, double, bool) override { return NO_VOICE; }
  void Steer(int, double, double) override {}
  void Stop(int) override {}
  void SetMuted(bool) override {}
  void Prepare() override {}
  void SetPaused(bool) override {}
};
