#include "game/fx/CTerrain_Patch.h"

#include <algorithm>

#include "game/core/CWorld.h"

namespace {

int Bound(float coordinate, float per_unit, int last) {
  const float cell = coordinate * per_unit;
  if (!(cell >= 1.0f)) return 0;
  return cell >= static_cast<float>(last) ? last : std::min(static_cast<int>(cell), last);
}

TexVertex Lifted(const CVector3& p, float lift) { return TexVertex{p.x, p.y + lift, p.z, 0xFFFFFFFFu, 0.0f, 0.0f}; }

}  // namespace

float CTerrain_Patch::Lift(float r) { return std::clamp(r * 0.1f, 1.0f, 3.0f); }

int CTerrain_Patch::Build(float x, float z, float r) {
  m_Triangles = 0;
  const CWorld& w = g_World;
  const int nx = w.m_Terrain.vertices_x, nz = w.m_Terrain.vertices_z;
  if (!w.Has_Terrain() || !w.m_Positions || nx < 2 || nz < 2) return 0;
  const int c0 = Bound(x - r, w.m_Cells_Per_Unit_X, nx - 2), c1 = Bound(x + r, w.m_Cells_Per_Unit_X, nx - 2);
  const int r0 = Bound(z - r, w.m_Cells_Per_Unit_Z, nz - 2), r1 = Bound(z + r, w.m_Cells_Per_Unit_Z, nz - 2);
  const float lift = Lift(r);
  const CVector3* v = w.m_Positions;
  for (int row = r0; row <= r1; ++row) {
    for (int column = c0; column <= c1; ++column) {
      if (m_Triangles + 2 > kMax_Triangles) return m_Triangles;
      const int k = row * nx + column;
      m_Vertices[m_Triangles++] = DrawPrimTexTriangle{{Lifted(v[k], lift), Lifted(v[k + nx], lift), Lifted(v[k + 1], lift)}};
      m_Vertices[m_Triangles++] =
          DrawPrimTexTriangle{{Lifted(v[k + nx], lift), Lifted(v[k + nx + 1], lift), Lifted(v[k + 1], lift)}};
    }
  }
  return m_Triangles;
}
