#include "ui/game_ui.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "audio/system_sound_sink.h"
#include "base/random.h"
#include "render/image_prefetch.h"
#include "render/system_renderer.h"
#include "ui/hud.h"
#include "ui/touch_screen.h"

namespace {
// Every game is played on a 10 x 10 board.
constexpr int BOARD_SIZE = 10;
// Vertical field of view of the camera, degrees; the projection and the picking
// must agree on it.
constexpr double FIELD_OF_VIEW = 70.0;
constexpr double NEAR_PLANE = 0.5;
constexpr double FAR_PLANE = 50.0;
// The hand is 5 % of the window height on a side (0.1 of the half height) but
// never smaller than 25 pixels.
constexpr double HAND_SHARE = 0.1;
constexpr double MIN_HAND_PIXELS = 50.0;  // in pixels of the full height: 25 on screen
// A click this long after the end starts the next game, so that a click meant for
// the last throw does not throw away the final score.
constexpr double RESTART_DELAY = 0.75;
// The hand turns at 20 radians a second.
constexpr double HAND_TURN_RATE = 20.0;
// Character codes of the keys that pause and resume.
constexpr int ESCAPE_KEY = 27;

const char* const TITLE_IMAGE = "graphics\\interface\\title.png";
// The same pictures telling of fingers and taps, for a touch screen.
const char* const TOUCH_TITLE_IMAGE = "graphics\\interface\\titletouch.png";
const char* const TOUCH_NEXT_GAME_IMAGE = "graphics\\interface\\nextgametouch.png";
const char* const TOUCH_PAUSED_IMAGE = "graphics\\interface\\pausedtouch.png";
const char* const HAND_IMAGE = "graphics\\interface\\hand.png";
const char* const MORALE_TEXT_IMAGE = "graphics\\interface\\moraletext.png";
const char* const MORALE_BAR_BORDER_IMAGE = "graphics\\interface\\moralebarborder.png";
const char* const MORALE_BAR_IMAGE = "graphics\\interface\\moralebar.png";
const char* const BLOBS_TEXT_IMAGE = "graphics\\interface\\blobstext.png";
const char* const SCORE_TEXT_IMAGE = "graphics\\interface\\scoretext.png";
const char* const DIGITS_IMAGE = "graphics\\interface\\digits.png";
const char* const COMPLETE_IMAGE = "graphics\\interface\\complete.png";
const char* const BEST_TEXT_IMAGE = "graphics\\interface\\besttext.png";
const char* const NEW_BEST_IMAGE = "graphics\\interface\\newbest.png";
const char* const NEXT_GAME_IMAGE = "graphics\\interface\\nextgame.png";
const char* const PAUSED_IMAGE = "graphics\\interface\\paused.png";
const char* const MUTED_IMAGE = "graphics\\interface\\muted.png";

// Interface images are clamped both ways and get every mipmap level from GLU.
void LoadInterfaceImage(CTexture& texture, const char* path) {
  texture.Load(path, false, false, -1);
}

// One the first frame does not show (only the title and the hand are up): read
// when first needed, or while the title is up.
void LoadInterfaceImageLater(CTexture& texture, const char* path) {
  texture.LoadLater(path, false, false, -1);
}
}  // namespace

std::shared_ptr<CRenderer> CGameUI::MakeOpenGLRenderer() {
  return ::MakeSystemRenderer();
}

std::shared_ptr<CSoundSink> CGameUI::MakeSystemSoundSink() {
  return ::MakeSystemSoundSink();
}

std::shared_ptr<CSoundSink> CGameUI::MakeSilentSoundSink() {
  return std::make_shared<CSilentSoundSink>();
}

CGameUI::CGameUI(RendererFactory makeRenderer, SoundSinkFactory makeSoundSink)
    : makeRenderer(makeRenderer), makeSoundSink(makeSoundSink) {}

std::vector<std::string> CGameUI::FirstFrameImages() {
  // The title first: by far the longest to decode, it gains most from a head
  // start. Enter reads it last, and decodes any image not ready by then itself.
  std::vector<std::string> images = {DeviceHasTouchScreen() ? TOUCH_TITLE_IMAGE : TITLE_IMAGE,
                                     HAND_IMAGE};
  const std::vector<std::string> board = CVisWorld::FirstFrameImages();
  images.insert(images.end(), board.begin(), board.end());
  return images;
}

void CGameUI::PrefetchFirstFrameImages() {
  CImagePrefetch::Shared().Start(FirstFrameImages());
}

void CGameUI::Enter() {
  SeedRandom(static_cast<unsigned int>(std::time(nullptr)));
  world.Reset(BOARD_SIZE, BOARD_SIZE);
  visWorld.Reset();
  endTime = 0;
  renderer = makeRenderer();
  renderer->SetClearColor(0, 0, 0);
  cameraDragging = false;
  std::fill(std::begin(panKeys), std::end(panKeys), false);
  skipNextUpdate = false;
  paused = false;
  resumeClickHeld = false;
  scoreKept = false;
  touchScreen = DeviceHasTouchScreen();
  touch = CTouchControls();
  // On a touch screen the hand shows only under a finger.
  handAway = touchScreen;
  LoadInterfaceImages();
  sound.Attach(makeSoundSink());
  soundPrepared = false;
  handTargetAngle = 0;
  hasTarget = false;
  target = nullptr;
  hold = CPlayerHold();
  handAngle = 0;
  titleShown = true;
  visWorld.blobsVisible = false;
  UpdateViewBasis();
}

void CGameUI::LoadInterfaceImages() {
  LoadInterfaceImage(titleTexture, touchScreen ? TOUCH_TITLE_IMAGE : TITLE_IMAGE);
  LoadInterfaceImage(handTexture, HAND_IMAGE);
  LoadInterfaceImageLater(moraleTextTexture, MORALE_TEXT_IMAGE);
  LoadInterfaceImageLater(moraleBarBorderTexture, MORALE_BAR_BORDER_IMAGE);
  LoadInterfaceImageLater(moraleBarTexture, MORALE_BAR_IMAGE);
  LoadInterfaceImageLater(scoreTextTexture, SCORE_TEXT_IMAGE);
  LoadInterfaceImageLater(blobsTextTexture, BLOBS_TEXT_IMAGE);
  LoadInterfaceImageLater(digitsTexture, DIGITS_IMAGE);
  LoadInterfaceImageLater(completeTexture, COMPLETE_IMAGE);
  LoadInterfaceImageLater(mutedTexture, MUTED_IMAGE);
  LoadInterfaceImageLater(bestTextTexture, BEST_TEXT_IMAGE);
  LoadInterfaceImageLater(newBestTexture, NEW_BEST_IMAGE);
  LoadInterfaceImageLater(nextGameTexture, touchScreen ? TOUCH_NEXT_GAME_IMAGE : NEXT_GAME_IMAGE);
  LoadInterfaceImageLater(pausedTexture, touchScreen ? TOUCH_PAUSED_IMAGE : PAUSED_IMAGE);
}

void CGameUI::Reshape(int width, int height) {
  if (renderer) renderer->SetViewport(0, 0, width, height);
  // A minimised window has no shape to speak of: keep the last one until the
  // window comes back.
  if (width > 0 && height > 0) {
    aspect = static_cast<double>(width) / height;
    handScale = HAND_SHARE;
    if (height * HAND_SHARE < MIN_HAND_PIXELS) handScale = MIN_HAND_PIXELS / height;
  }
  UpdateViewBasis();
}

void CGameUI::UpdateViewBasis() {
  double d[3];
  visWorld.GetViewRay(viewEye[0], viewEye[1], viewEye[2], d[0], d[1], d[2]);
  const double horizontal = std::sqrt(d[0] * d[0] + d[1] * d[1]);
  const double right[3] = {d[1] / horizontal, -d[0] / horizontal, 0};
  viewUp[0] = right[1] * d[2];
  viewUp[1] = -right[0] * d[2];
  viewUp[2] = right[0] * d[1] - right[1] * d[0];
  // The forward vector reaches the image plane at the height where the screen's
  // top edge is one unit up: half the 70 degree field of view.
  const double focal = 1 / std::tan(PI * 0.19444444444444445);
  for (int i = 0; i < 3; ++i) {
    viewForward[i] = d[i] * focal;
    viewRight[i] = right[i] * aspect;
  }
  world.eyePoint.x = viewEye[0];
  world.eyePoint.y = viewEye[1];
  world.eyePoint.z = viewEye[2];

  // The three columns are perpendicular, so each row of the inverse is a column
  // divided by its squared length.
  const double* columns[3] = {viewForward, viewRight, viewUp};
  for (int row = 0; row < 3; ++row) {
    const double* c = columns[row];
    const double length2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    for (int i = 0; i < 3; ++i) screenBasisInverse[row * 3 + i] = c[i] / length2;
  }
}

void CGameUI::SpecialKey(int key, bool pressed) {
  switch (key) {
    case SK_RIGHT:
      panKeys[0] = pressed;
      break;
    case SK_UP:
      panKeys[1] = pressed;
      break;
    case SK_LEFT:
      panKeys[2] = pressed;
      break;
    case SK_DOWN:
      panKeys[3] = pressed;
      break;
    default:
      break;
  }
}

void CGameUI::Key(int key, bool pressed) {
  if (!pressed) return;
  if (key == 'm' || key == 'M') sound.ToggleMute();
  if (key == 'p' || key == 'P' || key == ESCAPE_KEY) {
    if (paused) {
      Resume();
    } else {
      Pause();
    }
  }
}

void CGameUI::Visibility(bool shown) {
  // Back from being hidden, the game waits for the player to say go.
  if (!shown) Pause();
}

// Only a running game pauses: on the title and at the end nothing runs to stop.
void CGameUI::Pause() {
  if (paused || titleShown || !world.IsRunning()) return;
  paused = true;
  // A camera drag would turn the view under the pause; it ends here instead.
  if (cameraDragging) {
    cameraDragging = false;
    UpdateViewBasis();
  }
  sound.Pause(true);
}

void CGameUI::Resume() {
  if (!paused) return;
  paused = false;
  sound.Pause(false);
  // The pointer may have moved while the aim stood still.
  UpdateAim();
}

void CGameUI::PanView(int direction, double dt) {
  double fx = viewForward[0];
  double fy = viewForward[1];
  const double length = std::sqrt(fx * fx + fy * fy);
  fx = fx / length;
  fy = fy / length;
  double vx = 0;
  double vy = 0;
  switch (direction) {
    case 0:  // right
      vx = fy;
      vy = -fx;
      break;
    case 1:  // forward, up the screen
      vx = fx;
      vy = fy;
      break;
    case 2:  // left
      vx = -fy;
      vy = fx;
      break;
    case 3:  // back
      vx = -fx;
      vy = -fy;
      break;
    default:
      return;
  }
  visWorld.Pan(vx * dt, vy * dt);
  UpdateViewBasis();
}

// A drag across the whole window height slides the view as a second of an arrow
// key does; the view goes against the fingers, so the board follows them.
void CGameUI::SlideView(double dx, double dy) {
  const double right = -dx * aspect;
  const double forward = -dy;
  if (right != 0) PanView(right > 0 ? 0 : 2, right > 0 ? right : -right);
  if (forward != 0) PanView(forward > 0 ? 1 : 3, forward > 0 ? forward : -forward);
}

void CGameUI::Touch(int finger, int phase, double x, double y) {
  touch.Touch(*this, finger, phase, x, y);
}

bool CGameUI::TapsPauseButton(double x, double y) {
  if (!touchScreen || titleShown || paused || !world.IsRunning()) return false;
  double x0 = 0;
  double x1 = 0;
  double y0 = 0;
  double y1 = 0;
  PauseButtonBox(x0, x1, y0, y1);
  // A finger is no pointer: the button answers a little around its picture.
  const double slackX = (x1 - x0) / 2;
  const double slackY = (y1 - y0) / 2;
  const double ndcX = (x - 0.5) * 2;
  const double ndcY = (y - 0.5) * 2;
  if (ndcX < x0 - slackX || ndcX > x1 + slackX || ndcY < y0 - slackY || ndcY > y1 + slackY) {
    return false;
  }
  Pause();
  return true;
}

bool CGameUI::FingerMeansHand() const {
  return titleShown || paused || !world.IsRunning() || hasTarget;
}

void CGameUI::MouseMove(double x, double y) {
  pointerX = x;
  pointerY = y;
  handAway = false;
  // The hand follows the pointer, but the aim and the sling stand still.
  if (paused) return;
  if (cameraDragging) {
    // The basis is refreshed once, when the drag ends.
    visWorld.Rotate(x - dragStartX, y - dragStartY);
  } else if (world.IsRunning()) {
    UpdateAim();
  }
}

void CGameUI::MouseButton(int button, bool pressed) {
  if (titleShown) {
    // The first press only takes the title away.
    if (pressed) {
      visWorld.blobsVisible = true;
      titleShown = false;
      // The title never comes back, and its image is the largest the game has.
      titleTexture.Release();
      sound.TitleClicked();
    }
    return;
  }
  // On the paused screen a left press only resumes, and its release is part of
  // the same click; every other button waits for the game to go on.
  if (paused) {
    if (button == MB_LEFT && pressed) {
      Resume();
      resumeClickHeld = true;
    }
    return;
  }
  if (button == MB_LEFT && !pressed && resumeClickHeld) {
    resumeClickHeld = false;
    return;
  }
  if (button == MB_RIGHT) {
    cameraDragging = pressed;
    if (pressed) {
      dragStartX = pointerX;
      dragStartY = pointerY;
      visWorld.dragStartYaw = visWorld.yaw;
      visWorld.dragStartPitch = visWorld.pitch;
    } else {
      UpdateViewBasis();
    }
    return;
  }
  if (button == MB_LEFT) LeftButton(pressed);
}

// Press: grab the blob the hand points at. Release: throw it, or after the end
// start the next game. The hand is busy during a flick.
void CGameUI::LeftButton(bool pressed) {
  if (hold.Throwing()) return;
  if (!pressed) {
    if (CanStartNextGame()) {
      StartNewGame();
    } else if (hold.Release()) {
      if (const CUnit* unit = LiveTarget()) sound.Flicked(*unit);
    }
    return;
  }

  if (!hasTarget || !world.IsRunning()) return;
  // The game runs, so only a blob gone from the world is refused.
  if (!hold.Grab(world, target)) {
    ForgetTarget();
    return;
  }
  sound.Grabbed(Target());
}

void CGameUI::StartNewGame() {
  world.Reset(BOARD_SIZE, BOARD_SIZE);
  // The cues hear of the new game now: the next Advance starts a fresh record.
  sound.Watch(world);
  visWorld.Reset();
  UpdateViewBasis();
  endTime = 0;
  skipNextUpdate = true;
  scoreKept = false;
  // The old blobs are gone with the old game; a new one may even be built where
  // one of them was, so no pointer to them may survive.
  ForgetTarget();
  hold = CPlayerHold();
}

bool CGameUI::CanStartNextGame() const {
  return !world.IsRunning() && endTime >= RESTART_DELAY;
}

void CGameUI::KeepBestScore() {
  if (scoreKept) return;
  scoreKept = true;
  const long score = RoundedScore(world.score);
  newBest = bestScore >= 0 && score > bestScore;
  bestScore = std::max(bestScore, score);
}

void CGameUI::ForgetTarget() {
  hasTarget = false;
  target = nullptr;
  handTargetAngle = 0;
}

CUnit* CGameUI::LiveTarget() const {
  return world.ContainsUnit(target) ? target : nullptr;
}

void CGameUI::UpdateAim() {
  pointerNdcX = (pointerX - 0.5) * 2;
  pointerNdcY = (pointerY - 0.5) * 2;
  const bool handFree = !hold.Busy();
  const bool throwing = hold.Throwing();

  double s2 = 0;
  PickResult pick;
  if (handFree) {
    pick = world.PickUnit(pointerNdcX, pointerNdcY, viewEye, screenBasisInverse, aspect,
                          FIELD_OF_VIEW);
    hasTarget = pick.found;
    if (pick.unit) target = pick.unit;
  }
  if (!hasTarget) {
    handTargetAngle = 0;
    return;
  }

  const double focal = 1 / std::tan(0.6108647222222222);
  if (handFree) {
    targetDistance = pick.distance;
    targetScreenX = pick.screenX;
    targetScreenY = pick.screenY;
    s2 = pick.screenDistance2;
  } else {
    // A held blob is not projected again: the sling pulls from where it was grabbed.
    const double ox = (pointerNdcX - targetScreenX) * aspect;
    const double oy = pointerNdcY - targetScreenY;
    s2 = ox * ox + oy * oy;
  }
  const double radius = focal * BLOB_RADIUS / targetDistance;

  // The pull in target radii on screen.
  double pull = 0;
  if (!throwing) {
    const double s = std::sqrt(s2);
    pull = s / radius;
    flickLength = s <= radius ? s / 2 : s - radius / 2;
  }
  // More than two radii away the hand lets the blob be.
  if (handFree && 4 * (radius * radius) < s2) {
    hasTarget = false;
    handTargetAngle = 0;
    return;
  }
  handTargetAngle =
      std::atan2(pointerNdcY - targetScreenY, (pointerNdcX - targetScreenX) * aspect) + PI / 2;

  if (!throwing) hold.Aim(Target(), GroundAngleToPointer(), pull);
}

// The screen offset as a vector in the image plane, slid along the line of sight
// through the blob until it lies flat.
double CGameUI::GroundAngleToPointer() const {
  const double dx = pointerNdcX - targetScreenX;
  const double dy = pointerNdcY - targetScreenY;
  const RenderVertex p = Target().DisplayPosition();
  const double w[3] = {p.x - viewEye[0], p.y - viewEye[1], p.z - viewEye[2]};
  double v[3];
  for (int i = 0; i < 3; ++i) v[i] = dx * viewRight[i] + dy * viewUp[i];
  const double q = v[2] / w[2];
  const double gx = v[0] - q * w[0];
  const double gy = v[1] - q * w[1];
  return std::atan2(gy, gx);
}

void CGameUI::Update(double dt) {
  PrepareSoundOnceShown();
  // One image a frame of those the first frame did not need.
  CTexture::LoadPending();
  // The frames of a pause pass without their time: it never reaches the game,
  // not even as one long step when it goes on.
  if (paused) return;
  if (skipNextUpdate) {
    skipNextUpdate = false;
    return;
  }
  // Nothing moves while the title is up.
  if (titleShown) return;
  if (!world.IsRunning()) {
    hasTarget = false;
    endTime = endTime + dt;
    handTargetAngle = 0;
  }
  for (int direction = 0; direction < 4; ++direction) {
    if (panKeys[direction]) PanView(direction, dt);
  }
  visWorld.Update(dt);
  world.Advance(dt);
  if (!world.IsRunning()) KeepBestScore();
  // A blob under a still pointer may have finished its fall and left the world.
  if (hasTarget && !hold.Busy() && !LiveTarget()) ForgetTarget();
  AdvanceHold(dt);
  TurnHand(dt);
  FollowWithSound();
}

// No sound is heard before the title is clicked, so opening the device and
// reading the sounds need not hold up the first frame; the title waits long
// enough for it to happen here. A sound asked for earlier still plays: the sink
// gets ready on its own when first used.
void CGameUI::PrepareSoundOnceShown() {
  if (!frameShown || soundPrepared) return;
  sound.Prepare();
  soundPrepared = true;
}

void CGameUI::FollowWithSound() {
  const double lookAt[3] = {viewEye[0] + viewForward[0], viewEye[1] + viewForward[1],
                            viewEye[2] + viewForward[2]};
  sound.PlaceListener(viewEye, lookAt);
  double pull = 0;
  if (hold.Holding()) {
    // The hold stands here (Update has just checked it), so the target is live.
    const double range = Target().ThrowRange();
    pull = range > 0 ? hold.PushDistance() / range : 0;
  }
  sound.FollowHand(hold.Holding(), pull);
  sound.Watch(world);
}

// The hold's end frees the hand: a cancelled hold aims afresh at whatever lies under
// the pointer, a finished flick lets the thrown blob be.
void CGameUI::AdvanceHold(double dt) {
  switch (hold.Update(world, dt)) {
    case HOLD_END_CANCELLED:
      if (!LiveTarget()) ForgetTarget();
      UpdateAim();
      break;
    case HOLD_END_FLICK_DONE:
      hasTarget = false;
      break;
    case HOLD_END_NONE:
      break;
  }
}

// The hand turns toward its goal along the shorter arc and keeps its angle in
// 0 .. 2 pi.
void CGameUI::TurnHand(double dt) {
  double goal = handTargetAngle;
  double angle = handAngle;
  if (goal == angle) return;
  if (goal < 0) {
    goal = goal + 2 * PI;
    handTargetAngle = goal;
  }
  int direction = 0;
  double remaining = 0;
  if (goal < PI) {
    if (angle <= goal) {
      direction = 1;
      remaining = goal - angle;
    } else if (angle > goal + PI) {
      direction = 1;
      remaining = goal - angle + 2 * PI;
    } else {
      direction = -1;
      remaining = angle - goal;
    }
  } else if (goal - PI < angle && angle < goal) {
    direction = 1;
    remaining = goal - angle;
  } else {
    direction = -1;
    remaining = angle >= PI ? angle - goal : angle - goal + 2 * PI;
  }
  const double step = HAND_TURN_RATE * dt;
  if (step > remaining) {
    angle = goal;
  } else {
    angle = angle + direction * step;
    if (angle < 0) angle = angle + 2 * PI;
    if (angle > 2 * PI) angle = angle - 2 * PI;
  }
  handAngle = angle;
}

void CGameUI::Draw() {
  if (!renderer) return;
  CRenderer& r = *renderer;
  r.SetDepthTest(true);
  r.Clear();
  r.ResetMatrices();
  r.SetPerspective(FIELD_OF_VIEW, aspect, NEAR_PLANE, FAR_PLANE);
  // The marker sits where the blob will land: opposite the pull.
  visWorld.aimAngle = PI + hold.PushAngle();
  visWorld.aimVisible = hold.Holding();
  visWorld.aimDistance = hold.PushDistance();
  visWorld.aimOrigin = hold.GrabPosition();
  visWorld.targetValid = hold.TargetValid();
  visWorld.Draw(r);
  visWorld.NotePart(PART_DISPLAY);
  DrawHud();
  frameShown = true;
}
