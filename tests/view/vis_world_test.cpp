#include "view/vis_world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "game/random.h"
#include "game/world.h"
#include "tests/render/png_writer.h"
#include "view/blob_context.h"

namespace {

// The visual world's tests need no images: they run in an empty folder, so every
// load finds nothing and no OpenGL is touched.
class VisWorldTest : public ::testing::Test {
 protected:
  // A board of ground cells with no blobs, flowers or cracks.
  void EmptyBoard(int w, int h) {
    world.Reset(w, h);
    world.units.clear();
    world.flowers.clear();
    world.pendingHoles.clear();
  }

  // How many values were drawn from the generator since SeedRandom(seed).
  static int DrawsSince(unsigned seed) {
    int next[3] = {Rand(), Rand(), Rand()};
    SeedRandom(seed);
    for (int drawn = 0; drawn < 1000000; ++drawn) {
      int a = Rand();
      if (a != next[0]) continue;
      SeedRandom(seed);
      for (int i = 0; i < drawn; ++i) Rand();
      int check[3] = {Rand(), Rand(), Rand()};
      if (check[0] == next[0] && check[1] == next[1] && check[2] == next[2]) return drawn;
      SeedRandom(seed);
      for (int i = 0; i <= drawn; ++i) Rand();
    }
    return -1;
  }

  CScratchWorkingFolder workingFolder;  // no images: loads fail quietly
  CWorld world;
  CVisWorld vis{&world};
};

TEST_F(VisWorldTest, ResetCentresTheCameraOnTheTenByTenBoard) {
  world.Reset(10, 10);
  vis.aimVisible = true;
  vis.fireClock = 3;
  vis.Reset();
  EXPECT_EQ(vis.lookAt.x, 4.5);
  EXPECT_EQ(vis.lookAt.y, 3.0);
  EXPECT_NEAR(vis.yaw, 4.8695, 1e-4);
  EXPECT_EQ(vis.pitch, 0.8722222222222222);
  EXPECT_NEAR(vis.eye.x, 5.2923, 1e-4);
  EXPECT_NEAR(vis.eye.y, -2.0023, 1e-4);
  EXPECT_NEAR(vis.eye.z, 6.3804, 1e-4);
  double dx = vis.eye.x - 4.5, dy = vis.eye.y - 3.0, dz = vis.eye.z - 0.35;
  EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 7.875, 1e-12);
  EXPECT_FALSE(vis.aimVisible);
  EXPECT_EQ(vis.fireClock, 0.0);
  EXPECT_EQ(blobContext.blobScale, 0.35);
  EXPECT_EQ(blobContext.blobImageSet, &vis.blobImages);
  // Both particle kinds, sharing the four fire images.
  const ParticleKind* fire = vis.particles.FindKind(0);
  const ParticleKind* smoke = vis.particles.FindKind(1);
  ASSERT_NE(fire, nullptr);
  ASSERT_NE(smoke, nullptr);
  EXPECT_EQ(fire->textures.size(), 4u);
  EXPECT_EQ(smoke->textures.size(), 5u);
}

TEST_F(VisWorldTest, TheViewRayRunsFromTheEyeToTheLookAtPoint) {
  world.Reset(10, 10);
  vis.Reset();
  double x, y, z, dx, dy, dz;
  vis.GetViewRay(x, y, z, dx, dy, dz);
  EXPECT_EQ(x, vis.eye.x);
  EXPECT_EQ(z, vis.eye.z);
  EXPECT_NEAR(dx * dx + dy * dy + dz * dz, 1.0, 1e-12);
  EXPECT_NEAR(x + 7.875 * dx, 4.5, 1e-9);
  EXPECT_NEAR(y + 7.875 * dy, 3.0, 1e-9);
  EXPECT_NEAR(z + 7.875 * dz, 0.35, 1e-9);
}

TEST_F(VisWorldTest, RotateTurnsFromTheDragStartAndClampsOnlyThePitch) {
  world.Reset(10, 10);
  vis.Reset();
  vis.dragStartYaw = 1.0;
  vis.dragStartPitch = 0.5;
  vis.Rotate(0.01, 0.02);
  EXPECT_DOUBLE_EQ(vis.yaw, 0.9);
  EXPECT_DOUBLE_EQ(vis.pitch, 0.3);
  vis.Rotate(-2, 5);
  EXPECT_EQ(vis.pitch, 0.08722222222222223);
  EXPECT_DOUBLE_EQ(vis.yaw, 21.0);
  vis.Rotate(0, -5);
  EXPECT_EQ(vis.pitch, 1.56686);
  // The eye follows at the orbit distance.
  double dx = vis.eye.x - vis.lookAt.x, dy = vis.eye.y - vis.lookAt.y, dz = vis.eye.z - 0.35;
  EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 7.875, 1e-12);
}

TEST_F(VisWorldTest, PanStopsAtTheEdgeCells) {
  world.Reset(10, 6);
  vis.Reset();
  vis.Pan(0.1, 0.1);
  EXPECT_DOUBLE_EQ(vis.lookAt.x, 4.5 + 0.75);
  vis.Pan(10, -10);
  EXPECT_EQ(vis.lookAt.x, 9.0);
  EXPECT_EQ(vis.lookAt.y, 0.0);
  vis.Pan(-10, 10);
  EXPECT_EQ(vis.lookAt.x, 0.0);
  EXPECT_EQ(vis.lookAt.y, 5.0);
  EXPECT_NEAR(vis.eye.x, std::cos(vis.pitch) * std::cos(vis.yaw) * 7.875, 1e-12);
}

TEST_F(VisWorldTest, ResetScattersEightyTuftsInTwoRuns) {
  world.Reset(10, 10);
  for (int pass = 0; pass < 2; ++pass) {
    vis.Reset();
    ASSERT_EQ(vis.fringeTufts.size(), 80u);
    for (int i = 0; i < 80; ++i) {
      const FringeTuft& t = vis.fringeTufts[i];
      EXPECT_EQ(t.variant, (i < 50 ? i : i - 50) % 3);
      EXPECT_EQ(t.scale, 1.0);
      double low = i < 50 ? -10 : -0.5, high = i < 50 ? 20 : 9.5;
      EXPECT_GE(t.x, low);
      EXPECT_LE(t.x, high);
      EXPECT_GE(t.y, low);
      EXPECT_LE(t.y, high);
    }
  }
}

TEST_F(VisWorldTest, TuftsAvoidHoleCellsFoundByTruncation) {
  // Column 0 is all holes: a point in x (-1.5, 0.5) truncates to column 0.
  EmptyBoard(10, 10);
  for (int j = 0; j < 10; ++j) world.CellAt(0, j) = CELL_HOLE;
  int checkedStrip = 0;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SeedRandom(seed);
    // The first candidate of the first scatter, worked out from the same draws.
    double x = Rand() * 30.0 / 32767 - 10;
    double y = Rand() * 30.0 / 32767 - 10;
    SeedRandom(seed);
    vis.Reset();
    for (const FringeTuft& t : vis.fringeTufts) {
      bool overColumn0 = t.x > -1.5 && t.x < 0.5 && t.y > -1.5 && t.y < 9.5;
      EXPECT_FALSE(overColumn0) << t.x << ", " << t.y;
    }
    if (x > -1.5 && x < -0.5 && y > -1.5 && y < 9.5) {
      ++checkedStrip;
      EXPECT_NE(vis.fringeTufts[0].x, x);  // a floor would have taken it as outside
    }
  }
  SUCCEED() << checkedStrip << " seeds started in the strip";
}

TEST_F(VisWorldTest, ABoardOfNothingButHolesDoesNotHangReset) {
  EmptyBoard(10, 10);
  for (int& cell : world.cells) cell = CELL_HOLE;
  vis.Reset();
  EXPECT_GE(vis.fringeTufts.size(), 50u);
  EXPECT_LT(vis.fringeTufts.size(), 80u);
  for (const FringeTuft& t : vis.fringeTufts)
    EXPECT_NE(world.CellAt(static_cast<int>(t.x + 0.5), static_cast<int>(t.y + 0.5)), CELL_HOLE);
}

TEST_F(VisWorldTest, FireFollowsTheWorkedTimingOfOneHole) {
  EmptyBoard(5, 5);
  world.CellAt(2, 2) = CELL_HOLE;
  vis.Reset();
  int bothSpawned = 0;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    vis.particles = CParticleSystem();
    vis.Reset();
    SeedRandom(seed);
    vis.Update(0.5);
    EXPECT_NEAR(vis.fireClock, -0.1, 1e-12);
    int spawned = static_cast<int>(vis.particles.Live().size());
    // Two attempts of three draws each, and one more for each flame's image.
    EXPECT_EQ(DrawsSince(seed), 6 + spawned);
    std::vector<double> ages;
    for (const Particle& p : vis.particles.Live()) {
      ages.push_back(p.life * 1.3);
      // Only points inside the hole's footing (a diamond about its centre) burn.
      EXPECT_LT(std::abs(p.position[0] - 2) + std::abs(p.position[1] - 2), 0.35 + 1e-12);
      EXPECT_GT(p.position[2], -5.0);
      EXPECT_LT(p.position[2], -4.0);
    }
    if (spawned == 2) {
      ++bothSpawned;
      EXPECT_NEAR(ages[0], 0.3, 1e-12);
      EXPECT_NEAR(ages[1], 0.1, 1e-12);
    }
    for (double age : ages) EXPECT_TRUE(std::abs(age - 0.3) < 1e-12 || std::abs(age - 0.1) < 1e-12);
    // A short frame next: no attempt, the clock creeps on, the flames rise.
    double before = spawned ? vis.particles.Live().front().position[2] : 0;
    SeedRandom(seed);
    vis.Update(0.05);
    EXPECT_EQ(DrawsSince(seed), 0);
    EXPECT_NEAR(vis.fireClock, -0.05, 1e-12);
    if (spawned) {
      EXPECT_GT(vis.particles.Live().front().position[2], before);
    }
  }
  EXPECT_GT(bothSpawned, 0);
}

TEST_F(VisWorldTest, WithoutHolesTimeOnlyAccumulatesAndBringsNoBurstLater) {
  EmptyBoard(5, 5);
  vis.Reset();
  SeedRandom(5);
  for (int i = 0; i < 10; ++i) vis.Update(10);
  EXPECT_EQ(DrawsSince(5), 0);
  EXPECT_DOUBLE_EQ(vis.fireClock, 100);
  EXPECT_TRUE(vis.particles.Live().empty());
  // The first frame with a hole counts only its own time: 0.5 s makes 3 attempts.
  world.CellAt(1, 1) = CELL_HOLE;
  SeedRandom(5);
  vis.Update(0.5);
  int spawned = static_cast<int>(vis.particles.Live().size());
  EXPECT_EQ(DrawsSince(5), 9 + spawned);
  EXPECT_NEAR(vis.fireClock, 0.5 - 3 * 0.2, 1e-12);
}

TEST_F(VisWorldTest, EveryOpenHoleCellBurnsAndAHugeFrameEndsQuickly) {
  EmptyBoard(4, 4);
  for (int& cell : world.cells) cell = CELL_HOLE;  // every point is over a hole
  vis.Reset();
  SeedRandom(3);
  // 16 holes: 80 births a second. A first 1 s frame waits one interval before the
  // first birth: 79 attempts.
  vis.Update(1.0);
  int spawned = static_cast<int>(vis.particles.Live().size());
  EXPECT_EQ(DrawsSince(3), 3 * 79 + spawned);
  EXPECT_GT(spawned, 40);
  for (const Particle& p : vis.particles.Live()) {
    EXPECT_GE(p.position[0], -0.5);
    EXPECT_LE(p.position[0], 3.5);
  }
  // A frame of a day (a machine waking from sleep) makes only the attempts young
  // enough to be seen, 1.3 s worth, and returns at once.
  SeedRandom(3);
  vis.Update(86400.0);
  spawned = static_cast<int>(vis.particles.Live().size());
  EXPECT_GT(spawned, 40);
  EXPECT_LE(spawned, 105);
  int attempts = (DrawsSince(3) - spawned) / 3;
  EXPECT_GE(attempts, 103);
  EXPECT_LE(attempts, 105);
  EXPECT_TRUE(std::isfinite(vis.fireClock));
  vis.Update(std::nan(""));
  EXPECT_TRUE(std::isfinite(vis.fireClock));
}

}  // namespace
