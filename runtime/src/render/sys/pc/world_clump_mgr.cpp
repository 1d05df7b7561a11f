#include "runtime/src/render/sys/pc/world_clump_mgr.h"

#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

CWorldClumpMgr g_WorldClumpMgr;

CWorldClumpMgr::CWorldClumpMgr() : CVBPool(WorldClumpMgr_VB_Count, WorldClumpMgr_VB_Size) {}

bool CWorldClumpMgr::ReadFromStream(VBAllocation* allocation, CStream* stream) {
  if (allocation == nullptr || allocation->Block == nullptr || stream == nullptr) return false;
  const uint32_t vertex_bytes = allocation->VertexCount * allocation->Block->VertexSize;
  const uint32_t index_bytes = allocation->IndexCount * 2u;
  if (stream->Read(SystemVerticesOf(*allocation), vertex_bytes) != vertex_bytes) return false;
  if (stream->Read(SystemIndicesOf(*allocation), index_bytes) != index_bytes) return false;
  return UploadAllocation(*allocation->Block, *allocation);
}
