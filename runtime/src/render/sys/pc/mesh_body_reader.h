#pragma once
// Checked reads of a mesh body: every read must deliver all its bytes, and an array is read
// only when the stream still holds that many bytes, so a damaged body fails its load instead
// of leaving a half-filled mesh or asking for an absurd allocation.
#include <cstdint>
#include <vector>

class CStream;

class CMeshBodyReader {
 public:
  explicit CMeshBodyReader(CStream* stream) : m_pStream(stream) {}

  bool ReadU32(uint32_t* value);
  bool ReadU16(uint16_t* value);
  bool ReadByte(uint8_t* value);
  bool ReadFloat(float* value);
  // Reads count bytes into out (resized); fails without allocating when fewer remain.
  bool ReadBytes(uint32_t count, std::vector<uint8_t>* out);
  // Reads count u32 values into out.
  bool ReadU32Array(uint32_t count, std::vector<uint32_t>* out);
  // Reads 3 * triangles u16 indices and checks each against the vertex count.
  bool ReadTriangles(uint32_t triangles, uint32_t vertex_count, std::vector<uint16_t>* out);
  // True when the stream still holds at least count bytes (when its length is known).
  bool HasBytes(uint64_t count);

 private:
  bool ReadRaw(void* buffer, uint32_t length);
  CStream* m_pStream;
};
