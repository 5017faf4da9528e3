#include "audio/xaudio2_sound_sink.h"

#include <initguid.h>
// initguid.h first: the limiter's class id is defined here, as no library has it.
#include <mmdeviceapi.h>
#include <objbase.h>
#include <xapofx.h>
#include <xaudio2.h>

#include <algorithm>
#include <atomic>
#include <chrono>
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

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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

// Raised on XAudio2's own thread when its engine fails, as when the device is
// lost; the sink looks at it on the game's thread.
class CEngineFailureFlag : public IXAudio2EngineCallback {
 public:
  std::atomic<bool> raised{false};

  void STDMETHODCALLTYPE OnProcessingPassStart() override {}
  void STDMETHODCALLTYPE OnProcessingPassEnd() override {}
  void STDMETHODCALLTYPE OnCriticalError(HRESULT) override { raised = true; }
};

CXAudio2SoundSink::CXAudio2SoundSink() : failure(std::make_unique<CEngineFailureFlag>()) {}

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
  // Another part of the game may have started COM on this thread its own way,
  // which serves as well.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  comStarted = SUCCEEDED(com);
  if (FAILED(com) && com != RPC_E_CHANGED_MODE) return;
  openSink = this;
  owner = true;
  static bool exitHookSet = false;
  if (!exitHookSet) exitHookSet = std::atexit(CloseAtExit) == 0;
  // Read once: a new device later needs no file reading.
  LoadSounds();
  lastLook = Now();
  if (!BuildEngine()) DropEngine();
}

// On every use: an engine that failed is let go and another built at once; with
// no engine, one is asked for about once a second.
void CXAudio2SoundSink::KeepDevice() {
  if (!owner) return;
  const bool failed = failure->raised.exchange(false);
  if (failed) DropEngine();
  const double now = Now();
  if (master || (!failed && now - lastLook < SOUND_DEVICE_RETRY_SECONDS)) return;
  lastLook = now;
  if (BuildEngine()) {
    RestartLoops();
  } else {
    DropEngine();
  }
}

// Muting and pausing may have come before the engine, or with an engine lost.
bool CXAudio2SoundSink::BuildEngine() {
  if (!HasSpeaker()) return false;
  if (FAILED(XAudio2Create(&engine, 0, XAUDIO2_DEFAULT_PROCESSOR))) return false;
  if (FAILED(engine->RegisterForCallbacks(failure.get()))) return false;
  if (FAILED(engine->CreateMasteringVoice(&master, OUTPUT_CHANNELS))) return false;
  AddLimiter(master);
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

// The voices keep what they played, for the loops to go on with the next engine.
void CXAudio2SoundSink::DropEngine() {
  for (Voice& voice : voices) {
    if (voice.source) voice.source->DestroyVoice();
    voice.source = nullptr;
  }
  if (master) master->DestroyVoice();
  master = nullptr;
  if (engine) {
    engine->UnregisterForCallbacks(failure.get());
    engine->Release();
  }
  engine = nullptr;
}

// Loops start again from their beginning, held still if the game is paused (the
// new engine then stands stopped); sounds played once had their moment.
void CXAudio2SoundSink::RestartLoops() {
  for (Voice& voice : voices) {
    if (voice.id == NO_VOICE) continue;
    if (!voice.looping || !Start(voice)) {
      IXAudio2SourceVoice* source = voice.source;
      voice = Voice();
      voice.source = source;
    }
  }
}

void CXAudio2SoundSink::Close() {
  DropEngine();
  std::fill(std::begin(voices), std::end(voices), Voice());
  if (comStarted) CoUninitialize();
  comStarted = false;
  if (owner) openSink = nullptr;
  owner = false;
}

void CXAudio2SoundSink::SetListener(const double newEye[3], const double newLookAt[3]) {
  Prepare();
  KeepDevice();
  std::copy(newEye, newEye + 3, eye);
  std::copy(newLookAt, newLookAt + 3, lookAt);
  if (!master) return;
  // OpenAL moves every sound with the listener; here each voice on the board is
  // placed again.
  for (Voice& voice : voices) {
    if (voice.id != NO_VOICE && voice.source && voice.place.onBoard) Place(voice);
  }
}

bool CXAudio2SoundSink::IsPlaying(const Voice& voice) const {
  if (voice.id == NO_VOICE || !voice.source) return false;
  XAUDIO2_VOICE_STATE state;
  voice.source->GetState(&state, XAUDIO2_VOICE_NOSAMPLESPLAYED);
  return state.BuffersQueued > 0;
}

CXAudio2SoundSink::Voice* CXAudio2SoundSink::Find(int id) {
  if (id == NO_VOICE) return nullptr;
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
  KeepDevice();
  if (!master || paused || sound < 0 || sound >= SOUND_COUNT || sounds[sound].samples.empty()) {
    return NO_VOICE;
  }
  Voice* voice = FreeVoice();
  if (!voice) return NO_VOICE;
  voice->sound = sound;
  voice->looping = loop;
  voice->place = place;
  voice->pitch = pitch;
  voice->gain = std::clamp(gain, 0.0, 1.0);
  if (!Start(*voice)) {
    voice->id = NO_VOICE;
    return NO_VOICE;
  }
  voice->id = nextVoice;
  nextVoice = nextVoice == 0x7fffffff ? 0 : nextVoice + 1;
  return voice->id;
}

bool CXAudio2SoundSink::Start(Voice& voice) {
  // Stopped and flushed, a voice starts afresh with the next buffer.
  voice.source->Stop();
  voice.source->FlushSourceBuffers();
  const SoundData& data = sounds[voice.sound];
  XAUDIO2_BUFFER buffer = {};
  buffer.Flags = XAUDIO2_END_OF_STREAM;
  buffer.AudioBytes = static_cast<UINT32>(data.samples.size() * sizeof(data.samples[0]));
  buffer.pAudioData = reinterpret_cast<const BYTE*>(data.samples.data());
  buffer.LoopCount = voice.looping ? XAUDIO2_LOOP_INFINITE : 0;
  if (data.samples.empty() || FAILED(voice.source->SubmitSourceBuffer(&buffer))) return false;
  voice.rateRatio = static_cast<double>(data.rate) / SOUND_RATE;
  Tune(voice);
  voice.source->Start();
  return true;
}

void CXAudio2SoundSink::Tune(Voice& voice) {
  const double ratio = std::clamp(voice.pitch, SOUND_MIN_PITCH, SOUND_MAX_PITCH) * voice.rateRatio;
  voice.source->SetFrequencyRatio(static_cast<float>(std::min(ratio, MAX_FREQUENCY_RATIO)));
  Place(voice);
}

// A voice is steered even while there is no device, so that a loop comes back as
// it was last asked to sound.
void CXAudio2SoundSink::Steer(int id, double pitch, double gain) {
  KeepDevice();
  Voice* voice = Find(id);
  if (!voice) return;
  voice->pitch = pitch;
  voice->gain = std::clamp(gain, 0.0, 1.0);
  if (voice->source) Tune(*voice);
}

void CXAudio2SoundSink::Stop(int id) {
  KeepDevice();
  Voice* voice = Find(id);
  if (!voice) return;
  if (voice->source) {
    voice->source->Stop();
    voice->source->FlushSourceBuffers();
  }
  voice->id = NO_VOICE;
  voice->looping = false;
}

// The mixing thread stops with every voice where it is, and goes on from there: a
// sound that had ended or been stopped stays so.
void CXAudio2SoundSink::SetPaused(bool pause) {
  KeepDevice();
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
  KeepDevice();
  muted = mute;
  if (master) master->SetVolume(muted ? 0.0f : static_cast<float>(SOUND_MASTER_GAIN));
}

std::shared_ptr<CSoundSink> MakeSystemSoundSink() {
  return std::make_shared<CXAudio2SoundSink>();
}
