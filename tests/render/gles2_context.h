#pragma once

#include <vector>

// An OpenGL ES 2 context with no window, as COffscreenGLContext is for OpenGL:
// Mesa's surfaceless EGL platform drawing into a framebuffer object (RGBA8
// colour, 24-bit depth like the desktop's window) that stays bound.
class CGles2OffscreenContext {
 public:
  CGles2OffscreenContext(int width, int height);
  ~CGles2OffscreenContext();
  CGles2OffscreenContext(const CGles2OffscreenContext&) = delete;
  CGles2OffscreenContext& operator=(const CGles2OffscreenContext&) = delete;

  bool IsReady() const { return ready; }
  const char* Problem() const { return problem; }
  // All pixels, rows bottom-up, RGBA.
  std::vector<unsigned char> Pixels() const;

 private:
  bool Create();
  bool CreateFramebuffer();

  int width;
  int height;
  bool ready = false;
  const char* problem = "";
  void* display = nullptr;
  void* context = nullptr;
  unsigned int framebuffer = 0;
  unsigned int colourBuffer = 0;
  unsigned int depthBuffer = 0;
};
