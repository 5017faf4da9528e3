// Thousands of seeded games played hard: the bot, or a player who does anything the game
// screen lets a player do, at random, with frames of any length from 0 to 0.5 s. The
// world's rules are checked after every frame. The sanitizer pass runs this too.

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <random>
#include <string>

#include "base/random.h"
#include "game/player_hold.h"
#include "game/world.h"
#include "tests/game/world_invariants.h"
#include "tools/sim/bot_player.h"
#include "tools/sim/simulator.h"

namespace {

constexpr int GAMES_PER_SHARD = 250;
constexpr int SHARDS = 8;  // 2000 games of the random player
// The bot weighs every throw, so a game of it takes ten times the random player's:
// 400 games of it, the first seeds of each shard.
constexpr int BOT_GAMES_PER_SHARD = 50;
constexpr double LONGEST_FRAME = 0.5;
// A little of the time after the end, when the world still moves but the game is over.
constexpr double PLAY_FOR = 95.0;

// The camera as the game screen holds it: its eye, and the rows that take a vector from
// the eye to (depth, screen x, screen y), with a 70 degree field of view.
struct View {
  double eye[3] = {0, 0, 0};
  double rows[9] = {0};
  double aspect = 4.0 / 3;
};

View MakeView(double lookX, double lookY, double yaw, double pitch, double aspect) {
  const double distance = 7.875;  // (10 + 0.5) * 0.75, as at the start of a game
  View view;
  view.aspect = aspect;
  const double d[3] = {-std::cos(pitch) * std::cos(yaw), -std::cos(pitch) * std::sin(yaw),
                       -std::sin(pitch)};
  view.eye[0] = lookX - d[0] * distance;
  view.eye[1] = lookY - d[1] * distance;
  view.eye[2] = BLOB_RADIUS - d[2] * distance;
  const double horizontal = std::sqrt(d[0] * d[0] + d[1] * d[1]);
  const double right[3] = {d[1] / horizontal, -d[0] / horizontal, 0};
  const double up[3] = {right[1] * d[2], -right[0] * d[2], right[0] * d[1] - right[1] * d[0]};
  const double focal = 1 / std::tan(PI * 0.19444444444444445);
  double columns[3][3];
  for (int i = 0; i < 3; ++i) {
    columns[0][i] = d[i] * focal;
    columns[1][i] = right[i] * aspect;
    columns[2][i] = up[i];
  }
  for (int row = 0; row < 3; ++row) {
    const double* c = columns[row];
    const double length2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    for (int i = 0; i < 3; ++i) view.rows[row * 3 + i] = c[i] / length2;
  }
  return view;
}

// A player who presses, drags, releases and moves the camera at random, but only as the
// game screen allows: grabs go through PickUnit under the pointer or straight at a blob
// of the world, pulls may go far beyond a blob's range, releases land anywhere, free or
// not, over holes as well as ground.
class RandomPlayer {
 public:
  explicit RandomPlayer(unsigned seed) : random(seed) {}

  void Act(CWorld& world) {
    if (Chance(0.05)) MoveCamera(world);
    if (!hold.Busy()) {
      if (Chance(0.3)) Grab(world);
    } else if (Chance(0.4)) {
      const double angle = Angle();
      const double pull = Pull();
      if (hold.Holding()) hold.Aim(*hold.Target(), angle, pull);
    }
    if (Chance(0.3)) hold.Release();
  }

  CPlayerHold hold;

 private:
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; }
  double Angle() { return std::uniform_real_distribution<double>(0, 2 * PI)(random); }
  double Pull() { return std::uniform_real_distribution<double>(0, 4)(random); }

  void MoveCamera(CWorld& world) {
    std::uniform_real_distribution<double> board(0, 9);
    const double yaw = Angle();
    const double pitch = std::uniform_real_distribution<double>(0.1, 1.5)(random);
    const double aspect = std::uniform_real_distribution<double>(0.01, 20)(random);
    view = MakeView(board(random), board(random), yaw, pitch, aspect);
    world.eyePoint.x = view.eye[0];
    world.eyePoint.y = view.eye[1];
    world.eyePoint.z = view.eye[2];
  }

  void Grab(CWorld& world) {
    CUnit* unit = nullptr;
    if (Chance(0.5)) {
      std::uniform_real_distribution<double> pointer(-1.2, 1.2);
      const PickResult pick =
          world.PickUnit(pointer(random), pointer(random), view.eye, view.rows, view.aspect, 70.0);
      if (pick.found) unit = pick.unit;
    } else if (!world.units.empty()) {
      auto it = world.units.begin();
      std::advance(it, std::uniform_int_distribution<size_t>(0, world.units.size() - 1)(random));
      unit = &*it;
    }
    if (!unit) return;
    const double angle = Angle();
    const double pull = Pull();
    hold.Aim(*unit, angle, pull);
    hold.Grab(world, unit);
  }

  std::mt19937 random;
  View view = MakeView(4.5, 3.0, PI * 1.55, 0.8722222222222222, 4.0 / 3);
};

// Frames of random length: mostly anything from 0 to 0.5 s, now and then exactly 0 or
// exactly the longest.
class FrameLengths {
 public:
  explicit FrameLengths(unsigned seed) : random(seed) {}
  double Next() {
    const int kind = std::uniform_int_distribution<int>(0, 19)(random);
    if (kind == 0) return 0;
    if (kind == 1) return LONGEST_FRAME;
    return std::uniform_real_distribution<double>(0, LONGEST_FRAME)(random);
  }

 private:
  std::mt19937 random;
};

// Plays one game with the given player acting between frames; stops at the first broken
// rule and reports it with the seed and frame.
template <class Player>
void PlayChecked(unsigned seed, Player&& act) {
  SeedRandom(seed);
  CWorld world;
  world.Reset(10, 10);
  PlaceStartEye(world);
  FrameLengths frames(seed);
  double played = 0;
  double lastScore = 0;
  bool wasRunning = true;
  size_t lastUnits = world.units.size();
  for (int frame = 1; played < PLAY_FOR; ++frame) {
    const double dt = frames.Next();
    try {
      world.Advance(dt);
    } catch (const char* message) {
      FAIL() << "seed " << seed << " frame " << frame << ": " << message;
    }
    act(world, dt);
    played += dt;
    const std::string problem = testworld::CheckInvariants(world);
    ASSERT_EQ(problem, "") << "seed " << seed << " frame " << frame;
    ASSERT_GE(world.score, lastScore) << "seed " << seed << " frame " << frame;
    ASSERT_TRUE(wasRunning || world.score == lastScore) << "score rose after the end";
    ASSERT_FALSE(!wasRunning && world.IsRunning()) << "the game started again";
    ASSERT_LE(world.units.size(), lastUnits) << "seed " << seed << " frame " << frame;
    ASSERT_LE(world.gameClock.current, 90.0);
    lastScore = world.score;
    wasRunning = world.IsRunning();
    lastUnits = world.units.size();
  }
  ASSERT_FALSE(world.IsRunning()) << "seed " << seed << ": 95 s and the game goes on";
}

class Soak : public ::testing::TestWithParam<int> {
 protected:
  unsigned FirstSeed() const { return 1000u + static_cast<unsigned>(GetParam()) * GAMES_PER_SHARD; }
};

TEST_P(Soak, TheBotPlays) {
  int throws = 0;
  for (unsigned seed = FirstSeed(); seed < FirstSeed() + BOT_GAMES_PER_SHARD; ++seed) {
    CBotPlayer bot;
    PlayChecked(seed, [&](CWorld& world, double dt) { bot.Update(world, dt); });
    if (HasFatalFailure()) return;
    throws += bot.Throws();
  }
  EXPECT_GT(throws, BOT_GAMES_PER_SHARD * 10) << "the bot hardly played";
}

TEST_P(Soak, ARandomPlayerPlays) {
  int pushes = 0;
  for (unsigned seed = FirstSeed(); seed < FirstSeed() + GAMES_PER_SHARD; ++seed) {
    RandomPlayer player(seed);
    PlayChecked(seed, [&](CWorld& world, double dt) {
      player.hold.Update(world, dt);
      player.Act(world);
    });
    if (HasFatalFailure()) return;
    pushes += player.hold.Pushes();
  }
  EXPECT_GT(pushes, GAMES_PER_SHARD * 10) << "the random player hardly threw anything";
}

INSTANTIATE_TEST_SUITE_P(Shards, Soak, ::testing::Range(0, SHARDS));

}  // namespace
