#include "tools/writers/chat_writer.h"

#include <algorithm>
#include <cstring>

namespace writers {

namespace {

constexpr uint32_t kKinds = 13;
constexpr size_t kHeader_Bytes = 164;
constexpr size_t kSubject_Offset = 32;
constexpr size_t kSubject_Bytes = 128;

void Put_U32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void Put_F32(std::vector<uint8_t>& out, float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, 4);
  Put_U32(out, bits);
}

void Put_Communication(std::vector<uint8_t>& out, const Chat_Communication& c) {
  std::vector<uint8_t> header(kHeader_Bytes, 0);
  std::vector<uint8_t> words;
  Put_U32(words, Chat_Id(c.author, c.number));
  Put_U32(words, c.flags);
  Put_U32(words, c.kind);
  Put_F32(words, c.delay);
  std::copy(words.begin(), words.end(), header.begin());
  std::copy(c.subject.begin(), c.subject.end(), header.begin() + kSubject_Offset);
  out.insert(out.end(), header.begin(), header.end());
  Put_U32(out, static_cast<uint32_t>(c.text.size()));
  out.insert(out.end(), c.text.begin(), c.text.end());
}

}  // namespace

bool Write_Chat_Files(const std::vector<Chat_Communication>& communications,
                      const std::vector<std::string>& author_names, Chat_Files& out) {
  out = Chat_Files{};
  std::vector<Chat_Communication> sorted = communications;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Chat_Communication& a, const Chat_Communication& b) { return a.kind < b.kind; });
  for (const std::string& name : author_names) {
    if (!name.empty()) Put_U32(out.authors[name], 1);
  }
  uint32_t kind_table[kKinds][2] = {};
  std::vector<uint8_t> records;
  for (size_t i = 0; i < sorted.size(); ++i) {
    const Chat_Communication& c = sorted[i];
    if (c.kind >= kKinds || c.subject.size() >= kSubject_Bytes) return false;
    if (c.author >= author_names.size() || author_names[c.author].empty()) return false;
    if (kind_table[c.kind][1] == 0) kind_table[c.kind][0] = static_cast<uint32_t>(i);
    ++kind_table[c.kind][1];
    std::vector<uint8_t>& file = out.authors[author_names[c.author]];
    Put_U32(records, Chat_Id(c.author, c.number));
    Put_U32(records, c.kind);
    Put_U32(records, c.key);
    Put_F32(records, c.weight);
    Put_U32(records, static_cast<uint32_t>(file.size()));
    Put_Communication(file, c);
  }
  for (uint32_t magic : {1u, 13u, 17u}) Put_U32(out.master, magic);
  for (const auto& pair : kind_table) {
    Put_U32(out.master, pair[0]);
    Put_U32(out.master, pair[1]);
  }
  Put_U32(out.master, static_cast<uint32_t>(sorted.size()));
  out.master.insert(out.master.end(), records.begin(), records.end());
  return true;
}

}  // namespace writers
