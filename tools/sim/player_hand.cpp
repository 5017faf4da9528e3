#include "tools/sim/player_hand.h"

#include <algorithm>
#include <cmath>

#include "game/world.h"

namespace {
// The flick lasts 0.15 s; the blob is pushed half-way through.
constexpr double FLICK_RATE = 6.666666666666667;
constexpr double FLICK_PUSH_POINT = 0.5;
}  // namespace

bool CPlayerHand::Press(CWorld& world, CUnit* unit, double angle, double pull) {
  if (Busy() || !world.IsRunning() || !world.ContainsUnit(unit) || !unit->IsGrabbable())
    return false;
  target = unit;
  pushAngle = angle;
  this->pull = pull;
  pushDistance = std::min(pull, unit->ThrowRange());
  holding = true;
  unit->autonomous = false;
  grabPosition = unit->Position();
  targetValid = SpotFree(world);
  return true;
}

void CPlayerHand::Drag(const CWorld& world, double angle, double pull) {
  if (!holding || !world.ContainsUnit(target)) return;
  pushAngle = angle;
  this->pull = pull;
  pushDistance = std::min(pull, target->ThrowRange());
}

void CPlayerHand::Release() {
  if (!holding) return;
  holding = false;
  if (targetValid) {
    throwing = true;
    throwProgress = 0;
    pushed = false;
  }
}

BoardPoint LandingSpot(BoardPoint grab, double angle, double distance) {
  return {grab.x - distance * std::cos(angle), grab.y - distance * std::sin(angle)};
}

bool CPlayerHand::SpotFree(const CWorld& world) const {
  const BoardPoint spot = Landing();
  return world.IsFree(spot.x, spot.y, BLOB_RADIUS, target);
}

bool CPlayerHand::HoldStands(const CWorld& world) const {
  return world.ContainsUnit(target) && world.IsRunning() && target->x == grabPosition.x &&
         target->y == grabPosition.y && target->IsGrabbable();
}

void CPlayerHand::CancelHold(CWorld& world) {
  holding = false;
  throwing = false;
  if (world.ContainsUnit(target)) target->autonomous = true;
}

void CPlayerHand::Update(CWorld& world, double dt) {
  if (!Busy()) return;
  // Once the blob has been pushed it is on its own; only the hand's flick goes on.
  if (!(throwing && pushed) && !HoldStands(world)) CancelHold(world);
  if (holding) {
    targetValid = SpotFree(world);
    pushDistance = std::min(pull, target->ThrowRange());
  }
  if (throwing) {
    throwProgress = throwProgress + dt * FLICK_RATE;
    if (!pushed && throwProgress >= FLICK_PUSH_POINT) {
      if (world.PushUnit(target, pushAngle, pushDistance)) ++pushes;
      pushed = true;
      target->autonomous = true;
    }
    if (throwProgress >= 1) throwing = false;
  }
}
