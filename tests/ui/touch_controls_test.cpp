// Fingers on the game screen: the flick by one finger, the view by one or two, a
// stray finger during a grab, and the taps that pause, resume and start.
#include "tests/ui/screen_fixture.h"

namespace {

class TouchScreen : public screentest::ScreenTest {
 protected:
  // A finger at a point in screen coordinates (-1 to 1).
  void Finger(int id, int phase, double sx, double sy) {
    ui.Touch(id, phase, sx / 2 + 0.5, sy / 2 + 0.5);
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) ui.Update(1.0 / 60);
  }
};

TEST_F(TouchScreen, OneFingerFlicksABlobAwayFromThePullAndASecondFingerChangesNothing) {
  Finger(1, TOUCH_DOWN, 0, 0);
  Finger(1, TOUCH_UP, 0, 0);
  ASSERT_FALSE(ui.titleShown) << "a tap starts the game";
  EXPECT_TRUE(ui.handAway) << "no finger, no hand";
  BareBoard();
  CUnit& blob = AddBlob(4.5, 4);
  double bx = 0;
  double by = 0;
  OnScreen(blob.DisplayPosition(), bx, by);
  Finger(1, TOUCH_DOWN, bx, by);
  ASSERT_TRUE(ui.hold.Holding());
  EXPECT_FALSE(ui.handAway);
  const double pull = screentest::Focal() * BLOB_RADIUS / ui.targetDistance * 2;
  Finger(1, TOUCH_MOVE, bx, by - pull);
  Frames(1);
  // A second finger lands, wanders and lifts: the blob stays held, aimed as before.
  const double angle = ui.hold.PushAngle();
  Finger(2, TOUCH_DOWN, 0.5, 0.5);
  Finger(2, TOUCH_MOVE, -0.5, 0.2);
  Frames(1);
  Finger(2, TOUCH_UP, -0.5, 0.2);
  EXPECT_TRUE(ui.hold.Holding());
  EXPECT_FALSE(ui.hold.Throwing());
  EXPECT_FALSE(ui.cameraDragging);
  EXPECT_EQ(ui.hold.PushAngle(), angle);

  Finger(1, TOUCH_UP, bx, by - pull);
  ASSERT_TRUE(ui.hold.Throwing());
  double lx = 0;
  double ly = 0;
  const BoardPoint landing = ui.hold.Landing();
  OnScreen(VertexAt(landing.x, landing.y, BLOB_RADIUS), lx, ly);
  EXPECT_GT(ly, by) << "pulled down the screen, the blob must fly up it";
  Frames(12);
  EXPECT_EQ(blob.state, UNIT_HOPPING);
  EXPECT_FALSE(ui.hold.Busy());
}

TEST_F(TouchScreen, OneFingerOnTheGroundTurnsTheViewAndTwoSlideIt) {
  DismissTitle();
  BareBoard();
  const double yaw = ui.visWorld.yaw;
  Finger(5, TOUCH_DOWN, 0, -0.5);
  ASSERT_TRUE(ui.cameraDragging) << "open ground under the finger";
  Finger(5, TOUCH_MOVE, 0.2, -0.5);
  EXPECT_NE(ui.visWorld.yaw, yaw);
  // The second finger makes it a slide: the stray turn is taken back.
  Finger(6, TOUCH_DOWN, 0.2, -0.2);
  EXPECT_FALSE(ui.cameraDragging);
  EXPECT_EQ(ui.visWorld.yaw, yaw);
  const BoardPoint before = ui.visWorld.lookAt;
  const double forward[2] = {ui.viewForward[0], ui.viewForward[1]};
  Finger(5, TOUCH_MOVE, 0.2, -0.3);
  Finger(6, TOUCH_MOVE, 0.2, 0);
  EXPECT_EQ(ui.visWorld.yaw, yaw);
  // The fingers went up the screen: the board follows them, the view goes back.
  const double moved[2] = {ui.visWorld.lookAt.x - before.x, ui.visWorld.lookAt.y - before.y};
  EXPECT_LT(moved[0] * forward[0] + moved[1] * forward[1], -0.05);
  // A finger left over turns nothing until every finger has lifted.
  Finger(5, TOUCH_UP, 0.2, -0.3);
  Finger(6, TOUCH_MOVE, 0.6, 0);
  EXPECT_FALSE(ui.cameraDragging);
  EXPECT_EQ(ui.visWorld.yaw, yaw);
  Finger(6, TOUCH_UP, 0.6, 0);
  EXPECT_EQ(ui.touch.Gesture(), GESTURE_NONE);
}

TEST_F(TouchScreen, TheCornerButtonPausesATapResumesAndNoneOfItGrabsATapAtTheEndPlaysOn) {
  DismissTitle();
  BareBoard();
  double x0 = 0;
  double x1 = 0;
  double y0 = 0;
  double y1 = 0;
  ui.PauseButtonBox(x0, x1, y0, y1);
  const double cx = (x0 + x1) / 2;
  const double cy = (y0 + y1) / 2;
  // Without a touch screen no button is shown, and the corner is open ground.
  Finger(1, TOUCH_DOWN, cx, cy);
  Finger(1, TOUCH_UP, cx, cy);
  EXPECT_FALSE(ui.paused);
  ui.touchScreen = true;
  CUnit& blob = AddBlob(4.5, 4);
  double bx = 0;
  double by = 0;
  OnScreen(blob.DisplayPosition(), bx, by);
  Finger(1, TOUCH_DOWN, cx, cy);
  ASSERT_TRUE(ui.paused);
  EXPECT_FALSE(ui.cameraDragging);
  Finger(1, TOUCH_MOVE, bx, by);
  Finger(1, TOUCH_UP, bx, by);
  EXPECT_TRUE(ui.paused);
  // A tap on the blob itself only resumes: its release throws nothing.
  Finger(2, TOUCH_DOWN, bx, by);
  EXPECT_FALSE(ui.paused);
  EXPECT_FALSE(ui.hold.Busy());
  Finger(2, TOUCH_UP, bx, by);
  EXPECT_FALSE(ui.hold.Busy());
  EXPECT_EQ(blob.state, UNIT_STANDING);
  // At the end a tap starts the next game, as a click does.
  ui.world.gameClock.active = false;
  ui.Update(1.0);
  Finger(3, TOUCH_DOWN, bx, by);
  Finger(3, TOUCH_UP, bx, by);
  EXPECT_TRUE(ui.world.IsRunning());
}

}  // namespace
