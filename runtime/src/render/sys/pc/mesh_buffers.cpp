#include "runtime/src/render/sys/pc/mesh_buffers.h"

#include <cstring>

#include "runtime/src/render/sys/pc/mesh_stream_set.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/vb_suballocator.h"

namespace {

bool CopyInto(CVertexBufferController& buffers, int which, const void* data, size_t bytes) {
  if (bytes == 0) return true;
  if (!buffers.Lock(which, false, false, 0, static_cast<uint32_t>(bytes))) return false;
  std::memcpy(buffers.LockedData(which), data, bytes);
  return buffers.Unlock(which);
}

bool FitsBlock(const CMeshStreamSet& streams) {
  const int64_t limit = Model_UseSubAlloc_Limit.Value;
  return static_cast<int64_t>(streams.VertexCount()) < limit && streams.PresentStreamCount() == 1 &&
         streams.Format(0) != 0;
}

}  // namespace

bool CMeshBuffers::Restore(CMeshStreamSet& streams, uint32_t layout, bool* software, bool allow_block) {
  if (m_pBlock != nullptr) {
    if ((m_pBlock->Block->Software != 0) == *software) return true;
    return g_VBSubAllocator.Realloc(m_pBlock, *software);
  }
  if (ForceSWVertProcess.Value != 0) *software = true;
  if (streams.VertexCount() == 0 || streams.TriangleCount() == 0) return false;
  if (allow_block && FitsBlock(streams)) return RestoreBlock(streams, layout, *software);
  return RestoreOwn(streams, layout, *software);
}

bool CMeshBuffers::RestoreOwn(const CMeshStreamSet& streams, uint32_t layout, bool software) {
  const uint32_t count = streams.VertexCount();
  for (int s = 0; s < CMeshStreamSet::kStreamCount; ++s) {
    if (streams.Format(s) == 0) continue;
    if (!m_Controller.CreateVertexBuffer(s, count, streams.Format(s), layout, false, true, software, false))
      return false;
    if (!CopyInto(m_Controller, s, streams.Vertices(s).data(), streams.Vertices(s).size())) return false;
  }
  const std::vector<uint16_t>& indices = streams.Indices();
  if (!m_Controller.CreateIndexBuffer(static_cast<uint32_t>(indices.size()), false, true, software)) return false;
  return CopyInto(m_Controller, CVertexBufferController::kIndexBuffer, indices.data(), indices.size() * 2);
}

bool CMeshBuffers::RestoreBlock(CMeshStreamSet& streams, uint32_t layout, bool software) {
  VBAllocation* block = nullptr;
  const uint32_t index_count = static_cast<uint32_t>(streams.Indices().size());
  if (!g_VBSubAllocator.Alloc(streams.Format(0), software, layout, streams.VertexCount(), index_count, &block))
    return false;
  m_pBlock = block;
  if (!g_VBSubAllocator.Write(block, streams.Vertices(0).data(), streams.Indices().data())) return false;
  // The block's system copies hold the data from now on.
  streams.FreeCopies();
  return true;
}

void CMeshBuffers::Free() {
  m_Controller.Release();
  if (m_pBlock != nullptr && g_VBSubAllocator.IsInitialised()) g_VBSubAllocator.Free(m_pBlock);
  m_pBlock = nullptr;
}

const CVertexBufferController& CMeshBuffers::InUse() const {
  return m_pBlock != nullptr ? m_pBlock->Block->Buffers : m_Controller;
}

bool CMeshBuffers::HasBuffers() const { return InUse().IndexBuffer() != nullptr; }

DWORD CMeshBuffers::FixedFormat() const { return InUse().Fvf(0); }

void CMeshBuffers::SetStreams() const {
  // The controller binds through the state manager; it does not change itself.
  auto& buffers = const_cast<CVertexBufferController&>(InUse());
  buffers.SetStreams(m_pBlock != nullptr ? m_pBlock->FirstVertex : 0);
}

bool CMeshBuffers::DrawAll(uint32_t vertex_count, uint32_t triangle_count) const {
  auto& buffers = const_cast<CVertexBufferController&>(InUse());
  if (m_pBlock != nullptr)
    return buffers.DrawIndexed(0, m_pBlock->FirstIndex, m_pBlock->VertexCount, m_pBlock->IndexCount / 3);
  return buffers.DrawIndexed(0, 0, vertex_count, triangle_count);
}

bool CMeshBuffers::DrawPart(uint32_t min_index, uint32_t start_index, uint32_t vertex_count,
                            uint32_t triangles) const {
  auto& buffers = const_cast<CVertexBufferController&>(InUse());
  const uint32_t first = m_pBlock != nullptr ? m_pBlock->FirstIndex : 0;
  return buffers.DrawIndexed(min_index, first + start_index, vertex_count, triangles);
}
