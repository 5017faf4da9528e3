#pragma once

#include <vector>

class CGameUI;

// What the fingers on the screen are doing together.
enum TouchGesture {
  GESTURE_NONE = 0,  // no finger, or the fingers left over from a finished gesture
  GESTURE_HAND,      // one finger is the hand with the left button held: grab, pull, flick, tap
  GESTURE_TURN,      // one finger on open ground turns the view, as the right button does
  GESTURE_SLIDE      // two fingers slide the view, the board following them
};

// Fingers on a touch screen made into the game screen's own pointer and buttons,
// so a finger grabs and flicks through exactly the code the mouse does. The first
// finger decides the gesture: on a blob, or over the title, the pause or the end,
// it is the hand; on open ground it turns the view. A second finger turns a
// turn into a slide, and is ignored while the hand holds a blob, which must not
// be dropped or flung by a stray finger. Fingers left over when a gesture ends do
// nothing until every finger has lifted.
class CTouchControls {
 public:
  void Touch(CGameUI& screen, int finger, int phase, double x, double y);
  TouchGesture Gesture() const { return gesture; }
  bool FingersDown() const { return !fingers.empty(); }

 private:
  struct Finger {
    int id;
    double x;
    double y;
  };
  void Land(CGameUI& screen, const Finger& finger);
  void Move(CGameUI& screen, const Finger& finger);
  void Lift(CGameUI& screen, const Finger& finger);
  void StartSlide(CGameUI& screen);
  // Between the first two fingers.
  void Middle(double& x, double& y) const;
  // The finger's place in landing order, or -1.
  int Index(int id) const;

  std::vector<Finger> fingers;
  TouchGesture gesture = GESTURE_NONE;
  double slideX = 0;
  double slideY = 0;
};
