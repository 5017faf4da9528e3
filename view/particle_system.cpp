#include "view/particle_system.h"

#include "base/random.h"

void CParticleSystem::OnParticleExpired(Particle&) {}

void CParticleSystem::Register(const ParticleKind& kind) {
  kinds[kind.id] = kind;
}

const ParticleKind* CParticleSystem::FindKind(int id) const {
  auto found = kinds.find(id);
  return found == kinds.end() ? nullptr : &found->second;
}

CParticleSystem::Iterator CParticleSystem::Spawn(int kind, double x, double y, double z, double vx,
                                                 double vy, double vz, double age) {
  const ParticleKind* found = FindKind(kind);
  // A kind without images has nothing to show; refuse rather than divide by zero.
  if (!found || found->textures.empty()) return live.end();
  int count = static_cast<int>(found->textures.size());
  Particle particle;
  particle.kind = kind;
  particle.textureIndex = Rand() % count;
  particle.position[0] = x;
  particle.position[1] = y;
  particle.position[2] = z;
  particle.velocity[0] = vx;
  particle.velocity[1] = vy;
  particle.velocity[2] = vz;
  // Born age seconds ago: catch up on the motion and ageing it has missed. One
  // that has expired already is never kept.
  Step(particle, age);
  if (particle.life >= 1) {
    OnParticleExpired(particle);
    return live.end();
  }
  return live.insert(live.end(), particle);
}

void CParticleSystem::Update(double dt) {
  if (dt == 0) return;
  for (Particle& particle : live) Step(particle, dt);
  // Expiry is tested only once everything has moved.
  for (Iterator it = live.begin(); it != live.end();) {
    if (it->life >= 1) {
      OnParticleExpired(*it);
      it = live.erase(it);
    } else {
      ++it;
    }
  }
}

void CParticleSystem::ForEach(CParticleVisitor& visitor) const {
  for (const Particle& particle : live) {
    ParticleView view;
    view.kind = FindKind(particle.kind);
    view.textureIndex = particle.textureIndex;
    for (int axis = 0; axis < 3; ++axis) {
      view.position[axis] = particle.position[axis];
      view.velocity[axis] = particle.velocity[axis];
    }
    view.life = particle.life;
    visitor.Visit(view);
  }
}

// One fourth-order Runge-Kutta step per axis of the position under the velocity law
// v(t) = v0 + a t - k (x(t) - x0): constant acceleration a with linear drag k.
void CParticleSystem::Step(Particle& particle, double dt) const {
  const ParticleKind* kind = FindKind(particle.kind);
  if (!kind) return;
  double k = kind->drag;
  double moved[3];
  for (int axis = 0; axis < 3; ++axis) {
    double x0 = particle.position[axis];
    double v0 = particle.velocity[axis];
    double a = kind->acceleration[axis];
    double t = k * x0 + v0;
    double k1 = dt * (t - k * x0);
    double k2 = dt * (t + a * dt / 2 - k * (x0 + k1 / 2));
    double k3 = dt * (t + a * dt / 2 - k * (x0 + k2 / 2));
    double k4 = dt * (t + a * dt - k * (x0 + k3));
    moved[axis] = x0 + (k1 + 2 * k2 + 2 * k3 + k4) / 6;
  }
  for (int axis = 0; axis < 3; ++axis) {
    double x0 = particle.position[axis];
    double a = kind->acceleration[axis];
    particle.velocity[axis] = particle.velocity[axis] + a * dt - k * (moved[axis] - x0);
    particle.position[axis] = moved[axis];
  }
  if (kind->lifetime > 0) particle.life = particle.life + dt / kind->lifetime;
}
