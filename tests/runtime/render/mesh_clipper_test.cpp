// The projection clipper: triangles inside, crossing and outside a volume, and its limit.
#include <gtest/gtest.h>

#include "runtime/src/render/sys/pc/projection_clipper.h"

namespace {

ClipTriangle Tri(float x0, float y0, float x1, float y1, float x2, float y2) {
  ClipTriangle t{};
  const float p[3][2] = {{x0, y0}, {x1, y1}, {x2, y2}};
  for (int i = 0; i < 3; ++i) {
    t.V[i].Position[0] = p[i][0];
    t.V[i].Position[1] = p[i][1];
    t.V[i].Normal[2] = 1;
    t.V[i].UV[0] = p[i][0];
    t.V[i].UV[1] = p[i][1];
  }
  return t;
}

// The box -1..1 in x and y, -1..1 in z.
CProjectionClipper UnitBox() {
  CProjectionClipper c;
  c.SetPlane(0, 1, 0, 0, 1);
  c.SetPlane(1, -1, 0, 0, 1);
  c.SetPlane(2, 0, 1, 0, 1);
  c.SetPlane(3, 0, -1, 0, 1);
  c.SetPlane(4, 0, 0, 1, 1);
  c.SetPlane(5, 0, 0, -1, 1);
  return c;
}

TEST(ProjectionClipper, InsideOutsideAndCrossingTriangles) {
  struct Case {
    const char* name;
    ClipTriangle tri;
    uint32_t expected;
  };
  const Case cases[] = {
      {"inside", Tri(-0.5f, -0.5f, 0.5f, -0.5f, 0, 0.5f), 1},
      {"outside", Tri(2, 2, 3, 2, 2, 3), 0},
      {"one vertex out past x = 1", Tri(0, 0, 2, 0, 0, 0.5f), 2},
      {"two vertices out past x = 1", Tri(0, 0, 2, 0, 2, 0.5f), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CProjectionClipper clipper = UnitBox();
    clipper.Clip(c.tri, 0x3F);
    ASSERT_EQ(clipper.Count(), c.expected);
    for (uint32_t i = 0; i < clipper.Count(); ++i)
      for (const ClipVertex& v : clipper.Triangle(i).V) {
        EXPECT_LE(v.Position[0], 1.0f + 1e-6f);
        EXPECT_GE(v.Position[0], -1.0f - 1e-6f);
        // Every float is carried along the cut: here u follows x.
        EXPECT_FLOAT_EQ(v.UV[0], v.Position[0]);
        EXPECT_FLOAT_EQ(v.Normal[2], 1.0f);
      }
  }
}

TEST(ProjectionClipper, InsideTriangleComesOutUnchanged) {
  CProjectionClipper clipper = UnitBox();
  const ClipTriangle t = Tri(-0.5f, -0.5f, 0.5f, -0.5f, 0, 0.5f);
  clipper.Clip(t, 0x3F);
  ASSERT_EQ(clipper.Count(), 1u);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(clipper.Triangle(0).V[i].Position[1], t.V[i].Position[1]);
}

TEST(ProjectionClipper, CrossingVerticesLieOnThePlane) {
  CProjectionClipper clipper = UnitBox();
  clipper.Clip(Tri(0, 0, 3, 0, 0, 0.9f), 0x3F);
  int on_plane = 0;
  for (uint32_t i = 0; i < clipper.Count(); ++i)
    for (const ClipVertex& v : clipper.Triangle(i).V)
      if (std::abs(v.Position[0] - 1.0f) < 1e-5f) ++on_plane;
  EXPECT_GE(on_plane, 2);
}

TEST(ProjectionClipper, KeepsAtMost128Triangles) {
  CProjectionClipper clipper = UnitBox();
  int accepted = 0;
  for (int i = 0; i < 200; ++i)
    if (clipper.Clip(Tri(0, 0, 3, 0, 0, 0.5f), 0x3F)) ++accepted;  // two pieces each
  EXPECT_EQ(clipper.Count(), CProjectionClipper::kMaxTriangles);
  EXPECT_EQ(accepted, 63);
  EXPECT_FALSE(clipper.Clip(Tri(-0.5f, -0.5f, 0.5f, -0.5f, 0, 0.5f), 0x3F));
}

}  // namespace
