#include "audio/sound_mix.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double HALF_PI = 1.5707963267948966;
// OpenAL pans a sound over two speakers through a first-order ambisonic
// decode: each speaker takes half, plus or minus half the sound's share to
// its side, plus a little of its share ahead (sounds in front are a touch
// louder than those behind).
constexpr double SIDE_WEIGHT = 0.5;
constexpr double FRONT_WEIGHT = 0.0956611;
// Sounds ahead are spread wider, so one 60 degrees to a side is heard from
// that speaker alone.
constexpr double FRONT_WIDENING = 1.5;

struct Vector {
  double x, y, z;
};

Vector Minus(const double a[3], const double b[3]) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

double Dot(const Vector& a, const Vector& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector Cross(const Vector& a, const Vector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector Normalised(const Vector& v) {
  const double length = std::sqrt(Dot(v, v));
  if (length == 0) return v;
  return {v.x / length, v.y / length, v.z / length};
}

// Inverse distance, clamped: nothing is louder than at the reference distance.
double DistanceGain(double distance) {
  const double beyond = std::max(distance, SOUND_REFERENCE_DISTANCE) - SOUND_REFERENCE_DISTANCE;
  return SOUND_REFERENCE_DISTANCE / (SOUND_REFERENCE_DISTANCE + SOUND_ROLLOFF * beyond);
}

// The speakers' gains for a sound at an azimuth (0 ahead, positive to the
// right) and an elevation, both in radians.
StereoGains Pan(double azimuth, double elevation) {
  if (std::fabs(azimuth) < HALF_PI) {
    azimuth = std::copysign(std::min(std::fabs(azimuth) * FRONT_WIDENING, HALF_PI), azimuth);
  }
  const double side = std::sin(azimuth) * std::cos(elevation);
  const double ahead = std::cos(azimuth) * std::cos(elevation);
  StereoGains gains;
  gains.left = std::max(0.0, 0.5 - SIDE_WEIGHT * side + FRONT_WEIGHT * ahead);
  gains.right = std::max(0.0, 0.5 + SIDE_WEIGHT * side + FRONT_WEIGHT * ahead);
  return gains;
}
}  // namespace

StereoGains PlaceSound(const double eye[3], const double lookAt[3], const SoundPlace& place) {
  const double where[3] = {place.x, place.y, place.z};
  const Vector toSound = place.onBoard ? Minus(where, eye) : Vector{0, 0, 0};
  const double distance = std::sqrt(Dot(toSound, toSound));
  // A sound where the listener stands is heard as if from straight ahead.
  if (distance == 0) return Pan(0, 0);

  // The listener's frame is OpenAL's: right of the view, the board's z as up (not
  // square to a view that looks down), and ahead. Direction and distance are
  // measured in that frame, so a sound below the view counts as farther than it is.
  const Vector up = {0, 0, 1};
  const Vector ahead = Normalised(Minus(lookAt, eye));
  const Vector right = Normalised(Cross(ahead, up));
  const Vector heard = {Dot(toSound, right), Dot(toSound, up), Dot(toSound, ahead)};
  const double heardDistance = std::sqrt(Dot(heard, heard));
  const double azimuth = std::atan2(heard.x, heard.z);
  const double elevation = std::asin(std::clamp(heard.y / heardDistance, -1.0, 1.0));
  StereoGains gains = Pan(azimuth, elevation);
  const double softened = DistanceGain(heardDistance);
  gains.left *= softened;
  gains.right *= softened;
  return gains;
}
