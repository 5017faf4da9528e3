#pragma once

#include <string>
#include <vector>

#include "base/render_vertex.h"
#include "game/board.h"
#include "render/texture.h"
#include "view/blob_image_set.h"
#include "view/particle_system.h"
#include "view/scene_part.h"

class CRenderer;
class CWorld;

// A decorative tuft of grass on the ground.
struct FringeTuft {
  double x = 0, y = 0;
  int variant = 0;  // which of the three fringe images it shows
  double scale = 1.0;
};

// The view-side companion of the game world: the camera orbiting a point on the
// board, the board and effect images, grass tufts, the fire in the holes and the
// blob images. It keeps no copy of the game: it reads the world whenever it
// updates or draws, so every change shows in the next frame.
class CVisWorld {
 public:
  explicit CVisWorld(CWorld* world);

  // A new game: camera, images, tufts, particle kinds and the blob drawing context.
  void Reset();
  // The images Reset reads at once.
  static std::vector<std::string> FirstFrameImages();
  // Moves the fire and feeds new flames into every open hole.
  void Update(double dt);
  // One frame of the scene; the caller has set the projection and cleared.
  void Draw(CRenderer& r);

  // dx, dy: the pointer's travel since the drag began, in window widths.
  void Rotate(double dx, double dy);
  // Slides the look-at point, never past the board's edge cells.
  void Pan(double dx, double dy);
  // The eye and the unit direction from it to the look-at point.
  void GetViewRay(double& x, double& y, double& z, double& dx, double& dy, double& dz) const;
  void UpdateCamera();
  // Tells the part listener, if any, that the drawing moves on to part.
  void NotePart(ScenePart part) const {
    if (partListener) partListener->BeginPart(part);
  }

  CWorld* world;
  CBlobImageSet blobImages;
  CParticleSystem particles;
  double yaw = 0;
  double pitch = 0;
  double dragStartYaw = 0;
  double dragStartPitch = 0;
  bool aimVisible = false;
  bool targetValid = false;
  BoardPoint aimOrigin;
  double aimAngle = 0;
  double aimDistance = 0;
  bool blobsVisible = false;
  RenderVertex eye;
  BoardPoint lookAt;
  double fireClock = 0;
  CTexture dirtWallTexture;
  CTexture grassTexture;
  CTexture grassEdgeTexture;
  CTexture fenceTexture;
  CTexture fringeTextures[3];
  CTexture flowerTexture;
  CTexture dotTexture;
  CTexture targetTexture;
  CTexture targetOffTexture;
  CTexture cracksTexture;
  std::vector<FringeTuft> fringeTufts;
  CScenePartListener* partListener = nullptr;  // none in the game

 private:
  void LoadTextures();
  void ScatterTufts(int count, double extentX, double extentY, double offset);
  void RegisterParticleKinds();
  void SpawnFire(double dt);
};
