// Plays the real game as a person would: the jellyquake binary in a virtual X
// server with its generated images, the pointer and keys driven by xdotool, and
// every check made on screenshots read back pixel by pixel.
//
//   e2e_player_test <game binary> <folder holding graphics/> <folder for shots>
//   e2e_player_test <game binary> <folder holding graphics/> --screenshot <file.png>
//
// The second form plays for a while and saves one picture of a game in
// progress, with a blob held in the sling.

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "render/texture.h"
#include "tests/ui/e2e_screen.h"

using namespace e2e;

namespace {

// How the heads-up display sits in a window of a given size. The running
// display measures in half window widths from the top-left corner; the title
// and end displays are centred.
struct Layout {
  int w, h;
  double unit() const { return w / 2.0; }
  Rect MoraleLabel() const { return {px(0.03), px(0.03), px(0.31), px(0.1)}; }
  Rect BlobCount() const { return {px(1.325), px(0.03), px(1.325 + 2 * 0.0392), px(0.1)}; }
  // Below the running display's strip: where the board is seen.
  Rect Play() const { return {0, px(0.12), w, h}; }
  Rect TitleBand() const { return {0, h / 2 - w / 4, w, h / 2 + w / 4}; }
  Rect Complete() const { return {w / 4, h / 2 - w / 8, 3 * w / 4, h / 2}; }
  // The i-th glyph of the final score, right of the centre line.
  Rect FinalGlyph(int i) const {
    const double left = w / 2.0 + i * 0.035 * w;
    return {static_cast<int>(left + 0.004 * w), h / 2 + px(0.05),
            static_cast<int>(left + 0.031 * w), h / 2 + px(0.175)};
  }
  int px(double units) const { return static_cast<int>(std::lround(units * unit())); }
};

class CReport {
 public:
  explicit CReport(std::string shots) : shots(std::move(shots)) {}

  bool Check(bool ok, const char* what) {
    std::printf("%s  %s\n", ok ? "ok  " : "FAIL", what);
    std::fflush(stdout);
    if (!ok) ++failures;
    return ok;
  }
  void Note(const char* name, double value) {
    std::printf("      %s = %.4f\n", name, value);
    std::fflush(stdout);
  }
  void Save(const Image& image, const char* name) {
    if (!shots.empty() && !image.Empty()) SavePng(image, shots + "/" + name + ".png");
  }
  int Failures() const { return failures; }

 private:
  std::string shots;
  int failures = 0;
};

bool IsTitle(const Image& shot, const Layout& layout) {
  return Share(shot, layout.TitleBand(), IsLettering) > 0.02;
}

bool IsRunningDisplay(const Image& shot, const Layout& layout) {
  return Share(shot, layout.MoraleLabel(), IsInk) > 0.05;
}

// The title has lettering there too, across a wider band.
bool IsComplete(const Image& shot, const Layout& layout) {
  return Share(shot, layout.Complete(), IsLettering) > 0.025 && !IsTitle(shot, layout);
}

// Waits until a screenshot passes a test; the last shot is left in `shot`.
template <class Test>
bool WaitFor(CGameWindow& game, double seconds, Image& shot, Test test) {
  const double deadline = Now() + seconds;
  do {
    shot = game.Capture();
    if (!shot.Empty() && test(shot)) return true;
    Sleep(0.25);
  } while (Now() < deadline && game.Alive());
  return false;
}

// The ink of a rectangle as a mask, for comparing what two shots show there.
std::vector<bool> InkMask(const Image& shot, Rect r) {
  std::vector<bool> mask;
  for (int y = r.y0; y < r.y1; ++y)
    for (int x = r.x0; x < r.x1; ++x) mask.push_back(IsInk(shot.At(x, y)));
  return mask;
}

double MaskOverlap(const std::vector<bool>& a, const std::vector<bool>& b) {
  int both = 0, either = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    both += a[i] && b[i];
    either += a[i] || b[i];
  }
  return either > 0 ? static_cast<double>(both) / either : 0;
}

Rect Around(double x, double y, double radius) {
  return {static_cast<int>(x - radius), static_cast<int>(y - radius),
          static_cast<int>(x + radius) + 1, static_cast<int>(y + radius) + 1};
}

// Where a sling's marker newly shows between two shots: the centroid and count
// of the pixels of the class that were not there before, looked for only where
// the blob can land: away from the pull, within a few radii of the blob.
Patch NewMarkerPixels(const Image& before, const Image& after, const Layout& layout, double bx,
                      double by, double pullX, double pullY, double radius, ColourClass test) {
  Patch patch;
  double sumX = 0, sumY = 0;
  const Rect play = layout.Play();
  for (int y = std::max(play.y0, 0); y < std::min(play.y1, after.height); ++y)
    for (int x = std::max(play.x0, 0); x < std::min(play.x1, after.width); ++x) {
      const double dx = x - bx, dy = y - by;
      const double distance = std::hypot(dx, dy);
      if (distance < 0.7 * radius || distance > 7 * radius) continue;
      // Within about 40 degrees of straight away from the pull.
      if (-(dx * pullX + dy * pullY) < 0.75 * distance) continue;
      if (test(after.At(x, y)) && !test(before.At(x, y))) {
        sumX += x;
        sumY += y;
        ++patch.area;
      }
    }
  if (patch.area > 0) {
    patch.x = sumX / patch.area;
    patch.y = sumY / patch.area;
  }
  return patch;
}

std::vector<Patch> BlobsOnScreen(const Image& shot, const Layout& layout) {
  // A blob is some forty pixels across here; its eyes and mouth are not blue.
  const int minArea = std::max(60, layout.w * layout.h / 2500);
  std::vector<Patch> blobs = FindPatches(shot, layout.Play(), IsBlobBlue, minArea);
  const double cx = layout.w / 2.0, cy = layout.h / 2.0;
  std::sort(blobs.begin(), blobs.end(), [&](const Patch& a, const Patch& b) {
    return std::hypot(a.x - cx, a.y - cy) < std::hypot(b.x - cx, b.y - cy);
  });
  return blobs;
}

struct Sling {
  bool held = false;            // a marker appeared: the blob is in the hand
  bool free = false;            // and its landing spot is free
  Patch blob;                   // where the blob was
  Patch marker;                 // where the free marker showed
  double pullX = 0, pullY = 0;  // the pull's direction on screen
  double radius = 0;            // the blob's radius on screen, pixels
  Image untouched;              // before the pointer went near the blob
  Image aiming;                 // while the sling is pulled
};

// Grabs a blob near the centre and pulls the sling this way and that until the
// marker shows a free landing spot; the button stays down.
Sling GrabAndAim(CGameWindow& game, const Layout& layout, int candidates) {
  Sling sling;
  for (int attempt = 0; attempt < candidates && game.Alive(); ++attempt) {
    sling.untouched = game.Capture();
    const std::vector<Patch> blobs = BlobsOnScreen(sling.untouched, layout);
    if (attempt >= static_cast<int>(blobs.size())) break;
    sling.blob = blobs[attempt];
    sling.radius = std::sqrt(sling.blob.area / 3.14159) * 1.15;
    game.MoveTo(sling.blob.x + 6, sling.blob.y + 4);
    Sleep(0.05);
    game.MoveTo(sling.blob.x, sling.blob.y);
    Sleep(0.2);
    const Image hovered = game.Capture();
    game.Press(1);
    Sleep(0.1);
    double x = sling.blob.x, y = sling.blob.y;
    sling.held = false;
    // Down the screen first, then round the compass.
    for (int turn = 0; turn < 8; ++turn) {
      const double angle = 3.14159265 / 2 + turn * 3.14159265 / 4;
      sling.pullX = std::cos(angle);
      sling.pullY = std::sin(angle);
      const double toX = sling.blob.x + sling.pullX * 2 * sling.radius;
      const double toY = sling.blob.y + sling.pullY * 2 * sling.radius;
      game.Glide(x, y, toX, toY, 5, 0.03);
      x = toX;
      y = toY;
      Sleep(0.3);
      sling.aiming = game.Capture();
      const Patch good = NewMarkerPixels(hovered, sling.aiming, layout, sling.blob.x, sling.blob.y,
                                         sling.pullX, sling.pullY, sling.radius, IsMarkerGood);
      const Patch bad = NewMarkerPixels(hovered, sling.aiming, layout, sling.blob.x, sling.blob.y,
                                        sling.pullX, sling.pullY, sling.radius, IsMarkerBad);
      if (good.area > 25) {
        sling.held = sling.free = true;
        sling.marker = good;
        return sling;
      }
      sling.held = sling.held || bad.area > 25;
    }
    game.Release(1);
    Sleep(0.4);
  }
  sling.free = false;
  return sling;
}

void ThrowABlob(CGameWindow& game, const Layout& layout, CReport& report) {
  Sling sling = GrabAndAim(game, layout, 6);
  report.Save(sling.aiming, "03-aiming");
  if (!report.Check(sling.held && sling.free,
                    "a blob is grabbed and the marker shows a free spot")) {
    return;
  }
  report.Note("marker pixels", sling.marker.area);
  report.Note(
      "marker distance from the blob, radii",
      std::hypot(sling.marker.x - sling.blob.x, sling.marker.y - sling.blob.y) / sling.radius);
  game.Release(1);
  // The hop takes about a second; a busy machine may stretch it, and a frightened
  // blob may hop on soon after landing, so watch for the landing over a few seconds.
  const Rect oldSpot = Around(sling.blob.x, sling.blob.y, sling.radius * 0.4);
  // The blob stands on the marker's spot, its centre a little above it.
  const Rect newSpot = Around(sling.marker.x, sling.marker.y - 0.5 * sling.radius, sling.radius);
  const double before = Share(sling.untouched, oldSpot, IsBlobBlue);
  double after = 1, arrived = 0;
  Image landed;
  Sleep(0.8);
  for (int look = 0; look < 16 && !(after < 0.3 && arrived > 0.4); ++look) {
    Sleep(0.2);
    landed = game.Capture();
    after = Share(landed, oldSpot, IsBlobBlue);
    arrived = Share(landed, newSpot, IsBlobBlue);
  }
  report.Save(landed, "04-landed");
  report.Note("blob share at the old spot before", before);
  report.Note("blob share at the old spot after", after);
  report.Check(before > 0.5 && after < 0.3, "the blob has left its spot");
  report.Note("blob share where the marker was", arrived);
  report.Check(arrived > 0.4, "the blob has landed where the marker was");
}

void Orbit(CGameWindow& game, const Layout& layout, CReport& report) {
  const double cx = layout.w / 2.0, cy = layout.h / 2.0;
  game.MoveTo(cx, cy);
  Sleep(0.2);
  const Image before = game.Capture();
  game.Press(3);
  Sleep(0.05);
  game.Glide(cx, cy, cx + 0.12 * layout.w, cy - 0.05 * layout.h, 8, 0.04);
  game.Release(3);
  Sleep(0.3);
  const Image after = game.Capture();
  report.Save(after, "05-orbited");
  const double changed = ChangedShare(before, after, layout.Play(), 40);
  report.Note("share of the view changed by the orbit", changed);
  report.Check(changed > 0.3, "a right drag orbits the camera");
}

void Pan(CGameWindow& game, const Layout& layout, CReport& report) {
  game.MoveTo(layout.w / 2.0, layout.h / 2.0);  // keys go to the window under the pointer
  Sleep(0.2);
  const Image before = game.Capture();
  game.KeyDown("Left");
  Sleep(0.4);
  game.KeyUp("Left");
  Sleep(0.3);
  const Image after = game.Capture();
  report.Save(after, "06-panned");
  const double changed = ChangedShare(before, after, layout.Play(), 40);
  report.Note("share of the view changed by the arrow key", changed);
  report.Check(changed > 0.2, "an arrow key slides the camera");
}

// Clicks, drags and keys at random, some of them ending outside the window.
void Burst(CGameWindow& game, const Layout& layout, double seconds, unsigned seed,
           CReport& report) {
  std::mt19937 random(seed);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  auto anywhere = [&](double margin) {
    return std::make_pair(uniform(-margin, layout.w + margin), uniform(-margin, layout.h + margin));
  };
  const char* keys[] = {"Left", "Right", "Up", "Down", "a", "space", "F1", "Home", "Return"};
  const double end = Now() + seconds;
  int actions = 0;
  bool alive = true;
  while (Now() < end && (alive = game.Alive())) {
    const int kind = std::uniform_int_distribution<int>(0, 9)(random);
    auto [x, y] = anywhere(0);
    if (kind <= 2) {
      game.MoveTo(x, y);
    } else if (kind == 3) {
      game.MoveTo(x, y);
      game.Click(1);
    } else if (kind <= 5) {
      const int button = kind == 4 ? 1 : 3;
      auto [toX, toY] = anywhere(40);
      game.MoveTo(x, y);
      game.Press(button);
      game.Glide(x, y, toX, toY, 4, 0.02);
      game.Release(button);
    } else if (kind == 6) {
      game.MoveTo(x, y);
      game.Click(2);
    } else {
      const char* key = keys[std::uniform_int_distribution<int>(0, 8)(random)];
      game.KeyDown(key);
      Sleep(uniform(0.01, 0.2));
      game.KeyUp(key);
    }
    ++actions;
    Sleep(uniform(0.0, 0.06));
  }
  game.Release(1);
  game.Release(3);
  report.Note("random actions", actions);
  report.Check(alive && game.Alive(), "the game survives a burst of random input");
}

int Play(const std::string& binary, const std::string& folder, const std::string& shots) {
  std::error_code ignored;
  std::filesystem::create_directories(shots, ignored);
  CReport report(shots);
  CGameWindow game;
  if (!report.Check(game.Launch(binary, folder, 30), "the game opens its window")) {
    std::printf("      %s\n", game.Problem().c_str());
    return 1;
  }
  const Layout layout{game.Width(), game.Height()};
  std::printf("      window %d x %d\n", layout.w, layout.h);

  Image shot;
  const bool title = WaitFor(game, 10, shot, [&](const Image& s) { return IsTitle(s, layout); });
  report.Save(shot, "01-title");
  report.Note("title lettering share", Share(shot, layout.TitleBand(), IsLettering));
  if (!report.Check(title, "the title is shown")) return 1;

  game.MoveTo(layout.w / 2.0, layout.h / 2.0);
  game.Click(1);
  const double started = Now();
  const bool running = WaitFor(game, 5, shot, [&](const Image& s) {
    return !IsTitle(s, layout) && IsRunningDisplay(s, layout);
  });
  report.Save(shot, "02-playing");
  if (!report.Check(running, "a click takes the title away and the game runs")) return 1;
  const std::vector<bool> fullCount = InkMask(shot, layout.BlobCount());
  report.Note("blobs seen on screen", BlobsOnScreen(shot, layout).size());

  ThrowABlob(game, layout, report);
  Orbit(game, layout, report);
  Pan(game, layout, report);

  const unsigned seed = std::getenv("E2E_SEED") ? std::atoi(std::getenv("E2E_SEED")) : 20240;
  report.Note("random seed", seed);
  Burst(game, layout, 30, seed, report);
  report.Save(game.Capture(), "07-after-burst");

  // The game lasts 90 seconds from the click on the title.
  const double left = started + 90 - Now();
  report.Note("seconds of the game left to wait", left);
  if (left > 3) Sleep(left - 3);
  const bool over = WaitFor(game, 20, shot, [&](const Image& s) { return IsComplete(s, layout); });
  const double endSeen = Now();
  report.Save(shot, "08-complete");
  report.Note("game length seen", endSeen - started);
  if (!report.Check(over, "the completion image shows when the clock runs out")) return 1;
  report.Check(!IsRunningDisplay(shot, layout), "the running display is gone");
  int glyphs = 0;
  while (glyphs < 8 && Share(shot, layout.FinalGlyph(glyphs), IsInk) > 0.1) ++glyphs;
  report.Note("final score glyphs", glyphs);
  report.Check(glyphs >= 2, "a final score is shown");

  Sleep(1.0);  // clicks count from 0.75 s after the end
  game.MoveTo(layout.w / 2.0, layout.h / 2.0);
  game.Click(1);
  const bool again = WaitFor(game, 5, shot, [&](const Image& s) {
    return IsRunningDisplay(s, layout) && !IsComplete(s, layout);
  });
  report.Save(shot, "09-new-game");
  report.Check(again, "a click after the end starts a new game");
  const double same = MaskOverlap(fullCount, InkMask(shot, layout.BlobCount()));
  report.Note("blob count glyphs like the first game's start", same);
  report.Check(same > 0.7, "the new game has the full blob count");
  report.Check(game.Stop(), "the game is still running at the end");
  std::printf("%s: %d check(s) failed\n", report.Failures() ? "FAILED" : "PASSED",
              report.Failures());
  return report.Failures() ? 1 : 0;
}

// A picture of a game in progress: some holes have opened, a blob is held in
// the sling with its marker showing.
int TakeScreenshot(const std::string& binary, const std::string& folder, const std::string& file) {
  CReport report("");
  CGameWindow game;
  if (!report.Check(game.Launch(binary, folder, 30), "the game opens its window")) return 1;
  const Layout layout{game.Width(), game.Height()};
  Image shot;
  WaitFor(game, 10, shot, [&](const Image& s) { return IsTitle(s, layout); });
  game.MoveTo(layout.w / 2.0, layout.h / 2.0);
  game.Click(1);
  Sleep(24);
  Sling sling = GrabAndAim(game, layout, 8);
  shot = sling.held ? sling.aiming : game.Capture();
  game.Release(1);
  report.Check(sling.free, "a blob is held in the sling");
  return report.Check(SavePng(shot, file), "the picture is saved") ? 0 : 1;
}

}  // namespace

// Prints what the detectors make of a saved screenshot, to tune them.
int Measure(const std::string& file) {
  DecodedImage decoded;
  if (!LoadPngImage(file.c_str(), decoded)) return 1;
  Image shot;
  shot.width = decoded.width;
  shot.height = decoded.height;
  const int channels = decoded.format == GL_RGBA ? 4 : 3;
  for (int y = decoded.height - 1; y >= 0; --y)
    for (int x = 0; x < decoded.width; ++x)
      for (int c = 0; c < 3; ++c)
        shot.rgb.push_back(
            decoded.pixels[(static_cast<size_t>(y) * decoded.width + x) * channels + c]);
  const Layout layout{shot.width, shot.height};
  std::printf("title lettering %.4f\n", Share(shot, layout.TitleBand(), IsLettering));
  std::printf("complete lettering %.4f\n", Share(shot, layout.Complete(), IsLettering));
  std::printf("morale label ink %.4f\n", Share(shot, layout.MoraleLabel(), IsInk));
  for (int i = 0; i < 7; ++i)
    std::printf("final glyph %d ink %.4f\n", i, Share(shot, layout.FinalGlyph(i), IsInk));
  for (const Patch& blob : BlobsOnScreen(shot, layout))
    std::printf("blob at %.0f %.0f, %d pixels\n", blob.x, blob.y, blob.area);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--measure") return Measure(argv[2]);
  if (argc == 5 && std::string(argv[3]) == "--screenshot") {
    return TakeScreenshot(argv[1], argv[2], argv[4]);
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <game> <folder with graphics> <folder for shots>\n", argv[0]);
    return 2;
  }
  return Play(argv[1], argv[2], argv[3]);
}
