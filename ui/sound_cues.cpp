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

RenderVertex CellCentre(const CWorld& world, size_t index) {
  RenderVertex p;
  p.x = static_cast<double>(static_cast<int>(index) % world.width);
  p.y = static_cast<double>(static_cast<int>(index) / world.width);
  return p;
}
}  // namespace

CSoundCues::CSoundCues() : sink(std::make_shared<CSilentSoundSink>()) {}

void CSoundCues::Attach(std::shared_ptr<CSoundSink> newSink) {
  sink = newSink ? newSink : std::make_shared<CSilentSoundSink>();
  sink->SetMuted(muted);
  watching = false;
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
  if (!watching || IsNewGame(world)) {
    // A fresh game (or the first look at one) is the baseline: nothing in it is news.
    Remember(world);
    return;
  }
  WatchUnits(world);
  WatchCells(world);
  WatchFlowers(world);
  WatchClock(world);
  Remember(world);
}

// The clock only runs backward when a new game has started; so does a board that
// changed its size.
bool CSoundCues::IsNewGame(const CWorld& world) const {
  return world.gameClock.current < clockSeen || world.cells.size() != cellsSeen.size();
}

void CSoundCues::Remember(const CWorld& world) {
  if (!watching || IsNewGame(world)) thrown = nullptr;
  watching = true;
  unitsSeen.clear();
  for (const CUnit& unit : world.units) {
    unitsSeen.push_back({&unit, unit.state, unit.DisplayPosition()});
  }
  cellsSeen = world.cells;
  flowersSeen.clear();
  for (const CFlower& flower : world.flowers) flowersSeen.push_back({&flower, flower.x, flower.y});
  runningSeen = world.IsRunning();
  clockSeen = world.gameClock.current;
  remainingSeen = world.gameClock.Remaining();
}

void CSoundCues::WatchUnits(const CWorld& world) {
  for (const CUnit& unit : world.units) {
    const auto seen = std::find_if(unitsSeen.begin(), unitsSeen.end(),
                                   [&](const UnitSeen& s) { return s.unit == &unit; });
    if (seen == unitsSeen.end() || seen->state == unit.state) continue;
    if (unit.state == UNIT_LANDING) {
      PlayAt(SOUND_PLOP, unit.DisplayPosition(),
             &unit == thrown ? THROWN_PLOP_GAIN : HOP_PLOP_GAIN);
      if (&unit == thrown) thrown = nullptr;
    } else if (unit.state == UNIT_FALLING) {
      PlayAt(SOUND_WHISTLE, unit.DisplayPosition(), WHISTLE_GAIN);
    }
  }
  // A blob leaves the list when its fall has reached the fire.
  for (const UnitSeen& seen : unitsSeen) {
    if (!world.ContainsUnit(seen.unit) && seen.state == UNIT_FALLING) {
      PlayAt(SOUND_SIZZLE, seen.position, SIZZLE_GAIN);
    }
  }
}

// Cracks, openings and closings: one sound of each kind a frame, at the first cell
// that changed that way, however many did.
void CSoundCues::WatchCells(const CWorld& world) {
  int crumbled = -1, opened = -1, closed = -1;
  for (size_t i = 0; i < world.cells.size(); ++i) {
    const int was = cellsSeen[i];
    const int now = world.cells[i];
    if (was == now) continue;
    if (now == CELL_CRUMBLING && crumbled < 0) crumbled = static_cast<int>(i);
    if (now == CELL_HOLE && opened < 0) opened = static_cast<int>(i);
    if (was == CELL_HOLE && now == CELL_GROUND && closed < 0) closed = static_cast<int>(i);
  }
  if (crumbled >= 0) PlayAt(SOUND_CRUMBLE, CellCentre(world, crumbled), CRUMBLE_GAIN);
  if (opened >= 0) PlayAt(SOUND_FLAME, CellCentre(world, opened), FLAME_GAIN);
  if (closed >= 0) PlayAt(SOUND_SETTLE, CellCentre(world, closed), SETTLE_GAIN);
}

void CSoundCues::WatchFlowers(const CWorld& world) {
  for (const CFlower& flower : world.flowers) {
    const bool known =
        std::any_of(flowersSeen.begin(), flowersSeen.end(), [&](const FlowerSeen& s) {
          return s.flower == &flower && s.x == flower.x && s.y == flower.y;
        });
    if (known) continue;
    RenderVertex p;
    p.x = flower.x;
    p.y = flower.y;
    PlayAt(SOUND_BLOOM, p, BLOOM_GAIN);
    return;  // one bloom a frame is plenty
  }
}

void CSoundCues::WatchClock(const CWorld& world) {
  if (runningSeen && !world.IsRunning()) {
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

void CSoundCues::ToggleMute() {
  muted = !muted;
  sink->SetMuted(muted);
}
