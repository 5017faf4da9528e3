#include "ui/touch_controls.h"

#include "ui/game_ui.h"

void CTouchControls::Touch(CGameUI& screen, int finger, int phase, double x, double y) {
  const Finger place{finger, x, y};
  const int index = Index(finger);
  if (phase == TOUCH_DOWN && index < 0) {
    fingers.push_back(place);
    Land(screen, place);
  } else if (index >= 0) {
    fingers[index] = place;
    if (phase == TOUCH_UP) {
      Lift(screen, place);
      fingers.erase(fingers.begin() + index);
      if (fingers.empty()) gesture = GESTURE_NONE;
    } else {
      Move(screen, place);
    }
  }
}

void CTouchControls::Land(CGameUI& screen, const Finger& finger) {
  if (fingers.size() == 2 && gesture == GESTURE_TURN) {
    StartSlide(screen);
    return;
  }
  if (fingers.size() != 1) return;
  if (screen.TapsPauseButton(finger.x, finger.y)) return;
  // The hand comes to the finger first, so the screen knows what lies under it.
  screen.MouseMove(finger.x, finger.y);
  if (screen.FingerMeansHand()) {
    gesture = GESTURE_HAND;
    screen.MouseButton(MB_LEFT, true);
  } else {
    gesture = GESTURE_TURN;
    screen.MouseButton(MB_RIGHT, true);
  }
}

// The first finger may have turned the view a little before the second landed:
// the view goes back to where it stood, and from there the two slide it.
void CTouchControls::StartSlide(CGameUI& screen) {
  screen.MouseMove(screen.dragStartX, screen.dragStartY);
  screen.MouseButton(MB_RIGHT, false);
  // Two fingers are no pointer.
  screen.HideHand();
  gesture = GESTURE_SLIDE;
  Middle(slideX, slideY);
}

void CTouchControls::Move(CGameUI& screen, const Finger& finger) {
  const bool first = Index(finger.id) == 0;
  if ((gesture == GESTURE_HAND || gesture == GESTURE_TURN) && first) {
    screen.MouseMove(finger.x, finger.y);
  } else if (gesture == GESTURE_SLIDE && Index(finger.id) < 2) {
    double x = 0;
    double y = 0;
    Middle(x, y);
    screen.SlideView(x - slideX, y - slideY);
    slideX = x;
    slideY = y;
  }
}

void CTouchControls::Lift(CGameUI& screen, const Finger& finger) {
  const int index = Index(finger.id);
  if ((gesture == GESTURE_HAND || gesture == GESTURE_TURN) && index == 0) {
    screen.MouseMove(finger.x, finger.y);
    screen.MouseButton(gesture == GESTURE_HAND ? MB_LEFT : MB_RIGHT, false);
    gesture = GESTURE_NONE;
  } else if (gesture == GESTURE_SLIDE && index < 2) {
    gesture = GESTURE_NONE;
  }
  // With no finger left the hand goes too: it has nothing to show the way of.
  if (fingers.size() == 1) screen.HideHand();
}

void CTouchControls::Middle(double& x, double& y) const {
  x = (fingers[0].x + fingers[1].x) / 2;
  y = (fingers[0].y + fingers[1].y) / 2;
}

int CTouchControls::Index(int id) const {
  for (size_t i = 0; i < fingers.size(); ++i) {
    if (fingers[i].id == id) return static_cast<int>(i);
  }
  return -1;
}
