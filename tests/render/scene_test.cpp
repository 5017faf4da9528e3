// The frame drawn by CVisWorld::Draw, checked through a recording renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/random.h"
#include "game/world.h"
#include "tests/render/png_writer.h"
#include "tests/view/recording_renderer.h"
#include "view/vis_world.h"

namespace {

// One element as drawn: PushMatrix, LoadMatrix, its own calls, PopMatrix.
struct ElementDraw {
  int start = 0;
  int end = 0;
  bool lower = false;               // drawn before the decals
  std::vector<RenderVertex> board;  // its vertices in board space
  std::vector<std::string> ops;
  double depth = 0;  // squared eye distance of its vertices' mean
};

struct Frame {
  CRecordingRenderer r;
  int tilesStart = 0,
      tilesEnd = 0;  // the ground tiles, between the outer ground and SetCullMode(0)
  int lowerStart = 0, decalStart = 0, upperStart = 0;
  std::vector<ElementDraw> elements;
  std::vector<std::vector<RenderVertex>> decals;  // board corners of each decal quad
  std::vector<int> decalCalls;

  int LowerCount() const {
    int n = 0;
    for (const ElementDraw& e : elements) n += e.lower;
    return n;
  }
};

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override { Board(6, 5); }

  // A board of ground with nothing on it, the camera reset, no tufts.
  void Board(int w, int h) {
    world.Reset(w, h);
    world.units.clear();
    world.flowers.clear();
    world.pendingHoles.clear();
    vis.Reset();
    vis.fringeTufts.clear();
    vis.blobsVisible = true;
  }

  void Draw(Frame& f) {
    vis.Draw(f.r);
    const std::vector<RecordedCall>& c = f.r.calls;
    int n = static_cast<int>(c.size());
    // The tiles follow the outer ground, which has texture generation on already.
    f.tilesStart = f.r.Find("EnableTexGen", f.r.Find("EnableTexGen") + 1) + 1;
    for (int i = f.tilesStart; i < n; ++i)
      if (c[i].op == "SetCullMode" && c[i].args[0] == 0) {
        f.tilesEnd = i;
        break;
      }
    for (int i = f.tilesEnd; i < n; ++i)
      if (c[i].op == "SetDepthWrite" && c[i].args[0] == 0) {
        f.lowerStart = i + 1;
        break;
      }
    bool decalsSeen = false;
    for (int i = f.lowerStart; i < n - 2; ++i) {
      if (c[i].op == "PushMatrix" && c[i + 1].op == "LoadMatrix") {
        if (decalsSeen && !f.upperStart) f.upperStart = i;
        ElementDraw e;
        e.start = i;
        e.lower = !decalsSeen;
        int level = 0;
        int j = i;
        for (; j < n; ++j) {
          if (c[j].op == "PushMatrix") ++level;
          if (c[j].op == "PopMatrix" && --level == 0) break;
          e.ops.push_back(c[j].op);
          for (const RenderVertex& v : c[j].vertices) e.board.push_back(f.r.ToBoard(j, v));
        }
        e.end = j;
        RenderVertex mean;
        mean.x = mean.y = mean.z = 0;
        for (const RenderVertex& v : e.board) {
          mean.x += v.x / e.board.size();
          mean.y += v.y / e.board.size();
          mean.z += v.z / e.board.size();
        }
        double dx = mean.x - vis.eye.x, dy = mean.y - vis.eye.y, dz = mean.z - vis.eye.z;
        e.depth = dx * dx + dy * dy + dz * dz;
        f.elements.push_back(e);
        i = j;
        continue;
      }
      if (c[i].op == "EnableAlphaBlend" && !decalsSeen) {
        decalsSeen = true;
        f.decalStart = i;
      }
      if (c[i].op == "AddQuad") {
        std::vector<RenderVertex> corners;
        for (const RenderVertex& v : c[i].vertices) corners.push_back(f.r.ToBoard(i, v));
        f.decals.push_back(corners);
        f.decalCalls.push_back(i);
      }
    }
    if (!f.upperStart) f.upperStart = n;
  }

  CScratchWorkingFolder workingFolder;  // no images: loads fail quietly
  CWorld world;
  CVisWorld vis{&world};
};

RenderVertex Mean(const std::vector<RenderVertex>& vs) {
  RenderVertex m;
  m.x = m.y = m.z = 0;
  for (const RenderVertex& v : vs) {
    m.x += v.x / vs.size();
    m.y += v.y / vs.size();
    m.z += v.z / vs.size();
  }
  return m;
}

TEST_F(SceneTest, TheFrameStartsWithSkyCameraFogAndGroundAndLeavesTheHudItsState) {
  Frame f;
  Draw(f);
  const std::vector<RecordedCall>& c = f.r.calls;
  std::vector<std::string> start = {
      "SetClearColor", "Clear",       "SetClearColor", "LookAt",          "SetFog",
      "EnableFog",     "SetCullMode", "SetColor",      "EnableTexturing", "SetTexGenPlanes",
      "EnableTexGen",  "BeginQuads",  "AddQuad",       "AddQuad",         "AddQuad",
      "AddQuad",       "EndQuads",    "EnableTexGen",  "PushMatrix"};
  ASSERT_GT(c.size(), start.size());
  for (size_t i = 0; i < start.size(); ++i) EXPECT_EQ(c[i].op, start[i]) << i;
  // The sky: the whole view in the fog colour, then the game's black clear colour again.
  EXPECT_EQ(c[0].args, (std::vector<double>{0.7, 1, 0.7}));
  EXPECT_EQ(c[2].args, (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(c[3].args, (std::vector<double>{vis.eye.x, vis.eye.y, vis.eye.z, vis.lookAt.x,
                                            vis.lookAt.y, 0.35, 0, 0, 1}));
  EXPECT_EQ(c[4].args, (std::vector<double>{15, 50, 0.7f, 1, 0.7f}));
  EXPECT_EQ(c[6].args[0], -1.0);
  EXPECT_EQ(c[7].args, (std::vector<double>{1, 1, 1, 1}));
  EXPECT_NEAR(c[9].args[0], 2.0 / 13, 1e-17);
  EXPECT_NEAR(c[9].args[5], 2.0 / 13, 1e-17);
  EXPECT_EQ(c[9].args[1], 0.0);
  // Four strips of outer ground around the board, in one batch.
  EXPECT_EQ(c[12].vertices[0].x, -100.0);
  EXPECT_EQ(c[12].vertices[2].y, -0.9);
  EXPECT_EQ(c[13].vertices[0].y, 5 - 0.1);
  EXPECT_EQ(c[15].vertices[0].x, 6 - 0.1);
  for (int i = 12; i <= 15; ++i)
    for (const RenderVertex& v : c[i].vertices) EXPECT_EQ(v.z, 0.0);
  // After the tiles, the black floor of the holes, drawn untextured: a board
  // without holes lays none of it.
  int floorColour = f.tilesEnd - 4;
  EXPECT_EQ(c[floorColour - 1].op, "DisableTexturing");
  EXPECT_EQ(c[floorColour].args, (std::vector<double>{0, 0, 0, 1}));
  EXPECT_EQ(c[floorColour + 1].op, "BeginQuads");
  EXPECT_EQ(c[floorColour + 2].op, "EndQuads");
  EXPECT_EQ(c[f.tilesEnd - 1].op, "EnableTexturing");
  // State left for the heads-up display.
  EXPECT_EQ(c[c.size() - 2].op, "SetDepthWrite");
  EXPECT_EQ(c[c.size() - 2].args[0], 1.0);
  EXPECT_EQ(c.back().op, "DisableBlend");
  EXPECT_EQ(f.r.Count("DisableFog"), 0);
  std::vector<std::string> ops = f.r.Ops();
  auto lastOf = [&](const char* op) {
    return std::find(ops.rbegin(), ops.rend(), op) - ops.rbegin();
  };
  EXPECT_LT(lastOf("DisableTexGen"), lastOf("EnableTexGen"));
  EXPECT_LT(lastOf("EnableTexturing"), lastOf("DisableTexturing"));
}

TEST_F(SceneTest, ABoardWithoutHolesDrawsSolidTilesOnlyAndTheFence) {
  Frame f;
  Draw(f);
  int w = 6, h = 5;
  // One tile per corner block, the outer ring included: a grass quad, no walls.
  int tiles = 0, walls = 0;
  for (int i = f.tilesStart; i < f.tilesEnd; ++i) {
    const RecordedCall& call = f.r.calls[i];
    if (call.op == "Translate") ++tiles;
    if (call.op == "AddQuad" && call.vertices[0].z == 0 && call.vertices[2].z == -5) ++walls;
  }
  // Each tile is visited twice: once for its grass, once for its walls.
  EXPECT_EQ(tiles, 2 * (w + 1) * (h + 1));
  EXPECT_EQ(walls, 0);
  EXPECT_EQ(f.r.Count("BeginTriangles") + f.r.Count("BeginTriangleFan"), 0);
  // No fringes: every element is a fence segment.
  EXPECT_EQ(f.LowerCount(), 0);
  ASSERT_EQ(static_cast<int>(f.elements.size()), 2 * w + 2 * h);
  int south = 0, north = 0, west = 0, east = 0;
  for (const ElementDraw& e : f.elements) {
    ASSERT_EQ(e.board.size(), 4u);
    RenderVertex m = Mean(e.board);
    EXPECT_NEAR(m.z, 0.5, 1e-9);
    if (std::abs(m.y + 0.5) < 1e-9) ++south;
    if (std::abs(m.y - (h - 0.5)) < 1e-9) ++north;
    if (std::abs(m.x + 0.5) < 1e-9) ++west;
    if (std::abs(m.x - (w - 0.5)) < 1e-9) ++east;
    double length = std::hypot(e.board[1].x - e.board[0].x, e.board[1].y - e.board[0].y);
    EXPECT_NEAR(length, 1.0, 1e-9);
  }
  EXPECT_EQ(south, w);
  EXPECT_EQ(north, w);
  EXPECT_EQ(west, h);
  EXPECT_EQ(east, h);
}

TEST_F(SceneTest, EveryTileDrawsTheTopWallsAndFringesOfItsShape) {
  Board(8, 8);
  SeedRandom(11);
  for (int& cell : world.cells)
    if (Rand() % 3 == 0) cell = CELL_HOLE;
  // Make sure both diagonals and an all-hole block exist.
  world.CellAt(1, 1) = CELL_HOLE;
  world.CellAt(2, 2) = CELL_HOLE;
  world.CellAt(1, 2) = CELL_GROUND;
  world.CellAt(2, 1) = CELL_GROUND;
  for (int i = 5; i <= 6; ++i)
    for (int j = 5; j <= 6; ++j) world.CellAt(i, j) = CELL_HOLE;
  Frame f;
  Draw(f);
  const std::vector<RecordedCall>& c = f.r.calls;
  // The grass of every tile, in one pass with texture generation on.
  struct Seen {
    int tops = 0, walls = 0, fringes = 0, fanVertices = 0;
  };
  std::vector<Seen> seen;
  std::vector<CornerClass> shapes;
  int seenShapes[6] = {};
  int index = f.tilesStart;
  auto enterTile = [&](int x, int y, const CornerClass& corner) {
    EXPECT_EQ(c[index].op, "PushMatrix");
    EXPECT_EQ(c[index + 1].op, "Translate");
    EXPECT_EQ(c[index + 1].args, (std::vector<double>{x + 0.5, y + 0.5, 0}));
    EXPECT_NEAR(c[index + 2].args[0], corner.rotation * 3.141592653589793 / 2, 1e-15);
    int end = index;
    while (c[end].op != "PopMatrix") ++end;
    int from = index;
    index = end + 1;
    return std::make_pair(from, end);
  };
  for (int x = -1; x <= 7; ++x)
    for (int y = -1; y <= 7; ++y) {
      CornerClass corner = world.ClassifyCorner(x, y);
      ++seenShapes[corner.shape];
      if (corner.shape == CORNER_ALL_HOLE) continue;
      auto [from, end] = enterTile(x, y, corner);
      Seen tile;
      std::vector<RenderVertex> fan;
      for (int i = from; i < end; ++i) {
        if (c[i].op == "GetMatrix") ++tile.fringes;
        if (c[i].op == "AddFanVertex") {
          ++tile.fanVertices;
          fan.push_back(f.r.ToBoard(i, c[i].vertices[0]));
        }
        if (c[i].op == "AddQuad" || c[i].op == "AddTriangle") {
          ++tile.tops;
          // Every piece of grass lies over solid footing.
          std::vector<RenderVertex> board;
          for (const RenderVertex& v : c[i].vertices) board.push_back(f.r.ToBoard(i, v));
          RenderVertex m = Mean(board);
          EXPECT_EQ(world.ClassifyPoint(m.x, m.y), FOOTING_SOLID) << x << "," << y;
          for (const RenderVertex& v : c[i].vertices) EXPECT_EQ(v.z, 0.0);
        }
        if (corner.shape == CORNER_DIAGONAL && c[i].op == "BeginTriangles") {
          EXPECT_EQ(c[i + 1].op, "AddTriangle");
          EXPECT_EQ(c[i + 2].op, "AddTriangle");
          EXPECT_EQ(c[i + 3].op, "EndTriangles");
        }
      }
      if (!fan.empty()) {
        RenderVertex m = Mean(fan);
        EXPECT_EQ(world.ClassifyPoint(m.x, m.y), FOOTING_SOLID) << x << "," << y;
      }
      seen.push_back(tile);
      shapes.push_back(corner);
    }
  // Then the dirt walls of every tile, without texture generation.
  ASSERT_EQ(c[index].op, "DisableTexGen");
  ++index;
  size_t tile = 0;
  for (int x = -1; x <= 7; ++x)
    for (int y = -1; y <= 7; ++y) {
      CornerClass corner = world.ClassifyCorner(x, y);
      if (corner.shape == CORNER_ALL_HOLE) continue;
      auto [from, end] = enterTile(x, y, corner);
      for (int i = from; i < end; ++i)
        if (c[i].op == "AddQuad") {
          ++seen[tile].walls;
          // Walls hang from the rim at z = 0 toward the floor of the hole,
          // as far down as the eye can see them.
          EXPECT_EQ(c[i].vertices[0].z, 0.0);
          EXPECT_EQ(c[i].vertices[1].z, 0.0);
          EXPECT_LT(c[i].vertices[2].z, 0.0);
          EXPECT_GE(c[i].vertices[2].z, -5.0);
          EXPECT_EQ(c[i].vertices[3].z, c[i].vertices[2].z);
        }
      ++tile;
    }
  EXPECT_EQ(c[index].op, "DisableTexturing");
  ASSERT_EQ(seen.size(), shapes.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    const Seen& t = seen[i];
    switch (shapes[i].shape) {
      case CORNER_SOLID:
        EXPECT_EQ(t.tops, 1);
        EXPECT_EQ(t.walls, 0);
        EXPECT_EQ(t.fringes, 0);
        break;
      case CORNER_EDGE:
      case CORNER_ONE_SOLID:
        EXPECT_EQ(t.tops, 1);
        EXPECT_EQ(t.walls, 1);
        EXPECT_EQ(t.fringes, 1);
        break;
      case CORNER_ONE_HOLE:
        EXPECT_EQ(t.tops, 0);
        EXPECT_EQ(t.fanVertices, 5);
        EXPECT_EQ(t.walls, 1);
        EXPECT_EQ(t.fringes, 1);
        break;
      case CORNER_DIAGONAL:
        EXPECT_EQ(t.tops, 2);
        EXPECT_EQ(t.walls, 2);
        EXPECT_EQ(t.fringes, 2);
        break;
    }
  }
  for (int shape = 0; shape < 6; ++shape) EXPECT_GT(seenShapes[shape], 0) << shape;
  // Fringes hang in the holes and go to the lower list: 1 per rim, 2 per diagonal.
  int expectedFringes = seenShapes[2] + seenShapes[3] + seenShapes[4] + 2 * seenShapes[5];
  EXPECT_EQ(f.LowerCount(), expectedFringes);
  for (const ElementDraw& e : f.elements)
    if (e.lower) {
      int strip = static_cast<int>(std::count(e.ops.begin(), e.ops.end(), "AddStripVertex"));
      int quad = static_cast<int>(std::count(e.ops.begin(), e.ops.end(), "AddQuad"));
      EXPECT_TRUE(strip == 12 || quad == 1);
    }
}

TEST_F(SceneTest, TwoDiagonalHolesMakeOneDiagonalTile) {
  world.CellAt(1, 1) = CELL_HOLE;
  world.CellAt(2, 2) = CELL_HOLE;
  Frame f;
  Draw(f);
  std::vector<std::string> all = f.r.Ops();
  std::vector<std::vector<std::string>> visits;
  for (int i = f.tilesStart; i < f.tilesEnd; ++i)
    if (f.r.calls[i].op == "Translate" && f.r.calls[i].args[0] == 1.5 &&
        f.r.calls[i].args[1] == 1.5)
      visits.emplace_back(all.begin() + i + 1, all.begin() + f.r.Find("PopMatrix", i));
  ASSERT_EQ(visits.size(), 2u);
  // Two grass triangles and two fringes, then two wall quads.
  std::vector<std::string> grass = {"Rotate",       "BeginTriangles", "AddTriangle", "AddTriangle",
                                    "EndTriangles", "GetMatrix",      "GetMatrix"};
  std::vector<std::string> walls = {"Rotate", "BeginQuads", "AddQuad", "AddQuad", "EndQuads"};
  EXPECT_EQ(visits[0], grass);
  EXPECT_EQ(visits[1], walls);
  // Its two fringes are five-slice strips.
  int strips = 0;
  for (const ElementDraw& e : f.elements)
    if (std::count(e.ops.begin(), e.ops.end(), "AddStripVertex") == 12) ++strips;
  EXPECT_GE(strips, 2);
}

// Down a hole the eye meets the floor only inside the hole's walls, so the floor
// lies under every tile that is not solid grass, five deep, and nowhere else.
TEST_F(SceneTest, TheHoleFloorLiesWhereverTheEyeSeesDownAHole) {
  world.CellAt(1, 1) = CELL_HOLE;
  world.CellAt(2, 2) = CELL_HOLE;
  world.CellAt(4, 2) = CELL_HOLE;
  world.CellAt(5, 2) = CELL_HOLE;
  // High over the holes, so the floor shows down most of them.
  vis.eye = VertexAt(3.6, 1.8, 30);
  Frame f;
  Draw(f);
  const std::vector<RecordedCall>& c = f.r.calls;
  int end = f.tilesEnd - 2;
  ASSERT_EQ(c[end].op, "EndQuads");
  int begin = end;
  while (begin > f.tilesStart && c[begin].op != "BeginQuads") --begin;
  ASSERT_EQ(c[begin - 1].args, (std::vector<double>{0, 0, 0, 1}));
  std::vector<std::vector<RenderVertex>> floor;
  for (int i = begin + 1; i < end; ++i) {
    ASSERT_EQ(c[i].op, "AddQuad");
    for (const RenderVertex& v : c[i].vertices) EXPECT_EQ(v.z, -5.0);
    floor.push_back(c[i].vertices);
  }
  // Quads drawn from above: corners counter-clockwise, axis-aligned.
  auto under = [&](double x, double y) {
    int covering = 0;
    for (const std::vector<RenderVertex>& q : floor)
      covering += x > q[0].x && x < q[2].x && y > q[0].y && y < q[2].y;
    return covering;
  };
  int holeTiles = 0;
  for (int x = -1; x <= 5; ++x)
    for (int y = -1; y <= 4; ++y) {
      bool solid = world.ClassifyCorner(x, y).shape == CORNER_SOLID;
      holeTiles += !solid;
      // Each tile spans one unit from its lower corner (x, y): none under grass.
      if (!solid) continue;
      for (double ox : {0.1, 0.5, 0.9})
        for (double oy : {0.1, 0.5, 0.9}) EXPECT_EQ(under(x + ox, y + oy), 0) << x << "," << y;
    }
  EXPECT_LE(floor.size(), static_cast<size_t>(holeTiles));
  // Looking down a hole from the eye, the line of sight meets the floor (if it
  // stays inside the hole that far): the floor must be there.
  const RenderVertex& e = vis.eye;
  auto hole = [&](double x, double y) {
    return world.CellAt(static_cast<int>(std::floor(x + 0.5)),
                        static_cast<int>(std::floor(y + 0.5))) == CELL_HOLE;
  };
  int seen = 0;
  for (double x = -0.5; x < 7; x += 0.05)
    for (double y = -0.5; y < 7; y += 0.05) {
      const double t = (e.z + 5) / e.z;
      const double fx = e.x + (x - e.x) * t, fy = e.y + (y - e.y) * t;
      bool inside = true;
      for (double s = 0; s <= 1; s += 0.05) inside &= hole(x + (fx - x) * s, y + (fy - y) * s);
      if (!inside) continue;
      ++seen;
      EXPECT_EQ(under(fx, fy), 1) << fx << "," << fy;
    }
  EXPECT_GT(seen, 400);
}

TEST_F(SceneTest, TuftsOnOrAtTheBrinkOfAHoleAreLeftOut) {
  world.CellAt(2, 2) = CELL_HOLE;
  for (double x : {4.0, 2.0, 2.3, 1.62}) {
    FringeTuft t;
    t.x = x;
    t.y = 2;
    t.variant = 1;
    vis.fringeTufts.push_back(t);
  }
  ASSERT_EQ(world.ClassifyPoint(2.3, 2), FOOTING_EDGE);
  ASSERT_EQ(world.ClassifyPoint(1.62, 2), FOOTING_SOLID);
  Frame f;
  Draw(f);
  std::vector<RenderVertex> tufts;
  for (const ElementDraw& e : f.elements)
    if (!e.lower && Mean(e.board).z < 0.3) tufts.push_back(Mean(e.board));
  ASSERT_EQ(tufts.size(), 2u);
  // A tuft stands 0.35 tall, leaning back toward the high eye.
  for (const RenderVertex& m : tufts) {
    EXPECT_NEAR(m.y, 2, 0.2);
    EXPECT_TRUE(std::abs(m.x - 4) < 0.2 || std::abs(m.x - 1.62) < 0.2);
  }
}

TEST_F(SceneTest, FlowersGrowInAndFadeOut) {
  CFlower young;
  young.x = 1;
  young.y = 1;
  young.lifeTimer = {1.5, 10, true};
  CFlower old = young;
  old.x = 3;
  old.lifeTimer = {9, 10, true};
  world.flowers = {young, old};
  Frame f;
  Draw(f);
  std::vector<double> scales;
  for (int i = f.tilesEnd; i < f.lowerStart; ++i)
    if (f.r.calls[i].op == "Scale") scales.push_back(f.r.calls[i].args[0]);
  ASSERT_EQ(scales.size(), 2u);
  EXPECT_DOUBLE_EQ(scales[0], 0.35);
  EXPECT_DOUBLE_EQ(scales[1], 0.7);
  int found = 0;
  for (const ElementDraw& e : f.elements) {
    RenderVertex m = Mean(e.board);
    if (m.z < 0.05 || m.z > 0.4) continue;  // fence segments are centred at 0.5
    const RecordedCall& colour = f.r.calls[e.start + 2];
    ASSERT_EQ(colour.op, "SetColor");
    double height = e.board[2].z;
    if (std::abs(m.x - 1) < 0.3) {
      EXPECT_EQ(colour.args[3], 1.0);
      EXPECT_NEAR(
          height,
          0.35 * std::cos(std::min(std::atan2(vis.eye.z, std::hypot(1 - vis.eye.x, 1 - vis.eye.y)),
                                   1.0471966666666666)),
          1e-9);
      ++found;
    } else {
      EXPECT_NEAR(colour.args[3], 0.5, 1e-12);
      ++found;
    }
  }
  EXPECT_EQ(found, 2);
}

TEST_F(SceneTest, ThingsBelowTheGroundAreDrawnBeforeTheDecals) {
  world.CellAt(2, 2) = CELL_HOLE;
  CUnit sinking(&world);
  sinking.x = 2;
  sinking.y = 2;
  sinking.state = UNIT_FALLING;
  sinking.transitionTimer = {0.5, 1, true};
  CUnit standing(&world);
  standing.x = 4;
  standing.y = 3;
  world.units = {sinking, standing};
  CPendingHole crack;
  crack.column = 4;
  crack.row = 1;
  crack.formingTimer = {1, 5, true};
  world.pendingHoles = {crack};
  vis.particles.Spawn(0, 2, 2, -0.5, 0, 0, 0, 0);  // in the hole, in sight
  vis.particles.Spawn(0, 2.1, 2, 0, 0, 0, 0, 0);   // exactly at ground level: upper
  vis.aimVisible = true;
  vis.aimOrigin = {4, 3};
  vis.aimAngle = 0.5;
  vis.aimDistance = 0.8;
  Frame f;
  Draw(f);
  int blobTranslates = 0;
  bool sinkingLower = false, standingUpper = false;
  int deepFire = 0, levelFire = 0;
  for (const ElementDraw& e : f.elements) {
    bool blob = std::count(e.ops.begin(), e.ops.end(), "AddQuad") >= 5;
    RenderVertex m = Mean(e.board);
    if (blob) {
      ++blobTranslates;
      if (e.lower && m.z < -1) sinkingLower = true;
      if (!e.lower && m.z > 0.3) standingUpper = true;
    } else if (std::abs(m.x - 2) < 0.01 && std::abs(m.y - 2) < 0.01 && e.lower) {
      ++deepFire;
    } else if (std::abs(m.x - 2.1) < 0.01 && !e.lower) {
      ++levelFire;
      EXPECT_EQ(f.r.calls[e.start + 3].op, "EnableAdditiveBlend");
    }
  }
  EXPECT_EQ(blobTranslates, 2);
  EXPECT_TRUE(sinkingLower);
  EXPECT_TRUE(standingUpper);
  EXPECT_EQ(deepFire, 1);
  EXPECT_EQ(levelFire, 1);
  // The crack, then the marker; alpha blending restored first, crack alpha 2q.
  ASSERT_EQ(f.decals.size(), 2u);
  EXPECT_EQ(f.r.calls[f.decalStart].op, "EnableAlphaBlend");
  int crackColour = f.r.Find("SetColor", f.decalStart);
  EXPECT_DOUBLE_EQ(f.r.calls[crackColour].args[3], 0.4);
  RenderVertex crackCentre = Mean(f.decals[0]);
  EXPECT_NEAR(crackCentre.x, 4, 1e-12);
  EXPECT_NEAR(crackCentre.y, 1, 1e-12);
  EXPECT_NEAR(crackCentre.z, 0.01, 1e-12);
  RenderVertex marker = Mean(f.decals[1]);
  EXPECT_NEAR(marker.x, 4 + 0.8 * std::cos(0.5), 1e-12);
  EXPECT_NEAR(marker.y, 3 + 0.8 * std::sin(0.5), 1e-12);
  EXPECT_NEAR(f.decals[1][1].x - f.decals[1][0].x, 0.6, 1e-12);
}

TEST_F(SceneTest, TheAimingLineHasADotEveryThirdOfAUnitPastTheBlob) {
  vis.aimVisible = true;
  vis.aimOrigin = {2, 2};
  vis.aimAngle = 1.0;
  struct Case {
    double distance;
    int dots;
  };
  for (Case k : {Case{1.0, 1}, Case{0.84, 0}, Case{0.5, 0}, Case{2.2, 5}}) {
    vis.aimDistance = k.distance;
    Frame f;
    Draw(f);
    ASSERT_EQ(static_cast<int>(f.decals.size()), 1 + k.dots) << k.distance;
    for (int i = 1; i <= k.dots; ++i) {
      RenderVertex m = Mean(f.decals[i]);
      double along = std::hypot(m.x - 2, m.y - 2);
      double expected = (i - 0.5) * (k.distance - 0.7) / k.dots + 0.3;
      EXPECT_NEAR(along, expected, 1e-12);
      EXPECT_NEAR(std::atan2(m.y - 2, m.x - 2), 1.0, 1e-12);
      EXPECT_NEAR(f.decals[i][1].x - f.decals[i][0].x, 0.2, 1e-12);
    }
    if (k.distance == 1.0) {
      EXPECT_NEAR(std::hypot(Mean(f.decals[1]).x - 2, Mean(f.decals[1]).y - 2), 0.45, 1e-12);
    }
  }
}

TEST_F(SceneTest, HiddenBlobsLeaveTheRestOfTheFrameAlone) {
  CUnit blob(&world);
  blob.x = 2;
  blob.y = 2;
  world.units = {blob};
  CPendingHole crack;
  crack.column = 1;
  crack.row = 1;
  crack.formingTimer = {4, 5, true};
  world.pendingHoles = {crack};
  vis.particles.Spawn(0, 3, 3, 0.5, 0, 0, 0, 0);
  vis.aimVisible = true;
  vis.aimDistance = 1;
  Frame shown;
  Draw(shown);
  vis.blobsVisible = false;
  Frame hidden;
  Draw(hidden);
  EXPECT_EQ(hidden.elements.size() + 1, shown.elements.size());
  EXPECT_EQ(hidden.decals.size(), shown.decals.size());
  EXPECT_EQ(hidden.decals.size(), 3u);                  // crack, marker, one dot
  EXPECT_EQ(hidden.r.Count("EnableAdditiveBlend"), 1);  // the flame
}

TEST_F(SceneTest, EachListIsDrawnFarToNear) {
  Board(10, 10);
  vis.Reset();  // with its tufts
  world.CellAt(3, 3) = CELL_HOLE;
  world.CellAt(6, 2) = CELL_HOLE;
  for (int i = 0; i < 30; ++i)
    vis.particles.Spawn(0, 3 + (i % 5) * 0.1, 3, -4 + i * 0.2, 0, 0, 0, 0);
  CUnit blob(&world);
  blob.x = 5;
  blob.y = 5;
  world.units = {blob};
  Frame f;
  Draw(f);
  // The blob is sorted by its centre; the mean of its sprite's many quads lies
  // nearer the eye than that (the face sits in front), so it is judged by its
  // centre too.
  RenderVertex centre = world.units.front().DisplayPosition();
  double dx = centre.x - vis.eye.x, dy = centre.y - vis.eye.y, dz = centre.z - vis.eye.z;
  int blobs = 0;
  for (ElementDraw& e : f.elements)
    if (std::count(e.ops.begin(), e.ops.end(), "BeginQuads") > 1) {
      e.depth = dx * dx + dy * dy + dz * dz;
      ++blobs;
    }
  EXPECT_EQ(blobs, 1);
  int lower = 0, upper = 0;
  for (size_t i = 1; i < f.elements.size(); ++i) {
    const ElementDraw& a = f.elements[i - 1];
    const ElementDraw& b = f.elements[i];
    if (a.lower != b.lower) continue;
    (a.lower ? lower : upper)++;
    // Each element's own reference point decides; its mean vertex is close to it.
    EXPECT_GE(a.depth + 0.6, b.depth) << i;
  }
  EXPECT_GT(lower, 10);
  EXPECT_GT(upper, 50);
}

}  // namespace

namespace {

// Before the first game the world is empty and nothing is loaded: a frame still
// draws the sky and the ground around an empty board, and leaves the usual state.
TEST(SceneBeforeAnyGame, DrawsSafely) {
  CWorld world;
  CVisWorld vis(&world);
  vis.blobsVisible = true;
  vis.aimVisible = true;
  vis.Update(0.5);
  CRecordingRenderer r;
  vis.Draw(r);
  EXPECT_EQ(r.Count("LoadMatrix"), 0);
  EXPECT_EQ(r.Count("PushMatrix"), r.Count("PopMatrix"));
  EXPECT_EQ(r.calls.back().op, "DisableBlend");
}

}  // namespace
