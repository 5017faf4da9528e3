#include <GL/freeglut.h>

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
}

void CWindow::MainLoop() {
  glutMainLoop();
  open = false;
}

void CWindow::ToggleFullScreen() {
  // freeglut remembers the window's place and size and restores them on the way back.
  glutFullScreenToggle();
}

void CWindow::LeaveMainLoop() {
  glutLeaveMainLoop();
}
