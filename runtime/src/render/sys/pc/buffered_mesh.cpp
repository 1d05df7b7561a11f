#include "runtime/src/render/sys/pc/buffered_mesh.h"

#include "runtime/src/render/sys/pc/mesh_body_reader.h"
#include "runtime/src/render/sys/pc/mesh_pass_loop.h"

bool CBufferedMesh::Load(CStream* stream) {
  FreeAll();
  CMeshBodyReader reader(stream);
  uint32_t ignored = 0;
  uint32_t vertex_count = 0;
  uint32_t triangle_count = 0;
  uint32_t table_count = 0;
  const bool ok = reader.ReadU32(&ignored) && reader.ReadU32(&vertex_count) && reader.ReadU32(&m_Extra[1]) &&
                  reader.ReadU32(&triangle_count) && reader.ReadU32(&m_Extra[2]) && reader.ReadU32(&m_Extra[3]) &&
                  m_Streams.ReadFormats(reader) && reader.ReadU32(&m_Extra[4]) && reader.ReadU32(&m_Extra[5]) &&
                  m_Streams.ReadVerticesAndTriangles(reader, vertex_count, triangle_count) &&
                  reader.ReadU32(&table_count) && reader.ReadU32Array(table_count, &m_Table);
  if (!ok) {
    FreeAll();
    return false;
  }
  if (RenderObjectDeviceExists()) Restore();
  return true;
}

bool CBufferedMesh::Restore() {
  // Always its own buffers, never a shared block.
  if (m_Buffers.Restore(m_Streams, 0, &m_bSoftwareVP, false)) return true;
  FreeAll();
  return false;
}

bool CBufferedMesh::ReleaseDeviceObjects() {
  m_Buffers.ReleaseDeviceObjects();
  return true;
}

void CBufferedMesh::SwitchToSoftware(void* mesh) {
  auto* self = static_cast<CBufferedMesh*>(mesh);
  self->ReleaseDeviceObjects();
  self->Restore();
}

bool CBufferedMesh::Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                           const float* colour) {
  if (style == nullptr) return false;
  mesh_pass::SetWorld(world);
  mesh_pass::SetSoftware(m_bSoftwareVP);
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.FixedFormat = m_Buffers.FixedFormat();
  target.ShaderOnly = m_Streams.IsShaderOnly();
  target.SwitchToSoftware = &CBufferedMesh::SwitchToSoftware;
  target.Mesh = this;
  return mesh_pass::RunPasses(
      style, textures, target, [this] { m_Buffers.SetStreams(); },
      [&](uint32_t) {
        mesh_pass::CDrawOverrides overrides;
        overrides.ColourAmbientAndAlpha(colour);
        const bool drawn = m_Buffers.DrawAll(m_Streams.VertexCount(), m_Streams.TriangleCount());
        overrides.Restore();
        return drawn;
      });
}

void CBufferedMesh::FreeAll() {
  m_Buffers.Free();
  m_Streams.Clear();
  m_Table.clear();
  for (uint32_t& v : m_Extra) v = 0;
  m_bSoftwareVP = false;
}
