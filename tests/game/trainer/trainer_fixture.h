#pragma once
// A fixture for the trainer's stores: every test runs in a fresh folder of its own with a set
// calendar clock (UTC), a seeded random generator and recorders for messages and error lines,
// and leaves the communications manager stopped and empty.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "game/trainer/CCommunications_Mgr.h"
#include "tools/writers/chat_writer.h"

namespace trainer_test {

constexpr int64_t kNow = 1700000000;  // the set calendar time

void Set_Now(int64_t seconds);

// Bytes laid out field by field at fixed offsets.
class Golden {
 public:
  explicit Golden(size_t size = 0) : m_Bytes(size, 0) {}
  Golden& U32(size_t offset, uint32_t value) {
    Grow(offset + 4);
    for (int i = 0; i < 4; ++i) m_Bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return *this;
  }
  Golden& U16(size_t offset, uint16_t value) {
    Grow(offset + 2);
    m_Bytes[offset] = static_cast<uint8_t>(value);
    m_Bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
    return *this;
  }
  Golden& F32(size_t offset, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    return U32(offset, bits);
  }
  Golden& Byte(size_t offset, uint8_t value) {
    Grow(offset + 1);
    m_Bytes[offset] = value;
    return *this;
  }
  Golden& Text(size_t offset, const std::string& text) {
    Grow(offset + text.size());
    std::memcpy(m_Bytes.data() + offset, text.data(), text.size());
    return *this;
  }
  size_t Size() const { return m_Bytes.size(); }
  const std::vector<uint8_t>& Bytes() const { return m_Bytes; }

 private:
  void Grow(size_t size) {
    if (m_Bytes.size() < size) m_Bytes.resize(size, 0);
  }
  std::vector<uint8_t> m_Bytes;
};

bool Write_File(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> Read_File(const std::string& path);
bool File_There(const std::string& path);
// The names in the working folder (and in "chat/"), sorted.
std::vector<std::string> List_Folder();

// Writes a master list and author files into "chat/" of the working folder.
bool Write_Chat(const std::vector<writers::Chat_Communication>& communications);
// Author file names by author id 0-17; ids 0 and 17 both name "Unknown".
std::vector<std::string> Author_Names();

class TrainerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Stops the manager and empties it and its stores without saving anything; the stores
  // forget what their files' troubles were.
  static void Reset_Manager();

  std::string m_Folder;
  std::string m_Old_Folder;
  std::vector<std::string> m_Messages;
  std::vector<std::string> m_Errors;  // the lines written to stderr as errors
};

}  // namespace trainer_test
