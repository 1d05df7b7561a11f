#include "runtime/src/math/geometry.h"

#include <algorithm>
#include <utility>
#include <cfloat>
#include <cmath>
#include <limits>

namespace {

constexpr float kParallel = 0.00001f;
// A triangle whose squared area is below this fraction of |E0|^2 |E1|^2 is treated as the
// segments of its edges: at that size the area is lost in float rounding.
constexpr float kFlatTriangle = 1e-6f;

// A direction this short is a point: zero, or too small to divide by.
bool Is_Point(float length_sq) { return !(length_sq >= FLT_MIN); }

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

CVector3 Point_At(const CVector3& origin, const CVector3& dir, float s) {
  return CVector3{origin.x + s * dir.x, origin.y + s * dir.y, origin.z + s * dir.z};
}

float Distance_Sq(const CVector3& a, const CVector3& b) {
  CVector3 diff;
  return a.Subtract(b, diff).Length_Squared();
}

// Squared distance between P0 + s D0 and P1 + t D1.
float Pair_Distance_Sq(const CVector3& p0, const CVector3& d0, float s, const CVector3& p1, const CVector3& d1,
                       float t) {
  return Distance_Sq(Point_At(p0, d0, s), Point_At(p1, d1, t));
}

// Terms of the quadratic |P0 + s D0 - P1 - t D1|^2 of two directions.
struct PairTerms {
  float a00, a01, a11, b0, b1, c, det;
};

PairTerms Pair_Terms(const CVector3& p0, const CVector3& d0, const CVector3& p1, const CVector3& d1) {
  CVector3 diff;
  p0.Subtract(p1, diff);
  PairTerms q;
  q.a00 = d0.Dot(d0);
  q.a01 = -d0.Dot(d1);
  q.a11 = d1.Dot(d1);
  q.b0 = d0.Dot(diff);
  q.b1 = -d1.Dot(diff);
  q.c = diff.Dot(diff);
  q.det = std::fabs(q.a00 * q.a11 - q.a01 * q.a01);
  return q;
}

void Store(float* out, float value) {
  if (out) *out = value;
}

// The closest parameter on P1 + t D1, 0 <= t <= 1, to the point P0 (t = 0 for a point).
float Closest_On_Segment(const PairTerms& q) { return Is_Point(q.a11) ? 0.0f : Clamp01(-q.b1 / q.a11); }

// Keeps the smallest of a run of candidates; a later one wins only when strictly smaller.
struct Best {
  float dist = std::numeric_limits<float>::infinity();
  float p0 = 0.0f, p1 = 0.0f, p2 = 0.0f;
  void Offer(float d, float a, float b, float c = 0.0f) {
    if (d < dist) {
      dist = d;
      p0 = a;
      p1 = b;
      p2 = c;
    }
  }
};

// Segments whose directions are parallel: the answer comes from the end points.
void Parallel_Segments(const PairTerms& q, float& s, float& t) {
  if (q.a01 > 0.0f) {
    if (q.b0 >= 0.0f) {
      s = 0.0f;
      t = 0.0f;
    } else if (-q.b0 <= q.a00) {
      s = -q.b0 / q.a00;
      t = 0.0f;
    } else if (q.a01 <= -(q.a00 + q.b0)) {
      s = 1.0f;
      t = 1.0f;
    } else {
      s = 1.0f;
      t = -(q.a00 + q.b0) / q.a01;
    }
  } else {
    if (-q.b0 >= q.a00) {
      s = 1.0f;
      t = 0.0f;
    } else if (q.b0 <= 0.0f) {
      s = -q.b0 / q.a00;
      t = 0.0f;
    } else if (q.b0 >= -q.a01) {
      s = 0.0f;
      t = 1.0f;
    } else {
      s = 0.0f;
      t = -q.b0 / q.a01;
    }
  }
}

// Non-parallel segments: interior minimum, or the minimum over the edges of the unit square
// of (s, t) that the unconstrained minimum lies beyond.
void Crossing_Segments(const PairTerms& q, const CVector3& p0, const CVector3& d0, const CVector3& p1,
                       const CVector3& d1, float& s, float& t) {
  const float sn = q.a01 * q.b1 - q.a11 * q.b0;
  const float tn = q.a01 * q.b0 - q.a00 * q.b1;
  if (sn >= 0.0f && sn <= q.det && tn >= 0.0f && tn <= q.det) {
    s = sn / q.det;
    t = tn / q.det;
    return;
  }
  Best best;
  auto edge_fixed_s = [&](float fixed) {
    const float free_t = Clamp01(-(q.a01 * fixed + q.b1) / q.a11);
    best.Offer(Pair_Distance_Sq(p0, d0, fixed, p1, d1, free_t), fixed, free_t);
  };
  auto edge_fixed_t = [&](float fixed) {
    const float free_s = Clamp01(-(q.a01 * fixed + q.b0) / q.a00);
    best.Offer(Pair_Distance_Sq(p0, d0, free_s, p1, d1, fixed), free_s, fixed);
  };
  if (sn < 0.0f) edge_fixed_s(0.0f);
  if (sn > q.det) edge_fixed_s(1.0f);
  if (tn < 0.0f) edge_fixed_t(0.0f);
  if (tn > q.det) edge_fixed_t(1.0f);
  s = best.p0;
  t = best.p1;
}

// Box in the frame of its own axes.
struct BoxFrame {
  double p[3];  // the point (or line origin) in box coordinates
  double d[3];  // the direction in box coordinates
  double e[3];  // half extents
};

BoxFrame To_Box_Frame(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
                      const CVector3& axis1, const CVector3& axis2, const CVector3& extents) {
  CVector3 diff;
  p.Subtract(center, diff);
  const CVector3* axes[3] = {&axis0, &axis1, &axis2};
  BoxFrame f;
  for (int i = 0; i < 3; ++i) {
    f.p[i] = diff.Dot(*axes[i]);
    f.d[i] = d.Dot(*axes[i]);
  }
  f.e[0] = extents.x;
  f.e[1] = extents.y;
  f.e[2] = extents.z;
  return f;
}

// Squared distance from box coordinates c to the box, and the clamped coordinates.
double Clamp_To_Box(const double c[3], const double e[3], double x[3]) {
  double dist = 0.0;
  for (int i = 0; i < 3; ++i) {
    if (c[i] < -e[i]) {
      dist += (c[i] + e[i]) * (c[i] + e[i]);
      x[i] = -e[i];
    } else if (c[i] > e[i]) {
      dist += (c[i] - e[i]) * (c[i] - e[i]);
      x[i] = e[i];
    } else {
      x[i] = c[i];
    }
  }
  return dist;
}

// The line parameter of the closest point, for a direction with no negative component.
// The squared distance along the line is convex and piecewise quadratic; its pieces end where
// the line enters or leaves the slab of an axis it moves along. Walking the pieces in order,
// the first whose own minimum lies before its end holds the minimum. A piece on which the line
// is outside no slab it moves along is flat and holds the minimum too; the last of a run of
// such pieces ends where the line leaves the first slab it leaves, the point reported when many
// points are equally close.
double Line_Box_Parameter(const BoxFrame& f) {
  double breaks[6];
  int count = 0;
  for (int i = 0; i < 3; ++i) {
    if (f.d[i] > 0.0) {
      breaks[count++] = (-f.e[i] - f.p[i]) / f.d[i];
      breaks[count++] = (f.e[i] - f.p[i]) / f.d[i];
    }
  }
  if (count == 0) return 0.0;  // the line is a point
  for (int i = 1; i < count; ++i)  // at most six: insertion sort
    for (int j = i; j > 0 && breaks[j] < breaks[j - 1]; --j) std::swap(breaks[j], breaks[j - 1]);

  const double inf = std::numeric_limits<double>::infinity();
  bool flat = false;
  for (int k = 0; k <= count; ++k) {
    const double lo = k == 0 ? -inf : breaks[k - 1];
    const double hi = k == count ? inf : breaks[k];
    if (!(lo < hi)) continue;
    // On this piece the value is a t^2 + 2 b t + const over the slabs the line is outside.
    double a = 0.0, b = 0.0;
    for (int i = 0; i < 3; ++i) {
      if (!(f.d[i] > 0.0)) continue;
      if (hi <= (-f.e[i] - f.p[i]) / f.d[i]) {  // below the slab all along the piece
        a += f.d[i] * f.d[i];
        b += f.d[i] * (f.p[i] + f.e[i]);
      } else if (lo >= (f.e[i] - f.p[i]) / f.d[i]) {  // above it
        a += f.d[i] * f.d[i];
        b += f.d[i] * (f.p[i] - f.e[i]);
      }
    }
    if (a == 0.0) {
      flat = true;
      continue;
    }
    if (flat) return lo;  // the end of the flat run
    const double t = -b / a;
    if (t < hi) return std::max(t, lo);
  }
  return 0.0;  // not reached: the last piece is unbounded and never flat
}

float Line_Box(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
               const CVector3& axis1, const CVector3& axis2, const CVector3& extents, float& t, double x[3]) {
  BoxFrame f = To_Box_Frame(p, d, center, axis0, axis1, axis2, extents);
  // Reflect so that the direction has no negative component.
  bool reflected[3];
  for (int i = 0; i < 3; ++i) {
    reflected[i] = f.d[i] < 0.0;
    if (reflected[i]) {
      f.p[i] = -f.p[i];
      f.d[i] = -f.d[i];
    }
  }
  const double line_t = Line_Box_Parameter(f);
  double c[3];
  for (int i = 0; i < 3; ++i) c[i] = f.p[i] + line_t * f.d[i];
  const double dist = Clamp_To_Box(c, f.e, x);
  for (int i = 0; i < 3; ++i)
    if (reflected[i]) x[i] = -x[i];
  t = static_cast<float>(line_t);
  return static_cast<float>(dist);
}

void Store_Box_Coords(const double x[3], float* x0, float* x1, float* x2) {
  Store(x0, static_cast<float>(x[0]));
  Store(x1, static_cast<float>(x[1]));
  Store(x2, static_cast<float>(x[2]));
}

// Interval of a shape projected on an axis.
struct Interval {
  float lo, hi;
};

Interval Project_Box(const CVector3& center, const CVector3* const axes[3], const CVector3& extents,
                     const CVector3& axis) {
  const float c = center.Dot(axis);
  const float r = extents.x * std::fabs(axes[0]->Dot(axis)) + extents.y * std::fabs(axes[1]->Dot(axis)) +
                  extents.z * std::fabs(axes[2]->Dot(axis));
  return {c - r, c + r};
}

Interval Project_Triangle(const CVector3& v0, const CVector3& v1, const CVector3& v2, const CVector3& axis) {
  const float p0 = v0.Dot(axis), p1 = v1.Dot(axis), p2 = v2.Dot(axis);
  return {std::min({p0, p1, p2}), std::max({p0, p1, p2})};
}

// Runs `test`(triangle interval, box interval, axis) on the 13 separating axes of a box and a
// triangle: the triangle's normal, the box axes, then each edge crossed with each box axis.
// Stops and returns false as soon as `test` does.
template <class Test>
bool For_Each_Box_Triangle_Axis(const CVector3& v0, const CVector3& v1, const CVector3& v2, const CVector3& center,
                                const CVector3& axis0, const CVector3& axis1, const CVector3& axis2,
                                const CVector3& extents, Test&& test) {
  const CVector3* axes[3] = {&axis0, &axis1, &axis2};
  CVector3 edges[3], normal, axis;
  v1.Subtract(v0, edges[0]);
  v2.Subtract(v0, edges[1]);
  v2.Subtract(v1, edges[2]);
  edges[0].Cross(edges[1], normal);
  const float plane = normal.Dot(v0);
  if (!test(Interval{plane, plane}, Project_Box(center, axes, extents, normal), normal)) return false;
  for (const CVector3* a : axes)
    if (!test(Project_Triangle(v0, v1, v2, *a), Project_Box(center, axes, extents, *a), *a)) return false;
  for (const CVector3& edge : edges) {
    for (const CVector3* a : axes) {
      edge.Cross(*a, axis);
      if (!test(Project_Triangle(v0, v1, v2, axis), Project_Box(center, axes, extents, axis), axis)) return false;
    }
  }
  return true;
}

}  // namespace

float LineRayDistanceSq(const CVector3& line_origin, const CVector3& line_dir, const CVector3& ray_origin,
                        const CVector3& ray_dir, float* s, float* t) {
  const PairTerms q = Pair_Terms(line_origin, line_dir, ray_origin, ray_dir);
  float ls = 0.0f, rt = 0.0f;
  if (Is_Point(q.a00)) {
    rt = Is_Point(q.a11) ? 0.0f : std::max(0.0f, -q.b1 / q.a11);  // a point against the ray
  } else {
    const float tn = q.a01 * q.b0 - q.a00 * q.b1;
    if (q.det >= kParallel && tn >= 0.0f) {
      rt = tn / q.det;
      ls = (q.a01 * q.b1 - q.a11 * q.b0) / q.det;
    } else {
      // Parallel, or the line's closest point lies behind the ray's origin.
      ls = -q.b0 / q.a00;
    }
  }
  Store(s, ls);
  Store(t, rt);
  return Pair_Distance_Sq(line_origin, line_dir, ls, ray_origin, ray_dir, rt);
}

float PointLineDistanceSq(const CVector3& point, const CVector3& origin, const CVector3& dir, float* t) {
  CVector3 diff;
  point.Subtract(origin, diff);
  const float length_sq = dir.Dot(dir);
  const float lt = Is_Point(length_sq) ? 0.0f : diff.Dot(dir) / length_sq;
  Store(t, lt);
  return Distance_Sq(point, Point_At(origin, dir, lt));
}

float SegmentSegmentDistanceSq(const CVector3& p0, const CVector3& d0, const CVector3& p1, const CVector3& d1,
                               float* s, float* t) {
  const PairTerms q = Pair_Terms(p0, d0, p1, d1);
  float ss = 0.0f, tt = 0.0f;
  if (Is_Point(q.a00))
    tt = Closest_On_Segment(q);
  else if (q.det >= kParallel)
    Crossing_Segments(q, p0, d0, p1, d1, ss, tt);
  else
    Parallel_Segments(q, ss, tt);
  Store(s, ss);
  Store(t, tt);
  return Pair_Distance_Sq(p0, d0, ss, p1, d1, tt);
}

float PointTriangleDistanceSq(const CVector3& point, const CVector3& v0, const CVector3& v1, const CVector3& v2,
                              float* s, float* t) {
  CVector3 e0, e1, dv;
  v1.Subtract(v0, e0);
  v2.Subtract(v0, e1);
  v0.Subtract(point, dv);
  const float a = e0.Dot(e0), b = e0.Dot(e1), c = e1.Dot(e1), d = e0.Dot(dv), e = e1.Dot(dv);
  const float det = std::fabs(a * c - b * b);
  auto distance_at = [&](float ps, float pt) {
    CVector3 q = Point_At(v0, e0, ps);
    return Distance_Sq(point, Point_At(q, e1, pt));
  };

  float sn = 0.0f, tn = 0.0f;
  const bool flat = !(det > kFlatTriangle * a * c) || Is_Point(a) || Is_Point(c);
  if (!flat) {
    sn = b * e - c * d;
    tn = b * d - a * e;
    if (sn >= 0.0f && tn >= 0.0f && sn + tn <= det) {
      Store(s, sn / det);
      Store(t, tn / det);
      return distance_at(sn / det, tn / det);
    }
  }
  // The closest point lies on an edge whose side the unconstrained minimum is beyond; a flat
  // triangle is its three edges.
  Best best;
  if (flat || tn < 0.0f) {  // edge V0 -> V1 (t = 0)
    const float ps = Is_Point(a) ? 0.0f : Clamp01(-d / a);
    best.Offer(distance_at(ps, 0.0f), ps, 0.0f);
  }
  if (flat || sn < 0.0f) {  // edge V0 -> V2 (s = 0)
    const float pt = Is_Point(c) ? 0.0f : Clamp01(-e / c);
    best.Offer(distance_at(0.0f, pt), 0.0f, pt);
  }
  if (flat || sn + tn > det) {  // edge V1 -> V2 (s + t = 1)
    const float len = a - 2.0f * b + c;
    const float u = Is_Point(len) ? 0.0f : Clamp01((a - b + d - e) / len);
    best.Offer(distance_at(1.0f - u, u), 1.0f - u, u);
  }
  Store(s, best.p0);
  Store(t, best.p1);
  return best.dist;
}

float SegmentTriangleDistanceSq(const CVector3& p, const CVector3& d, const CVector3& v0, const CVector3& v1,
                                const CVector3& v2, float* r, float* s, float* t) {
  CVector3 e0, e1, e2, normal, w, cross;
  v1.Subtract(v0, e0);
  v2.Subtract(v0, e1);
  v2.Subtract(v1, e2);
  e0.Cross(e1, normal);
  v0.Subtract(p, w);
  // The 3x3 system of the minimiser of |P + r D - V0 - s E0 - t E1|^2 has determinant
  // (D . N)^2 with N = E0 x E1.
  const float dn = d.Dot(normal);
  const float det = dn * dn;
  const bool flat = !(normal.Length_Squared() > kFlatTriangle * e0.Length_Squared() * e1.Length_Squared());

  // Candidates in order: the three edges, then the segment's two ends.
  bool use[5] = {true, true, true, true, true};
  if (!flat && det >= kParallel) {
    const float rr = w.Dot(normal) / dn;
    const float ss = -d.Dot(w.Cross(e1, cross)) / dn;
    const float tt = -d.Dot(e0.Cross(w, cross)) / dn;
    if (rr >= 0.0f && rr <= 1.0f && ss >= 0.0f && tt >= 0.0f && ss + tt <= 1.0f) {
      Store(r, rr);
      Store(s, ss);
      Store(t, tt);
      return 0.0f;
    }
    use[0] = tt < 0.0f;
    use[1] = ss < 0.0f;
    use[2] = ss + tt > 1.0f;
    use[3] = rr < 0.0f;
    use[4] = rr > 1.0f;
  }

  Best best;
  float seg_r, edge_u, ps, pt;
  if (use[0]) {
    const float dist = SegmentSegmentDistanceSq(p, d, v0, e0, &seg_r, &edge_u);
    best.Offer(dist, seg_r, edge_u, 0.0f);
  }
  if (use[1]) {
    const float dist = SegmentSegmentDistanceSq(p, d, v0, e1, &seg_r, &edge_u);
    best.Offer(dist, seg_r, 0.0f, edge_u);
  }
  if (use[2]) {
    const float dist = SegmentSegmentDistanceSq(p, d, v1, e2, &seg_r, &edge_u);
    best.Offer(dist, seg_r, 1.0f - edge_u, edge_u);
  }
  if (use[3]) {
    const float dist = PointTriangleDistanceSq(p, v0, v1, v2, &ps, &pt);
    best.Offer(dist, 0.0f, ps, pt);
  }
  if (use[4]) {
    const float dist = PointTriangleDistanceSq(Point_At(p, d, 1.0f), v0, v1, v2, &ps, &pt);
    best.Offer(dist, 1.0f, ps, pt);
  }
  Store(r, best.p0);
  Store(s, best.p1);
  Store(t, best.p2);
  return best.dist;
}

float PointBoxDistanceSq(const CVector3& point, const CVector3& center, const CVector3& axis0,
                         const CVector3& axis1, const CVector3& axis2, const CVector3& extents, float* x0, float* x1,
                         float* x2) {
  const BoxFrame f = To_Box_Frame(point, CVector3::Zero, center, axis0, axis1, axis2, extents);
  double x[3];
  const double dist = Clamp_To_Box(f.p, f.e, x);
  Store_Box_Coords(x, x0, x1, x2);
  return static_cast<float>(dist);
}

float LineBoxDistanceSq(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
                        const CVector3& axis1, const CVector3& axis2, const CVector3& extents, float* t, float* x0,
                        float* x1, float* x2) {
  double x[3];
  float lt;
  const float dist = Line_Box(p, d, center, axis0, axis1, axis2, extents, lt, x);
  Store(t, lt);
  Store_Box_Coords(x, x0, x1, x2);
  return dist;
}

float SegmentBoxDistanceSq(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
                           const CVector3& axis1, const CVector3& axis2, const CVector3& extents, float* t, float* x0,
                           float* x1, float* x2) {
  double x[3];
  float lt;
  const float dist = Line_Box(p, d, center, axis0, axis1, axis2, extents, lt, x);
  if (lt >= 0.0f && lt <= 1.0f) {
    Store(t, lt);
    Store_Box_Coords(x, x0, x1, x2);
    return dist;
  }
  const float end = lt < 0.0f ? 0.0f : 1.0f;
  Store(t, end);
  return PointBoxDistanceSq(Point_At(p, d, end), center, axis0, axis1, axis2, extents, x0, x1, x2);
}

bool BoxBoxOverlap(const CVector3& center0, const CVector3& a0, const CVector3& a1, const CVector3& a2,
                   const CVector3& extents0, const CVector3& center1, const CVector3& b0, const CVector3& b1,
                   const CVector3& b2, const CVector3& extents1) {
  const CVector3* A[3] = {&a0, &a1, &a2};
  const CVector3* B[3] = {&b0, &b1, &b2};
  const float a[3] = {extents0.x, extents0.y, extents0.z};
  const float b[3] = {extents1.x, extents1.y, extents1.z};
  CVector3 T;
  center1.Subtract(center0, T);
  float c[3][3], abs_c[3][3], ta[3];
  for (int i = 0; i < 3; ++i) {
    ta[i] = T.Dot(*A[i]);
    for (int j = 0; j < 3; ++j) {
      c[i][j] = A[i]->Dot(*B[j]);
      abs_c[i][j] = std::fabs(c[i][j]);
    }
  }
  // Separated at the first axis whose radius sum is strictly below the projected distance.
  for (int i = 0; i < 3; ++i) {
    const float rb = b[0] * abs_c[i][0] + b[1] * abs_c[i][1] + b[2] * abs_c[i][2];
    if (a[i] + rb < std::fabs(ta[i])) return false;
  }
  for (int j = 0; j < 3; ++j) {
    const float ra = a[0] * abs_c[0][j] + a[1] * abs_c[1][j] + a[2] * abs_c[2][j];
    if (ra + b[j] < std::fabs(T.Dot(*B[j]))) return false;
  }
  for (int i = 0; i < 3; ++i) {
    const int i1 = (i + 1) % 3, i2 = (i + 2) % 3;
    for (int j = 0; j < 3; ++j) {
      const int j1 = (j + 1) % 3, j2 = (j + 2) % 3;
      const float ra = a[i1] * abs_c[i2][j] + a[i2] * abs_c[i1][j];
      const float rb = b[j1] * abs_c[i][j2] + b[j2] * abs_c[i][j1];
      const float dist = std::fabs(c[i1][j] * ta[i2] - c[i2][j] * ta[i1]);
      if (ra + rb < dist) return false;
    }
  }
  return true;
}

bool BoxTriangleOverlap(const CVector3& v0, const CVector3& v1, const CVector3& v2, const CVector3& center,
                        const CVector3& axis0, const CVector3& axis1, const CVector3& axis2,
                        const CVector3& extents) {
  return For_Each_Box_Triangle_Axis(v0, v1, v2, center, axis0, axis1, axis2, extents,
                                    [](Interval tri, Interval box, const CVector3&) {
                                      return !(box.hi < tri.lo || tri.hi < box.lo);
                                    });
}

bool BoxTrianglePenetration(const CVector3& center, const CVector3& axis0, const CVector3& axis1,
                            const CVector3& axis2, const CVector3& extents, const CVector3& velocity,
                            const CVector3& v0, const CVector3& v1, const CVector3& v2, float* t_first,
                            float* t_last) {
  const float t_max = 1.0f;
  float first = 0.0f, last = 10000000.0f;
  auto test = [&](Interval u, Interval v, const CVector3& axis) {
    const float speed = velocity.Dot(axis);
    if (v.hi < u.lo) {  // box below the triangle
      if (speed <= 0.0f) return false;
      first = std::max(first, (u.lo - v.hi) / speed);
      if (first > t_max) return false;
      last = std::min(last, (u.hi - v.lo) / speed);
    } else if (u.hi < v.lo) {  // box above the triangle
      if (speed >= 0.0f) return false;
      first = std::max(first, (u.hi - v.lo) / speed);
      if (first > t_max) return false;
      last = std::min(last, (u.lo - v.hi) / speed);
    } else if (speed > 0.0f) {
      last = std::min(last, (u.hi - v.lo) / speed);
    } else if (speed < 0.0f) {
      last = std::min(last, (u.lo - v.hi) / speed);
    }
    return !(first > last);
  };
  if (!For_Each_Box_Triangle_Axis(v0, v1, v2, center, axis0, axis1, axis2, extents, test)) return false;
  Store(t_first, first);
  Store(t_last, last);
  return true;
}

bool SegmentSphereIntersect(const CVector3& p, const CVector3& d, const CVector3& center, float radius, int* count,
                            CVector3* point0, CVector3* point1) {
  CVector3 diff;
  p.Subtract(center, diff);
  const float a = d.Dot(d);
  const float b = d.Dot(diff);
  const float c = diff.Dot(diff) - radius * radius;
  const float disc = b * b - a * c;
  int found = 0;
  float t0 = 0.0f, t1 = 0.0f;
  if (Is_Point(a) || disc < 0.0f) {
    // A point crosses nothing; a line that misses the sphere neither.
  } else if (disc == 0.0f) {
    t0 = -b / a;
    if (t0 >= 0.0f && t0 <= 1.0f) found = 1;
  } else {
    const float root = std::sqrt(disc);
    t0 = (-b - root) / a;
    t1 = (-b + root) / a;
    if (t0 > 1.0f || t1 < 0.0f) {
      found = 0;
    } else if (t0 >= 0.0f) {
      found = t1 > 1.0f ? 1 : 2;
    } else {
      found = 1;
      t0 = t1;  // starts inside: the exit point of the line
    }
  }
  if (count) *count = found;
  if (found >= 1 && point0) *point0 = Point_At(p, d, t0);
  if (found == 2 && point1) *point1 = Point_At(p, d, t1);
  return found != 0;
}

bool SegmentBoxIntersect(const CVector3& p, const CVector3& d, const CVector3& center, const CVector3& axis0,
                         const CVector3& axis1, const CVector3& axis2, const CVector3& extents, int* count,
                         CVector3* point0, CVector3* point1) {
  const CVector3 zero = CVector3::Zero;
  BoxFrame f = To_Box_Frame(p, zero, center, axis0, axis1, axis2, extents);
  const float o[3] = {static_cast<float>(f.p[0]), static_cast<float>(f.p[1]), static_cast<float>(f.p[2])};
  const float dir[3] = {d.Dot(axis0), d.Dot(axis1), d.Dot(axis2)};
  const float e[3] = {extents.x, extents.y, extents.z};
  float t0 = 0.0f, t1 = 1.0f;
  // One slab plane: false rejects the segment.
  auto clip = [&](float denom, float numer) {
    if (denom > 0.0f) {
      if (numer > denom * t1) return false;
      if (numer > denom * t0) t0 = numer / denom;
      return true;
    }
    if (denom < 0.0f) {
      if (numer > denom * t0) return false;
      if (numer > denom * t1) t1 = numer / denom;
      return true;
    }
    return numer <= 0.0f;
  };
  bool inside = true;
  for (int i = 0; i < 3 && inside; ++i) inside = clip(dir[i], -o[i] - e[i]) && clip(-dir[i], o[i] - e[i]);
  int found = 0;
  float first = t0, second = t1;
  if (inside && (t0 != 0.0f || t1 != 1.0f)) {
    if (t0 > 0.0f) {
      found = t1 < 1.0f ? 2 : 1;
    } else {
      found = 1;
      first = t1;  // starts inside: the exit point
    }
  }
  if (count) *count = found;
  if (found >= 1 && point0) *point0 = Point_At(p, d, first);
  if (found == 2 && point1) *point1 = Point_At(p, d, second);
  return found != 0;
}
