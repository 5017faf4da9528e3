#include "audio/xaudio2_sound_sink.h"

#include <initguid.h>
// initguid.h first: the limiter's class id is defined here, as no library has it.
#include <mmdeviceapi.h>
#include <objbase.h>
#include <xapofx.h>
#include <xaudio2.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/system_sound_sink.h"

// The effect factory of XAudio2 2.8 and its limiter's settings, which
// MinGW-w64's headers leave out.
extern "C" HRESULT __cdecl CreateFX(REFCLSID effect, IUnknown** created, const void* settings,
                                    UINT32 settingsSize);

namespace {
struct LimiterSettings {
  UINT32 release;   // milliseconds over which the limiter lets go again
  UINT32 loudness;  // gain in hundredths of a unit before the limit
};
constexpr LimiterSettings LIMITER = {6, 1000};
// The mix is stereo: the placement pans between two speakers, as OpenAL does
// for two, and the system spreads it over more where there are more.
constexpr UINT32 OUTPUT_CHANNELS = 2;
constexpr WORD BITS_PER_SAMPLE = 16;
// Every voice plays at the game's rate; a sound recorded at another rate is
// played faster or slower to match, up to the highest pitch of a sound recorded
// at eight times the game's rate.
constexpr double MAX_FREQUENCY_RATIO = 8 * SOUND_MAX_PITCH;

CXAudio2SoundSink* openSink = nullptr;

void CloseAtExit() {
  if (openSink) openSink->Close();
}

// Asks the system for a speaker before XAudio2 is told to open one: with none,
// some XAudio2 implementations end the process instead of failing the call.
bool HasSpeaker() {
  IMMDeviceEnumerator* devices = nullptr;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                              __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices)))) {
    return false;
  }
  IMMDevice* speaker = nullptr;
  const bool found = SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &speaker));
  if (speaker) speaker->Release();
  devices->Release();
  return found;
}

void AddLimiter(IXAudio2MasteringVoice* master) {
  IUnknown* limiter = nullptr;
  if (FAILED(CreateFX(CLSID_FXMasteringLimiter, &limiter, &LIMITER, sizeof(LIMITER)))) return;
  XAUDIO2_EFFECT_DESCRIPTOR effect = {limiter, TRUE, OUTPUT_CHANNELS};
  XAUDIO2_EFFECT_CHAIN chain = {1, &effect};
  master->SetEffectChain(&chain);
  // The voice holds its own reference.
  limiter->Release();
}
}  // namespace

CXAudio2SoundSink::~CXAudio2SoundSink() {
  Close();
}

void CXAudio2SoundSink::Prepare() {
  if (prepared) return;
  prepared = true;
  Open();
}

void CXAudio2SoundSink::Open() {
  // One sink plays at a time: a second one stays silent.
  if (openSink) return;
  if (!OpenDevice()) {
    Close();
    return;
  }
  openSink = this;
  static bool exitHookSet = false;
  if (!exitHookSet) exitHookSet = std::atexit(CloseAtExit) == 0;
  LoadSounds();
}

bool CXAudio2SoundSink::OpenDevice() {
  // Another part of the game may have started COM on this thread its own way,
  // which serves as well.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  comStarted = SUCCEEDED(com);
  if (FAILED(com) && com != RPC_E_CHANGED_MODE) return false;
  if (!HasSpeaker()) return false;
  if (FAILED(XAudio2Create(&engine, 0, XAUDIO2_DEFAULT_PROCESSOR))) return false;
  if (FAILED(engine->CreateMasteringVoice(&master, OUTPUT_CHANNELS))) return false;
  AddLimiter(master);
  // Muting and pausing may have come before the device.
  master->SetVolume(muted ? 0.0f : static_cast<float>(SOUND_MASTER_GAIN));
  if (paused) engine->StopEngine();

  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = SOUND_RATE;
  format.wBitsPerSample = BITS_PER_SAMPLE;
  format.nBlockAlign = format.nChannels * format.wBitsPerSample / 8;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  for (Voice& voice : voices) {
    if (FAILED(engine->CreateSourceVoice(&voice.source, &format, 0,
                                         static_cast<float>(MAX_FREQUENCY_RATIO)))) {
      return false;
    }
  }
  return true;
}

void CXAudio2SoundSink::LoadSounds() {
  for (int i = 0; i < SOUND_COUNT; ++i) {
    const std::string path = std::string(SOUND_FOLDER) + "/" + SOUND_FILES[i];
    // One that cannot be read is left empty, and silent.
    LoadSoundFile(path, sounds[i]);
  }
}

void CXAudio2SoundSink::Close() {
  for (Voice& voice : voices) {
    if (voice.source) voice.source->DestroyVoice();
    voice = Voice();
  }
  if (master) master->DestroyVoice();
  master = nullptr;
  if (engine) engine->Release();
  engine = nullptr;
  if (comStarted) CoUninitialize();
  comStarted = false;
  if (openSink == this) openSink = nullptr;
}

void CXAudio2SoundSink::SetListener(const double newEye[3], const double newLookAt[3]) {
  Prepare();
  std::copy(newEye, newEye + 3, eye);
  std::copy(newLookAt, newLookAt + 3, lookAt);
  if (!master) return;
  // OpenAL moves every sound with the listener; here each voice on the board is
  // placed again.
  for (Voice& voice : voices) {
    if (voice.id != NO_VOICE && voice.place.onBoard) Place(voice);
  }
}

bool CXAudio2SoundSink::IsPlaying(const Voice& voice) const {
  if (voice.id == NO_VOICE) return false;
  XAUDIO2_VOICE_STATE state;
  voice.source->GetState(&state, XAUDIO2_VOICE_NOSAMPLESPLAYED);
  return state.BuffersQueued > 0;
}

CXAudio2SoundSink::Voice* CXAudio2SoundSink::Find(int id) {
  if (id == NO_VOICE || !master) return nullptr;
  for (Voice& voice : voices) {
    if (voice.id == id) return &voice;
  }
  return nullptr;
}

// A voice that is not playing, or else the oldest one that is not a loop.
CXAudio2SoundSink::Voice* CXAudio2SoundSink::FreeVoice() {
  Voice* oldest = nullptr;
  for (Voice& voice : voices) {
    if (!IsPlaying(voice)) return &voice;
    if (!voice.looping && (!oldest || voice.id < oldest->id)) oldest = &voice;
  }
  return oldest;
}

// The voice's gain and place become its volume in each speaker.
void CXAudio2SoundSink::Place(Voice& voice) {
  const StereoGains ears = PlaceSound(eye, lookAt, voice.place);
  const float levels[OUTPUT_CHANNELS] = {static_cast<float>(voice.gain * ears.left),
                                         static_cast<float>(voice.gain * ears.right)};
  voice.source->SetOutputMatrix(master, 1, OUTPUT_CHANNELS, levels);
}

int CXAudio2SoundSink::Play(SoundId sound, const SoundPlace& place, double pitch, double gain,
                            bool loop) {
  Prepare();
  if (!master || paused || sound < 0 || sound >= SOUND_COUNT || sounds[sound].samples.empty()) {
    return NO_VOICE;
  }
  Voice* voice = FreeVoice();
  if (!voice) return NO_VOICE;
  // Stopped and flushed, a voice starts afresh with the next buffer.
  voice->source->Stop();
  voice->source->FlushSourceBuffers();
  const SoundData& data = sounds[sound];
  XAUDIO2_BUFFER buffer = {};
  buffer.Flags = XAUDIO2_END_OF_STREAM;
  buffer.AudioBytes = static_cast<UINT32>(data.samples.size() * sizeof(data.samples[0]));
  buffer.pAudioData = reinterpret_cast<const BYTE*>(data.samples.data());
  buffer.LoopCount = loop ? XAUDIO2_LOOP_INFINITE : 0;
  if (FAILED(voice->source->SubmitSourceBuffer(&buffer))) {
    voice->id = NO_VOICE;
    return NO_VOICE;
  }
  voice->id = nextVoice;
  nextVoice = nextVoice == 0x7fffffff ? 0 : nextVoice + 1;
  voice->looping = loop;
  voice->place = place;
  voice->rateRatio = static_cast<double>(data.rate) / SOUND_RATE;
  Steer(voice->id, pitch, gain);
  voice->source->Start();
  return voice->id;
}

void CXAudio2SoundSink::Steer(int id, double pitch, double gain) {
  Voice* voice = Find(id);
  if (!voice) return;
  const double ratio = std::clamp(pitch, SOUND_MIN_PITCH, SOUND_MAX_PITCH) * voice->rateRatio;
  voice->source->SetFrequencyRatio(static_cast<float>(std::min(ratio, MAX_FREQUENCY_RATIO)));
  voice->gain = std::clamp(gain, 0.0, 1.0);
  Place(*voice);
}

void CXAudio2SoundSink::Stop(int id) {
  Voice* voice = Find(id);
  if (!voice) return;
  voice->source->Stop();
  voice->source->FlushSourceBuffers();
  voice->id = NO_VOICE;
  voice->looping = false;
}

// The mixing thread stops with every voice where it is, and goes on from there: a
// sound that had ended or been stopped stays so.
void CXAudio2SoundSink::SetPaused(bool pause) {
  if (pause == paused) return;
  paused = pause;
  if (!engine) return;
  if (paused) {
    engine->StopEngine();
  } else {
    engine->StartEngine();
  }
}

void CXAudio2SoundSink::SetMuted(bool mute) {
  muted = mute;
  if (master) master->SetVolume(muted ? 0.0f : static_cast<float>(SOUND_MASTER_GAIN));
}

std::shared_ptr<CSoundSink> MakeSystemSoundSink() {
  return std::make_shared<CXAudio2SoundSink>();
}
