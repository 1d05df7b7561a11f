#pragma once
// Render object type 4: an indexed triangle mesh of up to four vertex streams, loaded from the
// type-4 body of a renderable resource. Small single-stream meshes live in a block of the shared
// sub-allocator; the others own their buffers.
#include <cstdint>

#include "platform/d3d/d3d8.h"
#include "runtime/src/render/sys/pc/mesh_buffers.h"
#include "runtime/src/render/sys/pc/mesh_stream_set.h"
#include "runtime/src/render/sys/pc/render_object.h"

class CStream;
class CD3DRenderStyle;
class CDeviceTexture;
struct CMatrix4x4;

class CRigidMesh : public CRenderObject {
 public:
  static constexpr uint32_t kType = 4;
  CRigidMesh() : CRenderObject(kType) {}
  ~CRigidMesh() override { FreeAll(); }

  bool Restore() override;
  bool ReleaseDeviceObjects() override;

  virtual uint32_t GetVertexCount() { return m_Streams.VertexCount(); }
  virtual uint32_t GetTriangleCount() { return m_Streams.TriangleCount(); }
  virtual uint32_t GetUserValue() { return m_UserValue; }
  // Draws every pass of the style; colour (r, g, b, a) and texture factor are optional
  // overrides for this draw only.
  virtual bool Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures,
                      const float* colour, const DWORD* texture_factor);
  // Reads the type-4 body; false (with the mesh empty) on a short or inconsistent body.
  virtual bool Load(CStream* stream);

  bool IsShaderOnly() const { return m_Streams.IsShaderOnly(); }
  bool IsSoftwareProcessed() const { return m_bSoftwareVP; }
  const CMeshStreamSet& Streams() const { return m_Streams; }
  const CMeshBuffers& Buffers() const { return m_Buffers; }

 private:
  void FreeAll();
  static void SwitchToSoftware(void* mesh);

  uint32_t m_UserValue = 0;
  bool m_bSoftwareVP = false;
  CMeshStreamSet m_Streams;
  CMeshBuffers m_Buffers;
};
