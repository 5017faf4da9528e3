#include "tools/sfx/effects.h"

namespace {
// Note frequencies of the jingles.
constexpr double C4 = 261.63, D4 = 293.66, EB4 = 311.13, G4 = 392.0;
constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, C6 = 1046.5;
constexpr double E6 = 1318.5, G6 = 1568.0;

// A bell-like note: a tone with a quieter octave above it, struck and decaying.
Samples Bell(double hz, double seconds, double halfLife) {
  Samples s = Tone(WAVE_SINE, seconds, hz, hz);
  Mix(s, Tone(WAVE_SINE, seconds, hz * 2, hz * 2), 0, 0.3);
  Decay(s, 0.005, halfLife);
  return s;
}

Samples Click() {
  Samples s = Tone(WAVE_SINE, 0.08, 1400, 900);
  Decay(s, 0.002, 0.015);
  Samples tap = Noise(0.01, 11);
  LowPass(tap, 4000, 4000);
  Mix(s, tap, 0, 0.5);
  return s;
}

// A wet squish: a low, wobbling tone under noise whose brightness falls.
Samples Squish() {
  Samples s = Tone(WAVE_SINE, 0.25, 320, 140, 30, 0.15);
  Samples wet = Noise(0.25, 21);
  LowPass(wet, 2500, 300);
  Mix(s, wet, 0, 1.5);
  Decay(s, 0.01, 0.06);
  return s;
}

// A rubbery hum for the sling, looped while it is held; the game bends its pitch.
// Whole cycles of every part fit in its half second, and the filter's settling at
// the start is faded under the end, so the loop has no seam.
Samples Stretch() {
  Samples s = Tone(WAVE_TRIANGLE, 0.6, 220, 220, 6, 0.02);
  LowPass(s, 900, 900);
  Mix(s, Tone(WAVE_SINE, 0.6, 110, 110), 0, 0.6);
  CloseLoop(s, 0.1);
  return s;
}

// Air rushing past: noise through a band that sweeps up and falls back.
Samples Whoosh() {
  Samples s = Noise(0.35, 31);
  HighPass(s, 300, 1200);
  LowPass(s, 800, 3000);
  Fade(s, 0.12, 0.2);
  return s;
}

Samples Plop() {
  Samples s = Tone(WAVE_SINE, 0.18, 520, 110);
  Decay(s, 0.004, 0.035);
  return s;
}

// A cartoon fall: a whistle gliding down, wavering a little.
Samples Whistle() {
  Samples s = Tone(WAVE_SINE, 0.9, 1700, 450, 7, 0.01);
  Fade(s, 0.05, 0.25);
  return s;
}

// Jelly meeting fire: bright hissing noise with pops, dying away.
Samples Sizzle() {
  Samples s = Noise(0.8, 41);
  HighPass(s, 2500, 1500);
  Grains(s, 25, 0.012, 1.0, 42);
  Decay(s, 0.01, 0.2);
  return s;
}

// Ground giving way: dull rumble full of small falling grains.
Samples Crumble() {
  Samples s = Noise(0.6, 51);
  LowPass(s, 500, 200);
  Grains(s, 40, 0.015, 0.4, 52);
  LowPass(s, 2500, 1200);
  Fade(s, 0.02, 0.3);
  return s;
}

// A whump of flame: a low thump and a roar whose brightness opens and closes.
Samples Flame() {
  Samples s = Noise(0.7, 61);
  LowPass(s, 300, 1800);
  LowPass(s, 2500, 400);
  Decay(s, 0.04, 0.15);
  Samples thump = Tone(WAVE_SINE, 0.3, 110, 45);
  Decay(thump, 0.005, 0.07);
  Mix(s, thump, 0, 0.8);
  return s;
}

// Earth settling back: a soft low rumble and two muffled thuds.
Samples Settle() {
  Samples s = Noise(0.7, 71);
  LowPass(s, 250, 120);
  Fade(s, 0.08, 0.35);
  for (double at : {0.05, 0.3}) {
    Samples thud = Tone(WAVE_SINE, 0.25, 90, 50);
    Decay(thud, 0.005, 0.05);
    Mix(s, thud, at, 0.6);
  }
  return s;
}

// A flower opening: three quick, rising bell notes.
Samples Bloom() {
  Samples s;
  const double notes[] = {C6, E6, G6};
  for (int i = 0; i < 3; ++i) Mix(s, Bell(notes[i], 0.3, 0.07), i * 0.07, 1.0);
  return s;
}

Samples Tick() {
  Samples s = Tone(WAVE_SINE, 0.06, 1800, 1800);
  Decay(s, 0.001, 0.01);
  return s;
}

// The end with blobs saved: a rising major arpeggio ending on a held octave.
Samples JingleBright() {
  Samples s;
  const double notes[] = {C5, E5, G5, C6};
  for (int i = 0; i < 4; ++i) {
    Mix(s, Bell(notes[i], i == 3 ? 0.8 : 0.4, i == 3 ? 0.2 : 0.1), i * 0.12, 1.0);
  }
  return s;
}

// The end with none left: a slow falling minor line on a soft, drooping tone.
Samples JingleSad() {
  Samples s;
  const double notes[] = {G4, EB4, D4, C4};
  for (int i = 0; i < 4; ++i) {
    const double length = i == 3 ? 0.7 : 0.35;
    Samples note = Tone(WAVE_TRIANGLE, length, notes[i], notes[i] * (i == 3 ? 0.97 : 1.0));
    LowPass(note, 1200, 1200);
    Decay(note, 0.02, i == 3 ? 0.25 : 0.12);
    Mix(s, note, i * 0.25, 1.0);
  }
  return s;
}

// Fire far below: a low roar with crackling pops, looped under everything.
Samples Crackle() {
  Samples s = Noise(2.1, 81);
  LowPass(s, 400, 400);
  Samples pops(s.size(), 0.0);
  Grains(pops, 60, 0.006, 0.6, 82);
  HighPass(pops, 800, 800);
  Mix(s, pops, 0, 1.0);
  CloseLoop(s, 0.1);
  return s;
}
}  // namespace

Samples MakeSound(SoundId id) {
  Samples s;
  switch (id) {
    case SOUND_CLICK:
      s = Click();
      break;
    case SOUND_GRAB:
      s = Squish();
      break;
    case SOUND_STRETCH:
      s = Stretch();
      break;
    case SOUND_WHOOSH:
      s = Whoosh();
      break;
    case SOUND_PLOP:
      s = Plop();
      break;
    case SOUND_WHISTLE:
      s = Whistle();
      break;
    case SOUND_SIZZLE:
      s = Sizzle();
      break;
    case SOUND_CRUMBLE:
      s = Crumble();
      break;
    case SOUND_FLAME:
      s = Flame();
      break;
    case SOUND_SETTLE:
      s = Settle();
      break;
    case SOUND_BLOOM:
      s = Bloom();
      break;
    case SOUND_TICK:
      s = Tick();
      break;
    case SOUND_JINGLE_BRIGHT:
      s = JingleBright();
      break;
    case SOUND_JINGLE_SAD:
      s = JingleSad();
      break;
    case SOUND_CRACKLE:
      s = Crackle();
      break;
    default:
      break;
  }
  Normalise(s, SOUND_PEAK);
  return s;
}
