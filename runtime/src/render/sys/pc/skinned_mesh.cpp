#include "runtime/src/render/sys/pc/skinned_mesh.h"

#include <cstring>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/mesh_body_reader.h"
#include "runtime/src/render/sys/pc/mesh_pass_loop.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"

namespace {

constexpr uint8_t kNoBone = 0xFF;

void SetBoneMatrix(uint32_t slot, const CMatrix4x4* bone) {
  if (bone == nullptr) return;
  D3DMATRIX m;
  static_assert(sizeof(m) == sizeof(bone->m));
  std::memcpy(&m, bone->m, sizeof(m));
  g_pRenderStateMgr->SetTransform(D3DTS_WORLDMATRIX(slot), m);
}

// Vertex-blend state for a number of matrices: 2 -> one weight, 3 -> two, 4 -> three.
DWORD BlendFor(uint32_t matrices) { return matrices >= 2 && matrices <= 4 ? matrices - 1 : D3DVBF_DISABLE; }

}  // namespace

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

bool CSkinnedMesh::Restore() {
  if (m_Buffers.Restore(m_Streams, m_BlendKind, &m_bSoftwareVP, true)) return true;
  FreeAll();
  return false;
}

bool CSkinnedMesh::ReleaseDeviceObjects() {
  m_Buffers.ReleaseDeviceObjects();
  return true;
}

void CSkinnedMesh::SwitchToSoftware(void* mesh) {
  auto* self = static_cast<CSkinnedMesh*>(mesh);
  self->ReleaseDeviceObjects();
  self->Restore();
}

bool CSkinnedMesh::NeedsSoftware() const {
  if (g_pD3DDevice == nullptr) return false;
  const D3DCAPS8& caps = g_pD3DDevice->GetCaps();
  if (!m_bIndexed) return caps.MaxVertexBlendMatrices < m_GroupBones;
  return 2 * (m_LastPalette - m_FirstPalette) + 1 > caps.MaxVertexBlendMatrixIndex;
}

// The variant follows the indexed bones per vertex for both kinds of mesh; a bone-group mesh whose
// field is out of range draws with variant 0, the one every shader pass builds.
uint32_t CSkinnedMesh::ShaderVariant() const {
  return m_IndexedBones >= 1 && m_IndexedBones <= 4 ? m_IndexedBones - 1 : 0;
}

bool CSkinnedMesh::Render(const CMatrix4x4* bones, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                          const float* colour, const DWORD* texture_factor) {
  if (bones == nullptr) return false;
  return Draw([bones](uint32_t i) { return &bones[i]; }, style, textures, colour, texture_factor);
}

bool CSkinnedMesh::RenderBonePointers(const CMatrix4x4* const* bones, CD3DRenderStyle* style,
                                      CDeviceTexture* const* textures, const float* colour,
                                      const DWORD* texture_factor) {
  if (bones == nullptr) return false;
  return Draw([bones](uint32_t i) { return bones[i]; }, style, textures, colour, texture_factor);
}

template <class BoneAt>
bool CSkinnedMesh::Draw(BoneAt&& bone_at, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                        const float* colour, const DWORD* texture_factor) {
  if (style == nullptr || g_pRenderStateMgr == nullptr) return false;
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  rs.SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
  rs.SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  mesh_pass::SetSoftware(m_bSoftwareVP);
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.ShaderOnly = m_Streams.IsShaderOnly();
  target.RejectShaderOnly = true;
  target.ShaderVariant = ShaderVariant();
  // The pass loop loads the shader constants without bones: the bone palette is loaded where
  // the bone matrices are set, for the whole palette or for each group.
  target.BoneCount = 0;
  target.SwitchToSoftware = &CSkinnedMesh::SwitchToSoftware;
  target.Mesh = this;
  bool ok = true;
  const uint32_t passes = StylePassCount(style);
  for (uint32_t pass = 0; pass < passes && ok; ++pass) {
    // Blending the device cannot do in hardware moves the mesh to software processing for good.
    if (style->GetPassVertexShader(pass, target.ShaderVariant) == 0 && !m_bSoftwareVP && NeedsSoftware()) {
      m_bSoftwareVP = true;
      SwitchToSoftware(this);
      mesh_pass::SetSoftware(true);
    }
    target.FixedFormat = m_Buffers.FixedFormat();
    ok = mesh_pass::PreparePass(style, pass, target);
    if (!ok) break;
    m_Buffers.SetStreams();
    mesh_pass::ApplyPass(style, pass, textures);
    mesh_pass::CDrawOverrides overrides;
    overrides.ColourWholeDiffuse(colour);
    overrides.TextureFactor(texture_factor);
    PassShaderDesc block{};
    const bool shaded = style->GetPassVertexShader(pass, target.ShaderVariant) != 0;
    ok = (!shaded || style->GetPassShader(pass, &block)) && DrawBlended(bone_at, style, shaded ? &block : nullptr);
    overrides.Restore();
  }
  rs.SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
  return ok;
}

template <class BoneAt>
bool CSkinnedMesh::DrawBlended(BoneAt&& bone_at, CD3DRenderStyle* style, const PassShaderDesc* shader) {
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  // A vertex shader reads its bones from the constants, loaded once the matrices are set.
  auto load_bones = [&](uint32_t count) {
    return shader == nullptr || rs.LoadShaderConstants(style, *shader, nullptr, count);
  };
  if (m_bIndexed) {
    for (uint32_t k = m_FirstPalette; k <= m_LastPalette; ++k)
      SetBoneMatrix(k, bone_at(m_bHasRemap ? m_Remap[k] : k));
    rs.SetRenderState(D3DRS_VERTEXBLEND, m_IndexedBones - 1);
    rs.SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 1);
    if (!load_bones(m_LastPalette + 1)) {
      rs.SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 0);
      return false;
    }
    const bool drawn = m_Buffers.DrawAll(m_Streams.VertexCount(), m_Streams.TriangleCount());
    rs.SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 0);
    return drawn;
  }
  uint32_t previous_end = 0;
  for (const SkinBoneGroup& group : m_Groups) {
    uint32_t used = 0;
    for (uint32_t j = 0; j < 4; ++j) {
      if (group.Bones[j] == kNoBone) continue;
      SetBoneMatrix(j, bone_at(group.Bones[j]));
      ++used;
    }
    rs.SetRenderState(D3DRS_VERTEXBLEND, BlendFor(used));
    if (!load_bones(4)) return false;
    const uint32_t triangles = (group.EndIndex - previous_end) / 3;
    if (triangles != 0 && !m_Buffers.DrawPart(previous_end, group.FirstIndex, group.VertexCount, triangles))
      return false;
    previous_end = group.EndIndex;
  }
  return true;
}

void CSkinnedMesh::FreeAll() {
  m_Buffers.Free();
  m_Streams.Clear();
  m_Groups.clear();
  m_Remap.clear();
  m_IndexedBones = m_GroupBones = m_FirstPalette = m_LastPalette = m_BlendKind = 0;
  m_bIndexed = m_bHasRemap = m_bSoftwareVP = false;
}
