#include "runtime/src/render/sys/pc/vb_pool.h"

#include <cstring>

#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

namespace {

// Blocks larger than this are refused, so a wild console value cannot ask for gigabytes.
constexpr int32_t kMaxBlockVertices = 1 << 20;

bool ForcedSoftware() {
  return ForceSWVertProcess.Value != 0 || (g_pD3DDevice != nullptr && g_pD3DDevice->IsSoftwareVertexProcessing());
}

}  // namespace

uint32_t CVBPool::BlockSize() const {
  const int32_t size = m_BlockSize.Value;
  return size > 0 && size <= kMaxBlockVertices ? static_cast<uint32_t>(size) : 0;
}

bool CVBPool::Init() {
  Term();
  const bool software = ForcedSoftware();
  for (int32_t i = 0; i < m_BlockCount.Value; ++i) {
    if (CreateBlock(kPoolInitialDesc, software, 0) == nullptr) {
      Term();
      return false;
    }
  }
  m_bInitialised = true;
  return true;
}

void CVBPool::Term() {
  for (auto& block : m_Blocks) block->Buffers.Release();
  m_Blocks.clear();
  m_bInitialised = false;
}

bool CVBPool::CreateDeviceBuffers(VBBlock& block) {
  const bool software = block.Software != 0;
  if (block.Buffers.CreateVertexBuffer(0, block.VertexCapacity, block.DescFlags, block.Layout, false, true, software,
                                       false) &&
      block.Buffers.CreateIndexBuffer(block.IndexCapacity, false, true, software))
    return true;
  block.Buffers.Release();
  return false;
}

VBBlock* CVBPool::CreateBlock(uint32_t desc_flags, bool software, uint32_t layout) {
  const uint32_t capacity = BlockSize();
  uint32_t vertex_size = 0;
  if (capacity == 0 || !CVertexBufferController::DescribeVertex(desc_flags, layout, nullptr, &vertex_size, nullptr) ||
      vertex_size == 0)
    return nullptr;
  auto block = std::make_unique<VBBlock>();
  block->VertexCapacity = capacity;
  block->IndexCapacity = 4 * capacity;
  block->FreeVertexCount = capacity;
  block->FreeIndexCount = block->IndexCapacity;
  block->ShaderDriven = (desc_flags & vb_desc::kShaderExtras) != 0 ? 1 : 0;
  block->Software = software ? 1 : 0;
  block->Layout = layout;
  block->DescFlags = desc_flags;
  block->VertexSize = vertex_size;
  if (!CreateDeviceBuffers(*block)) return nullptr;
  block->FreeVertices.push_back({0, capacity});
  block->FreeIndices.push_back({0, block->IndexCapacity});
  block->SystemVertices.assign(static_cast<size_t>(vertex_size) * capacity, 0);
  block->SystemIndices.assign(block->IndexCapacity, 0);
  m_Blocks.push_back(std::move(block));
  return m_Blocks.back().get();
}

// --- ranges ---

bool CVBPool::FindPlace(VBBlock& block, uint32_t vertex_count, uint32_t index_count, uint32_t* first_vertex,
                        uint32_t* first_index) {
  auto first_fit = [](const std::vector<VBRange>& ranges, uint32_t count, uint32_t* first) {
    if (count == 0) {
      *first = 0;
      return true;
    }
    for (const VBRange& r : ranges)
      if (r.Count >= count) {
        *first = r.Start;
        return true;
      }
    return false;
  };
  return first_fit(block.FreeVertices, vertex_count, first_vertex) &&
         first_fit(block.FreeIndices, index_count, first_index);
}

// Takes count entries from the front of the range that starts at `start`.
void CVBPool::Carve(std::vector<VBRange>& ranges, uint32_t start, uint32_t count) {
  if (count == 0) return;
  for (size_t i = 0; i < ranges.size(); ++i) {
    if (ranges[i].Start != start) continue;
    ranges[i].Start += count;
    ranges[i].Count -= count;
    if (ranges[i].Count == 0) ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(i));
    return;
  }
}

// Appends a freed range and merges it with its neighbours until none touches it.
void CVBPool::GiveBack(std::vector<VBRange>& ranges, uint32_t start, uint32_t count) {
  if (count == 0) return;
  ranges.push_back({start, count});
  size_t at = ranges.size() - 1;
  bool merged = true;
  while (merged) {
    merged = false;
    for (size_t i = 0; i < ranges.size(); ++i) {
      if (i == at) continue;
      VBRange& mine = ranges[at];
      const VBRange other = ranges[i];
      if (other.Start + other.Count == mine.Start) {
        mine.Start = other.Start;
        mine.Count += other.Count;
      } else if (mine.Start + mine.Count == other.Start) {
        mine.Count += other.Count;
      } else {
        continue;
      }
      ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(i));
      if (i < at) --at;
      merged = true;
      break;
    }
  }
}

void CVBPool::TakeRanges(VBBlock& block, uint32_t first_vertex, uint32_t vertex_count, uint32_t first_index,
                         uint32_t index_count) {
  Carve(block.FreeVertices, first_vertex, vertex_count);
  Carve(block.FreeIndices, first_index, index_count);
  block.FreeVertexCount -= vertex_count;
  block.FreeIndexCount -= index_count;
}

void CVBPool::ReleaseRanges(VBBlock& block, const VBAllocation& allocation) {
  GiveBack(block.FreeVertices, allocation.FirstVertex, allocation.VertexCount);
  GiveBack(block.FreeIndices, allocation.FirstIndex, allocation.IndexCount);
  block.FreeVertexCount += allocation.VertexCount;
  block.FreeIndexCount += allocation.IndexCount;
}

// --- compaction ---

bool CVBPool::NeedsCompaction(const VBBlock& block) {
  return (block.FreeVertexCount >= kCompactMinFree && block.FreeVertices.size() >= kCompactMinRanges) ||
         (block.FreeIndexCount >= kCompactMinFree && block.FreeIndices.size() >= kCompactMinRanges);
}

// Packs the live allocations to the front of the block in the order of the allocation list.
// Indices are relative to their allocation's first vertex and move unchanged. When the device
// buffers cannot be locked nothing moves.
void CVBPool::Compact(VBBlock& block) {
  CVertexBufferController& buffers = block.Buffers;
  if (!buffers.Lock(0, false, false, 0, 0)) return;
  if (!buffers.Lock(CVertexBufferController::kIndexBuffer, false, false, 0, 0)) {
    buffers.Unlock(0);
    return;
  }
  std::vector<uint8_t> vertices(block.SystemVertices.size(), 0);
  std::vector<uint16_t> indices(block.SystemIndices.size(), 0);
  uint32_t next_vertex = 0;
  uint32_t next_index = 0;
  for (VBAllocation& a : block.Allocations) {
    const size_t vertex_bytes = static_cast<size_t>(a.VertexCount) * block.VertexSize;
    if (vertex_bytes != 0)
      std::memcpy(vertices.data() + static_cast<size_t>(next_vertex) * block.VertexSize,
                  block.SystemVertices.data() + static_cast<size_t>(a.FirstVertex) * block.VertexSize, vertex_bytes);
    if (a.IndexCount != 0)
      std::memcpy(indices.data() + next_index, block.SystemIndices.data() + a.FirstIndex, a.IndexCount * 2u);
    a.FirstVertex = next_vertex;
    a.FirstIndex = next_index;
    next_vertex += a.VertexCount;
    next_index += a.IndexCount;
  }
  std::memcpy(buffers.LockedData(0), vertices.data(), vertices.size());
  std::memcpy(buffers.LockedData(CVertexBufferController::kIndexBuffer), indices.data(), indices.size() * 2);
  block.SystemVertices.swap(vertices);
  block.SystemIndices.swap(indices);
  buffers.Unlock(0);
  buffers.Unlock(CVertexBufferController::kIndexBuffer);
  block.FreeVertices.clear();
  block.FreeIndices.clear();
  if (next_vertex < block.VertexCapacity) block.FreeVertices.push_back({next_vertex, block.VertexCapacity - next_vertex});
  if (next_index < block.IndexCapacity) block.FreeIndices.push_back({next_index, block.IndexCapacity - next_index});
}

// --- allocation ---

VBBlock* CVBPool::FindBlock(uint32_t desc_flags, bool software, uint32_t layout, uint32_t vertex_count,
                            uint32_t index_count, uint32_t* first_vertex, uint32_t* first_index) {
  for (auto& owned : m_Blocks) {
    VBBlock& block = *owned;
    if (block.DescFlags != desc_flags || (block.Software != 0) != software || block.Layout != layout) continue;
    if (block.FreeVertexCount < vertex_count || block.FreeIndexCount < index_count) continue;
    if (block.Buffers.VertexBuffer(0) == nullptr) continue;  // released for a reset
    if (NeedsCompaction(block)) Compact(block);
    if (FindPlace(block, vertex_count, index_count, first_vertex, first_index)) return &block;
  }
  VBBlock* block = CreateBlock(desc_flags, software, layout);
  if (block == nullptr || !FindPlace(*block, vertex_count, index_count, first_vertex, first_index)) return nullptr;
  return block;
}

bool CVBPool::AllocWith(uint32_t desc_flags, bool software, uint32_t layout, uint32_t vertex_count,
                        uint32_t index_count, VBAllocation** out) {
  if (out == nullptr) return false;
  *out = nullptr;
  const uint64_t size = BlockSize();
  if (size == 0 || vertex_count > size || index_count > 4 * size) return false;
  uint32_t first_vertex = 0;
  uint32_t first_index = 0;
  VBBlock* block = FindBlock(desc_flags, software, layout, vertex_count, index_count, &first_vertex, &first_index);
  if (block == nullptr) return false;
  TakeRanges(*block, first_vertex, vertex_count, first_index, index_count);
  block->Allocations.push_back({block, first_vertex, first_index, vertex_count, index_count});
  *out = &block->Allocations.back();
  return true;
}

void CVBPool::Free(VBAllocation* allocation) {
  if (allocation == nullptr || allocation->Block == nullptr) return;
  VBBlock& block = *allocation->Block;
  for (auto it = block.Allocations.begin(); it != block.Allocations.end(); ++it) {
    if (&*it != allocation) continue;
    ReleaseRanges(block, *it);
    block.Allocations.erase(it);
    return;
  }
}

bool CVBPool::Realloc(VBAllocation* allocation, bool software) {
  if (allocation == nullptr || allocation->Block == nullptr) return false;
  VBBlock& old_block = *allocation->Block;
  const uint8_t* old_vertices = SystemVerticesOf(*allocation);
  const uint16_t* old_indices = SystemIndicesOf(*allocation);
  const std::vector<uint8_t> vertices(old_vertices,
                                      old_vertices + static_cast<size_t>(allocation->VertexCount) * old_block.VertexSize);
  const std::vector<uint16_t> indices(old_indices, old_indices + allocation->IndexCount);
  // The new place is found before the old one is given up, so a failure loses nothing. A
  // compaction on the way may move the allocation inside its old block; the copies above stay.
  uint32_t first_vertex = 0;
  uint32_t first_index = 0;
  VBBlock* target = FindBlock(old_block.DescFlags, software, old_block.Layout, allocation->VertexCount,
                              allocation->IndexCount, &first_vertex, &first_index);
  if (target == nullptr) return false;
  TakeRanges(*target, first_vertex, allocation->VertexCount, first_index, allocation->IndexCount);
  ReleaseRanges(old_block, *allocation);
  for (auto it = old_block.Allocations.begin(); it != old_block.Allocations.end(); ++it) {
    if (&*it != allocation) continue;
    target->Allocations.splice(target->Allocations.end(), old_block.Allocations, it);
    break;
  }
  allocation->Block = target;
  allocation->FirstVertex = first_vertex;
  allocation->FirstIndex = first_index;
  return Write(allocation, vertices.data(), indices.data());
}

uint8_t* CVBPool::SystemVerticesOf(const VBAllocation& allocation) {
  VBBlock& block = *allocation.Block;
  return block.SystemVertices.data() + static_cast<size_t>(allocation.FirstVertex) * block.VertexSize;
}

uint16_t* CVBPool::SystemIndicesOf(const VBAllocation& allocation) {
  return allocation.Block->SystemIndices.data() + allocation.FirstIndex;
}

bool CVBPool::UploadAllocation(VBBlock& block, const VBAllocation& a) {
  CVertexBufferController& buffers = block.Buffers;
  bool ok = true;
  const uint32_t vertex_bytes = a.VertexCount * block.VertexSize;
  if (vertex_bytes != 0) {
    if (buffers.Lock(0, false, true, a.FirstVertex * block.VertexSize, vertex_bytes)) {
      std::memcpy(buffers.LockedData(0), SystemVerticesOf(a), vertex_bytes);
      ok = buffers.Unlock(0) && ok;
    } else {
      ok = false;
    }
  }
  if (a.IndexCount != 0) {
    const int ib = CVertexBufferController::kIndexBuffer;
    if (buffers.Lock(ib, false, true, a.FirstIndex * 2, a.IndexCount * 2)) {
      std::memcpy(buffers.LockedData(ib), SystemIndicesOf(a), a.IndexCount * 2u);
      ok = buffers.Unlock(ib) && ok;
    } else {
      ok = false;
    }
  }
  return ok;
}

bool CVBPool::Write(VBAllocation* allocation, const void* vertices, const uint16_t* indices) {
  if (allocation == nullptr || allocation->Block == nullptr) return false;
  VBBlock& block = *allocation->Block;
  if (vertices != nullptr)
    std::memcpy(SystemVerticesOf(*allocation), vertices, static_cast<size_t>(allocation->VertexCount) * block.VertexSize);
  if (indices != nullptr) std::memcpy(SystemIndicesOf(*allocation), indices, allocation->IndexCount * 2u);
  return UploadAllocation(block, *allocation);
}

// --- device reset ---

void CVBPool::FreeForReset() {
  for (auto& block : m_Blocks) block->Buffers.Release();
}

bool CVBPool::UploadAll(VBBlock& block) {
  CVertexBufferController& buffers = block.Buffers;
  const int ib = CVertexBufferController::kIndexBuffer;
  if (!buffers.Lock(0, false, false, 0, 0)) return false;
  std::memcpy(buffers.LockedData(0), block.SystemVertices.data(), block.SystemVertices.size());
  buffers.Unlock(0);
  if (!buffers.Lock(ib, false, false, 0, 0)) return false;
  std::memcpy(buffers.LockedData(ib), block.SystemIndices.data(), block.SystemIndices.size() * 2);
  buffers.Unlock(ib);
  return true;
}

bool CVBPool::Restore() {
  bool ok = true;
  for (auto& block : m_Blocks) {
    if (block->Buffers.VertexBuffer(0) != nullptr) continue;
    ok = CreateDeviceBuffers(*block) && UploadAll(*block) && ok;
  }
  return ok;
}
