#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include "audio/sound_mix.h"
#include "audio/sound_sink.h"

// Plays the game's sounds through OpenAL, which mixes them on its own thread.
// With no device, or a device that cannot be opened, it stays silent; a sound
// whose file is missing or damaged is silent on its own. Neither OpenAL nor the
// sound system beneath it may write anything on standard error.
//
// The device is opened and every sound read from SOUND_FOLDER on Prepare, or
// else on the first sound or listener placed; one try only, so a missing
// device costs nothing after it.
class COpenALSoundSink : public CSoundSink {
 public:
  COpenALSoundSink() = default;
  ~COpenALSoundSink() override;
  COpenALSoundSink(const COpenALSoundSink&) = delete;
  COpenALSoundSink& operator=(const COpenALSoundSink&) = delete;

  void SetListener(const double eye[3], const double lookAt[3]) override;
  int Play(SoundId sound, const SoundPlace& place, double pitch, double gain, bool loop) override;
  void Steer(int voice, double pitch, double gain) override;
  void Stop(int voice) override;
  void SetMuted(bool muted) override;
  void Prepare() override;
  void SetPaused(bool paused) override;

  // True once a device is open: the game can be heard.
  bool HasDevice() const { return context != nullptr; }
  // Closes the device; the sink is silent from then on. Runs at exit too, so
  // OpenAL's mixing thread is gone before the process is.
  void Close();

  static constexpr int VOICE_COUNT = SOUND_VOICE_COUNT;

 private:
  void Open();
  void LoadSounds();
  int FindSource(int voice) const;
  int FreeSource() const;

  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  ALuint buffers[SOUND_COUNT] = {};
  bool loaded[SOUND_COUNT] = {};
  ALuint sources[VOICE_COUNT] = {};
  int voices[VOICE_COUNT] = {};
  bool looping[VOICE_COUNT] = {};
  int nextVoice = 0;
  bool muted = false;
  bool paused = false;
  bool prepared = false;
};
