#pragma once

#include <list>
#include <map>
#include <vector>

#include "render/texture.h"

// How one kind of particle moves, how long it lives and which images it may show.
struct ParticleKind {
  int id = 0;
  double drag = 0;                     // per second: velocity relaxes toward acceleration / drag
  double acceleration[3] = {0, 0, 0};  // units per second squared
  double lifetime = 0;                 // seconds; 0 or less never ages
  std::vector<CTexture> textures;      // a particle picks one at birth
};

struct Particle {
  int kind = 0;
  int textureIndex = 0;
  double position[3] = {0, 0, 0};
  double velocity[3] = {0, 0, 0};
  double life = 0;  // 0 at birth; the particle expires at 1
};

// What a visitor is shown of one live particle.
struct ParticleView {
  const ParticleKind* kind = nullptr;
  int textureIndex = 0;
  double position[3] = {0, 0, 0};
  double velocity[3] = {0, 0, 0};
  double life = 0;
};

class CParticleVisitor {
 public:
  virtual void Visit(const ParticleView& particle) = 0;

 protected:
  ~CParticleVisitor() = default;
};

// The short-lived sprites of the visual world: flames rising in the holes.
class CParticleSystem {
 public:
  using Iterator = std::list<Particle>::iterator;

  virtual void OnParticleExpired(Particle& particle);

  // Stores the kind under its id, replacing the whole record of an earlier one.
  void Register(const ParticleKind& kind);
  const ParticleKind* FindKind(int id) const;

  // Adds a particle that was born age seconds ago. Returns its place, or End() if
  // it has already expired (or its kind is unknown or has no image to show).
  Iterator Spawn(int kind, double x, double y, double z, double vx, double vy, double vz,
                 double age);
  void Update(double dt);
  void ForEach(CParticleVisitor& visitor) const;

  Iterator End() { return live.end(); }
  const std::list<Particle>& Live() const { return live; }

 protected:
  void Step(Particle& particle, double dt) const;

 private:
  std::map<int, ParticleKind> kinds;
  std::list<Particle> live;
};
