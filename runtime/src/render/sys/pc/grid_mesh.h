#pragma once
// Render object type 11: a rows x columns vertex grid (the terrain tiles) drawn in bands that
// share one index list, at a level of detail that uses every (1 << level)-th vertex. In viewer
// mode the same triangles are drawn nearest first from the viewer's cell: the cell, the rest of
// its band to either side, then the other bands outwards.
#include <cstdint>
#include <vector>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/render_object.h"
#include "runtime/src/render/sys/pc/vb_controller.h"

class CStream;
class CD3DRenderStyle;
class CDeviceTexture;
struct CMatrix4x4;

// One draw of a band: an indexed triangle list over the band's vertices.
struct GridBandDraw {
  uint32_t BaseVertex;
  uint32_t MinIndex;
  uint32_t VertexCount;
  uint32_t StartIndex;
  uint32_t TriangleCount;
};

// One piece of a viewer-mode draw: the index region to build, then its band draw.
struct GridPieceDraw {
  uint32_t Region;
  GridBandDraw Draw;
};

class CGridMesh : public CRenderObject {
 public:
  static constexpr uint32_t kType = 11;

  CGridMesh() : CRenderObject(kType) {}
  ~CGridMesh() override { Destroy(); }

  bool Restore() override;
  bool ReleaseDeviceObjects() override;

  virtual uint32_t GetVertexCount() { return m_Rows * m_Columns; }
  virtual uint32_t GetTriangleCount();
  // Content flags: bit 0 position, 1 normal, 2 diffuse, 3-6 texture sets. Lays the grid out over
  // -X..X and Z..-Z; false (with the mesh empty) when the grid cannot be had.
  virtual bool Create(uint32_t content, uint32_t rows, uint32_t columns, const float* extents);
  virtual void Destroy();
  virtual uint32_t GetRows() { return m_Rows; }
  virtual uint32_t GetColumns() { return m_Columns; }
  virtual bool LockVertices() { return true; }
  virtual uint8_t* GetRowPointer(uint32_t row);
  virtual uint32_t GetVertexStride(uint32_t stream);
  virtual uint32_t GetFixedValue(uint32_t /*stream*/) { return 4; }
  virtual uint32_t GetNormalOffset(uint32_t stream);
  virtual uint32_t GetDiffuseOffset(uint32_t stream);
  virtual uint32_t GetTexCoordOffset0(uint32_t stream);
  virtual uint32_t GetTexCoordOffset1(uint32_t stream) { return GetTexCoordOffset0(stream) + 8; }
  virtual uint32_t GetTexCoordOffset2(uint32_t stream) { return GetTexCoordOffset0(stream) + 16; }
  virtual uint32_t GetTexCoordOffset3(uint32_t stream) { return GetTexCoordOffset0(stream) + 24; }
  // Sends the whole system copy of the vertices to the device buffer.
  virtual bool UnlockVertices();
  virtual uint32_t GetLODCount();
  virtual uint16_t GetLOD() { return m_Level; }
  virtual bool SetLOD(uint16_t level);
  virtual bool SetViewer(bool on, const CVector3* point);
  // Draws the grid in bands at the current level of detail, for every pass of the style.
  virtual bool Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures);

  // Reads byte_count bytes of vertices from the stream into the grid, from row 0; fails
  // without reading when they would run past rows x columns x stride.
  bool FillVertices(CStream* stream, uint32_t byte_count);
  // Builds the index list of a region unless it was the last one built; the triangle count of
  // one list. Regions 1, 2: horizontal bands (from the near, the far end); 3, 4: vertical
  // bands. Around the viewer's cell: 5 a whole band of full height, 6 the short last band,
  // 7 the cell's band left of the cell, 8 right of it, 9 the cell itself.
  uint32_t BuildRegion(uint32_t region);
  // The draws of the whole grid at the current level: horizontal bands when rows < columns,
  // else vertical bands.
  void PlanBands(std::vector<GridBandDraw>* draws);
  // Viewer mode: the cell (first row and column, whole steps) under the viewer point carried
  // into the mesh's space by the inverse of the world matrix (identity for null), kept one
  // step inside the last row and column.
  void ViewerCell(const CMatrix4x4* world, uint32_t* row, uint32_t* column) const;
  // Viewer mode: the pieces of the whole grid at the current level, nearest the cell first.
  void PlanViewerPieces(const CMatrix4x4* world, std::vector<GridPieceDraw>* pieces);
  bool IsViewerMode() const { return m_bViewer; }

  const std::vector<uint16_t>& Indices() const { return m_Indices; }
  uint32_t GetFormat() const { return m_Format; }
  bool HasDeviceBuffers() const { return m_bCreated; }

 private:
  uint32_t Step() const { return 1u << m_Level; }
  void FillLayout();
  void BuildHorizontal(bool from_far_end);
  void BuildVertical(bool from_far_end);
  void AddQuad(uint32_t top_left, uint32_t width, uint32_t height);
  // Quads of height h over the columns [from, to), each a step wide or narrower at the end.
  void AddBandQuads(uint32_t from, uint32_t to, uint32_t height);
  uint32_t BuildViewerRegion(uint32_t region);
  uint32_t LastBandStart(uint32_t count) const;
  bool CreateDeviceBuffers();
  bool UploadVertices();
  bool UploadIndices();
  static void SwitchToSoftware(void* mesh);

  CVertexBufferController m_Buffers;
  bool m_bCreated = false;
  uint32_t m_Format = 0;
  uint32_t m_Rows = 0;
  uint32_t m_Columns = 0;
  uint16_t m_Level = 0;
  bool m_bSoftwareVP = false;
  bool m_bViewer = false;
  CVector3 m_Viewer{0, 0, 0};
  uint32_t m_Viewer_Row = 0;
  uint32_t m_Viewer_Column = 0;
  float m_Extents[3] = {};
  uint32_t m_LastRegion = 0;
  uint32_t m_RegionTriangles = 0;
  std::vector<uint8_t> m_Vertices;
  std::vector<uint16_t> m_Indices;
  uint32_t m_IndexFill = 0;
};
