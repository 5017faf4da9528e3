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

// A plain point, and a point with its texture coordinate: the two vertices drawing
// code builds over and over.
inline RenderVertex VertexAt(double x, double y, double z) {
  RenderVertex vertex;
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  return vertex;
}

inline RenderVertex VertexAt(double x, double y, double z, double u, double v) {
  RenderVertex vertex = VertexAt(x, y, z);
  vertex.u = u;
  vertex.v = v;
  return vertex;
}
