#include "tests/render/gles2_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

CGles2OffscreenContext::CGles2OffscreenContext(int width, int height)
    : width(width), height(height) {
  ready = Create();
}

bool CGles2OffscreenContext::Create() {
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
  if (!eglBindAPI(EGL_OPENGL_ES_API)) {
    problem = "eglBindAPI(EGL_OPENGL_ES_API) failed";
    return false;
  }
  const EGLint attributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  EGLContext eglContext =
      eglCreateContext(eglDisplay, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
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

bool CGles2OffscreenContext::CreateFramebuffer() {
  glGenRenderbuffers(1, &colourBuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8_OES, width, height);
  glGenRenderbuffers(1, &depthBuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24_OES, width, height);
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    problem = "framebuffer incomplete";
    return false;
  }
  glViewport(0, 0, width, height);
  return true;
}

CGles2OffscreenContext::~CGles2OffscreenContext() {
  if (framebuffer != 0) glDeleteFramebuffers(1, &framebuffer);
  if (colourBuffer != 0) glDeleteRenderbuffers(1, &colourBuffer);
  if (depthBuffer != 0) glDeleteRenderbuffers(1, &depthBuffer);
  if (display != nullptr) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr) eglDestroyContext(display, context);
    eglTerminate(display);
  }
}

std::vector<unsigned char> CGles2OffscreenContext::Pixels() const {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}
