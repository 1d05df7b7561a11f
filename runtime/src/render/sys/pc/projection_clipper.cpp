#include "runtime/src/render/sys/pc/projection_clipper.h"

namespace {

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
  ClipVertex out;
  for (int k = 0; k < 3; ++k) {
    out.Position[k] = a.Position[k] + (b.Position[k] - a.Position[k]) * t;
    out.Normal[k] = a.Normal[k] + (b.Normal[k] - a.Normal[k]) * t;
  }
  for (int k = 0; k < 2; ++k) out.UV[k] = a.UV[k] + (b.UV[k] - a.UV[k]) * t;
  return out;
}

}  // namespace

void CProjectionClipper::SetPlane(uint32_t index, float a, float b, float c, float d) {
  if (index >= kMaxPlanes) return;
  m_Planes[index][0] = a;
  m_Planes[index][1] = b;
  m_Planes[index][2] = c;
  m_Planes[index][3] = d;
}

float CProjectionClipper::Distance(uint32_t plane, const ClipVertex& v) const {
  const float* p = m_Planes[plane];
  return p[0] * v.Position[0] + p[1] * v.Position[1] + p[2] * v.Position[2] + p[3];
}

bool CProjectionClipper::Clip(const ClipTriangle& triangle, uint32_t plane_mask) {
  if (IsFull()) return false;
  ClipFrom(triangle, plane_mask, 0);
  return !IsFull();
}

void CProjectionClipper::ClipFrom(const ClipTriangle& triangle, uint32_t plane_mask, uint32_t first_plane) {
  for (uint32_t plane = first_plane; plane < kMaxPlanes; ++plane) {
    if ((plane_mask & (1u << plane)) == 0) continue;
    float d[3];
    int inside = 0;
    for (int i = 0; i < 3; ++i) {
      d[i] = Distance(plane, triangle.V[i]);
      if (d[i] >= 0.0f) ++inside;
    }
    if (inside == 0) return;
    if (inside == 3) continue;
    // Walk the edges, keeping inside vertices and adding the crossings: 3 or 4 vertices.
    ClipVertex polygon[4];
    int n = 0;
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3;
      if (d[i] >= 0.0f) polygon[n++] = triangle.V[i];
      if ((d[i] >= 0.0f) != (d[j] >= 0.0f)) polygon[n++] = Lerp(triangle.V[i], triangle.V[j], d[i] / (d[i] - d[j]));
    }
    for (int k = 1; k + 1 < n; ++k) {
      const ClipTriangle piece{{polygon[0], polygon[k], polygon[k + 1]}};
      ClipFrom(piece, plane_mask, plane + 1);
    }
    return;
  }
  if (m_Count < kMaxTriangles) m_Out[m_Count++] = triangle;
}
