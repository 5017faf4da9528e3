#include "audio/openal_sound_sink.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "audio/openal_backend.h"
#include "audio/sound_file.h"
#include "audio/sound_mix.h"
#include "audio/system_sound_sink.h"

// The extension's name, for OpenALs whose headers leave it out; whether the
// device has it is asked before it is used.
#ifndef ALC_CONNECTED
#define ALC_CONNECTED 0x313
#endif

namespace {
// OpenAL's inverse distance model, clamped, is the placement every sink gives.
constexpr float MASTER_GAIN = SOUND_MASTER_GAIN;
constexpr float REFERENCE_DISTANCE = SOUND_REFERENCE_DISTANCE;
constexpr float ROLLOFF = SOUND_ROLLOFF;

using Device = COpenALSoundSink::Device;

COpenALSoundSink* openSink = nullptr;

void CloseAtExit() {
  if (openSink) openSink->Close();
}

// Any error left from an earlier call, cleared so the next check sees its own.
void ClearErrors() {
  while (alGetError() != AL_NO_ERROR) {
  }
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The system's default device with a context on it, or nothing.
Device OpenDefaultDevice() {
  Device opened;
  opened.device = alcOpenDevice(nullptr);
  if (!opened.device) return Device();
  opened.context = alcCreateContext(opened.device, OpenALContextAttributes(opened.device));
  if (!opened.context) {
    alcCloseDevice(opened.device);
    return Device();
  }
  return opened;
}

void CloseDevice(Device opened) {
  if (opened.context) alcDestroyContext(opened.context);
  if (opened.device) alcCloseDevice(opened.device);
}
}  // namespace

COpenALSoundSink::COpenALSoundSink()
    : keeper(OpenDefaultDevice, CloseDevice, SOUND_DEVICE_RETRY_SECONDS) {}

COpenALSoundSink::~COpenALSoundSink() {
  Close();
}

void COpenALSoundSink::Prepare() {
  if (prepared) return;
  prepared = true;
  QuietenOpenALBackend();

  // One sink plays at a time: a second one stays silent.
  if (openSink) return;
  openSink = this;
  owner = true;
  static bool exitHookSet = false;
  if (!exitHookSet) exitHookSet = std::atexit(CloseAtExit) == 0;

  for (int i = 0; i < SOUND_COUNT; ++i) {
    LoadSoundFile(std::string(SOUND_FOLDER) + "/" + SOUND_FILES[i], sounds[i]);
  }
  // The first device is opened here and now, while the title waits, so that the
  // first sounds asked for are heard; only later ones are waited for elsewhere.
  keeper.Due(Now());
  if (Device opened = OpenDefaultDevice()) TakeIntoUse(opened);
}

// On every use: takes in a device the keeper has opened, and about once a
// second checks the device in use or, lacking one, sends for another.
void COpenALSoundSink::KeepDevice() {
  if (!owner) return;
  if (Device opened = keeper.Take()) TakeIntoUse(opened);
  if (!keeper.Due(Now())) return;
  if (context && !Lost()) return;
  keeper.Reopen(Release());
}

bool COpenALSoundSink::Lost() const {
  if (!tellsLoss) return false;
  ALCint connected = ALC_TRUE;
  alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
  return connected == ALC_FALSE;
}

// The sink's state goes over to a new device: muting, the listener, the sounds
// read, and the loops.
void COpenALSoundSink::TakeIntoUse(Device opened) {
  if (!alcMakeContextCurrent(opened.context)) {
    CloseDevice(opened);
    return;
  }
  ClearErrors();
  alGenSources(VOICE_COUNT, sources);
  if (alGetError() != AL_NO_ERROR) {
    alcMakeContextCurrent(nullptr);
    CloseDevice(opened);
    return;
  }
  device = opened.device;
  context = opened.context;
  tellsLoss = alcIsExtensionPresent(device, "ALC_EXT_disconnect");
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  alListenerf(AL_GAIN, muted ? 0.0f : MASTER_GAIN);
  PlaceListener();
  LoadBuffers();
  RestartLoops();
}

void COpenALSoundSink::LoadBuffers() {
  for (int i = 0; i < SOUND_COUNT; ++i) {
    const SoundData& data = sounds[i];
    if (data.samples.empty()) continue;
    ClearErrors();
    alGenBuffers(1, &buffers[i]);
    alBufferData(buffers[i], AL_FORMAT_MONO16, data.samples.data(),
                 static_cast<ALsizei>(data.samples.size() * sizeof(data.samples[0])), data.rate);
    loaded[i] = alGetError() == AL_NO_ERROR;
  }
}

// Loops carry on from their beginning, held if the game is paused; sounds played
// once had their moment.
void COpenALSoundSink::RestartLoops() {
  for (int i = 0; i < VOICE_COUNT; ++i) {
    if (voices[i].id == NO_VOICE) continue;
    if (!voices[i].looping || !loaded[voices[i].sound]) {
      voices[i] = Voice();
      continue;
    }
    Start(i);
    if (paused) alSourcePause(sources[i]);
  }
}

// Lets go of the device in use, if any: its sources and buffers go here, where its
// context is current, and the device itself is handed back to be closed.
Device COpenALSoundSink::Release() {
  if (!context) return Device();
  // One by one, as some OpenALs do not stop a list of sources.
  for (ALuint source : sources) alSourceStop(source);
  alDeleteSources(VOICE_COUNT, sources);
  std::fill(std::begin(sources), std::end(sources), 0);
  for (int i = 0; i < SOUND_COUNT; ++i) {
    if (buffers[i]) alDeleteBuffers(1, &buffers[i]);
    buffers[i] = 0;
    loaded[i] = false;
  }
  alcMakeContextCurrent(nullptr);
  const Device released{device, context};
  device = nullptr;
  context = nullptr;
  return released;
}

void COpenALSoundSink::Close() {
  CloseDevice(keeper.Await());
  CloseDevice(Release());
  std::fill(std::begin(voices), std::end(voices), Voice());
  if (owner) openSink = nullptr;
  owner = false;
}

void COpenALSoundSink::SetListener(const double newEye[3], const double lookAt[3]) {
  Prepare();
  KeepDevice();
  // Facing the look-at point with the board's z up.
  for (int i = 0; i < 3; ++i) {
    eye[i] = static_cast<float>(newEye[i]);
    orientation[i] = static_cast<float>(lookAt[i] - newEye[i]);
  }
  if (context) PlaceListener();
}

void COpenALSoundSink::PlaceListener() {
  alListenerfv(AL_POSITION, eye);
  alListenerfv(AL_ORIENTATION, orientation);
}

int COpenALSoundSink::FindSource(int voice) const {
  if (voice == NO_VOICE) return -1;
  for (int i = 0; i < VOICE_COUNT; ++i) {
    if (voices[i].id == voice) return i;
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
    if (!voices[i].looping && (oldest < 0 || voices[i].id < voices[oldest].id)) oldest = i;
  }
  return oldest;
}

int COpenALSoundSink::Play(SoundId sound, const SoundPlace& place, double pitch, double gain,
                           bool loop) {
  Prepare();
  KeepDevice();
  if (!context || paused || sound < 0 || sound >= SOUND_COUNT || !loaded[sound]) return NO_VOICE;
  const int i = FreeSource();
  if (i < 0) return NO_VOICE;
  voices[i] = Voice{nextVoice, sound, place, pitch, gain, loop};
  nextVoice = nextVoice == 0x7fffffff ? 0 : nextVoice + 1;
  Start(i);
  return voices[i].id;
}

void COpenALSoundSink::Start(int i) {
  const Voice& voice = voices[i];
  const ALuint source = sources[i];
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffers[voice.sound]));
  alSourcei(source, AL_SOURCE_RELATIVE, voice.place.onBoard ? AL_FALSE : AL_TRUE);
  if (voice.place.onBoard) {
    alSource3f(source, AL_POSITION, static_cast<float>(voice.place.x),
               static_cast<float>(voice.place.y), static_cast<float>(voice.place.z));
  } else {
    alSource3f(source, AL_POSITION, 0, 0, 0);
  }
  alSourcef(source, AL_REFERENCE_DISTANCE, REFERENCE_DISTANCE);
  alSourcef(source, AL_ROLLOFF_FACTOR, ROLLOFF);
  alSourcei(source, AL_LOOPING, voice.looping ? AL_TRUE : AL_FALSE);
  Tune(i);
  alSourcePlay(source);
}

void COpenALSoundSink::Tune(int i) {
  alSourcef(sources[i], AL_PITCH,
            static_cast<float>(std::clamp(voices[i].pitch, SOUND_MIN_PITCH, SOUND_MAX_PITCH)));
  alSourcef(sources[i], AL_GAIN, static_cast<float>(std::clamp(voices[i].gain, 0.0, 1.0)));
}

// A voice is steered even while there is no device, so that a loop comes back as
// it was last asked to sound.
void COpenALSoundSink::Steer(int voice, double pitch, double gain) {
  KeepDevice();
  const int i = FindSource(voice);
  if (i < 0) return;
  voices[i].pitch = pitch;
  voices[i].gain = gain;
  if (context) Tune(i);
}

void COpenALSoundSink::Stop(int voice) {
  KeepDevice();
  const int i = FindSource(voice);
  if (i < 0) return;
  if (context) alSourceStop(sources[i]);
  voices[i] = Voice();
}

// Only the voices that were playing are held, so letting go restarts no sound that
// had already ended or been stopped.
void COpenALSoundSink::SetPaused(bool pause) {
  KeepDevice();
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
  KeepDevice();
  muted = mute;
  if (context) alListenerf(AL_GAIN, muted ? 0.0f : MASTER_GAIN);
}

std::shared_ptr<CSoundSink> MakeSystemSoundSink() {
  return std::make_shared<COpenALSoundSink>();
}
