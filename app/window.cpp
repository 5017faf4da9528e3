#include "app/window.h"

#include <GL/freeglut.h>

#include "app/application.h"
#include "ui/screen.h"

namespace {
// The window takes at most this share of the screen in each direction.
constexpr double SCREEN_SHARE = 0.8;
// Height over width of the window.
constexpr double ASPECT = 0.75;

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

WindowPlacement ComputeWindowPlacement(int screenWidth, int screenHeight) {
  const double a = SCREEN_SHARE * screenWidth;
  const double b = SCREEN_SHARE * screenHeight;
  WindowPlacement placement;
  if (ASPECT * a > b) {
    // The screen is wider than 4:3: the height is the limit.
    placement.height = static_cast<int>(b + 0.5);
    placement.width = (4 * placement.height) / 3;
  } else {
    placement.width = static_cast<int>(a + 0.5);
    placement.height = (3 * placement.width) / 4;
  }
  placement.x = screenWidth / 2 - placement.width / 2;
  placement.y = screenHeight / 2 - placement.height / 2;
  return placement;
}

bool NormalisePointer(int x, int y, int width, int height, double& nx, double& ny) {
  if (width <= 0 || height <= 0) {
    return false;
  }
  nx = (x + 0.5) / width;
  ny = 1 - (y + 0.5) / height;
  return true;
}

bool MapMouseButton(int glutButton, int glutState, int& button, bool& pressed) {
  switch (glutButton) {
    case GLUT_LEFT_BUTTON:
      button = MB_LEFT;
      break;
    case GLUT_MIDDLE_BUTTON:
      button = MB_MIDDLE;
      break;
    case GLUT_RIGHT_BUTTON:
      button = MB_RIGHT;
      break;
    default:
      return false;
  }
  if (glutState == GLUT_DOWN) {
    pressed = true;
  } else if (glutState == GLUT_UP) {
    pressed = false;
  } else {
    return false;
  }
  return true;
}

int MapSpecialKey(int glutKey) {
  if (glutKey >= GLUT_KEY_F1 && glutKey <= GLUT_KEY_F12) {
    return SK_F1 + (glutKey - GLUT_KEY_F1);
  }
  if (glutKey >= GLUT_KEY_LEFT && glutKey <= GLUT_KEY_INSERT) {
    return SK_LEFT + (glutKey - GLUT_KEY_LEFT);
  }
  return glutKey;
}

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
