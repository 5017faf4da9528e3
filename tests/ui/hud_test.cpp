#include "ui/hud.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/ui/screen_fixture.h"

namespace {

using screentest::Recorder;
using screentest::ScreenTest;

// One image quad of the display as it lands in the viewport (-1 to 1).
struct Quad {
  double x0, x1, y0, y1;  // corners after the transformations in force
  double u0, u1;
  RenderVertex corner[4];  // the four corners as given, before the transformations
  double modelview[16];
};

class HudTest : public ScreenTest {
 protected:
  // Draws the display alone and collects its quads in order; each quad's corners
  // are checked to come top-left, bottom-left, bottom-right, top-right.
  std::vector<Quad> DrawQuads() {
    Recorder()->Forget();
    ui.DrawHud();
    std::vector<Quad> quads;
    for (const RecordedCall& call : Recorder()->calls) {
      if (call.op != "AddQuad") continue;
      Quad q;
      for (int i = 0; i < 4; ++i) q.corner[i] = call.vertices[i];
      std::copy(call.modelview, call.modelview + 16, q.modelview);
      double topLeft[3], bottomRight[3];
      TransformPoint(call.modelview, q.corner[0].x, q.corner[0].y, 0, topLeft);
      TransformPoint(call.modelview, q.corner[2].x, q.corner[2].y, 0, bottomRight);
      q.x0 = topLeft[0];
      q.y1 = topLeft[1];
      q.x1 = bottomRight[0];
      q.y0 = bottomRight[1];
      q.u0 = q.corner[0].u;
      q.u1 = q.corner[2].u;
      EXPECT_EQ(q.corner[0].x, q.corner[1].x);
      EXPECT_GT(q.corner[0].y, q.corner[1].y);
      EXPECT_EQ(q.corner[1].y, q.corner[2].y);
      EXPECT_GE(q.corner[2].x, q.corner[1].x);  // an empty bar has no width
      EXPECT_EQ(q.corner[3].x, q.corner[2].x);
      EXPECT_EQ(q.corner[3].y, q.corner[0].y);
      EXPECT_EQ(q.corner[0].v, 1.0);
      EXPECT_EQ(q.corner[1].v, 0.0);
      EXPECT_EQ(q.corner[2].v, 0.0);
      EXPECT_EQ(q.corner[3].v, 1.0);
      EXPECT_EQ(q.corner[3].u, q.u1);
      EXPECT_EQ(q.corner[1].u, q.u0);
      for (const RenderVertex& v : q.corner) {
        EXPECT_EQ(v.z, 0.0);
        EXPECT_FALSE(v.hasColor);
      }
      quads.push_back(q);
    }
    return quads;
  }

  // Running-display coordinates: from the top-left corner, one unit is half the
  // window width in both directions.
  static double RunX(double viewportX) { return viewportX + 1; }
  double RunY(double viewportY) const { return (viewportY - 1) / ui.aspect; }

  // The digits a batch of glyph quads shows, read back from their texture spans.
  static std::string Glyphs(const std::vector<Quad>& quads, size_t from, size_t count) {
    std::string text;
    for (size_t i = from; i < from + count; ++i) {
      const int digit = static_cast<int>(std::lround((quads[i].u0 - 0.015) / 0.1));
      EXPECT_NEAR(quads[i].u0, digit * 0.1 + 0.015, 1e-12);
      EXPECT_NEAR(quads[i].u1, digit * 0.1 + 0.085, 1e-12);
      text += static_cast<char>('0' + digit);
    }
    return text;
  }

  // Units with no behaviour count as blobs and add nothing to the morale.
  void SetBlobCount(int count) {
    BareBoard();
    for (int i = 0; i < count; ++i) ui.world.units.emplace_back(&ui.world);
  }

  void SetMorale(double morale) {
    BareBoard();
    CUnit& blob = AddBlob(4, 4);
    blob.behaviour->happiness = morale;
    blob.behaviour->fear = 0;
  }
};

TEST_F(HudTest, TheDisplaySetsItsOwnStateAndLeavesBlendingOff) {
  DismissTitle();
  Recorder()->Forget();
  ui.DrawHud();
  const std::vector<std::string> ops = Recorder()->Ops();
  ASSERT_GE(ops.size(), 5u);
  EXPECT_EQ(ops[0], "ResetMatrices");
  EXPECT_EQ(ops[1], "SetDepthTest");
  EXPECT_EQ(Recorder()->calls[1].args, (std::vector<double>{0}));
  EXPECT_EQ(ops[2], "EnableAlphaBlend");
  EXPECT_EQ(ops[3], "SetColor");
  EXPECT_EQ(Recorder()->calls[3].args, (std::vector<double>{1, 1, 1, 1}));
  EXPECT_EQ(ops.back(), "DisableBlend");
  EXPECT_EQ(Recorder()->Count("PushMatrix"), Recorder()->Count("PopMatrix"));
  EXPECT_EQ(Recorder()->Count("EnableTexturing") + Recorder()->Count("DisableTexturing") +
                Recorder()->Count("DisableFog"),
            0);
}

TEST_F(HudTest, TheTitleSpansTheWindowWidthAndHalfAsMuchInHeight) {
  ui.Reshape(800, 600);
  std::vector<Quad> quads = DrawQuads();
  ASSERT_EQ(quads.size(), 2u);  // the title and the hand
  EXPECT_DOUBLE_EQ(quads[0].x0, -1);
  EXPECT_DOUBLE_EQ(quads[0].x1, 1);
  // In a 4:3 window a sixth of the height is left above and below.
  EXPECT_DOUBLE_EQ(quads[0].y1, 2.0 / 3);
  EXPECT_DOUBLE_EQ(quads[0].y0, -2.0 / 3);
  ui.Reshape(1000, 400);
  quads = DrawQuads();
  EXPECT_DOUBLE_EQ(quads[0].x1, 1);
  EXPECT_DOUBLE_EQ(quads[0].y1, 1.25);
}

TEST_F(HudTest, TheRunningDisplayLaysOutLabelsBarCountAndScore) {
  DismissTitle();
  SetMorale(0.5);
  ui.world.score = 42;
  const std::vector<Quad> quads = DrawQuads();
  // Morale label, three border slices, three bar slices, blobs label, two digits,
  // score label, five digits, hand.
  ASSERT_EQ(quads.size(), 17u);
  const double labelX[][2] = {{0.03, 0.31}, {1.115, 1.395}, {1.5, 1.78}};
  const size_t labelIndex[] = {0, 7, 10};
  for (int i = 0; i < 3; ++i) {
    const Quad& q = quads[labelIndex[i]];
    EXPECT_NEAR(RunX(q.x0), labelX[i][0], 1e-12);
    EXPECT_NEAR(RunX(q.x1), labelX[i][1], 1e-12);
  }
  for (size_t i = 0; i + 1 < quads.size(); ++i) {
    EXPECT_NEAR(RunY(quads[i].y1), -0.03, 1e-12);
    EXPECT_NEAR(RunY(quads[i].y0), -0.1, 1e-12);
  }
  EXPECT_EQ(Glyphs(quads, 8, 2), "01");
  EXPECT_EQ(Glyphs(quads, 11, 5), "00042");
  // Each quad has its own batch, except the digits of one number.
  EXPECT_EQ(Recorder()->Count("BeginQuads"), 1 + 3 + 3 + 1 + 1 + 1 + 1 + 1);
}

TEST_F(HudTest, TheBarGrowsWithMoraleInsideItsBorder) {
  DismissTitle();
  struct Case {
    double morale, end;
  };
  for (const Case& c : {Case{0, 0.2925}, Case{0.5, 0.6425}, Case{1, 0.9925}}) {
    SetMorale(c.morale);
    ASSERT_DOUBLE_EQ(ui.world.AverageMorale(), c.morale);
    const std::vector<Quad> quads = DrawQuads();
    // Border slices 1..3, bar slices 4..6.
    const double border[][4] = {
        {0.275, 0.2925, 0, 0.25}, {0.2925, 0.9925, 0.25, 0.75}, {0.9925, 1.01, 0.75, 1}};
    const double bar[][4] = {
        {0.275, 0.2925, 0, 0.25}, {0.2925, c.end, 0.25, 0.75}, {c.end, c.end + 0.0175, 0.75, 1}};
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(RunX(quads[1 + i].x0), border[i][0], 1e-12) << c.morale;
      EXPECT_NEAR(RunX(quads[1 + i].x1), border[i][1], 1e-12) << c.morale;
      EXPECT_EQ(quads[1 + i].u0, border[i][2]);
      EXPECT_EQ(quads[1 + i].u1, border[i][3]);
      EXPECT_NEAR(RunX(quads[4 + i].x0), bar[i][0], 1e-12) << c.morale;
      EXPECT_NEAR(RunX(quads[4 + i].x1), bar[i][1], 1e-12) << c.morale;
      EXPECT_EQ(quads[4 + i].u0, bar[i][2]);
      EXPECT_EQ(quads[4 + i].u1, bar[i][3]);
    }
  }
}

TEST_F(HudTest, TheBlobCountHasAtLeastTwoDigits) {
  DismissTitle();
  SetBlobCount(7);
  ui.world.gameClock.active = true;
  std::vector<Quad> quads = DrawQuads();
  EXPECT_EQ(Glyphs(quads, 8, 2), "07");
  EXPECT_NEAR(RunX(quads[8].x0), 1.325, 1e-12);
  EXPECT_NEAR(RunX(quads[9].x0), 1.3642, 1e-12);

  SetBlobCount(123);
  quads = DrawQuads();
  ASSERT_EQ(quads.size(), 18u);
  EXPECT_EQ(Glyphs(quads, 8, 3), "123");
  EXPECT_NEAR(RunX(quads[10].x0), 1.4034, 1e-12);
  EXPECT_NEAR(RunX(quads[10].x1), 1.4426, 1e-12);
}

TEST_F(HudTest, TheScoreIsRoundedAndPaddedToFiveDigitsWhileRunning) {
  DismissTitle();
  SetBlobCount(15);
  ui.world.score = 1234.5;
  std::vector<Quad> quads = DrawQuads();
  EXPECT_EQ(Glyphs(quads, 11, 5), "01235");
  for (int i = 0; i < 5; ++i) {
    EXPECT_NEAR(RunX(quads[11 + i].x0), 1.71 + i * 0.0392, 1e-12);
    EXPECT_NEAR(RunX(quads[11 + i].x1), 1.71 + (i + 1) * 0.0392, 1e-12);
  }
  // Nothing clips a sixth digit.
  ui.world.score = 123456;
  quads = DrawQuads();
  EXPECT_EQ(Glyphs(quads, 11, 6), "123456");
  ui.world.score = 0;
  quads = DrawQuads();
  EXPECT_EQ(Glyphs(quads, 11, 5), "00000");
}

TEST_F(HudTest, TheEndShowsTheCompletionImageAndTheFinalScoreUnpadded) {
  DismissTitle();
  SetBlobCount(3);
  ui.world.EndGame();
  ui.world.score = 1234.5;
  std::vector<Quad> quads = DrawQuads();
  // Completion image, score label, four digits, hand.
  ASSERT_EQ(quads.size(), 7u);
  const double a = ui.aspect;
  EXPECT_NEAR(quads[0].x0, -0.5, 1e-12);
  EXPECT_NEAR(quads[0].x1, 0.5, 1e-12);
  EXPECT_NEAR(quads[0].y0, 0, 1e-12);
  EXPECT_NEAR(quads[0].y1, 0.25 * a, 1e-12);
  EXPECT_NEAR(quads[1].x0, -0.35, 1e-12);
  EXPECT_NEAR(quads[1].x1, 0.15, 1e-12);
  EXPECT_NEAR(quads[1].y0, -0.175 * a, 1e-12);
  EXPECT_NEAR(quads[1].y1, -0.05 * a, 1e-12);
  EXPECT_EQ(Glyphs(quads, 2, 4), "1235");
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(quads[2 + i].x0, i * 0.07, 1e-12);
    EXPECT_NEAR(quads[2 + i].x1, (i + 1) * 0.07, 1e-12);
    EXPECT_NEAR(quads[2 + i].y0, -0.175 * a, 1e-12);
  }
  ui.world.score = 0.4;
  quads = DrawQuads();
  ASSERT_EQ(quads.size(), 4u);
  EXPECT_EQ(Glyphs(quads, 2, 1), "0");
}

TEST_F(HudTest, ANonDigitCharacterKeepsItsPlaceButDrawsNothing) {
  CRecordingRenderer r;
  DrawHudDigits(r, "-12", 1, 0.5, 0, 1);
  ASSERT_EQ(r.Count("AddQuad"), 2);
  EXPECT_EQ(r.calls[1].vertices[0].x, 1.5);
  EXPECT_EQ(r.calls[2].vertices[0].x, 2.0);
}

// The hand's finger tip, 0.15 left of and 0.43 above the image's centre, sits on
// the pointer; the image is square on screen, handScale half-heights a side, and
// turned by handAngle.
TEST_F(HudTest, TheHandIsSquareTurnedAndHasItsTipOnThePointer) {
  ui.Reshape(1000, 400);  // 25 pixels is more than a tenth of the half height here
  ASSERT_DOUBLE_EQ(ui.handScale, 0.125);
  DismissTitle();
  ui.MouseMove(0.3, 0.8);
  ui.handAngle = 0.9;
  const std::vector<Quad> quads = DrawQuads();
  const Quad& hand = quads.back();
  EXPECT_EQ(hand.corner[0].x, -0.5);
  EXPECT_EQ(hand.corner[2].x, 0.5);
  double tip[3];
  TransformPoint(hand.modelview, -0.15, 0.43, 0, tip);
  EXPECT_NEAR(tip[0], (0.3 - 0.5) * 2, 1e-12);
  EXPECT_NEAR(tip[1], (0.8 - 0.5) * 2, 1e-12);
  // Edges in pixels: both handScale x 200 = 25 long, at right angles, the upward
  // edge turned by handAngle from straight up.
  double a[3], b[3], c[3];
  TransformPoint(hand.modelview, -0.5, -0.5, 0, a);
  TransformPoint(hand.modelview, -0.5, 0.5, 0, b);
  TransformPoint(hand.modelview, 0.5, -0.5, 0, c);
  const double upX = (b[0] - a[0]) * 500, upY = (b[1] - a[1]) * 200;
  const double acrossX = (c[0] - a[0]) * 500, acrossY = (c[1] - a[1]) * 200;
  EXPECT_NEAR(std::hypot(upX, upY), 25, 1e-9);
  EXPECT_NEAR(std::hypot(acrossX, acrossY), 25, 1e-9);
  EXPECT_NEAR(upX * acrossX + upY * acrossY, 0, 1e-9);
  EXPECT_NEAR(std::atan2(upY, upX), 3.14159265358979323846 / 2 + 0.9, 1e-12);
}

TEST_F(HudTest, DuringTheFlickTheHandSlidesTowardTheBlobAndBack) {
  DismissTitle();
  ui.MouseMove(0.5, 0.5);
  ui.handAngle = 0;
  ui.throwing = true;
  ui.flickLength = 0.2;
  ui.throwProgress = 0.5;
  Quad hand = DrawQuads().back();
  double tip[3];
  TransformPoint(hand.modelview, -0.15, 0.43, 0, tip);
  // At its peak the tip has gone flickLength up the hand's axis.
  EXPECT_NEAR(tip[0], 0, 1e-12);
  EXPECT_NEAR(tip[1], 0.2, 1e-12);
  ui.throwProgress = 0.25;
  hand = DrawQuads().back();
  TransformPoint(hand.modelview, -0.15, 0.43, 0, tip);
  EXPECT_NEAR(tip[1], 0.2 * 0.75, 1e-12);
  ui.throwing = false;
  hand = DrawQuads().back();
  TransformPoint(hand.modelview, -0.15, 0.43, 0, tip);
  EXPECT_NEAR(tip[1], 0, 1e-12);
}

TEST_F(HudTest, NoHandIsDrawnWhileTheCameraIsDragged) {
  DismissTitle();
  SetBlobCount(15);
  const size_t withHand = DrawQuads().size();
  ui.MouseButton(MB_RIGHT, true);
  EXPECT_EQ(DrawQuads().size(), withHand - 1);
  ui.MouseButton(MB_RIGHT, false);
  EXPECT_EQ(DrawQuads().size(), withHand);
}

// The whole frame: the scene first, then the display over it.
TEST_F(HudTest, DrawPreparesTheProjectionThenTheSceneThenTheDisplay) {
  DismissTitle();
  Recorder()->Forget();
  ui.Draw();
  const std::vector<std::string> ops = Recorder()->Ops();
  ASSERT_GE(ops.size(), 4u);
  EXPECT_EQ(ops[0], "SetDepthTest");
  EXPECT_EQ(ops[1], "Clear");
  EXPECT_EQ(ops[2], "ResetMatrices");
  EXPECT_EQ(ops[3], "SetPerspective");
  EXPECT_EQ(Recorder()->calls[3].args, (std::vector<double>{70, ui.aspect, 0.5, 50}));
  const int lookAt = Recorder()->Find("LookAt");
  const int hud = Recorder()->Find("EnableAlphaBlend", Recorder()->Find("ResetMatrices", lookAt));
  ASSERT_GT(lookAt, 3);
  ASSERT_GT(hud, lookAt);
  EXPECT_EQ(ops.back(), "DisableBlend");
}

}  // namespace
