#pragma once

// A game screen drawing into a recording renderer, in an empty folder so that no
// image is found and no OpenGL is touched, with helpers to set up a board by hand
// and to point at blobs on screen.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/blob_ai.h"
#include "game/world.h"
#include "tests/render/png_writer.h"
#include "tests/view/recording_renderer.h"
#include "ui/game_ui.h"

namespace screentest {

// The renderer the screen under test made last.
inline std::shared_ptr<CRecordingRenderer>& Recorder() {
  static std::shared_ptr<CRecordingRenderer> recorder;
  return recorder;
}

inline std::shared_ptr<CRenderer> MakeRecorder() {
  Recorder() = std::make_shared<CRecordingRenderer>();
  return Recorder();
}

// A blob's radius on screen per unit of inverse distance: cot 35 degrees.
inline double Focal() {
  return 1 / std::tan(0.6108647222222222);
}

struct ScreenPoint {
  double x = 0;
  double y = 0;
};

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui.Enter();
    ui.Reshape(800, 600);
  }

  // A running game on a board of plain ground with no blob, flower or crack and
  // nothing that would change it on its own.
  void BareBoard() {
    CWorld& world = ui.world;
    world.cells.assign(static_cast<size_t>(world.width) * world.height, CELL_GROUND);
    world.pendingFlags.assign(world.cells.size(), false);
    world.units.clear();
    world.flowers.clear();
    world.pendingHoles.clear();
    world.openHoleCount = 0;
    world.boardChangeTimer = CTimer();
    world.flowerSpawnTimer = CTimer();
    world.score = 0;
  }

  // A standing, content blob with no timer running: it makes no move of its own
  // unless a test starts its timer.
  CUnit& AddBlob(double x, double y) {
    ui.world.units.emplace_back(&ui.world);
    CUnit& unit = ui.world.units.back();
    unit.x = x;
    unit.y = y;
    unit.behaviour = std::make_shared<CBlobAI>();
    unit.behaviour->Init(&unit, &ui.world);
    unit.autonomous = true;
    return unit;
  }

  void DismissTitle() {
    ui.MouseButton(MB_LEFT, true);
    ui.MouseButton(MB_LEFT, false);
  }

  // Where a board point appears on screen, through the screen's own view basis.
  ScreenPoint Project(double x, double y, double z) const {
    const double w[3] = {x - ui.viewEye[0], y - ui.viewEye[1], z - ui.viewEye[2]};
    const double* m = ui.screenBasisInverse;
    const double depth = w[0] * m[0] + w[1] * m[1] + w[2] * m[2];
    return {(w[0] * m[3] + w[1] * m[4] + w[2] * m[5]) / depth,
            (w[0] * m[6] + w[1] * m[7] + w[2] * m[8]) / depth};
  }
  ScreenPoint ProjectUnit(const CUnit& unit) const {
    const RenderVertex p = unit.DisplayPosition();
    return Project(p.x, p.y, p.z);
  }

  // Moves the pointer to a point in screen coordinates (-1 to 1).
  void PointAt(double sx, double sy) { ui.MouseMove(sx / 2 + 0.5, sy / 2 + 0.5); }
  void PointAt(const CUnit& unit) {
    const ScreenPoint p = ProjectUnit(unit);
    PointAt(p.x, p.y);
  }

  // The target's radius on screen, as the sling measures it.
  double TargetRadius() const { return Focal() * BLOB_RADIUS / ui.targetDistance; }

  // Pulls the held blob's sling: the pointer goes `radii` target radii from the
  // blob's centre in the on-screen direction `angle` (true to the pixel).
  void Pull(double radii, double angle) {
    const double r = TargetRadius() * radii;
    PointAt(ui.targetScreenX + r * std::cos(angle) / ui.aspect,
            ui.targetScreenY + r * std::sin(angle));
  }

  // Grabs a blob by pointing at its centre and pressing the left button.
  void Grab(const CUnit& unit) {
    PointAt(unit);
    ui.MouseButton(MB_LEFT, true);
  }

  CScratchWorkingFolder workingFolder;  // no images: loads fail quietly
  CGameUI ui{MakeRecorder};
};

}  // namespace screentest
