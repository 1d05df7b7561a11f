#include "runtime/src/render/sys/pc/vb_controller.h"

#include <cstring>

#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"

namespace {

constexpr DWORD kLayoutPositions[kVertexLayoutCount] = {
    D3DFVF_XYZ,
    D3DFVF_XYZB1,
    D3DFVF_XYZB2,
    D3DFVF_XYZB3,
    D3DFVF_XYZB2 | D3DFVF_LASTBETA_UBYTE4,
    D3DFVF_XYZB3 | D3DFVF_LASTBETA_UBYTE4,
    D3DFVF_XYZB4 | D3DFVF_LASTBETA_UBYTE4,
};

uint32_t TexSetsOf(uint32_t desc_flags) {
  if (desc_flags & vb_desc::kTexSet4) return 4;
  if (desc_flags & vb_desc::kTexSet3) return 3;
  if (desc_flags & vb_desc::kTexSet2) return 2;
  if (desc_flags & vb_desc::kTexSet1) return 1;
  return 0;
}

// Bits 8-14: one fixed element and two groups of which the lowest set bit counts.
uint32_t ShaderExtraBytes(uint32_t desc_flags) {
  uint32_t bytes = (desc_flags & 0x0100) ? 12 : 0;
  if (desc_flags & 0x0200) bytes += 4;
  else if (desc_flags & 0x0400) bytes += 12;
  else if (desc_flags & 0x0800) bytes += 16;
  if (desc_flags & 0x1000) bytes += 4;
  else if (desc_flags & 0x2000) bytes += 12;
  else if (desc_flags & 0x4000) bytes += 16;
  return bytes;
}

// The device holds a reference to every buffer it has bound, which would keep a released
// buffer alive and, for the default pool, block the next device reset: unbind ours first.
void UnbindVertexBuffer(IDirect3DVertexBuffer8* buffer) {
  for (UINT stream = 0; stream < CVertexBufferController::kStreamCount; ++stream) {
    IDirect3DVertexBuffer8* bound = nullptr;
    UINT stride = 0;
    if (FAILED(g_pDirect3DDevice->GetStreamSource(stream, &bound, &stride)) || bound == nullptr) continue;
    bound->Release();
    if (bound != buffer) continue;
    if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->SetStreamSource(stream, nullptr, 0);
    else g_pDirect3DDevice->SetStreamSource(stream, nullptr, 0);
  }
}

void UnbindIndexBuffer(IDirect3DIndexBuffer8* buffer) {
  IDirect3DIndexBuffer8* bound = nullptr;
  UINT base = 0;
  if (FAILED(g_pDirect3DDevice->GetIndices(&bound, &base)) || bound == nullptr) return;
  bound->Release();
  if (bound != buffer) return;
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->SetIndices(nullptr, 0);
  else g_pDirect3DDevice->SetIndices(nullptr, 0);
}

}  // namespace

void CVertexBufferController::Clear() {
  std::memset(m_pVertexBuffers, 0, sizeof(m_pVertexBuffers));
  m_pIndexBuffer = nullptr;
  std::memset(m_pLocked, 0, sizeof(m_pLocked));
  std::memset(m_Layout, 0, sizeof(m_Layout));
  std::memset(m_Fvf, 0, sizeof(m_Fvf));
  std::memset(m_VertexSize, 0, sizeof(m_VertexSize));
  std::memset(m_VertexCount, 0, sizeof(m_VertexCount));
  std::memset(m_TexSets, 0, sizeof(m_TexSets));
  m_IndexCount = 0;
  std::memset(m_Dynamic, 0, sizeof(m_Dynamic));
  m_IndexDynamic = 0;
}

void CVertexBufferController::Release() {
  for (int i = 0; i < kStreamCount; ++i) {
    if (m_pVertexBuffers[i] == nullptr) continue;
    if (m_pLocked[i] != nullptr) m_pVertexBuffers[i]->Unlock();
    if (g_pDirect3DDevice != nullptr) UnbindVertexBuffer(m_pVertexBuffers[i]);
    m_pVertexBuffers[i]->Release();
  }
  if (m_pIndexBuffer != nullptr) {
    if (m_pLocked[kIndexBuffer] != nullptr) m_pIndexBuffer->Unlock();
    if (g_pDirect3DDevice != nullptr) UnbindIndexBuffer(m_pIndexBuffer);
    m_pIndexBuffer->Release();
  }
  Clear();
}

uint32_t CVertexBufferController::FvfSize(DWORD fvf) {
  uint32_t size = 0;
  switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: size = 12; break;
    case D3DFVF_XYZRHW: size = 16; break;
    case D3DFVF_XYZB1: size = 16; break;
    case D3DFVF_XYZB2: size = 20; break;
    case D3DFVF_XYZB3: size = 24; break;
    case D3DFVF_XYZB4: size = 28; break;
    case D3DFVF_XYZB5: size = 32; break;
    default: break;
  }
  if (fvf & D3DFVF_NORMAL) size += 12;
  if (fvf & D3DFVF_PSIZE) size += 4;
  if (fvf & D3DFVF_DIFFUSE) size += 4;
  if (fvf & D3DFVF_SPECULAR) size += 4;
  size += 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
  return size;
}

bool CVertexBufferController::DescribeVertex(uint32_t desc_flags, uint32_t layout, DWORD* fvf, uint32_t* size,
                                             uint32_t* tex_sets) {
  DWORD format = 0;
  const bool position = (desc_flags & vb_desc::kPosition) != 0;
  const bool normal = (desc_flags & vb_desc::kNormal) != 0;
  if (position && normal) {
    if (layout >= kVertexLayoutCount) return false;
    format = kLayoutPositions[layout] | D3DFVF_NORMAL;
  } else if (position) {
    format = D3DFVF_XYZ;
  } else if (normal) {
    format = D3DFVF_NORMAL;
  }
  if (desc_flags & vb_desc::kDiffuse) format |= D3DFVF_DIFFUSE;
  if (desc_flags & vb_desc::kPointSize) format |= D3DFVF_PSIZE;
  const uint32_t sets = TexSetsOf(desc_flags);
  format |= sets << D3DFVF_TEXCOUNT_SHIFT;
  const uint32_t extras = ShaderExtraBytes(desc_flags);
  if (size != nullptr) *size = FvfSize(format) + extras;
  if (fvf != nullptr) *fvf = extras != 0 ? 0 : format;
  if (tex_sets != nullptr) *tex_sets = sets;
  return true;
}

DWORD CVertexBufferController::Usage(bool dynamic, bool write_only, bool software, bool points) {
  DWORD usage = 0;
  if (dynamic) usage |= D3DUSAGE_DYNAMIC;
  if (points) usage |= D3DUSAGE_POINTS;
  if (write_only) usage |= D3DUSAGE_WRITEONLY;
  const bool forced = g_pD3DDevice != nullptr && g_pD3DDevice->IsSoftwareVertexProcessing();
  if (forced || software) usage |= D3DUSAGE_SOFTWAREPROCESSING;
  return usage;
}

bool CVertexBufferController::CreateVertexBuffer(uint32_t stream, uint32_t vertex_count, uint32_t desc_flags,
                                                 uint32_t layout, bool dynamic, bool write_only, bool software,
                                                 bool points) {
  if (stream >= kStreamCount || g_pDirect3DDevice == nullptr) return false;
  DWORD fvf = 0;
  uint32_t size = 0;
  uint32_t sets = 0;
  if (!DescribeVertex(desc_flags, layout, &fvf, &size, &sets) || size == 0 || vertex_count == 0) return false;
  const uint64_t bytes = static_cast<uint64_t>(vertex_count) * size;
  if (bytes > 0xFFFFFFFFu) return false;
  IDirect3DVertexBuffer8* buffer = nullptr;
  if (FAILED(g_pDirect3DDevice->CreateVertexBuffer(static_cast<UINT>(bytes),
                                                   Usage(dynamic, write_only, software, points), fvf,
                                                   D3DPOOL_DEFAULT, &buffer)) ||
      buffer == nullptr)
    return false;
  if (m_pVertexBuffers[stream] != nullptr) m_pVertexBuffers[stream]->Release();
  m_pVertexBuffers[stream] = buffer;
  m_pLocked[stream] = nullptr;
  m_Fvf[stream] = fvf;
  m_VertexSize[stream] = size;
  m_VertexCount[stream] = vertex_count;
  m_Layout[stream] = layout;
  m_TexSets[stream] = sets;
  m_Dynamic[stream] = dynamic ? 1 : 0;
  return true;
}

bool CVertexBufferController::CreateIndexBuffer(uint32_t index_count, bool dynamic, bool write_only,
                                                bool software) {
  if (g_pDirect3DDevice == nullptr || index_count == 0 || index_count > 0x7FFFFFFFu) return false;
  IDirect3DIndexBuffer8* buffer = nullptr;
  if (FAILED(g_pDirect3DDevice->CreateIndexBuffer(index_count * 2, Usage(dynamic, write_only, software, false),
                                                  D3DFMT_INDEX16, D3DPOOL_DEFAULT, &buffer)) ||
      buffer == nullptr)
    return false;
  if (m_pIndexBuffer != nullptr) m_pIndexBuffer->Release();
  m_pIndexBuffer = buffer;
  m_pLocked[kIndexBuffer] = nullptr;
  m_IndexCount = index_count;
  m_IndexDynamic = dynamic ? 1 : 0;
  return true;
}

void CVertexBufferController::SetStreams(UINT base_vertex) {
  if (g_pRenderStateMgr == nullptr) return;
  for (int i = 0; i < kStreamCount; ++i)
    if (m_pVertexBuffers[i] != nullptr) g_pRenderStateMgr->SetStreamSource(i, m_pVertexBuffers[i], m_VertexSize[i]);
  g_pRenderStateMgr->SetIndices(m_pIndexBuffer, base_vertex);
}

bool CVertexBufferController::DrawIndexed(UINT min_index, UINT start_index, UINT vertex_count,
                                          UINT primitive_count) {
  if (g_pDirect3DDevice == nullptr) return false;
  return SUCCEEDED(g_pDirect3DDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, min_index, vertex_count,
                                                           start_index, primitive_count));
}

bool CVertexBufferController::DrawPoints(UINT start_vertex, UINT count) {
  if (g_pDirect3DDevice == nullptr) return false;
  return SUCCEEDED(g_pDirect3DDevice->DrawPrimitive(D3DPT_POINTLIST, start_vertex, count));
}

bool CVertexBufferController::Lock(int which, bool discard, bool no_overwrite, uint32_t offset, uint32_t size) {
  if (which < 0 || which > kIndexBuffer) return false;
  if (m_pLocked[which] != nullptr) return true;
  const bool dynamic = which == kIndexBuffer ? m_IndexDynamic != 0 : m_Dynamic[which] != 0;
  DWORD flags = 0;
  if (dynamic && discard) flags |= D3DLOCK_DISCARD;
  if (dynamic && no_overwrite) flags |= D3DLOCK_NOOVERWRITE;
  BYTE* data = nullptr;
  HRESULT hr = D3DERR_INVALIDCALL;
  if (which == kIndexBuffer) {
    if (m_pIndexBuffer != nullptr) hr = m_pIndexBuffer->Lock(offset, size, &data, flags);
  } else if (m_pVertexBuffers[which] != nullptr) {
    hr = m_pVertexBuffers[which]->Lock(offset, size, &data, flags);
  }
  if (FAILED(hr) || data == nullptr) return false;
  m_pLocked[which] = data;
  return true;
}

bool CVertexBufferController::Unlock(int which) {
  if (which < 0 || which > kIndexBuffer) return false;
  if (m_pLocked[which] == nullptr) return true;
  m_pLocked[which] = nullptr;
  if (which == kIndexBuffer) return m_pIndexBuffer != nullptr && SUCCEEDED(m_pIndexBuffer->Unlock());
  return m_pVertexBuffers[which] != nullptr && SUCCEEDED(m_pVertexBuffers[which]->Unlock());
}

uint8_t* CVertexBufferController::LockedData(int which) const {
  return which >= 0 && which <= kIndexBuffer ? m_pLocked[which] : nullptr;
}

IDirect3DVertexBuffer8* CVertexBufferController::VertexBuffer(int stream) const {
  return ValidStream(stream) ? m_pVertexBuffers[stream] : nullptr;
}
