// The game screen: the flick frame by frame, the pause, and the best score of a
// sitting. The real screen in an offscreen context, with a recording sound sink where
// sound matters.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/random.h"
#include "tests/audio/recording_sound_sink.h"
#include "tests/ui/screen_fixture.h"
#include "tools/sim/simulator.h"

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

constexpr int ESCAPE = 27;
constexpr double FRAME = 1.0 / 60;

class PausingScreen : public screentest::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    ui.sound.Attach(sink);
  }
  void Frames(int count, double dt = FRAME) {
    for (int i = 0; i < count; ++i) ui.Update(dt);
  }
  void Press(int key) {
    ui.Key(key, true);
    ui.Key(key, false);
  }
  // Every field of the world, written as the simulator's trace writes it.
  std::string WorldState() const {
    char* text = nullptr;
    size_t size = 0;
    std::FILE* file = open_memstream(&text, &size);
    WriteTraceLine(file, 0, ui.world);
    std::fclose(file);
    std::string state(text, size);
    std::free(text);
    return state;
  }
  // Ends the game with this score (no blob is left, so it ends at the next step
  // and scores nothing more), then clicks the next one in once a click counts.
  void EndGameAndStartNext(double score) {
    BareBoard();
    ui.world.score = score;
    Frames(2);
    ASSERT_FALSE(ui.world.IsRunning());
    Frames(1, 1.0);
    ui.Draw();
    ui.MouseButton(MB_LEFT, true);
    ui.MouseButton(MB_LEFT, false);
    ASSERT_TRUE(ui.world.IsRunning());
  }
  std::shared_ptr<CRecordingSoundSink> sink = std::make_shared<CRecordingSoundSink>();
};

// Ten minutes paused by a hidden window, with a blob in the middle of its flick:
// shown again the game waits, and once resumed it goes on from where it stood, to
// the same world as a game never paused, fire and random draws included.
TEST_F(PausingScreen, ALongPauseLeavesTheGameAsIfItNeverPaused) {
  std::string states[2];
  int nextDraws[2];
  DismissTitle();
  for (int pausing = 0; pausing < 2; ++pausing) {
    SeedRandom(4242);
    ui.world.Reset(10, 10);
    ui.visWorld.Reset();
    Frames(120);
    CUnit* blob = nullptr;
    for (CUnit& unit : ui.world.units) {
      if (!blob && unit.IsGrabbable()) blob = &unit;
    }
    ASSERT_NE(blob, nullptr);
    Grab(*blob);
    Pull(1.5, -PI / 2);
    Frames(2);
    ui.MouseButton(MB_LEFT, false);
    ASSERT_TRUE(ui.hold.Throwing());
    Frames(1);
    if (pausing) {
      ui.Visibility(false);
      ASSERT_TRUE(ui.paused);
      EXPECT_TRUE(sink->paused);
      const std::string still = WorldState();
      const double flick = ui.hold.Progress();
      const size_t sparks = ui.visWorld.particles.Live().size();
      const size_t sounds = sink->played.size();
      Frames(300, 1.0);
      ui.Visibility(true);
      Frames(300, 1.0);
      EXPECT_TRUE(ui.paused) << "shown again, the game waits";
      EXPECT_EQ(WorldState(), still);
      EXPECT_EQ(ui.hold.Progress(), flick);
      EXPECT_EQ(ui.visWorld.particles.Live().size(), sparks);
      EXPECT_EQ(sink->played.size(), sounds) << "nothing plays while paused";
      Press(ESCAPE);
      EXPECT_FALSE(ui.paused);
      EXPECT_FALSE(sink->paused);
    }
    Frames(600);
    states[pausing] = WorldState();
    nextDraws[pausing] = Rand();
  }
  EXPECT_EQ(states[0], states[1]);
  EXPECT_EQ(nextDraws[0], nextDraws[1]);
}

TEST_F(PausingScreen, OnlyARunningGamePausesAndAClickOnThePauseOnlyResumes) {
  Press('p');
  ui.Visibility(false);
  EXPECT_FALSE(ui.paused) << "the title does not pause";
  DismissTitle();
  BareBoard();
  CUnit& blob = screentest::AddBlob(ui.world, 4.5, 4.5);
  Press('P');
  EXPECT_TRUE(ui.paused);
  Press('p');
  EXPECT_FALSE(ui.paused);
  Press(ESCAPE);
  ASSERT_TRUE(ui.paused);
  Grab(blob);
  EXPECT_FALSE(ui.paused);
  EXPECT_FALSE(ui.hold.Holding()) << "the click that resumes grabs nothing";
  ui.MouseButton(MB_LEFT, false);
  Frames(1);
  Grab(blob);
  EXPECT_TRUE(ui.hold.Holding()) << "the next click plays";
  ui.MouseButton(MB_LEFT, false);

  ui.world.units.clear();
  Frames(2);
  ASSERT_FALSE(ui.world.IsRunning());
  Press('p');
  ui.Visibility(false);
  EXPECT_FALSE(ui.paused) << "the end display does not pause";
}

// Kept from game to game in memory only: the working folder stays empty.
TEST_F(PausingScreen, TheBestScoreOfTheSittingCarriesToTheNextGames) {
  DismissTitle();
  // The first game has nothing to beat; a tie is no new best.
  const struct {
    double score;
    long best;
    bool newBest;
  } games[] = {{700.4, 700, false}, {300, 700, false}, {1200.6, 1201, true}, {1200.7, 1201, false}};
  for (const auto& game : games) {
    EndGameAndStartNext(game.score);
    EXPECT_EQ(ui.bestScore, game.best) << game.score;
    EXPECT_EQ(ui.newBest, game.newBest) << game.score;
  }
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path()));
}

}  // namespace
