#pragma once

#include <memory>

#include "audio/sound_sink.h"

// The sink the game plays through on this platform: OpenAL on Linux, XAudio2
// on Windows. Each platform's sink file makes it.
std::shared_ptr<CSoundSink> MakeSystemSoundSink();
