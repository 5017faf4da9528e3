// jq_art: draws every image the game loads, plus the desktop icons.
//
//   jq_art OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/graphics/... (the 46 images the game loads) and
// OUTPUT_FOLDER/icons/jellyquake-{48,128,256}.png, and the touch screen's own
// pictures for the browser under OUTPUT_FOLDER/touch/graphics/. Every side is a power of two
// so the texture loader never has to rescale.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/art/blob_art.h"
#include "tools/art/board_art.h"
#include "tools/art/canvas.h"
#include "tools/art/effect_art.h"
#include "tools/art/icon_art.h"
#include "tools/art/interface_art.h"

namespace {

struct ArtFile {
  std::string path;  // relative to the output folder
  int width;
  int height;
  bool alpha;  // RGBA, or opaque RGB
  std::function<void(CCanvas&)> paint;
};

std::vector<ArtFile> GameImages() {
  std::vector<ArtFile> files = {
      {"graphics/interface/title.png", 1024, 512, true, PaintTitle},
      {"graphics/interface/complete.png", 512, 128, true, PaintComplete},
      {"graphics/interface/moraletext.png", 512, 128, true, PaintMoraleText},
      {"graphics/interface/blobstext.png", 512, 128, true, PaintBlobsText},
      {"graphics/interface/scoretext.png", 512, 128, true, PaintScoreText},
      {"graphics/interface/besttext.png", 512, 128, true, PaintBestText},
      {"graphics/interface/newbest.png", 512, 128, true, PaintNewBest},
      {"graphics/interface/nextgame.png", 512, 128, true, PaintNextGame},
      {"graphics/interface/paused.png", 1024, 256, true, PaintPaused},
      {"graphics/interface/moralebarborder.png", 128, 128, true, PaintMoraleBarBorder},
      {"graphics/interface/moralebar.png", 128, 128, true, PaintMoraleBar},
      {"graphics/interface/digits.png", 512, 64, true, PaintDigits},
      {"graphics/interface/hand.png", 128, 128, true, PaintHand},
      {"graphics/interface/muted.png", 64, 64, true, PaintMuted},
      {"graphics/grass.png", 256, 256, false, PaintGrass},
      {"graphics/dirtwall.png", 128, 512, false, PaintDirtWall},
      {"graphics/grassedge.png", 256, 64, true, PaintGrassEdge},
      {"graphics/fence.png", 256, 128, true, PaintFence},
      {"graphics/flower.png", 128, 128, true, PaintFlower},
      {"graphics/dot.png", 64, 64, true, PaintAimDot},
      {"graphics/target.png", 64, 64, true, PaintTarget},
      {"graphics/targetoff.png", 64, 64, true, PaintTargetOff},
      {"graphics/cracks.png", 256, 256, true, PaintCracks},
      {"graphics/particles/smoke.png", 64, 64, true, PaintSmoke},
      {"graphics/blob/bg.png", 256, 256, true, PaintBlobBody},
      {"graphics/blob/outline.png", 256, 256, true, PaintBlobOutline},
      {"graphics/blob/eyedot.png", 32, 32, true, PaintEyeDot},
      {"graphics/blob/eyebrow.png", 64, 64, true, PaintEyebrow},
  };
  constexpr int kTufts = 3, kFires = 4, kMouths = 7, kEyes = 4;
  for (int i = 0; i < kTufts; ++i) {
    files.push_back({"graphics/grassFringe" + std::to_string(i) + ".png", 128, 64, true,
                     [i](CCanvas& c) { PaintGrassTuft(c, i); }});
  }
  for (int i = 0; i < kFires; ++i) {
    files.push_back({"graphics/particles/fire" + std::to_string(i) + ".png", 64, 64, true,
                     [i](CCanvas& c) { PaintFire(c, i); }});
  }
  for (int i = 0; i < kMouths; ++i) {
    files.push_back({"graphics/blob/mouth" + std::to_string(i) + ".png", 128, 128, true,
                     [i](CCanvas& c) { PaintMouth(c, static_cast<Mouth>(i)); }});
  }
  for (int i = 0; i < kEyes; ++i) {
    files.push_back({"graphics/blob/eye" + std::to_string(i) + ".png", 128, 128, true,
                     [i](CCanvas& c) { PaintEye(c, static_cast<Eye>(i)); }});
  }
  return files;
}

// Only the browser has touch screens to show them on; they stay out of graphics/,
// which the desktop packages install as it is.
std::vector<ArtFile> TouchImages() {
  return {
      {"touch/graphics/interface/titletouch.png", 1024, 512, true, PaintTouchTitle},
      {"touch/graphics/interface/nextgametouch.png", 512, 128, true, PaintTouchNextGame},
      {"touch/graphics/interface/pausedtouch.png", 1024, 256, true, PaintTouchPaused},
  };
}

std::vector<ArtFile> DesktopIcons() {
  std::vector<ArtFile> files;
  for (int size : {48, 128, 256}) {
    files.push_back(
        {"icons/jellyquake-" + std::to_string(size) + ".png", size, size, true, PaintIcon});
  }
  return files;
}

bool Draw(const ArtFile& file, const std::string& folder) {
  CCanvas canvas(file.width, file.height);
  file.paint(canvas);
  if (canvas.Save(folder + "/" + file.path, file.alpha)) return true;
  std::fprintf(stderr, "jq_art: cannot write %s/%s\n", folder.c_str(), file.path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: jq_art OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  bool ok = true;
  for (const ArtFile& file : GameImages()) ok = Draw(file, folder) && ok;
  for (const ArtFile& file : TouchImages()) ok = Draw(file, folder) && ok;
  for (const ArtFile& file : DesktopIcons()) ok = Draw(file, folder) && ok;
  return ok ? 0 : 1;
}
