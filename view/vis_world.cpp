#include "view/vis_world.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "base/random.h"
#include "game/world.h"
#include "view/blob_context.h"

namespace {

// The camera never dips under about 5 degrees nor tips past the vertical.
constexpr double MIN_PITCH = 0.08722222222222223;
constexpr double MAX_PITCH = 1.56686;
// The camera orbits a point this high above the ground: a standing blob's centre.
constexpr double LOOK_AT_HEIGHT = 0.35;
// The look-at point slides this many units per unit of pan.
constexpr double PAN_SPEED = 7.5;

// What a new board shows at once: the grass, the fence, the tufts and the walls'
// image, bound with the tiles.
const char* const DIRT_WALL_IMAGE = "graphics\\dirtwall.png";
const char* const GRASS_IMAGE = "graphics\\grass.png";
const char* const FENCE_IMAGE = "graphics\\fence.png";
const char* const FRINGE_IMAGES[3] = {"graphics\\grassFringe0.png", "graphics\\grassFringe1.png",
                                      "graphics\\grassFringe2.png"};

constexpr int FIRE_KIND = 0;
constexpr int SMOKE_KIND = 1;

// Mesa's software renderer allocates and frees a buffer of a few megabytes each
// time a drawing state (a texture, the blending, culling) changes between two
// primitives. The C library hands such memory straight back to the kernel, and
// faulting it in again made every change cost a tenth of a millisecond, several
// milliseconds a frame. Keeping freed memory in the process makes it microseconds.
void KeepFreedMemory() {
#ifdef __GLIBC__
  constexpr int KEEP_BYTES = 64 << 20;
  mallopt(M_TRIM_THRESHOLD, KEEP_BYTES);
#endif
}

}  // namespace

CVisWorld::CVisWorld(CWorld* world) : world(world) {
  KeepFreedMemory();
}

void CVisWorld::UpdateCamera() {
  double distance = (std::max(world->width, world->height) + 0.5) * 0.75;
  eye.x = lookAt.x + std::cos(pitch) * std::cos(yaw) * distance;
  eye.y = lookAt.y + std::cos(pitch) * std::sin(yaw) * distance;
  eye.z = std::sin(pitch) * distance + LOOK_AT_HEIGHT;
}

void CVisWorld::Rotate(double dx, double dy) {
  yaw = dragStartYaw - dx * 10;
  pitch = dragStartPitch - dy * 10;
  if (pitch < MIN_PITCH) pitch = MIN_PITCH;
  if (pitch > MAX_PITCH) pitch = MAX_PITCH;
  UpdateCamera();
}

void CVisWorld::Pan(double dx, double dy) {
  lookAt.x += dx * PAN_SPEED;
  lookAt.y += dy * PAN_SPEED;
  if (lookAt.x < 0)
    lookAt.x = 0;
  else if (lookAt.x > world->width - 1)
    lookAt.x = world->width - 1;
  if (lookAt.y < 0)
    lookAt.y = 0;
  else if (lookAt.y > world->height - 1)
    lookAt.y = world->height - 1;
  UpdateCamera();
}

void CVisWorld::GetViewRay(double& x, double& y, double& z, double& dx, double& dy,
                           double& dz) const {
  x = eye.x;
  y = eye.y;
  z = eye.z;
  double vx = lookAt.x - eye.x, vy = lookAt.y - eye.y, vz = LOOK_AT_HEIGHT - eye.z;
  double length = std::sqrt(vx * vx + vy * vy + vz * vz);
  dx = vx / length;
  dy = vy / length;
  dz = vz / length;
}

void CVisWorld::Reset() {
  yaw = PI * 1.55;
  pitch = 0.8722222222222222;
  // Centred across the board and a little toward the camera, which looks north.
  lookAt.x = (world->width - 1) * 0.5;
  lookAt.y = (world->height - 1) * 0.5 - world->width * 0.15;
  UpdateCamera();
  aimVisible = false;
  LoadTextures();
  fringeTufts.clear();
  // Fifty tufts anywhere around the board, thirty more on it.
  ScatterTufts(50, world->width + 20, world->height + 20, 10);
  ScatterTufts(30, world->width, world->height, 0.5);
  blobImages.Load();
  blobContext.blobScale = 0.35;
  blobContext.blobImageSet = &blobImages;
  fireClock = 0;
  RegisterParticleKinds();
}

std::vector<std::string> CVisWorld::FirstFrameImages() {
  return {DIRT_WALL_IMAGE,  GRASS_IMAGE,      FENCE_IMAGE,
          FRINGE_IMAGES[0], FRINGE_IMAGES[1], FRINGE_IMAGES[2]};
}

// What a new board shows at once is read now; the rest, needed only once holes,
// flowers and the sling appear, is read while the first frames are up.
void CVisWorld::LoadTextures() {
  dirtWallTexture.Load(DIRT_WALL_IMAGE, true, false, -1);
  grassTexture.Load(GRASS_IMAGE, true, true, -1);
  grassEdgeTexture.LoadLater("graphics\\grassedge.png", true, false, 2);
  fenceTexture.Load(FENCE_IMAGE, true, false, 1);
  flowerTexture.LoadLater("graphics\\flower.png", false, false, 2);
  dotTexture.LoadLater("graphics\\dot.png", false, false, 2);
  targetTexture.LoadLater("graphics\\target.png", false, false, 2);
  targetOffTexture.LoadLater("graphics\\targetoff.png", false, false, 2);
  cracksTexture.LoadLater("graphics\\cracks.png", false, false, 1);
  for (int i = 0; i < 3; ++i) fringeTextures[i].Load(FRINGE_IMAGES[i], false, false, 1);
}

// Tufts never grow over a hole. A board that is nothing but holes would never
// yield enough points, so the search gives up after a generous number of tries.
void CVisWorld::ScatterTufts(int count, double extentX, double extentY, double offset) {
  constexpr int TRIES_PER_TUFT = 100;
  int placed = 0;
  for (int tries = 0; placed < count && tries < count * TRIES_PER_TUFT; ++tries) {
    double x = Rand() * extentX / RAND_LIMIT - offset;
    double y = Rand() * extentY / RAND_LIMIT - offset;
    // Truncated toward zero, so a point up to 1.5 cells below the board's low
    // edges still reads the first column or row.
    int column = static_cast<int>(x + 0.5);
    int row = static_cast<int>(y + 0.5);
    if (world->CellAt(column, row) == CELL_HOLE) continue;
    FringeTuft tuft;
    tuft.x = x;
    tuft.y = y;
    tuft.variant = placed % 3;
    tuft.scale = 1.0;
    fringeTufts.push_back(tuft);
    ++placed;
  }
}

void CVisWorld::RegisterParticleKinds() {
  // Flames rise at up to 10 / 1.5 units a second and live 1.3 seconds, so fire
  // born deep in a hole burns out before it reaches the rim.
  ParticleKind fire;
  fire.id = FIRE_KIND;
  fire.drag = 1.5;
  fire.acceleration[2] = 10;
  fire.lifetime = 1.3;
  char path[64];
  for (int i = 0; i < 4; ++i) {
    CTexture image;
    std::snprintf(path, sizeof(path), "graphics\\particles\\fire%d.png", i);
    image.LoadLater(path, false, false, -1);
    fire.textures.push_back(image);
  }
  particles.Register(fire);

  ParticleKind smoke;
  smoke.id = SMOKE_KIND;
  smoke.drag = 0.6;
  smoke.acceleration[2] = 1;
  smoke.lifetime = 5.0;
  smoke.textures = fire.textures;
  CTexture image;
  image.LoadLater("graphics\\particles\\smoke.png", false, false, -1);
  smoke.textures.push_back(image);
  particles.Register(smoke);
}
