#pragma once
// The system copies of a multi-stream indexed mesh: up to four vertex streams, each named by a
// vertex-format word (0 = absent), and one 16-bit triangle list.
#include <cstdint>
#include <vector>

class CMeshBodyReader;

class CMeshStreamSet {
 public:
  static constexpr int kStreamCount = 4;

  // Reads the four format words.
  bool ReadFormats(CMeshBodyReader& reader);
  // Reads vertex_count vertices of each present stream, then triangle_count triangles whose
  // indices must lie below the vertex count. blend_values widens positions (skinned meshes).
  bool ReadVerticesAndTriangles(CMeshBodyReader& reader, uint32_t vertex_count, uint32_t triangle_count,
                                uint32_t blend_values = 0);
  bool ReadVertices(CMeshBodyReader& reader, uint32_t vertex_count, uint32_t blend_values);
  bool ReadTriangles(CMeshBodyReader& reader, uint32_t triangle_count);
  // Frees the vertex and index copies (the formats and counts stay).
  void FreeCopies();
  void Clear();

  uint32_t VertexCount() const { return m_VertexCount; }
  uint32_t TriangleCount() const { return m_TriangleCount; }
  uint32_t Format(int stream) const { return m_Formats[stream]; }
  uint32_t Stride(int stream) const { return m_Strides[stream]; }
  int PresentStreamCount() const;
  bool IsShaderOnly() const { return m_bShaderOnly; }
  const std::vector<uint8_t>& Vertices(int stream) const { return m_Vertices[stream]; }
  const std::vector<uint16_t>& Indices() const { return m_Indices; }
  bool HasCopies() const { return !m_Indices.empty() || !m_Vertices[0].empty(); }

 private:
  uint32_t m_VertexCount = 0;
  uint32_t m_TriangleCount = 0;
  uint32_t m_Formats[kStreamCount] = {};
  uint32_t m_Strides[kStreamCount] = {};
  bool m_bShaderOnly = false;
  std::vector<uint8_t> m_Vertices[kStreamCount];
  std::vector<uint16_t> m_Indices;
};
