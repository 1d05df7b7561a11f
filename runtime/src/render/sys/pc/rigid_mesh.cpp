#include "runtime/src/render/sys/pc/rigid_mesh.h"

#include "runtime/src/render/sys/pc/mesh_body_reader.h"

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

void CRigidMesh::FreeAll() {
  m_Streams.Clear();
  m_UserValue = 0;
  m_bSoftwareVP = false;
}
