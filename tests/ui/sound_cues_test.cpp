// Which moments of play make which sounds: the real game screen with a recording
// sound sink.
#include "ui/sound_cues.h"

#include "base/random.h"
#include "tests/audio/recording_sound_sink.h"
#include "tests/ui/screen_fixture.h"

namespace {
using screentest::ScreenTest;

class SoundCuesTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    ui.sound.Attach(sink);
  }
  void Frames(int count, double dt) {
    for (int i = 0; i < count; ++i) ui.Update(dt);
  }
  const CRecordingSoundSink::Played& Last(SoundId sound) const {
    for (auto p = sink->played.rbegin(); p != sink->played.rend(); ++p) {
      if (p->sound == sound) return *p;
    }
    static CRecordingSoundSink::Played none{};
    ADD_FAILURE() << "sound " << sound << " never played";
    return none;
  }
  std::shared_ptr<CRecordingSoundSink> sink = std::make_shared<CRecordingSoundSink>();
};

TEST_F(SoundCuesTest, GrabPullFlickAndLandingEachSoundOnceWhereTheBlobIs) {
  DismissTitle();
  EXPECT_EQ(sink->Count(SOUND_CLICK), 1);
  BareBoard();
  CUnit& blob = AddBlob(4.5, 4.5);
  Frames(2, 0.02);
  EXPECT_EQ(sink->played.size(), 2u) << "a still board is quiet: the click and the fire's loop";

  Grab(blob);
  EXPECT_EQ(sink->Count(SOUND_GRAB), 1);
  EXPECT_TRUE(Last(SOUND_GRAB).place.onBoard);
  EXPECT_DOUBLE_EQ(Last(SOUND_GRAB).place.x, 4.5);
  Pull(1.2, -PI / 2);
  Frames(10, 0.02);
  const double slackPitch = sink->steered.back().pitch;
  Pull(3, -PI / 2);
  Frames(10, 0.02);
  // One hum for the whole hold, bent upward by the stronger pull.
  EXPECT_EQ(sink->Count(SOUND_STRETCH), 1);
  EXPECT_TRUE(Last(SOUND_STRETCH).loop);
  EXPECT_GT(sink->steered.back().pitch, slackPitch);

  ui.MouseButton(MB_LEFT, false);
  EXPECT_EQ(sink->Count(SOUND_WHOOSH), 1);
  Frames(60, 0.05);
  EXPECT_EQ(sink->stopped.size(), 1u) << "the hum stops with the hold";
  ASSERT_EQ(sink->Count(SOUND_PLOP), 1);
  EXPECT_NEAR(Last(SOUND_PLOP).place.x, blob.x, 1e-9);
  EXPECT_NEAR(Last(SOUND_PLOP).place.y, blob.y, 1e-9);
  EXPECT_NE(blob.y, 4.5) << "the blob flew";
}

TEST_F(SoundCuesTest, ACrackOpensUnderABlobThatFallsAndTheLastLossEndsTheGameSadly) {
  DismissTitle();
  BareBoard();
  CUnit& blob = AddBlob(2, 2);
  Frames(2, 0.02);
  // One board change this early cracks one cell, anywhere; the blob waits on it.
  ui.world.boardChangeTimer = {0, 0.01, true};
  ui.world.boardChangeLimit = 1;
  Frames(1, 0.02);
  ASSERT_EQ(ui.world.pendingHoles.size(), 1u);
  const int column = ui.world.pendingHoles.front().column;
  const int row = ui.world.pendingHoles.front().row;
  EXPECT_DOUBLE_EQ(Last(SOUND_CRUMBLE).place.x, column);
  EXPECT_DOUBLE_EQ(Last(SOUND_CRUMBLE).place.y, row);
  blob.x = column;
  blob.y = row;
  Frames(140, 0.05);
  for (SoundId once : {SOUND_CRUMBLE, SOUND_FLAME, SOUND_WHISTLE, SOUND_SIZZLE, SOUND_JINGLE_SAD}) {
    EXPECT_EQ(sink->Count(once), 1) << "sound " << once;
  }
  EXPECT_EQ(sink->Count(SOUND_JINGLE_BRIGHT), 0);
  EXPECT_DOUBLE_EQ(Last(SOUND_FLAME).place.x, column);
  // The fire under the board has grown with the open hole.
  EXPECT_EQ(sink->steered.back().sound, SOUND_CRACKLE);
  EXPECT_GT(sink->steered.back().gain, 0);
}

TEST_F(SoundCuesTest, TheLastTenSecondsTickOnceEachAndSavedBlobsEndBrightly) {
  DismissTitle();
  BareBoard();
  AddBlob(4, 4);
  Frames(1, 0.01);
  ui.world.gameClock.current = 79.95;
  Frames(130, 0.1);
  EXPECT_EQ(sink->Count(SOUND_TICK), 10);
  EXPECT_EQ(sink->Count(SOUND_JINGLE_BRIGHT), 1);
  EXPECT_EQ(sink->Count(SOUND_JINGLE_SAD), 0);
}

// Opening a sound device must not hold up the first frame, nor wait for the
// first sound of play: it happens in the first update after a frame is drawn.
TEST_F(SoundCuesTest, TheSinkIsPreparedOnceAfterTheFirstFrame) {
  Frames(2, 0.02);
  EXPECT_EQ(sink->prepared, 0);
  ui.Draw();
  EXPECT_EQ(sink->prepared, 0);
  Frames(1, 0.02);
  EXPECT_EQ(sink->prepared, 1);
  ui.Draw();
  Frames(3, 0.02);
  EXPECT_EQ(sink->prepared, 1);
}

TEST_F(SoundCuesTest, MKeyMutesAndUnmutes) {
  ui.Key('m', true);
  EXPECT_TRUE(sink->muted);
  ui.Key('M', true);
  EXPECT_FALSE(sink->muted);
}

// Sound draws nothing from the game's generator: a seed plays the same game
// whether it is heard or not.
TEST(SoundCues, ASeedPlaysTheSameGameHeardOrNot) {
  double scores[2];
  int nextDraws[2];
  for (int heard = 0; heard < 2; ++heard) {
    SeedRandom(1234);
    CWorld world;
    world.Reset(10, 10);
    CSoundCues cues;
    cues.Attach(std::make_shared<CRecordingSoundSink>());
    for (int frame = 0; frame < 3000; ++frame) {
      world.Advance(0.03);
      if (heard) cues.Watch(world);
    }
    scores[heard] = world.score;
    nextDraws[heard] = Rand();
  }
  EXPECT_EQ(scores[0], scores[1]);
  EXPECT_EQ(nextDraws[0], nextDraws[1]);
}
}  // namespace
