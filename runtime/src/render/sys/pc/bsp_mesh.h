#pragma once
// Render object type 9: a single-stream indexed mesh whose triangles are grouped into draw
// ranges, ordered back to front for an eye point by a tree of planes.
#include <cstdint>
#include <vector>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/render_object.h"
#include "runtime/src/render/sys/pc/vb_controller.h"

class CStream;
class CD3DRenderStyle;
class CDeviceTexture;
struct CMatrix4x4;

class CBspMesh : public CRenderObject {
 public:
  static constexpr uint32_t kType = 9;
  static constexpr uint32_t kNoChild = 0xFFFFFFFFu;
  // Deepest level the back-to-front walk descends to.
  static constexpr uint32_t kMaxDepth = 1024;

  struct Range {
    uint32_t FrameStamp;
    uint32_t Unused[3];
    uint32_t StartIndex;
    uint32_t TriangleCount;
  };
  struct Node {
    uint32_t Front;
    uint32_t Back;
    float Plane[4];  // the eye is in front when a*x + b*y + c*z + d >= 0
    std::vector<uint32_t> Ranges;
  };

  CBspMesh() : CRenderObject(kType) {}
  ~CBspMesh() override { FreeAll(); }

  bool Restore() override;
  bool ReleaseDeviceObjects() override;

  virtual uint32_t GetVertexCount() { return m_VertexCount; }
  virtual uint32_t GetTriangleCount() { return m_TriangleCount; }
  // Draws the whole triangle list for every pass of the style.
  virtual bool RenderAll(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures);
  // Draws the ranges back to front for the render device's camera, each range once.
  virtual bool RenderSorted(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures);
  // Reads the body; false (with the mesh empty) on a short or inconsistent body.
  virtual bool Load(CStream* stream);
  virtual bool Unused3(uint32_t, uint32_t, uint32_t) { return false; }
  virtual bool Unused0() { return false; }

  // The ranges to draw for an eye in the mesh's space, back to front, each once: ranges whose
  // stamp already equals frame are skipped, and every range drawn gets that stamp.
  void SortedRanges(const CVector3& eye, uint32_t frame, std::vector<uint32_t>* out);
  // Sets every range's stamp to 0, as each sorted render does first.
  void ClearStamps();

  uint32_t GetFormat() const { return m_Format; }
  bool HasDeviceBuffers() const { return m_Buffers.IndexBuffer() != nullptr; }
  const std::vector<Range>& Ranges() const { return m_Ranges; }
  const std::vector<Node>& Nodes() const { return m_Nodes; }

 private:
  bool ReadRanges(class CMeshBodyReader& reader);
  bool ReadNodes(class CMeshBodyReader& reader);
  void Walk(uint32_t node, uint32_t depth, const CVector3& eye, uint32_t frame, std::vector<uint8_t>* visited,
            std::vector<uint32_t>* out);
  void FreeAll();
  static void SwitchToSoftware(void* mesh);

  CVertexBufferController m_Buffers;

  uint32_t m_VertexCount = 0;
  uint32_t m_TriangleCount = 0;
  uint32_t m_Format = 0;
  bool m_bSoftwareVP = false;
  bool m_bShaderOnly = false;
  std::vector<Node> m_Nodes;
  std::vector<Range> m_Ranges;
  std::vector<uint8_t> m_Vertices;
  std::vector<uint16_t> m_Indices;
};
