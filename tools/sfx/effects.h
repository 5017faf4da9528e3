#pragma once

#include "audio/sound_id.h"
#include "tools/sfx/synth.h"

// Every sound stays at or under this peak, so the game's mix has room for many
// at once.
constexpr double SOUND_PEAK = 0.5;

// The sound of the given id, normalised to SOUND_PEAK. One soft, round style:
// sine and triangle tones, filtered noise, nothing harsh.
Samples MakeSound(SoundId id);
