#pragma once

// A count-up timer. Everything in the world that happens at a moment in time waits on
// one of these; the world fires whichever running timer runs out first.
struct CTimer {
  double current = 0;  // seconds elapsed
  double end = 0;      // seconds at which it expires
  bool active = false;

  // Moves the timer on, never past its end.
  void Advance(double dt) {
    current = current + dt;
    if (current >= end) current = end;
  }

  double Remaining() const { return end - current; }

  // A handler that reacts to a timer expires it first, so it is never chosen again.
  void Expire() {
    current = end;
    active = false;
  }

  void Restart(double newEnd) {
    current = 0;
    end = newEnd;
    active = true;
  }

  // How far through its span the timer is, 0 to 1. A span of zero length is over at once,
  // so it reads 1 rather than 0 / 0.
  double Fraction() const { return end > 0 ? current / end : 1.0; }
};
