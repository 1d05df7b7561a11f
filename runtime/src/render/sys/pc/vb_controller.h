#pragma once
// Up to four vertex streams and one 16-bit index buffer of the device, with what the renderer
// needs to know of each: vertex format, size and count, lock pointers and the dynamic flags.
// Every render object keeps its static geometry in one of these, and so does every block of
// the two vertex-buffer pools.
#include <cstdint>

#include "platform/d3d/d3d8.h"

// Vertex description flags given to CreateVertexBuffer.
namespace vb_desc {
constexpr uint32_t kPosition = 0x0001;
constexpr uint32_t kNormal = 0x0002;
constexpr uint32_t kDiffuse = 0x0004;
constexpr uint32_t kPointSize = 0x0008;
constexpr uint32_t kTexSet1 = 0x0010;
constexpr uint32_t kTexSet2 = 0x0020;
constexpr uint32_t kTexSet3 = 0x0040;
constexpr uint32_t kTexSet4 = 0x0080;
constexpr uint32_t kShaderExtras = 0x7F00;  // bits 8-14: bytes only vertex shaders read
}  // namespace vb_desc

// Vertex layouts 0-6: plain, then one to three blend weights, then one to three weights with
// four index bytes as the last beta. Any other layout with position and normal makes nothing.
constexpr uint32_t kVertexLayoutCount = 7;

class CVertexBufferController {
 public:
  static constexpr int kStreamCount = 4;
  // Lock and Unlock take a stream 0-3, or this for the index buffer.
  static constexpr int kIndexBuffer = 4;

  CVertexBufferController() { Clear(); }

  // Forgets everything without releasing (the device buffers are someone else's concern).
  void Clear();
  // Releases the four vertex buffers and the index buffer, then clears.
  void Release();

  bool CreateVertexBuffer(uint32_t stream, uint32_t vertex_count, uint32_t desc_flags, uint32_t layout,
                          bool dynamic, bool write_only, bool software, bool points);
  bool CreateIndexBuffer(uint32_t index_count, bool dynamic, bool write_only, bool software);

  // Binds the streams and the index buffer through the render state manager's caches.
  void SetStreams(UINT base_vertex);
  bool DrawIndexed(UINT min_index, UINT start_index, UINT vertex_count, UINT primitive_count);
  bool DrawPoints(UINT start_vertex, UINT count);

  // Locks a stream (0-3) or the index buffer (4); true at once when it is already locked. The
  // discard and no-overwrite flags reach the device only for a dynamic buffer.
  bool Lock(int which, bool discard, bool no_overwrite, uint32_t offset, uint32_t size);
  // True when the buffer is not locked.
  bool Unlock(int which);
  // The pointer of a current lock, null when not locked.
  uint8_t* LockedData(int which) const;

  IDirect3DVertexBuffer8* VertexBuffer(int stream) const;
  IDirect3DIndexBuffer8* IndexBuffer() const { return m_pIndexBuffer; }
  DWORD Fvf(int stream) const { return ValidStream(stream) ? m_Fvf[stream] : 0; }
  uint32_t VertexSize(int stream) const { return ValidStream(stream) ? m_VertexSize[stream] : 0; }
  uint32_t VertexCount(int stream) const { return ValidStream(stream) ? m_VertexCount[stream] : 0; }
  uint32_t Layout(int stream) const { return ValidStream(stream) ? m_Layout[stream] : 0; }
  uint32_t TexCoordSets(int stream) const { return ValidStream(stream) ? m_TexSets[stream] : 0; }
  uint32_t IndexCount() const { return m_IndexCount; }
  bool IsDynamic(int stream) const { return ValidStream(stream) && m_Dynamic[stream] != 0; }

  // The device vertex format of a description and layout; false when the layout makes nothing.
  // Shader-driven descriptions (bits 8-14) give format 0, with the extras counted in the size.
  static bool DescribeVertex(uint32_t desc_flags, uint32_t layout, DWORD* fvf, uint32_t* size,
                             uint32_t* tex_sets);
  // Bytes of one vertex of a fixed-function format.
  static uint32_t FvfSize(DWORD fvf);

 private:
  static bool ValidStream(int stream) { return stream >= 0 && stream < kStreamCount; }
  static DWORD Usage(bool dynamic, bool write_only, bool software, bool points);

  IDirect3DVertexBuffer8* m_pVertexBuffers[kStreamCount];
  IDirect3DIndexBuffer8* m_pIndexBuffer;
  uint8_t* m_pLocked[kStreamCount + 1];
  uint32_t m_Layout[kStreamCount];
  DWORD m_Fvf[kStreamCount];
  uint32_t m_VertexSize[kStreamCount];
  uint32_t m_VertexCount[kStreamCount];
  uint32_t m_TexSets[kStreamCount];
  uint32_t m_IndexCount;
  uint8_t m_Dynamic[kStreamCount];
  uint8_t m_IndexDynamic;
};
