// The heads-up display: the title, the running display (morale bar, blob count,
// score) or the end display (completion image, final score), then the hand.
#include "ui/hud.h"

#include <cmath>
#include <cstdio>

#include "ui/game_ui.h"

namespace {
// Each glyph is the middle 0.07 of its tenth of the digit strip, which keeps
// the neighbouring digits' edges out of it when the image is filtered.
constexpr double GLYPH_CELL = 0.1;
constexpr double GLYPH_MARGIN = 0.015;
constexpr double GLYPH_SPAN = 0.07;

// Running display, in units of half the window width from the top-left corner.
constexpr double BAR_TOP = -0.03;
constexpr double BAR_BOTTOM = -0.1;
constexpr double BAR_LEFT = 0.275;
constexpr double BAR_INNER_LEFT = 0.2925;      // after the left cap
constexpr double BORDER_INNER_RIGHT = 0.9925;  // before the border's right cap
constexpr double BORDER_RIGHT = 1.01;
constexpr double BAR_CAP = 0.0175;
constexpr double RUNNING_GLYPH_WIDTH = 0.0392;
constexpr double BLOB_COUNT_LEFT = 1.325;
constexpr double SCORE_LEFT = 1.71;

// End display, around the window's centre. The best score takes the row under
// the final score, the call to play again the one under that.
constexpr double FINAL_SCORE_TOP = -0.05;
constexpr double FINAL_SCORE_BOTTOM = -0.175;
constexpr double FINAL_GLYPH_WIDTH = 0.07;
constexpr double SCORE_LABEL_LEFT = -0.35;
constexpr double SCORE_LABEL_RIGHT = 0.15;
constexpr double BEST_TOP = -0.2;
constexpr double BEST_BOTTOM = -0.325;
// "New best!" follows the best score's digits, a little apart, as a 4:1 image.
constexpr double NEW_BEST_GAP = 0.03;
constexpr double NEW_BEST_WIDTH = 0.4;
constexpr double NEW_BEST_TOP = -0.21;
constexpr double NEXT_GAME_HALF_WIDTH = 0.3;
constexpr double NEXT_GAME_TOP = -0.37;
constexpr double NEXT_GAME_BOTTOM = -0.52;

// The paused game shows through at half its brightness, under a 4:1 image.
constexpr double PAUSED_DIMMING = 0.5;
constexpr double PAUSED_HALF_WIDTH = 0.6;
constexpr double PAUSED_HALF_HEIGHT = 0.15;

// The muted speaker: a square this many screen units on a side, this far from the
// bottom-right corner, clear of the morale bar, the score and the end display.
constexpr double MUTED_SIZE = 0.12;
constexpr double MUTED_MARGIN = 0.04;

// The pause button on a touch screen: a square this many screen units on a side in
// the bottom-left corner, clear of the running display and the muted speaker; two
// light bars on a dark ground, as on any player.
constexpr double PAUSE_BUTTON_SIZE = 0.2;
constexpr double PAUSE_BUTTON_MARGIN = 0.04;
constexpr double PAUSE_BUTTON_GROUND = 0.45;
constexpr double PAUSE_BAR_WIDTH = 0.2;  // of the button's side, each
constexpr double PAUSE_BAR_GAP = 0.16;
constexpr double PAUSE_BAR_HEIGHT = 0.56;

// The hand image is moved so that its finger tip, 0.15 left of and 0.43 above
// the image's centre, sits on the pointer.
constexpr double HAND_SHIFT_X = 0.15;
constexpr double HAND_SHIFT_Y = -0.43;

RenderVertex HudVertex(double x, double y, double u, double v) {
  return VertexAt(x, y, 0, u, v);
}

}  // namespace

long RoundedScore(double score) {
  return static_cast<long>(score + 0.5);
}

void DrawHudQuad(CRenderer& r, double x0, double x1, double y0, double y1, double u0, double u1) {
  r.BeginQuads();
  r.AddQuad(HudVertex(x0, y1, u0, 1), HudVertex(x0, y0, u0, 0), HudVertex(x1, y0, u1, 0),
            HudVertex(x1, y1, u1, 1));
  r.EndQuads();
}

void DrawHudDigits(CRenderer& r, const char* text, double x, double glyphWidth, double y0,
                   double y1) {
  r.BeginQuads();
  for (int i = 0; text[i] != '\0'; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') continue;
    const int digit = c - '0';
    const double left = x + i * glyphWidth;
    const double right = left + glyphWidth;
    const double u0 = digit * GLYPH_CELL + GLYPH_MARGIN;
    const double u1 = u0 + GLYPH_SPAN;
    r.AddQuad(HudVertex(left, y1, u0, 1), HudVertex(left, y0, u0, 0), HudVertex(right, y0, u1, 0),
              HudVertex(right, y1, u1, 1));
  }
  r.EndQuads();
}

namespace {
// A bar of three slices from the quarters of its image: left cap, stretched
// middle, right cap.
void DrawBarSlices(CRenderer& r, double innerRight, double right) {
  DrawHudQuad(r, BAR_LEFT, BAR_INNER_LEFT, BAR_BOTTOM, BAR_TOP, 0, 0.25);
  DrawHudQuad(r, BAR_INNER_LEFT, innerRight, BAR_BOTTOM, BAR_TOP, 0.25, 0.75);
  DrawHudQuad(r, innerRight, right, BAR_BOTTOM, BAR_TOP, 0.75, 1);
}
}  // namespace

void CGameUI::DrawHud() {
  CRenderer& r = *renderer;
  r.ResetMatrices();
  r.SetDepthTest(false);
  r.EnableAlphaBlend();
  r.SetColor(1, 1, 1);
  // Texturing and fog are still on from the scene; at eye distance 0 nothing
  // here is fogged.
  if (titleShown) {
    DrawTitleLayout();
  } else if (world.IsRunning()) {
    DrawRunningLayout();
    if (paused) DrawPausedLayout();
  } else {
    DrawEndLayout();
  }
  if (touchScreen && world.IsRunning() && !titleShown && !paused) DrawPauseButton();
  if (sound.Muted()) DrawMuted();
  // While the camera is dragged no pointer shows at all, nor once the finger
  // has lifted and its flick is over.
  if (!cameraDragging && (!handAway || hold.Throwing())) DrawHand();
  r.DisableBlend();
}

void CGameUI::DrawTitleLayout() {
  CRenderer& r = *renderer;
  titleTexture.Bind();
  r.PushMatrix();
  r.Scale(1, aspect, 1);
  // Full window width, half as high, centred.
  DrawHudQuad(r, -1, 1, -0.5, 0.5);
  r.PopMatrix();
}

void CGameUI::DrawRunningLayout() {
  CRenderer& r = *renderer;
  const double morale = world.AverageMorale();
  r.PushMatrix();
  // From the top-left corner, one unit is half the window width both ways.
  r.Translate(-1, 1, 0);
  r.Scale(1, aspect, 1);
  moraleTextTexture.Bind();
  DrawHudQuad(r, 0.03, 0.31, BAR_BOTTOM, BAR_TOP);
  moraleBarBorderTexture.Bind();
  DrawBarSlices(r, BORDER_INNER_RIGHT, BORDER_RIGHT);
  // The middle grows from nothing at morale 0 to the border's inside at 1.
  const double barEnd = (morale * 10 + 3.75) * 0.07 + 0.03;
  moraleBarTexture.Bind();
  DrawBarSlices(r, barEnd, barEnd + BAR_CAP);

  // The numbers start inside their labels, whose images leave room for them.
  char text[32];
  blobsTextTexture.Bind();
  DrawHudQuad(r, 1.115, 1.395, BAR_BOTTOM, BAR_TOP);
  std::snprintf(text, sizeof(text), "%02d", static_cast<int>(world.units.size()));
  digitsTexture.Bind();
  DrawHudDigits(r, text, BLOB_COUNT_LEFT, RUNNING_GLYPH_WIDTH, BAR_BOTTOM, BAR_TOP);
  scoreTextTexture.Bind();
  DrawHudQuad(r, 1.5, 1.78, BAR_BOTTOM, BAR_TOP);
  std::snprintf(text, sizeof(text), "%05ld", RoundedScore(world.score));
  digitsTexture.Bind();
  DrawHudDigits(r, text, SCORE_LEFT, RUNNING_GLYPH_WIDTH, BAR_BOTTOM, BAR_TOP);
  r.PopMatrix();
}

void CGameUI::DrawEndLayout() {
  CRenderer& r = *renderer;
  r.PushMatrix();
  r.Scale(1, aspect, 1);
  completeTexture.Bind();
  DrawHudQuad(r, -0.5, 0.5, 0, 0.25);
  scoreTextTexture.Bind();
  DrawHudQuad(r, SCORE_LABEL_LEFT, SCORE_LABEL_RIGHT, FINAL_SCORE_BOTTOM, FINAL_SCORE_TOP);
  // The final score starts at the centre line and grows to the right.
  char text[32];
  std::snprintf(text, sizeof(text), "%ld", RoundedScore(world.score));
  digitsTexture.Bind();
  DrawHudDigits(r, text, 0, FINAL_GLYPH_WIDTH, FINAL_SCORE_BOTTOM, FINAL_SCORE_TOP);
  if (bestScore >= 0) {
    bestTextTexture.Bind();
    DrawHudQuad(r, SCORE_LABEL_LEFT, SCORE_LABEL_RIGHT, BEST_BOTTOM, BEST_TOP);
    const int length = std::snprintf(text, sizeof(text), "%ld", bestScore);
    digitsTexture.Bind();
    DrawHudDigits(r, text, 0, FINAL_GLYPH_WIDTH, BEST_BOTTOM, BEST_TOP);
    if (newBest) {
      newBestTexture.Bind();
      const double left = length * FINAL_GLYPH_WIDTH + NEW_BEST_GAP;
      DrawHudQuad(r, left, left + NEW_BEST_WIDTH, NEW_BEST_TOP - NEW_BEST_WIDTH / 4, NEW_BEST_TOP);
    }
  }
  // Told only once it is true.
  if (CanStartNextGame()) {
    nextGameTexture.Bind();
    DrawHudQuad(r, -NEXT_GAME_HALF_WIDTH, NEXT_GAME_HALF_WIDTH, NEXT_GAME_BOTTOM, NEXT_GAME_TOP);
  }
  r.PopMatrix();
}

void CGameUI::DrawPausedLayout() {
  CRenderer& r = *renderer;
  r.DisableTexturing();
  r.SetColor(0, 0, 0, PAUSED_DIMMING);
  DrawHudQuad(r, -1, 1, -1, 1);
  r.EnableTexturing();
  r.SetColor(1, 1, 1);
  pausedTexture.Bind();
  r.PushMatrix();
  r.Scale(1, aspect, 1);
  DrawHudQuad(r, -PAUSED_HALF_WIDTH, PAUSED_HALF_WIDTH, -PAUSED_HALF_HEIGHT, PAUSED_HALF_HEIGHT);
  r.PopMatrix();
}

void CGameUI::DrawMuted() {
  CRenderer& r = *renderer;
  mutedTexture.Bind();
  // x in screen units is 1 / aspect of the viewport's x, so the icon stays square.
  const double right = 1 - MUTED_MARGIN / aspect;
  const double left = right - MUTED_SIZE / aspect;
  const double bottom = -1 + MUTED_MARGIN;
  DrawHudQuad(r, left, right, bottom, bottom + MUTED_SIZE);
}

void CGameUI::PauseButtonBox(double& x0, double& x1, double& y0, double& y1) const {
  // x in screen units is 1 / aspect of the viewport's x, so the button stays square.
  x0 = -1 + PAUSE_BUTTON_MARGIN / aspect;
  x1 = x0 + PAUSE_BUTTON_SIZE / aspect;
  y0 = -1 + PAUSE_BUTTON_MARGIN;
  y1 = y0 + PAUSE_BUTTON_SIZE;
}

void CGameUI::DrawPauseButton() {
  CRenderer& r = *renderer;
  double x0 = 0;
  double x1 = 0;
  double y0 = 0;
  double y1 = 0;
  PauseButtonBox(x0, x1, y0, y1);
  r.DisableTexturing();
  r.SetColor(0, 0, 0, PAUSE_BUTTON_GROUND);
  DrawHudQuad(r, x0, x1, y0, y1);
  r.SetColor(1, 1, 1);
  const double side = x1 - x0;
  const double middle = (x0 + x1) / 2;
  const double barBottom = (y0 + y1) / 2 - (y1 - y0) * PAUSE_BAR_HEIGHT / 2;
  const double barTop = barBottom + (y1 - y0) * PAUSE_BAR_HEIGHT;
  const double inner = side * PAUSE_BAR_GAP / 2;
  const double outer = inner + side * PAUSE_BAR_WIDTH;
  DrawHudQuad(r, middle - outer, middle - inner, barBottom, barTop);
  DrawHudQuad(r, middle + inner, middle + outer, barBottom, barTop);
  r.EnableTexturing();
}

void CGameUI::DrawHand() {
  CRenderer& r = *renderer;
  double reach = 0;
  if (hold.Throwing()) {
    // The hand slides along its finger toward the blob and back, peaking at
    // flickLength half-way, when the blob is pushed.
    const double p = hold.Progress();
    reach = 4 * (p - p * p) / handScale * flickLength;
  }
  handTexture.Bind();
  r.PushMatrix();
  r.Translate((pointerX - 0.5) * 2, (pointerY - 0.5) * 2, 0);
  r.Scale(handScale);
  // Square on screen.
  r.Scale(1 / aspect, 1, 1);
  r.Rotate(handAngle, 0, 0, 1);
  r.Translate(HAND_SHIFT_X, HAND_SHIFT_Y + reach, 0);
  DrawHudQuad(r, -0.5, 0.5, -0.5, 0.5);
  r.PopMatrix();
}
