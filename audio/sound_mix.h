#pragma once

#include "audio/sound_sink.h"

// How every sink mixes the game's sounds, so that they sound alike on every
// platform.

// The whole mix is turned down so that many sounds at once stay well inside full
// scale; the sink's output limiter catches whatever still gets through.
constexpr double SOUND_MASTER_GAIN = 0.7;
// A sound at the camera's usual distance from the board (about ten units) or
// nearer is heard as written; farther ones are softer, by inverse distance.
constexpr double SOUND_REFERENCE_DISTANCE = 10.0;
constexpr double SOUND_ROLLOFF = 1.0;
constexpr double SOUND_MIN_PITCH = 0.25;
constexpr double SOUND_MAX_PITCH = 4.0;
// Enough voices for a busy moment: a fall, holes opening, landings, the loops.
constexpr int SOUND_VOICE_COUNT = 24;
// A sink looks whether its device is still there, or for one when it has none,
// about this often: a device back is heard again soon, and looking costs little.
constexpr double SOUND_DEVICE_RETRY_SECONDS = 1.0;

// What a sound gives each ear before its own gain and the master gain.
struct StereoGains {
  double left = 0;
  double right = 0;
};

// The listener stands at eye facing lookAt, z up. A sound on the board is
// softened by its distance and panned by how far it lies to the listener's
// right; a sound heard everywhere is centred.
StereoGains PlaceSound(const double eye[3], const double lookAt[3], const SoundPlace& place);
