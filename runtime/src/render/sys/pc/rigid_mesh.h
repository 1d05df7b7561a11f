#pragma once
// Render object type 4: an indexed triangle mesh of up to four vertex streams, loaded from the
// type-4 body of a renderable resource.
#include <cstdint>

#include "runtime/src/render/sys/pc/mesh_stream_set.h"
#include "runtime/src/render/sys/pc/render_object.h"

class CStream;

class CRigidMesh : public CRenderObject {
 public:
  static constexpr uint32_t kType = 4;
  CRigidMesh() : CRenderObject(kType) {}
  ~CRigidMesh() override { FreeAll(); }

  virtual uint32_t GetVertexCount() { return m_Streams.VertexCount(); }
  virtual uint32_t GetTriangleCount() { return m_Streams.TriangleCount(); }
  virtual uint32_t GetUserValue() { return m_UserValue; }
  // Reads the type-4 body; false (with the mesh empty) on a short or inconsistent body.
  virtual bool Load(CStream* stream);

  bool IsShaderOnly() const { return m_Streams.IsShaderOnly(); }
  const CMeshStreamSet& Streams() const { return m_Streams; }

 private:
  void FreeAll();

  uint32_t m_UserValue = 0;
  bool m_bSoftwareVP = false;
  CMeshStreamSet m_Streams;
};
