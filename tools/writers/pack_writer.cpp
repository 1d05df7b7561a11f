#include "tools/writers/pack_writer.h"

#include <zlib.h>

#include <cstdio>

#include "tools/writers/content_files.h"

namespace writers {

std::string TextMapFileName(int set) { return "rezmap_" + std::to_string(set) + ".ksa"; }

std::string PackedFileName(int set) { return "packed_rezmap_" + std::to_string(set) + ".pck"; }

std::string Hex8(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

uint32_t AttributeWord(uint8_t flags, uint8_t type, uint8_t attr2, uint8_t attr3) {
  return (uint32_t{flags} << 24) | (uint32_t{type} << 16) | (uint32_t{attr2} << 8) | attr3;
}

std::string TextMapLine(uint32_t id, uint32_t attributes, const std::string& name,
                        const std::string& path, uint32_t offset, bool with_size, uint32_t size) {
  std::string line;
  line.reserve(40 + name.size() + path.size());
  line.append(Hex8(id)).append(" ").append(Hex8(attributes));
  line.append(" \"").append(name).append("\" \"").append(path).append("\" ");
  line.append(Hex8(offset));
  if (with_size) line.append(" ").append(Hex8(size));
  line.append("\r\n");
  return line;
}

bool Compress(const Bytes& plain, Bytes& packed) {
  uLongf length = compressBound(static_cast<uLong>(plain.size()));
  packed.assign(length, 0);
  const Bytef* source = plain.empty() ? reinterpret_cast<const Bytef*>("") : plain.data();
  if (compress2(packed.data(), &length, source, static_cast<uLong>(plain.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    packed.clear();
    return false;
  }
  packed.resize(length);
  return true;
}

bool StoredBytes(const PackRecord& record, Bytes& stored, uint8_t& flags) {
  flags = record.flags & ~uint8_t{1};
  if (!record.compress) {
    stored = record.data;
    return true;
  }
  flags |= 1;
  return Compress(record.data, stored);
}

static void Append(Bytes& bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
}

bool BuildTextSet(int set, const std::vector<PackRecord>& records, const std::string& loose_folder,
                  std::vector<OutFile>& files) {
  OutFile map{TextMapFileName(set), {}};
  for (const PackRecord& record : records) {
    OutFile loose{JoinPath(loose_folder, record.name), {}};
    uint8_t flags = 0;
    if (!StoredBytes(record, loose.bytes, flags)) return false;
    uint32_t attributes = AttributeWord(flags, record.type, record.attr2, record.attr3);
    Append(map.bytes, TextMapLine(record.id, attributes, record.name, loose.path, 0, false, 0));
    files.push_back(std::move(loose));
  }
  files.push_back(std::move(map));
  return true;
}

bool BuildPackedSet(int set, const std::vector<PackRecord>& records, std::vector<OutFile>& files) {
  const std::string file_name = PackedFileName(set);
  std::vector<Bytes> stored(records.size());
  std::vector<uint8_t> flags(records.size());
  size_t listing_size = 1;  // the terminating byte
  for (size_t i = 0; i < records.size(); ++i) {
    if (!StoredBytes(records[i], stored[i], flags[i])) return false;
    // Every field of a line has a fixed width, so the offsets can be placed before they are known.
    listing_size += TextMapLine(0, 0, records[i].name, file_name, 0, true, 0).size();
  }
  OutFile packed{file_name, {}};
  size_t offset = listing_size;
  for (size_t i = 0; i < records.size(); ++i) {
    if (offset + stored[i].size() > 0xFFFFFFFEu) return false;
    uint32_t attributes = AttributeWord(flags[i], records[i].type, records[i].attr2, records[i].attr3);
    Append(packed.bytes, TextMapLine(records[i].id, attributes, records[i].name, file_name,
                                     static_cast<uint32_t>(offset), true,
                                     static_cast<uint32_t>(stored[i].size())));
    offset += stored[i].size();
  }
  packed.bytes.push_back(kPackedMapTerminator);
  for (const Bytes& data : stored) packed.bytes.insert(packed.bytes.end(), data.begin(), data.end());
  files.push_back(std::move(packed));
  return true;
}

}  // namespace writers
