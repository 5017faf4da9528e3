#include "view/vis_element.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/unit.h"
#include "render/texture.h"
#include "tests/view/recording_renderer.h"
#include "view/blob_context.h"

namespace {

CQuadVisElement MakeQuad(const CTexture* texture) {
  CQuadVisElement quad(texture);
  quad.vertices[0] = VertexAt(1, 0, 1, 1, 1);
  quad.vertices[1] = VertexAt(-1, 0, 1, 0, 1);
  quad.vertices[2] = VertexAt(-1, 0, -1, 0, 0);
  quad.vertices[3] = VertexAt(1, 0, -1, 1, 0);
  return quad;
}

TEST(QuadVisElement, OneOrNoSegmentDrawsOneQuadInCornerOrder) {
  CTexture texture;
  for (int segments : {0, 1}) {
    CQuadVisElement quad = MakeQuad(&texture);
    quad.segments = segments;
    quad.colour[3] = 0.25;
    CRecordingRenderer r;
    quad.Draw(r);
    std::vector<std::string> expected = {"SetColor", "EnableAlphaBlend", "BeginQuads", "AddQuad",
                                         "EndQuads"};
    EXPECT_EQ(r.Ops(), expected);
    EXPECT_EQ(r.calls[0].args, (std::vector<double>{1, 1, 1, 0.25}));
    const std::vector<RenderVertex>& v = r.calls[3].vertices;
    ASSERT_EQ(v.size(), 4u);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(v[i].x, quad.vertices[i].x);
      EXPECT_EQ(v[i].z, quad.vertices[i].z);
      EXPECT_EQ(v[i].u, quad.vertices[i].u);
    }
  }
}

TEST(QuadVisElement, AStripOfFiveSlicesRunsFromEdgeV1V2ToEdgeV0V3) {
  CTexture texture;
  CQuadVisElement quad = MakeQuad(&texture);
  quad.segments = 5;
  quad.additive = true;
  CRecordingRenderer r;
  quad.Draw(r);
  EXPECT_EQ(r.calls[1].op, "EnableAdditiveBlend");
  EXPECT_EQ(r.calls[2].op, "BeginTriangleStrip");
  EXPECT_EQ(r.calls.back().op, "EndTriangleStrip");
  EXPECT_EQ(r.Count("AddStripVertex"), 12);
  std::vector<RenderVertex> v = r.VerticesBetween(0, static_cast<int>(r.calls.size()));
  ASSERT_EQ(v.size(), 12u);
  // v1, v2, then P = t v0 + (1 - t) v1 and Q = (1 - t) v2 + t v3 for t = 0.2 .. 0.8.
  EXPECT_EQ(v[0].x, -1.0);
  EXPECT_EQ(v[0].z, 1.0);
  EXPECT_EQ(v[1].x, -1.0);
  EXPECT_EQ(v[1].z, -1.0);
  for (int i = 1; i <= 4; ++i) {
    double t = i / 5.0;
    const RenderVertex& p = v[2 * i];
    const RenderVertex& q = v[2 * i + 1];
    EXPECT_NEAR(p.x, -1 + 2 * t, 1e-15);
    EXPECT_NEAR(p.z, 1.0, 1e-15);
    EXPECT_NEAR(p.u, t, 1e-15);
    EXPECT_NEAR(p.v, 1.0, 1e-15);
    EXPECT_NEAR(q.x, -1 + 2 * t, 1e-15);
    EXPECT_NEAR(q.z, -1.0, 1e-15);
    EXPECT_NEAR(q.u, t, 1e-15);
    EXPECT_NEAR(q.v, 0.0, 1e-15);
    EXPECT_FALSE(p.hasColor);
    EXPECT_FALSE(q.hasColor);
  }
  EXPECT_EQ(v[10].x, 1.0);
  EXPECT_EQ(v[10].z, 1.0);
  EXPECT_EQ(v[11].x, 1.0);
  EXPECT_EQ(v[11].z, -1.0);
}

TEST(QuadVisElement, ItsPositionIsTheCentroidOfItsCorners) {
  for (double h : {0.1, 0.5, 3.0}) {
    CQuadVisElement quad(nullptr);
    quad.vertices[0] = VertexAt(h, h, 0, 0, 0);
    quad.vertices[1] = VertexAt(-h, h, 0, 0, 0);
    quad.vertices[2] = VertexAt(-h, -h, 0, 0, 0);
    quad.vertices[3] = VertexAt(h, -h, 0, 0, 0);
    RenderVertex p = quad.GetPosition();
    EXPECT_EQ(p.x, 0.0);
    EXPECT_EQ(p.y, 0.0);
    EXPECT_EQ(p.z, 0.0);
    EXPECT_FALSE(p.hasColor);
  }
  CQuadVisElement fence(nullptr);
  fence.vertices[0] = VertexAt(2.5, -0.5, 0, 0, 0);
  fence.vertices[1] = VertexAt(3.5, -0.5, 0, 0, 0);
  fence.vertices[2] = VertexAt(3.5, -0.5, 1, 0, 0);
  fence.vertices[3] = VertexAt(2.5, -0.5, 1, 0, 0);
  RenderVertex p = fence.GetPosition();
  EXPECT_EQ(p.x, 3.0);
  EXPECT_EQ(p.y, -0.5);
  EXPECT_EQ(p.z, 0.5);
}

TEST(VisElement, TheDepthKeyIsTheSquaredEyeDistanceOfTheCapturedPosition) {
  CRecordingRenderer r;
  r.LookAt(3, -4, 5, 3, 0, 0, 0, 0, 1);
  r.PushMatrix();
  r.Translate(1, 2, 0);
  r.Rotate(0.7, 0, 0, 1);
  CQuadVisElement quad(nullptr);
  quad.vertices[0] = VertexAt(0, 0.5, 0, 0, 0);
  quad.vertices[1] = VertexAt(0, -0.5, 0, 0, 0);
  quad.vertices[2] = VertexAt(0, -0.5, 1, 0, 0);
  quad.vertices[3] = VertexAt(0, 0.5, 1, 0, 0);
  r.GetMatrix(quad.matrix);
  quad.UpdateDepth();
  // The quad's centre is the board point (1, 2, 0.5).
  double dx = 1 - 3, dy = 2 + 4, dz = 0.5 - 5;
  EXPECT_NEAR(quad.depth, dx * dx + dy * dy + dz * dz, 1e-12);
}

TEST(BlobVisElement, DrawsTheUnitAtItsDrawnPositionScaledAndSquashed) {
  CUnit unit;
  unit.x = 2;
  unit.y = 3;
  unit.state = UNIT_LANDING;
  unit.transitionTimer = {0.1, 0.2, true};  // mid-landing: squashed to half height
  blobContext.blobScale = 0.35;
  blobContext.blobImageSet = nullptr;
  CBlobVisElement element(&unit);
  RenderVertex p = element.GetPosition();
  EXPECT_EQ(p.x, 2.0);
  EXPECT_EQ(p.y, 3.0);
  EXPECT_DOUBLE_EQ(p.z, 0.5 * 0.35);
  CRecordingRenderer r;
  element.Draw(r);
  std::vector<std::string> expected = {"SetColor", "EnableAlphaBlend", "PushMatrix", "Translate",
                                       "Scale",    "PopMatrix"};
  EXPECT_EQ(r.Ops(), expected);
  EXPECT_EQ(r.calls[0].args, (std::vector<double>{1, 1, 1, 1}));
  EXPECT_EQ(r.calls[3].args, (std::vector<double>{2, 3, p.z}));
  EXPECT_DOUBLE_EQ(r.calls[4].args[0], 0.35);
  EXPECT_DOUBLE_EQ(r.calls[4].args[1], 0.35);
  EXPECT_DOUBLE_EQ(r.calls[4].args[2], 0.5 * 0.35);
}

TEST(BlobVisElement, ADepthKeyUsesTheHopArcNotTheLandingPoint) {
  CUnit unit;
  unit.state = UNIT_HOPPING;
  unit.hopStartX = 0;
  unit.hopStartY = 0;
  unit.x = 2;
  unit.y = 0;
  unit.hopHeight = 1;
  unit.transitionTimer = {0.25, 0.5, true};
  CBlobVisElement element(&unit);
  CRecordingRenderer r;
  r.GetMatrix(element.matrix);  // identity: eye at the origin
  element.UpdateDepth();
  // Half-way: at (1, 0), one hop height above the standing height.
  EXPECT_NEAR(element.depth, 1 + 1.35 * 1.35, 1e-12);
}

}  // namespace
