// The simulator's hand: grabs, holds, flicks and cancels as the game screen does.

#include "tools/sim/player_hand.h"

#include <gtest/gtest.h>

#include "game/world.h"
#include "tests/game/test_world.h"

namespace {

using testworld::AddUnit;
using testworld::MakeBoard;
using testworld::SetHole;

// A running game on a bare 10 x 10 board with one blob at (3, 5), its timer stopped.
struct HandWorld {
  HandWorld() {
    MakeBoard(world, 10, 10);
    world.gameClock = {0, 90.0, true};
    blob = &AddUnit(world, 3, 5);
  }
  CWorld world;
  CUnit* blob = nullptr;
  CPlayerHand hand;
};

TEST(PlayerHand, APressGrabsOnlyAGrabbableBlobOfARunningGame) {
  HandWorld w;
  CUnit stranger(&w.world);  // not one of the world's blobs
  EXPECT_FALSE(w.hand.Press(w.world, &stranger, 0, 1));
  EXPECT_FALSE(w.hand.Press(w.world, nullptr, 0, 1));

  w.blob->state = UNIT_HOPPING;
  EXPECT_FALSE(w.hand.Press(w.world, w.blob, 0, 1));
  EXPECT_TRUE(w.blob->autonomous);

  w.blob->state = UNIT_STANDING;
  w.world.gameClock.active = false;
  EXPECT_FALSE(w.hand.Press(w.world, w.blob, 0, 1));

  w.world.gameClock.active = true;
  ASSERT_TRUE(w.hand.Press(w.world, w.blob, 0, 1));
  EXPECT_FALSE(w.blob->autonomous);  // a held blob does not hop on its own
  EXPECT_TRUE(w.hand.Busy());
  EXPECT_FALSE(w.hand.Press(w.world, w.blob, 0, 1)) << "one blob at a time";
}

TEST(PlayerHand, ThePullIsLimitedByTheThrowRangeAndSendsTheBlobTheOtherWay) {
  HandWorld w;
  w.blob->behaviour->happiness = 0.5;                  // throw range 0.5 * 2.2 + 0.8 = 1.9
  ASSERT_TRUE(w.hand.Press(w.world, w.blob, 0, 3.0));  // pulled toward +x
  EXPECT_DOUBLE_EQ(w.hand.Landing().x, 3 - 1.9);
  EXPECT_DOUBLE_EQ(w.hand.Landing().y, 5);
  w.hand.Drag(w.world, PI / 2, 1.5);  // now toward +y, within range
  EXPECT_DOUBLE_EQ(w.hand.Landing().x, 3);
  EXPECT_DOUBLE_EQ(w.hand.Landing().y, 5 - 1.5);
}

TEST(PlayerHand, TheFlickPushesOnItsSecondFrameAndEndsOnItsThird) {
  HandWorld w;
  ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 2.0));  // pulled toward -x: flies to +x
  EXPECT_TRUE(w.hand.TargetValid());
  w.hand.Release();
  ASSERT_TRUE(w.hand.Busy());

  w.world.Advance(0.05);
  w.hand.Update(w.world, 0.05);  // progress 1/3
  EXPECT_EQ(w.blob->state, UNIT_STANDING);
  EXPECT_FALSE(w.blob->autonomous);
  EXPECT_EQ(w.hand.Pushes(), 0);

  w.world.Advance(0.05);
  w.hand.Update(w.world, 0.05);  // 2/3: the push
  EXPECT_EQ(w.blob->state, UNIT_HOPPING);
  EXPECT_DOUBLE_EQ(w.blob->x, 5);
  EXPECT_NEAR(w.blob->y, 5, 1e-12);
  EXPECT_TRUE(w.blob->autonomous);
  EXPECT_EQ(w.hand.Pushes(), 1);
  EXPECT_TRUE(w.hand.Busy());

  w.world.Advance(0.05);
  w.hand.Update(w.world, 0.05);  // 1: the hand is free again, the blob is not pushed twice
  EXPECT_FALSE(w.hand.Busy());
  EXPECT_EQ(w.hand.Pushes(), 1);
}

TEST(PlayerHand, ALongFrameFlicksAndPushesAtOnce) {
  HandWorld w;
  ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 1.0));
  w.hand.Release();
  w.world.Advance(0.5);
  w.hand.Update(w.world, 0.5);
  EXPECT_EQ(w.hand.Pushes(), 1);
  EXPECT_FALSE(w.hand.Busy());
}

TEST(PlayerHand, AReleaseOverABlockedSpotOnlyLetsGo) {
  HandWorld w;
  AddUnit(w.world, 5, 5);  // sits where the blob would land
  ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 2.0));
  EXPECT_FALSE(w.hand.TargetValid());
  w.hand.Release();
  EXPECT_FALSE(w.hand.Busy());
  w.world.Advance(0.5);
  w.hand.Update(w.world, 0.5);
  EXPECT_EQ(w.blob->state, UNIT_STANDING);
  EXPECT_EQ(w.hand.Pushes(), 0);
  EXPECT_FALSE(w.blob->autonomous) << "let go, it stays put until thrown";
}

TEST(PlayerHand, TheLandingSpotIsCheckedAgainEveryFrameOfAHold) {
  HandWorld w;
  ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 2.0));
  ASSERT_TRUE(w.hand.TargetValid());
  CUnit& other = AddUnit(w.world, 5, 5);
  w.hand.Update(w.world, 0.01);
  EXPECT_FALSE(w.hand.TargetValid());
  other.x = 8;
  w.hand.Update(w.world, 0.01);
  EXPECT_TRUE(w.hand.TargetValid());
}

TEST(PlayerHand, AHoldEndsWhenTheBlobMovesFallsOrTheGameEnds) {
  {
    HandWorld w;
    ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 2.0));
    w.blob->x = 3.5;  // it moved under the hand
    w.hand.Update(w.world, 0.01);
    EXPECT_FALSE(w.hand.Busy());
    EXPECT_TRUE(w.blob->autonomous) << "a cancelled hold gives the blob its will back";
  }
  {
    HandWorld w;
    ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 2.0));
    w.hand.Release();
    SetHole(w.world, 3, 5);
    w.blob->Fall();  // before the push: the flick is called off
    w.hand.Update(w.world, 0.1);
    EXPECT_FALSE(w.hand.Busy());
    EXPECT_EQ(w.hand.Pushes(), 0);
  }
  {
    HandWorld w;
    ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 2.0));
    w.world.EndGame();
    w.hand.Update(w.world, 0.01);
    EXPECT_FALSE(w.hand.Busy());
    EXPECT_TRUE(w.blob->autonomous);
  }
}

TEST(PlayerHand, ABlobThatLeftTheWorldIsNeverTouched) {
  HandWorld w;
  ASSERT_TRUE(w.hand.Press(w.world, w.blob, PI, 2.0));
  w.hand.Release();
  w.world.units.clear();        // the blob is gone, as after its fall
  w.hand.Update(w.world, 0.1);  // under the address sanitizer this would catch a stale read
  EXPECT_FALSE(w.hand.Busy());
  EXPECT_EQ(w.hand.Pushes(), 0);
}

}  // namespace
