#pragma once
// Little-endian reading and writing of the trainer's record files. The reader checks every
// read against the bytes it holds; the writer builds a whole file in memory so that it can be
// replaced in one atomic step.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class Byte_Reader {
 public:
  Byte_Reader(const uint8_t* data, size_t size) : m_Data(data), m_Size(size) {}
  explicit Byte_Reader(const std::vector<uint8_t>& bytes) : Byte_Reader(bytes.data(), bytes.size()) {}

  size_t Remaining() const { return m_Size - m_Pos; }
  size_t Position() const { return m_Pos; }
  bool Seek(size_t pos) {
    if (pos > m_Size) return false;
    m_Pos = pos;
    return true;
  }

  bool Read_Bytes(void* out, size_t count) {
    if (count > Remaining()) return false;
    if (count != 0) std::memcpy(out, m_Data + m_Pos, count);
    m_Pos += count;
    return true;
  }
  bool Read_U32(uint32_t& value) {
    uint8_t b[4];
    if (!Read_Bytes(b, 4)) return false;
    value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
  }
  bool Read_U16(uint16_t& value) {
    uint8_t b[2];
    if (!Read_Bytes(b, 2)) return false;
    value = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
  }
  bool Read_F32(float& value) {
    uint32_t bits = 0;
    if (!Read_U32(bits)) return false;
    std::memcpy(&value, &bits, 4);
    return true;
  }
  // A fixed text field; its last byte becomes a zero so that the text always ends inside it.
  template <size_t N>
  bool Read_Text(char (&field)[N]) {
    if (!Read_Bytes(field, N)) return false;
    field[N - 1] = 0;
    return true;
  }
  bool Read_String(std::string& text, size_t length) {
    if (length > Remaining()) return false;
    text.assign(reinterpret_cast<const char*>(m_Data + m_Pos), length);
    m_Pos += length;
    return true;
  }

 private:
  const uint8_t* m_Data;
  size_t m_Size;
  size_t m_Pos = 0;
};

class Byte_Writer {
 public:
  void Write_Bytes(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    m_Bytes.insert(m_Bytes.end(), p, p + count);
  }
  void Write_U32(uint32_t value) {
    const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    Write_Bytes(b, 4);
  }
  void Write_U16(uint16_t value) {
    const uint8_t b[2] = {uint8_t(value), uint8_t(value >> 8)};
    Write_Bytes(b, 2);
  }
  void Write_F32(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    Write_U32(bits);
  }
  template <size_t N>
  void Write_Text(const char (&field)[N]) {
    Write_Bytes(field, N);
  }
  void Write_String(const std::string& text) { Write_Bytes(text.data(), text.size()); }

  const std::vector<uint8_t>& Bytes() const { return m_Bytes; }

 private:
  std::vector<uint8_t> m_Bytes;
};
