#pragma once

#include <array>
#include <vector>

// An OpenGL compatibility context with no window, for tests that check real
// OpenGL state and pixels: Mesa's surfaceless EGL platform, drawing into a
// framebuffer object of the given size (RGBA8 colour, 24-bit depth) that stays
// bound. Works without any X server. Construct it in a test (or fixture) before
// the first OpenGL call; it is current until destroyed. One at a time.
//
//   COffscreenGLContext gl(64, 64);
//   ASSERT_TRUE(gl.IsReady()) << gl.Problem();
//   ... draw through COpenGLRenderer ...
//   EXPECT_EQ(gl.Pixel(10, 10), (COffscreenGLContext::Rgba{255, 0, 0, 255}));
class COffscreenGLContext {
 public:
  using Rgba = std::array<unsigned char, 4>;
  // OpenGL (compatibility) for the OpenGL 1 renderer, OpenGL ES 2 for the other.
  enum Api { API_OPENGL, API_GLES2 };

  COffscreenGLContext(int width, int height, Api api = API_OPENGL);
  ~COffscreenGLContext();
  COffscreenGLContext(const COffscreenGLContext&) = delete;
  COffscreenGLContext& operator=(const COffscreenGLContext&) = delete;

  // False when no context could be made; Problem() then says which step failed.
  bool IsReady() const { return ready; }
  const char* Problem() const { return problem; }

  int Width() const { return width; }
  int Height() const { return height; }

  // The framebuffer's pixel at (x, y), origin bottom-left.
  Rgba Pixel(int x, int y) const;
  // All pixels, rows bottom-up, RGBA.
  std::vector<unsigned char> Pixels() const;

 private:
  bool Create();
  bool CreateFramebuffer();

  int width;
  int height;
  Api api;
  bool ready = false;
  const char* problem = "";
  void* display = nullptr;
  void* context = nullptr;
  unsigned int framebuffer = 0;
  unsigned int colourBuffer = 0;
  unsigned int depthBuffer = 0;
};
