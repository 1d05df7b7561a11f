#include "game/core/CWorld_Grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "game/core/CWorld_Object.h"
#include "platform/system/memory.h"

CWorld_Grid::~CWorld_Grid() { Counted_Free(m_Cells); }

int CWorld_Grid::Cells_Per_Tile(float tile_x, float tile_z, int tiles_x, int tiles_z) {
  if (!(tile_x > kObject_Cell_Size) || !(tile_z > kObject_Cell_Size) || tiles_x < 1 || tiles_z < 1) return 1;
  const float smaller_side = std::min(tile_x, tile_z);
  int cuts = static_cast<int>(std::min(smaller_side / kObject_Cell_Size, 1024.0f) + 0.5f);
  const int64_t tiles = int64_t{tiles_x} * tiles_z;
  while (cuts > 1 && tiles * cuts * cuts > kMax_Cells) --cuts;
  return std::max(cuts, 1);
}

bool CWorld_Grid::Create(int width, int depth, float scale_x, float scale_z) {
  Destroy();
  if (width < 1 || depth < 1 || !(scale_x > 0.0f) || !(scale_z > 0.0f)) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(depth);
  m_Cells = static_cast<int32_t*>(Counted_Alloc(count * sizeof(int32_t)));
  if (!m_Cells) return false;
  for (size_t i = 0; i < count; ++i) m_Cells[i] = -1;
  m_Width = width;
  m_Depth = depth;
  m_Scale_X = scale_x;
  m_Scale_Z = scale_z;
  m_Nodes.assign(kInitial_Nodes, Node{nullptr, -1, -1, -1, -1});
  for (int32_t i = 0; i < kInitial_Nodes; ++i) m_Nodes[i].next = i + 1 < kInitial_Nodes ? i + 1 : -1;
  m_Free_Head = 0;
  m_Free_Count = kInitial_Nodes;
  return true;
}

void CWorld_Grid::Destroy() {
  if (!m_Cells) return;
  for (int cell = 0; cell < m_Width * m_Depth; ++cell)
    for (int32_t node = m_Cells[cell]; node >= 0; node = m_Nodes[node].next) {
      m_Nodes[node].object->m_State_Flags &= ~kState_In_Grid;
      m_Nodes[node].object->m_Grid_Nodes = -1;
    }
  Counted_Free(m_Cells);
  m_Cells = nullptr;
  m_Width = m_Depth = 0;
  m_Nodes.clear();
  m_Free_Head = -1;
  m_Free_Count = 0;
}

int32_t CWorld_Grid::Take_Node() {
  if (m_Free_Head < 0) {
    // The store grows instead of running dry; indices of existing nodes stay valid.
    m_Nodes.push_back(Node{nullptr, -1, -1, -1, -1});
    m_Free_Head = static_cast<int32_t>(m_Nodes.size() - 1);
    ++m_Free_Count;
  }
  const int32_t node = m_Free_Head;
  m_Free_Head = m_Nodes[node].next;
  --m_Free_Count;
  return node;
}

void CWorld_Grid::Give_Back_Node(int32_t node) {
  m_Nodes[node] = Node{nullptr, m_Free_Head, -1, -1, -1};
  m_Free_Head = node;
  ++m_Free_Count;
}

bool CWorld_Grid::Insert(CWorld_Object* object, const CVector3& position) {
  if (!m_Cells) return false;
  const Cell_Range range = Range_Of(position.x, position.z, object->m_Collision_Radius);
  int32_t object_nodes = -1;
  for (int row = range.low_row; row <= range.high_row; ++row) {
    for (int column = range.low_column; column <= range.high_column; ++column) {
      const int32_t node = Take_Node();
      const int32_t cell = row * m_Width + column;
      const int32_t head = m_Cells[cell];
      m_Nodes[node] = Node{object, head, -1, cell, object_nodes};
      if (head >= 0) m_Nodes[head].previous = node;
      m_Cells[cell] = node;
      object_nodes = node;
    }
  }
  object->m_Grid_Nodes = object_nodes;
  object->m_Position = position;
  object->m_State_Flags |= kState_In_Grid;
  return true;
}

void CWorld_Grid::Unlink_From_Cell(int32_t node) {
  const Node& n = m_Nodes[node];
  if (n.previous >= 0)
    m_Nodes[n.previous].next = n.next;
  else
    m_Cells[n.cell] = n.next;
  if (n.next >= 0) m_Nodes[n.next].previous = n.previous;
}

void CWorld_Grid::Remove(CWorld_Object* object) {
  if (!(object->m_State_Flags & kState_In_Grid)) return;
  object->m_State_Flags &= ~kState_In_Grid;
  int32_t node = object->m_Grid_Nodes;
  object->m_Grid_Nodes = -1;
  if (!m_Cells) return;
  while (node >= 0) {
    const int32_t next = m_Nodes[node].next_of_object;
    Unlink_From_Cell(node);
    Give_Back_Node(node);
    node = next;
  }
}

bool CWorld_Grid::Move(CWorld_Object* object, const CVector3& position) {
  if (Keeps_Its_Cells(object, position)) return true;
  Remove(object);
  return Insert(object, position);
}

// An object whose range at the new position covers the very cells it is filed in keeps its
// nodes: each goes to the front of its cell's chain, where filing the object again would put
// it, and only the position changes. The nodes are checked against the range, not against the
// stored position, so a position written without the grid's knowledge leaves no stale node.
bool CWorld_Grid::Keeps_Its_Cells(CWorld_Object* object, const CVector3& position) {
  const int32_t first = object->m_Grid_Nodes;
  if (!m_Cells || !(object->m_State_Flags & kState_In_Grid) || first < 0) return false;
  const Cell_Range range = Range_Of(position.x, position.z, object->m_Collision_Radius);
  // The object's nodes run from its last cell back to its first, as Insert filed them.
  int32_t node = first;
  for (int row = range.high_row; row >= range.low_row; --row)
    for (int column = range.high_column; column >= range.low_column; --column, node = m_Nodes[node].next_of_object)
      if (node < 0 || m_Nodes[node].cell != row * m_Width + column) return false;
  if (node >= 0) return false;
  for (node = first; node >= 0; node = m_Nodes[node].next_of_object) To_Front(node);
  object->m_Position = position;
  return true;
}

void CWorld_Grid::To_Front(int32_t node) {
  Node& filed = m_Nodes[node];
  if (filed.previous < 0) return;
  Unlink_From_Cell(node);
  filed.previous = -1;
  filed.next = m_Cells[filed.cell];
  if (filed.next >= 0) m_Nodes[filed.next].previous = node;
  m_Cells[filed.cell] = node;
}
