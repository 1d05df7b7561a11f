#pragma once
// The terrain triangles under a square around a point, lifted a little above the ground, as
// drawn by the shadow and ground projectors. The vertex array has a fixed capacity: a square
// larger than it holds is cut to the cells that fit.
#include <cstdint>

#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CTerrain_Patch {
 public:
  static constexpr int kMax_Cells = 4096;
  static constexpr int kMax_Triangles = kMax_Cells * 2;

  // Fills the patch for the cells under x ± r and z ± r; returns the triangle count.
  int Build(float x, float z, float r);
  int Triangle_Count() const { return m_Triangles; }
  const DrawPrimTexTriangle* Triangles() const { return m_Vertices; }
  // The lift of a patch of that radius: r × 0.1 within 1 .. 3.
  static float Lift(float r);

 private:
  int m_Triangles = 0;
  DrawPrimTexTriangle m_Vertices[kMax_Triangles];
};
