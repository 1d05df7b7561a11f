#include "runtime/src/render/sys/pc/bsp_mesh.h"

#include <cstring>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/mesh_body_reader.h"
#include "runtime/src/render/sys/pc/mesh_pass_loop.h"
#include "runtime/src/render/sys/pc/mesh_vertex_format.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

namespace {

bool CopyInto(CVertexBufferController& buffers, int which, const void* data, size_t bytes) {
  if (bytes == 0) return true;
  if (!buffers.Lock(which, false, false, 0, static_cast<uint32_t>(bytes))) return false;
  std::memcpy(buffers.LockedData(which), data, bytes);
  return buffers.Unlock(which);
}

// The camera position in the mesh's own space.
CVector3 EyeInMesh(const CMatrix4x4* world) {
  CameraTransform camera{};
  if (g_pD3DRenderDevice != nullptr) g_pD3DRenderDevice->GetCameraTransform(&camera);
  CVector3 eye = camera.Position;
  if (world == nullptr) return eye;
  CMatrix4x4 inverse = *world;
  if (inverse.Inverse() == 0.0f) return eye;
  const float x = eye.x, y = eye.y, z = eye.z;
  eye.x = x * inverse.m[0][0] + y * inverse.m[1][0] + z * inverse.m[2][0] + inverse.m[3][0];
  eye.y = x * inverse.m[0][1] + y * inverse.m[1][1] + z * inverse.m[2][1] + inverse.m[3][1];
  eye.z = x * inverse.m[0][2] + y * inverse.m[1][2] + z * inverse.m[2][2] + inverse.m[3][2];
  return eye;
}

}  // namespace

bool CBspMesh::Load(CStream* stream) {
  FreeAll();
  CMeshBodyReader reader(stream);
  uint32_t ignored = 0;
  bool ok = reader.ReadU32(&ignored) && reader.ReadU32(&m_VertexCount) && reader.ReadU32(&m_TriangleCount) &&
            reader.ReadU32(&m_Format) && m_VertexCount <= mesh_format::kMaxVertices;
  ok = ok && reader.ReadBytes(m_VertexCount * mesh_format::VertexSize(m_Format), &m_Vertices) &&
       reader.ReadTriangles(m_TriangleCount, m_VertexCount, &m_Indices) && ReadRanges(reader) && ReadNodes(reader);
  if (!ok) {
    FreeAll();
    return false;
  }
  m_bShaderOnly = mesh_format::IsShaderOnly(m_Format);
  if (RenderObjectDeviceExists()) Restore();
  return true;
}

bool CBspMesh::ReadRanges(CMeshBodyReader& reader) {
  uint32_t count = 0;
  if (!reader.ReadU32(&count) || !reader.HasBytes(static_cast<uint64_t>(count) * 24)) return false;
  const uint64_t index_count = static_cast<uint64_t>(m_TriangleCount) * 3;
  m_Ranges.resize(count);
  for (Range& r : m_Ranges) {
    bool ok = reader.ReadU32(&r.FrameStamp);
    for (uint32_t& u : r.Unused) ok = ok && reader.ReadU32(&u);
    ok = ok && reader.ReadU32(&r.StartIndex) && reader.ReadU32(&r.TriangleCount);
    if (!ok || r.StartIndex + static_cast<uint64_t>(r.TriangleCount) * 3 > index_count) return false;
  }
  return true;
}

bool CBspMesh::ReadNodes(CMeshBodyReader& reader) {
  uint32_t total_refs = 0;
  uint32_t count = 0;
  if (!reader.ReadU32(&total_refs) || !reader.ReadU32(&count)) return false;
  if (!reader.HasBytes(static_cast<uint64_t>(count) * 28 + static_cast<uint64_t>(total_refs) * 4)) return false;
  m_Nodes.resize(count);
  uint64_t refs_seen = 0;
  for (Node& n : m_Nodes) {
    uint32_t ref_count = 0;
    bool ok = reader.ReadU32(&n.Front) && reader.ReadU32(&n.Back);
    for (float& p : n.Plane) ok = ok && reader.ReadFloat(&p);
    ok = ok && reader.ReadU32(&ref_count);
    // The references of all nodes together must fit the declared total, and every child and
    // range a node names must exist.
    refs_seen += ref_count;
    if (!ok || refs_seen > total_refs) return false;
    if ((n.Front != kNoChild && n.Front >= count) || (n.Back != kNoChild && n.Back >= count)) return false;
    if (!reader.ReadU32Array(ref_count, &n.Ranges)) return false;
    for (uint32_t range : n.Ranges)
      if (range >= m_Ranges.size()) return false;
  }
  return true;
}

void CBspMesh::ClearStamps() {
  for (Range& r : m_Ranges) r.FrameStamp = 0;
}

void CBspMesh::SortedRanges(const CVector3& eye, uint32_t frame, std::vector<uint32_t>* out) {
  out->clear();
  if (m_Nodes.empty()) return;
  // A node is visited at most once per walk, so a damaged tree that links back to an
  // ancestor cannot make the walk run away.
  std::vector<uint8_t> visited(m_Nodes.size(), 0);
  Walk(0, 1, eye, frame, &visited, out);
}

void CBspMesh::Walk(uint32_t index, uint32_t depth, const CVector3& eye, uint32_t frame, std::vector<uint8_t>* visited,
                    std::vector<uint32_t>* out) {
  if (index == kNoChild || index >= m_Nodes.size() || (*visited)[index]) return;
  (*visited)[index] = 1;
  const Node& node = m_Nodes[index];
  const float side = node.Plane[0] * eye.x + node.Plane[1] * eye.y + node.Plane[2] * eye.z + node.Plane[3];
  const uint32_t first = side >= 0.0f ? node.Back : node.Front;
  const uint32_t second = side >= 0.0f ? node.Front : node.Back;
  const bool descend = depth < kMaxDepth;
  if (descend) Walk(first, depth + 1, eye, frame, visited, out);
  for (uint32_t r : node.Ranges) {
    if (m_Ranges[r].FrameStamp == frame) continue;
    m_Ranges[r].FrameStamp = frame;
    out->push_back(r);
  }
  if (descend) Walk(second, depth + 1, eye, frame, visited, out);
}

bool CBspMesh::Restore() {
  if (ForceSWVertProcess.Value != 0) m_bSoftwareVP = true;
  if (m_VertexCount == 0 || m_TriangleCount == 0) return false;
  const bool ok =
      m_Buffers.CreateVertexBuffer(0, m_VertexCount, m_Format, 0, false, true, m_bSoftwareVP, false) &&
      m_Buffers.CreateIndexBuffer(3 * m_TriangleCount, false, true, m_bSoftwareVP) &&
      CopyInto(m_Buffers, 0, m_Vertices.data(), m_Vertices.size()) &&
      CopyInto(m_Buffers, CVertexBufferController::kIndexBuffer, m_Indices.data(), m_Indices.size() * 2);
  if (!ok) FreeAll();
  return ok;
}

bool CBspMesh::ReleaseDeviceObjects() {
  m_Buffers.Release();
  return true;
}

void CBspMesh::SwitchToSoftware(void* mesh) {
  auto* self = static_cast<CBspMesh*>(mesh);
  self->ReleaseDeviceObjects();
  self->Restore();
}

bool CBspMesh::RenderAll(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures) {
  if (style == nullptr) return false;
  mesh_pass::SetWorld(world);
  mesh_pass::SetSoftware(m_bSoftwareVP);
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.FixedFormat = m_Buffers.Fvf(0);
  target.SwitchToSoftware = &CBspMesh::SwitchToSoftware;
  target.Mesh = this;
  return mesh_pass::RunPasses(
      style, textures, target, [this] { m_Buffers.SetStreams(0); },
      [this](uint32_t) { return m_Buffers.DrawIndexed(0, 0, m_VertexCount, m_TriangleCount); });
}

bool CBspMesh::RenderSorted(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures) {
  if (style == nullptr) return false;
  mesh_pass::SetWorld(world);
  mesh_pass::SetSoftware(m_bSoftwareVP);
  const CVector3 eye = EyeInMesh(world);
  ClearStamps();
  // Stamps are cleared to 0, so the stamp of this call must not be 0 (the first frame's count).
  const uint32_t frame = g_pD3DRenderDevice != nullptr ? g_pD3DRenderDevice->GetFrameCount() : 0;
  const uint32_t stamp = frame != 0 ? frame : 1;
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.FixedFormat = m_Buffers.Fvf(0);
  target.SwitchToSoftware = &CBspMesh::SwitchToSoftware;
  target.Mesh = this;
  std::vector<uint32_t> order;
  return mesh_pass::RunPasses(
      style, textures, target, [this] { m_Buffers.SetStreams(0); },
      [&](uint32_t) {
        SortedRanges(eye, stamp, &order);
        for (uint32_t r : order) {
          const Range& range = m_Ranges[r];
          if (range.TriangleCount == 0) continue;
          if (!m_Buffers.DrawIndexed(0, range.StartIndex, m_VertexCount, range.TriangleCount)) return false;
        }
        return true;
      });
}

void CBspMesh::FreeAll() {
  m_Buffers.Release();
  m_VertexCount = m_TriangleCount = m_Format = 0;
  m_bSoftwareVP = m_bShaderOnly = false;
  m_Nodes.clear();
  m_Ranges.clear();
  m_Vertices.clear();
  m_Indices.clear();
}
