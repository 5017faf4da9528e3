#pragma once

#include "game/board.h"
#include "game/player_hold.h"

class CUnit;
class CWorld;

// How much danger a blob is in where it stands: 0 when no hole or crumbling cell is within
// a cell of it, 1 when one is, and 2 plus the crack's progress (0 to 1) when a crumbling
// cell is about to open under its footing.
double BotDanger(const CWorld& world, const CUnit& unit);

// A spot the bot may throw a blob to: free for it, and none of the four cells whose
// corners decide its footing is a hole or crumbling, so the blob stands at least half a
// cell from every hole and crack.
bool IsSafeSpot(const CWorld& world, BoardPoint spot, const CUnit* unit);

// One throw: the blob, the direction from it toward the pointer and the pull in board
// units (never beyond the blob's throw range).
struct BotThrow {
  CUnit* unit = nullptr;
  double angle = 0;
  double pull = 0;
};

// The blob in most danger that can be grabbed and thrown to a safe spot clearly farther
// from holes and cracks than where it stands, and the throw that lands it farthest from
// them. False when no blob is in danger or none in danger has such a spot in its range.
bool ChooseBotThrow(CWorld& world, BotThrow& choice);

// A quick player that rescues blobs: after every world step its hand follows the running
// flick; when the hand is free and its last throw is 0.3 s of game time old, it grabs the
// blob in most danger and flicks it to safety at once. Having found nothing to do, it
// looks again 0.1 s later. It plays only while the game runs.
class CBotPlayer {
 public:
  // Call after every world Advance(dt).
  void Update(CWorld& world, double dt);
  // Blobs grabbed and released over a free spot so far.
  int Throws() const { return throws; }

 private:
  // The game screen's own hold, so the bot plays by the rules that ship.
  CPlayerHold hold;
  double sinceThrow = 0;
  bool thrownBefore = false;
  double sinceLook = 0;
  bool lookedBefore = false;
  int throws = 0;
};
