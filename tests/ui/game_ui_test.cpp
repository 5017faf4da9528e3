// The game screen's flick, frame by frame: the hand's 0.15 s stroke sends the blob off
// half-way through, when the hand reaches farthest, and not a frame sooner or later.
#include "tests/ui/screen_fixture.h"

namespace {

using GameScreenFlick = screentest::ScreenTest;

TEST_F(GameScreenFlick, AFlickPushesItsBlobInTheFrameThatPassesItsMiddle) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(4.5, 4);
  const double dt = 1.0 / 60;
  Grab(blob);
  Pull(2, -PI / 2);
  ui.Update(dt);
  ui.MouseButton(MB_LEFT, false);
  ASSERT_TRUE(ui.hold.Throwing());
  // 0.075 s in: at 60 frames a second, in the fifth frame of the stroke.
  for (int frame = 1; frame < 5; ++frame) {
    ui.Update(dt);
    ASSERT_EQ(blob.state, UNIT_STANDING) << "pushed in frame " << frame;
    EXPECT_FALSE(blob.autonomous) << "the hand still has it";
  }
  ui.Update(dt);
  EXPECT_EQ(blob.state, UNIT_HOPPING) << "not pushed in the fifth frame";
  EXPECT_TRUE(blob.autonomous) << "a thrown blob is its own again";
  for (int frame = 6; frame <= 10; ++frame) ui.Update(dt);
  EXPECT_FALSE(ui.hold.Busy()) << "the stroke outlasted 0.15 s";
}

}  // namespace
