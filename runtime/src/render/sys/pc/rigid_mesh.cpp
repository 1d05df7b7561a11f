#include "runtime/src/render/sys/pc/rigid_mesh.h"

#include "runtime/src/render/sys/pc/mesh_body_reader.h"
#include "runtime/src/render/sys/pc/mesh_pass_loop.h"

bool CRigidMesh::Load(CStream* stream) {
  FreeAll();
  CMeshBodyReader reader(stream);
  uint32_t ignored = 0;
  uint32_t vertex_count = 0;
  uint32_t triangle_count = 0;
  const bool ok = reader.ReadU32(&ignored) && reader.ReadU32(&vertex_count) && reader.ReadU32(&triangle_count) &&
                  reader.ReadU32(&ignored) && reader.ReadU32(&ignored) && m_Streams.ReadFormats(reader) &&
                  reader.ReadU32(&m_UserValue) &&
                  m_Streams.ReadVerticesAndTriangles(reader, vertex_count, triangle_count);
  if (!ok) {
    FreeAll();
    return false;
  }
  if (RenderObjectDeviceExists()) Restore();
  return true;
}

bool CRigidMesh::Restore() {
  if (m_Buffers.Restore(m_Streams, 0, &m_bSoftwareVP, true)) return true;
  FreeAll();
  return false;
}

bool CRigidMesh::ReleaseDeviceObjects() {
  m_Buffers.ReleaseDeviceObjects();
  return true;
}

void CRigidMesh::SwitchToSoftware(void* mesh) {
  auto* self = static_cast<CRigidMesh*>(mesh);
  self->ReleaseDeviceObjects();
  self->Restore();
}

bool CRigidMesh::Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                        const float* colour, const DWORD* texture_factor) {
  if (style == nullptr) return false;
  mesh_pass::SetWorld(world);
  mesh_pass::SetSoftware(m_bSoftwareVP);
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.FixedFormat = m_Buffers.FixedFormat();
  target.ShaderOnly = m_Streams.IsShaderOnly();
  target.RejectShaderOnly = true;
  target.SwitchToSoftware = &CRigidMesh::SwitchToSoftware;
  target.Mesh = this;
  return mesh_pass::RunPasses(
      style, textures, target, [this] { m_Buffers.SetStreams(); },
      [&](uint32_t) {
        mesh_pass::CDrawOverrides overrides;
        overrides.ColourWholeDiffuse(colour);
        overrides.TextureFactor(texture_factor);
        const bool drawn = m_Buffers.DrawAll(m_Streams.VertexCount(), m_Streams.TriangleCount());
        overrides.Restore();
        return drawn;
      });
}

void CRigidMesh::FreeAll() {
  m_Buffers.Free();
  m_Streams.Clear();
  m_UserValue = 0;
  m_bSoftwareVP = false;
}
