#include "game/blob_ai.h"

#include <algorithm>
#include <cmath>

#include "base/random.h"
#include "game/unit.h"
#include "game/world.h"

namespace {
// A fresh uniform value in [0, 1].
double RandomFraction() {
  return Rand() / static_cast<double>(RAND_LIMIT);
}

constexpr double FEAR_FADE = 0.07;     // per second, on fully solid ground
constexpr double CHEER_RATE = 0.1;     // happiness per second per unit of attraction
constexpr double HAPPY_LEVEL = 0.85;   // happier than this and calm counts as happy
constexpr double CALM_LEVEL = 0.15;    // less fear than this counts as calm
constexpr double FALL_PITCH = 1.5;     // a falling blob looks up
constexpr double FALL_EYE_SIZE = 1.3;  // and stares
}  // namespace

void CBlobAI::Init(CUnit* owner, CWorld* ownerWorld) {
  unit = owner;
  world = ownerWorld;
  happiness = 0.75;
  fear = 0;
  attraction = 0;
  groundRatio = 1.0;
  gameOver = false;
  UpdateFace();
}

void CBlobAI::Update(double dt) {
  fear = std::max(0.0, fear - dt * groundRatio * FEAR_FADE);
  happiness = std::min(1.0, happiness + dt * attraction * CHEER_RATE);
  UpdateFace();
}

void CBlobAI::OnFall() {
  unit->targetPitch = FALL_PITCH;
  unit->face = 3;
  unit->leftEye = 0;
  unit->rightEye = 0;
  unit->eyeSize = FALL_EYE_SIZE;
}

void CBlobAI::Decide() {
  // One time in four, glance toward the camera, give or take a quarter turn.
  if (Rand() % 4 == 0) {
    const RenderVertex p = unit->DisplayPosition();
    const double azimuth = world->AzimuthTo(p.x, p.y);
    unit->targetHeading = azimuth + (RandomFraction() - 0.5) * PI;
    const double elevation = world->ElevationTo(p.x, p.y, p.z);
    double pitch = elevation + (Rand() * 0.3 / RAND_LIMIT - 0.15) * PI;
    if (pitch < 0) pitch = 0;
    if (pitch > 0.49 * PI) pitch = 0.49 * PI;
    unit->targetPitch = pitch;
  }

  // After the game every blob hops about at random, whatever it feels.
  if (gameOver) {
    if (RandomFraction() < 0.35) {
      const double distance = 0.4 + 1.6 * RandomFraction();
      const double angle = 2 * PI * RandomFraction();
      unit->Hop(angle, distance);
    }
    return;
  }

  if (!unit->autonomous) return;

  // The urge to hop grows as the mood nears misery: no happiness and full fear.
  const double h = happiness;
  const double f = fear;
  const double p = 1 - std::sqrt(h * h + (1 - f) * (1 - f)) * 1.4285714285714286 - 0.3;
  const double r = RandomFraction();
  if (r < p) {
    const double distance = 0.2 + 1.7 * p * RandomFraction();
    const double angle = 2 * PI * RandomFraction();
    unit->Hop(angle, distance);
  }
}

void CBlobAI::Scare(double distance) {
  fear = std::min(1.0, fear + 2 / (2.5 * (distance * distance) + 1));
  UpdateFace();
}

void CBlobAI::Sadden(double distance) {
  happiness = std::max(0.0, happiness - 1 / (1.5 * (distance * distance) + 1));
  UpdateFace();
}

void CBlobAI::SetAttraction(double value) {
  attraction = value;
}

void CBlobAI::SetGroundRatio(double value) {
  groundRatio = value;
}

bool CBlobAI::IsHappy() const {
  return happiness > HAPPY_LEVEL && fear < CALM_LEVEL;
}

double CBlobAI::Influence(double distance) const {
  return 1 / (4 * (distance * distance) + 1);
}

double CBlobAI::GetWillingness() const {
  return happiness;
}

double CBlobAI::GetHappiness() const {
  return happiness;
}

double CBlobAI::GetFear() const {
  return fear;
}

void CBlobAI::SetGameOver() {
  gameOver = true;
}

void CBlobAI::UpdateFace() {
  const double h = happiness;
  const double f = fear;
  unit->leftEye = 0;
  unit->rightEye = 0;
  if (0.35 < h && h < 0.65 && f > 0.35) {
    unit->face = f > 0.65 ? 2 : 1;  // torn between: worried, or scared stiff
  } else if (h > 0.5) {
    if (f > 0.5) {
      unit->face = 1;
    } else {
      unit->face = (f < 0.15 && h > 0.85) ? 0 : 6;
    }
  } else if (f > 0.6) {
    unit->face = 3;
  } else {
    unit->face = 4;
    if (f < 0.15 && h < 0.15) {
      unit->leftEye = 2;  // too miserable to keep the eyes open
      unit->rightEye = 2;
    }
  }
}
