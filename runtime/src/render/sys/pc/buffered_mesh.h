#pragma once
// Render object type 6: a multi-stream indexed mesh that always owns its device buffers and
// keeps five extra values and a table from its body.
#include <cstdint>
#include <vector>

#include "runtime/src/render/sys/pc/mesh_buffers.h"
#include "runtime/src/render/sys/pc/mesh_stream_set.h"
#include "runtime/src/render/sys/pc/render_object.h"

class CStream;
class CD3DRenderStyle;
class CDeviceTexture;
struct CMatrix4x4;

class CBufferedMesh : public CRenderObject {
 public:
  static constexpr uint32_t kType = 6;
  CBufferedMesh() : CRenderObject(kType) {}
  ~CBufferedMesh() override { FreeAll(); }

  bool Restore() override;
  bool ReleaseDeviceObjects() override;

  virtual uint32_t GetVertexCount() { return m_Streams.VertexCount(); }
  virtual uint32_t GetTriangleCount() { return m_Streams.TriangleCount(); }
  virtual uint32_t GetExtraValue() { return m_Extra[5]; }
  // Draws every pass; colour (r, g, b, a) replaces the material's ambient colour and diffuse
  // alpha for this draw only.
  virtual bool Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                      const float* colour);
  // Reads the body; false (with the mesh empty) on a short or inconsistent body.
  virtual bool Load(CStream* stream);

  const std::vector<uint32_t>& Table() const { return m_Table; }
  const CMeshStreamSet& Streams() const { return m_Streams; }
  const CMeshBuffers& Buffers() const { return m_Buffers; }

 private:
  void FreeAll();
  static void SwitchToSoftware(void* mesh);

  uint32_t m_Extra[6] = {};  // values 1 to 5; [0] unused
  std::vector<uint32_t> m_Table;
  bool m_bSoftwareVP = false;
  CMeshStreamSet m_Streams;
  CMeshBuffers m_Buffers;
};
