#include "ui/sound_cues.h"

#include <algorithm>
#include <cmath>

namespace {
// Loudness of each cue, against the others. The generated files all peak at half
// scale and the sink turns the whole mix down further, so even several loud cues
// at once stay clear of full scale.
constexpr double CLICK_GAIN = 0.6;
constexpr double GRAB_GAIN = 0.8;
constexpr double WHOOSH_GAIN = 0.7;
constexpr double THROWN_PLOP_GAIN = 0.8;
// Blobs hop about on their own a lot; their landings are a background patter.
constexpr double HOP_PLOP_GAIN = 0.3;
constexpr double WHISTLE_GAIN = 0.6;
constexpr double SIZZLE_GAIN = 0.6;
constexpr double CRUMBLE_GAIN = 0.5;
constexpr double FLAME_GAIN = 0.7;
constexpr double SETTLE_GAIN = 0.6;
constexpr double BLOOM_GAIN = 0.4;
constexpr double TICK_GAIN = 0.5;
constexpr double JINGLE_GAIN = 0.9;

// The sling's hum rises an octave and grows louder from slack to full pull.
constexpr double STRETCH_LOW_PITCH = 0.8;
constexpr double STRETCH_PITCH_SPAN = 0.8;
constexpr double STRETCH_LOW_GAIN = 0.25;
constexpr double STRETCH_GAIN_SPAN = 0.35;

// The fire under the board is loudest from this many open holes on.
constexpr double FIRE_FULL_HOLES = 8;
constexpr double FIRE_GAIN = 0.5;

// Every one-shot sound is played a little higher or lower each time, by up to this
// share, so repeated sounds do not drone.
constexpr double PITCH_SPREAD = 0.06;

// The clock ticks at each of the last ten whole seconds.
constexpr int TICK_SECONDS = 10;

const WorldMoment* First(const std::vector<WorldMoment>& moments, MomentKind kind) {
  for (const WorldMoment& m : moments) {
    if (m.kind == kind) return &m;
  }
  return nullptr;
}

// The first moment of a kind in board order (rows from 0, each from column 0), so a
// board change that cracks several cells sounds at the same one whatever their order.
const WorldMoment* FirstOnBoard(const std::vector<WorldMoment>& moments, MomentKind kind) {
  const WorldMoment* first = nullptr;
  for (const WorldMoment& m : moments) {
    if (m.kind != kind) continue;
    if (!first || m.y < first->y || (m.y == first->y && m.x < first->x)) first = &m;
  }
  return first;
}
}  // namespace

CSoundCues::CSoundCues() : sink(std::make_shared<CSilentSoundSink>()) {}

void CSoundCues::Attach(std::shared_ptr<CSoundSink> newSink) {
  sink = newSink ? newSink : std::make_shared<CSilentSoundSink>();
  sink->SetMuted(muted);
  thrown = nullptr;
  remainingSeen = 0;
  stretchStarted = false;
  stretchVoice = NO_VOICE;
  fireStarted = false;
  fireVoice = NO_VOICE;
}

void CSoundCues::Prepare() {
  sink->Prepare();
}

double CSoundCues::Vary() {
  // xorshift32: the sound's own generator, apart from the game's.
  pitchState ^= pitchState << 13;
  pitchState ^= pitchState >> 17;
  pitchState ^= pitchState << 5;
  const double uniform = pitchState / 4294967295.0;
  return 1 + PITCH_SPREAD * (2 * uniform - 1);
}

int CSoundCues::PlayAt(SoundId sound, const RenderVertex& p, double gain) {
  return sink->Play(sound, OnBoard(p.x, p.y, p.z), Vary(), gain, false);
}

int CSoundCues::PlayAt(SoundId sound, const WorldMoment& moment, double gain) {
  return sink->Play(sound, OnBoard(moment.x, moment.y, moment.z), Vary(), gain, false);
}

void CSoundCues::TitleClicked() {
  sink->Play(SOUND_CLICK, Everywhere(), 1, CLICK_GAIN, false);
}

void CSoundCues::Grabbed(const CUnit& unit) {
  PlayAt(SOUND_GRAB, unit.DisplayPosition(), GRAB_GAIN);
}

void CSoundCues::Flicked(const CUnit& unit) {
  thrown = &unit;
  PlayAt(SOUND_WHOOSH, unit.DisplayPosition(), WHOOSH_GAIN);
}

void CSoundCues::PlaceListener(const double eye[3], const double lookAt[3]) {
  sink->SetListener(eye, lookAt);
}

// One hum for the whole hold, bent as the pull changes and stopped when the hold
// ends, however it ends.
void CSoundCues::FollowHand(bool holding, double pull) {
  if (!holding) {
    if (stretchStarted) sink->Stop(stretchVoice);
    stretchStarted = false;
    stretchVoice = NO_VOICE;
    return;
  }
  const double p = std::clamp(pull, 0.0, 1.0);
  const double pitch = STRETCH_LOW_PITCH + STRETCH_PITCH_SPAN * p;
  const double gain = STRETCH_LOW_GAIN + STRETCH_GAIN_SPAN * p;
  if (!stretchStarted) {
    stretchStarted = true;
    stretchVoice = sink->Play(SOUND_STRETCH, Everywhere(), pitch, gain, true);
  } else {
    sink->Steer(stretchVoice, pitch, gain);
  }
}

void CSoundCues::Watch(const CWorld& world) {
  FollowFire(world);
  const std::vector<WorldMoment>& moments = world.Moments();
  if (First(moments, MOMENT_GAME_STARTED)) {
    // The blob thrown last went with the old game; a new one may even be built where
    // it was.
    thrown = nullptr;
  } else {
    HearUnits(moments);
    HearCells(moments);
    HearFlowers(moments);
    HearClock(world);
  }
  remainingSeen = world.gameClock.Remaining();
}

void CSoundCues::HearUnits(const std::vector<WorldMoment>& moments) {
  for (const WorldMoment& m : moments) {
    if (m.kind == MOMENT_UNIT_LANDED) {
      PlayAt(SOUND_PLOP, m, m.unit == thrown ? THROWN_PLOP_GAIN : HOP_PLOP_GAIN);
      if (m.unit == thrown) thrown = nullptr;
    } else if (m.kind == MOMENT_UNIT_FELL) {
      PlayAt(SOUND_WHISTLE, m, WHISTLE_GAIN);
    } else if (m.kind == MOMENT_UNIT_GONE) {
      PlayAt(SOUND_SIZZLE, m, SIZZLE_GAIN);
    }
  }
}

// Cracks, openings and closings: one sound of each kind a frame, however many cells
// changed that way.
void CSoundCues::HearCells(const std::vector<WorldMoment>& moments) {
  if (const WorldMoment* m = FirstOnBoard(moments, MOMENT_CRUMBLE_STARTED)) {
    PlayAt(SOUND_CRUMBLE, *m, CRUMBLE_GAIN);
  }
  if (const WorldMoment* m = FirstOnBoard(moments, MOMENT_HOLE_OPENED)) {
    PlayAt(SOUND_FLAME, *m, FLAME_GAIN);
  }
  if (const WorldMoment* m = FirstOnBoard(moments, MOMENT_HOLE_CLOSED)) {
    PlayAt(SOUND_SETTLE, *m, SETTLE_GAIN);
  }
}

void CSoundCues::HearFlowers(const std::vector<WorldMoment>& moments) {
  // One bloom a frame is plenty.
  if (const WorldMoment* born = First(moments, MOMENT_FLOWER_BORN)) {
    PlayAt(SOUND_BLOOM, *born, BLOOM_GAIN);
  }
}

void CSoundCues::HearClock(const CWorld& world) {
  if (First(world.Moments(), MOMENT_GAME_ENDED)) {
    const bool saved = std::any_of(world.units.begin(), world.units.end(),
                                   [](const CUnit& u) { return u.state != UNIT_FALLING; });
    sink->Play(saved ? SOUND_JINGLE_BRIGHT : SOUND_JINGLE_SAD, Everywhere(), 1, JINGLE_GAIN, false);
    return;
  }
  if (!world.IsRunning()) return;
  const double remaining = world.gameClock.Remaining();
  for (int second = TICK_SECONDS; second >= 1; --second) {
    if (remainingSeen > second && remaining <= second) {
      sink->Play(SOUND_TICK, Everywhere(), 1, TICK_GAIN, false);
      return;
    }
  }
}

// The fire loop starts once and then only follows the number of open holes.
void CSoundCues::FollowFire(const CWorld& world) {
  const double gain = FIRE_GAIN * std::min(1.0, world.openHoleCount / FIRE_FULL_HOLES);
  if (!fireStarted) {
    fireStarted = true;
    fireGain = gain;
    fireVoice = sink->Play(SOUND_CRACKLE, Everywhere(), 1, gain, true);
  } else if (gain != fireGain) {
    fireGain = gain;
    sink->Steer(fireVoice, 1, gain);
  }
}

void CSoundCues::Pause(bool paused) {
  sink->SetPaused(paused);
}

void CSoundCues::ToggleMute() {
  muted = !muted;
  sink->SetMuted(muted);
}
