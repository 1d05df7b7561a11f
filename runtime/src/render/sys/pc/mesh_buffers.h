#pragma once
// The device side of a multi-stream mesh: either its own vertex and index buffers, made from
// the system copies (which stay, for the next device reset), or one block of the shared
// sub-allocator, which then keeps the data (the mesh's copies are freed).
#include <cstdint>

#include "runtime/src/render/sys/pc/vb_controller.h"

class CMeshStreamSet;
struct VBAllocation;

class CMeshBuffers {
 public:
  CMeshBuffers() = default;
  CMeshBuffers(const CMeshBuffers&) = delete;
  CMeshBuffers& operator=(const CMeshBuffers&) = delete;

  // Gives the mesh device buffers. Meshes below the sub-allocation limit with exactly one
  // stream (stream 0) go to the sub-allocator when allowed; all others get their own buffers.
  // A block already held is only moved to the kind of the software flag. False on failure.
  bool Restore(CMeshStreamSet& streams, uint32_t layout, bool* software, bool allow_block);
  // Releases the own buffers; a block stays with the sub-allocator.
  void ReleaseDeviceObjects() { m_Controller.Release(); }
  // Releases everything, the block too (while the sub-allocator runs).
  void Free();

  bool HasBuffers() const;
  bool IsSubAllocated() const { return m_pBlock != nullptr; }
  const VBAllocation* Block() const { return m_pBlock; }
  // Stream-0 fixed-function format of the buffers in use; 0 when there is none.
  DWORD FixedFormat() const;
  void SetStreams() const;
  // Draws the whole triangle list.
  bool DrawAll(uint32_t vertex_count, uint32_t triangle_count) const;
  // Draws part of the list; the start index is relative to the mesh's own indices.
  bool DrawPart(uint32_t min_index, uint32_t start_index, uint32_t vertex_count, uint32_t triangles) const;

 private:
  bool RestoreOwn(const CMeshStreamSet& streams, uint32_t layout, bool software);
  bool RestoreBlock(CMeshStreamSet& streams, uint32_t layout, bool software);
  const CVertexBufferController& InUse() const;

  CVertexBufferController m_Controller;
  VBAllocation* m_pBlock = nullptr;
};
