// The mid-game scene drawn for real, offscreen at 1024 x 768 with the generated
// images. The pictures are written to the build folder (scene_mid_game.png, and
// scene_mid_game_low.png from a low camera) for a person to look at.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "game/world.h"
#include "render/opengl_renderer.h"
#include "tests/render/gl_context.h"
#include "tests/render/png_writer.h"
#include "tests/view/mid_game_scene.h"

namespace {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;

struct Rgb {
  int r = 0, g = 0, b = 0;
  int Luma() const { return (r * 3 + g * 6 + b) / 10; }
  bool Grass() const { return g > r + 20 && g > b + 40; }
  bool Blob() const { return b > r + 40 && b > 100; }
  bool Wood() const { return r > g + 15 && g > b + 10 && r > 90; }
  bool Near(const Rgb& o, int tolerance) const {
    return std::abs(r - o.r) <= tolerance && std::abs(g - o.g) <= tolerance &&
           std::abs(b - o.b) <= tolerance;
  }
};

// One drawn frame: its pixels and the matrices that placed it.
struct Picture {
  std::vector<unsigned char> pixels;
  double modelview[16];
  double projection[16];
  int viewport[4];

  Rgb At(int x, int y) const {
    const unsigned char* p = &pixels[(static_cast<size_t>(y) * WIDTH + x) * 4];
    return {p[0], p[1], p[2]};
  }
  bool Inside(double x, double y) const { return x >= 0 && y >= 0 && x < WIDTH && y < HEIGHT; }
  // Window position of a board point (origin bottom-left).
  std::pair<double, double> Project(double x, double y, double z) const {
    double wx, wy, wz;
    gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
    return {wx, wy};
  }
  // The game's window has no alpha channel: the picture is saved opaque.
  bool Save(const std::string& path) const {
    std::vector<std::vector<unsigned char>> rows;
    for (int y = HEIGHT - 1; y >= 0; --y) {
      rows.emplace_back(pixels.begin() + y * WIDTH * 4, pixels.begin() + (y + 1) * WIDTH * 4);
      for (int x = 0; x < WIDTH; ++x) rows.back()[x * 4 + 3] = 255;
    }
    return WriteRgbaPng(path, WIDTH, HEIGHT, rows);
  }
};

class ScenePixels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gl = new COffscreenGLContext(WIDTH, HEIGHT);
    if (!gl->IsReady()) return;
    scene = new MidGameScene;
    scene->Build(2024, 25);
    renderer.SetClearColor(0, 0, 0);
  }
  static void TearDownTestSuite() {
    delete scene;
    delete gl;
  }
  void SetUp() override { ASSERT_TRUE(gl->IsReady()) << gl->Problem(); }

  static Picture Draw() {
    scene->DrawFrame(renderer, WIDTH, HEIGHT);
    Picture p;
    p.pixels = gl->Pixels();
    glGetDoublev(GL_MODELVIEW_MATRIX, p.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, p.projection);
    glGetIntegerv(GL_VIEWPORT, p.viewport);
    return p;
  }
  // Draws without the fire (the particle system swapped out for the frame).
  static Picture DrawWithoutFire() {
    CParticleSystem none;
    std::swap(none, scene->vis.particles);
    Picture p = Draw();
    std::swap(none, scene->vis.particles);
    return p;
  }
  static CWorld& World() { return scene->world; }

  static COffscreenGLContext* gl;
  static MidGameScene* scene;
  static COpenGLRenderer renderer;
};

COffscreenGLContext* ScenePixels::gl = nullptr;
MidGameScene* ScenePixels::scene = nullptr;
COpenGLRenderer ScenePixels::renderer;

// Ground with no hole beside it, so its centre is plain grass.
bool PlainGround(const CWorld& w, int i, int j) {
  return w.CellAt(i, j) == CELL_GROUND && w.CellAt(i - 1, j) != CELL_HOLE &&
         w.CellAt(i + 1, j) != CELL_HOLE && w.CellAt(i, j - 1) != CELL_HOLE &&
         w.CellAt(i, j + 1) != CELL_HOLE;
}

TEST_F(ScenePixels, TheSceneHasTheMidGameContents) {
  int holes = 0;
  for (int cell : World().cells) holes += cell == CELL_HOLE;
  EXPECT_GE(holes, 5);
  EXPECT_FALSE(World().pendingHoles.empty());
  EXPECT_FALSE(World().flowers.empty());
  EXPECT_GE(World().units.size(), 10u);
  EXPECT_GE(scene->vis.particles.Live().size(), 20u);
  Picture p = Draw();
  EXPECT_TRUE(p.Save("scene_mid_game.png"));
}

TEST_F(ScenePixels, SolidGroundIsGrassAndHolesAreDarkPits) {
  scene->vis.blobsVisible = false;
  Picture p = DrawWithoutFire();
  scene->vis.blobsVisible = true;
  int grassCells = 0, grassy = 0, grassLuma = 0;
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 10; ++i) {
      if (!PlainGround(World(), i, j)) continue;
      bool flowerNear = false;
      for (const CFlower& f : World().flowers) flowerNear |= std::hypot(f.x - i, f.y - j) < 0.6;
      if (flowerNear) continue;
      auto [x, y] = p.Project(i, j, 0);
      Rgb c = p.At(static_cast<int>(x), static_cast<int>(y));
      ++grassCells;
      grassy += c.Grass();
      grassLuma += c.Luma();
    }
  ASSERT_GE(grassCells, 10);
  EXPECT_GE(grassy * 10, grassCells * 9) << grassy << " of " << grassCells;
  int meanGrass = grassLuma / grassCells;

  int holeCells = 0, dark = 0;
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 10; ++i) {
      if (World().CellAt(i, j) != CELL_HOLE) continue;
      // A lone hole cell is mostly hidden under the grass hanging over its rims.
      bool wide = World().CellAt(i - 1, j) == CELL_HOLE || World().CellAt(i + 1, j) == CELL_HOLE ||
                  World().CellAt(i, j - 1) == CELL_HOLE || World().CellAt(i, j + 1) == CELL_HOLE;
      if (!wide) continue;
      // Looking into the hole at its centre: dirt walls or the black floor.
      auto [x, y] = p.Project(i, j, 0);
      Rgb c = p.At(static_cast<int>(x), static_cast<int>(y));
      ++holeCells;
      dark += !c.Grass() && c.Luma() * 5 < meanGrass * 4;
    }
  ASSERT_GE(holeCells, 5);
  EXPECT_GE(dark * 10, holeCells * 8) << dark << " of " << holeCells;
}

TEST_F(ScenePixels, FireBurnsInsideTheHolesOnly) {
  scene->vis.blobsVisible = false;
  Picture with = Draw();
  Picture without = DrawWithoutFire();
  scene->vis.blobsVisible = true;
  // The screen rectangle of each hole's box, from the rim down to the floor.
  struct Box {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  };
  std::vector<Box> boxes;
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 10; ++i) {
      if (World().CellAt(i, j) != CELL_HOLE) continue;
      Box b;
      for (double dx : {-0.5, 0.5})
        for (double dy : {-0.5, 0.5})
          for (double z : {0.0, -5.0}) {
            auto [x, y] = with.Project(i + dx, j + dy, z);
            b.x0 = std::min(b.x0, x - 2);
            b.y0 = std::min(b.y0, y - 2);
            b.x1 = std::max(b.x1, x + 2);
            b.y1 = std::max(b.y1, y + 2);
          }
      boxes.push_back(b);
    }
  int lit = 0, outside = 0, warm = 0;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      Rgb a = with.At(x, y), b = without.At(x, y);
      if (a.Near(b, 8)) continue;
      ++lit;
      // Flames add light: never darker, reds rising most.
      warm += a.r >= b.r && a.g >= b.g && a.b >= b.b && a.r - b.r >= a.b - b.b;
      bool inHole = false;
      for (const Box& box : boxes)
        inHole |= x >= box.x0 && x <= box.x1 && y >= box.y0 && y <= box.y1;
      outside += !inHole;
    }
  EXPECT_GE(lit, 500);
  EXPECT_EQ(outside, 0);
  EXPECT_GE(warm * 100, lit * 95) << warm << " of " << lit;
}

TEST_F(ScenePixels, BlobsAreDrawnWhereTheyStand) {
  Picture shown = DrawWithoutFire();
  scene->vis.blobsVisible = false;
  Picture hidden = DrawWithoutFire();
  scene->vis.blobsVisible = true;
  // The camera's right vector in board space: the first row of the view matrix.
  const double* m = shown.modelview;
  double right[3] = {m[0], m[4], m[8]};
  int checked = 0;
  for (const CUnit& unit : World().units) {
    RenderVertex p = unit.DisplayPosition();
    if (p.z < 0) continue;  // sinking into a hole, behind its walls
    auto [cx, cy] = shown.Project(p.x, p.y, p.z);
    auto [ex, ey] =
        shown.Project(p.x + 0.35 * right[0], p.y + 0.35 * right[1], p.z + 0.35 * right[2]);
    double radius = std::hypot(ex - cx, ey - cy);
    ASSERT_GT(radius, 10);
    int inside = 0, blue = 0, changed = 0;
    for (int y = static_cast<int>(cy - radius); y <= cy + radius; ++y)
      for (int x = static_cast<int>(cx - radius); x <= cx + radius; ++x) {
        if (!shown.Inside(x, y) || std::hypot(x - cx, y - cy) > radius * 0.85) continue;
        ++inside;
        blue += shown.At(x, y).Blob();
        changed += !shown.At(x, y).Near(hidden.At(x, y), 8);
      }
    ++checked;
    EXPECT_GE(changed * 100, inside * 90) << "blob at " << p.x << ", " << p.y;
    EXPECT_GE(blue * 100, inside * 35) << "blob at " << p.x << ", " << p.y;
  }
  EXPECT_GE(checked, 10);
  // Nothing else changes: every changed pixel is within reach of some blob.
  int stray = 0;
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      if (shown.At(x, y).Near(hidden.At(x, y), 8)) continue;
      bool nearBlob = false;
      for (const CUnit& unit : World().units) {
        RenderVertex p = unit.DisplayPosition();
        auto [cx, cy] = shown.Project(p.x, p.y, p.z);
        auto [ex, ey] =
            shown.Project(p.x + 0.35 * right[0], p.y + 0.35 * right[1], p.z + 0.35 * right[2]);
        nearBlob |= std::hypot(x - cx, y - cy) <= std::hypot(ex - cx, ey - cy) * 1.1 + 2;
      }
      stray += !nearBlob;
    }
  EXPECT_EQ(stray, 0);
}

TEST_F(ScenePixels, TheFenceRunsAlongTheBoardsEdge) {
  scene->vis.blobsVisible = false;
  Picture real = DrawWithoutFire();
  // The same frame with an empty fence image: plain white boards show where the
  // fence stands.
  CTexture fence = scene->vis.fenceTexture;
  scene->vis.fenceTexture = CTexture();
  Picture white = DrawWithoutFire();
  scene->vis.fenceTexture = fence;
  scene->vis.blobsVisible = true;
  int segments = 0, wooden = 0;
  for (int k = 0; k < 10; ++k) {
    // South, north, west and east segment midpoints, half-way up.
    double points[4][2] = {
        {double(k), -0.5}, {double(k), 9.5}, {-0.5, double(k)}, {9.5, double(k)}};
    for (int side = 0; side < 4; ++side) {
      const double* pt = points[side];
      auto [x, y] = white.Project(pt[0], pt[1], 0.5);
      if (!white.Inside(x, y)) continue;
      ++segments;
      EXPECT_GE(white.At(x, y).Luma(), 215) << pt[0] << ", " << pt[1];
      // Somewhere in the segment's upright strip, the real fence shows wood.
      bool wood = false;
      for (double z = 0.05; z < 1; z += 0.05)
        for (double s = -0.45; s <= 0.45; s += 0.05) {
          double bx = pt[0], by = pt[1];
          (side < 2 ? bx : by) += s;
          auto [wx, wy] = real.Project(bx, by, z);
          if (real.Inside(wx, wy)) wood |= real.At(wx, wy).Wood();
        }
      wooden += wood;
    }
  }
  EXPECT_GE(segments, 36);
  EXPECT_EQ(wooden, segments);
}

TEST_F(ScenePixels, TheSkyAboveTheHorizonIsTheFogColour) {
  CVisWorld& vis = scene->vis;
  double pitch = vis.pitch;
  vis.dragStartYaw = vis.yaw;
  vis.dragStartPitch = 0.2;
  vis.Rotate(0, 0);
  Picture low = Draw();
  EXPECT_TRUE(low.Save("scene_mid_game_low.png"));
  vis.dragStartPitch = pitch;
  vis.Rotate(0, 0);
  const Rgb fog{179, 255, 179};
  int sky = 0;
  for (int y = HEIGHT - 60; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; x += 4) sky += low.At(x, y).Near(fog, 1);
  EXPECT_EQ(sky, 60 * WIDTH / 4);
  // Below the horizon the board is still there: grass near the bottom of the view.
  EXPECT_TRUE(low.At(WIDTH / 2, 40).Grass());
}

}  // namespace
