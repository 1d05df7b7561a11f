#include <cmath>

#include "runtime/src/math/geometry.h"
#include "tests/runtime/math/math_test_util.h"

namespace {

constexpr float kPi = 3.14159265358979f;

struct Box {
  CVector3 center, axis[3], extents;
};

Box Aligned_Box(const CVector3& center, const CVector3& extents) {
  return Box{center, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, extents};
}

Box Turned_Box(const CVector3& center, const CVector3& extents, const CVector3& axis, float angle) {
  CMatrix3x3 m;
  m.From_Axis_Angle(axis, angle);
  return Box{center, {m.rows[0], m.rows[1], m.rows[2]}, extents};
}

CVector3 Box_Point(const Box& b, float x0, float x1, float x2) {
  CVector3 p = b.center, s;
  p.Add_Assign(b.axis[0].Scale(x0, s));
  p.Add_Assign(b.axis[1].Scale(x1, s));
  return p.Add_Assign(b.axis[2].Scale(x2, s));
}

CVector3 At(const CVector3& p, const CVector3& d, float s) { return CVector3{p.x + s * d.x, p.y + s * d.y, p.z + s * d.z}; }

// ---------------------------------------------------------------------------------------------

TEST(SegmentSegmentDistance, Table) {
  struct Case {
    const char* name;
    CVector3 p0, d0, p1, d1;
    float dist, s, t;
  } cases[] = {
      {"collinear overlap takes the parallel branch", {0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {2, 0, 0}, 0.0f, 0.5f, 0.0f},
      {"perpendicular crossing", {-1, 0, 0}, {2, 0, 0}, {0, -1, 0}, {0, 2, 0}, 0.0f, 0.5f, 0.5f},
      {"skew, interior", {0, 0, 0}, {1, 0, 0}, {0.5f, -1, 1}, {0, 2, 0}, 1.0f, 0.5f, 0.5f},
      {"end against start", {0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {0, 1, 0}, 2.0f, 1.0f, 0.0f},
      {"end against interior", {0, 0, 0}, {1, 0, 0}, {3, -1, 0}, {0, 2, 0}, 4.0f, 1.0f, 0.5f},
      {"parallel, same way, apart", {0, 0, 0}, {1, 0, 0}, {3, 1, 0}, {1, 0, 0}, 5.0f, 1.0f, 0.0f},
      {"parallel, opposite, overlapping", {0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {-2, 0, 0}, 1.0f, 1.0f, 0.5f},
      {"parallel, second behind first", {0, 0, 0}, {1, 0, 0}, {-3, 0, 2}, {1, 0, 0}, 8.0f, 0.0f, 1.0f},
      {"first is a point over the second", {1, 1, 0}, {0, 0, 0}, {0, 0, 0}, {2, 0, 0}, 1.0f, 0.0f, 0.5f},
      {"second is a point", {0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {0, 0, 0}, 1.0f, 0.5f, 0.0f},
      {"both points", {0, 0, 0}, {0, 0, 0}, {0, 3, 4}, {0, 0, 0}, 25.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float s = -9, t = -9;
    EXPECT_NEAR(SegmentSegmentDistanceSq(c.p0, c.d0, c.p1, c.d1, &s, &t), c.dist, 1e-6f);
    EXPECT_NEAR(s, c.s, 1e-6f);
    EXPECT_NEAR(t, c.t, 1e-6f);
  }
}

TEST(LineRayDistance, Table) {
  struct Case {
    const char* name;
    CVector3 p0, d0, p1, d1;
    float dist, s, t;
  } cases[] = {
      {"crossing ahead of the ray", {0, 0, 0}, {1, 0, 0}, {2, 1, 1}, {0, -1, 0}, 1.0f, 2.0f, 1.0f},
      {"closest point behind the ray's origin", {0, 0, 0}, {1, 0, 0}, {2, 1, 1}, {0, 1, 0}, 2.0f, 2.0f, 0.0f},
      {"parallel", {0, 0, 0}, {1, 0, 0}, {5, 2, 0}, {3, 0, 0}, 4.0f, 5.0f, 0.0f},
      {"crossing far out along the line", {0, 0, 0}, {0.5f, 0, 0}, {-40, 0, 3}, {0, 0, -1}, 0.0f, -80.0f, 3.0f},
      {"the line is a point", {0, 3, 0}, {0, 0, 0}, {0, 0, 0}, {0, 1, 0}, 0.0f, 0.0f, 3.0f},
      {"the line is a point behind the ray", {0, -3, 1}, {0, 0, 0}, {0, 0, 0}, {0, 1, 0}, 10.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float s = -9, t = -9;
    EXPECT_NEAR(LineRayDistanceSq(c.p0, c.d0, c.p1, c.d1, &s, &t), c.dist, 1e-5f);
    EXPECT_NEAR(s, c.s, 1e-5f);
    EXPECT_NEAR(t, c.t, 1e-5f);
  }
}

TEST(PointLineDistance, Table) {
  float t = -9;
  EXPECT_FLOAT_EQ(PointLineDistanceSq(CVector3{1, 2, 0}, CVector3{0, 0, 0}, CVector3{2, 0, 0}, &t), 4.0f);
  EXPECT_FLOAT_EQ(t, 0.5f);
  EXPECT_FLOAT_EQ(PointLineDistanceSq(CVector3{-3, 0, 1}, CVector3{0, 0, 0}, CVector3{1, 0, 0}, &t), 1.0f);
  EXPECT_FLOAT_EQ(t, -3.0f);
  // A zero direction is a point.
  EXPECT_FLOAT_EQ(PointLineDistanceSq(CVector3{0, 3, 4}, CVector3{0, 0, 0}, CVector3{0, 0, 0}, &t), 25.0f);
  EXPECT_EQ(t, 0.0f);
}

TEST(PointTriangleDistance, EveryRegion) {
  const CVector3 v0{0, 0, 0}, v1{1, 0, 0}, v2{0, 1, 0};
  struct Case {
    const char* name;
    CVector3 point;
    float dist, s, t;
  } cases[] = {
      {"above the face", {0.25f, 0.25f, 2}, 4.0f, 0.25f, 0.25f},
      {"on the face", {0.5f, 0.25f, 0}, 0.0f, 0.5f, 0.25f},
      {"beyond V0", {-1, -1, 0}, 2.0f, 0, 0},
      {"beyond V1", {2, -1, 0}, 2.0f, 1, 0},
      {"beyond V2", {-1, 2, 0}, 2.0f, 0, 1},
      {"beyond edge V0-V1", {0.5f, -1, 0}, 1.0f, 0.5f, 0},
      {"beyond edge V0-V2", {-1, 0.5f, 1}, 2.0f, 0, 0.5f},
      {"beyond edge V1-V2", {1, 1, 0}, 0.5f, 0.5f, 0.5f},
      {"beyond V1 along the edge V1-V2 side", {2, 0.5f, 0}, 1.25f, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float s = -9, t = -9;
    EXPECT_NEAR(PointTriangleDistanceSq(c.point, v0, v1, v2, &s, &t), c.dist, 1e-6f);
    EXPECT_NEAR(s, c.s, 1e-6f);
    EXPECT_NEAR(t, c.t, 1e-6f);
  }
}

TEST(PointTriangleDistance, DegenerateTrianglesGiveTheDistanceToWhatIsLeft) {
  struct Case {
    const char* name;
    CVector3 v0, v1, v2, point;
    float dist;
  } cases[] = {
      {"collinear, V2 between", {0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {1, 1, 0}, 1.0f},
      {"collinear, point past the end", {0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {4, 0, 0}, 4.0f},
      {"two vertices equal", {0, 0, 0}, {0, 0, 0}, {0, 2, 0}, {1, 1, 0}, 1.0f},
      {"a single point", {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 3}, 4.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float s = -9, t = -9;
    const float dist = PointTriangleDistanceSq(c.point, c.v0, c.v1, c.v2, &s, &t);
    EXPECT_NEAR(dist, c.dist, 1e-6f);
    // The reported parameters name a point of the triangle at that distance.
    CVector3 e0, e1;
    const CVector3 closest = At(At(c.v0, c.v1.Subtract(c.v0, e0), s), c.v2.Subtract(c.v0, e1), t);
    CVector3 diff;
    EXPECT_NEAR(closest.Subtract(c.point, diff).Length_Squared(), dist, 1e-6f);
  }
}

TEST(SegmentTriangleDistance, Table) {
  const CVector3 v0{0, 0, 0}, v1{1, 0, 0}, v2{0, 1, 0};
  struct Case {
    const char* name;
    CVector3 p, d;
    float dist, r, s, t;
  } cases[] = {
      {"pierces the face", {0.25f, 0.25f, -1}, {0, 0, 2}, 0.0f, 0.5f, 0.25f, 0.25f},
      {"passes beside edge V1-V2", {2, 2, -1}, {0, 0, 2}, 4.5f, 0.5f, 0.5f, 0.5f},
      {"ends above the face", {0.25f, 0.25f, 3}, {0, 0, -1}, 4.0f, 1.0f, 0.25f, 0.25f},
      {"starts below the face", {0.25f, 0.5f, -1}, {0, 0, -3}, 1.0f, 0.0f, 0.25f, 0.5f},
      {"passes beside edge V0-V1", {0.5f, -1, -1}, {0, 0, 2}, 1.0f, 0.5f, 0.5f, 0.0f},
      // Parallel to the plane: the start and the end are equally close; the earlier wins.
      {"parallel above the face", {0.2f, 0.2f, 1}, {0.5f, 0, 0}, 1.0f, 0.0f, 0.2f, 0.2f},
      {"parallel, crossing over an edge", {0.5f, -1, 1}, {0, 3, 0}, 1.0f, 1.0f / 3, 0.5f, 0.0f},
      {"a point above the face", {0.25f, 0.25f, 2}, {0, 0, 0}, 4.0f, 0.0f, 0.25f, 0.25f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float r = -9, s = -9, t = -9;
    EXPECT_NEAR(SegmentTriangleDistanceSq(c.p, c.d, v0, v1, v2, &r, &s, &t), c.dist, 1e-5f);
    EXPECT_NEAR(r, c.r, 1e-5f);
    EXPECT_NEAR(s, c.s, 1e-5f);
    EXPECT_NEAR(t, c.t, 1e-5f);
  }
}

TEST(SegmentTriangleDistance, DegenerateTriangle) {
  // All three vertices on the x axis: the segment runs across that line 0.5 above it.
  const float dist = SegmentTriangleDistanceSq(CVector3{1, -1, 0.5f}, CVector3{0, 2, 0}, CVector3{0, 0, 0},
                                               CVector3{2, 0, 0}, CVector3{1, 0, 0});
  EXPECT_NEAR(dist, 0.25f, 1e-6f);
}

// ---------------------------------------------------------------------------------------------

TEST(PointBoxDistance, Table) {
  const Box turned = Turned_Box(CVector3{1, 2, 3}, CVector3{2, 1, 0.5f}, CVector3{0, 0, 1}, kPi / 6);
  struct Case {
    const char* name;
    float x0, x1, x2;  // the point, in box coordinates
    float dist, c0, c1, c2;
  } cases[] = {
      {"inside keeps its own coordinates", 1.5f, -0.5f, 0.25f, 0.0f, 1.5f, -0.5f, 0.25f},
      {"beyond one face", 3.0f, 0.5f, 0.0f, 1.0f, 2.0f, 0.5f, 0.0f},
      {"beyond an edge", -3.0f, -2.0f, 0.0f, 2.0f, -2.0f, -1.0f, 0.0f},
      {"beyond a corner", 4.0f, 3.0f, -2.5f, 12.0f, 2.0f, 1.0f, -0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float x0 = -9, x1 = -9, x2 = -9;
    const float dist = PointBoxDistanceSq(Box_Point(turned, c.x0, c.x1, c.x2), turned.center, turned.axis[0],
                                          turned.axis[1], turned.axis[2], turned.extents, &x0, &x1, &x2);
    EXPECT_NEAR(dist, c.dist, 1e-5f);
    EXPECT_NEAR(x0, c.c0, 1e-5f);
    EXPECT_NEAR(x1, c.c1, 1e-5f);
    EXPECT_NEAR(x2, c.c2, 1e-5f);
  }
}

struct LineBoxCase {
  const char* name;
  CVector3 p, d;  // in box coordinates
  float dist, t, x0, x1, x2;
  bool unique;  // one closest point; otherwise the rule for equally close points picks it
};

const LineBoxCase kLineBoxCases[] = {
    {"through the centre along +A0: the exit point", {-5, 0, 0}, {1, 0, 0}, 0.0f, 7.0f, 2.0f, 0.0f, 0.0f, false},
    {"through the centre along -A0: the far face", {5, 0, 0}, {-1, 0, 0}, 0.0f, 7.0f, -2.0f, 0.0f, 0.0f, false},
    {"parallel to A0, outside", {0, 3, 0}, {1, 0, 0}, 4.0f, 2.0f, 2.0f, 1.0f, 0.0f, false},
    {"parallel to A2, past an edge", {3, 3, -5}, {0, 0, 0.5f}, 5.0f, 11.0f, 2.0f, 1.0f, 0.5f, false},
    {"through the box diagonally: the first exit", {-3, -2, 0}, {1, 1, 0}, 0.0f, 3.0f, 0.0f, 1.0f, 0.0f, false},
    {"in a face plane, missing a corner", {-5, 0, 3}, {1, 1, 0}, 8.25f, 2.0f, -2.0f, 1.0f, 0.5f, true},
    {"skew, past a corner", {4, -4, 3}, {-1, 1, 1}, 618.0f / 36, 5.0f / 6, 2.0f, -1.0f, 0.5f, true},
    {"skew, through two faces: the first exit", {4, 0.5f, -3}, {-1, 0, 1}, 0.0f, 3.5f, 0.5f, 0.5f, 0.5f, false},
    {"a point", {3, 0, 0}, {0, 0, 0}, 1.0f, 0.0f, 2.0f, 0.0f, 0.0f, true},
};

TEST(LineBoxDistance, Table) {
  // An axis-aligned box gives exact zero direction components, so the rule for equally close
  // points can be checked; on a turned box rounding leaves tiny components, which make the
  // closest point unique, so there only the distance and unique points are compared.
  const Box boxes[] = {Aligned_Box(CVector3{1, 2, 3}, CVector3{2, 1, 0.5f}),
                       Turned_Box(CVector3{1, 2, 3}, CVector3{2, 1, 0.5f}, CVector3{0.6f, 0, 0.8f}, 0.7f)};
  for (const Box& box : boxes) {
    const bool aligned = &box == &boxes[0];
    for (const LineBoxCase& c : kLineBoxCases) {
      SCOPED_TRACE(c.name);
      SCOPED_TRACE(aligned ? "aligned box" : "turned box");
      const CVector3 p = Box_Point(box, c.p.x, c.p.y, c.p.z);
      CVector3 d = Box_Point(box, c.d.x, c.d.y, c.d.z);
      d.Subtract_Assign(box.center);
      float t = -9, x0 = -9, x1 = -9, x2 = -9;
      EXPECT_NEAR(LineBoxDistanceSq(p, d, box.center, box.axis[0], box.axis[1], box.axis[2], box.extents, &t, &x0,
                                    &x1, &x2),
                  c.dist, 2e-5f);
      if (!aligned && !c.unique) continue;
      EXPECT_NEAR(t, c.t, 2e-5f);
      EXPECT_NEAR(x0, c.x0, 2e-5f);
      EXPECT_NEAR(x1, c.x1, 2e-5f);
      EXPECT_NEAR(x2, c.x2, 2e-5f);
    }
  }
}

TEST(SegmentBoxDistance, Table) {
  const Box box = Aligned_Box(CVector3{0, 0, 0}, CVector3{1, 1, 1});
  struct Case {
    const char* name;
    CVector3 p, d;
    float dist, t, x0, x1, x2;
  } cases[] = {
      {"line passes the box beyond the end", {-5, 0, 0}, {2, 0, 0}, 4.0f, 1.0f, -1.0f, 0.0f, 0.0f},
      {"line passes the box before the start", {5, 0, 0}, {1, 0, 0}, 16.0f, 0.0f, 1.0f, 0.0f, 0.0f},
      {"closest point inside the segment", {-2, 3, 0}, {4, 0, 0}, 4.0f, 0.75f, 1.0f, 1.0f, 0.0f},
      {"wholly inside", {-0.5f, 0, 0}, {1, 0, 0}, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float t = -9, x0 = -9, x1 = -9, x2 = -9;
    EXPECT_NEAR(SegmentBoxDistanceSq(c.p, c.d, box.center, box.axis[0], box.axis[1], box.axis[2], box.extents, &t,
                                     &x0, &x1, &x2),
                c.dist, 1e-5f);
    EXPECT_NEAR(t, c.t, 1e-5f);
    EXPECT_NEAR(x0, c.x0, 1e-5f);
    EXPECT_NEAR(x1, c.x1, 1e-5f);
    EXPECT_NEAR(x2, c.x2, 1e-5f);
  }
}

// ---------------------------------------------------------------------------------------------

TEST(BoxBoxOverlap, Table) {
  const Box a = Aligned_Box(CVector3{0, 0, 0}, CVector3{1, 1, 1});
  struct Case {
    const char* name;
    Box b;
    bool overlap;
  } cases[] = {
      {"touching faces", Aligned_Box(CVector3{2, 0, 0}, CVector3{1, 1, 1}), true},
      {"just apart", Aligned_Box(CVector3{2.001f, 0, 0}, CVector3{1, 1, 1}), false},
      {"one inside the other", Aligned_Box(CVector3{0.1f, 0.2f, 0}, CVector3{0.2f, 0.2f, 0.2f}), true},
      {"turned corner reaches in", Turned_Box(CVector3{2.3f, 0, 0}, CVector3{1, 1, 1}, CVector3{0, 0, 1}, kPi / 4), true},
      {"turned corner falls short", Turned_Box(CVector3{2.5f, 0, 0}, CVector3{1, 1, 1}, CVector3{0, 0, 1}, kPi / 4), false},
      {"apart along a diagonal", Aligned_Box(CVector3{2.1f, 2.1f, 2.1f}, CVector3{1, 1, 1}), false},
      {"flat box in contact", Aligned_Box(CVector3{0, 1, 0}, CVector3{3, 0, 3}), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BoxBoxOverlap(a.center, a.axis[0], a.axis[1], a.axis[2], a.extents, c.b.center, c.b.axis[0],
                            c.b.axis[1], c.b.axis[2], c.b.extents),
              c.overlap);
    EXPECT_EQ(BoxBoxOverlap(c.b.center, c.b.axis[0], c.b.axis[1], c.b.axis[2], c.b.extents, a.center, a.axis[0],
                            a.axis[1], a.axis[2], a.extents),
              c.overlap);
  }
}

TEST(BoxBoxOverlap, EdgeAgainstEdgeIsSeparatedOnlyByACrossAxis) {
  // Two long thin boxes crossing like an X seen from above, one lifted just clear of the other:
  // no face axis separates them, the cross product of their long axes does.
  const Box a = Turned_Box(CVector3{0, 0, 0}, CVector3{5, 0.1f, 0.1f}, CVector3{0, 1, 0}, kPi / 4);
  const Box low = Turned_Box(CVector3{0, 0.15f, 0}, CVector3{5, 0.1f, 0.1f}, CVector3{0, 1, 0}, -kPi / 4);
  const Box high = Turned_Box(CVector3{0, 0.25f, 0}, CVector3{5, 0.1f, 0.1f}, CVector3{0, 1, 0}, -kPi / 4);
  auto overlap = [&](const Box& b) {
    return BoxBoxOverlap(a.center, a.axis[0], a.axis[1], a.axis[2], a.extents, b.center, b.axis[0], b.axis[1],
                         b.axis[2], b.extents);
  };
  EXPECT_TRUE(overlap(low));
  EXPECT_FALSE(overlap(high));
}

TEST(BoxTriangleOverlap, Table) {
  const Box box = Turned_Box(CVector3{0, 0, 0}, CVector3{1, 1, 1}, CVector3{0, 1, 0}, 0.3f);
  struct Case {
    const char* name;
    CVector3 v0, v1, v2;
    bool overlap;
  } cases[] = {
      {"large triangle cutting through", {-10, 0.5f, -10}, {10, 0.5f, -10}, {0, 0.5f, 10}, true},
      {"lying on the top face", {-10, 1, -10}, {10, 1, -10}, {0, 1, 10}, true},
      {"just above", {-10, 1.001f, -10}, {10, 1.001f, -10}, {0, 1.001f, 10}, false},
      {"small triangle inside", {0.1f, 0, 0}, {0, 0.1f, 0}, {0, 0, 0.1f}, true},
      {"beside, past a corner", {3, -5, 3}, {3, 5, 3}, {5, 0, 1}, false},
      {"collapsed to a point inside", {0.2f, 0.2f, 0.2f}, {0.2f, 0.2f, 0.2f}, {0.2f, 0.2f, 0.2f}, true},
      {"collapsed to a point outside", {2, 2, 2}, {2, 2, 2}, {2, 2, 2}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BoxTriangleOverlap(c.v0, c.v1, c.v2, box.center, box.axis[0], box.axis[1], box.axis[2], box.extents),
              c.overlap);
  }
}

TEST(BoxTrianglePenetration, Table) {
  const Box box = Aligned_Box(CVector3{0, 0, 0}, CVector3{1, 1, 1});
  const CVector3 v0{-10, 2, -10}, v1{10, 2, -10}, v2{0, 2, 10};  // the plane y = 2
  struct Case {
    const char* name;
    CVector3 offset, velocity;
    bool touches;
    float t_first, t_last;
  } cases[] = {
      {"already overlapping", {0, 1.5f, 0}, {0, 0, 0}, true, 0.0f, 10000000.0f},
      {"already overlapping, moving up", {0, 1.5f, 0}, {0, 1, 0}, true, 0.0f, 1.5f},
      {"reaches it half way", {0, 0, 0}, {0, 2, 0}, true, 0.5f, 1.5f},
      {"moving away", {0, 0, 0}, {0, -2, 0}, false, 0, 0},
      {"standing still below", {0, 0, 0}, {0, 0, 0}, false, 0, 0},
      {"reaches it only after the step", {0, -1, 0}, {0, 1, 0}, false, 0, 0},
      {"comes down from above", {0, 4, 0}, {0, -4, 0}, true, 0.25f, 0.75f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CVector3 center;
    box.center.Add(c.offset, center);
    float t_first = -9, t_last = -9;
    EXPECT_EQ(BoxTrianglePenetration(center, box.axis[0], box.axis[1], box.axis[2], box.extents, c.velocity, v0, v1,
                                     v2, &t_first, &t_last),
              c.touches);
    if (c.touches) {
      EXPECT_NEAR(t_first, c.t_first, 1e-6f);
      EXPECT_NEAR(t_last, c.t_last, 1e-6f);
    }
  }
}

// ---------------------------------------------------------------------------------------------

TEST(SegmentSphereIntersect, Table) {
  const CVector3 center{0, 0, 0};
  const float radius = 2.0f;
  struct Case {
    const char* name;
    CVector3 p, d;
    int count;
    CVector3 point0, point1;
  } cases[] = {
      {"through", {-4, 0, 0}, {8, 0, 0}, 2, {-2, 0, 0}, {2, 0, 0}},
      {"enters and stops inside", {-4, 0, 0}, {4, 0, 0}, 1, {-2, 0, 0}, {}},
      {"starts inside: the exit", {0, 0, 0}, {4, 0, 0}, 1, {2, 0, 0}, {}},
      {"starts and ends inside: the exit beyond the end", {-1, 0, 0}, {1.5f, 0, 0}, 1, {2, 0, 0}, {}},
      {"tangent", {-3, 2, 0}, {6, 0, 0}, 1, {0, 2, 0}, {}},
      {"misses", {-3, 2.5f, 0}, {6, 0, 0}, 0, {}, {}},
      {"stops short", {-6, 0, 0}, {3, 0, 0}, 0, {}, {}},
      {"starts past", {3, 0, 0}, {3, 0, 0}, 0, {}, {}},
      {"a point inside", {0.5f, 0, 0}, {0, 0, 0}, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int count = -1;
    CVector3 point0{9, 9, 9}, point1{9, 9, 9};
    EXPECT_EQ(SegmentSphereIntersect(c.p, c.d, center, radius, &count, &point0, &point1), c.count != 0);
    EXPECT_EQ(count, c.count);
    if (c.count >= 1) { EXPECT_VEC_NEAR(point0, c.point0, 1e-5f); }
    if (c.count == 2) { EXPECT_VEC_NEAR(point1, c.point1, 1e-5f); }
    if (c.count < 2) { EXPECT_VEC_NEAR(point1, (CVector3{9, 9, 9}), 0.0f); }
  }
}

TEST(SegmentBoxIntersect, Table) {
  const Box box = Turned_Box(CVector3{1, 1, 1}, CVector3{1, 2, 3}, CVector3{0, 1, 0}, 0.4f);
  struct Case {
    const char* name;
    CVector3 p, d;  // in box coordinates
    int count;
    CVector3 point0, point1;  // in box coordinates
  } cases[] = {
      {"through", {-3, 0, 0}, {6, 0, 0}, 2, {-1, 0, 0}, {1, 0, 0}},
      {"enters and stops inside", {0, -5, 0}, {0, 4, 0}, 1, {0, -2, 0}, {}},
      {"from inside to outside: the exit", {0, 0, 0}, {0, 0, 5}, 1, {0, 0, 3}, {}},
      {"wholly inside", {-0.5f, 0, 0}, {1, 1, 1}, 0, {}, {}},
      {"misses", {-3, 2.5f, 0}, {6, 0, 0}, 0, {}, {}},
      {"stops short", {-6, 0, 0}, {3, 0, 0}, 0, {}, {}},
      {"a point inside", {0.5f, 0, 0}, {0, 0, 0}, 0, {}, {}},
      {"a point outside", {5, 0, 0}, {0, 0, 0}, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CVector3 p = Box_Point(box, c.p.x, c.p.y, c.p.z);
    CVector3 d = Box_Point(box, c.d.x, c.d.y, c.d.z);
    d.Subtract_Assign(box.center);
    int count = -1;
    CVector3 point0{9, 9, 9}, point1{9, 9, 9};
    EXPECT_EQ(SegmentBoxIntersect(p, d, box.center, box.axis[0], box.axis[1], box.axis[2], box.extents, &count,
                                  &point0, &point1),
              c.count != 0);
    EXPECT_EQ(count, c.count);
    if (c.count >= 1) { EXPECT_VEC_NEAR(point0, Box_Point(box, c.point0.x, c.point0.y, c.point0.z), 1e-5f); }
    if (c.count == 2) { EXPECT_VEC_NEAR(point1, Box_Point(box, c.point1.x, c.point1.y, c.point1.z), 1e-5f); }
  }
}

TEST(Geometry, OutputsAreOptional) {
  const CVector3 o{0, 0, 0}, x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1}, e{1, 1, 1};
  EXPECT_NEAR(SegmentSegmentDistanceSq(o, x, y, z), 1.0f, 1e-6f);
  EXPECT_NEAR(LineRayDistanceSq(o, x, y, z), 1.0f, 1e-6f);
  EXPECT_NEAR(SegmentTriangleDistanceSq(z, z, o, x, y), 1.0f, 1e-6f);
  EXPECT_NEAR(PointTriangleDistanceSq(z, o, x, y), 1.0f, 1e-6f);
  EXPECT_NEAR(PointBoxDistanceSq(CVector3{3, 0, 0}, o, x, y, z, e), 4.0f, 1e-6f);
  EXPECT_NEAR(LineBoxDistanceSq(CVector3{0, 3, 0}, x, o, x, y, z, e), 4.0f, 1e-6f);
  EXPECT_NEAR(SegmentBoxDistanceSq(CVector3{0, 3, 0}, x, o, x, y, z, e), 4.0f, 1e-6f);
  EXPECT_TRUE(BoxTrianglePenetration(o, x, y, z, e, o, o, x, y));
  EXPECT_TRUE(SegmentSphereIntersect(CVector3{-3, 0, 0}, CVector3{6, 0, 0}, o, 1.0f));
  EXPECT_TRUE(SegmentBoxIntersect(CVector3{-3, 0, 0}, CVector3{6, 0, 0}, o, x, y, z, e));
}

}  // namespace
