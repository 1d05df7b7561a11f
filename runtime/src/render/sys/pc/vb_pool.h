#pragma once
// A pool that shares a few large vertex and index buffers among many small pieces of geometry.
// Blocks of one description (vertex flags, software processing, layout) hand out vertex and
// index ranges first-fit, merge freed ranges and compact when the free space has fragmented.
// Each block keeps system copies of all its vertices and indices, so its device buffers can be
// dropped before a device reset and rebuilt after it without the callers.
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "runtime/src/core/console_var.h"
#include "runtime/src/render/sys/pc/vb_controller.h"

struct VBBlock;

// One allocation, owned by its pool; the caller holds a pointer to it as its handle.
struct VBAllocation {
  VBBlock* Block = nullptr;
  uint32_t FirstVertex = 0;
  uint32_t FirstIndex = 0;
  uint32_t VertexCount = 0;
  uint32_t IndexCount = 0;
};

struct VBRange {
  uint32_t Start;
  uint32_t Count;
};

struct VBBlock {
  CVertexBufferController Buffers;  // stream 0 and the index buffer
  std::vector<VBRange> FreeVertices;
  std::vector<VBRange> FreeIndices;
  std::list<VBAllocation> Allocations;
  uint32_t VertexCapacity = 0;
  uint32_t IndexCapacity = 0;
  uint32_t FreeIndexCount = 0;
  uint32_t FreeVertexCount = 0;
  uint8_t ShaderDriven = 0;
  uint8_t Software = 0;
  uint32_t Layout = 0;
  uint32_t DescFlags = 0;
  uint32_t VertexSize = 0;
  std::vector<uint8_t> SystemVertices;
  std::vector<uint16_t> SystemIndices;
};

// A block is compacted before an allocation is tried in it once it has at least this many free
// vertices (or indices) spread over at least this many ranges.
constexpr uint32_t kCompactMinFree = 101;
constexpr size_t kCompactMinRanges = 11;
// The description every block made at initialisation has: position, normal, one texture set.
constexpr uint32_t kPoolInitialDesc = 19;

class CVBPool {
 public:
  // block_count and block_size are read at Init and when a block is made.
  CVBPool(ConsoleInt& block_count, ConsoleInt& block_size) : m_BlockCount(block_count), m_BlockSize(block_size) {}
  CVBPool(const CVBPool&) = delete;
  CVBPool& operator=(const CVBPool&) = delete;

  bool Init();
  // Releases every block: device buffers, system copies, allocations.
  void Term();
  void Free(VBAllocation* allocation);
  // Moves an allocation to a block of the given software flag, with its data; the handle stays.
  // On failure the allocation stays where it was, with its data.
  bool Realloc(VBAllocation* allocation, bool software);
  // Copies vertices (vertex count x vertex size bytes) and indices into the allocation; either
  // may be null. The system copies always take the data; false when a device copy failed.
  bool Write(VBAllocation* allocation, const void* vertices, const uint16_t* indices);
  void FreeForReset();
  bool Restore();

  bool IsInitialised() const { return m_bInitialised; }
  size_t BlockCount() const { return m_Blocks.size(); }
  const VBBlock* GetBlock(size_t index) const { return index < m_Blocks.size() ? m_Blocks[index].get() : nullptr; }

 protected:
  bool AllocWith(uint32_t desc_flags, bool software, uint32_t layout, uint32_t vertex_count, uint32_t index_count,
                 VBAllocation** out);
  // Sends the allocation's part of the system copies to the device buffers.
  bool UploadAllocation(VBBlock& block, const VBAllocation& allocation);
  static uint8_t* SystemVerticesOf(const VBAllocation& allocation);
  static uint16_t* SystemIndicesOf(const VBAllocation& allocation);

 private:
  uint32_t BlockSize() const;
  VBBlock* CreateBlock(uint32_t desc_flags, bool software, uint32_t layout);
  static bool CreateDeviceBuffers(VBBlock& block);
  static bool UploadAll(VBBlock& block);
  // Where a request fits in the block, first fit; false when it does not.
  static bool FindPlace(VBBlock& block, uint32_t vertex_count, uint32_t index_count, uint32_t* first_vertex,
                        uint32_t* first_index);
  static void Carve(std::vector<VBRange>& ranges, uint32_t start, uint32_t count);
  static void GiveBack(std::vector<VBRange>& ranges, uint32_t start, uint32_t count);
  static void TakeRanges(VBBlock& block, uint32_t first_vertex, uint32_t vertex_count, uint32_t first_index,
                         uint32_t index_count);
  static void ReleaseRanges(VBBlock& block, const VBAllocation& allocation);
  static bool NeedsCompaction(const VBBlock& block);
  static void Compact(VBBlock& block);
  VBBlock* FindBlock(uint32_t desc_flags, bool software, uint32_t layout, uint32_t vertex_count,
                     uint32_t index_count, uint32_t* first_vertex, uint32_t* first_index);

  ConsoleInt& m_BlockCount;
  ConsoleInt& m_BlockSize;
  bool m_bInitialised = false;
  std::vector<std::unique_ptr<VBBlock>> m_Blocks;
};
