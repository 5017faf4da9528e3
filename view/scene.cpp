// One frame of the 3D scene: CVisWorld::Draw and the helpers that make its parts.
#include "view/scene.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/random.h"
#include "game/world.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "view/blob_context.h"
#include "view/ground_openings.h"
#include "view/vis_world.h"

namespace {

// The sky and the fog share one soft green, so the far board melts into it.
constexpr double SKY_R = 0.7, SKY_G = 1.0, SKY_B = 0.7;
constexpr float FOG_START = 15, FOG_END = 50;
constexpr double LOOK_AT_HEIGHT = 0.35;
// The grass image repeats every 6.5 units across the board.
constexpr double GRASS_REPEAT = 2.0 / 13.0;
// Holes are this deep; their floor and dirt walls reach down to it.
constexpr double HOLE_DEPTH = -5;
constexpr double OUTER_EXTENT = 100;
// Tufts and flowers lean back toward a high eye, but never past 60 degrees.
constexpr double LEAN_LIMIT = 1.0471966666666666;
// Decals lie just above the grass so they never fight it in the depth buffer.
constexpr double DECAL_HEIGHT = 0.01;
constexpr int FIRE_KIND = 0;

// Makes a quad element at the current modelview and files it in one list.
CQuadVisElement& AddQuadElement(CRenderer& r, SceneElements& elements, const CTexture* texture,
                                bool lower, ScenePart part) {
  auto element = std::make_shared<CQuadVisElement>(texture);
  r.GetMatrix(element->matrix);
  element->part = part;
  elements.store.push_back(element);
  (lower ? elements.lower : elements.upper).push_back(element.get());
  return *element;
}

void SetCorners(CQuadVisElement& element, const RenderVertex& v0, const RenderVertex& v1,
                const RenderVertex& v2, const RenderVertex& v3) {
  element.vertices[0] = v0;
  element.vertices[1] = v1;
  element.vertices[2] = v2;
  element.vertices[3] = v3;
}

// A flat square decal of half-size h on the ground, in its own quad pair, cut
// down to where its image shows.
void DrawDecal(CRenderer& r, const CTexture& image, double cx, double cy, double h) {
  RenderVertex q[4] = {
      VertexAt(cx - h, cy - h, DECAL_HEIGHT, 0, 0), VertexAt(cx + h, cy - h, DECAL_HEIGHT, 1, 0),
      VertexAt(cx + h, cy + h, DECAL_HEIGHT, 1, 1), VertexAt(cx - h, cy + h, DECAL_HEIGHT, 0, 1)};
  TrimQuadToArt(image.Extent(), q[0], q[1], q[2], q[3]);
  r.BeginQuads();
  r.AddQuad(q[0], q[1], q[2], q[3]);
  r.EndQuads();
}

void DrawBackground(CRenderer& r) {
  // The sky fills the whole view before anything else. A clear to its colour does
  // what a full-screen quad in front of the eye would, without shading every pixel
  // (a software renderer spends milliseconds on that). The game clears to black.
  r.SetClearColor(SKY_R, SKY_G, SKY_B);
  r.Clear();
  r.SetClearColor(0, 0, 0);
}

// Drawn after the ground, so the depth test skips it wherever grass covers it.
// The floor is seen only down the holes, whose walls reach it all round, so it
// is laid only under the tiles that are not solid grass, and under each only as
// far as the lines from the eye to it can cross the ground in an opening. A
// software renderer would otherwise depth-test the whole board again, five
// units down.
void DrawHoleFloor(CRenderer& r, const CWorld& world, const std::vector<CornerClass>& tiles,
                   const CGroundOpenings& openings) {
  r.DisableTexturing();
  r.SetColor(0, 0, 0);
  r.BeginQuads();
  size_t index = 0;
  for (int x = -1; x <= world.width - 1; ++x)
    for (int y = -1; y <= world.height - 1; ++y) {
      if (tiles[index++].shape == CORNER_SOLID) continue;
      double x0 = x, y0 = y, x1 = x + 1, y1 = y + 1;
      if (openings.Usable()) {
        // Seen from above, the floor shrinks toward the eye's foot on the ground.
        double gx0, gy0, gx1, gy1, fx0, fy0, fx1, fy1;
        openings.ToGround(x0, y0, HOLE_DEPTH, gx0, gy0);
        openings.ToGround(x1, y1, HOLE_DEPTH, gx1, gy1);
        if (!openings.OpenBox(gx0, gy0, gx1, gy1)) continue;
        openings.FromGround(gx0, gy0, HOLE_DEPTH, fx0, fy0);
        openings.FromGround(gx1, gy1, HOLE_DEPTH, fx1, fy1);
        x0 = std::max(x0, fx0);
        y0 = std::max(y0, fy0);
        x1 = std::min(x1, fx1);
        y1 = std::min(y1, fy1);
        if (x0 >= x1 || y0 >= y1) continue;
      }
      r.AddQuad(VertexAt(x0, y0, HOLE_DEPTH), VertexAt(x1, y0, HOLE_DEPTH),
                VertexAt(x1, y1, HOLE_DEPTH), VertexAt(x0, y1, HOLE_DEPTH));
    }
  r.EndQuads();
  r.EnableTexturing();
}

void DrawOuterGround(CRenderer& r, const CTexture& grass, int w, int h) {
  static const double sPlane[4] = {GRASS_REPEAT, 0, 0, 0};
  static const double tPlane[4] = {0, GRASS_REPEAT, 0, 0};
  const double e = OUTER_EXTENT;
  r.SetColor(1, 1, 1);
  r.EnableTexturing();
  // Set while the view matrix is current, so the grass follows board x and y.
  r.SetTexGenPlanes(sPlane, tPlane);
  grass.Bind();
  r.EnableTexGen();
  r.BeginQuads();
  r.AddQuad(VertexAt(-e, -e, 0), VertexAt(e, -e, 0), VertexAt(e, -0.9, 0), VertexAt(-e, -0.9, 0));
  r.AddQuad(VertexAt(-e, h - 0.1, 0), VertexAt(e, h - 0.1, 0), VertexAt(e, e, 0),
            VertexAt(-e, e, 0));
  r.AddQuad(VertexAt(-e, -1.1, 0), VertexAt(-0.9, -1.1, 0), VertexAt(-0.9, h + 0.1, 0),
            VertexAt(-e, h + 0.1, 0));
  r.AddQuad(VertexAt(w - 0.1, h + 0.1, 0), VertexAt(w - 0.1, -1.1, 0), VertexAt(e, -1.1, 0),
            VertexAt(e, h + 0.1, 0));
  r.EndQuads();
}

// The grass top of one tile, in the tile's frame (texture coordinates generated).
void DrawTileTop(CRenderer& r, int shape) {
  switch (shape) {
    case CORNER_SOLID:
      r.BeginQuads();
      r.AddQuad(VertexAt(-0.5, -0.5, 0), VertexAt(0.5, -0.5, 0), VertexAt(0.5, 0.5, 0),
                VertexAt(-0.5, 0.5, 0));
      r.EndQuads();
      break;
    case CORNER_EDGE:
      r.BeginQuads();
      r.AddQuad(VertexAt(0, -0.5, 0), VertexAt(0.5, -0.5, 0), VertexAt(0.5, 0.5, 0),
                VertexAt(0, 0.5, 0));
      r.EndQuads();
      break;
    case CORNER_ONE_HOLE:
      r.BeginTriangleFan();
      r.AddFanVertex(VertexAt(0.5, 0.5, 0));
      r.AddFanVertex(VertexAt(-0.5, 0.5, 0));
      r.AddFanVertex(VertexAt(-0.5, 0, 0));
      r.AddFanVertex(VertexAt(0, -0.5, 0));
      r.AddFanVertex(VertexAt(0.5, -0.5, 0));
      r.EndTriangleFan();
      break;
    case CORNER_ONE_SOLID:
      r.BeginTriangles();
      r.AddTriangle(VertexAt(-0.5, -0.5, 0), VertexAt(0, -0.5, 0), VertexAt(-0.5, 0, 0));
      r.EndTriangles();
      break;
    case CORNER_DIAGONAL:
      r.BeginTriangles();
      r.AddTriangle(VertexAt(0.5, -0.5, 0), VertexAt(0.5, 0, 0), VertexAt(0, -0.5, 0));
      r.AddTriangle(VertexAt(-0.5, 0.5, 0), VertexAt(-0.5, 0, 0), VertexAt(0, 0.5, 0));
      r.EndTriangles();
      break;
  }
}

// The grass fringes that hang over a tile's rims, 0.3 past the rim and 0.1 down.
void AddFringes(CRenderer& r, SceneElements& elements, const CTexture& edge, int shape) {
  auto fringe = [&](int segments, const RenderVertex& v0, const RenderVertex& v1,
                    const RenderVertex& v2, const RenderVertex& v3) {
    CQuadVisElement& element = AddQuadElement(r, elements, &edge, true, PART_RIM_FRINGES);
    SetCorners(element, v0, v1, v2, v3);
    element.segments = segments;
  };
  switch (shape) {
    case CORNER_EDGE:
      fringe(1, VertexAt(0, -0.5, 0, 1, 1), VertexAt(0, 0.5, 0, 0, 1),
             VertexAt(-0.3, 0.5, -0.1, 0, 0), VertexAt(-0.3, -0.5, -0.1, 1, 0));
      break;
    case CORNER_ONE_HOLE:
      fringe(5, VertexAt(0, -0.5, 0, 0.40625, 1), VertexAt(-0.5, 0, 0, 0, 1),
             VertexAt(-0.5, -0.3, -0.1, 0, 0), VertexAt(-0.3, -0.5, -0.1, 0.40625, 0));
      break;
    case CORNER_ONE_SOLID:
      fringe(5, VertexAt(-0.5, 0, 0, 0.6171875, 1), VertexAt(0, -0.5, 0, 0, 1),
             VertexAt(0.3, -0.5, -0.1, 0, 0), VertexAt(-0.5, 0.3, -0.1, 0.6171875, 0));
      break;
    case CORNER_DIAGONAL:
      fringe(5, VertexAt(0, -0.5, 0, 0.6171875, 1), VertexAt(0.5, 0, 0, 0, 1),
             VertexAt(0.5, 0.3, -0.1, 0, 0), VertexAt(-0.3, -0.5, -0.1, 0.6171875, 0));
      fringe(5, VertexAt(0, 0.5, 0, 0.6171875, 1), VertexAt(-0.5, 0, 0, 0, 1),
             VertexAt(-0.5, -0.3, -0.1, 0, 0), VertexAt(0.3, 0.5, -0.1, 0.6171875, 0));
      break;
  }
}

// A point of tile (x, y)'s turned frame on the board.
void TileToBoard(int x, int y, int rotation, double lx, double ly, double& bx, double& by) {
  for (int turn = 0; turn < (rotation % 4 + 4) % 4; ++turn) {
    const double t = lx;
    lx = -ly;
    ly = t;
  }
  bx = x + 0.5 + lx;
  by = y + 0.5 + ly;
}

// How far down the wall under the rim from a to b (board points) can be seen:
// below that, every line from the eye to it crosses the ground on grass.
double SeenWallDepth(const CGroundOpenings& openings, double ax, double ay, double bx, double by) {
  constexpr double STEP = 0.125;
  const double full = -HOLE_DEPTH;
  for (double cut = STEP; cut < full; cut += STEP) {
    const RenderVertex below[4] = {VertexAt(ax, ay, -cut), VertexAt(bx, by, -cut),
                                   VertexAt(ax, ay, HOLE_DEPTH), VertexAt(bx, by, HOLE_DEPTH)};
    if (!openings.MaySee(below, 4)) return cut;
  }
  return full;
}

// The dirt walls from a tile's rims down toward the hole floor, each only as
// deep as it can be seen; the image is laid as on a whole wall.
void DrawTileWalls(CRenderer& r, const CGroundOpenings& openings, int x, int y,
                   const CornerClass& tile) {
  struct Rim {
    double ax, ay, bx, by;
  };
  Rim rims[2];
  int count = 0;
  switch (tile.shape) {
    case CORNER_EDGE:
      rims[count++] = {0, -0.5, 0, 0.5};
      break;
    case CORNER_ONE_HOLE:
      rims[count++] = {0, -0.5, -0.5, 0};
      break;
    case CORNER_ONE_SOLID:
      rims[count++] = {-0.5, 0, 0, -0.5};
      break;
    case CORNER_DIAGONAL:
      rims[count++] = {0, -0.5, 0.5, 0};
      rims[count++] = {0, 0.5, -0.5, 0};
      break;
  }
  if (count == 0) return;
  r.BeginQuads();
  for (int i = 0; i < count; ++i) {
    const Rim& rim = rims[i];
    double depth = -HOLE_DEPTH;
    if (openings.Usable()) {
      double ax, ay, bx, by;
      TileToBoard(x, y, tile.rotation, rim.ax, rim.ay, ax, ay);
      TileToBoard(x, y, tile.rotation, rim.bx, rim.by, bx, by);
      depth = SeenWallDepth(openings, ax, ay, bx, by);
    }
    const double v = 1 + depth / HOLE_DEPTH;
    r.AddQuad(VertexAt(rim.ax, rim.ay, 0, 1, 1), VertexAt(rim.bx, rim.by, 0, 0, 1),
              VertexAt(rim.bx, rim.by, -depth, 0, v), VertexAt(rim.ax, rim.ay, -depth, 1, v));
  }
  r.EndQuads();
}

// Turns a ground-standing billboard at (x, y) to face the eye and lean back by
// the eye's elevation.
void BillboardTurn(CRenderer& r, const RenderVertex& eye, double x, double y) {
  double dx = x - eye.x, dy = y - eye.y;
  r.Rotate(std::atan2(dy, dx), 0, 0, 1);
  r.Rotate(std::min(std::atan2(eye.z, std::sqrt(dx * dx + dy * dy)), LEAN_LIMIT), 0, 1, 0);
}

void DrawList(CRenderer& r, const CVisWorld& vis, const std::vector<CVisElement*>& list) {
  for (CVisElement* element : list) {
    vis.NotePart(element->part);
    r.PushMatrix();
    r.LoadMatrix(element->matrix);
    element->Draw(r);
    r.PopMatrix();
  }
}

void SortFarToNear(std::vector<CVisElement*>& list) {
  std::sort(list.begin(), list.end(),
            [](const CVisElement* a, const CVisElement* b) { return a->depth > b->depth; });
}

}  // namespace

namespace {

constexpr double SMOKE_HALF_SIZE = 0.4;

// Flames shrink away over the last quarter of their life.
double FireHalfSize(double life) {
  return life > 0.75 ? (1 - (life - 0.75) * 4) * 0.3 : 0.3;
}

// A flame deep in a hole is often hidden whole behind the ground: every line
// from the eye to the cube around its sprite crosses the ground on grass.
bool HiddenUnderGround(const CGroundOpenings& openings, const double position[3], double half) {
  const double reach = half * std::sqrt(2.0);
  if (position[2] + reach >= 0) return false;
  RenderVertex cube[8];
  for (int i = 0; i < 8; ++i)
    cube[i] =
        VertexAt(position[0] + (i & 1 ? reach : -reach), position[1] + (i & 2 ? reach : -reach),
                 position[2] + (i & 4 ? reach : -reach));
  return !openings.MaySee(cube, 8);
}

}  // namespace

void CParticleCollector::Visit(const ParticleView& p) {
  const ParticleKind* kind = p.kind;
  if (!kind || p.textureIndex < 0 || p.textureIndex >= static_cast<int>(kind->textures.size()))
    return;
  double dx = p.position[0] - eye.x;
  double dy = p.position[1] - eye.y;
  double dz = p.position[2] - eye.z;
  double yaw = std::atan2(-dy, -dx);
  double lean = std::atan2(dz, std::sqrt(dx * dx + dy * dy));
  const double half = kind->id == FIRE_KIND ? FireHalfSize(p.life) : SMOKE_HALF_SIZE;
  if (openings && HiddenUnderGround(*openings, p.position, half)) return;
  double alpha;
  bool additive;
  double life = p.life;
  if (kind->id == FIRE_KIND) {
    // Flames fade in over their first 0.52 s and shrink away over their last 0.325.
    alpha = life < 0.4 ? life * 2.5 : 1;
    additive = true;
  } else {
    alpha = life < 0.2 ? life * 5 : (life > 0.6 ? 1 - (life - 0.6) * 2.5 : 1);
    additive = false;
  }
  r.PushMatrix();
  r.Translate(p.position[0], p.position[1], p.position[2]);
  r.Rotate(yaw, 0, 0, 1);
  r.Rotate(lean, 0, 1, 0);
  CQuadVisElement& element =
      AddQuadElement(r, elements, &kind->textures[p.textureIndex], p.position[2] < 0, PART_FIRE);
  element.colour[3] = alpha;
  element.additive = additive;
  SetCorners(element, VertexAt(0, half, half, 1, 1), VertexAt(0, -half, half, 0, 1),
             VertexAt(0, -half, -half, 0, 0), VertexAt(0, half, -half, 1, 0));
  r.PopMatrix();
}

namespace {

// Every tile's corner class, x from -1 to width - 1 outer, y inner.
std::vector<CornerClass> ClassifyTiles(const CWorld& world) {
  std::vector<CornerClass> tiles;
  tiles.reserve(static_cast<size_t>(world.width + 1) * static_cast<size_t>(world.height + 1));
  for (int x = -1; x <= world.width - 1; ++x)
    for (int y = -1; y <= world.height - 1; ++y) tiles.push_back(world.ClassifyCorner(x, y));
  return tiles;
}

// Every 2 x 2 block of cells, the board's outer ring included, is one tile: all
// the grass tops first, then all the dirt walls, so the renderer changes texture
// and texture generation twice a frame rather than twice a tile. Opaque and
// depth-tested, they come out the same in either order.
void DrawTiles(CRenderer& r, const CVisWorld& vis, const std::vector<CornerClass>& tiles,
               const CGroundOpenings& openings, SceneElements& elements) {
  const int w = vis.world->width, h = vis.world->height;
  auto eachTile = [&](auto draw) {
    size_t index = 0;
    for (int x = -1; x <= w - 1; ++x)
      for (int y = -1; y <= h - 1; ++y) {
        const CornerClass& corner = tiles[index++];
        if (corner.shape == CORNER_ALL_HOLE) continue;
        r.PushMatrix();
        r.Translate(x + 0.5, y + 0.5, 0);
        r.Rotate(corner.rotation * PI * 0.5, 0, 0, 1);
        draw(x, y, corner);
        r.PopMatrix();
      }
  };
  vis.NotePart(PART_TILE_TOPS);
  vis.grassTexture.Bind();
  r.EnableTexGen();
  eachTile([&](int, int, const CornerClass& tile) {
    DrawTileTop(r, tile.shape);
    AddFringes(r, elements, vis.grassEdgeTexture, tile.shape);
  });
  r.DisableTexGen();
  vis.NotePart(PART_WALLS);
  vis.dirtWallTexture.Bind();
  eachTile([&](int x, int y, const CornerClass& tile) { DrawTileWalls(r, openings, x, y, tile); });
}

// The fence: one unit high, half the image's width per cell. Made at the view
// matrix.
void AddFence(CRenderer& r, const CVisWorld& vis, SceneElements& elements) {
  const int w = vis.world->width, h = vis.world->height;
  auto segment = [&](double x0, double y0, double x1, double y1, double u0, double u1) {
    CQuadVisElement& element = AddQuadElement(r, elements, &vis.fenceTexture, false, PART_FENCE);
    SetCorners(element, VertexAt(x0, y0, 0, u0, 0), VertexAt(x1, y1, 0, u1, 0),
               VertexAt(x1, y1, 1, u1, 1), VertexAt(x0, y0, 1, u0, 1));
  };
  for (int i = 0; i < w; ++i) {
    segment(i - 0.5, -0.5, i + 0.5, -0.5, 0.5 * i, 0.5 * (i + 1));
    segment(i - 0.5, h - 0.5, i + 0.5, h - 0.5, 0.5 * i, 0.5 * (i + 1));
  }
  for (int j = 0; j < h; ++j) {
    segment(-0.5, j - 0.5, -0.5, j + 0.5, 0.5 * j, 0.5 * (j + 1));
    segment(w - 0.5, j - 0.5, w - 0.5, j + 0.5, 0.5 * j, 0.5 * (j + 1));
  }
}

// Tufts grow only where the ground is solid, not on a hole's brink.
void AddTufts(CRenderer& r, const CVisWorld& vis, SceneElements& elements) {
  for (const FringeTuft& tuft : vis.fringeTufts) {
    if (vis.world->ClassifyPoint(tuft.x, tuft.y) != FOOTING_SOLID) continue;
    r.PushMatrix();
    r.Translate(tuft.x, tuft.y, 0);
    BillboardTurn(r, vis.eye, tuft.x, tuft.y);
    r.Scale(tuft.scale * 0.7);
    CQuadVisElement& element =
        AddQuadElement(r, elements, &vis.fringeTextures[tuft.variant], false, PART_TUFTS);
    SetCorners(element, VertexAt(0, 0.5, 0, 0, 0), VertexAt(0, -0.5, 0, 1, 0),
               VertexAt(0, -0.5, 0.5, 1, 1), VertexAt(0, 0.5, 0.5, 0, 1));
    r.PopMatrix();
  }
}

// Flowers grow up over their first 30% of life and fade over their last 20%.
void AddFlowers(CRenderer& r, const CVisWorld& vis, SceneElements& elements) {
  for (const CFlower& flower : vis.world->flowers) {
    double q = flower.lifeTimer.current / flower.lifeTimer.end;
    double size = 1, alpha = 1;
    if (q < 0.3)
      size = q * 3.3333333333333335;
    else if (q > 0.8)
      alpha = 1 - (q - 0.8) * 5;
    r.PushMatrix();
    r.Translate(flower.x, flower.y, 0);
    BillboardTurn(r, vis.eye, flower.x, flower.y);
    r.Scale(size * 0.7);
    CQuadVisElement& element = AddQuadElement(r, elements, &vis.flowerTexture, false, PART_FLOWERS);
    element.colour[3] = alpha;
    SetCorners(element, VertexAt(0, 0.5, 0, 0, 0), VertexAt(0, -0.5, 0, 1, 0),
               VertexAt(0, -0.5, 1, 1, 1), VertexAt(0, 0.5, 1, 0, 1));
    r.PopMatrix();
  }
}

// A blob element takes the bare view matrix: it places itself when drawn. One
// sinking into a hole belongs below the ground.
void AddBlobs(CRenderer& r, const CVisWorld& vis, SceneElements& elements) {
  for (const CUnit& unit : vis.world->units) {
    auto element = std::make_shared<CBlobVisElement>(&unit);
    r.GetMatrix(element->matrix);
    elements.store.push_back(element);
    bool below = unit.DisplayPosition().z < 0;
    (below ? elements.lower : elements.upper).push_back(element.get());
  }
}

// Cracks, the aiming marker and its dots, lying on the ground.
void DrawDecals(CRenderer& r, const CVisWorld& vis) {
  // Cracks darken in over the first half of a hole's forming.
  for (const CPendingHole& hole : vis.world->pendingHoles) {
    double q = hole.formingTimer.current / hole.formingTimer.end;
    double alpha = q < 0.5 ? 2 * q : 1;
    vis.cracksTexture.Bind();
    r.SetColor(1, 1, 1, alpha);
    r.PushMatrix();
    r.Translate(hole.column, hole.row, 0);
    r.Rotate(hole.angle, 0, 0, 1);
    DrawDecal(r, vis.cracksTexture, 0, 0, 0.6);
    r.PopMatrix();
  }
  r.SetColor(1, 1, 1);
  if (!vis.aimVisible) return;
  double dirX = std::cos(vis.aimAngle), dirY = std::sin(vis.aimAngle);
  const BoardPoint& origin = vis.aimOrigin;
  const CTexture& marker = vis.targetValid ? vis.targetTexture : vis.targetOffTexture;
  marker.Bind();
  DrawDecal(r, marker, origin.x + vis.aimDistance * dirX, origin.y + vis.aimDistance * dirY, 0.3);
  // Dots about 0.3 apart, from 0.3 past the blob up to the marker.
  vis.dotTexture.Bind();
  double length = (vis.aimDistance - 0.7) * 3.3333333333333335;
  double dots = std::trunc(length + 0.5);
  for (int k = 0; k < dots; ++k) {
    double d = (k + 0.5) * (1 / length) * (vis.aimDistance - 0.7) + 0.3;
    DrawDecal(r, vis.dotTexture, origin.x + d * dirX, origin.y + d * dirY, 0.1);
  }
}

}  // namespace

void CVisWorld::Draw(CRenderer& r) {
  SceneElements elements;

  DrawBackground(r);
  r.LookAt(eye.x, eye.y, eye.z, lookAt.x, lookAt.y, LOOK_AT_HEIGHT, 0, 0, 1);
  blobContext.cameraEye = eye;
  // Fog stays on after the frame.
  r.SetFog(FOG_START, FOG_END, static_cast<float>(SKY_R), static_cast<float>(SKY_G),
           static_cast<float>(SKY_B));
  r.EnableFog();

  // The opaque ground, seen from above only.
  r.SetCullMode(-1);
  NotePart(PART_OUTER_GROUND);
  DrawOuterGround(r, grassTexture, world->width, world->height);
  const std::vector<CornerClass> tiles = ClassifyTiles(*world);
  const CGroundOpenings openings(*world, tiles, eye);
  DrawTiles(r, *this, tiles, openings, elements);
  NotePart(PART_HOLE_FLOOR);
  DrawHoleFloor(r, *world, tiles, openings);
  r.SetCullMode(0);

  // Everything see-through becomes an element, sorted far to near.
  AddFence(r, *this, elements);
  AddTufts(r, *this, elements);
  AddFlowers(r, *this, elements);
  if (blobsVisible) AddBlobs(r, *this, elements);
  CParticleCollector collector(r, elements, eye, &openings);
  particles.ForEach(collector);
  for (const std::shared_ptr<CVisElement>& element : elements.store) element->UpdateDepth();
  SortFarToNear(elements.lower);
  SortFarToNear(elements.upper);

  // Whatever lies below the ground shows through the holes before the decals.
  r.EnableAlphaBlend();
  r.SetDepthWrite(false);
  DrawList(r, *this, elements.lower);
  // An element may have left additive blending on.
  r.EnableAlphaBlend();
  NotePart(PART_DECALS);
  DrawDecals(r, *this);
  DrawList(r, *this, elements.upper);

  r.SetDepthWrite(true);
  r.DisableBlend();
  elements.lower.clear();
  elements.upper.clear();
  elements.store.clear();
}
