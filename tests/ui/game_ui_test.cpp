#include "ui/game_ui.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/random.h"
#include "tests/ui/screen_fixture.h"

namespace {

using screentest::Focal;
using screentest::Recorder;
using screentest::ScreenPoint;
using screentest::ScreenTest;

constexpr double TWO_PI = 2 * 3.14159265358979323846;

// --- Start, window shape, camera -------------------------------------------------------

TEST_F(ScreenTest, EnteringStartsAGameBehindTheTitle) {
  EXPECT_TRUE(ui.world.IsRunning());
  EXPECT_EQ(ui.world.units.size(), 15u);
  EXPECT_TRUE(ui.titleShown);
  EXPECT_FALSE(ui.visWorld.blobsVisible);
  ASSERT_NE(Recorder(), nullptr);
  EXPECT_EQ(ui.renderer, Recorder());
  const int clear = Recorder()->Find("SetClearColor");
  ASSERT_GE(clear, 0);
  EXPECT_EQ(Recorder()->calls[clear].args, (std::vector<double>{0, 0, 0}));
  // The blobs glance toward the camera.
  EXPECT_EQ(ui.world.eyePoint.x, ui.visWorld.eye.x);
  EXPECT_EQ(ui.world.eyePoint.z, ui.visWorld.eye.z);
}

TEST_F(ScreenTest, TheHandIsATenthOfTheHalfHeightButNeverUnderTwentyFivePixels) {
  ui.Reshape(800, 600);
  EXPECT_DOUBLE_EQ(ui.handScale, 0.1);
  EXPECT_DOUBLE_EQ(ui.aspect, 800.0 / 600.0);
  ui.Reshape(533, 400);
  EXPECT_DOUBLE_EQ(ui.handScale, 0.125);
  const int viewport = Recorder()->Find("SetViewport", Recorder()->Find("SetViewport") + 1);
  ASSERT_GE(viewport, 0);
  EXPECT_EQ(Recorder()->calls.back().op, "SetViewport");
  EXPECT_EQ(Recorder()->calls.back().args, (std::vector<double>{0, 0, 533, 400}));
  // The right vector carries the aspect.
  const double rightLength = std::hypot(ui.viewRight[0], ui.viewRight[1]);
  EXPECT_NEAR(rightLength, 533.0 / 400.0, 1e-12);
}

TEST_F(ScreenTest, AMinimisedWindowKeepsTheLastShape) {
  ui.Reshape(1024, 768);
  ui.Reshape(1024, 0);
  EXPECT_DOUBLE_EQ(ui.aspect, 1024.0 / 768.0);
  EXPECT_DOUBLE_EQ(ui.handScale, 0.1);
  ui.Reshape(0, 0);
  EXPECT_DOUBLE_EQ(ui.aspect, 1024.0 / 768.0);
  for (double value : ui.screenBasisInverse) EXPECT_TRUE(std::isfinite(value));
  ui.Draw();
  const int perspective = Recorder()->Find("SetPerspective");
  ASSERT_GE(perspective, 0);
  EXPECT_DOUBLE_EQ(Recorder()->calls[perspective].args[1], 1024.0 / 768.0);
}

// The basis the screen picks with must put a point exactly where the drawn
// camera (LookAt and a 70 degree perspective) shows it.
TEST_F(ScreenTest, TheScreenBasisProjectsLikeTheDrawnCamera) {
  ui.visWorld.yaw = 0.7;
  ui.visWorld.pitch = 0.4;
  ui.visWorld.lookAt = {2, 6};
  ui.visWorld.UpdateCamera();
  ui.Reshape(1000, 500);
  Recorder()->Forget();
  ui.Draw();
  const int lookAt = Recorder()->Find("LookAt");
  ASSERT_GE(lookAt, 0);
  const double* view = Recorder()->calls[lookAt + 1].modelview;
  const double points[][3] = {{0, 0, 0}, {9, 9, 0}, {4.5, 3, 0.35}, {1, 8, 2}};
  for (const auto& p : points) {
    double eyeSpace[3];
    TransformPoint(view, p[0], p[1], p[2], eyeSpace);
    // gluPerspective(70, 2, ...) scales by cot 35 degrees, over the aspect across.
    const double focal = 1 / std::tan(70 * PI / 360);
    const double drawnX = focal / 2.0 * eyeSpace[0] / -eyeSpace[2];
    const double drawnY = focal * eyeSpace[1] / -eyeSpace[2];
    const ScreenPoint picked = Project(p[0], p[1], p[2]);
    EXPECT_NEAR(picked.x, drawnX, 1e-12);
    EXPECT_NEAR(picked.y, drawnY, 1e-12);
  }
}

TEST_F(ScreenTest, RightDragOrbitsAndTheBasisFollowsOnRelease) {
  DismissTitle();
  ui.MouseMove(0.5, 0.5);
  const double yaw = ui.visWorld.yaw;
  const double eyeX = ui.viewEye[0];
  ui.MouseButton(MB_RIGHT, true);
  EXPECT_TRUE(ui.cameraDragging);
  ui.MouseMove(0.6, 0.5);
  // A tenth of the window width turns the camera by a radian.
  EXPECT_NEAR(ui.visWorld.yaw, yaw - 1, 1e-12);
  EXPECT_EQ(ui.viewEye[0], eyeX);
  ui.MouseButton(MB_RIGHT, false);
  EXPECT_FALSE(ui.cameraDragging);
  EXPECT_EQ(ui.viewEye[0], ui.visWorld.eye.x);
  EXPECT_EQ(ui.world.eyePoint.y, ui.visWorld.eye.y);
}

TEST_F(ScreenTest, ArrowKeysSlideTheCameraAlongTheView) {
  DismissTitle();
  BareBoard();
  AddBlob(9, 9);
  const BoardPoint start = ui.visWorld.lookAt;
  ui.SpecialKey(SK_UP, true);
  ui.Update(0.1);
  ui.SpecialKey(SK_UP, false);
  // Forward, along the view's ground direction, at 7.5 units a second.
  const double fx = ui.viewForward[0] / std::hypot(ui.viewForward[0], ui.viewForward[1]);
  const double fy = ui.viewForward[1] / std::hypot(ui.viewForward[0], ui.viewForward[1]);
  EXPECT_NEAR(ui.visWorld.lookAt.x - start.x, fx * 0.75, 1e-9);
  EXPECT_NEAR(ui.visWorld.lookAt.y - start.y, fy * 0.75, 1e-9);
  EXPECT_EQ(ui.viewEye[1], ui.visWorld.eye.y);
  // Right is a quarter turn clockwise from forward.
  const BoardPoint before = ui.visWorld.lookAt;
  ui.SpecialKey(SK_RIGHT, true);
  ui.Update(0.1);
  EXPECT_NEAR(ui.visWorld.lookAt.x - before.x, fy * 0.75, 1e-9);
  EXPECT_NEAR(ui.visWorld.lookAt.y - before.y, -fx * 0.75, 1e-9);
  // Other keys do nothing.
  ui.SpecialKey(SK_RIGHT, false);
  ui.SpecialKey(SK_F1, true);
  ui.Key('w', true);
  const BoardPoint still = ui.visWorld.lookAt;
  ui.Update(0.1);
  EXPECT_EQ(ui.visWorld.lookAt.x, still.x);
  EXPECT_EQ(ui.visWorld.lookAt.y, still.y);
}

// --- The title ---------------------------------------------------------------------------

TEST_F(ScreenTest, TheTitleHoldsEverythingStillAndTheFirstPressOnlyDismissesIt) {
  BareBoard();
  CUnit& blob = AddBlob(4, 4);
  blob.transitionTimer = {0, 0.5, true};
  ui.world.flowerSpawnTimer = {0, 1, true};
  ui.SpecialKey(SK_UP, true);
  PointAt(blob);
  EXPECT_TRUE(ui.hasTarget);  // aiming works, its result waits for the title to go
  const BoardPoint look = ui.visWorld.lookAt;
  ui.handTargetAngle = 2;
  for (int i = 0; i < 10; ++i) ui.Update(0.5);
  EXPECT_EQ(ui.world.gameClock.current, 0.0);
  EXPECT_EQ(ui.world.score, 0.0);
  EXPECT_EQ(blob.transitionTimer.current, 0.0);
  EXPECT_EQ(ui.world.flowerSpawnTimer.current, 0.0);
  EXPECT_EQ(ui.visWorld.lookAt.x, look.x);
  EXPECT_EQ(ui.visWorld.lookAt.y, look.y);
  EXPECT_EQ(ui.handAngle, 0.0);

  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.titleShown);
  EXPECT_TRUE(ui.visWorld.blobsVisible);
  EXPECT_FALSE(ui.holding);
  EXPECT_TRUE(blob.autonomous);
  ui.SpecialKey(SK_UP, false);
  ui.Update(0.5);
  EXPECT_EQ(ui.world.gameClock.current, 0.5);
}

// --- Aiming and the sling ------------------------------------------------------------------

TEST_F(ScreenTest, TheHandPointsAtABlobWithinTwoRadiiOnly) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 5);
  const ScreenPoint centre = ProjectUnit(blob);
  PointAt(centre.x, centre.y);
  ASSERT_TRUE(ui.hasTarget);
  EXPECT_EQ(ui.target, &blob);
  const double r = TargetRadius();
  EXPECT_NEAR(r, Focal() * 0.35 / ui.targetDistance, 0);
  // Just right of the centre: the hand turns a quarter left to point at the blob.
  PointAt(centre.x + 1.5 * r / ui.aspect, centre.y);
  EXPECT_TRUE(ui.hasTarget);
  EXPECT_NEAR(ui.handTargetAngle, TWO_PI / 4, 1e-9);
  // Below it the hand points straight up; above it, straight down.
  PointAt(centre.x, centre.y - 1.5 * r);
  EXPECT_NEAR(ui.handTargetAngle, 0, 1e-9);
  PointAt(centre.x, centre.y + 1.5 * r);
  EXPECT_NEAR(ui.handTargetAngle, TWO_PI / 2, 1e-9);
  PointAt(centre.x, centre.y - 2.1 * r);
  EXPECT_FALSE(ui.hasTarget);
  EXPECT_EQ(ui.handTargetAngle, 0.0);
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.holding);
  EXPECT_TRUE(blob.autonomous);
}

TEST_F(ScreenTest, ThePushIsAsLongAsThePullInRadiiUpToTheThrowRange) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 5);
  // Willingness 6/11 gives a throw range of 2.
  blob.behaviour->happiness = 1.2 / 2.2;
  EXPECT_NEAR(blob.ThrowRange(), 2.0, 1e-12);
  Grab(blob);
  ASSERT_TRUE(ui.holding);
  EXPECT_FALSE(blob.autonomous);
  EXPECT_EQ(ui.grabPosition.x, 4.0);
  EXPECT_EQ(ui.grabPosition.y, 5.0);

  Pull(3, 0.3);
  EXPECT_NEAR(ui.pullRatio, 3, 1e-9);
  EXPECT_EQ(ui.pushDistance, blob.ThrowRange());
  // Past one radius the hand reaches the blob's near edge.
  EXPECT_NEAR(ui.flickLength, 2.5 * TargetRadius(), 1e-12);
  Pull(1.5, -2.0);
  EXPECT_NEAR(ui.pullRatio, 1.5, 1e-9);
  EXPECT_NEAR(ui.pushDistance, 1.5, 1e-9);
  // Within one radius it reaches half-way to the centre.
  Pull(0.5, 1.0);
  EXPECT_NEAR(ui.flickLength, 0.25 * TargetRadius(), 1e-12);
}

// The push direction is the ground direction that looks, on screen, like the pull.
TEST_F(ScreenTest, ThePushDirectionLooksOnScreenLikeThePull) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(3, 6);
  Grab(blob);
  for (double angle : {0.0, 0.5, 2.0, -1.2, 3.0}) {
    Pull(1.5, angle);
    const RenderVertex p = blob.DisplayPosition();
    const double step = 0.01;
    const ScreenPoint along =
        Project(p.x + step * std::cos(ui.pushAngle), p.y + step * std::sin(ui.pushAngle), p.z);
    const double seen =
        std::atan2(along.y - ui.targetScreenY, (along.x - ui.targetScreenX) * ui.aspect);
    EXPECT_NEAR(std::remainder(seen - angle, TWO_PI), 0, 1e-9) << angle;
  }
}

TEST_F(ScreenTest, ABlobPulledDownTheScreenFliesUpTheScreen) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4.5, 4);
  const ScreenPoint before = ProjectUnit(blob);
  Grab(blob);
  Pull(1.8, -TWO_PI / 4);
  ui.Update(0.01);
  ASSERT_TRUE(ui.targetValid);
  // The marker sits at the landing spot, up the screen.
  ui.Draw();
  EXPECT_TRUE(ui.visWorld.aimVisible);
  EXPECT_EQ(ui.visWorld.aimDistance, ui.pushDistance);
  EXPECT_DOUBLE_EQ(ui.visWorld.aimAngle, TWO_PI / 2 + ui.pushAngle);
  EXPECT_EQ(ui.visWorld.aimOrigin.x, 4.5);
  EXPECT_TRUE(ui.visWorld.targetValid);
  const double markerX = 4.5 + ui.pushDistance * std::cos(ui.visWorld.aimAngle);
  const double markerY = 4 + ui.pushDistance * std::sin(ui.visWorld.aimAngle);
  const ScreenPoint marker = Project(markerX, markerY, 0.35);
  EXPECT_GT(marker.y, before.y + 0.05);
  EXPECT_NEAR(marker.x, before.x, 1e-9);

  ui.MouseButton(MB_LEFT, false);
  EXPECT_TRUE(ui.throwing);
  for (int i = 0; i < 3; ++i) ui.Update(0.05);
  EXPECT_FALSE(ui.throwing);
  EXPECT_TRUE(blob.autonomous);
  const ScreenPoint after = Project(blob.x, blob.y, 0.35);
  EXPECT_NEAR(blob.x, markerX, 1e-9);
  EXPECT_NEAR(blob.y, markerY, 1e-9);
  EXPECT_GT(after.y, before.y + 0.05);
}

// At 20 frames a second the 0.15 s flick takes three frames: the blob leaves on
// the second, the hand is free again after the third.
TEST_F(ScreenTest, TheFlickPushesOnItsSecondFrameAndEndsOnItsThird) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 4);
  Grab(blob);
  Pull(1.5, 1.0);
  const double reach = ui.flickLength;
  ui.MouseButton(MB_LEFT, false);
  ASSERT_TRUE(ui.throwing);
  EXPECT_FALSE(ui.holding);
  // Buttons are ignored during the flick; moving the pointer turns the hand but
  // keeps the throw.
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.holding);
  const double angle = ui.handTargetAngle;
  Pull(1.2, 2.0);
  EXPECT_EQ(ui.flickLength, reach);
  EXPECT_NE(ui.handTargetAngle, angle);

  ui.Update(0.05);
  EXPECT_NEAR(ui.throwProgress, 1.0 / 3, 1e-12);
  EXPECT_FALSE(ui.pushed);
  EXPECT_EQ(blob.state, UNIT_STANDING);
  EXPECT_FALSE(blob.autonomous);

  ui.Update(0.05);
  EXPECT_NEAR(ui.throwProgress, 2.0 / 3, 1e-12);
  EXPECT_TRUE(ui.pushed);
  EXPECT_EQ(blob.state, UNIT_HOPPING);
  EXPECT_TRUE(blob.autonomous);
  EXPECT_TRUE(ui.throwing);

  ui.Update(0.05);
  EXPECT_FALSE(ui.throwing);
  EXPECT_FALSE(ui.hasTarget);
}

// --- Releases, cancellation and gone targets -----------------------------------------------

TEST_F(ScreenTest, AReleaseOverABlockedSpotLeavesTheBlobStillUntilItIsThrown) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 4);
  // Miserable and frightened: left to itself it would hop often.
  blob.behaviour->happiness = 0;
  blob.behaviour->fear = 1;
  Grab(blob);
  Pull(1.5, -TWO_PI / 4);
  ui.Update(0.01);
  ASSERT_TRUE(ui.targetValid);
  const double landingX = 4 - ui.pushDistance * std::cos(ui.pushAngle);
  const double landingY = 4 - ui.pushDistance * std::sin(ui.pushAngle);
  AddBlob(landingX, landingY);
  ui.Update(0.01);
  EXPECT_FALSE(ui.targetValid);
  ui.Draw();
  EXPECT_FALSE(ui.visWorld.targetValid);

  ui.MouseButton(MB_LEFT, false);
  EXPECT_FALSE(ui.holding);
  EXPECT_FALSE(ui.throwing);
  EXPECT_FALSE(blob.autonomous);
  blob.transitionTimer = {0, 0.5, true};
  for (int i = 0; i < 100; ++i) ui.Update(0.05);
  EXPECT_EQ(blob.x, 4.0);
  EXPECT_EQ(blob.y, 4.0);
  EXPECT_FALSE(blob.autonomous);

  // A later grab and throw works as usual.
  blob.state = UNIT_STANDING;
  Grab(blob);
  ASSERT_TRUE(ui.holding);
  Pull(1.5, TWO_PI / 4);
  ui.Update(0.01);
  ASSERT_TRUE(ui.targetValid);
  ui.MouseButton(MB_LEFT, false);
  for (int i = 0; i < 3; ++i) ui.Update(0.05);
  EXPECT_TRUE(blob.autonomous);
  EXPECT_NE(blob.y, 4.0);
}

// A hold or a flick ends when its blob falls, is moved by something else, or the
// game ends; the blob goes back to its own devices.
TEST_F(ScreenTest, AHoldEndsWhenItsBlobFallsOrMovesOrTheGameEnds) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 4);
  CUnit& other = AddBlob(7, 7);
  Grab(blob);
  blob.x = 4.25;  // nudged by something else
  ui.Update(0.02);
  EXPECT_FALSE(ui.holding);
  EXPECT_TRUE(blob.autonomous);
  blob.x = 4;

  Grab(other);
  Pull(1.5, 0.4);
  ui.world.OpenHole(7, 7);
  ui.Update(0.02);
  EXPECT_FALSE(ui.holding);
  EXPECT_TRUE(other.autonomous);
  ui.Draw();
  EXPECT_FALSE(ui.visWorld.aimVisible);

  Grab(blob);
  Pull(1.5, 0.4);
  ui.MouseButton(MB_LEFT, false);
  ui.Update(0.05);
  ASSERT_TRUE(ui.throwing);
  ui.world.OpenHole(4, 4);
  ui.Update(0.05);
  EXPECT_FALSE(ui.throwing);
  EXPECT_FALSE(ui.pushed);
  EXPECT_EQ(blob.state, UNIT_FALLING);

  CUnit& last = AddBlob(2, 2);
  Grab(last);
  ASSERT_TRUE(ui.holding);
  ui.world.EndGame();
  ui.Update(0.02);
  EXPECT_FALSE(ui.holding);
  EXPECT_TRUE(last.autonomous);
}

// A blob under a still pointer falls and is removed: the screen must neither grab
// it nor push it nor hand its hold check a unit that no longer exists.
TEST_F(ScreenTest, ATargetRemovedWhileHoveredCountsAsGone) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 4);
  CUnit& survivor = AddBlob(8, 2);
  PointAt(blob);
  ASSERT_TRUE(ui.hasTarget);
  ASSERT_EQ(ui.target, &blob);
  ui.world.OpenHole(4, 4);
  // The fall lasts a second; the unit leaves the list on the next step after it.
  for (int i = 0; i < 12; ++i) ui.Update(0.1);
  ASSERT_EQ(ui.world.units.size(), 1u);
  EXPECT_EQ(&ui.world.units.front(), &survivor);
  EXPECT_EQ(ui.LiveTarget(), nullptr);
  EXPECT_FALSE(ui.hasTarget);
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.holding);
  ui.MouseButton(MB_LEFT, false);
  EXPECT_FALSE(ui.throwing);
  ui.Update(0.1);
  EXPECT_TRUE(survivor.autonomous);
}

TEST_F(ScreenTest, APressOnAGoneTargetGrabsNothingEvenBeforeTheNextFrame) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 4);
  PointAt(blob);
  ASSERT_TRUE(ui.hasTarget);
  // Removed behind the screen's back, between two frames.
  ui.world.units.clear();
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.holding);
  EXPECT_FALSE(ui.hasTarget);
  EXPECT_EQ(ui.target, nullptr);
}

// Panned to the board's near edge and orbited low over the board, the camera
// has blobs behind it; they must never be aimed at.
TEST_F(ScreenTest, ABlobBehindTheCameraIsNeverAimedAt) {
  DismissTitle();
  BareBoard();
  CUnit& behind = AddBlob(4.5, 9);
  ui.PanView(3, 10);  // all the way back
  ui.visWorld.lookAt = {4.5, 0};
  ui.MouseButton(MB_RIGHT, true);
  ui.visWorld.dragStartYaw = TWO_PI / 4;  // look from the far side, toward -y
  ui.MouseMove(0.5, 0.9);                 // and dip the camera as low as it goes
  ui.MouseButton(MB_RIGHT, false);
  ASSERT_LT(ui.viewEye[1], 9.0);
  ASSERT_GT(ui.viewEye[1], 7.0);
  // Behind the eye plane.
  const double w[3] = {4.5 - ui.viewEye[0], 9 - ui.viewEye[1], 0.35 - ui.viewEye[2]};
  ASSERT_LT(w[0] * ui.screenBasisInverse[0] + w[1] * ui.screenBasisInverse[1] +
                w[2] * ui.screenBasisInverse[2],
            0);
  for (double x = 0.01; x < 1; x += 0.02) {
    for (double y = 0.01; y < 1; y += 0.02) {
      ui.MouseMove(x, y);
      ASSERT_FALSE(ui.hasTarget) << x << " " << y;
    }
  }
  // A blob in front of it is aimed at as usual.
  CUnit& ahead = AddBlob(4.5, 3);
  PointAt(ahead);
  EXPECT_TRUE(ui.hasTarget);
  EXPECT_EQ(ui.target, &ahead);
  (void)behind;
}

// --- The hand --------------------------------------------------------------------------------

TEST_F(ScreenTest, TheHandTurnsTheShortWayAtTwentyRadiansASecond) {
  DismissTitle();
  BareBoard();
  AddBlob(9, 9);  // a game with no blob left is over
  ui.handAngle = 0.1;
  ui.handTargetAngle = 6.2;
  // 0.005 s frames turn it 0.1 radians each: down through 0, not up through pi,
  // so the 0.183 radians take two frames instead of sixty-one.
  ui.Update(0.005);
  EXPECT_NEAR(ui.handAngle, 0.0, 1e-12);
  ui.Update(0.005);
  EXPECT_EQ(ui.handAngle, 6.2);
  ui.Update(0.005);
  EXPECT_EQ(ui.handAngle, 6.2);

  // And back up through 2 pi the other way, wrapping to stay within 0 .. 2 pi.
  ui.handTargetAngle = 0.3;
  ui.Update(0.005);
  EXPECT_NEAR(ui.handAngle, 6.3 - TWO_PI, 1e-12);
  ui.Update(0.005);
  EXPECT_NEAR(ui.handAngle, 6.4 - TWO_PI, 1e-12);

  // A goal below zero is kept as its turn-equivalent in 0 .. 2 pi.
  ui.handAngle = 1;
  ui.handTargetAngle = -0.5;
  ui.Update(0.005);
  EXPECT_DOUBLE_EQ(ui.handTargetAngle, TWO_PI - 0.5);
  EXPECT_NEAR(ui.handAngle, 0.9, 1e-12);
}

// --- The end and the next game ---------------------------------------------------------------

TEST_F(ScreenTest, ARestartWaitsThreeQuartersOfASecondAndSkipsTheNextFrame) {
  DismissTitle();
  ui.world.EndGame();
  ui.Update(0.25);
  ui.Update(0.25);
  EXPECT_EQ(ui.endTime, 0.5);
  const CUnit* first = &ui.world.units.front();
  ui.MouseButton(MB_LEFT, true);
  ui.MouseButton(MB_LEFT, false);
  EXPECT_FALSE(ui.world.IsRunning());
  EXPECT_EQ(&ui.world.units.front(), first);

  ui.Update(0.25);
  EXPECT_EQ(ui.endTime, 0.75);
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.world.IsRunning());  // the release restarts, not the press
  ui.MouseButton(MB_LEFT, false);
  EXPECT_TRUE(ui.world.IsRunning());
  EXPECT_EQ(ui.world.units.size(), 15u);
  EXPECT_EQ(ui.endTime, 0.0);
  EXPECT_FALSE(ui.titleShown);
  EXPECT_EQ(ui.world.gameClock.current, 0.0);
  EXPECT_EQ(ui.target, nullptr);

  ui.Update(0.2);
  EXPECT_EQ(ui.world.gameClock.current, 0.0);
  EXPECT_FALSE(ui.skipNextUpdate);
  ui.Update(0.2);
  EXPECT_EQ(ui.world.gameClock.current, 0.2);
}

TEST_F(ScreenTest, AfterTheEndThePointerNoLongerAimsAndTheHandTurnsHome) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4, 4);
  PointAt(blob);
  ASSERT_TRUE(ui.hasTarget);
  ui.world.EndGame();
  ui.Update(0.01);
  EXPECT_FALSE(ui.hasTarget);
  EXPECT_EQ(ui.handTargetAngle, 0.0);
  PointAt(blob);
  EXPECT_FALSE(ui.hasTarget);
  ui.MouseButton(MB_LEFT, true);
  EXPECT_FALSE(ui.holding);
}

}  // namespace
