#pragma once

#include "audio/sound_file.h"
#include "audio/sound_mix.h"
#include "audio/sound_sink.h"

struct IXAudio2;
struct IXAudio2MasteringVoice;
struct IXAudio2SourceVoice;

// Plays the game's sounds through XAudio2 on Windows, which mixes them on its
// own thread. The placement OpenAL does on Linux is done here by hand: each
// voice's gain for the left and right speaker follows the listener.
//
// With no sound device the sink stays silent and writes nothing; a sound whose
// file is missing or damaged is silent on its own. The device is asked for and
// every sound read from SOUND_FOLDER on Prepare, or else on the first sound or
// listener placed; one try only.
class CXAudio2SoundSink : public CSoundSink {
 public:
  CXAudio2SoundSink() = default;
  ~CXAudio2SoundSink() override;
  CXAudio2SoundSink(const CXAudio2SoundSink&) = delete;
  CXAudio2SoundSink& operator=(const CXAudio2SoundSink&) = delete;

  void SetListener(const double eye[3], const double lookAt[3]) override;
  int Play(SoundId sound, const SoundPlace& place, double pitch, double gain, bool loop) override;
  void Steer(int voice, double pitch, double gain) override;
  void Stop(int voice) override;
  void SetMuted(bool muted) override;
  void Prepare() override;
  void SetPaused(bool paused) override;

  // True once a device is open: the game can be heard.
  bool HasDevice() const { return master != nullptr; }
  // Closes the device; the sink is silent from then on. Runs at exit too, so
  // XAudio2's mixing thread is gone before the process is.
  void Close();

 private:
  // One of the voices the sink plays through, and what it plays.
  struct Voice {
    IXAudio2SourceVoice* source = nullptr;
    int id = NO_VOICE;
    // How much faster than the voices' rate its sound was recorded.
    double rateRatio = 1;
    bool looping = false;
    SoundPlace place;
    double gain = 0;
  };

  void Open();
  bool OpenDevice();
  void LoadSounds();
  bool IsPlaying(const Voice& voice) const;
  Voice* Find(int id);
  Voice* FreeVoice();
  void Place(Voice& voice);

  bool comStarted = false;
  IXAudio2* engine = nullptr;
  IXAudio2MasteringVoice* master = nullptr;
  SoundData sounds[SOUND_COUNT];
  Voice voices[SOUND_VOICE_COUNT];
  double eye[3] = {};
  double lookAt[3] = {0, 1, 0};
  int nextVoice = 0;
  bool muted = false;
  bool paused = false;
  bool prepared = false;
};
