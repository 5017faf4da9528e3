// Moods, faces and the decisions of a blob's behaviour.

#include "game/blob_ai.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/random.h"
#include "game/world.h"
#include "tests/game/test_world.h"

namespace {

using testworld::AddUnit;
using testworld::MakeBoard;
using testworld::ReferenceRandom;

int FaceFor(double happiness, double fear, int* eyes = nullptr) {
  CUnit unit;
  CBlobAI ai;
  ai.unit = &unit;
  ai.happiness = happiness;
  ai.fear = fear;
  ai.UpdateFace();
  if (eyes) *eyes = unit.leftEye * 10 + unit.rightEye;
  return unit.face;
}

TEST(BlobAI, FacesFollowTheMoods) {
  EXPECT_EQ(FaceFor(0.75, 0), 6);    // a fresh blob
  EXPECT_EQ(FaceFor(0.9, 0.1), 0);   // content
  EXPECT_EQ(FaceFor(0.85, 0.1), 6);  // not quite
  EXPECT_EQ(FaceFor(0.9, 0.6), 1);
  EXPECT_EQ(FaceFor(0.5, 0.5), 1);  // torn, worried
  EXPECT_EQ(FaceFor(0.5, 0.7), 2);  // torn, scared stiff
  EXPECT_EQ(FaceFor(0.3, 0.7), 3);
  EXPECT_EQ(FaceFor(0.3, 0.3), 4);
  int eyes = -1;
  EXPECT_EQ(FaceFor(0.1, 0.1, &eyes), 4);
  EXPECT_EQ(eyes, 22);  // eyes shut in misery
  EXPECT_EQ(FaceFor(0.3, 0.1, &eyes), 4);
  EXPECT_EQ(eyes, 0);
}

TEST(BlobAI, ScaresAndSadnessesAreStrongestClose) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CBlobAI& ai = *AddUnit(world, 5, 5).behaviour;
  ai.Scare(0);
  EXPECT_EQ(ai.fear, 1.0);
  ai.Sadden(0);
  EXPECT_EQ(ai.happiness, 0.0);
  ai.fear = 0.1;
  ai.Scare(2);
  EXPECT_EQ(ai.fear, 0.1 + 2 / (2.5 * (2.0 * 2.0) + 1));
  ai.happiness = 0.9;
  ai.Sadden(1);
  EXPECT_EQ(ai.happiness, 0.9 - 1 / (1.5 * (1.0 * 1.0) + 1));
  EXPECT_EQ(ai.Influence(0.5), 1 / (4 * (0.5 * 0.5) + 1));
}

TEST(BlobAI, FearFadesOnlyOverGroundAndAttractionCheers) {
  CWorld world;
  MakeBoard(world, 10, 10);
  CBlobAI& ai = *AddUnit(world, 5, 5).behaviour;
  ai.fear = 0.5;
  ai.SetGroundRatio(0);
  ai.Update(3);
  EXPECT_EQ(ai.fear, 0.5);
  ai.SetGroundRatio(0.5);
  ai.Update(2);
  EXPECT_EQ(ai.fear, 0.5 - 2 * 0.5 * 0.07);
  ai.SetAttraction(2);
  ai.Update(0.5);
  EXPECT_EQ(ai.happiness, 0.75 + 0.5 * 2 * 0.1);
  ai.Update(100);
  EXPECT_EQ(ai.happiness, 1.0);
  EXPECT_EQ(ai.fear, 0.0);
}

TEST(BlobAI, HappinessNeedsMoreThan85PercentAndCalm) {
  CBlobAI ai;
  ai.happiness = 0.85;
  EXPECT_FALSE(ai.IsHappy());
  ai.happiness = 0.86;
  EXPECT_TRUE(ai.IsHappy());
  ai.fear = 0.15;
  EXPECT_FALSE(ai.IsHappy());
}

// Plays Decide with the reference generator beside it and checks that the blob did
// exactly what those draws say, whether it glanced, hopped and how far.
void CheckDecision(unsigned seed, double happiness, double fear, bool autonomous, bool gameOver) {
  CWorld world;
  MakeBoard(world, 40, 40);
  world.eyePoint.x = 3;
  world.eyePoint.y = -4;
  world.eyePoint.z = 6;
  CUnit& unit = AddUnit(world, 20, 20);
  unit.autonomous = autonomous;
  CBlobAI& ai = *unit.behaviour;
  ai.happiness = happiness;
  ai.fear = fear;
  ai.gameOver = gameOver;
  const double headingBefore = unit.targetHeading;
  const double pitchBefore = unit.targetPitch;

  SeedRandom(seed);
  ReferenceRandom draws(seed);
  ai.Decide();

  if (draws.Next() % 4 == 0) {
    const double azimuth = world.AzimuthTo(20, 20);
    const double heading = azimuth + (draws.Fraction() - 0.5) * PI;
    double pitch = world.ElevationTo(20, 20, 0.35) + (draws.Next() * 0.3 / 32767 - 0.15) * PI;
    pitch = std::min(std::max(pitch, 0.0), 0.49 * PI);
    EXPECT_EQ(unit.targetPitch, pitch);
    if (unit.state == UNIT_STANDING) {
      EXPECT_EQ(unit.targetHeading, heading);
    }
  } else {
    EXPECT_EQ(unit.targetPitch, pitchBefore);
    if (unit.state == UNIT_STANDING) {
      EXPECT_EQ(unit.targetHeading, headingBefore);
    }
  }

  bool hops = false;
  double distance = 0;
  if (gameOver) {
    if (draws.Fraction() < 0.35) {
      hops = true;
      distance = 0.4 + 1.6 * draws.Fraction();
    }
  } else if (autonomous) {
    const double p =
        1 - std::sqrt(happiness * happiness + (1 - fear) * (1 - fear)) * 1.4285714285714286 - 0.3;
    if (draws.Fraction() < p) {
      hops = true;
      distance = 0.2 + 1.7 * p * draws.Fraction();
    }
  }
  if (hops) {
    const double angle = 2 * PI * draws.Fraction();
    ASSERT_EQ(unit.state, UNIT_HOPPING);
    EXPECT_EQ(unit.targetHeading, angle);
    EXPECT_EQ(unit.x, 20 + distance * std::cos(angle));
    EXPECT_EQ(unit.y, 20 + distance * std::sin(angle));
  } else {
    EXPECT_EQ(unit.state, UNIT_STANDING);
    EXPECT_EQ(unit.x, 20);
  }
  // Decide took exactly the draws counted here.
  EXPECT_EQ(Rand(), draws.Next());
}

TEST(BlobAI, DecisionsTakeTheirDrawsInOrder) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    SCOPED_TRACE(seed);
    CheckDecision(seed, 0.0, 1.0, true, false);   // p = 0.7
    CheckDecision(seed, 0.75, 0.0, true, false);  // a fresh blob, p < 0: still draws
    CheckDecision(seed, 0.3, 0.8, true, false);
    CheckDecision(seed, 0.0, 1.0, false, false);  // held by the player: no hop test
    CheckDecision(seed, 0.75, 0.0, false, true);  // after the game: hops regardless
  }
}

TEST(BlobAI, MiserableBlobsHopOftenAndContentOnesNever) {
  CWorld world;
  MakeBoard(world, 40, 40);
  int miserableHops = 0;
  int contentHops = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    for (int content = 0; content < 2; ++content) {
      world.units.clear();
      CUnit& unit = AddUnit(world, 20, 20);
      unit.behaviour->happiness = content ? 0.75 : 0.0;
      unit.behaviour->fear = content ? 0.0 : 1.0;
      SeedRandom(seed);
      unit.behaviour->Decide();
      if (unit.state == UNIT_HOPPING) {
        const double dx = unit.x - unit.hopStartX;
        const double dy = unit.y - unit.hopStartY;
        EXPECT_LE(std::sqrt(dx * dx + dy * dy), 0.2 + 1.19 + 1e-9);
        (content ? contentHops : miserableHops)++;
      }
    }
  }
  EXPECT_EQ(contentHops, 0);
  EXPECT_GT(miserableHops, 400 * 0.6);
  EXPECT_LT(miserableHops, 400 * 0.8);
}

}  // namespace
