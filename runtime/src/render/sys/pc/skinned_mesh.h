#pragma once
// Render object type 5: a mesh blended between bone matrices, either through one palette of
// world matrices (indexed blending) or group by group with up to four bones each.
#include <cstdint>
#include <vector>

#include "platform/d3d/d3d8.h"
#include "runtime/src/render/sys/pc/mesh_buffers.h"
#include "runtime/src/render/sys/pc/mesh_stream_set.h"
#include "runtime/src/render/sys/pc/render_object.h"

class CStream;
class CD3DRenderStyle;
class CDeviceTexture;
struct CMatrix4x4;
struct PassShaderDesc;

// One bone group as stored: a run of the triangle list drawn with up to four bones.
struct SkinBoneGroup {
  uint16_t FirstIndex;
  uint16_t VertexCount;
  uint8_t Bones[4];  // 0xFF = no bone
  uint32_t EndIndex;  // counted across the groups
};

class CSkinnedMesh : public CRenderObject {
 public:
  static constexpr uint32_t kType = 5;
  // Slots of the device's world-matrix palette.
  static constexpr uint32_t kPaletteSlots = 64;

  CSkinnedMesh() : CRenderObject(kType) {}
  ~CSkinnedMesh() override { FreeAll(); }

  bool Restore() override;
  bool ReleaseDeviceObjects() override;

  virtual uint32_t GetVertexCount() { return m_Streams.VertexCount(); }
  virtual uint32_t GetTriangleCount() { return m_Streams.TriangleCount(); }
  // Draws with bone i read through bones[i]; colour and texture factor as for a rigid mesh.
  virtual bool RenderBonePointers(const CMatrix4x4* const* bones, CD3DRenderStyle* style,
                                  CDeviceTexture* const* textures, const float* colour, const DWORD* texture_factor);
  // Draws with bone i at bones[i]: indexed blending sets the palette from first to last,
  // bone groups set up to four world matrices per group.
  virtual bool Render(const CMatrix4x4* bones, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                      const float* colour, const DWORD* texture_factor);
  // Reads the type-5 body; false (with the mesh empty) on a short or inconsistent body.
  virtual bool Load(CStream* stream);

  bool IsIndexed() const { return m_bIndexed; }
  uint32_t GetBlendKind() const { return m_BlendKind; }
  uint32_t GetFirstPalette() const { return m_FirstPalette; }
  uint32_t GetLastPalette() const { return m_LastPalette; }
  const std::vector<SkinBoneGroup>& Groups() const { return m_Groups; }
  const std::vector<uint32_t>& RemapTable() const { return m_Remap; }
  bool HasRemap() const { return m_bHasRemap; }
  const CMeshStreamSet& Streams() const { return m_Streams; }
  const CMeshBuffers& Buffers() const { return m_Buffers; }
  bool IsSoftwareProcessed() const { return m_bSoftwareVP; }

 private:
  template <class BoneAt>
  bool Draw(BoneAt&& bone_at, CD3DRenderStyle* style, CDeviceTexture* const* textures, const float* colour,
            const DWORD* texture_factor);
  // Sets the bones and draws; with the pass's shader block, its constants are loaded after the
  // bones of the palette or of each group are set.
  template <class BoneAt>
  bool DrawBlended(BoneAt&& bone_at, CD3DRenderStyle* style, const PassShaderDesc* shader);
  bool NeedsSoftware() const;
  uint32_t ShaderVariant() const;
  static void SwitchToSoftware(void* mesh);
  bool LoadIndexed(class CMeshBodyReader& reader, uint32_t vertex_count, uint32_t triangle_count);
  bool LoadGroups(class CMeshBodyReader& reader, uint32_t vertex_count, uint32_t triangle_count);
  bool ReadGroups(class CMeshBodyReader& reader);
  void FreeAll();

  uint32_t m_IndexedBones = 0;
  uint32_t m_GroupBones = 0;
  bool m_bSoftwareVP = false;
  CMeshStreamSet m_Streams;
  CMeshBuffers m_Buffers;
  bool m_bIndexed = false;
  std::vector<SkinBoneGroup> m_Groups;
  uint32_t m_FirstPalette = 0;
  uint32_t m_LastPalette = 0;
  uint32_t m_BlendKind = 0;
  bool m_bHasRemap = false;
  std::vector<uint32_t> m_Remap;
};
