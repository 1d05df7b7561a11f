#pragma once
// What the contact tests ask of every terrain triangle before the exact distance, kept side by
// side per cell: the triangle's axis-aligned box (its top is the box's top) and its own unit
// normal turned to the side of the surface normal. Reading one record is cheaper than reading
// three vertices rows apart and working these out again at every step.
#include <vector>

#include "runtime/src/math/math_types.h"

struct CTerrain_Triangle_Bound {
  CVector3 low;
  CVector3 high;
  CVector3 face;  // unit normal of the triangle, on the side of the vertex normal it is given
};

class CTerrain_Triangle_Bounds {
 public:
  // Two triangles per cell of the vx x vz vertex field, as the contact walk makes them: for the
  // cell at vertex `at`, (at, at + vx, at + 1) with normal n[at], then (at + vx, at + vx + 1,
  // at + 1) with normal n[at + 1].
  void Build(const CVector3* positions, const CVector3* normals, int vertices_x, int vertices_z);
  void Clear();
  bool Is_Built() const { return !m_Bounds.empty(); }

  // The two triangles of the cell whose first vertex is at; Build must have run.
  const CTerrain_Triangle_Bound* Of_Cell(int at) const { return &m_Bounds[static_cast<size_t>(at) * 2]; }

  // The triangle's own normal turned to the side of `normal`; `normal` itself when the
  // triangle has collapsed.
  static CVector3 Face_Normal(const CVector3& v0, const CVector3& v1, const CVector3& v2, const CVector3& normal);
  static CTerrain_Triangle_Bound Bound_Of(const CVector3& v0, const CVector3& v1, const CVector3& v2,
                                          const CVector3& normal);

 private:
  std::vector<CTerrain_Triangle_Bound> m_Bounds;  // two per vertex of the field, row-major
};
