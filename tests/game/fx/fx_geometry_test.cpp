// The shapes the effects build, checked without a graphics device: perpendicular draws, decal
// texture matrices, beam and bolt vertices, trail rings and ribbons, and shadow alphas.
#include <gtest/gtest.h>

#include <cmath>

#include "game/fx/CFX_Laser.h"
#include "game/fx/CFX_Lightning.h"
#include "game/fx/CFX_Poly_Trail.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/CTerrain_Patch.h"
#include "game/fx/Draw_Helpers.h"
#include "game/sim/Launch_Helpers.h"
#include "platform/system/random.h"
#include "runtime/src/math/key_track.h"

namespace {

CVector3 Pos(const TexVertex& v) { return CVector3{v.x, v.y, v.z}; }
float Distance(const CVector3& a, const CVector3& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TEST(RandomPerpendicular, IsAUnitVectorAtRightAnglesToTheDirection) {
  plat::Seed_Random(7);
  const CVector3 directions[] = {{0, 1, 0}, {1, 0, 0}, {0.6f, 0.0f, 0.8f}, {0.48f, 0.6f, 0.64f}};
  for (const CVector3& d : directions)
    for (int i = 0; i < 50; ++i) {
      const CVector3 v = Random_Perpendicular_Vector(d);
      EXPECT_NEAR(v.Length(), 1.0f, 1e-5f);
      EXPECT_NEAR(v.Dot(d), 0.0f, 1e-5f);
    }
}

TEST(RandomPerpendicular, TakesTheSecondDrawAsXAndTheFirstAsY) {
  plat::Seed_Random(99);
  const float first = 2.0f * plat::Random() / 32768.0f - 1.0f;
  const float second = 2.0f * plat::Random() / 32768.0f - 1.0f;
  plat::Random();
  plat::Seed_Random(99);
  const CVector3 v = Random_Perpendicular_Vector(CVector3{0, 0, 1});
  const float length = std::hypot(first, second);
  EXPECT_NEAR(v.x, second / length, 1e-5f);
  EXPECT_NEAR(v.y, first / length, 1e-5f);
  EXPECT_EQ(v.z, 0.0f);
}

// A world point at offset (x, ., z) from the decal's centre maps to u = 0.5 + 0.5 x / size (the
// matrix's own projection reads u and v from x and y; the quarter turn brings z into y).
TEST(DecalMatrix, CoversTheSquareOfHalfSizeAroundThePosition) {
  const CVector3 centre{300, 20, 500};
  const float size = 40.0f;
  const CMatrix4x4 m = Decal_Texture_Matrix(centre, size, 0.0f);
  struct Case {
    float dx, dz, u, v;
  };
  const Case cases[] = {{0, 0, 0.5f, 0.5f}, {40, 0, 1.0f, 0.5f}, {-40, 0, 0.0f, 0.5f}, {20, 0, 0.75f, 0.5f}};
  for (const Case& c : cases) {
    CVector3 p{centre.x + c.dx, centre.y, centre.z + c.dz};
    const float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    EXPECT_NEAR(x, c.u, 1e-4f) << c.dx;
    EXPECT_NEAR(y, c.v, 1e-4f) << c.dx;
  }
  // Along z the coordinate moves by the same half per size.
  const CVector3 q{centre.x, centre.y, centre.z + 40.0f};
  const float y = q.x * m.m[0][1] + q.y * m.m[1][1] + q.z * m.m[2][1] + m.m[3][1];
  EXPECT_NEAR(std::fabs(y - 0.5f), 0.5f, 1e-4f);
}

TEST(DecalMatrix, ARandomTurnOnlyTurnsAboutTheVertical) {
  const CVector3 centre{100, 0, 100};
  const CMatrix4x4 a = Decal_Texture_Matrix(centre, 25.0f, 0.0f);
  const CMatrix4x4 b = Decal_Texture_Matrix(centre, 25.0f, 1.1f);
  auto uv = [&](const CMatrix4x4& m, const CVector3& p) {
    return CVector2{p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
                    p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1]};
  };
  for (const CVector3& p : {CVector3{110, 0, 100}, CVector3{100, 0, 120}, CVector3{90, 0, 85}}) {
    const CVector2 ua = uv(a, p), ub = uv(b, p);
    EXPECT_NEAR(std::hypot(ua.x - 0.5f, ua.y - 0.5f), std::hypot(ub.x - 0.5f, ub.y - 0.5f), 1e-4f)
        << "same distance from the centre";
  }
  EXPECT_NEAR(uv(b, centre).x, 0.5f, 1e-5f);
  EXPECT_GT(std::fabs(uv(a, CVector3{110, 0, 100}).x - uv(b, CVector3{110, 0, 100}).x), 0.01f);
}

TEST(Laser, FiveStripsStandAboutTheAxisAndCollapseAlongX) {
  CFX_Laser beam;
  ASSERT_TRUE(beam.Setup(CVector3{0, 0, 0}, CVector3{0, 0, 1}, 100.0f, 0xFF3366FF, 1.0f, 2.0f));
  EXPECT_TRUE(beam.m_Active);
  EXPECT_FALSE(beam.m_Glow);
  EXPECT_FLOAT_EQ(beam.m_End.z, 100.0f);
  for (int strip = 0; strip < CFX_Laser::kStrips; ++strip) {
    const TexVertex* v = beam.m_Vertices + strip * 6;
    const float angle = 3.14159265f / 5.0f * static_cast<float>(strip);
    EXPECT_NEAR(v[1].x, 11.0f * std::cos(angle), 1e-3f) << strip;
    EXPECT_NEAR(std::fabs(v[1].y), 11.0f * std::sin(angle), 1e-3f) << strip;
    EXPECT_NEAR(v[2].z, 100.0f, 1e-4f);
    EXPECT_FLOAT_EQ(v[0].u, 0.1f);
    EXPECT_EQ(v[0].v, 0.0f);
    EXPECT_EQ(v[1].v, 1.0f);
    EXPECT_EQ(v[0].color, 0xFF3366FFu);
  }
  CFX_Laser along_x;
  along_x.Setup(CVector3{0, 0, 0}, CVector3{1, 0, 0}, 50.0f, 0xFFFFFFFF, 1.0f, 1.0f);
  for (const TexVertex& v : along_x.m_Vertices) {
    EXPECT_NEAR(v.y, 0.0f, 1e-4f);
    EXPECT_NEAR(v.z, 0.0f, 1e-4f);
  }
}

TEST(Laser, FadesWithTheRootOfItsLifeAndHoldsOnAPausedStep) {
  CFX_Laser beam;
  beam.Setup(CVector3{0, 0, 0}, CVector3{0, 1, 0}, 10.0f, 0xFF204080, 1.0f, 2.0f);
  EXPECT_EQ(beam.m_Vertices[0].color >> 24, 255u);
  beam.Update(1.0f);
  EXPECT_EQ(beam.m_Vertices[7].color >> 24, 180u) << "sqrt(0.5) x 255, truncated";
  EXPECT_EQ(beam.m_Vertices[7].color & 0xFFFFFF, 0x204080u);
  beam.Update(0.0f);
  EXPECT_EQ(beam.m_Vertices[7].color >> 24, 180u);
  beam.Update(1.0f);
  EXPECT_FALSE(beam.m_Active);
}

TEST(Lightning, SegmentCountsFollowTheLengthAndTheKind) {
  plat::Seed_Random(3);
  struct Case {
    int kind;
    float length;
    uint32_t segments;
  };
  const Case cases[] = {{2, 400.0f, 30}, {2, 1000.0f, 32}, {2, 0.5f, 4}, {2, 60.0f, 4}, {0, 200.0f, 15},
                        {1, 1000.0f, 14}, {1, 10.0f, 14}, {7, 100.0f, 7}};
  for (const Case& c : cases) {
    CFX_Lightning bolt;
    const CVector3 start{10, 20, 30}, end{10 + c.length, 20, 30};
    const uint32_t colour = 0xFFFFFFFF;
    const float width = 1.0f, life = 1.0f, scale = 1.0f;
    bolt.Setup(c.kind, start, end, colour, width, life, scale);
    EXPECT_EQ(bolt.m_Segment_Count, c.segments) << c.kind << " " << c.length;
    EXPECT_FLOAT_EQ(bolt.m_Length, std::max(c.length, 1.0f));
  }
}

TEST(Lightning, AStraightBoltLeavesTheStartAndEndsExactlyOnTheEnd) {
  plat::Seed_Random(11);
  CFX_Lightning bolt;
  const CVector3 start{0, 50, 0}, end{400, 50, 0};
  const int kind = 2;
  const uint32_t colour = 0x80FF8040;
  const float width = 2.0f, life = 1.0f, scale = 1.0f;
  ASSERT_TRUE(bolt.Setup(kind, start, end, colour, width, life, scale));
  const CVector3* points = CFX_Lightning::Scratch_Points();
  const uint32_t n = bolt.m_Segment_Count;
  EXPECT_EQ(points[n - 1].x, 400.0f);
  EXPECT_EQ(points[n - 1].y, 50.0f);
  EXPECT_NEAR(points[0].y, 50.0f, 1e-4f) << "the first point carries no offset";
  EXPECT_NEAR(points[0].x, 400.0f / static_cast<float>(n), 1e-3f);
  bool jagged = false;
  for (uint32_t i = 1; i + 1 < n; ++i) jagged = jagged || std::fabs(points[i].y - 50.0f) > 0.01f;
  EXPECT_TRUE(jagged);
  // The first strand starts at the start point (± its half width) and ends at the end point.
  EXPECT_NEAR(Distance(Pos(bolt.m_Strands[0][0]), start), 22.0f, 1e-3f);
  EXPECT_NEAR(Distance(Pos(bolt.m_Strands[0][(n - 1) * 6 + 2]), end), 22.0f, 1e-3f);
  EXPECT_EQ(bolt.m_Strands[2][0].color, 0x80FF8040u);
  EXPECT_FLOAT_EQ(bolt.m_Alpha_Factor, 128.0f / 255.0f);
}

TEST(Lightning, CurvedBoltsEndOnTheirCurvesEnds) {
  plat::Seed_Random(5);
  CKeyTrack& wave = CFX_Lightning::Wave_Track();
  for (float t : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) wave.AddKey(t, CVector3{0, 0, 0}, 0, 0, 0);
  CKeyTrack& arc = CFX_Lightning::Arc_Track();
  for (float t : {0.0f, 0.5f, 1.0f}) arc.AddKey(t, CVector3{0, 0, 0}, 0, 0, 0);
  for (int kind : {0, 1}) {
    CFX_Lightning bolt;
    const CVector3 start{0, 0, 0}, end{300, 0, 0};
    const uint32_t colour = 0xFFFFFFFF;
    const float width = 1.0f, life = 1.0f, scale = 1.0f;
    bolt.Setup(kind, start, end, colour, width, life, scale);
    const CVector3 last = CFX_Lightning::Scratch_Points()[bolt.m_Segment_Count - 1];
    EXPECT_NEAR(Distance(last, end), 0.0f, 1e-3f) << kind;
  }
  // The arc rises 65 to 150 over its middle.
  const CVector3 top = arc.Get_Key(1)->value;
  EXPECT_GE(top.y, 65.0f);
  EXPECT_LE(top.y, 150.0f);
  wave.Clear();
  arc.Clear();
}

TEST(Lightning, AnArcNeverGlowsAndAWaveDrawsTwice) {
  CFX_Lightning bolt;
  EXPECT_FALSE(bolt.m_Active) << "a new bolt is inactive";
  bolt.Setup(1, CVector3{0, 0, 0}, CVector3{100, 0, 0}, 0xFFFFFFFF, 1.0f, 1.0f, 1.0f);
  EXPECT_TRUE(bolt.m_Active);
  bolt.Update(0.5f);
  EXPECT_EQ(bolt.m_Strands[1][5].color >> 24, 180u);
  bolt.Update(0.6f);
  EXPECT_FALSE(bolt.m_Active);
}

TEST(PolyTrail, StartsCollapsedOnItsPointAndGrowsAsTheOwnerMoves) {
  CFX_Poly_Trail trail;
  EXPECT_FALSE(trail.m_Active);
  const CVector3 start{10, 20, 30};
  ASSERT_TRUE(trail.Setup(start, 0xFF80C0FF, 3.2f, 4.0f));
  EXPECT_EQ(trail.m_Curve.Get_Key_Count(), CFX_Poly_Trail::kKeys);
  EXPECT_NEAR(trail.m_Curve.Get_Key(23)->time, 3.2f, 1e-4f);
  trail.Build_Ribbons(start, 1.0f);
  for (int i = 0; i < CFX_Poly_Trail::kVertices; ++i) EXPECT_LE(Distance(Pos(trail.m_Vertices[i]), start), 4.0f + 1e-4f);
  // Steps shorter than life / 32 add no ring point.
  trail.Update(0.05f, CVector3{20, 20, 30});
  EXPECT_EQ(trail.m_Head, 0u);
  trail.Update(0.06f, CVector3{30, 20, 30});
  EXPECT_EQ(trail.m_Head, 1u);
  EXPECT_EQ(trail.m_Ring[0].position.x, 30.0f);
  // The head slot follows the owner at every render with fade 1.
  trail.Build_Ribbons(CVector3{50, 20, 30}, 1.0f);
  EXPECT_EQ(trail.m_Ring[1].position.x, 50.0f);
  EXPECT_EQ(trail.m_Ring[1].age, 0.0f);
}

TEST(PolyTrail, AHalfFadeStartsAtHalfAlphaAndIsGoneAfter32Segments) {
  CFX_Poly_Trail trail;
  trail.Setup(CVector3{0, 0, 0}, 0xFFFFFFFF, 1.0f, 2.0f);
  trail.Build_Ribbons(CVector3{0, 0, 0}, 0.5f);
  EXPECT_EQ(trail.m_Vertices[1].color >> 24, 127u);
  EXPECT_EQ(trail.m_Vertices[32 * 6 + 1].color >> 24, 0u);
  EXPECT_EQ(trail.m_Vertices[31 * 6 + 1].color >> 24, 3u);
  // The second ribbon crosses the first: its half width lies along x.
  trail.Setup(CVector3{0, 0, 0}, 0xFFFFFFFF, 1.0f, 2.0f);
  trail.Build_Ribbons(CVector3{0, 0, 0}, 1.0f);
  EXPECT_FLOAT_EQ(trail.m_Vertices[1].y, 2.0f);
  EXPECT_FLOAT_EQ(trail.m_Vertices[CFX_Poly_Trail::kSegments * 6 + 1].x, 2.0f);
}

TEST(ShadowAlpha, FallsWithTheSquareOfTheHeightAndStopsAt200) {
  struct Case {
    float height, fade, death;
    int alpha;
  };
  const Case cases[] = {
      {0.0f, 0.003f, 1.0f, 200},   {100.0f, 0.003f, 1.0f, 124}, {312.0f, 0.003f, 1.0f, 1},
      {313.0f, 0.003f, 1.0f, 0},   {300.0f, 0.003f, 1.0f, 2},   {530.0f, 0.00175f, 1.0f, 1}, {536.0f, 0.00175f, 1.0f, 0},
      {500.0f, 0.00175f, 1.0f, 3}, {0.0f, 0.003f, 0.5f, 127},   {-1.0f, 0.003f, 1.0f, -1},
      {NAN, 0.003f, 1.0f, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CShadowProjector::Height_Alpha(c.height, c.fade, c.death), c.alpha) << c.height << " " << c.fade;
}

TEST(TerrainPatch, LiftsByATenthOfTheRadiusWithinOneToThree) {
  struct Case {
    float r, lift;
  };
  for (const Case& c : {Case{4, 1}, Case{5, 1}, Case{20, 2}, Case{50, 3}, Case{500, 3}})
    EXPECT_FLOAT_EQ(CTerrain_Patch::Lift(c.r), c.lift) << c.r;
}

}  // namespace
