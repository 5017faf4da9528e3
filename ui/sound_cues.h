#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/sound_sink.h"
#include "game/world.h"

// The game's sounds, chosen by what the world says happened in its last frame and
// by the game screen's own input events. It only reads the world: it never changes
// it and never draws from the game's random generator (pitches vary by a generator
// of its own), so every seed plays the same game with or without sound.
class CSoundCues {
 public:
  CSoundCues();

  // Plays through this sink from now on (the game screen's, made when it is entered).
  void Attach(std::shared_ptr<CSoundSink> newSink);
  // Lets the sink open its device and read its sounds now rather than at the
  // first sound.
  void Prepare();

  // Input events of the game screen.
  void TitleClicked();
  void Grabbed(const CUnit& unit);
  void Flicked(const CUnit& unit);

  // Once a frame while a game is shown: the listener at the camera's eye facing
  // its look-at point; the hand's hold and how far the sling is pulled (0 to 1 of
  // the blob's throw range); and the world's moments since its last Advance or
  // Reset (so also right after a Reset, to hear of the new game).
  void PlaceListener(const double eye[3], const double lookAt[3]);
  void FollowHand(bool holding, double pull);
  void Watch(const CWorld& world);

  void ToggleMute();
  bool Muted() const { return muted; }
  // Every sound, loops and all, holds while the game stands still.
  void Pause(bool paused);

 private:
  void HearUnits(const std::vector<WorldMoment>& moments);
  void HearCells(const std::vector<WorldMoment>& moments);
  void HearFlowers(const std::vector<WorldMoment>& moments);
  void HearClock(const CWorld& world);
  void FollowFire(const CWorld& world);
  int PlayAt(SoundId sound, const RenderVertex& p, double gain);
  int PlayAt(SoundId sound, const WorldMoment& moment, double gain);
  // Pitch near 1, a little different each time.
  double Vary();

  std::shared_ptr<CSoundSink> sink;
  bool muted = false;
  std::uint32_t pitchState = 0x2545f491u;

  // The clock as the last frame left it, for the ticks of the last seconds.
  double remainingSeen = 0;
  // The blob the player threw last: its landing is the loudest.
  const CUnit* thrown = nullptr;

  bool stretchStarted = false;
  int stretchVoice = NO_VOICE;
  bool fireStarted = false;
  int fireVoice = NO_VOICE;
  double fireGain = 0;
};
