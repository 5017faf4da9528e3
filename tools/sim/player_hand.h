#pragma once

#include "game/board.h"

class CUnit;
class CWorld;

// Where a blob grabbed at grab lands when it is pushed away from angle by distance, as the
// game screen's landing marker shows it.
BoardPoint LandingSpot(BoardPoint grab, double angle, double distance);

// The player's hand on the board, without a window: it holds and flicks blobs through the
// same world operations, in the same order and with the same checks, as the game screen.
// Press grabs a grabbable blob (it stops hopping on its own), Release over a free landing
// spot starts the 0.15 s flick, and half-way through the flick the blob is pushed. A hold
// whose blob moved, fell, left the world or outlived the game is cancelled and the blob
// gets its own will back.
//
// Call Update after every world Advance, as the game screen does; press, aim and release
// between frames, as mouse events arrive.
class CPlayerHand {
 public:
  // The left button goes down on a unit with the sling already aimed (the hand aims while
  // it hovers): the blob would fly away from angle, pull board units but no farther than
  // its throw range. Grabs the unit if the game runs, the hand is free and the unit is one
  // of the world's grabbable units; returns whether it did.
  bool Press(CWorld& world, CUnit* unit, double angle, double pull);
  // The pointer moves while the blob is held: a new aim. Ignored unless holding.
  void Drag(const CWorld& world, double angle, double pull);
  // The left button comes up: over a free spot the flick starts, elsewhere the blob is
  // only let go and stays where it is, no longer hopping on its own.
  void Release();
  // After the world's step: checks the hold, follows the flick and pushes the blob.
  void Update(CWorld& world, double dt);

  bool Busy() const { return holding || throwing; }
  // Where the held blob would land now, and whether that spot was free when last checked.
  BoardPoint Landing() const { return LandingSpot(grabPosition, pushAngle, pushDistance); }
  bool TargetValid() const { return targetValid; }
  CUnit* Target() const { return target; }
  // Blobs pushed so far.
  int Pushes() const { return pushes; }

 private:
  bool SpotFree(const CWorld& world) const;
  bool HoldStands(const CWorld& world) const;
  void CancelHold(CWorld& world);

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
