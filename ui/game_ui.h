#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound_sink.h"
#include "game/board.h"
#include "game/player_hold.h"
#include "game/world.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "ui/screen.h"
#include "ui/sound_cues.h"
#include "ui/touch_controls.h"
#include "view/vis_world.h"

// The one screen of the game. It owns a running game and its visual world, turns
// the pointer, the buttons and the arrow keys into play (grab, sling, flick,
// camera), advances both worlds every frame and draws the scene with the
// heads-up display on top.
//
// Screen coordinates are the viewport's, -1 to 1 with y up. "Screen units" are
// units of that y axis (half the window height); x offsets are multiplied by
// aspect before they are compared with y offsets, so distances are true to the
// pixel.
class CGameUI : public CScreen {
 public:
  // Makes the renderer the screen draws with: the build's own (OpenGL 1 on the
  // desktop, OpenGL ES 2 in the browser) in the game, and in the tests, into an
  // offscreen context; any other CRenderer can stand in.
  using RendererFactory = std::shared_ptr<CRenderer> (*)();
  static std::shared_ptr<CRenderer> MakeOpenGLRenderer();
  // Makes the sink the screen's sounds go to: the platform's own in the game
  // (OpenAL on Linux, XAudio2 on Windows); silence where nothing should be heard
  // (tests, benchmarks of drawing alone).
  using SoundSinkFactory = std::shared_ptr<CSoundSink> (*)();
  static std::shared_ptr<CSoundSink> MakeSystemSoundSink();
  static std::shared_ptr<CSoundSink> MakeSilentSoundSink();

  explicit CGameUI(RendererFactory makeRenderer = MakeOpenGLRenderer,
                   SoundSinkFactory makeSoundSink = MakeSilentSoundSink);
  CGameUI(const CGameUI&) = delete;
  CGameUI& operator=(const CGameUI&) = delete;

  // The images the first frame shows.
  static std::vector<std::string> FirstFrameImages();
  // Starts decoding those on a worker thread, for Enter to find them ready;
  // called before the window opens, so the decoding can overlap that.
  static void PrefetchFirstFrameImages();

  void Enter() override;
  void Reshape(int width, int height) override;
  void MouseMove(double x, double y) override;
  void MouseButton(int button, bool pressed) override;
  void SpecialKey(int key, bool pressed) override;
  void Key(int key, bool pressed) override;
  void Draw() override;
  void Update(double dt) override;
  // A hidden window pauses the game; shown again, it stays paused.
  void Visibility(bool shown) override;
  // A paused game only needs drawing when the player does something.
  bool Animating() const override { return !paused; }
  // Fingers play through the pointer and the buttons above (touch_controls.cpp).
  void Touch(int finger, int phase, double x, double y) override;

  // Recomputes the camera basis used to project blobs onto the screen.
  void UpdateViewBasis();
  // Chooses the blob under the pointer and works out the sling from it.
  void UpdateAim();
  // Slides the camera one frame's worth: 0 right, 1 forward, 2 left, 3 back.
  void PanView(int direction, double dt);
  // Slides the camera so the board follows a drag across the screen by dx, dy
  // (pointer units, 0..1 across the window).
  void SlideView(double dx, double dy);

  // What a finger landing means. A tap on the pause button pauses the running
  // game, and the finger does nothing more; true if it did.
  bool TapsPauseButton(double x, double y);
  // The finger just landed is the hand (on a blob, or a tap for the title, the
  // pause or the end), rather than a turn of the view.
  bool FingerMeansHand() const;
  // No finger shows where the hand is: it goes (once its flick is over) until the
  // pointer moves again.
  void HideHand() { handAway = true; }
  // The pause button's box in viewport coordinates.
  void PauseButtonBox(double& x0, double& x1, double& y0, double& y1) const;

  // The heads-up display, drawn over the scene (hud.cpp).
  void DrawHud();

  // The target blob if it is still one of the world's units, otherwise null:
  // a blob is removed once its fall is over, and nothing may reach it after.
  CUnit* LiveTarget() const;

  CWorld world;
  CVisWorld visWorld{&world};
  std::shared_ptr<CRenderer> renderer;

  CTexture titleTexture;
  bool titleShown = false;
  CTexture handTexture;
  // Side of the hand cursor in screen units.
  double handScale = 0.1;
  CTexture moraleTextTexture;
  CTexture moraleBarBorderTexture;
  CTexture moraleBarTexture;
  CTexture blobsTextTexture;
  CTexture scoreTextTexture;
  CTexture digitsTexture;
  CTexture completeTexture;
  CTexture bestTextTexture;
  CTexture newBestTexture;
  CTexture nextGameTexture;
  CTexture pausedTexture;
  // The speaker shown in a corner while the sound is muted.
  CTexture mutedTexture;
  // The sounds of the game, chosen by watching the world.
  CSoundCues sound;

  // Window width over height; the game's own 4:3 until the window tells us.
  double aspect = 4.0 / 3.0;
  bool cameraDragging = false;
  // Last pointer position, 0 to 1 from the bottom-left corner.
  double pointerX = 0.5, pointerY = 0.5;
  double dragStartX = 0, dragStartY = 0;
  double pointerNdcX = 0, pointerNdcY = 0;
  // Arrow keys held: right, up, left, down.
  bool panKeys[4] = {false, false, false, false};

  // Camera basis: forward is the unit view direction scaled by cot 35 degrees,
  // right is horizontal and scaled by aspect, up completes the frame.
  double viewEye[3] = {0, 0, 0};
  double viewForward[3] = {0, 0, 0};
  double viewRight[3] = {0, 0, 0};
  double viewUp[3] = {0, 0, 0};
  // Rows: depth, screen x, screen y of a vector from the eye.
  double screenBasisInverse[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};

  // The blob the hand points at; while the hold is busy, the one it holds.
  bool hasTarget = false;
  CUnit* target = nullptr;
  double handAngle = 0;
  double handTargetAngle = 0;
  double targetScreenX = 0, targetScreenY = 0;
  double targetDistance = 0;
  // How far the hand reaches toward the blob during the flick, screen units.
  double flickLength = 0;
  // The grab, the sling's landing spot, the flick and the push.
  CPlayerHold hold;
  bool skipNextUpdate = false;
  double endTime = 0;
  // The running game stands still: no update reaches it, and the time spent so is
  // never made up.
  bool paused = false;
  // The left press that resumed the game; its release is part of that click.
  bool resumeClickHeld = false;
  // The best final score of this sitting, rounded as shown; -1 before any game
  // has ended. Kept in memory only, like everything the game knows.
  long bestScore = -1;
  // The game just ended beat every earlier one of the sitting.
  bool newBest = false;
  bool scoreKept = false;
  // The device has a touch screen: the title shows the touch controls and the
  // running game a pause button to tap.
  bool touchScreen = false;
  CTouchControls touch;
  // No finger is down on a touch screen, so no hand is drawn.
  bool handAway = false;
  // A frame has been drawn; the sink attached on entry has been got ready.
  bool frameShown = false;
  bool soundPrepared = false;

 private:
  void LoadInterfaceImages();
  void LeftButton(bool pressed);
  void StartNewGame();
  void Pause();
  void Resume();
  void KeepBestScore();
  // A left click starts the next game from a little while after the end.
  bool CanStartNextGame() const;
  void ForgetTarget();
  // The ground direction that looks, on screen, like the way from the target to the
  // pointer.
  double GroundAngleToPointer() const;
  void AdvanceHold(double dt);
  void TurnHand(double dt);
  void DrawTitleLayout();
  void DrawRunningLayout();
  void DrawEndLayout();
  void DrawPausedLayout();
  void DrawHand();
  void DrawMuted();
  void DrawPauseButton();
  void PrepareSoundOnceShown();
  // Lets the sound watch the world and the hand after a frame's update.
  void FollowWithSound();
  // The pointed-at, held or thrown blob; only called while it is live.
  CUnit& Target() const { return *target; }

  RendererFactory makeRenderer;
  SoundSinkFactory makeSoundSink;
};
