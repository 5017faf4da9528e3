#pragma once

class CUnit;

// The kinds of thing that can happen in the world at one moment.
enum MomentKind {
  MOMENT_CRUMBLE_STARTED,  // a ground cell cracked and began to crumble
  MOMENT_HOLE_OPENED,
  MOMENT_HOLE_CLOSED,
  MOMENT_FLOWER_BORN,
  MOMENT_FLOWER_DIED,  // withered, or swallowed by a hole opening under it
  MOMENT_UNIT_HOPPED,  // on its own or pushed by the player
  MOMENT_UNIT_LANDED,
  MOMENT_UNIT_FELL,
  MOMENT_UNIT_GONE,  // a fallen blob reached the fire and left the world
  MOMENT_GAME_ENDED,
  MOMENT_GAME_STARTED,
};

// One thing that happened, as the world's rules made it happen, for whoever shows or
// sounds the game: the world only writes these, and no rule reads them.
struct WorldMoment {
  MomentKind kind = MOMENT_GAME_STARTED;
  // Where on the board: a cell's centre (column, row, 0), a flower, or a blob's drawn
  // centre at that moment. Zero for the game's start and end.
  double x = 0;
  double y = 0;
  double z = 0;
  // The blob, for a blob's moments; null for the others. Only valid until the blob
  // leaves the world, so compare it rather than follow it after MOMENT_UNIT_GONE.
  const CUnit* unit = nullptr;
};
