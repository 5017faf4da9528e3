#include "game/unit.h"

#include <cmath>
#include <utility>

#include "base/random.h"
#include "game/blob_ai.h"
#include "game/exact_math.h"
#include "game/world.h"

namespace {
constexpr double TURN_SPEED = 6;            // radians per second, heading and pitch alike
constexpr double IDLE_PAUSE = 0.5;          // seconds before a standing blob decides again
constexpr double LANDING_TIME = 0.2;        // seconds of squash after a hop
constexpr double FALL_TIME = 1.0;           // seconds a falling blob sinks and fades
constexpr double HOP_HEIGHT_FACTOR = 0.33;  // hop height per unit of hop distance
constexpr double FALL_SPEED = 5;            // units per fall-second the blob sinks
}  // namespace

void CUnit::SetBehaviour(std::shared_ptr<CBlobAI> newBehaviour) {
  behaviour = std::move(newBehaviour);
  behaviour->Init(this, world);
  transitionTimer.end = 0;
  autonomous = true;
  behaviour->Decide();
  if (!transitionTimer.active && alive) {
    state = UNIT_STANDING;
    transitionTimer.Restart(IDLE_PAUSE);
  }
}

void CUnit::Advance(double dt) {
  if (transitionTimer.active) transitionTimer.Advance(dt);

  // Turn the shorter way toward the target heading; exactly opposite turns negative.
  if (heading != targetHeading) {
    if (targetHeading < 0) targetHeading = targetHeading + 2 * PI;
    const double t = targetHeading;
    const double h = heading;
    int direction;
    double diff;
    if (t < PI) {
      if (t < h && h <= t + PI) {
        direction = -1;
        diff = h - t;
      } else {
        direction = 1;
        diff = h < PI ? t - h : t - h + 2 * PI;
      }
    } else {
      if (t - PI < h && h < t) {
        direction = 1;
        diff = t - h;
      } else {
        direction = -1;
        diff = h >= PI ? h - t : h - t + 2 * PI;
      }
    }
    const double step = TURN_SPEED * dt;
    if (step <= diff) {
      heading = heading + direction * step;
      if (heading < 0) heading = heading + 2 * PI;
      if (heading > 2 * PI) heading = heading - 2 * PI;
    } else {
      heading = t;
    }
  }

  if (pitch != targetPitch) {
    const double step = TURN_SPEED * dt;
    if (pitch < targetPitch) {
      pitch = pitch + step;
      if (pitch > targetPitch) pitch = targetPitch;
    } else {
      pitch = pitch - step;
      if (pitch < targetPitch) pitch = targetPitch;
    }
  }

  if (alive && state != UNIT_FALLING && behaviour) behaviour->Update(dt);
}

bool CUnit::Hop(double angle, double distance) {
  const double targetX = x + distance * ExactCos(angle);
  const double targetY = y + distance * ExactSin(angle);
  targetHeading = angle;
  return StartHop(targetX, targetY);
}

bool CUnit::StartHop(double targetX, double targetY) {
  const double dx = targetX - x;
  const double dy = targetY - y;
  const double d = std::sqrt(dx * dx + dy * dy);
  if (!world->FindLandingSpot(targetX, targetY, BLOB_RADIUS, d, this)) {
    // Nowhere to land: stay, look somewhere else and think again shortly.
    state = UNIT_STANDING;
    targetHeading = 2 * PI * Rand() / RAND_LIMIT;
    transitionTimer.Restart(IDLE_PAUSE);
    return false;
  }
  hopStartX = x;
  hopStartY = y;
  x = targetX;
  y = targetY;
  state = UNIT_HOPPING;
  // Height and duration follow the requested distance, not the spot found.
  hopHeight = d * HOP_HEIGHT_FACTOR;
  transitionTimer.Restart(std::sqrt(d) * (1.0 / 3));
  world->OnUnitHopped(this);
  return true;
}

bool CUnit::Push(double angle, double distance) {
  if (transitionTimer.active) transitionTimer.Expire();
  return Hop(PI + angle, distance);
}

void CUnit::Fall() {
  transitionTimer.Restart(FALL_TIME);
  state = UNIT_FALLING;
  if (behaviour) behaviour->OnFall();
  world->OnUnitFell(this);
}

void CUnit::OnTimerExpired() {
  transitionTimer.Expire();
  switch (state) {
    case UNIT_STANDING:
      if (behaviour) behaviour->Decide();
      break;
    case UNIT_HOPPING:
      if (world->ClassifyPoint(x, y) != FOOTING_SOLID) {
        Fall();
      } else {
        state = UNIT_LANDING;
        transitionTimer.Restart(LANDING_TIME);
        world->RecordUnitMoment(MOMENT_UNIT_LANDED, *this);
      }
      break;
    case UNIT_LANDING:
      state = UNIT_STANDING;
      if (behaviour) behaviour->Decide();
      break;
    case UNIT_FALLING:
      alive = false;
      break;
  }
  if (!transitionTimer.active && alive) {
    state = UNIT_STANDING;
    transitionTimer.Restart(IDLE_PAUSE);
  }
}

void CUnit::OnHoleOpened(int column, int row) {
  if (!alive) return;
  // A hopping blob is not examined here: its footing is tested when it lands.
  if ((state == UNIT_STANDING || state == UNIT_LANDING) &&
      world->ClassifyPoint(x, y) != FOOTING_SOLID) {
    if (transitionTimer.active) transitionTimer.Expire();
    Fall();
  }
  if (state != UNIT_FALLING && behaviour) {
    const double dx = x - column;
    const double dy = y - row;
    behaviour->Scare(std::sqrt(dx * dx + dy * dy));
  }
}

void CUnit::OnUnitFellNear(double fellX, double fellY) {
  if (!alive || state == UNIT_FALLING || !behaviour) return;
  const double dx = x - fellX;
  const double dy = y - fellY;
  behaviour->Sadden(std::sqrt(dx * dx + dy * dy));
}

EventPtr CUnit::NextEvent(const EventPtr& best) {
  if (!transitionTimer.active) return best;
  return std::make_shared<CUnitTransTimerExpireEvent>(transitionTimer.Remaining(), this);
}

bool CUnit::IsGrabbable() const {
  return alive && (state == UNIT_STANDING || state == UNIT_LANDING);
}

double CUnit::ThrowRange() const {
  const double willingness = behaviour ? behaviour->GetWillingness() : 0;
  return willingness * 2.2 + 0.8;
}

RenderVertex CUnit::DisplayPosition() const {
  RenderVertex p;
  p.x = x;
  p.y = y;
  const double t = transitionTimer.Fraction();
  switch (state) {
    case UNIT_HOPPING:
      p.x = hopStartX + (x - hopStartX) * t;
      p.y = hopStartY + (y - hopStartY) * t;
      p.z = 4 * (t - t * t) * hopHeight + BLOB_RADIUS;
      break;
    case UNIT_LANDING:
      p.z = (1 - 2 * (t - t * t)) * BLOB_RADIUS;
      break;
    case UNIT_FALLING:
      p.z = BLOB_RADIUS - FALL_SPEED * t;
      break;
    default:
      p.z = BLOB_RADIUS;
      break;
  }
  return p;
}

double CUnit::LandingSquash() const {
  if (state != UNIT_LANDING) return 1.0;
  const double t = transitionTimer.Fraction();
  return 1 - 2 * (t - t * t);
}

double CUnit::FallFade() const {
  if (state != UNIT_FALLING) return 1.0;
  const double t = transitionTimer.Fraction();
  // Fully visible for three quarters of the fall, then fading to nothing.
  if (t < 0.75) return 1.0;
  return 1 - (t - 0.75) * 4;
}

double CUnit::MoraleWeight() const {
  if (state != UNIT_FALLING) return 1.0;
  return 1 - transitionTimer.Fraction();
}
