#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "app/application.h"
#include "app/window.h"

// The window reports GLUT's own codes.
static_assert(WINDOW_BUTTON_LEFT == GLUT_LEFT_BUTTON &&
              WINDOW_BUTTON_MIDDLE == GLUT_MIDDLE_BUTTON &&
              WINDOW_BUTTON_RIGHT == GLUT_RIGHT_BUTTON);
static_assert(WINDOW_BUTTON_DOWN == GLUT_DOWN && WINDOW_BUTTON_UP == GLUT_UP);
static_assert(WINDOW_KEY_F1 == GLUT_KEY_F1 && WINDOW_KEY_F12 == GLUT_KEY_F12 &&
              WINDOW_KEY_LEFT == GLUT_KEY_LEFT && WINDOW_KEY_INSERT == GLUT_KEY_INSERT &&
              WINDOW_KEY_NUM_LOCK == GLUT_KEY_NUM_LOCK && WINDOW_KEY_SUPER_R == GLUT_KEY_SUPER_R);

namespace {
// How often the keyboard's comings and goings are looked at while no frames
// run; while they do, every frame looks.
constexpr unsigned FOCUS_POLL_MS = 200;

// GLUT says nothing of the keyboard focus, but the X server tells any client that
// asks. A connection of the shell's own asks for the game's window alone, so
// GLUT's connection and its event handling stay exactly as they are.
Display* focusDisplay = nullptr;

void WatchFocus() {
  Display* glutDisplay = glXGetCurrentDisplay();
  const GLXDrawable window = glXGetCurrentDrawable();
  if (glutDisplay == nullptr || window == 0) return;
  focusDisplay = XOpenDisplay(DisplayString(glutDisplay));
  // Without it the game still plays; it only does not pause by itself.
  if (focusDisplay == nullptr) return;
  XSelectInput(focusDisplay, window, FocusChangeMask);
  XFlush(focusDisplay);
}

// Changes inside the window, those that only follow the pointer (a desktop
// without a window manager, where the focus follows the pointer across every
// edge) and a window manager's passing grabs (while a window is dragged) are
// no switch of the player's attention.
bool CountsAsFocusChange(const XFocusChangeEvent& change) {
  return change.detail != NotifyInferior && change.detail != NotifyPointer &&
         change.mode != NotifyGrab && change.mode != NotifyUngrab;
}

void PollFocus() {
  if (focusDisplay == nullptr) return;
  while (XPending(focusDisplay) > 0) {
    XEvent event;
    XNextEvent(focusDisplay, &event);
    if ((event.type == FocusIn || event.type == FocusOut) && CountsAsFocusChange(event.xfocus)) {
      CApplication::Instance().Focus(event.type == FocusIn);
    }
  }
}

void StopWatchingFocus() {
  if (focusDisplay != nullptr) XCloseDisplay(focusDisplay);
  focusDisplay = nullptr;
}

using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned);
using SwapIntervalSgi = int (*)(int);

void* GlxFunction(const char* name) {
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// One frame a refresh of the screen, where the display can pace them; where it
// cannot, frames come as they did.
void AskForPacedFrames() {
  Display* display = glXGetCurrentDisplay();
  if (display == nullptr) return;
  const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
  if (HasExtension(extensions, "GLX_EXT_swap_control")) {
    auto setInterval = reinterpret_cast<SwapIntervalExt>(GlxFunction("glXSwapIntervalEXT"));
    if (setInterval != nullptr) setInterval(display, glXGetCurrentDrawable(), 1);
  } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
    auto setInterval = reinterpret_cast<SwapIntervalMesa>(GlxFunction("glXSwapIntervalMESA"));
    if (setInterval != nullptr) setInterval(1);
  } else if (HasExtension(extensions, "GLX_SGI_swap_control")) {
    auto setInterval = reinterpret_cast<SwapIntervalSgi>(GlxFunction("glXSwapIntervalSGI"));
    if (setInterval != nullptr) setInterval(1);
  }
}

void LeaveLoopAfterFailure(const CApplication& app) {
  if (app.Failed()) {
    glutLeaveMainLoop();
  }
}

void OnReshape(int width, int height) {
  CApplication& app = CApplication::Instance();
  app.Reshape(width, height);
  LeaveLoopAfterFailure(app);
}

void OnDisplay() {
  CApplication& app = CApplication::Instance();
  if (app.Display()) {
    glutSwapBuffers();
  }
  LeaveLoopAfterFailure(app);
}

void OnIdle() {
  CApplication& app = CApplication::Instance();
  PollFocus();
  if (app.Idle()) {
    glutPostRedisplay();
  }
  LeaveLoopAfterFailure(app);
}

void OnMotion(int x, int y) {
  CApplication& app = CApplication::Instance();
  app.Motion(x, y);
  LeaveLoopAfterFailure(app);
}

void OnMouse(int button, int state, int, int) {
  CApplication& app = CApplication::Instance();
  app.Mouse(button, state);
  LeaveLoopAfterFailure(app);
}

void OnKeyDown(unsigned char key, int, int) {
  // The keyboard may have gone before this press was read.
  PollFocus();
  CApplication& app = CApplication::Instance();
  app.Keyboard(key, true);
  LeaveLoopAfterFailure(app);
}

void OnKeyUp(unsigned char key, int, int) {
  CApplication& app = CApplication::Instance();
  app.Keyboard(key, false);
  LeaveLoopAfterFailure(app);
}

void OnSpecialDown(int key, int, int) {
  // The keyboard may have gone before this press was read.
  PollFocus();
  CApplication& app = CApplication::Instance();
  app.Special(key, true);
  LeaveLoopAfterFailure(app);
}

void OnSpecialUp(int key, int, int) {
  CApplication& app = CApplication::Instance();
  app.Special(key, false);
  LeaveLoopAfterFailure(app);
}

// A window covered by others is still there; only a minimised or unmapped one
// is hidden.
void OnWindowStatus(int status) {
  CApplication& app = CApplication::Instance();
  app.Visibility(status != GLUT_HIDDEN);
  LeaveLoopAfterFailure(app);
}

void OnFocusTimer(int) {
  PollFocus();
  LeaveLoopAfterFailure(CApplication::Instance());
  glutTimerFunc(FOCUS_POLL_MS, OnFocusTimer, 0);
}
}  // namespace

void CWindow::OpenWindow(int argc, char** argv) {
  // The screen size can only be asked once GLUT has its display.
  glutInit(&argc, argv);
  // Leaving the loop must return to the application so it can report how the
  // game ended; GLUT destroys the window on the way out.
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  const int screenWidth = glutGet(GLUT_SCREEN_WIDTH);
  const int screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
  const WindowPlacement placement = ComputeWindowPlacement(screenWidth, screenHeight);

  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(placement.width, placement.height);
  width = placement.width;
  height = placement.height;
  glutInitWindowPosition(placement.x, placement.y);
  glutCreateWindow("Jellyquake");
  open = true;
  if (!OpenGLVersionAtLeast(reinterpret_cast<const char*>(glGetString(GL_VERSION)), 1, 2)) {
    throw OPENGL_TOO_OLD;
  }
  AskForPacedFrames();
  WatchFocus();

  glutReshapeFunc(OnReshape);
  glutDisplayFunc(OnDisplay);
  glutIdleFunc(OnIdle);
  // The game draws its own hand.
  glutSetCursor(GLUT_CURSOR_NONE);
  // A held key gives one press and one release.
  glutIgnoreKeyRepeat(1);
  glutKeyboardFunc(OnKeyDown);
  glutSpecialFunc(OnSpecialDown);
  glutKeyboardUpFunc(OnKeyUp);
  glutSpecialUpFunc(OnSpecialUp);
  glutMouseFunc(OnMouse);
  glutMotionFunc(OnMotion);
  glutPassiveMotionFunc(OnMotion);
  glutWindowStatusFunc(OnWindowStatus);
  glutTimerFunc(FOCUS_POLL_MS, OnFocusTimer, 0);
}

void CWindow::MainLoop() {
  glutMainLoop();
  open = false;
  StopWatchingFocus();
}

void CWindow::SetContinuous(bool continuous) {
  if (open) glutIdleFunc(continuous ? OnIdle : nullptr);
}

void CWindow::Redraw() {
  if (open) glutPostRedisplay();
}

void CWindow::ToggleFullScreen() {
  // freeglut remembers the window's place and size and restores them on the way back.
  glutFullScreenToggle();
}

void CWindow::LeaveMainLoop() {
  glutLeaveMainLoop();
}
