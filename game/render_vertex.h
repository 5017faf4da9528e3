#pragma once

// A vertex as every geometry operation of the renderer takes it. It is also the
// game's plain 3D point (a unit's drawn position, the camera eye): then only x, y
// and z mean anything.
struct RenderVertex {
  double x = 0, y = 0, z = 0;
  double u = 0, v = 0;
  bool hasColor = false;
  double r = 1, g = 1, b = 1, a = 1;
};
