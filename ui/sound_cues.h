#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/sound_sink.h"
#include "game/world.h"

// The game's sounds, chosen by watching the world between frames and by the game
// screen's own input events. It only reads the world: it never changes it and
// never draws from the game's random generator (pitches vary by a generator of
// its own), so every seed plays the same game with or without sound.
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
  // the blob's throw range); and what changed in the world since the last frame.
  void PlaceListener(const double eye[3], const double lookAt[3]);
  void FollowHand(bool holding, double pull);
  void Watch(const CWorld& world);

  void ToggleMute();
  bool Muted() const { return muted; }

 private:
  // What the last frame saw of one blob.
  struct UnitSeen {
    const CUnit* unit;
    int state;
    RenderVertex position;
  };
  struct FlowerSeen {
    const CFlower* flower;
    double x, y;
  };

  // Takes the world as it is now as the state to compare the next frame with.
  void Remember(const CWorld& world);
  bool IsNewGame(const CWorld& world) const;
  void WatchUnits(const CWorld& world);
  void WatchCells(const CWorld& world);
  void WatchFlowers(const CWorld& world);
  void WatchClock(const CWorld& world);
  void FollowFire(const CWorld& world);
  int PlayAt(SoundId sound, const RenderVertex& p, double gain);
  // Pitch near 1, a little different each time.
  double Vary();

  std::shared_ptr<CSoundSink> sink;
  bool muted = false;
  std::uint32_t pitchState = 0x2545f491u;

  bool watching = false;
  std::vector<UnitSeen> unitsSeen;
  std::vector<int> cellsSeen;
  std::vector<FlowerSeen> flowersSeen;
  bool runningSeen = false;
  double clockSeen = 0;
  double remainingSeen = 0;
  // The blob the player threw last: its landing is the loudest.
  const CUnit* thrown = nullptr;

  bool stretchStarted = false;
  int stretchVoice = NO_VOICE;
  bool fireStarted = false;
  int fireVoice = NO_VOICE;
  double fireGain = 0;
};
