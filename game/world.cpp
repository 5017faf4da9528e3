#include "game/world.h"

#include <cmath>
#include <memory>

#include "base/random.h"
#include "game/blob_ai.h"
#include "game/exact_math.h"

namespace {
constexpr int BLOB_COUNT_OUTER = 10;  // blobs on the outer ring at the start
constexpr int BLOB_COUNT_INNER = 5;   // and on the inner ring
constexpr double GAME_LENGTH = 90.0;  // seconds
constexpr double FIRST_BOARD_CHANGE = 3.0;
constexpr int BOARD_CHANGE_LIMIT = 100;
constexpr double SCORE_RATE = 20;  // points per second per unit of summed morale

// Folds a candidate event into the best so far. The candidate replaces the best only if
// it is strictly earlier, so a tie keeps the event that was built first. A candidate that
// cannot win is never built: the choice is the same, without the allocation.
template <class Event, class... Args>
void FoldEvent(EventPtr& best, double time, Args... args) {
  if (!best || best->time > time) best = std::make_shared<Event>(time, args...);
}

// A unit's morale: happiness, dimmed by fear, counted by how much the unit still counts.
double Morale(const CUnit& unit, double weight) {
  if (!unit.behaviour) return 0;
  return weight * unit.behaviour->GetHappiness() * (1 - unit.behaviour->GetFear() * 0.5);
}
}  // namespace

void CWorld::Reset(int w, int h) {
  moments.clear();
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  width = w;
  height = h;
  cells.assign(static_cast<size_t>(w) * static_cast<size_t>(h), CELL_GROUND);
  pendingFlags.assign(cells.size(), false);
  score = 0;

  units.clear();

  // Two rings of blobs around the middle of the board, each facing a random way.
  const double middleX = (w - 1) * 0.5;
  const double middleY = (h - 1) * 0.5;
  auto place = [&](double angle, double ringScale) {
    CUnit unit(this);
    unit.x = ExactCos(angle) * w * ringScale + middleX;
    unit.y = ExactSin(angle) * h * ringScale + middleY;
    unit.heading = 2 * PI * Rand() / RAND_LIMIT;
    unit.targetHeading = unit.heading;
    units.push_back(unit);
  };
  for (int k = 0; k < BLOB_COUNT_OUTER; ++k) place(k * PI * 0.2, 0.33);
  for (int k = 0; k < BLOB_COUNT_INNER; ++k) place(k * PI * 0.4, 0.16);

  for (CUnit& unit : units) unit.SetBehaviour(std::make_shared<CBlobAI>());

  pendingHoles.clear();
  flowers.clear();
  score = 0;
  flowerSpawnTimer = {0, h * w * 0.01, true};
  boardChangeTimer = {0, FIRST_BOARD_CHANGE, true};
  boardChangeCount = 0;
  boardChangeLimit = BOARD_CHANGE_LIMIT;
  openHoleCount = 0;
  targetHoleCount = w * h * 5 / 8;
  gameClock = {0, GAME_LENGTH, true};
  RecordMoment(MOMENT_GAME_STARTED, 0, 0);
}

void CWorld::Advance(double dt) {
  moments.clear();
  // A frame of no time, negative time or endless time changes nothing.
  if (!(dt > 0) || !std::isfinite(dt)) return;
  double used = 0;
  do {
    const EventPtr next = FindNextEvent(std::make_shared<CEvent>(dt - used));
    AdvanceTimers(next->time);
    used = used + next->time;
    next->Fire();
  } while (used < dt);
}

EventPtr CWorld::FindNextEvent(const EventPtr& defaultEvent) {
  EventPtr best = defaultEvent;
  if (gameClock.active) FoldEvent<CGameEndEvent>(best, gameClock.Remaining(), this);
  if (boardChangeTimer.active) {
    FoldEvent<CBoardChangeEvent>(best, boardChangeTimer.Remaining(), this);
  }
  if (flowerSpawnTimer.active) {
    FoldEvent<CFlowerSpawnEvent>(best, flowerSpawnTimer.Remaining(), this);
  }
  for (CFlower& flower : flowers) {
    FoldEvent<CFlowerDeathEvent>(best, flower.lifeTimer.Remaining(), this, &flower);
  }
  for (CPendingHole& hole : pendingHoles) {
    FoldEvent<CHoleCreationEvent>(best, hole.formingTimer.Remaining(), this, &hole);
  }
  for (auto it = units.begin(); it != units.end();) {
    if (it->alive) {
      // Same fold as above: the unit's event is built only if it would win.
      const CTimer& timer = it->transitionTimer;
      if (timer.active && (!best || best->time > timer.Remaining())) {
        best = EarlierEvent(best, it->NextEvent(best));
      }
      ++it;
    } else {
      // The only place where a unit whose fall has ended leaves the world.
      RecordUnitMoment(MOMENT_UNIT_GONE, *it);
      it = units.erase(it);
    }
  }
  if (units.empty() && gameClock.active) best = std::make_shared<CGameEndEvent>(0.0, this);
  return best;
}

void CWorld::AdvanceTimers(double dt) {
  for (CUnit& unit : units) unit.Advance(dt);
  if (boardChangeTimer.active) boardChangeTimer.Advance(dt);
  if (flowerSpawnTimer.active) flowerSpawnTimer.Advance(dt);
  if (gameClock.active) gameClock.Advance(dt);
  for (CFlower& flower : flowers) flower.lifeTimer.Advance(dt);
  for (CPendingHole& hole : pendingHoles) hole.formingTimer.Advance(dt);
  if (gameClock.active) score = score + MoraleSum() * dt * SCORE_RATE;
}

void CWorld::EndGame() {
  gameClock.current = gameClock.end;
  gameClock.active = false;
  for (CUnit& unit : units) {
    if (unit.behaviour) unit.behaviour->SetGameOver();
  }
  RecordMoment(MOMENT_GAME_ENDED, 0, 0);
}

double CWorld::MoraleSum() const {
  double sum = 0;
  for (const CUnit& unit : units) sum = sum + Morale(unit, unit.MoraleWeight());
  return sum;
}

double CWorld::AverageMorale() const {
  double sum = 0;
  double weights = 0;
  for (const CUnit& unit : units) {
    const double weight = unit.MoraleWeight();
    sum = sum + Morale(unit, weight);
    weights = weights + weight;
  }
  // No units, or only blobs whose fall has just ended: nobody left to be cheerful.
  if (!(weights > 0)) return 0;
  return sum / weights;
}

double CWorld::AzimuthTo(double px, double py) const {
  double angle = ExactAtan2(eyePoint.y - py, eyePoint.x - px);
  if (angle < 0) angle = angle + 2 * PI;
  return angle;
}

double CWorld::ElevationTo(double px, double py, double pz) const {
  const double dx = eyePoint.x - px;
  const double dy = eyePoint.y - py;
  double angle = ExactAtan2(eyePoint.z - pz, std::sqrt(dx * dx + dy * dy));
  if (angle < 0) angle = angle + 2 * PI;
  return angle;
}

void CWorld::OnUnitHopped(CUnit* unit) {
  RecordUnitMoment(MOMENT_UNIT_HOPPED, *unit);
  // A happy blob cheers everyone around it wherever it goes.
  if (unit->behaviour && unit->behaviour->IsHappy()) {
    for (CUnit& other : units) UpdateAttraction(&other);
  } else {
    UpdateAttraction(unit);
  }
  UpdateGroundRatio(unit);
}

void CWorld::OnUnitFell(CUnit* unit) {
  RecordUnitMoment(MOMENT_UNIT_FELL, *unit);
  for (CUnit& other : units) {
    if (&other != unit) other.OnUnitFellNear(unit->x, unit->y);
  }
}

void CWorld::UpdateAttraction(CUnit* unit) {
  CBlobAI* behaviour = unit->behaviour.get();
  if (!behaviour) return;
  double sum = 0;
  for (const CFlower& flower : flowers) {
    const double dx = flower.x - unit->x;
    const double dy = flower.y - unit->y;
    sum = sum + behaviour->Influence(std::sqrt(dx * dx + dy * dy));
  }
  // Every happy blob counts, this one and falling ones included.
  for (const CUnit& other : units) {
    if (!other.behaviour || !other.behaviour->IsHappy()) continue;
    const double dx = other.x - unit->x;
    const double dy = other.y - unit->y;
    sum = sum + behaviour->Influence(std::sqrt(dx * dx + dy * dy));
  }
  behaviour->SetAttraction(sum);
}

void CWorld::UpdateGroundRatio(CUnit* unit) {
  if (unit->behaviour) unit->behaviour->SetGroundRatio(GroundRatio(unit->x, unit->y));
}

PickResult CWorld::PickUnit(double pointerX, double pointerY, const double eye[3],
                            const double viewRows[9], double aspect, double fieldOfView) {
  const double k = 1 / ExactTan(fieldOfView * PI / 360);
  PickResult result;
  CUnit* chosen = nullptr;
  bool within = false;
  double bestS2 = 0;
  double bestDistance = 0;
  for (CUnit& unit : units) {
    const RenderVertex p = unit.DisplayPosition();
    const double dx = p.x - eye[0];
    const double dy = p.y - eye[1];
    const double dz = p.z - eye[2];
    const double dist = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (within && dist > bestDistance) continue;
    const double depth = dx * viewRows[0] + dy * viewRows[1] + dz * viewRows[2];
    // At or behind the eye a blob has no place on screen and cannot be seen.
    if (!(depth > 0)) continue;
    const double sx = (dx * viewRows[3] + dy * viewRows[4] + dz * viewRows[5]) / depth;
    const double sy = (dx * viewRows[6] + dy * viewRows[7] + dz * viewRows[8]) / depth;
    const double ox = (sx - pointerX) * aspect;
    const double oy = sy - pointerY;
    const double s2 = ox * ox + oy * oy;
    const bool better = unit.IsGrabbable() && (!chosen || s2 < bestS2);
    const double screenRadius = k / dist * BLOB_RADIUS;
    const bool inside = s2 <= screenRadius * screenRadius;
    if (better || ((!chosen || dist < bestDistance) && inside)) {
      chosen = &unit;
      bestS2 = s2;
      bestDistance = dist;
      within = inside;
      result.screenX = sx;
      result.screenY = sy;
      result.distance = dist;
      result.screenDistance2 = s2;
    }
  }
  result.unit = chosen;
  result.found = chosen && chosen->IsGrabbable();
  return result;
}

bool CWorld::PushUnit(CUnit* unit, double angle, double distance) {
  if (!ContainsUnit(unit) || !unit->IsGrabbable()) return false;
  if (!std::isfinite(angle) || !std::isfinite(distance)) return false;
  return unit->Push(angle, distance);
}

void CWorld::RecordUnitMoment(MomentKind kind, const CUnit& unit) {
  const RenderVertex p = unit.DisplayPosition();
  moments.push_back({kind, p.x, p.y, p.z, &unit});
}

void CWorld::RecordCellMoment(MomentKind kind, int index) {
  RecordMoment(kind, index % width, index / width);
}

void CWorld::RecordMoment(MomentKind kind, double x, double y) {
  moments.push_back({kind, x, y, 0, nullptr});
}

bool CWorld::ContainsUnit(const CUnit* unit) const {
  if (!unit) return false;
  for (const CUnit& candidate : units) {
    if (&candidate == unit) return true;
  }
  return false;
}
