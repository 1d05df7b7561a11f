#pragma once
// Writer of the trainer's communication files: the master list "chat/master_com.dat" (kind
// table and records) and one author file "chat/com_<Name>.act" per author, holding each
// communication's 164-byte header, text length and text.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace writers {

struct Chat_Communication {
  uint32_t kind = 0;    // 0-12
  uint32_t author = 0;  // top byte of the id
  uint32_t number = 0;  // low 24 bits of the id
  uint32_t key = 0;
  float weight = 1.0f;
  uint32_t flags = 0;   // 2 private, 4 repeatable
  float delay = 0.0f;   // minutes
  std::string subject;  // at most 127 characters
  std::string text;
};

struct Chat_Files {
  std::vector<uint8_t> master;
  std::map<std::string, std::vector<uint8_t>> authors;  // by author name
};

// The id of a communication: author in the top byte.
inline uint32_t Chat_Id(uint32_t author, uint32_t number) { return author << 24 | (number & 0xFFFFFF); }

// Builds the files; records are grouped by kind (keeping their order within a kind) and every
// author named by author_names (indexed by author id) gets a file, even an empty one. False
// when a kind is above 12, a subject too long or an author has no name.
bool Write_Chat_Files(const std::vector<Chat_Communication>& communications,
                      const std::vector<std::string>& author_names, Chat_Files& out);

}  // namespace writers
