#pragma once

// Every sound the game plays, and the file each one is read from, relative to the
// game's working directory. The generator in tools/sfx writes exactly these files.
enum SoundId {
  SOUND_CLICK = 0,      // the title click that starts a game
  SOUND_GRAB,           // a blob grabbed: a squish
  SOUND_STRETCH,        // the sling pulled: a loop whose pitch follows the pull
  SOUND_WHOOSH,         // the flick
  SOUND_PLOP,           // a blob landing
  SOUND_WHISTLE,        // a blob falling into a hole
  SOUND_SIZZLE,         // ... and reaching the fire
  SOUND_CRUMBLE,        // a cell starting to crack
  SOUND_FLAME,          // a hole opening
  SOUND_SETTLE,         // holes closing
  SOUND_BLOOM,          // a flower blooming
  SOUND_TICK,           // each of the last ten seconds
  SOUND_JINGLE_BRIGHT,  // the end, with blobs saved
  SOUND_JINGLE_SAD,     // the end, with none left
  SOUND_CRACKLE,        // the fire under everything: a loop
  SOUND_COUNT
};

constexpr const char* SOUND_FOLDER = "sounds";

constexpr const char* SOUND_FILES[SOUND_COUNT] = {
    "click.wav",   "grab.wav",   "stretch.wav",       "whoosh.wav",     "plop.wav",
    "whistle.wav", "sizzle.wav", "crumble.wav",       "flame.wav",      "settle.wav",
    "bloom.wav",   "tick.wav",   "jingle_bright.wav", "jingle_sad.wav", "crackle.wav",
};

// Longest a sound may be, in seconds; longer files are refused as damaged.
constexpr double SOUND_MAX_SECONDS = 4.0;
// Every sound is mono (so it can be placed) at this rate.
constexpr int SOUND_RATE = 22050;
