#include "render/blob_image_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/random.h"
#include "game/unit.h"
#include "tests/view/recording_renderer.h"

namespace {

constexpr double DEGREE = 3.141592653589793 / 180;

struct Quad {
  int call;                         // index of the AddQuad call
  std::vector<RenderVertex> board;  // its corners carried into board space
  std::vector<RenderVertex> local;  // as given
};

// Draws the blob at the board origin seen from eye, and returns its quads in order.
std::vector<Quad> DrawAt(const CUnit& unit, double ex, double ey, double ez,
                         CRecordingRenderer& r) {
  CBlobImageSet images;
  r.LookAt(ex, ey, ez, 0, 0, 0, 0, 0, 1);
  double view[3] = {-ex, -ey, -ez};
  images.DrawBlob(r, unit, view);
  std::vector<Quad> quads;
  for (int i = 0; i < static_cast<int>(r.calls.size()); ++i)
    if (r.calls[i].op == "AddQuad") {
      Quad q{i, {}, r.calls[i].vertices};
      for (const RenderVertex& v : r.calls[i].vertices) q.board.push_back(r.ToBoard(i, v));
      quads.push_back(q);
    }
  return quads;
}

// Whether the quad's first three corners wind counter-clockwise as seen from the eye.
bool FacesEye(const Quad& q, double ex, double ey, double ez) {
  const RenderVertex& a = q.board[0];
  const RenderVertex& b = q.board[1];
  const RenderVertex& c = q.board[2];
  double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
  double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  return nx * (ex - a.x) + ny * (ey - a.y) + nz * (ez - a.z) > 0;
}

RenderVertex Centre(const Quad& q) {
  RenderVertex c;
  for (const RenderVertex& v : q.board) {
    c.x += v.x / 4;
    c.y += v.y / 4;
    c.z += v.z / 4;
  }
  return c;
}

TEST(BlobImageSet, DrawsBodyFaceAndOutlineInLayersAndRestoresTheMatrix) {
  CUnit unit;
  unit.face = 1;
  CRecordingRenderer r;
  std::vector<Quad> quads = DrawAt(unit, 5, 0, 2, r);
  // Body, mouth, eye, pupil, eye, pupil, outline.
  ASSERT_EQ(quads.size(), 7u);
  EXPECT_EQ(r.Count("BeginQuads"), 7);
  EXPECT_EQ(r.Count("PushMatrix"), r.Count("PopMatrix"));
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(r.calls.back().modelview[i], r.calls[0].modelview[i], 1e-12);
  // The face alone is culled when it looks away; the layers around it are not.
  int cullOn = r.Find("SetCullMode");
  int cullOff = r.Find("SetCullMode", cullOn + 1);
  EXPECT_EQ(r.calls[cullOn].args[0], -1.0);
  EXPECT_EQ(r.calls[cullOff].args[0], 0.0);
  EXPECT_LT(quads[0].call, cullOn);
  EXPECT_GT(quads[1].call, cullOn);
  EXPECT_LT(quads[5].call, cullOff);
  EXPECT_GT(quads[6].call, cullOff);
  // The whole sprite is tinted by the fall fade, and no corner brings its own colour.
  int colour = r.Find("SetColor");
  EXPECT_EQ(r.calls[colour].args, (std::vector<double>{1, 1, 1, 1}));
  EXPECT_EQ(r.Count("SetColor"), 1);
  for (const Quad& q : quads)
    for (const RenderVertex& v : q.local) EXPECT_FALSE(v.hasColor);
}

TEST(BlobImageSet, BodyAndOutlineAreTwoUnitBillboardsFacingTheEye) {
  CUnit unit;
  for (double ex : {5.0, -3.0})
    for (double ez : {0.5, 6.0}) {
      CRecordingRenderer r;
      std::vector<Quad> quads = DrawAt(unit, ex, 2, ez, r);
      for (const Quad* q : {&quads.front(), &quads.back()}) {
        EXPECT_TRUE(FacesEye(*q, ex, 2, ez));
        RenderVertex c = Centre(*q);
        EXPECT_NEAR(c.x, 0, 1e-12);
        EXPECT_NEAR(c.y, 0, 1e-12);
        EXPECT_NEAR(c.z, 0, 1e-12);
        // Its normal points straight at the eye.
        double ux = q->board[1].x - q->board[0].x, uy = q->board[1].y - q->board[0].y,
               uz = q->board[1].z - q->board[0].z;
        EXPECT_NEAR(std::sqrt(ux * ux + uy * uy + uz * uz), 2.0, 1e-12);
        EXPECT_NEAR(ux * ex + uy * 2 + uz * ez, 0, 1e-9);
      }
    }
}

TEST(BlobImageSet, TheFaceFollowsTheHeadingAndTurnsAwayWithIt) {
  for (double heading : {0.0, 0.7, 2.0, 4.5}) {
    CUnit unit;
    unit.heading = heading;
    unit.pitch = 0;
    CRecordingRenderer r;
    // The eye straight along the heading: every face quad is seen from the front.
    double ex = 6 * std::cos(heading), ey = 6 * std::sin(heading);
    std::vector<Quad> quads = DrawAt(unit, ex, ey, 1, r);
    RenderVertex mouth = Centre(quads[1]);
    double length = std::hypot(mouth.x, mouth.y);
    EXPECT_NEAR(mouth.x / length, std::cos(heading), 1e-9);
    EXPECT_NEAR(mouth.y / length, std::sin(heading), 1e-9);
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(FacesEye(quads[i], ex, ey, 1)) << i;
    // From behind, every face quad is back-facing, so culling hides the face.
    CRecordingRenderer behind;
    std::vector<Quad> away = DrawAt(unit, -ex, -ey, 1, behind);
    for (int i = 1; i <= 5; ++i) EXPECT_FALSE(FacesEye(away[i], -ex, -ey, 1)) << i;
    EXPECT_TRUE(FacesEye(away[0], -ex, -ey, 1));
  }
}

TEST(BlobImageSet, PitchLiftsTheFace) {
  CUnit level;
  level.pitch = 0;
  CUnit raised;
  raised.pitch = 0.4;
  CRecordingRenderer r1, r2;
  RenderVertex low = Centre(DrawAt(level, 5, 0, 1, r1)[1]);
  RenderVertex high = Centre(DrawAt(raised, 5, 0, 1, r2)[1]);
  EXPECT_GT(high.z, low.z + 0.1);
}

TEST(BlobImageSet, TheWideMouthSitsFurtherBack) {
  CUnit unit;
  unit.pitch = 0;
  unit.face = 2;
  CRecordingRenderer r1, r2;
  std::vector<Quad> other = DrawAt(unit, 5, 0, 1, r1);
  unit.face = 3;
  std::vector<Quad> wide = DrawAt(unit, 5, 0, 1, r2);
  // Heading 0: the face looks along +x, so back toward the centre is -x.
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(wide[1].board[i].x, other[1].board[i].x - 0.05, 1e-12);
    EXPECT_NEAR(wide[1].board[i].z, other[1].board[i].z, 1e-12);
  }
}

TEST(BlobImageSet, OnlyTheSecondHalfClosedEyeIsMirroredAndOnlyOpenEyesHavePupils) {
  for (int shape : {0, 1, 2, 3}) {
    CUnit unit;
    unit.leftEye = shape;
    unit.rightEye = shape;
    CRecordingRenderer r;
    std::vector<Quad> quads = DrawAt(unit, 5, 0, 1, r);
    int pupils = shape == 0 ? 2 : 0;
    ASSERT_EQ(quads.size(), 5u + pupils);
    const Quad& first = quads[2];
    const Quad& second = quads[shape == 0 ? 4 : 3];
    EXPECT_EQ(first.local[0].u, 1.0);
    EXPECT_EQ(second.local[0].u, shape == 2 ? 0.0 : 1.0);
    EXPECT_EQ(second.local[1].u, shape == 2 ? 1.0 : 0.0);
  }
}

TEST(BlobImageSet, AFallingBlobsEyesTiltSpreadAndGrowWhilePupilsKeepTheirSize) {
  CUnit unit;
  unit.eyeSize = 1.3;
  CRecordingRenderer r;
  DrawAt(unit, 5, 0, 1, r);
  std::vector<double> angles;
  std::vector<double> scales;
  for (const RecordedCall& c : r.calls) {
    if (c.op == "Rotate") angles.push_back(c.args[0] / DEGREE);
    if (c.op == "Scale") scales.push_back(c.args[0]);
  }
  // Billboard yaw and lean, heading and pitch, then the tilt and the two spreads.
  ASSERT_GE(angles.size(), 6u);
  EXPECT_NEAR(angles[4], -7.5, 1e-9);
  EXPECT_NEAR(angles[5], -23.6, 1e-9);
  int second = -1;
  for (int i = 6; i < static_cast<int>(angles.size()); ++i)
    if (std::abs(angles[i] - 23.6) < 1e-9) second = i;
  EXPECT_GT(second, 0);
  // Eye scale 1.3 and pupil scale 1 / 1.3, twice.
  ASSERT_EQ(scales.size(), 4u);
  EXPECT_DOUBLE_EQ(scales[0], 1.3);
  EXPECT_DOUBLE_EQ(scales[1], 1 / 1.3);
  // The pupil's board size equals that of a normal blob's pupil.
  CUnit calm;
  CRecordingRenderer r2;
  std::vector<Quad> normal = DrawAt(calm, 5, 0, 1, r2);
  CRecordingRenderer r3;
  std::vector<Quad> falling = DrawAt(unit, 5, 0, 1, r3);
  auto side = [](const Quad& q) {
    return std::sqrt(std::pow(q.board[1].x - q.board[0].x, 2) +
                     std::pow(q.board[1].y - q.board[0].y, 2) +
                     std::pow(q.board[1].z - q.board[0].z, 2));
  };
  EXPECT_NEAR(side(falling[3]), side(normal[3]), 1e-12);
  EXPECT_NEAR(side(falling[2]), side(normal[2]) * 1.3, 1e-12);
}

TEST(BlobImageSet, PupilsOfOppositeEyeAnglesSitOnOppositeSides) {
  CUnit unit;  // left angle 0, right angle 3.14159
  unit.pitch = 0;
  CRecordingRenderer r;
  std::vector<Quad> q = DrawAt(unit, 5, 0, 1, r);
  RenderVertex leftEye = Centre(q[2]), leftPupil = Centre(q[3]);
  RenderVertex rightEye = Centre(q[4]), rightPupil = Centre(q[5]);
  // Each pupil sits off its eye's centre toward its own side: the two offsets point
  // roughly opposite ways across the face.
  double lx = leftPupil.y - leftEye.y, rx = rightPupil.y - rightEye.y;
  EXPECT_LT(lx * rx, 0);
}

TEST(BlobImageSet, TheFallFadeTintsTheWholeSprite) {
  CUnit unit;
  unit.state = UNIT_FALLING;
  unit.transitionTimer = {0.875, 1.0, true};
  CRecordingRenderer r;
  DrawAt(unit, 5, 0, 1, r);
  int colour = r.Find("SetColor");
  EXPECT_DOUBLE_EQ(r.calls[colour].args[3], 0.5);
}

}  // namespace
