#pragma once

// Board values shared by the game world, the visual world and the scene drawing.
//
// Board space: x runs along columns, y along rows, z up, the ground at z = 0. Cell (i, j)
// is centred on (i, j) and covers [i - 0.5, i + 0.5) x [j - 0.5, j + 0.5). The corner
// block of a point is the 2 x 2 block of cells whose centres surround it.

// Cell values. Only the outside of the grid reads as a wall.
enum CellValue {
  CELL_HOLE = 0,
  CELL_CRUMBLING = 1,  // turning into a hole; still carries blobs
  CELL_GROUND = 2,
  CELL_WALL = 3,
};

// The footing of a point: anything but solid makes a blob fall.
enum Footing {
  FOOTING_SOLID = 0,
  FOOTING_EDGE = 1,
  FOOTING_HOLE = 2,
};

// Hole shapes of a corner block, each in a canonical frame that the rotation turns.
enum CornerShape {
  CORNER_SOLID = 0,
  CORNER_ALL_HOLE = 1,
  CORNER_EDGE = 2,       // holes on the low-x side (SW, NW)
  CORNER_ONE_HOLE = 3,   // hole at SW
  CORNER_ONE_SOLID = 4,  // solid at SW, holes elsewhere
  CORNER_DIAGONAL = 5,   // holes at SW and NE
};

// A corner block's shape and its rotation in quarter turns from +x toward +y.
struct CornerClass {
  int shape = CORNER_SOLID;
  int rotation = 0;
};

// A position on the board.
struct BoardPoint {
  double x = 0;
  double y = 0;
};

// Every blob is a disc of this radius: free-position tests, spacing, standing height.
constexpr double BLOB_RADIUS = 0.35;
