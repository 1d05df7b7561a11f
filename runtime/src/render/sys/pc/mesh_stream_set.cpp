#include "runtime/src/render/sys/pc/mesh_stream_set.h"

#include "runtime/src/render/sys/pc/mesh_body_reader.h"
#include "runtime/src/render/sys/pc/mesh_vertex_format.h"

bool CMeshStreamSet::ReadFormats(CMeshBodyReader& reader) {
  for (uint32_t& format : m_Formats)
    if (!reader.ReadU32(&format)) return false;
  return true;
}

bool CMeshStreamSet::ReadVertices(CMeshBodyReader& reader, uint32_t vertex_count, uint32_t blend_values) {
  if (vertex_count > mesh_format::kMaxVertices) return false;
  m_VertexCount = vertex_count;
  for (int s = 0; s < kStreamCount; ++s) {
    m_Vertices[s].clear();
    m_Strides[s] = 0;
    if (m_Formats[s] == 0) continue;
    // Only a stream with both position and normal carries the blended position.
    const uint32_t blend = (m_Formats[s] & 0x3u) == 0x3u ? blend_values : 0;
    m_Strides[s] = mesh_format::VertexSize(m_Formats[s], blend);
    if (mesh_format::IsShaderOnly(m_Formats[s])) m_bShaderOnly = true;
    if (!reader.ReadBytes(vertex_count * m_Strides[s], &m_Vertices[s])) return false;
  }
  return true;
}

bool CMeshStreamSet::ReadTriangles(CMeshBodyReader& reader, uint32_t triangle_count) {
  m_TriangleCount = triangle_count;
  return reader.ReadTriangles(triangle_count, m_VertexCount, &m_Indices);
}

bool CMeshStreamSet::ReadVerticesAndTriangles(CMeshBodyReader& reader, uint32_t vertex_count,
                                              uint32_t triangle_count, uint32_t blend_values) {
  return ReadVertices(reader, vertex_count, blend_values) && ReadTriangles(reader, triangle_count);
}

int CMeshStreamSet::PresentStreamCount() const {
  int count = 0;
  for (uint32_t format : m_Formats)
    if (format != 0) ++count;
  return count;
}

void CMeshStreamSet::FreeCopies() {
  for (auto& v : m_Vertices) std::vector<uint8_t>().swap(v);
  std::vector<uint16_t>().swap(m_Indices);
}

void CMeshStreamSet::Clear() { *this = CMeshStreamSet(); }
