#pragma once

#include <memory>

#include "base/random.h"
#include "base/render_vertex.h"
#include "game/blob_ai.h"
#include "game/board.h"
#include "game/events.h"
#include "game/timer.h"

class CWorld;

enum UnitState {
  UNIT_STANDING = 0,
  UNIT_HOPPING = 1,
  UNIT_LANDING = 2,
  UNIT_FALLING = 3,
};

// One blob on the board. It moves only by hopping: during a hop its logical position is
// already the landing point, while DisplayPosition follows the arc. Its transition timer
// moves it from state to state; its behaviour decides when and where to hop on its own.
// A unit acts only inside a world: hopping, falling and deciding use its world pointer.
class CUnit {
 public:
  explicit CUnit(CWorld* world = nullptr) : world(world) {}

  // Attaches and starts a behaviour; the blob takes its first decision at once.
  void SetBehaviour(std::shared_ptr<CBlobAI> newBehaviour);
  // Runs the transition timer and turns heading and pitch toward their targets.
  void Advance(double dt);
  bool Hop(double angle, double distance);
  bool StartHop(double targetX, double targetY);
  // The player's flick: the blob flies away from the direction of the drag.
  bool Push(double angle, double distance);
  void Fall();
  void OnTimerExpired();
  void OnHoleOpened(int column, int row);
  void OnUnitFellNear(double fellX, double fellY);
  // The given event, or this unit's timer event if the unit's timer runs.
  EventPtr NextEvent(const EventPtr& best);

  bool IsGrabbable() const;
  // How far the player may throw this blob: happier blobs go farther.
  double ThrowRange() const;
  BoardPoint Position() const { return {x, y}; }
  // Where the blob is drawn (its centre); only x, y and z are set.
  RenderVertex DisplayPosition() const;
  // Height factor of the drawn blob: squashed to 0.5 at mid-landing.
  double LandingSquash() const;
  // Opacity of the drawn blob: it fades out over the last quarter of its fall.
  double FallFade() const;
  // How much this blob still counts toward morale: it fades out while falling.
  double MoraleWeight() const;

  int state = UNIT_STANDING;
  CTimer transitionTimer;
  double hopStartX = 0;
  double hopStartY = 0;
  double hopHeight = 0;
  // The behaviour may start hops on its own; cleared while the player holds the blob.
  bool autonomous = false;
  CWorld* world = nullptr;
  std::shared_ptr<CBlobAI> behaviour;
  double x = 0;  // logical position
  double y = 0;
  double heading = 0;
  double pitch = PI * 0.05555555555555556;  // ten degrees: a blob at rest looks slightly up
  double targetHeading = 0;
  double targetPitch = PI * 0.05555555555555556;
  bool alive = true;  // false once a fall has ended; the world then removes the unit
  int face = 6;       // mouth / expression 0..6
  int leftEye = 0;    // eye shapes, 0 open or 2 closed
  int rightEye = 0;
  double eyeSize = 1.0;  // 1.3 while falling
  double eyeScale2 = 1.0;
  double leftEyeAngle = 0.0;
  double rightEyeAngle = 3.14159;
};
