#include "game/core/CTerrain_Height_Bound.h"

#include <algorithm>
#include <limits>

void CTerrain_Height_Bound::Build(const CVector3* positions, int vertices_x, int vertices_z) {
  Clear();
  if (!positions || vertices_x < 2 || vertices_z < 2) return;
  const int cells_x = vertices_x - 1, cells_z = vertices_z - 1;
  m_Blocks_X = (cells_x + kBlock_Cells - 1) / kBlock_Cells;
  m_Blocks_Z = (cells_z + kBlock_Cells - 1) / kBlock_Cells;
  m_Highest.assign(static_cast<size_t>(m_Blocks_X) * static_cast<size_t>(m_Blocks_Z),
                   -std::numeric_limits<float>::infinity());
  for (int k = 0; k < vertices_z; ++k) {
    // A vertex on a block's edge belongs to the cells on both sides of it.
    const int row_low = std::max(k - 1, 0) / kBlock_Cells, row_high = std::min(k, cells_z - 1) / kBlock_Cells;
    for (int i = 0; i < vertices_x; ++i) {
      const int column_low = std::max(i - 1, 0) / kBlock_Cells;
      const int column_high = std::min(i, cells_x - 1) / kBlock_Cells;
      const float y = positions[static_cast<size_t>(k) * static_cast<size_t>(vertices_x) + static_cast<size_t>(i)].y;
      for (int row = row_low; row <= row_high; ++row)
        for (int column = column_low; column <= column_high; ++column) {
          float& highest = m_Highest[static_cast<size_t>(row) * static_cast<size_t>(m_Blocks_X) +
                                     static_cast<size_t>(column)];
          highest = std::max(highest, y);
        }
    }
  }
}

void CTerrain_Height_Bound::Clear() {
  m_Highest.clear();
  m_Blocks_X = m_Blocks_Z = 0;
}

float CTerrain_Height_Bound::Highest(int low_column, int high_column, int low_row, int high_row) const {
  if (m_Highest.empty()) return std::numeric_limits<float>::infinity();
  const int column_end = std::min(high_column / kBlock_Cells, m_Blocks_X - 1);
  const int row_end = std::min(high_row / kBlock_Cells, m_Blocks_Z - 1);
  float highest = -std::numeric_limits<float>::infinity();
  for (int row = std::max(low_row, 0) / kBlock_Cells; row <= row_end; ++row)
    for (int column = std::max(low_column, 0) / kBlock_Cells; column <= column_end; ++column)
      highest = std::max(highest, m_Highest[static_cast<size_t>(row) * static_cast<size_t>(m_Blocks_X) +
                                            static_cast<size_t>(column)]);
  return highest;
}
