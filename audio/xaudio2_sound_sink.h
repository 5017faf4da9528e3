#pragma once

#include <memory>

#include "audio/sound_file.h"
#include "audio/sound_mix.h"
#include "audio/sound_sink.h"

struct IXAudio2;
struct IXAudio2MasteringVoice;
struct IXAudio2SourceVoice;
class CEngineFailureFlag;

// Plays the game's sounds through XAudio2 on Windows, which mixes them on its
// own thread. The placement OpenAL does on Linux is done here by hand: each
// voice's gain for the left and right speaker follows the listener.
//
// With no sound device the sink stays silent and writes nothing; a sound whose
// file is missing or damaged is silent on its own. The device is asked for and
// every sound read from SOUND_FOLDER on Prepare, or else on the first sound or
// listener placed. XAudio2 tells of a device lost (unplugged, or its driver
// gone) on its own thread; the engine is built again on the game's
// thread at its next call to the sink, and a game with no device asks for one
// about once a second. Loops that were playing start again from their
// beginning; sounds played once are not heard again.
class CXAudio2SoundSink : public CSoundSink {
 public:
  CXAudio2SoundSink();
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

  // True while a device is open: the game can be heard.
  bool HasDevice() const { return master != nullptr; }
  // Closes the device; the sink is silent from then on. Runs at exit too, so
  // XAudio2's mixing thread is gone before the process is.
  void Close();

 private:
  // One of the voices the sink plays through, and what it plays, kept so that a
  // loop can go on through a new engine.
  struct Voice {
    IXAudio2SourceVoice* source = nullptr;
    int id = NO_VOICE;
    SoundId sound = SOUND_CLICK;
    double pitch = 1;
    // How much faster than the voices' rate its sound was recorded.
    double rateRatio = 1;
    bool looping = false;
    SoundPlace place;
    double gain = 0;
  };

  void Open();
  void KeepDevice();
  bool BuildEngine();
  void DropEngine();
  void LoadSounds();
  bool Start(Voice& voice);
  void Tune(Voice& voice);
  void RestartLoops();
  bool IsPlaying(const Voice& voice) const;
  Voice* Find(int id);
  Voice* FreeVoice();
  void Place(Voice& voice);

  bool comStarted = false;
  bool owner = false;
  std::unique_ptr<CEngineFailureFlag> failure;
  double lastLook = 0;
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
