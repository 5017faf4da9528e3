#pragma once

// The real game screen, drawing with OpenGL into an offscreen context in an empty
// folder (no images: loads fail quietly), with helpers to lay out a board by hand
// and to point at blobs on screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "game/blob_ai.h"
#include "game/world.h"
#include "tests/render/gl_context.h"
#include "tests/render/png_writer.h"
#include "ui/game_ui.h"

namespace screentest {

// A running game on a plain board: no blob, flower, crack or timer of its own.
inline void BareBoard(CWorld& world, int w, int h) {
  world.Reset(w, h);
  world.units.clear();
  world.flowers.clear();
  world.pendingHoles.clear();
  std::fill(world.pendingFlags.begin(), world.pendingFlags.end(), false);
  std::fill(world.cells.begin(), world.cells.end(), CELL_GROUND);
  world.openHoleCount = 0;
  world.boardChangeTimer = CTimer();
  world.flowerSpawnTimer = CTimer();
}

// A standing, content blob with no timer running: it makes no move of its own
// unless something starts its timer.
inline CUnit& AddBlob(CWorld& world, double x, double y) {
  world.units.emplace_back(&world);
  CUnit& unit = world.units.back();
  unit.x = x;
  unit.y = y;
  unit.behaviour = std::make_shared<CBlobAI>();
  unit.behaviour->Init(&unit, &world);
  unit.autonomous = true;
  return unit;
}

// A blob's radius on screen per unit of inverse distance: cot 35 degrees.
inline double Focal() {
  return 1 / std::tan(0.6108647222222222);
}

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.IsReady()) << gl.Problem();
    ui.Enter();
    ui.Reshape(800, 600);
  }

  // The first press only dismisses the title.
  void DismissTitle() {
    ui.MouseButton(MB_LEFT, true);
    ui.MouseButton(MB_LEFT, false);
  }

  // A 10 x 10 bare board with a fresh 90-second game running on it.
  void BareBoard() {
    screentest::BareBoard(ui.world, 10, 10);
    ui.world.gameClock = {0, 90.0, true};
  }
  CUnit& AddBlob(double x, double y) { return screentest::AddBlob(ui.world, x, y); }

  // Moves the pointer to a point in screen coordinates (-1 to 1).
  void PointAt(double sx, double sy) { ui.MouseMove(sx / 2 + 0.5, sy / 2 + 0.5); }

  // Where a point of the board shows, in screen coordinates, through the screen's
  // own view basis.
  void OnScreen(const RenderVertex& p, double& sx, double& sy) {
    ui.UpdateViewBasis();
    const double w[3] = {p.x - ui.viewEye[0], p.y - ui.viewEye[1], p.z - ui.viewEye[2]};
    const double* m = ui.screenBasisInverse;
    const double depth = w[0] * m[0] + w[1] * m[1] + w[2] * m[2];
    sx = (w[0] * m[3] + w[1] * m[4] + w[2] * m[5]) / depth;
    sy = (w[0] * m[6] + w[1] * m[7] + w[2] * m[8]) / depth;
  }

  // Puts the pointer on a blob.
  void PointAt(const CUnit& unit) {
    double sx = 0;
    double sy = 0;
    OnScreen(unit.DisplayPosition(), sx, sy);
    PointAt(sx, sy);
  }

  // Grabs a blob by pointing at its centre and pressing the left button.
  void Grab(const CUnit& unit) {
    PointAt(unit);
    ui.MouseButton(MB_LEFT, true);
  }

  // Pulls the held blob's sling: the pointer goes `radii` target radii from the
  // blob's centre in the on-screen direction `angle`.
  void Pull(double radii, double angle) {
    const double r = Focal() * BLOB_RADIUS / ui.targetDistance * radii;
    PointAt(ui.targetScreenX + r * std::cos(angle) / ui.aspect,
            ui.targetScreenY + r * std::sin(angle));
  }

  COffscreenGLContext gl{64, 64};
  CScratchWorkingFolder folder;
  CGameUI ui;
};

}  // namespace screentest
