#include "runtime/src/render/sys/pc/mesh_body_reader.h"

#include <cstring>

#include "runtime/src/core/streams.h"

bool CMeshBodyReader::ReadRaw(void* buffer, uint32_t length) {
  if (length == 0) return true;
  return m_pStream != nullptr && m_pStream->Read(buffer, length) == length;
}

bool CMeshBodyReader::ReadU32(uint32_t* value) {
  uint8_t b[4];
  if (!ReadRaw(b, 4)) return false;
  *value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
  return true;
}

bool CMeshBodyReader::ReadU16(uint16_t* value) {
  uint8_t b[2];
  if (!ReadRaw(b, 2)) return false;
  *value = static_cast<uint16_t>(b[0] | b[1] << 8);
  return true;
}

bool CMeshBodyReader::ReadByte(uint8_t* value) { return ReadRaw(value, 1); }

bool CMeshBodyReader::ReadFloat(float* value) {
  uint32_t bits = 0;
  if (!ReadU32(&bits)) return false;
  std::memcpy(value, &bits, sizeof(bits));
  return true;
}

bool CMeshBodyReader::HasBytes(uint64_t count) {
  if (m_pStream == nullptr) return false;
  uint32_t pos = 0;
  uint32_t len = 0;
  if (!m_pStream->GetPos(&pos) || !m_pStream->GetLen(&len)) return true;  // unknown: let the read decide
  return pos <= len && count <= static_cast<uint64_t>(len - pos);
}

bool CMeshBodyReader::ReadBytes(uint32_t count, std::vector<uint8_t>* out) {
  if (!HasBytes(count)) return false;
  out->assign(count, 0);
  return ReadRaw(out->data(), count);
}

bool CMeshBodyReader::ReadU32Array(uint32_t count, std::vector<uint32_t>* out) {
  if (!HasBytes(static_cast<uint64_t>(count) * 4)) return false;
  out->assign(count, 0);
  for (uint32_t i = 0; i < count; ++i)
    if (!ReadU32(&(*out)[i])) return false;
  return true;
}

bool CMeshBodyReader::ReadTriangles(uint32_t triangles, uint32_t vertex_count, std::vector<uint16_t>* out) {
  const uint64_t index_count = static_cast<uint64_t>(triangles) * 3;
  if (index_count > 0xFFFFFFFFu / 2 || !HasBytes(index_count * 2)) return false;
  std::vector<uint8_t> raw;
  if (!ReadBytes(static_cast<uint32_t>(index_count * 2), &raw)) return false;
  out->assign(static_cast<size_t>(index_count), 0);
  for (size_t i = 0; i < out->size(); ++i) {
    const uint16_t index = static_cast<uint16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
    if (index >= vertex_count) return false;
    (*out)[i] = index;
  }
  return true;
}
