#include "view/particle_system.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/random.h"

namespace {

ParticleKind MakeKind(int id, double drag, double ax, double ay, double az, double lifetime,
                      int images = 1) {
  ParticleKind kind;
  kind.id = id;
  kind.drag = drag;
  kind.acceleration[0] = ax;
  kind.acceleration[1] = ay;
  kind.acceleration[2] = az;
  kind.lifetime = lifetime;
  kind.textures.resize(images);  // empty handles: no OpenGL needed
  return kind;
}

ParticleKind Fire() {
  return MakeKind(0, 1.5, 0, 0, 10, 1.3, 4);
}

// Remembers every expiry and what the rest of the list looked like at that moment.
class CRecordingParticles : public CParticleSystem {
 public:
  void OnParticleExpired(Particle& particle) override {
    expired.push_back(particle);
    livesAtExpiry.emplace_back();
    for (const Particle& p : Live()) livesAtExpiry.back().push_back(p.life);
  }
  std::vector<Particle> expired;
  std::vector<std::vector<double>> livesAtExpiry;
};

class CCollect : public CParticleVisitor {
 public:
  void Visit(const ParticleView& p) override { seen.push_back(p); }
  std::vector<ParticleView> seen;
};

TEST(ParticleSystem, SpawnPastTheLifetimeExpiresAtOnceAndLeavesTheListAlone) {
  CRecordingParticles system;
  system.Register(Fire());
  system.Spawn(0, 1, 1, -5, 0, 0, 0, 0.1);
  ASSERT_EQ(system.Live().size(), 1u);
  for (double age : {1.3, 2.0}) {
    system.expired.clear();
    EXPECT_TRUE(system.Spawn(0, 2, 2, -5, 0, 0, 0, age) == system.End());
    ASSERT_EQ(system.expired.size(), 1u);
    EXPECT_GE(system.expired[0].life, 1.0);
    EXPECT_EQ(system.expired[0].position[0], 2.0);
    EXPECT_EQ(system.Live().size(), 1u);
  }
}

TEST(ParticleSystem, SpawnPicksItsImageWithOneDrawAndAgesTheNewParticle) {
  CParticleSystem system;
  system.Register(Fire());
  SeedRandom(77);
  int expectedIndex = Rand() % 4;
  SeedRandom(77);
  auto place = system.Spawn(0, 3, 4, -5, 0, 0, 0, 0.65);
  ASSERT_FALSE(place == system.End());
  EXPECT_EQ(place->textureIndex, expectedIndex);
  EXPECT_DOUBLE_EQ(place->life, 0.5);
  EXPECT_GT(place->position[2], -5.0);
  EXPECT_EQ(place->position[0], 3.0);
  // Exactly one draw was taken: the next value is the generator's second.
  SeedRandom(77);
  Rand();
  int second = Rand();
  SeedRandom(77);
  system.Spawn(0, 3, 4, -5, 0, 0, 0, 0);
  EXPECT_EQ(Rand(), second);
}

TEST(ParticleSystem, SpawnOfAKindThatCannotBeShownAddsNothing) {
  CParticleSystem system;
  system.Register(MakeKind(2, 0, 0, 0, 0, 1, 0));
  EXPECT_TRUE(system.Spawn(2, 0, 0, 0, 0, 0, 0, 0) == system.End());
  EXPECT_TRUE(system.Spawn(9, 0, 0, 0, 0, 0, 0, 0) == system.End());
  EXPECT_TRUE(system.Live().empty());
}

// Without drag a step is exact kinematics: v0 dt + a dt^2 / 2.
TEST(ParticleSystem, WithoutDragTheMotionIsExactKinematics) {
  CParticleSystem system;
  system.Register(MakeKind(1, 0, 2, 4, -8, 10));
  system.Spawn(1, 0, 0, 0, 1, -3, 0, 0);
  system.Update(0.5);
  const Particle& p = system.Live().front();
  const double position[3] = {0.75, -1.0, -1.0};
  const double velocity[3] = {2.0, -1.0, -4.0};
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_EQ(p.position[axis], position[axis]);
    EXPECT_EQ(p.velocity[axis], velocity[axis]);
  }
  EXPECT_DOUBLE_EQ(p.life, 0.05);
}

TEST(ParticleSystem, FireBornDeepInAHoleBurnsOutBelowTheRim) {
  CRecordingParticles system;
  system.Register(Fire());
  system.Spawn(0, 0, 0, -5, 0, 0, 0, 0);
  double highest = -5;
  int steps = 0;
  while (!system.Live().empty()) {
    highest = system.Live().front().position[2];
    system.Update(1.0 / 60);
    ++steps;
  }
  ASSERT_EQ(system.expired.size(), 1u);
  // It lives its 1.3 seconds (78 frames, or 79 as the sixtieths add up) ...
  EXPECT_GE(steps, 78);
  EXPECT_LE(steps, 79);
  // ... and follows the closed form z(t) = -5 + a/k t - a/k^2 (1 - e^{-kt}).
  double t = steps / 60.0;
  double a = 10, k = 1.5;
  double closed = -5 + a / k * t - a / (k * k) * (1 - std::exp(-k * t));
  EXPECT_NEAR(system.expired[0].position[2], closed, 1e-6);
  EXPECT_NEAR(system.expired[0].velocity[2], a / k * (1 - std::exp(-k * t)), 1e-6);
  // The flame never rises out of its hole.
  EXPECT_LT(highest, 0.0);
  EXPECT_LT(system.expired[0].position[2], 0.0);
}

TEST(ParticleSystem, AKindWithoutLifetimeNeverExpires) {
  CParticleSystem system;
  system.Register(MakeKind(3, 0.5, 0, 0, 1, 0));
  system.Spawn(3, 0, 0, 0, 0, 0, 0, 100);
  for (int i = 0; i < 20; ++i) system.Update(10);
  ASSERT_EQ(system.Live().size(), 1u);
  EXPECT_EQ(system.Live().front().life, 0.0);
}

TEST(ParticleSystem, ExpiryWalksTheListAfterEveryParticleHasMoved) {
  CRecordingParticles system;
  system.Register(MakeKind(0, 0, 0, 0, 0, 1));
  system.Spawn(0, 1, 0, 0, 0, 0, 0, 0.9);   // expires in the next step
  system.Spawn(0, 2, 0, 0, 0, 0, 0, 0.1);   // survives
  system.Spawn(0, 3, 0, 0, 0, 0, 0, 0.95);  // expires too
  system.Update(0.2);
  ASSERT_EQ(system.expired.size(), 2u);
  EXPECT_EQ(system.expired[0].position[0], 1.0);
  EXPECT_EQ(system.expired[1].position[0], 3.0);
  // When the first expiry was reported, the particles after it had already aged.
  ASSERT_EQ(system.livesAtExpiry[0].size(), 3u);
  EXPECT_DOUBLE_EQ(system.livesAtExpiry[0][1], 0.3);
  EXPECT_DOUBLE_EQ(system.livesAtExpiry[0][2], 1.15);
  ASSERT_EQ(system.Live().size(), 1u);
  for (const Particle& p : system.Live()) EXPECT_LT(p.life, 1.0);
}

TEST(ParticleSystem, RegisteringAgainReplacesTheWholeKind) {
  CParticleSystem system;
  system.Register(MakeKind(0, 0, 0, 0, 0, 10, 3));
  system.Spawn(0, 0, 0, 0, 1, 0, 0, 0);
  system.Register(MakeKind(0, 0, 0, 0, 0, 2, 1));
  EXPECT_EQ(system.FindKind(0)->textures.size(), 1u);
  system.Update(1);
  EXPECT_DOUBLE_EQ(system.Live().front().life, 0.5);
}

TEST(ParticleSystem, ForEachShowsEveryParticleInListOrderWithItsKind) {
  CParticleSystem system;
  system.Register(Fire());
  system.Register(MakeKind(1, 0.6, 0, 0, 1, 5, 5));
  system.Spawn(0, 1, 0, -5, 0, 0, 0, 0);
  system.Spawn(1, 2, 0, 0, 0, 0, 0.5, 0);
  system.Spawn(0, 3, 0, -5, 0, 0, 0, 0);
  CCollect visitor;
  system.ForEach(visitor);
  ASSERT_EQ(visitor.seen.size(), 3u);
  EXPECT_EQ(visitor.seen[0].kind, system.FindKind(0));
  EXPECT_EQ(visitor.seen[1].kind, system.FindKind(1));
  EXPECT_EQ(visitor.seen[1].velocity[2], 0.5);
  EXPECT_EQ(visitor.seen[2].position[0], 3.0);
}

}  // namespace
