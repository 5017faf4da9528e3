#include "game/player_hold.h"

#include <algorithm>
#include <cmath>

#include "game/exact_math.h"
#include "game/world.h"

namespace {
// The flick lasts 0.15 s; the blob is pushed half-way through, when the hand's reach
// peaks.
constexpr double FLICK_RATE = 6.666666666666667;
constexpr double FLICK_PUSH_POINT = 0.5;
}  // namespace

void CPlayerHold::Aim(const CUnit& unit, double angle, double pull) {
  if (throwing) return;
  pushAngle = angle;
  this->pull = pull;
  pushDistance = std::min(pull, unit.ThrowRange());
}

bool CPlayerHold::Grab(CWorld& world, CUnit* unit) {
  if (throwing || !world.IsRunning() || !world.ContainsUnit(unit)) return false;
  target = unit;
  holding = true;
  unit->autonomous = false;
  grabPosition = unit->Position();
  targetValid = SpotFree(world);
  return true;
}

bool CPlayerHold::Release() {
  if (!holding) return false;
  holding = false;
  if (!targetValid) return false;
  throwing = true;
  throwProgress = 0;
  pushed = false;
  return true;
}

BoardPoint CPlayerHold::Landing() const {
  return {grabPosition.x - pushDistance * ExactCos(pushAngle),
          grabPosition.y - pushDistance * ExactSin(pushAngle)};
}

bool CPlayerHold::SpotFree(const CWorld& world) const {
  const BoardPoint spot = Landing();
  return world.IsFree(spot.x, spot.y, BLOB_RADIUS, target);
}

bool CPlayerHold::HoldStands(const CWorld& world) const {
  return world.ContainsUnit(target) && world.IsRunning() && target->x == grabPosition.x &&
         target->y == grabPosition.y && target->IsGrabbable();
}

void CPlayerHold::Cancel(CWorld& world) {
  holding = false;
  throwing = false;
  if (world.ContainsUnit(target)) target->autonomous = true;
}

HoldEnd CPlayerHold::Update(CWorld& world, double dt) {
  if (!Busy()) return HOLD_END_NONE;
  // Once the blob has been pushed it is on its own; only the hand's flick goes on.
  if (!(throwing && pushed) && !HoldStands(world)) {
    Cancel(world);
    return HOLD_END_CANCELLED;
  }
  if (holding) {
    targetValid = SpotFree(world);
    // The blob's range follows its mood, so a pull past it may reach farther later.
    pushDistance = std::min(pull, target->ThrowRange());
  }
  if (!throwing) return HOLD_END_NONE;
  throwProgress = throwProgress + dt * FLICK_RATE;
  if (!pushed && throwProgress >= FLICK_PUSH_POINT) {
    if (world.PushUnit(target, pushAngle, pushDistance)) ++pushes;
    pushed = true;
    target->autonomous = true;
  }
  if (throwProgress < 1) return HOLD_END_NONE;
  throwing = false;
  return HOLD_END_FLICK_DONE;
}
