// Degenerate shapes, taken in every combination: zero-length segments, collapsed triangles and
// boxes that have lost some or all of their size. Every routine must answer with numbers (never NaN or
// infinity), a distance that is not negative, and parameters that name a point at that distance.
#include <cmath>

#include "runtime/src/math/geometry.h"
#include "tests/runtime/math/math_test_util.h"

namespace {

struct Seg {
  const char* name;
  CVector3 p, d;
};
struct Tri {
  const char* name;
  CVector3 v0, v1, v2;
};
struct Box {
  const char* name;
  CVector3 center, axis[3], extents;
};

const Seg kSegments[] = {
    {"point segment off the shapes", {3, 2, 1}, {0, 0, 0}},
    {"point segment at the origin", {0, 0, 0}, {0, 0, 0}},
    {"tiny segment", {0.5f, 0.5f, 0.5f}, {1e-20f, 0, 0}},
    {"ordinary segment", {-2, 0.25f, 0.5f}, {4, 0, 0}},
};

const Tri kTriangles[] = {
    {"single point", {1, 1, 1}, {1, 1, 1}, {1, 1, 1}},
    {"collinear", {0, 0, 0}, {2, 0, 0}, {1, 0, 0}},
    {"two vertices equal", {0, 0, 0}, {0, 0, 0}, {0, 2, 0}},
    {"tiny", {0, 0, 0}, {1e-20f, 0, 0}, {0, 1e-20f, 0}},
    {"ordinary", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
};

const Box kBoxes[] = {
    {"no size", {0, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {0, 0, 0}},
    {"flat", {0, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {1, 0, 1}},
    {"tiny", {0.5f, 0, 0}, {{0.6f, 0.8f, 0}, {-0.8f, 0.6f, 0}, {0, 0, 1}}, {1e-20f, 1e-20f, 1e-20f}},
    {"a stick", {0, 0, 0}, {{0.6f, 0, 0.8f}, {0, 1, 0}, {-0.8f, 0, 0.6f}}, {0, 2, 0}},
    {"ordinary", {0, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {1, 1, 1}},
};

bool Finite(float v) { return std::isfinite(v); }
bool Finite(const CVector3& v) { return Finite(v.x) && Finite(v.y) && Finite(v.z); }

CVector3 At(const CVector3& p, const CVector3& d, float s) { return CVector3{p.x + s * d.x, p.y + s * d.y, p.z + s * d.z}; }

float Dist_Sq(const CVector3& a, const CVector3& b) {
  CVector3 diff;
  return a.Subtract(b, diff).Length_Squared();
}

CVector3 Triangle_Point(const Tri& tri, float s, float t) {
  CVector3 e0, e1;
  return At(At(tri.v0, tri.v1.Subtract(tri.v0, e0), s), tri.v2.Subtract(tri.v0, e1), t);
}

CVector3 Box_Point(const Box& b, float x0, float x1, float x2) {
  return At(At(At(b.center, b.axis[0], x0), b.axis[1], x1), b.axis[2], x2);
}

// A distance with its parameters: finite, not negative, and the distance between the points
// the parameters name.
void Expect_Sound(float dist, const CVector3& a, const CVector3& b) {
  EXPECT_TRUE(Finite(dist)) << dist;
  EXPECT_GE(dist, 0.0f);
  EXPECT_TRUE(Finite(a) && Finite(b));
  EXPECT_NEAR(Dist_Sq(a, b), dist, 1e-4f * (1.0f + dist));
}

TEST(GeometryDegenerate, SegmentsAgainstSegmentsAndTriangles) {
  for (const Seg& a : kSegments) {
    SCOPED_TRACE(a.name);
    for (const Seg& b : kSegments) {
      SCOPED_TRACE(b.name);
      float s = NAN, t = NAN;
      const float dist = SegmentSegmentDistanceSq(a.p, a.d, b.p, b.d, &s, &t);
      Expect_Sound(dist, At(a.p, a.d, s), At(b.p, b.d, t));
      s = t = NAN;
      const float line_ray = LineRayDistanceSq(a.p, a.d, b.p, b.d, &s, &t);
      Expect_Sound(line_ray, At(a.p, a.d, s), At(b.p, b.d, t));
    }
    for (const Tri& tri : kTriangles) {
      SCOPED_TRACE(tri.name);
      float r = NAN, s = NAN, t = NAN;
      const float dist = SegmentTriangleDistanceSq(a.p, a.d, tri.v0, tri.v1, tri.v2, &r, &s, &t);
      Expect_Sound(dist, At(a.p, a.d, r), Triangle_Point(tri, s, t));
      s = t = NAN;
      const float point = PointTriangleDistanceSq(a.p, tri.v0, tri.v1, tri.v2, &s, &t);
      Expect_Sound(point, a.p, Triangle_Point(tri, s, t));
    }
  }
}

TEST(GeometryDegenerate, SegmentsAndPointsAgainstBoxes) {
  for (const Box& box : kBoxes) {
    SCOPED_TRACE(box.name);
    for (const Seg& seg : kSegments) {
      SCOPED_TRACE(seg.name);
      float x0 = NAN, x1 = NAN, x2 = NAN, t = NAN;
      const float point = PointBoxDistanceSq(seg.p, box.center, box.axis[0], box.axis[1], box.axis[2], box.extents,
                                             &x0, &x1, &x2);
      Expect_Sound(point, seg.p, Box_Point(box, x0, x1, x2));
      x0 = x1 = x2 = NAN;
      const float line = LineBoxDistanceSq(seg.p, seg.d, box.center, box.axis[0], box.axis[1], box.axis[2],
                                           box.extents, &t, &x0, &x1, &x2);
      Expect_Sound(line, At(seg.p, seg.d, t), Box_Point(box, x0, x1, x2));
      x0 = x1 = x2 = t = NAN;
      const float segment = SegmentBoxDistanceSq(seg.p, seg.d, box.center, box.axis[0], box.axis[1], box.axis[2],
                                                 box.extents, &t, &x0, &x1, &x2);
      Expect_Sound(segment, At(seg.p, seg.d, t), Box_Point(box, x0, x1, x2));
      EXPECT_GE(t, 0.0f);
      EXPECT_LE(t, 1.0f);

      int count = -1;
      CVector3 point0{9, 9, 9}, point1{9, 9, 9};
      SegmentBoxIntersect(seg.p, seg.d, box.center, box.axis[0], box.axis[1], box.axis[2], box.extents, &count,
                          &point0, &point1);
      EXPECT_GE(count, 0);
      EXPECT_LE(count, 2);
      EXPECT_TRUE(Finite(point0) && Finite(point1));

      for (float radius : {0.0f, 1.0f}) {
        count = -1;
        point0 = point1 = CVector3{9, 9, 9};
        SegmentSphereIntersect(seg.p, seg.d, box.center, radius, &count, &point0, &point1);
        EXPECT_GE(count, 0);
        EXPECT_LE(count, 2);
        EXPECT_TRUE(Finite(point0) && Finite(point1));
      }
    }
  }
}

TEST(GeometryDegenerate, OverlapTestsOfCollapsedShapesKeepTheirContacts) {
  // Each collapsed box still holds its centre, so it overlaps any box or triangle through
  // that centre, and nothing far away.
  const Box& ordinary = kBoxes[4];
  for (const Box& box : kBoxes) {
    SCOPED_TRACE(box.name);
    EXPECT_TRUE(BoxBoxOverlap(box.center, box.axis[0], box.axis[1], box.axis[2], box.extents, ordinary.center,
                              ordinary.axis[0], ordinary.axis[1], ordinary.axis[2], ordinary.extents));
    const CVector3 far_center{10, 10, 10};
    EXPECT_FALSE(BoxBoxOverlap(box.center, box.axis[0], box.axis[1], box.axis[2], box.extents, far_center,
                               ordinary.axis[0], ordinary.axis[1], ordinary.axis[2], ordinary.extents));
    for (const Tri& tri : kTriangles) {
      SCOPED_TRACE(tri.name);
      const CVector3 c = box.center;
      const Tri through{"", c, At(c, tri.v1, 1), At(c, tri.v2, 1)};
      EXPECT_TRUE(BoxTriangleOverlap(through.v0, through.v1, through.v2, box.center, box.axis[0], box.axis[1],
                                     box.axis[2], box.extents));
      const Tri away{"", At(tri.v0, far_center, 1), At(tri.v1, far_center, 1), At(tri.v2, far_center, 1)};
      EXPECT_FALSE(BoxTriangleOverlap(away.v0, away.v1, away.v2, box.center, box.axis[0], box.axis[1],
                                      box.axis[2], box.extents));
      for (const CVector3& velocity : {CVector3{0, 0, 0}, CVector3{20, 20, 20}}) {
        float first = NAN, last = NAN;
        const bool hit = BoxTrianglePenetration(box.center, box.axis[0], box.axis[1], box.axis[2], box.extents,
                                                velocity, away.v0, away.v1, away.v2, &first, &last);
        if (hit) {
          EXPECT_TRUE(Finite(first) && Finite(last));
          EXPECT_LE(first, last);
        }
        first = last = NAN;
        EXPECT_TRUE(BoxTrianglePenetration(box.center, box.axis[0], box.axis[1], box.axis[2], box.extents, velocity,
                                           through.v0, through.v1, through.v2, &first, &last));
        EXPECT_EQ(first, 0.0f);
        EXPECT_TRUE(Finite(last));
      }
    }
  }
}

}  // namespace
