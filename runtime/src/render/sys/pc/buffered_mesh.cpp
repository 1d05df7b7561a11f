#include "runtime/src/render/sys/pc/buffered_mesh.h"

#include "runtime/src/render/sys/pc/mesh_body_reader.h"

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

void CBufferedMesh::FreeAll() {
  m_Streams.Clear();
  m_Table.clear();
  for (uint32_t& v : m_Extra) v = 0;
  m_bSoftwareVP = false;
}
