#pragma once
// The highest terrain vertex over square blocks of terrain cells, so that a body far above the
// ground is known to touch none of the triangles below it without testing any of them.
#include <vector>

#include "runtime/src/math/math_types.h"

class CTerrain_Height_Bound {
 public:
  static constexpr int kBlock_Cells = 8;  // terrain cells along each side of a block

  // Takes the highest vertex of every block of the vx x vz vertex field (a block's cells
  // include the vertices on their far edges).
  void Build(const CVector3* positions, int vertices_x, int vertices_z);
  void Clear();
  bool Is_Built() const { return !m_Highest.empty(); }

  // The height no vertex of the terrain cells [low_column, high_column] x [low_row, high_row]
  // rises above; the cells are indices into the field's cells, already clamped to it.
  float Highest(int low_column, int high_column, int low_row, int high_row) const;

 private:
  int m_Blocks_X = 0;
  int m_Blocks_Z = 0;
  std::vector<float> m_Highest;  // one per block, row-major
};
