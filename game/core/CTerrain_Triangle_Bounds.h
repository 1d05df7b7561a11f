#pragma once
// What the contact tests ask of every terrain triangle, kept side by side per cell: the
// triangle's axis-aligned box, its own unit normal turned to the side of the surface normal, and
// the edge terms of the point-triangle distance. Reading them is cheaper than reading three
// vertices rows apart and working these out again at every step.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "runtime/src/math/math_types.h"

// The triangle's axis-aligned box: its top is the box's top.
struct CTerrain_Triangle_Bound {
  CVector3 low;
  CVector3 high;
};

// The terms of a triangle's plane and of the point-triangle distance.
struct CTerrain_Triangle {
  CVector3 face;  // unit normal of the triangle, on the side of the vertex normal it is given
  float size = 0.0f;  // the sum of the magnitudes of its box's corners: the scale of its rounding
  CVector3 v0;
  CVector3 e0;  // v1 - v0
  CVector3 e1;  // v2 - v0
  float a = 0.0f, b = 0.0f, c = 0.0f;  // e0.e0, e0.e1, e1.e1
  float det = 0.0f;                    // |a c - b b|
  float far_edge = 0.0f;               // a - 2 b + c: the squared length of v2 - v1
  bool flat = false;                   // too thin to have an inside: only its edges count
  bool e0_point = false, e1_point = false, far_edge_point = false;  // edges too short to divide by
  bool well_shaped = false;  // its edges from v0 far enough from parallel for a sound normal

  // The squared distance from the point to the triangle, with the barycentric coordinates of
  // the nearest point (v0 + s e0 + t e1): the same figure, to the bit, as the general
  // point-triangle distance of the three vertices.
  float Distance_Sq(const CVector3& point, float& s, float& t) const;
  // True when the point lies farther than reach from the triangle's plane, so farther still
  // from the triangle: then Distance_Sq is not below reach squared. Only a well-shaped triangle
  // has a plane to go by. The margin, many times the rounding of either figure at the scale of
  // the coordinates, keeps a point whose exact distance falls just inside the reach from being
  // turned away.
  bool Beyond_Plane(const CVector3& point, float reach) const {
    if (!well_shaped) return false;
    const CVector3 offset{point.x - v0.x, point.y - v0.y, point.z - v0.z};
    const float scale = reach + size + std::fabs(point.x) + std::fabs(point.y) + std::fabs(point.z);
    return std::fabs(offset.Dot(face)) > reach + kPlane_Margin * scale;
  }

  static constexpr float kPlane_Margin = 1.0e-5f;
};

class CTerrain_Triangle_Bounds {
 public:
  // Two triangles per cell of the vx x vz vertex field, as the contact walk makes them: for the
  // cell at vertex `at`, (at, at + vx, at + 1) with normal n[at], then (at + vx, at + vx + 1,
  // at + 1) with normal n[at + 1].
  void Build(const CVector3* positions, const CVector3* normals, int vertices_x, int vertices_z);
  void Clear();
  bool Is_Built() const { return !m_Bounds.empty(); }

  // The boxes and the terms of the two triangles of the cell whose first vertex is at; Build
  // must have run. Boxes are kept apart from terms: every triangle under a body has its box
  // read, few have their terms.
  const CTerrain_Triangle_Bound* Of_Cell(int at) const { return &m_Bounds[static_cast<size_t>(at) * 2]; }
  const CTerrain_Triangle* Triangles_Of_Cell(int at) const { return &m_Triangles[static_cast<size_t>(at) * 2]; }

  // The triangle's own normal turned to the side of `normal`; `normal` itself when the
  // triangle has collapsed.
  static CVector3 Face_Normal(const CVector3& v0, const CVector3& v1, const CVector3& v2, const CVector3& normal);
  static CTerrain_Triangle_Bound Bound_Of(const CVector3& v0, const CVector3& v1, const CVector3& v2);
  static CTerrain_Triangle Triangle_Of(const CVector3& v0, const CVector3& v1, const CVector3& v2,
                                       const CVector3& normal);

 private:
  std::vector<CTerrain_Triangle_Bound> m_Bounds;  // two per vertex of the field, row-major
  std::vector<CTerrain_Triangle> m_Triangles;     // the same, in the same order
};

// The minimiser of |v0 + s e0 + t e1 - point|^2 over the triangle: inside when the free minimum
// lies in it, else on the nearest of the edges beyond which it lies (all three for a flat one).
// Every figure is worked out in the order of the general point-triangle distance, so that the
// kept terms give its very results.
inline float CTerrain_Triangle::Distance_Sq(const CVector3& point, float& s, float& t) const {
  const CVector3 dv{v0.x - point.x, v0.y - point.y, v0.z - point.z};
  const float d = e0.Dot(dv), e = e1.Dot(dv);
  auto distance_at = [&](float ps, float pt) {
    const CVector3 q{v0.x + ps * e0.x, v0.y + ps * e0.y, v0.z + ps * e0.z};
    const CVector3 r{q.x + pt * e1.x, q.y + pt * e1.y, q.z + pt * e1.z};
    const CVector3 diff{point.x - r.x, point.y - r.y, point.z - r.z};
    return diff.Length_Squared();
  };
  auto clamp01 = [](float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); };
  float sn = 0.0f, tn = 0.0f;
  if (!flat) {
    sn = b * e - c * d;
    tn = b * d - a * e;
    if (sn >= 0.0f && tn >= 0.0f && sn + tn <= det) {
      s = sn / det;
      t = tn / det;
      return distance_at(s, t);
    }
  }
  // A later edge wins only when strictly nearer.
  float best = std::numeric_limits<float>::infinity(), best_s = 0.0f, best_t = 0.0f;
  auto offer = [&](float distance, float ps, float pt) {
    if (distance < best) {
      best = distance;
      best_s = ps;
      best_t = pt;
    }
  };
  if (flat || tn < 0.0f) {  // edge v0 -> v1 (t = 0)
    const float ps = e0_point ? 0.0f : clamp01(-d / a);
    offer(distance_at(ps, 0.0f), ps, 0.0f);
  }
  if (flat || sn < 0.0f) {  // edge v0 -> v2 (s = 0)
    const float pt = e1_point ? 0.0f : clamp01(-e / c);
    offer(distance_at(0.0f, pt), 0.0f, pt);
  }
  if (flat || sn + tn > det) {  // edge v1 -> v2 (s + t = 1)
    const float u = far_edge_point ? 0.0f : clamp01((a - b + d - e) / far_edge);
    offer(distance_at(1.0f - u, u), 1.0f - u, u);
  }
  s = best_s;
  t = best_t;
  return best;
}
