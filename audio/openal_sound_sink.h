#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include "audio/sound_device_keeper.h"
#include "audio/sound_file.h"
#include "audio/sound_mix.h"
#include "audio/sound_sink.h"

// Plays the game's sounds through OpenAL, which mixes them on its own thread.
// With no device, or a device that cannot be opened, it stays silent; a sound
// whose file is missing or damaged is silent on its own. Neither OpenAL nor the
// sound system beneath it may write anything on standard error.
//
// The device is opened and every sound read from SOUND_FOLDER on Prepare, or
// else on the first sound or listener placed. A device lost later (unplugged,
// its server gone) leaves the game silent until the system's default device is
// there again; a game begun with none picks one up when it comes. Both are
// looked for about once a second, and those later devices opened away from the
// game's thread. The sounds stay in memory, so a new device reads no files.
// Loops that were playing start again from their beginning on the new device;
// sounds played once are not heard again.
class COpenALSoundSink : public CSoundSink {
 public:
  COpenALSoundSink();
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

  // True while a device is open: the game can be heard.
  bool HasDevice() const { return context != nullptr; }
  // Closes the device; the sink is silent from then on. Runs at exit too, so
  // OpenAL's mixing thread is gone before the process is.
  void Close();

  static constexpr int VOICE_COUNT = SOUND_VOICE_COUNT;

  // A device with its context, opened together.
  struct Device {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    explicit operator bool() const { return device != nullptr; }
  };

 private:
  // What each source plays, kept so a loop can go on through a new device.
  struct Voice {
    int id = NO_VOICE;
    SoundId sound = SOUND_CLICK;
    SoundPlace place;
    double pitch = 1;
    double gain = 0;
    bool looping = false;
  };

  void KeepDevice();
  bool Lost() const;
  void TakeIntoUse(Device opened);
  Device Release();
  void LoadBuffers();
  void PlaceListener();
  void Start(int source);
  void Tune(int source);
  void RestartLoops();
  int FindSource(int voice) const;
  int FreeSource() const;

  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  bool tellsLoss = false;
  ALuint buffers[SOUND_COUNT] = {};
  bool loaded[SOUND_COUNT] = {};
  ALuint sources[VOICE_COUNT] = {};
  Voice voices[VOICE_COUNT];
  SoundData sounds[SOUND_COUNT];
  CSoundDeviceKeeper<Device> keeper;
  float eye[3] = {};
  float orientation[6] = {0, 1, 0, 0, 0, 1};
  int nextVoice = 0;
  bool muted = false;
  bool paused = false;
  bool prepared = false;
  bool owner = false;
};
