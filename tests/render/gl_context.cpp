#include "tests/render/gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

namespace {
// Framebuffer objects are not part of OpenGL 1.x: their entry points are looked
// up at run time.
struct FramebufferCalls {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

  bool Load() {
    genFramebuffers =
        reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(eglGetProcAddress("glGenFramebuffers"));
    bindFramebuffer =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
    deleteFramebuffers =
        reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(eglGetProcAddress("glDeleteFramebuffers"));
    genRenderbuffers =
        reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(eglGetProcAddress("glGenRenderbuffers"));
    bindRenderbuffer =
        reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(eglGetProcAddress("glBindRenderbuffer"));
    deleteRenderbuffers =
        reinterpret_cast<PFNGLDELETERENDERBUFFERSPROC>(eglGetProcAddress("glDeleteRenderbuffers"));
    renderbufferStorage =
        reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(eglGetProcAddress("glRenderbufferStorage"));
    framebufferRenderbuffer = reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(
        eglGetProcAddress("glFramebufferRenderbuffer"));
    checkFramebufferStatus = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(
        eglGetProcAddress("glCheckFramebufferStatus"));
    return genFramebuffers && bindFramebuffer && deleteFramebuffers && genRenderbuffers &&
           bindRenderbuffer && deleteRenderbuffers && renderbufferStorage &&
           framebufferRenderbuffer && checkFramebufferStatus;
  }
};

FramebufferCalls& Calls() {
  static FramebufferCalls calls;
  return calls;
}
}  // namespace

COffscreenGLContext::COffscreenGLContext(int width, int height, Api api)
    : width(width), height(height), api(api) {
  ready = Create();
}

bool COffscreenGLContext::Create() {
  const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) {
    problem = "no eglGetPlatformDisplayEXT";
    return false;
  }
  EGLDisplay eglDisplay =
      getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (eglDisplay == EGL_NO_DISPLAY || !eglInitialize(eglDisplay, nullptr, nullptr)) {
    problem = "no surfaceless EGL display";
    return false;
  }
  display = eglDisplay;
  // Desktop OpenGL for the renderer that draws in immediate mode.
  if (!eglBindAPI(api == API_GLES2 ? EGL_OPENGL_ES_API : EGL_OPENGL_API)) {
    problem = "eglBindAPI failed";
    return false;
  }
  const EGLint version2[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  EGLContext eglContext = eglCreateContext(eglDisplay, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT,
                                           api == API_GLES2 ? version2 : nullptr);
  if (eglContext == EGL_NO_CONTEXT) {
    problem = "eglCreateContext failed";
    return false;
  }
  context = eglContext;
  if (!eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, eglContext)) {
    problem = "eglMakeCurrent failed";
    return false;
  }
  return CreateFramebuffer();
}

bool COffscreenGLContext::CreateFramebuffer() {
  FramebufferCalls& gl = Calls();
  if (!gl.Load()) {
    problem = "no framebuffer objects";
    return false;
  }
  gl.genRenderbuffers(1, &colourBuffer);
  gl.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  gl.genRenderbuffers(1, &depthBuffer);
  gl.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  gl.genFramebuffers(1, &framebuffer);
  gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
  if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    problem = "framebuffer incomplete";
    return false;
  }
  // OpenGL ES draws to and reads from its one attachment anyway.
  if (api == API_OPENGL) {
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
  }
  glViewport(0, 0, width, height);
  return true;
}

COffscreenGLContext::~COffscreenGLContext() {
  FramebufferCalls& gl = Calls();
  if (framebuffer != 0) {
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.deleteFramebuffers(1, &framebuffer);
  }
  if (colourBuffer != 0) {
    gl.deleteRenderbuffers(1, &colourBuffer);
  }
  if (depthBuffer != 0) {
    gl.deleteRenderbuffers(1, &depthBuffer);
  }
  if (display != nullptr) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr) {
      eglDestroyContext(display, context);
    }
    eglTerminate(display);
  }
}

COffscreenGLContext::Rgba COffscreenGLContext::Pixel(int x, int y) const {
  Rgba pixel{};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  return pixel;
}

std::vector<unsigned char> COffscreenGLContext::Pixels() const {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}
