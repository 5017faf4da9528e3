#pragma once

#include <memory>
#include <vector>

#include "base/render_vertex.h"
#include "view/particle_system.h"
#include "view/vis_element.h"

class CGroundOpenings;
class CRenderer;

// The see-through things of one frame: the store owns every element made while
// the frame is drawn; the lower list (below the ground plane) and the upper list
// only point into it.
struct SceneElements {
  std::vector<std::shared_ptr<CVisElement>> store;
  std::vector<CVisElement*> lower;
  std::vector<CVisElement*> upper;
};

// Turns each live particle into a quad that faces the eye.
class CParticleCollector final : public CParticleVisitor {
 public:
  // With openings, flames hidden whole under the ground are left out.
  CParticleCollector(CRenderer& r, SceneElements& elements, const RenderVertex& eye,
                     const CGroundOpenings* openings = nullptr)
      : r(r), elements(elements), eye(eye), openings(openings) {}

  void Visit(const ParticleView& particle) override;

 private:
  CRenderer& r;
  SceneElements& elements;
  RenderVertex eye;
  const CGroundOpenings* openings;
};
