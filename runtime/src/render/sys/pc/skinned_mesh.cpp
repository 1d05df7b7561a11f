#include "runtime/src/render/sys/pc/skinned_mesh.h"

#include "runtime/src/render/sys/pc/mesh_body_reader.h"

bool CSkinnedMesh::Load(CStream* stream) {
  FreeAll();
  CMeshBodyReader reader(stream);
  uint32_t ignored = 0;
  uint32_t vertex_count = 0;
  uint32_t triangle_count = 0;
  uint8_t remap = 0;
  uint8_t indexed = 0;
  bool ok = reader.ReadU32(&ignored) && reader.ReadU32(&vertex_count) && reader.ReadU32(&triangle_count) &&
            reader.ReadU32(&m_GroupBones) && reader.ReadU32(&m_IndexedBones) && reader.ReadByte(&remap) &&
            m_Streams.ReadFormats(reader) && reader.ReadByte(&indexed);
  m_bHasRemap = remap != 0;
  m_bIndexed = indexed != 0;
  if (ok) {
    ok = m_bIndexed ? LoadIndexed(reader, vertex_count, triangle_count)
                    : LoadGroups(reader, vertex_count, triangle_count);
  }
  if (!ok) {
    FreeAll();
    return false;
  }
  if (RenderObjectDeviceExists()) Restore();
  return true;
}

bool CSkinnedMesh::LoadIndexed(CMeshBodyReader& reader, uint32_t vertex_count, uint32_t triangle_count) {
  if (m_IndexedBones < 2 || m_IndexedBones > 4) return false;
  m_BlendKind = m_IndexedBones + 2;
  if (!reader.ReadU32(&m_FirstPalette) || !reader.ReadU32(&m_LastPalette)) return false;
  // The palette range must fit the device's world-matrix slots, and the remap table when
  // there is one, because drawing reads both at every index of the range.
  if (m_FirstPalette > m_LastPalette || m_LastPalette >= kPaletteSlots) return false;
  if (m_bHasRemap) {
    uint32_t count = 0;
    if (!reader.ReadU32(&count) || !reader.ReadU32Array(count, &m_Remap)) return false;
    if (m_LastPalette >= count) return false;
  }
  // Indexed positions carry the weights and a fourth value holding the four bone bytes.
  return m_Streams.ReadVerticesAndTriangles(reader, vertex_count, triangle_count, m_IndexedBones);
}

bool CSkinnedMesh::LoadGroups(CMeshBodyReader& reader, uint32_t vertex_count, uint32_t triangle_count) {
  if (m_GroupBones < 1 || m_GroupBones > 4) return false;
  m_BlendKind = m_GroupBones - 1;
  return m_Streams.ReadVerticesAndTriangles(reader, vertex_count, triangle_count, m_GroupBones - 1) &&
         ReadGroups(reader);
}

bool CSkinnedMesh::ReadGroups(CMeshBodyReader& reader) {
  uint32_t count = 0;
  if (!reader.ReadU32(&count) || !reader.HasBytes(static_cast<uint64_t>(count) * 12)) return false;
  const uint64_t index_count = static_cast<uint64_t>(m_Streams.TriangleCount()) * 3;
  m_Groups.resize(count);
  uint32_t previous_end = 0;
  for (SkinBoneGroup& g : m_Groups) {
    bool ok = reader.ReadU16(&g.FirstIndex) && reader.ReadU16(&g.VertexCount);
    for (uint8_t& bone : g.Bones) ok = ok && reader.ReadByte(&bone);
    ok = ok && reader.ReadU32(&g.EndIndex);
    if (!ok) return false;
    // A group draws (end - previous end) indices from its first index: both must stay inside
    // the triangle list, and its vertices inside the vertex count.
    if (g.EndIndex < previous_end || g.EndIndex > index_count) return false;
    if (g.FirstIndex + static_cast<uint64_t>(g.EndIndex - previous_end) > index_count) return false;
    if (g.VertexCount > m_Streams.VertexCount()) return false;
    previous_end = g.EndIndex;
  }
  return true;
}

void CSkinnedMesh::FreeAll() {
  m_Streams.Clear();
  m_Groups.clear();
  m_Remap.clear();
  m_IndexedBones = m_GroupBones = m_FirstPalette = m_LastPalette = m_BlendKind = 0;
  m_bIndexed = m_bHasRemap = m_bSoftwareVP = false;
}
