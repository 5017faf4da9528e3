#pragma once

// The parts a frame is drawn in, in the order a frame meets them first. A
// listener told where each part begins lets a benchmark count what each one
// costs; the game itself has none.
enum ScenePart {
  PART_OUTER_GROUND,
  PART_TILE_TOPS,
  PART_WALLS,
  PART_HOLE_FLOOR,
  PART_RIM_FRINGES,
  PART_FENCE,
  PART_TUFTS,
  PART_FLOWERS,
  PART_BLOBS,
  PART_FIRE,
  PART_DECALS,
  PART_DISPLAY,
  PART_COUNT
};

// Told, outside any primitive, each time the drawing moves on to another part.
class CScenePartListener {
 public:
  virtual void BeginPart(ScenePart part) = 0;

 protected:
  ~CScenePartListener() = default;
};
