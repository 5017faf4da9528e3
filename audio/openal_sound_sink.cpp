#include "audio/openal_sound_sink.h"

#include <AL/alext.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "audio/sound_file.h"
#include "audio/sound_mix.h"
#include "audio/system_sound_sink.h"

namespace {
// OpenAL's inverse distance model, clamped, is the placement every sink gives.
constexpr float MASTER_GAIN = SOUND_MASTER_GAIN;
constexpr float REFERENCE_DISTANCE = SOUND_REFERENCE_DISTANCE;
constexpr float ROLLOFF = SOUND_ROLLOFF;

// ALSA reports a missing sound card on standard error by default; the game is
// silent about it.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

COpenALSoundSink* openSink = nullptr;

void CloseAtExit() {
  if (openSink) openSink->Close();
}

// Any error left from an earlier call, cleared so the next check sees its own.
void ClearErrors() {
  while (alGetError() != AL_NO_ERROR) {
  }
}
}  // namespace

COpenALSoundSink::~COpenALSoundSink() {
  Close();
}

void COpenALSoundSink::Prepare() {
  if (prepared) return;
  prepared = true;
  Open();
}

void COpenALSoundSink::Open() {
  // Both must be in place before OpenAL first looks at its settings and devices;
  // a player who sets the log level himself keeps it.
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  snd_lib_error_set_handler(QuietAlsa);

  // One sink plays at a time: a second one stays silent.
  if (openSink) return;
  device = alcOpenDevice(nullptr);
  if (!device) return;
  const ALCint limited[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};
  const bool canLimit = alcIsExtensionPresent(device, "ALC_SOFT_output_limiter");
  context = alcCreateContext(device, canLimit ? limited : nullptr);
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    context = nullptr;
    alcCloseDevice(device);
    device = nullptr;
    return;
  }
  openSink = this;
  static bool exitHookSet = false;
  if (!exitHookSet) exitHookSet = std::atexit(CloseAtExit) == 0;

  ClearErrors();
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  // Muting may have come before the device.
  alListenerf(AL_GAIN, muted ? 0.0f : MASTER_GAIN);
  alGenSources(VOICE_COUNT, sources);
  if (alGetError() != AL_NO_ERROR) {
    Close();
    return;
  }
  std::fill(std::begin(voices), std::end(voices), NO_VOICE);
  LoadSounds();
}

void COpenALSoundSink::LoadSounds() {
  SoundData data;
  for (int i = 0; i < SOUND_COUNT; ++i) {
    const std::string path = std::string(SOUND_FOLDER) + "/" + SOUND_FILES[i];
    if (!LoadSoundFile(path, data)) continue;
    ClearErrors();
    alGenBuffers(1, &buffers[i]);
    alBufferData(buffers[i], AL_FORMAT_MONO16, data.samples.data(),
                 static_cast<ALsizei>(data.samples.size() * sizeof(data.samples[0])), data.rate);
    loaded[i] = alGetError() == AL_NO_ERROR;
  }
}

void COpenALSoundSink::Close() {
  if (!context) return;
  alSourceStopv(VOICE_COUNT, sources);
  alDeleteSources(VOICE_COUNT, sources);
  for (int i = 0; i < SOUND_COUNT; ++i) {
    if (buffers[i]) alDeleteBuffers(1, &buffers[i]);
    buffers[i] = 0;
    loaded[i] = false;
  }
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(device);
  context = nullptr;
  device = nullptr;
  if (openSink == this) openSink = nullptr;
}

void COpenALSoundSink::SetListener(const double eye[3], const double lookAt[3]) {
  Prepare();
  if (!context) return;
  alListener3f(AL_POSITION, static_cast<float>(eye[0]), static_cast<float>(eye[1]),
               static_cast<float>(eye[2]));
  // Facing the look-at point with the board's z up.
  const float orientation[6] = {static_cast<float>(lookAt[0] - eye[0]),
                                static_cast<float>(lookAt[1] - eye[1]),
                                static_cast<float>(lookAt[2] - eye[2]),
                                0,
                                0,
                                1};
  alListenerfv(AL_ORIENTATION, orientation);
}

int COpenALSoundSink::FindSource(int voice) const {
  if (voice == NO_VOICE) return -1;
  for (int i = 0; i < VOICE_COUNT; ++i) {
    if (voices[i] == voice) return i;
  }
  return -1;
}

// A source that is not playing, or else the oldest one that is not a loop.
int COpenALSoundSink::FreeSource() const {
  int oldest = -1;
  for (int i = 0; i < VOICE_COUNT; ++i) {
    ALint state = AL_STOPPED;
    alGetSourcei(sources[i], AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) return i;
    if (!looping[i] && (oldest < 0 || voices[i] < voices[oldest])) oldest = i;
  }
  return oldest;
}

int COpenALSoundSink::Play(SoundId sound, const SoundPlace& place, double pitch, double gain,
                           bool loop) {
  Prepare();
  if (!context || paused || sound < 0 || sound >= SOUND_COUNT || !loaded[sound]) return NO_VOICE;
  const int i = FreeSource();
  if (i < 0) return NO_VOICE;
  const ALuint source = sources[i];
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffers[sound]));
  alSourcei(source, AL_SOURCE_RELATIVE, place.onBoard ? AL_FALSE : AL_TRUE);
  if (place.onBoard) {
    alSource3f(source, AL_POSITION, static_cast<float>(place.x), static_cast<float>(place.y),
               static_cast<float>(place.z));
  } else {
    alSource3f(source, AL_POSITION, 0, 0, 0);
  }
  alSourcef(source, AL_REFERENCE_DISTANCE, REFERENCE_DISTANCE);
  alSourcef(source, AL_ROLLOFF_FACTOR, ROLLOFF);
  alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  voices[i] = nextVoice;
  nextVoice = nextVoice == 0x7fffffff ? 0 : nextVoice + 1;
  looping[i] = loop;
  Steer(voices[i], pitch, gain);
  alSourcePlay(source);
  return voices[i];
}

void COpenALSoundSink::Steer(int voice, double pitch, double gain) {
  const int i = FindSource(voice);
  if (!context || i < 0) return;
  alSourcef(sources[i], AL_PITCH,
            static_cast<float>(std::clamp(pitch, SOUND_MIN_PITCH, SOUND_MAX_PITCH)));
  alSourcef(sources[i], AL_GAIN, static_cast<float>(std::clamp(gain, 0.0, 1.0)));
}

void COpenALSoundSink::Stop(int voice) {
  const int i = FindSource(voice);
  if (!context || i < 0) return;
  alSourceStop(sources[i]);
  voices[i] = NO_VOICE;
  looping[i] = false;
}

// Only the voices that were playing are held, so letting go restarts no sound that
// had already ended or been stopped.
void COpenALSoundSink::SetPaused(bool pause) {
  if (pause == paused) return;
  paused = pause;
  if (!context) return;
  for (ALuint source : sources) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (paused && state == AL_PLAYING) alSourcePause(source);
    if (!paused && state == AL_PAUSED) alSourcePlay(source);
  }
}

void COpenALSoundSink::SetMuted(bool mute) {
  muted = mute;
  if (context) alListenerf(AL_GAIN, muted ? 0.0f : MASTER_GAIN);
}

std::shared_ptr<CSoundSink> MakeSystemSoundSink() {
  return std::make_shared<COpenALSoundSink>();
}
