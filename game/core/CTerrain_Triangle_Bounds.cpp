#include "game/core/CTerrain_Triangle_Bounds.h"

#include <algorithm>
#include <cmath>

namespace {

CVector3 Sub(const CVector3& a, const CVector3& b) { return CVector3{a.x - b.x, a.y - b.y, a.z - b.z}; }

// Below this fraction of |e0|^2 |e1|^2 the squared area is lost in float rounding: the
// triangle is taken as its three edges.
constexpr float kFlat_Triangle = 1e-6f;

// Above this fraction of |e0|^2 |e1|^2 the sine of the angle between e0 and e1 passes a tenth,
// and the normal made from them is good to float rounding.
constexpr float kWell_Shaped = 0.01f;

// A direction this short is a point: zero, or too small to divide by.
bool Is_Point(float length_sq) { return !(length_sq >= FLT_MIN); }

}  // namespace

CVector3 CTerrain_Triangle_Bounds::Face_Normal(const CVector3& v0, const CVector3& v1, const CVector3& v2,
                                               const CVector3& normal) {
  CVector3 n;
  Sub(v1, v0).Cross(Sub(v2, v0), n);
  const float length = n.Length();
  if (!(length > 0.0f)) return normal;
  n.Scale_Assign(1.0f / length);
  if (n.Dot(normal) < 0.0f) n.Scale_Assign(-1.0f);
  return n;
}

CTerrain_Triangle_Bound CTerrain_Triangle_Bounds::Bound_Of(const CVector3& v0, const CVector3& v1, const CVector3& v2) {
  CTerrain_Triangle_Bound bound;
  bound.low = {std::min(v0.x, std::min(v1.x, v2.x)), std::min(v0.y, std::min(v1.y, v2.y)),
               std::min(v0.z, std::min(v1.z, v2.z))};
  bound.high = {std::max(v0.x, std::max(v1.x, v2.x)), std::max(v0.y, std::max(v1.y, v2.y)),
                std::max(v0.z, std::max(v1.z, v2.z))};
  return bound;
}

CTerrain_Triangle CTerrain_Triangle_Bounds::Triangle_Of(const CVector3& v0, const CVector3& v1, const CVector3& v2,
                                                        const CVector3& normal) {
  CTerrain_Triangle triangle;
  const CTerrain_Triangle_Bound bound = Bound_Of(v0, v1, v2);
  triangle.face = Face_Normal(v0, v1, v2, normal);
  triangle.size = std::fabs(bound.low.x) + std::fabs(bound.low.y) + std::fabs(bound.low.z) +
                  std::fabs(bound.high.x) + std::fabs(bound.high.y) + std::fabs(bound.high.z);
  triangle.v0 = v0;
  triangle.e0 = Sub(v1, v0);
  triangle.e1 = Sub(v2, v0);
  const CVector3& e0 = triangle.e0;
  const CVector3& e1 = triangle.e1;
  triangle.a = e0.Dot(e0);
  triangle.b = e0.Dot(e1);
  triangle.c = e1.Dot(e1);
  triangle.det = std::fabs(triangle.a * triangle.c - triangle.b * triangle.b);
  triangle.far_edge = triangle.a - 2.0f * triangle.b + triangle.c;
  triangle.e0_point = Is_Point(triangle.a);
  triangle.e1_point = Is_Point(triangle.c);
  triangle.far_edge_point = Is_Point(triangle.far_edge);
  triangle.flat = !(triangle.det > kFlat_Triangle * triangle.a * triangle.c) || triangle.e0_point || triangle.e1_point;
  triangle.well_shaped = !triangle.flat && triangle.det > kWell_Shaped * triangle.a * triangle.c;
  return triangle;
}

void CTerrain_Triangle_Bounds::Build(const CVector3* positions, const CVector3* normals, int vertices_x,
                                     int vertices_z) {
  Clear();
  if (!positions || !normals || vertices_x < 2 || vertices_z < 2) return;
  const int vx = vertices_x;
  m_Bounds.resize(static_cast<size_t>(vx) * static_cast<size_t>(vertices_z) * 2);
  m_Triangles.resize(m_Bounds.size());
  // Cells are those with a vertex to the right and below: the last column and row start none.
  for (int k = 0; k + 1 < vertices_z; ++k) {
    for (int i = 0; i + 1 < vx; ++i) {
      const int at = k * vx + i;
      const CVector3* p = positions;
      const size_t first = static_cast<size_t>(at) * 2;
      m_Bounds[first] = Bound_Of(p[at], p[at + vx], p[at + 1]);
      m_Bounds[first + 1] = Bound_Of(p[at + vx], p[at + vx + 1], p[at + 1]);
      m_Triangles[first] = Triangle_Of(p[at], p[at + vx], p[at + 1], normals[at]);
      m_Triangles[first + 1] = Triangle_Of(p[at + vx], p[at + vx + 1], p[at + 1], normals[at + 1]);
    }
  }
}

void CTerrain_Triangle_Bounds::Clear() {
  m_Bounds.clear();
  m_Triangles.clear();
}
