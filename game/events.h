#pragma once

#include <memory>

class CWorld;
class CUnit;
struct CFlower;
struct CPendingHole;

// A moment at which something happens in the world. The world builds candidates from its
// running timers, fires only the earliest, and builds them anew on the next pass; no
// event outlives one pass of the world's loop.
class CEvent {
 public:
  explicit CEvent(double time) : time(time) {}
  virtual ~CEvent() = default;
  // The plain event marks the end of the frame's step and does nothing.
  virtual void Fire() {}

  double time;  // seconds from now until the event is due
};

using EventPtr = std::shared_ptr<CEvent>;

// Picks the earlier of two events; on a tie the one built first stays.
inline const EventPtr& EarlierEvent(const EventPtr& best, const EventPtr& candidate) {
  if (!best || (candidate && best->time > candidate->time)) return candidate;
  return best;
}

class CGameEndEvent : public CEvent {
 public:
  CGameEndEvent(double time, CWorld* world) : CEvent(time), world(world) {}
  void Fire() override;
  CWorld* world;
};

class CBoardChangeEvent : public CEvent {
 public:
  CBoardChangeEvent(double time, CWorld* world) : CEvent(time), world(world) {}
  void Fire() override;
  CWorld* world;
};

class CFlowerSpawnEvent : public CEvent {
 public:
  CFlowerSpawnEvent(double time, CWorld* world) : CEvent(time), world(world) {}
  void Fire() override;
  CWorld* world;
};

class CFlowerDeathEvent : public CEvent {
 public:
  CFlowerDeathEvent(double time, CWorld* world, CFlower* flower)
      : CEvent(time), world(world), flower(flower) {}
  void Fire() override;
  CWorld* world;
  CFlower* flower;
};

class CHoleCreationEvent : public CEvent {
 public:
  CHoleCreationEvent(double time, CWorld* world, CPendingHole* hole)
      : CEvent(time), world(world), hole(hole) {}
  void Fire() override;
  CWorld* world;
  CPendingHole* hole;
};

class CUnitTransTimerExpireEvent : public CEvent {
 public:
  CUnitTransTimerExpireEvent(double time, CUnit* unit) : CEvent(time), unit(unit) {}
  void Fire() override;
  CUnit* unit;
};
