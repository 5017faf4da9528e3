#pragma once

// What a player sees and does, for the end-to-end tests: the game's window on
// the X display, read back pixel by pixel, and the pointer and keyboard driven
// through xdotool.

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

// A screenshot of the game window, rows top-down, 3 bytes a pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;

  const unsigned char* At(int x, int y) const {
    return &rgb[(static_cast<size_t>(y) * width + x) * 3];
  }
  bool Empty() const { return rgb.empty(); }
};

// A rectangle of window pixels, [x0, x1) x [y0, y1).
struct Rect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Colour classes of the game's pictures.
bool IsBlobBlue(const unsigned char* p);    // a blob's jelly and outline
bool IsLettering(const unsigned char* p);   // orange-yellow title and end lettering
bool IsInk(const unsigned char* p);         // the dark outlines of every interface image
bool IsMarkerGood(const unsigned char* p);  // the yellow ring of a free landing spot
bool IsMarkerBad(const unsigned char* p);   // the red cross of a blocked one

using ColourClass = bool (*)(const unsigned char*);

int Count(const Image& image, Rect r, ColourClass test);
double Share(const Image& image, Rect r, ColourClass test);
// Share of pixels that differ by more than `threshold` in some channel.
double ChangedShare(const Image& a, const Image& b, Rect r, int threshold);

// A connected patch of one colour class.
struct Patch {
  double x = 0, y = 0;  // centroid
  int area = 0;
};
std::vector<Patch> FindPatches(const Image& image, Rect r, ColourClass test, int minArea);

bool SavePng(const Image& image, const std::string& path);

// The game process and its window.
class CGameWindow {
 public:
  CGameWindow();
  ~CGameWindow();
  CGameWindow(const CGameWindow&) = delete;
  CGameWindow& operator=(const CGameWindow&) = delete;

  // Starts the game binary in `folder` (which holds graphics/) and waits up to
  // `seconds` for its window to show a frame.
  bool Launch(const std::string& binary, const std::string& folder, double seconds);
  // True while the game process runs.
  bool Alive();
  // Ends the game; true if it was still running until then.
  bool Stop();

  Image Capture();
  int Width() const { return width; }
  int Height() const { return height; }
  Rect Whole() const { return {0, 0, width, height}; }

  // Input, in window pixels from the top-left corner.
  void MoveTo(double x, double y);
  // Moves in small steps, so the game sees the motion.
  void Glide(double x0, double y0, double x1, double y1, int steps, double secondsPerStep);
  void Press(int button);
  void Release(int button);
  void Click(int button);
  void KeyDown(const char* key);
  void KeyUp(const char* key);

  const std::string& Problem() const { return problem; }

 private:
  bool FindWindow();
  void Xdo(const std::string& arguments);

  Display* display = nullptr;
  Window window = 0;
  pid_t pid = -1;
  int width = 0, height = 0;
  int originX = 0, originY = 0;
  std::string problem;
};

void Sleep(double seconds);
double Now();

}  // namespace e2e
