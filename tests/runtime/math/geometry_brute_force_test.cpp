// Every distance routine against a direct numerical minimisation of the squared distance over
// the shapes' parameters, and every overlap routine against a separating-axis test that
// projects the shapes' corners, on seeded random inputs.
//
// Distances agree within 1e-4 of (1 + the reference). The reported parameters must name points
// of the shapes at the reported distance.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "runtime/src/math/geometry.h"
#include "tests/runtime/math/math_test_util.h"

namespace {

struct D3 {
  double x, y, z;
};
D3 To_D3(const CVector3& v) { return {v.x, v.y, v.z}; }
D3 Add(D3 a, D3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
D3 Sub(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3 Mul(D3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3 Cross(D3 a, D3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dist_Sq(D3 a, D3 b) { return Dot(Sub(a, b), Sub(a, b)); }
D3 Along(const CVector3& p, const CVector3& d, double s) { return Add(To_D3(p), Mul(To_D3(d), s)); }

// Golden-section search for the minimum of a convex function on [lo, hi].
template <class F>
double Minimum(F f, double lo, double hi, int iterations) {
  const double g = 0.6180339887498949;
  double a = lo, b = hi;
  double c = b - g * (b - a), d = a + g * (b - a);
  double fc = f(c), fd = f(d);
  for (int i = 0; i < iterations; ++i) {
    if (fc < fd) {
      b = d;
      d = c;
      fd = fc;
      c = b - g * (b - a);
      fc = f(c);
    } else {
      a = c;
      c = d;
      fc = fd;
      d = a + g * (b - a);
      fd = f(d);
    }
  }
  return std::min({fc, fd, f(lo), f(hi)});
}

void Expect_Close(float actual, double reference, int index) {
  ASSERT_NEAR(actual, reference, 1e-4 * (1.0 + reference)) << "case " << index;
}

struct Box {
  CVector3 center, axis[3], extents;
};

Box Random_Box(Random_Source& random, float reach, float min_extent, float max_extent) {
  CMatrix3x3 m;
  m.From_Quaternion(random.Rotation());
  return Box{random.Vector(-reach, reach),
             {m.rows[0], m.rows[1], m.rows[2]},
             {random.Uniform(min_extent, max_extent), random.Uniform(min_extent, max_extent),
              random.Uniform(min_extent, max_extent)}};
}

// Squared distance from a point to the box, by clamping its box coordinates.
double Point_Box_Reference(const Box& b, D3 p) {
  const D3 d = Sub(p, To_D3(b.center));
  const double e[3] = {b.extents.x, b.extents.y, b.extents.z};
  double sum = 0.0;
  for (int i = 0; i < 3; ++i) {
    const double x = Dot(d, To_D3(b.axis[i]));
    const double out = std::max(0.0, std::fabs(x) - e[i]);
    sum += out * out;
  }
  return sum;
}

D3 Box_Point(const Box& b, double x0, double x1, double x2) {
  return Add(Add(Add(To_D3(b.center), Mul(To_D3(b.axis[0]), x0)), Mul(To_D3(b.axis[1]), x1)),
             Mul(To_D3(b.axis[2]), x2));
}

TEST(GeometryBruteForce, SegmentSegment) {
  Random_Source random(101);
  for (int i = 0; i < 3000; ++i) {
    const CVector3 p0 = random.Vector(-10, 10), d0 = random.Vector(-10, 10);
    const CVector3 p1 = random.Vector(-10, 10), d1 = random.Vector(-10, 10);
    const double reference = Minimum(
        [&](double s) {
          return Minimum([&](double t) { return Dist_Sq(Along(p0, d0, s), Along(p1, d1, t)); }, 0, 1, 60);
        },
        0, 1, 60);
    float s, t;
    const float dist = SegmentSegmentDistanceSq(p0, d0, p1, d1, &s, &t);
    Expect_Close(dist, reference, i);
    ASSERT_TRUE(s >= 0 && s <= 1 && t >= 0 && t <= 1) << "case " << i;
    Expect_Close(dist, Dist_Sq(Along(p0, d0, s), Along(p1, d1, t)), i);
  }
}

TEST(GeometryBruteForce, LineRay) {
  Random_Source random(102);
  for (int i = 0; i < 3000; ++i) {
    const CVector3 p0 = random.Vector(-10, 10), p1 = random.Vector(-10, 10);
    CVector3 d0 = random.Unit_Vector(), d1 = random.Unit_Vector();
    d0.Scale_Assign(random.Uniform(0.5f, 10));
    d1.Scale_Assign(random.Uniform(0.5f, 10));
    const double reference = Minimum(
        [&](double t) {
          return Minimum([&](double s) { return Dist_Sq(Along(p0, d0, s), Along(p1, d1, t)); }, -500, 500, 80);
        },
        0, 500, 80);
    float s, t;
    const float dist = LineRayDistanceSq(p0, d0, p1, d1, &s, &t);
    Expect_Close(dist, reference, i);
    ASSERT_GE(t, 0.0f) << "case " << i;
    Expect_Close(dist, Dist_Sq(Along(p0, d0, s), Along(p1, d1, t)), i);
  }
}

TEST(GeometryBruteForce, PointTriangle) {
  Random_Source random(103);
  for (int i = 0; i < 3000; ++i) {
    const CVector3 point = random.Vector(-10, 10);
    const CVector3 v0 = random.Vector(-10, 10), v1 = random.Vector(-10, 10), v2 = random.Vector(-10, 10);
    const CVector3 e0{v1.x - v0.x, v1.y - v0.y, v1.z - v0.z}, e1{v2.x - v0.x, v2.y - v0.y, v2.z - v0.z};
    auto triangle_point = [&](double s, double t) { return Add(Along(v0, e0, s), Mul(To_D3(e1), t)); };
    const double reference = Minimum(
        [&](double s) {
          return Minimum([&](double t) { return Dist_Sq(To_D3(point), triangle_point(s, t)); }, 0, 1 - s, 60);
        },
        0, 1, 60);
    float s, t;
    const float dist = PointTriangleDistanceSq(point, v0, v1, v2, &s, &t);
    Expect_Close(dist, reference, i);
    ASSERT_TRUE(s >= 0 && t >= 0 && s + t <= 1.0f + 1e-6f) << "case " << i;
    Expect_Close(dist, Dist_Sq(To_D3(point), triangle_point(s, t)), i);
  }
}

TEST(GeometryBruteForce, SegmentTriangle) {
  Random_Source random(104);
  for (int i = 0; i < 1000; ++i) {
    // Triangles near the origin and segments around them, so that many pass through.
    const CVector3 p = random.Vector(-8, 8), d = random.Vector(-10, 10);
    const CVector3 v0 = random.Vector(-6, 6), v1 = random.Vector(-6, 6), v2 = random.Vector(-6, 6);
    const CVector3 e0{v1.x - v0.x, v1.y - v0.y, v1.z - v0.z}, e1{v2.x - v0.x, v2.y - v0.y, v2.z - v0.z};
    auto triangle_point = [&](double s, double t) { return Add(Along(v0, e0, s), Mul(To_D3(e1), t)); };
    auto point_triangle = [&](D3 q) {
      return Minimum(
          [&](double s) { return Minimum([&](double t) { return Dist_Sq(q, triangle_point(s, t)); }, 0, 1 - s, 45); },
          0, 1, 45);
    };
    const double reference = Minimum([&](double r) { return point_triangle(Along(p, d, r)); }, 0, 1, 45);
    float r, s, t;
    const float dist = SegmentTriangleDistanceSq(p, d, v0, v1, v2, &r, &s, &t);
    Expect_Close(dist, reference, i);
    ASSERT_TRUE(r >= 0 && r <= 1 && s >= 0 && t >= 0 && s + t <= 1.0f + 1e-6f) << "case " << i;
    Expect_Close(dist, Dist_Sq(Along(p, d, r), triangle_point(s, t)), i);
  }
}

TEST(GeometryBruteForce, PointBox) {
  Random_Source random(105);
  for (int i = 0; i < 400; ++i) {
    const Box b = Random_Box(random, 5, 0.1f, 5);
    const CVector3 point = random.Vector(-10, 10);
    const double reference = Minimum(
        [&](double x0) {
          return Minimum(
              [&](double x1) {
                return Minimum([&](double x2) { return Dist_Sq(To_D3(point), Box_Point(b, x0, x1, x2)); },
                               -b.extents.z, b.extents.z, 45);
              },
              -b.extents.y, b.extents.y, 45);
        },
        -b.extents.x, b.extents.x, 45);
    float x0, x1, x2;
    const float dist =
        PointBoxDistanceSq(point, b.center, b.axis[0], b.axis[1], b.axis[2], b.extents, &x0, &x1, &x2);
    Expect_Close(dist, reference, i);
    Expect_Close(dist, Dist_Sq(To_D3(point), Box_Point(b, x0, x1, x2)), i);
  }
}

// Line and segment against a box: the reference minimises over the line parameter the exact
// squared distance of each line point to the box.
void Check_Line_Box(bool segment, unsigned seed) {
  Random_Source random(seed);
  for (int i = 0; i < 3000; ++i) {
    const Box b = Random_Box(random, 5, 0.1f, 4);
    const CVector3 p = random.Vector(-10, 10), d = random.Vector(-10, 10);
    const double lo = segment ? 0.0 : -1000.0, hi = segment ? 1.0 : 1000.0;
    const double reference = Minimum([&](double t) { return Point_Box_Reference(b, Along(p, d, t)); }, lo, hi, 90);
    float t, x0, x1, x2;
    const float dist =
        segment ? SegmentBoxDistanceSq(p, d, b.center, b.axis[0], b.axis[1], b.axis[2], b.extents, &t, &x0, &x1, &x2)
                : LineBoxDistanceSq(p, d, b.center, b.axis[0], b.axis[1], b.axis[2], b.extents, &t, &x0, &x1, &x2);
    Expect_Close(dist, reference, i);
    if (segment) { ASSERT_TRUE(t >= 0 && t <= 1) << "case " << i; }
    ASSERT_TRUE(std::fabs(x0) <= b.extents.x && std::fabs(x1) <= b.extents.y && std::fabs(x2) <= b.extents.z)
        << "case " << i;
    Expect_Close(dist, Dist_Sq(Along(p, d, t), Box_Point(b, x0, x1, x2)), i);
  }
}

TEST(GeometryBruteForce, LineBox) { Check_Line_Box(false, 106); }
TEST(GeometryBruteForce, SegmentBox) { Check_Line_Box(true, 107); }

// ---------------------------------------------------------------------------------------------
// Separating axes by projecting corners. Returns the largest gap between the two projections
// over the candidate axes (normalised): positive when separated, zero or less when touching or
// overlapping.

std::array<D3, 8> Corners(const Box& b, D3 offset = {0, 0, 0}) {
  std::array<D3, 8> corners;
  for (int k = 0; k < 8; ++k) {
    const double x0 = (k & 1) ? b.extents.x : -b.extents.x;
    const double x1 = (k & 2) ? b.extents.y : -b.extents.y;
    const double x2 = (k & 4) ? b.extents.z : -b.extents.z;
    corners[k] = Add(Box_Point(b, x0, x1, x2), offset);
  }
  return corners;
}

template <class A, class B>
double Largest_Gap(const A& first, const B& second, const std::vector<D3>& axes, int* separating_axis = nullptr) {
  double largest = -1e30;
  for (size_t k = 0; k < axes.size(); ++k) {
    const double length = std::sqrt(Dot(axes[k], axes[k]));
    if (length < 1e-9) continue;
    double lo1 = 1e30, hi1 = -1e30, lo2 = 1e30, hi2 = -1e30;
    for (const D3& p : first) {
      lo1 = std::min(lo1, Dot(p, axes[k]));
      hi1 = std::max(hi1, Dot(p, axes[k]));
    }
    for (const D3& p : second) {
      lo2 = std::min(lo2, Dot(p, axes[k]));
      hi2 = std::max(hi2, Dot(p, axes[k]));
    }
    const double gap = std::max(lo2 - hi1, lo1 - hi2) / length;
    if (gap > largest) {
      largest = gap;
      if (separating_axis) *separating_axis = static_cast<int>(k);
    }
  }
  return largest;
}

TEST(GeometryBruteForce, BoxBoxOverlapAgreesWithCornerProjection) {
  Random_Source random(108);
  int overlapping = 0, separated = 0, by_cross_axis = 0;
  for (int i = 0; i < 4000; ++i) {
    const Box a = Random_Box(random, 3, 0.1f, 2.5f), b = Random_Box(random, 3, 0.1f, 2.5f);
    std::vector<D3> axes;
    for (const CVector3& axis : a.axis) axes.push_back(To_D3(axis));
    for (const CVector3& axis : b.axis) axes.push_back(To_D3(axis));
    for (const CVector3& ai : a.axis)
      for (const CVector3& bj : b.axis) axes.push_back(Cross(To_D3(ai), To_D3(bj)));
    int axis = -1;
    const double gap = Largest_Gap(Corners(a), Corners(b), axes, &axis);
    if (std::fabs(gap) < 1e-4) continue;  // too close to touching to call
    const bool overlap = BoxBoxOverlap(a.center, a.axis[0], a.axis[1], a.axis[2], a.extents, b.center, b.axis[0],
                                       b.axis[1], b.axis[2], b.extents);
    ASSERT_EQ(overlap, gap < 0) << "case " << i << ", gap " << gap;
    overlapping += overlap;
    separated += !overlap;
    by_cross_axis += !overlap && axis >= 6;
  }
  EXPECT_GT(overlapping, 500);
  EXPECT_GT(separated, 500);
  EXPECT_GT(by_cross_axis, 20);
}

std::vector<D3> Box_Triangle_Axes(const Box& b, const std::array<D3, 3>& tri) {
  const D3 edges[3] = {Sub(tri[1], tri[0]), Sub(tri[2], tri[0]), Sub(tri[2], tri[1])};
  std::vector<D3> axes = {Cross(edges[0], edges[1])};
  for (const CVector3& axis : b.axis) axes.push_back(To_D3(axis));
  for (const D3& edge : edges)
    for (const CVector3& axis : b.axis) axes.push_back(Cross(edge, To_D3(axis)));
  return axes;
}

std::array<D3, 3> Random_Triangle(Random_Source& random, float reach) {
  return {To_D3(random.Vector(-reach, reach)), To_D3(random.Vector(-reach, reach)), To_D3(random.Vector(-reach, reach))};
}

CVector3 To_F3(D3 v) { return CVector3{float(v.x), float(v.y), float(v.z)}; }

TEST(GeometryBruteForce, BoxTriangleOverlapAgreesWithCornerProjection) {
  Random_Source random(109);
  int overlapping = 0, separated = 0, by_cross_axis = 0;
  for (int i = 0; i < 4000; ++i) {
    const Box b = Random_Box(random, 3, 0.1f, 2.5f);
    const std::array<D3, 3> tri = Random_Triangle(random, 5);
    int axis = -1;
    const double gap = Largest_Gap(Corners(b), tri, Box_Triangle_Axes(b, tri), &axis);
    if (std::fabs(gap) < 1e-4) continue;
    const bool overlap = BoxTriangleOverlap(To_F3(tri[0]), To_F3(tri[1]), To_F3(tri[2]), b.center, b.axis[0],
                                            b.axis[1], b.axis[2], b.extents);
    ASSERT_EQ(overlap, gap < 0) << "case " << i << ", gap " << gap;
    overlapping += overlap;
    separated += !overlap;
    by_cross_axis += !overlap && axis >= 4;
  }
  EXPECT_GT(overlapping, 500);
  EXPECT_GT(separated, 500);
  EXPECT_GT(by_cross_axis, 20);
}

TEST(GeometryBruteForce, BoxTrianglePenetrationAgreesWithSweptCornerProjection) {
  Random_Source random(110);
  int touching = 0, missing = 0, later = 0;
  for (int i = 0; i < 3000; ++i) {
    const Box b = Random_Box(random, 4, 0.2f, 2);
    const std::array<D3, 3> tri = Random_Triangle(random, 5);
    const CVector3 velocity = random.Vector(-8, 8);
    const std::vector<D3> axes = Box_Triangle_Axes(b, tri);
    // The gap after moving by tau is convex in tau: its first zero is the first contact.
    auto gap = [&](double tau) { return Largest_Gap(Corners(b, Mul(To_D3(velocity), tau)), tri, axes); };
    const double smallest = Minimum(gap, 0, 1, 60);
    const double at_start = gap(0);
    if (std::fabs(smallest) < 1e-3 || std::fabs(at_start) < 1e-3) continue;
    double first = 0;
    if (at_start > 0 && smallest < 0) {
      double lo = 0, hi = 1;
      // Bisect the falling side: the first tau in [0, 1] with gap <= 0.
      const double g1 = gap(1);
      if (g1 > 0) {
        // The minimum lies inside; find it, then bisect before it.
        double a = 0, c = 1;
        for (int k = 0; k < 60; ++k) {
          const double m1 = a + (c - a) / 3, m2 = c - (c - a) / 3;
          if (gap(m1) < gap(m2)) c = m2; else a = m1;
        }
        hi = a;
      }
      for (int k = 0; k < 60; ++k) {
        const double mid = (lo + hi) / 2;
        (gap(mid) <= 0 ? hi : lo) = mid;
      }
      first = hi;
    }
    const bool expected = smallest < 0;
    float t_first = -1, t_last = -1;
    const bool touches = BoxTrianglePenetration(b.center, b.axis[0], b.axis[1], b.axis[2], b.extents, velocity,
                                                To_F3(tri[0]), To_F3(tri[1]), To_F3(tri[2]), &t_first, &t_last);
    ASSERT_EQ(touches, expected) << "case " << i << ", smallest gap " << smallest;
    if (!touches) {
      ++missing;
      continue;
    }
    ++touching;
    later += first > 0;
    ASSERT_NEAR(t_first, first, 1e-4) << "case " << i;
    ASSERT_GE(t_last, t_first) << "case " << i;
    // Still in contact between the two times, apart just after the last.
    ASSERT_LE(gap(std::min<double>(t_last, 1e6) * 0.5 + t_first * 0.5), 1e-4) << "case " << i;
    if (t_last < 1e6) { ASSERT_GT(gap(t_last + 1e-3), 0.0) << "case " << i; }
  }
  EXPECT_GT(touching, 300);
  EXPECT_GT(missing, 300);
  EXPECT_GT(later, 100);
}

}  // namespace
