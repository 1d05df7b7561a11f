#pragma once
// A uniform grid over the world's x-z plane that files each object in every cell its collision
// circle covers, so that radius queries and the body steps look only at nearby objects.
#include <cstdint>
#include <vector>

#include "runtime/src/math/math_types.h"

class CWorld_Object;

class CWorld_Grid {
 public:
  static constexpr int kInitial_Nodes = 1024;
  // Cells are cut to about the size of the world's objects, so that a body's neighbour search
  // looks at a handful of objects, not at a whole terrain tile of them.
  static constexpr float kObject_Cell_Size = 80.0f;
  static constexpr int kMax_Cells = 1 << 20;

  struct Cell_Range {
    int low_column, high_column, low_row, high_row;
  };

  CWorld_Grid() = default;
  CWorld_Grid(const CWorld_Grid&) = delete;
  CWorld_Grid& operator=(const CWorld_Grid&) = delete;
  // Frees the cells without touching any object: at exit the objects may be gone already.
  ~CWorld_Grid();

  // How many cells along each side of a terrain tile of that size: the tile cut into cells of
  // about kObject_Cell_Size, never fewer than one and never more than kMax_Cells in all.
  static int Cells_Per_Tile(float tile_x, float tile_z, int tiles_x, int tiles_z);

  // width x depth cells; scale_x, scale_z are cells per world unit. False on bad sizes.
  bool Create(int width, int depth, float scale_x, float scale_z);
  // Frees the cells; objects still filed lose their in-grid flag.
  void Destroy();
  bool Is_Created() const { return m_Cells != nullptr; }

  bool Insert(CWorld_Object* object, const CVector3& position);
  void Remove(CWorld_Object* object);
  bool Move(CWorld_Object* object, const CVector3& position);

  // The cells that a circle of the radius around (x, z) touches, clamped to the grid.
  Cell_Range Range_Of(float x, float z, float radius) const {
    return {Cell_Index(x - radius, m_Scale_X, m_Width), Cell_Index(x + radius, m_Scale_X, m_Width),
            Cell_Index(z - radius, m_Scale_Z, m_Depth), Cell_Index(z + radius, m_Scale_Z, m_Depth)};
  }
  // True when no object but the given one is filed in any cell of the range.
  bool Holds_Only(const Cell_Range& range, const CWorld_Object* object) const {
    for (int row = range.low_row; row <= range.high_row; ++row)
      for (int column = range.low_column; column <= range.high_column; ++column)
        for (int32_t node = m_Cells[row * m_Width + column]; node >= 0; node = m_Nodes[node].next)
          if (m_Nodes[node].object != object) return false;
    return true;
  }
  // Calls visit(object) for every node of the cell, in chain order.
  template <class Visit>
  void For_Each_In_Cell(int column, int row, Visit visit) const {
    for (int32_t node = m_Cells[row * m_Width + column]; node >= 0; node = m_Nodes[node].next)
      visit(m_Nodes[node].object);
  }

  int Width() const { return m_Width; }
  int Depth() const { return m_Depth; }
  int Node_Capacity() const { return static_cast<int>(m_Nodes.size()); }
  int Free_Node_Count() const { return m_Free_Count; }

 private:
  struct Node {
    CWorld_Object* object;
    int32_t next;            // next in the cell's chain, or in the free list
    int32_t previous;        // previous in the cell's chain, -1 at its head
    int32_t cell;
    int32_t next_of_object;  // the object's next node, so removal never walks a chain
  };

  // Truncates toward zero after raising negative coordinates to 0, clamped to the grid; the
  // clamping happens on the float so that far-off coordinates never overflow the conversion.
  static int Cell_Index(float coordinate, float scale, int count) {
    if (!(coordinate > 0.0f)) return 0;
    const float cell = coordinate * scale;
    if (!(cell < static_cast<float>(count - 1))) return count - 1;
    return static_cast<int>(cell);
  }
  bool Keeps_Its_Cells(CWorld_Object* object, const CVector3& position);
  // Moves the node to the front of its cell's chain.
  void To_Front(int32_t node);
  int32_t Take_Node();
  void Unlink_From_Cell(int32_t node);
  void Give_Back_Node(int32_t node);

  int m_Width = 0;
  int m_Depth = 0;
  float m_Scale_X = 0.0f;
  float m_Scale_Z = 0.0f;
  int32_t* m_Cells = nullptr;  // chain heads, -1 for an empty cell
  // Nodes are addressed by index so that the store can grow without moving any chain.
  std::vector<Node> m_Nodes;
  int32_t m_Free_Head = -1;
  int m_Free_Count = 0;
};
