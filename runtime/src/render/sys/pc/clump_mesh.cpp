#include "runtime/src/render/sys/pc/clump_mesh.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/mesh_body_reader.h"
#include "runtime/src/render/sys/pc/mesh_pass_loop.h"
#include "runtime/src/render/sys/pc/mesh_vertex_format.h"
#include "runtime/src/render/sys/pc/projection_clipper.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/world_clump_mgr.h"

namespace {

constexpr uint32_t kAllPlanes = 0x3F;

void TransformPoint(const CMatrix4x4& m, const float* p, float* out) {
  const float x = p[0], y = p[1], z = p[2];
  for (int j = 0; j < 3; ++j) out[j] = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j] + m.m[3][j];
}

void TransformDirection(const CMatrix4x4& m, const float* d, float* out) {
  const float x = d[0], y = d[1], z = d[2];
  for (int j = 0; j < 3; ++j) out[j] = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j];
}

// The six planes of the volume in its own space: four sides, near, far.
void SetVolumePlanes(const ClumpProjection& p, CProjectionClipper* clipper) {
  if (p.Perspective != 0) {
    const float tan_y = std::tan(p.Height * 0.5f);
    const float tan_x = tan_y * p.Width;
    clipper->SetPlane(0, 1, 0, tan_x, 0);   // x >= -z tan_x
    clipper->SetPlane(1, -1, 0, tan_x, 0);  // x <= z tan_x
    clipper->SetPlane(2, 0, 1, tan_y, 0);
    clipper->SetPlane(3, 0, -1, tan_y, 0);
  } else {
    clipper->SetPlane(0, 1, 0, 0, p.Width * 0.5f);
    clipper->SetPlane(1, -1, 0, 0, p.Width * 0.5f);
    clipper->SetPlane(2, 0, 1, 0, p.Height * 0.5f);
    clipper->SetPlane(3, 0, -1, 0, p.Height * 0.5f);
  }
  clipper->SetPlane(4, 0, 0, 1, -p.Near);
  clipper->SetPlane(5, 0, 0, -1, p.Far);
}

// Texture coordinates of a volume-space point projected through the volume.
void ProjectUV(const ClumpProjection& p, const float* v, float* uv) {
  float x = 0, y = 0;
  if (p.Perspective != 0) {
    const float tan_y = std::tan(p.Height * 0.5f);
    const float tan_x = tan_y * p.Width;
    const float w = v[2] != 0.0f ? v[2] : 1e-6f;
    x = v[0] / (w * tan_x);
    y = v[1] / (w * tan_y);
  } else {
    x = 2.0f * v[0] / p.Width;
    y = 2.0f * v[1] / p.Height;
  }
  uv[0] = (x + 1.0f) * 0.5f;
  uv[1] = (y + 1.0f) * 0.5f;
}

}  // namespace

bool CClumpMesh::SoftwareWanted() {
  return ForceSWVertProcess.Value != 0 || (g_pD3DDevice != nullptr && g_pD3DDevice->IsSoftwareVertexProcessing());
}

void CClumpMesh::FreeBlock() {
  if (m_pBlock != nullptr && g_WorldClumpMgr.IsInitialised()) g_WorldClumpMgr.Free(m_pBlock);
  m_pBlock = nullptr;
}

uint32_t CClumpMesh::GetVertexCount() { return m_pBlock != nullptr ? m_pBlock->VertexCount : 0; }
uint32_t CClumpMesh::GetTriangleCount() { return m_pBlock != nullptr ? m_pBlock->IndexCount / 3 : 0; }
uint32_t CClumpMesh::GetIndexCount() { return m_pBlock != nullptr ? m_pBlock->IndexCount : 0; }
uint32_t CClumpMesh::GetVertexStride() { return m_pBlock != nullptr ? m_pBlock->Block->VertexSize : 0; }

uint8_t* CClumpMesh::GetVertexPointer() {
  if (m_pBlock == nullptr) return nullptr;
  uint8_t* locked = m_pBlock->Block->Buffers.LockedData(0);
  return locked != nullptr ? locked + static_cast<size_t>(m_pBlock->FirstVertex) * m_pBlock->Block->VertexSize
                           : nullptr;
}

uint8_t* CClumpMesh::GetIndexPointer() {
  if (m_pBlock == nullptr) return nullptr;
  uint8_t* locked = m_pBlock->Block->Buffers.LockedData(CVertexBufferController::kIndexBuffer);
  return locked != nullptr ? locked + static_cast<size_t>(m_pBlock->FirstIndex) * 2 : nullptr;
}

const uint8_t* CClumpMesh::SystemVertices() const {
  if (m_pBlock == nullptr) return nullptr;
  return m_pBlock->Block->SystemVertices.data() + static_cast<size_t>(m_pBlock->FirstVertex) * m_pBlock->Block->VertexSize;
}

const uint16_t* CClumpMesh::SystemIndices() const {
  return m_pBlock != nullptr ? m_pBlock->Block->SystemIndices.data() + m_pBlock->FirstIndex : nullptr;
}

bool CClumpMesh::IndicesInRange() const {
  const uint16_t* indices = SystemIndices();
  for (uint32_t i = 0; i < m_pBlock->IndexCount; ++i)
    if (indices[i] >= m_pBlock->VertexCount) return false;
  return true;
}

bool CClumpMesh::Load(CStream* stream) {
  FreeBlock();
  CMeshBodyReader reader(stream);
  uint32_t ignored = 0, vertex_count = 0, triangle_count = 0, format = 0;
  if (!reader.ReadU32(&ignored) || !reader.ReadU32(&vertex_count) || !reader.ReadU32(&triangle_count) ||
      !reader.ReadU32(&format))
    return false;
  const uint64_t index_count = static_cast<uint64_t>(triangle_count) * 3;
  if (vertex_count == 0 || vertex_count > mesh_format::kMaxVertices || index_count == 0 || index_count > 0xFFFFFFu)
    return false;
  const uint64_t body = static_cast<uint64_t>(vertex_count) * mesh_format::VertexSize(format) + index_count * 2;
  if (!reader.HasBytes(body)) return false;
  if (!g_WorldClumpMgr.Alloc(format, SoftwareWanted(), vertex_count, static_cast<uint32_t>(index_count), &m_pBlock)) {
    m_pBlock = nullptr;
    return false;
  }
  // Every index must name one of the block's own vertices, or draws would read other blocks'.
  if (!g_WorldClumpMgr.ReadFromStream(m_pBlock, stream) || !IndicesInRange()) {
    FreeBlock();
    return false;
  }
  return true;
}

bool CClumpMesh::BuildProjected(CClumpMesh* source, const CMatrix4x4& frame, const ClumpProjection& projection,
                                bool project_texture, float offset) {
  FreeBlock();
  if (source == nullptr || source == this || source->m_pBlock == nullptr ||
      source->GetVertexStride() != sizeof(ClipVertex))
    return false;
  CMatrix4x4 to_volume = frame;
  if (to_volume.Inverse() == 0.0f) return false;
  static CProjectionClipper clipper;
  clipper.Reset();
  SetVolumePlanes(projection, &clipper);
  const auto* vertices = reinterpret_cast<const ClipVertex*>(source->SystemVertices());
  const uint16_t* indices = source->SystemIndices();
  const uint32_t vertex_count = source->GetVertexCount();
  for (uint32_t t = 0; t + 2 < source->GetIndexCount() && !clipper.IsFull(); t += 3) {
    ClipTriangle triangle;
    bool valid = true;
    for (int k = 0; k < 3; ++k) {
      if (indices[t + k] >= vertex_count) valid = false;
      if (!valid) break;
      ClipVertex v;
      std::memcpy(&v, &vertices[indices[t + k]], sizeof(v));
      // Clipping runs in the volume's space; positions and normals go back afterwards.
      TransformPoint(to_volume, v.Position, triangle.V[k].Position);
      TransformDirection(to_volume, v.Normal, triangle.V[k].Normal);
      std::memcpy(triangle.V[k].UV, v.UV, sizeof(v.UV));
    }
    if (valid) clipper.Clip(triangle, kAllPlanes);
  }
  const uint32_t count = clipper.Count();
  if (count == 0) return false;
  std::vector<ClipVertex> out(static_cast<size_t>(count) * 3);
  std::vector<uint16_t> out_indices(out.size());
  for (uint32_t t = 0; t < count; ++t)
    for (int k = 0; k < 3; ++k) {
      const ClipVertex& v = clipper.Triangle(t).V[k];
      ClipVertex& o = out[t * 3 + k];
      if (project_texture) ProjectUV(projection, v.Position, o.UV);
      else std::memcpy(o.UV, v.UV, sizeof(o.UV));
      TransformPoint(frame, v.Position, o.Position);
      TransformDirection(frame, v.Normal, o.Normal);
      for (int j = 0; j < 3; ++j) o.Position[j] += offset * o.Normal[j];
      out_indices[t * 3 + k] = static_cast<uint16_t>(t * 3 + k);
    }
  const auto total = static_cast<uint32_t>(out.size());
  if (!g_WorldClumpMgr.Alloc(kClipFormat, SoftwareWanted(), total, total, &m_pBlock)) {
    m_pBlock = nullptr;
    return false;
  }
  if (!g_WorldClumpMgr.Write(m_pBlock, out.data(), out_indices.data())) {
    FreeBlock();
    return false;
  }
  return true;
}

bool CClumpMesh::Render(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures,
                        const CMatrix4x4* world, const float* colour, const DWORD* texture_factor) {
  if (style == nullptr || m_pBlock == nullptr || pass >= StylePassCount(style)) return false;
  mesh_pass::SetWorld(world);
  bool software = m_pBlock->Block->Software != 0;
  mesh_pass::SetSoftware(software);
  MeshPassTarget target;
  target.Software = &software;
  target.FixedFormat = m_pBlock->Block->Buffers.Fvf(0);
  target.SwitchToSoftware = [](void* mesh) {
    auto* block = static_cast<VBAllocation*>(mesh);
    g_WorldClumpMgr.Realloc(block, true);
  };
  target.Mesh = m_pBlock;
  if (!mesh_pass::PreparePass(style, pass, target)) return false;
  CVertexBufferController& buffers = m_pBlock->Block->Buffers;
  buffers.SetStreams(m_pBlock->FirstVertex);
  mesh_pass::ApplyPass(style, pass, textures);
  mesh_pass::CDrawOverrides overrides;
  overrides.ColourAmbientAndAlpha(colour);
  overrides.TextureFactor(texture_factor);
  const bool drawn = buffers.DrawIndexed(0, m_pBlock->FirstIndex, m_pBlock->VertexCount, m_pBlock->IndexCount / 3);
  overrides.Restore();
  return drawn;
}
