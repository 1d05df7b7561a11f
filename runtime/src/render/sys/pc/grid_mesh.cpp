#include "runtime/src/render/sys/pc/grid_mesh.h"

#include <algorithm>
#include <cstring>

#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/mesh_pass_loop.h"
#include "runtime/src/render/sys/pc/mesh_vertex_format.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

namespace {

// Content bits 3-6 are texture sets; the vertex-format word has them at bits 4-7.
uint32_t FormatOfContent(uint32_t content) { return (content & 0x07u) | ((content & 0x78u) << 1); }

void PutFloat(uint8_t* at, float value) { std::memcpy(at, &value, sizeof(value)); }

}  // namespace

uint32_t CGridMesh::GetTriangleCount() {
  if (m_Rows < 2 || m_Columns < 2) return 0;
  return 2 * (m_Rows - 1) * (m_Columns - 1);
}

bool CGridMesh::Create(uint32_t content, uint32_t rows, uint32_t columns, const float* extents) {
  Destroy();
  // Indices are 16 bits wide, so the grid holds at most 65536 vertices.
  if (rows < 2 || columns < 2 || static_cast<uint64_t>(rows) * columns > mesh_format::kMaxVertices) return false;
  m_Rows = rows;
  m_Columns = columns;
  m_Format = FormatOfContent(content);
  for (int k = 0; k < 3; ++k) m_Extents[k] = extents != nullptr ? extents[k] : 1.0f;
  m_Vertices.assign(static_cast<size_t>(rows) * columns * mesh_format::VertexSize(m_Format), 0);
  m_Indices.assign(6 * static_cast<size_t>(std::max(rows, columns)), 0);
  FillLayout();
  // Without a device the grid lives in its system copies until the next restore.
  if (!RenderObjectDeviceExists()) return true;
  if (!CreateDeviceBuffers() || !UploadVertices()) {
    Destroy();
    return false;
  }
  return true;
}

bool CGridMesh::CreateDeviceBuffers() {
  const uint32_t largest = std::max(m_Rows, m_Columns);
  if (!m_Buffers.CreateVertexBuffer(0, m_Rows * m_Columns, m_Format, 0, true, true, m_bSoftwareVP, true) ||
      !m_Buffers.CreateIndexBuffer(6 * largest, false, true, m_bSoftwareVP)) {
    m_Buffers.Release();
    return false;
  }
  m_bCreated = true;
  return true;
}

bool CGridMesh::UploadVertices() {
  if (!m_bCreated) return false;
  const auto bytes = static_cast<uint32_t>(m_Vertices.size());
  if (!m_Buffers.Lock(0, true, false, 0, bytes)) return false;
  std::memcpy(m_Buffers.LockedData(0), m_Vertices.data(), bytes);
  return m_Buffers.Unlock(0);
}

bool CGridMesh::UploadIndices() {
  if (!m_bCreated) return false;
  const auto bytes = static_cast<uint32_t>(m_Indices.size() * sizeof(uint16_t));
  if (!m_Buffers.Lock(CVertexBufferController::kIndexBuffer, false, false, 0, bytes)) return false;
  std::memcpy(m_Buffers.LockedData(CVertexBufferController::kIndexBuffer), m_Indices.data(), bytes);
  return m_Buffers.Unlock(CVertexBufferController::kIndexBuffer);
}

bool CGridMesh::UnlockVertices() {
  UploadVertices();
  return true;
}

bool CGridMesh::ReleaseDeviceObjects() {
  if (m_bCreated) m_Buffers.Release();
  m_bCreated = false;
  return true;
}

bool CGridMesh::Restore() {
  if (m_bCreated || m_Vertices.empty()) return true;
  if (ForceSWVertProcess.Value != 0) m_bSoftwareVP = true;
  const uint32_t largest = std::max(m_Rows, m_Columns);
  if (!m_Buffers.CreateVertexBuffer(0, m_Rows * m_Columns, m_Format, 0, true, true, m_bSoftwareVP, true))
    return false;
  if (!m_Buffers.CreateIndexBuffer(6 * largest, false, true, m_bSoftwareVP)) {
    Destroy();
    return false;
  }
  m_bCreated = true;
  UploadVertices();
  // The index list is rebuilt (and uploaded) at the next draw.
  m_LastRegion = 0;
  return true;
}

void CGridMesh::SwitchToSoftware(void* mesh) {
  auto* self = static_cast<CGridMesh*>(mesh);
  self->ReleaseDeviceObjects();
  self->Restore();
}

bool CGridMesh::Render(const CMatrix4x4* world, CD3DRenderStyle* style, CDeviceTexture* const* textures) {
  if (style == nullptr) return false;
  mesh_pass::SetWorld(world);
  mesh_pass::SetSoftware(m_bSoftwareVP);
  MeshPassTarget target;
  target.Software = &m_bSoftwareVP;
  target.FixedFormat = m_Buffers.Fvf(0);
  target.SwitchToSoftware = &CGridMesh::SwitchToSoftware;
  target.Mesh = this;
  std::vector<GridPieceDraw> pieces;
  if (m_bViewer) {
    PlanViewerPieces(world, &pieces);
  } else {
    std::vector<GridBandDraw> bands;
    PlanBands(&bands);
    // The bands share the one region PlanBands built.
    for (const GridBandDraw& band : bands) pieces.push_back({m_LastRegion, band});
  }
  return mesh_pass::RunPasses(
      style, textures, target, [this] { m_Buffers.SetStreams(0); },
      [&](uint32_t) {
        for (const GridPieceDraw& piece : pieces) {
          const GridBandDraw& band = piece.Draw;
          if (band.TriangleCount == 0) continue;
          BuildRegion(piece.Region);
          m_Buffers.SetStreams(band.BaseVertex);
          if (!m_Buffers.DrawIndexed(band.MinIndex, band.StartIndex, band.VertexCount, band.TriangleCount))
            return false;
        }
        return true;
      });
}

void CGridMesh::FillLayout() {
  const uint32_t stride = GetVertexStride(0);
  const uint32_t sets = mesh_format::TexSetCount(m_Format);
  const float x = m_Extents[0];
  const float z = m_Extents[2];
  for (uint32_t i = 0; i < m_Rows; ++i)
    for (uint32_t j = 0; j < m_Columns; ++j) {
      uint8_t* v = GetRowPointer(i) + j * stride;
      if (m_Format & mesh_format::kPosition) {
        PutFloat(v, -x + j * 2 * x / (m_Columns - 1));
        PutFloat(v + 4, 0.0f);
        PutFloat(v + 8, z - i * 2 * z / (m_Rows - 1));
      }
      if (m_Format & mesh_format::kNormal) {
        uint8_t* n = v + GetNormalOffset(0);
        PutFloat(n, 0.0f);
        PutFloat(n + 4, 1.0f);
        PutFloat(n + 8, 0.0f);
      }
      if (m_Format & mesh_format::kDiffuse) std::memset(v + GetDiffuseOffset(0), 0xFF, 4);
      for (uint32_t t = 0; t < sets; ++t) {
        uint8_t* uv = v + GetTexCoordOffset0(0) + 8 * t;
        PutFloat(uv, 0.01f + j * 0.98f / (m_Columns - 1));
        PutFloat(uv + 4, 0.01f + i * 0.98f / (m_Rows - 1));
      }
    }
}

void CGridMesh::Destroy() {
  m_Buffers.Release();
  m_bCreated = false;
  m_Format = m_Rows = m_Columns = 0;
  m_Level = 0;
  m_LastRegion = m_RegionTriangles = 0;
  m_Vertices.clear();
  m_Indices.clear();
}

uint8_t* CGridMesh::GetRowPointer(uint32_t row) {
  if (m_Vertices.empty() || row >= m_Rows) return nullptr;
  return m_Vertices.data() + static_cast<size_t>(row) * m_Columns * GetVertexStride(0);
}

uint32_t CGridMesh::GetVertexStride(uint32_t) { return mesh_format::VertexSize(m_Format); }

uint32_t CGridMesh::GetNormalOffset(uint32_t) { return (m_Format & mesh_format::kPosition) ? 12 : 0; }

uint32_t CGridMesh::GetDiffuseOffset(uint32_t s) {
  return GetNormalOffset(s) + ((m_Format & mesh_format::kNormal) ? 12 : 0);
}

uint32_t CGridMesh::GetTexCoordOffset0(uint32_t s) {
  return GetDiffuseOffset(s) + ((m_Format & mesh_format::kDiffuse) ? 4 : 0);
}

bool CGridMesh::FillVertices(CStream* stream, uint32_t byte_count) {
  if (stream == nullptr || byte_count > m_Vertices.size()) return false;
  return byte_count == 0 || stream->Read(m_Vertices.data(), byte_count) == byte_count;
}

uint32_t CGridMesh::GetLODCount() {
  const uint32_t largest = std::max(m_Rows, m_Columns);
  if (m_Rows == 0 || m_Columns == 0 || largest <= 2) return 0;
  uint32_t bits = 0;
  for (uint32_t v = largest - 2; v != 0; v >>= 1) ++bits;
  return bits;
}

bool CGridMesh::SetLOD(uint16_t level) {
  m_Level = level;
  m_LastRegion = 0;
  return true;
}

bool CGridMesh::SetViewer(bool on, const CVector3* point) {
  m_bViewer = on;
  if (point != nullptr) m_Viewer = *point;
  return true;
}

void CGridMesh::AddQuad(uint32_t t, uint32_t w, uint32_t h) {
  if (m_IndexFill + 6 > m_Indices.size()) return;
  const uint32_t down = h * m_Columns;
  const uint32_t quad[6] = {t, t + w, t + w + down, t, t + w + down, t + down};
  for (uint32_t index : quad) m_Indices[m_IndexFill++] = static_cast<uint16_t>(index);
}

void CGridMesh::BuildHorizontal(bool from_far_end) {
  const uint32_t s = Step();
  const uint32_t last = m_Columns - 1;
  const uint32_t heights[2] = {std::min(m_Rows - 1, s), (m_Rows - 1 >= s) ? (m_Rows - 1) % s : 0};
  for (uint32_t h : heights) {
    if (h == 0) break;
    for (uint32_t n = 0; n * s < last; ++n) {
      uint32_t c = n * s;
      uint32_t w = std::min(s, last - c);
      if (from_far_end) {
        const uint32_t end = last - n * s;
        w = std::min(s, end);
        c = end - w;
      }
      AddQuad(c, w, h);
    }
  }
}

void CGridMesh::BuildVertical(bool from_far_end) {
  const uint32_t s = Step();
  const uint32_t last = m_Rows - 1;
  const uint32_t widths[2] = {std::min(m_Columns - 1, s), (m_Columns - 1 >= s) ? (m_Columns - 1) % s : 0};
  for (uint32_t w : widths) {
    if (w == 0) break;
    for (uint32_t n = 0; n * s < last; ++n) {
      uint32_t r = n * s;
      uint32_t h = std::min(s, last - r);
      if (from_far_end) {
        const uint32_t end = last - n * s;
        h = std::min(s, end);
        r = end - h;
      }
      AddQuad(r * m_Columns, w, h);
    }
  }
}

uint32_t CGridMesh::BuildRegion(uint32_t region) {
  if (region == m_LastRegion && region != 0) return m_RegionTriangles;
  if (m_Rows < 2 || m_Columns < 2 || region < 1 || region > 9) return 0;
  m_IndexFill = 0;
  if (region >= 5) {
    m_RegionTriangles = BuildViewerRegion(region);
    m_LastRegion = region;
    UploadIndices();
    return m_RegionTriangles;
  }
  if (region <= 2)
    BuildHorizontal(region == 2);
  else
    BuildVertical(region == 4);
  // Both lists of a region hold the same number of quads; the count is that of one list.
  const uint32_t s = Step();
  const uint32_t span = region <= 2 ? m_Columns - 1 : m_Rows - 1;
  m_RegionTriangles = 2 * ((span + s - 1) / s);
  m_LastRegion = region;
  UploadIndices();
  return m_RegionTriangles;
}

void CGridMesh::PlanBands(std::vector<GridBandDraw>* draws) {
  draws->clear();
  if (m_Rows < 2 || m_Columns < 2) return;
  const uint32_t s = Step();
  if (m_Rows < m_Columns) {
    const uint32_t triangles = BuildRegion(1);
    for (uint32_t b = 0; b < m_Rows - 1; b += s) {
      const uint32_t height = std::min(s, m_Rows - b - 1);
      // A short last band uses the second list, which exists only when the grid spans a step.
      const bool second = height < s && m_Rows - 1 >= s;
      draws->push_back({b * m_Columns, 0, (height + 1) * m_Columns, second ? 3 * triangles : 0, triangles});
    }
    return;
  }
  const uint32_t triangles = BuildRegion(3);
  for (uint32_t c = 0; c < m_Columns - 1; c += s) {
    const uint32_t width = std::min(s, m_Columns - c - 1);
    const bool second = width < s && m_Columns - 1 >= s;
    draws->push_back({c, 0, m_Rows * m_Columns - c, second ? 3 * triangles : 0, triangles});
  }
}

void CGridMesh::AddBandQuads(uint32_t from, uint32_t to, uint32_t height) {
  const uint32_t s = Step();
  for (uint32_t c = from; c < to; c += s) AddQuad(c, std::min(s, to - c), height);
}

uint32_t CGridMesh::LastBandStart(uint32_t count) const {
  const uint32_t s = Step();
  return count < 2 ? 0 : (count - 2) / s * s;
}

uint32_t CGridMesh::BuildViewerRegion(uint32_t region) {
  const uint32_t s = Step();
  const uint32_t last = m_Columns - 1;
  const uint32_t cell_height = std::min(s, m_Rows - 1 - m_Viewer_Row);
  const uint32_t cell_width = std::min(s, last - m_Viewer_Column);
  switch (region) {
    case 5:
      AddBandQuads(0, last, std::min(m_Rows - 1, s));
      break;
    case 6:
      if (m_Rows - 1 >= s && (m_Rows - 1) % s != 0) AddBandQuads(0, last, (m_Rows - 1) % s);
      break;
    case 7:
      AddBandQuads(0, m_Viewer_Column, cell_height);
      break;
    case 8:
      AddBandQuads(m_Viewer_Column + cell_width, last, cell_height);
      break;
    default:
      AddQuad(m_Viewer_Column, cell_width, cell_height);
      break;
  }
  return m_IndexFill / 3;
}

void CGridMesh::ViewerCell(const CMatrix4x4* world, uint32_t* row, uint32_t* column) const {
  CVector3 local = m_Viewer;
  if (world != nullptr) {
    CMatrix4x4 inverse = *world;
    if (inverse.Inverse() != 0.0f) local.Transform_By_Matrix4(inverse);
  }
  // The fraction of the way across each axis: x runs from -X to X, z from Z down to -Z.
  const auto place = [this](float fraction, uint32_t count) {
    float at = fraction * static_cast<float>(count - 1);
    if (!(at > 0.0f)) at = 0.0f;  // also a point that is not a number
    at = std::min(at, static_cast<float>(count - 1));
    const uint32_t s = Step();
    return std::min(static_cast<uint32_t>(at) / s * s, LastBandStart(count));
  };
  const float x = m_Extents[0], z = m_Extents[2];
  *column = place(x > 0.0f ? (local.x + x) / (2.0f * x) : 0.0f, m_Columns);
  *row = place(z > 0.0f ? (z - local.z) / (2.0f * z) : 0.0f, m_Rows);
}

void CGridMesh::PlanViewerPieces(const CMatrix4x4* world, std::vector<GridPieceDraw>* pieces) {
  pieces->clear();
  if (m_Rows < 2 || m_Columns < 2) return;
  uint32_t row = 0, column = 0;
  ViewerCell(world, &row, &column);
  // The cell's own regions change with the cell.
  if ((row != m_Viewer_Row || column != m_Viewer_Column) && m_LastRegion >= 7) m_LastRegion = 0;
  m_Viewer_Row = row;
  m_Viewer_Column = column;
  const uint32_t s = Step();
  const uint32_t last = m_Columns - 1;
  const auto quads = [s](uint32_t span) { return (span + s - 1) / s; };
  const auto band = [this](uint32_t first_row, uint32_t height, uint32_t triangles) {
    return GridBandDraw{first_row * m_Columns, 0, (height + 1) * m_Columns, 0, triangles};
  };
  const uint32_t cell_height = std::min(s, m_Rows - 1 - row);
  const uint32_t cell_width = std::min(s, last - column);
  pieces->push_back({9, band(row, cell_height, 2)});
  if (column > 0) pieces->push_back({7, band(row, cell_height, 2 * quads(column))});
  if (column + cell_width < last) pieces->push_back({8, band(row, cell_height, 2 * quads(last - column - cell_width))});
  // The other bands outwards from the cell's, alternately before and after it.
  const uint32_t whole = 2 * quads(last);
  for (uint32_t d = s;; d += s) {
    const bool before = row >= d;
    const bool after = row + d < m_Rows - 1;
    if (!before && !after) break;
    if (before) pieces->push_back({5, band(row - d, s, whole)});
    if (after) {
      const uint32_t height = std::min(s, m_Rows - 1 - (row + d));
      pieces->push_back({height < s ? 6u : 5u, band(row + d, height, whole)});
    }
  }
}
