#include "tests/ui/e2e_screen.h"

#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/render/png_writer.h"

namespace e2e {

namespace {
int Max3(const unsigned char* p) {
  return std::max({p[0], p[1], p[2]});
}

// The lowest set bit of a channel mask, to decode any true-colour layout.
int MaskShift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

unsigned char Channel(unsigned long pixel, unsigned long mask) {
  const unsigned long value = (pixel & mask) >> MaskShift(mask);
  const unsigned long top = mask >> MaskShift(mask);
  return static_cast<unsigned char>(top == 0 ? 0 : value * 255 / top);
}

Rect Clip(const Image& image, Rect r) {
  r.x0 = std::max(r.x0, 0);
  r.y0 = std::max(r.y0, 0);
  r.x1 = std::min(r.x1, image.width);
  r.y1 = std::min(r.y1, image.height);
  return r;
}
}  // namespace

// Jelly is blue well above its red; grass, fence, fire and interface never are.
bool IsBlobBlue(const unsigned char* p) {
  return p[2] > 100 && p[2] - p[0] > 45;
}

bool IsLettering(const unsigned char* p) {
  return p[0] > 200 && p[1] > 80 && p[1] < 225 && p[2] < 110 && p[0] - p[2] > 140;
}

bool IsInk(const unsigned char* p) {
  return Max3(p) < 70;
}

bool IsMarkerGood(const unsigned char* p) {
  return p[0] > 200 && p[1] > 130 && p[2] < 150 && p[0] - p[2] > 100;
}

bool IsMarkerBad(const unsigned char* p) {
  return p[0] > 170 && p[1] < 100 && p[2] < 100;
}

int Count(const Image& image, Rect r, ColourClass test) {
  r = Clip(image, r);
  int count = 0;
  for (int y = r.y0; y < r.y1; ++y)
    for (int x = r.x0; x < r.x1; ++x) count += test(image.At(x, y)) ? 1 : 0;
  return count;
}

double Share(const Image& image, Rect r, ColourClass test) {
  r = Clip(image, r);
  const double area = static_cast<double>(r.x1 - r.x0) * (r.y1 - r.y0);
  return area > 0 ? Count(image, r, test) / area : 0;
}

double ChangedShare(const Image& a, const Image& b, Rect r, int threshold) {
  if (a.width != b.width || a.height != b.height) return 1;
  r = Clip(a, r);
  int changed = 0;
  for (int y = r.y0; y < r.y1; ++y)
    for (int x = r.x0; x < r.x1; ++x) {
      const unsigned char* p = a.At(x, y);
      const unsigned char* q = b.At(x, y);
      for (int c = 0; c < 3; ++c) {
        if (std::abs(p[c] - q[c]) > threshold) {
          ++changed;
          break;
        }
      }
    }
  const double area = static_cast<double>(r.x1 - r.x0) * (r.y1 - r.y0);
  return area > 0 ? changed / area : 0;
}

std::vector<Patch> FindPatches(const Image& image, Rect r, ColourClass test, int minArea) {
  r = Clip(image, r);
  const int w = r.x1 - r.x0;
  const int h = r.y1 - r.y0;
  std::vector<Patch> patches;
  if (w <= 0 || h <= 0) return patches;
  std::vector<char> seen(static_cast<size_t>(w) * h, 0);
  std::vector<int> stack;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t start = static_cast<size_t>(y) * w + x;
      if (seen[start] || !test(image.At(r.x0 + x, r.y0 + y))) continue;
      seen[start] = 1;
      stack.assign(1, static_cast<int>(start));
      double sumX = 0, sumY = 0;
      int area = 0;
      while (!stack.empty()) {
        const int at = stack.back();
        stack.pop_back();
        const int px = at % w, py = at / w;
        sumX += px;
        sumY += py;
        ++area;
        const int next[4][2] = {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}};
        for (const auto& n : next) {
          if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
          const size_t index = static_cast<size_t>(n[1]) * w + n[0];
          if (seen[index] || !test(image.At(r.x0 + n[0], r.y0 + n[1]))) continue;
          seen[index] = 1;
          stack.push_back(static_cast<int>(index));
        }
      }
      if (area >= minArea) patches.push_back({r.x0 + sumX / area, r.y0 + sumY / area, area});
    }
  return patches;
}

bool SavePng(const Image& image, const std::string& path) {
  std::vector<std::vector<unsigned char>> rows(image.height);
  for (int y = 0; y < image.height; ++y) {
    rows[y].resize(static_cast<size_t>(image.width) * 4);
    for (int x = 0; x < image.width; ++x) {
      std::memcpy(&rows[y][static_cast<size_t>(x) * 4], image.At(x, y), 3);
      rows[y][static_cast<size_t>(x) * 4 + 3] = 255;
    }
  }
  return WriteRgbaPng(path, image.width, image.height, rows);
}

void Sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

CGameWindow::CGameWindow() {
  display = XOpenDisplay(nullptr);
}

CGameWindow::~CGameWindow() {
  Stop();
  if (display) XCloseDisplay(display);
}

bool CGameWindow::Launch(const std::string& binary, const std::string& folder, double seconds) {
  if (!display) {
    problem = "no X display";
    return false;
  }
  pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) {
    problem = "fork failed";
    return false;
  }
  const double deadline = Now() + seconds;
  while (Now() < deadline) {
    if (!Alive()) {
      problem = "the game ended before its window showed";
      return false;
    }
    if (window == 0 && FindWindow()) {
      // Keys go to the focused window; there is no window manager to give it focus.
      Xdo("windowfocus --sync " + std::to_string(window));
    }
    if (window != 0) {
      // Wait for the first frame: anything but the black of a fresh window.
      const Image shot = Capture();
      if (!shot.Empty() && Count(shot, Whole(), [](const unsigned char* p) {
                             return Max3(p) > 40;
                           }) > shot.width * shot.height / 4) {
        return true;
      }
    }
    Sleep(0.2);
  }
  problem = "no game window within the time allowed";
  return false;
}

bool CGameWindow::FindWindow() {
  Window root = DefaultRootWindow(display);
  Window parent = 0, rootReturn = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return false;
  for (unsigned int i = 0; i < count && window == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::strcmp(name, "Jellyquake") == 0) window = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  if (window == 0) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) {
    window = 0;
    return false;
  }
  width = attributes.width;
  height = attributes.height;
  Window child = 0;
  XTranslateCoordinates(display, window, root, 0, 0, &originX, &originY, &child);
  return true;
}

bool CGameWindow::Alive() {
  if (pid <= 0) return false;
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == pid) {
    pid = -1;
    return false;
  }
  return true;
}

bool CGameWindow::Stop() {
  if (!Alive()) return false;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return true;
    }
    Sleep(0.1);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
  return true;
}

Image CGameWindow::Capture() {
  Image image;
  if (!display || window == 0) return image;
  XSync(display, False);
  XImage* shot = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
  if (!shot) return image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(shot, x, y);
      unsigned char* out = &image.rgb[(static_cast<size_t>(y) * width + x) * 3];
      out[0] = Channel(pixel, shot->red_mask);
      out[1] = Channel(pixel, shot->green_mask);
      out[2] = Channel(pixel, shot->blue_mask);
    }
  XDestroyImage(shot);
  return image;
}

void CGameWindow::Xdo(const std::string& arguments) {
  const std::string command = "xdotool " + arguments;
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

void CGameWindow::MoveTo(double x, double y) {
  char arguments[64];
  std::snprintf(arguments, sizeof(arguments), "mousemove %d %d",
                originX + static_cast<int>(std::lround(x)),
                originY + static_cast<int>(std::lround(y)));
  Xdo(arguments);
}

void CGameWindow::Glide(double x0, double y0, double x1, double y1, int steps,
                        double secondsPerStep) {
  for (int i = 1; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    MoveTo(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t);
    Sleep(secondsPerStep);
  }
}

void CGameWindow::Press(int button) {
  Xdo("mousedown " + std::to_string(button));
}

void CGameWindow::Release(int button) {
  Xdo("mouseup " + std::to_string(button));
}

void CGameWindow::Click(int button) {
  Press(button);
  Sleep(0.05);
  Release(button);
}

void CGameWindow::KeyDown(const char* key) {
  Xdo(std::string("keydown ") + key);
}

void CGameWindow::KeyUp(const char* key) {
  Xdo(std::string("keyup ") + key);
}

}  // namespace e2e
