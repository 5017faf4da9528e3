#pragma once

#include "game/board.h"

class CUnit;
class CWorld;

// How a frame ended the hold, if it did.
enum HoldEnd {
  HOLD_END_NONE = 0,       // still held or flicking, or nothing was held
  HOLD_END_CANCELLED = 1,  // the blob moved, fell, left the world or outlived the game
  HOLD_END_FLICK_DONE = 2,
};

// The player's hold on a blob as the board sees it: the grab, the sling's landing spot,
// the 0.15 s flick and the push half-way through it. The game screen and the simulator's
// players both play through this, so the game that ships is the one the golden runs pin.
//
// Grab takes a blob (it stops hopping on its own); Release over a free landing spot
// starts the flick, elsewhere it only lets go and the blob stays put, still not hopping
// on its own, until the player throws it. A hold whose blob moved, fell, left the world
// or outlived the game is cancelled and the blob gets its own will back.
//
// Aim and press between frames, as the pointer moves; call Update after every world
// Advance while Busy.
class CPlayerHold {
 public:
  // The sling as the pointer pulls it: the blob would fly away from angle, pull board
  // units but no farther than the unit's throw range. Ignored during the flick: the
  // throw is already on its way.
  void Aim(const CUnit& unit, double angle, double pull);
  // Takes the unit with the sling as last aimed; returns whether it did. Refused during
  // the flick, after the game and for a unit no longer in the world. A unit that cannot
  // be grabbed now is taken all the same and let go by the next Update.
  bool Grab(CWorld& world, CUnit* unit);
  // Lets go of the held blob; returns whether that started a flick.
  bool Release();
  // After the world's step: checks the hold, follows the flick and pushes the blob.
  HoldEnd Update(CWorld& world, double dt);

  bool Busy() const { return holding || throwing; }
  bool Holding() const { return holding; }
  bool Throwing() const { return throwing; }
  // The flick's progress, 0 to 1.
  double Progress() const { return throwProgress; }
  CUnit* Target() const { return target; }
  BoardPoint GrabPosition() const { return grabPosition; }
  // Ground direction from the blob toward the pointer; the blob flies the other way.
  double PushAngle() const { return pushAngle; }
  double PushDistance() const { return pushDistance; }
  // Where the held blob would land now, and whether that spot was free when last checked.
  BoardPoint Landing() const;
  bool TargetValid() const { return targetValid; }
  // Blobs sent hopping so far.
  int Pushes() const { return pushes; }

 private:
  bool SpotFree(const CWorld& world) const;
  bool HoldStands(const CWorld& world) const;
  void Cancel(CWorld& world);

  CUnit* target = nullptr;
  BoardPoint grabPosition;
  double pushAngle = 0;
  double pull = 0;
  double pushDistance = 0;
  double throwProgress = 0;
  bool targetValid = false;
  bool holding = false;
  bool throwing = false;
  bool pushed = false;
  int pushes = 0;
};
