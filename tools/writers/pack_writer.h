#pragma once
// Writers of resource pack sets in both of their forms:
//  - the text-map form: "rezmap_<set>.ksa" lists every record, whose bytes live in loose files;
//  - the packed form: "packed_rezmap_<set>.pck" starts with the same listing (with sizes),
//    ends it with a terminating byte, and carries every record's bytes after it.
// Everything is produced in memory first (a list of files), so tests can patch or truncate
// the bytes before writing them.
#include <cstdint>
#include <string>
#include <vector>

namespace writers {

using Bytes = std::vector<uint8_t>;

// One resource of a pack set.
struct PackRecord {
  uint32_t id = 0;
  uint8_t type = 0;       // resource type: 1 style, 2 texture, 3 sound, 4 renderable, 0 raw
  uint8_t flags = 0;      // extra flag bits; bit 0 (compressed) is set by the writer itself
  uint8_t attr2 = 0;      // the two attribute bytes carried after the type
  uint8_t attr3 = 0;
  std::string name;       // relative name, "/"-separated; the loose file's path in the text form
  Bytes data;             // the resource's plain (expanded) bytes
  bool compress = false;  // store the bytes zlib-compressed
};

// A file to write: path relative to the content root, and its bytes.
struct OutFile {
  std::string path;
  Bytes bytes;
};

// "rezmap_<set>.ksa" and "packed_rezmap_<set>.pck".
std::string TextMapFileName(int set);
std::string PackedFileName(int set);

// Eight upper-case hexadecimal digits.
std::string Hex8(uint32_t value);

// One text-map line: id, attribute word, quoted name, quoted path, offset, then the size when
// with_size is set, ended by a carriage return and a line feed.
std::string TextMapLine(uint32_t id, uint32_t attributes, const std::string& name,
                        const std::string& path, uint32_t offset, bool with_size, uint32_t size);

// The attribute word of a record: flags, type and the two further bytes, most significant first.
uint32_t AttributeWord(uint8_t flags, uint8_t type, uint8_t attr2, uint8_t attr3);

// zlib-compresses bytes (best compression, deterministic).
bool Compress(const Bytes& plain, Bytes& packed);

// The stored bytes and flags of a record: compressed when asked for.
bool StoredBytes(const PackRecord& record, Bytes& stored, uint8_t& flags);

// The text-map form of a set: the map and one loose file per record, each under loose_folder
// (empty: the content root). Records keep their order; a repeated id is written twice.
bool BuildTextSet(int set, const std::vector<PackRecord>& records, const std::string& loose_folder,
                  std::vector<OutFile>& files);

// The packed form of a set: one file holding the listing, a terminating byte and the data.
bool BuildPackedSet(int set, const std::vector<PackRecord>& records, std::vector<OutFile>& files);

// The byte that ends the listing of a packed file.
constexpr uint8_t kPackedMapTerminator = 0x1A;

}  // namespace writers
