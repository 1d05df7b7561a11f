#pragma once
// The pack map: the binary index "pack_map.map" that says, for every resource id, which file
// holds the resource, where, how big, whether compressed and of which type; and the text maps
// of the pack sets it is built from.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

constexpr uint16_t kRezMapMagic0 = 25;
constexpr uint16_t kRezMapMagic1 = 3;
constexpr uint32_t kRezMapVersion = 5;
constexpr size_t kRezMapHeaderSize = 36;
constexpr size_t kRezMapBucketCount = 1024;
constexpr size_t kRezMapBucketTableSize = kRezMapBucketCount * 8;
constexpr size_t kRezRecordSize = 36;
constexpr int kRezMaxPathComponents = 10;
constexpr size_t kRezMaxComponentLength = 63;

// Record flag bits.
constexpr uint8_t kRezFlagCompressed = 0x01;
constexpr uint8_t kRezFlagSizeReader = 0x02;

constexpr uint32_t kRezSizeToEnd = 0xFFFFFFFFu;
constexpr uint8_t kRezMaxType = 4;

inline uint32_t Rez_Map_Bucket(uint32_t id) { return id & 0x3ff; }

struct RezRecord {
  uint32_t id = 0;
  uint16_t components[kRezMaxPathComponents] = {};  // 1-based; 0 ends the path early
  uint8_t flags = 0;
  uint8_t type = 0;
  uint8_t attributes[2] = {};
  uint32_t offset = 0;
  uint32_t size = kRezSizeToEnd;
};

struct RezMapBucket {
  uint32_t first_offset = 0;  // byte offset of the first record within the record area
  uint16_t count = 0;
};

// The contents of a pack map, as built and as loaded.
struct RezMapData {
  std::vector<uint32_t> component_offsets;  // component k is entry k - 1
  std::vector<char> string_pool;            // NUL-terminated component texts
  RezMapBucket buckets[kRezMapBucketCount];
  std::vector<RezRecord> records;           // grouped by bucket, bucket 0 first

  // The text of component k (1-based); null for a number the map does not hold.
  const char* Component(uint16_t number) const;
};

// Where the text-map parser reads from: a block of memory, or a stdio file read in pieces.
class RezByteSource {
 public:
  RezByteSource(const uint8_t* data, size_t size) : m_Begin(data), m_Data(data), m_End(data + size) {}
  // Reads the file from where it stands now.
  explicit RezByteSource(FILE* file) : m_File(file), m_File_Start(std::ftell(file)) {}

  // Back to the first byte, as if just made. False when a file cannot be sought.
  bool Rewind();

  // The next byte, or -1 at the end.
  int Next() {
    int c = -1;
    if (m_Pushed != kNothing) {
      c = m_Pushed;
      m_Pushed = kNothing;
    } else if (m_Data != m_End || Refill()) {
      c = *m_Data++;
    }
    m_Last = c;
    if (c >= 0) {
      ++m_Offset;
      if (c == '\n') ++m_Line;
    }
    return c;
  }

  // Gives one byte back; the next Next returns it.
  void Unget(int c) {
    m_Pushed = c;
    if (c < 0) return;
    --m_Offset;
    if (c == '\n') --m_Line;
  }

  // Where the next byte lies: its offset from the start and its line (from 1).
  uint64_t Offset() const { return m_Offset; }
  uint64_t Line() const { return m_Line; }
  // The byte the last Next returned (-1 at the end).
  int Last() const { return m_Last; }

 private:
  bool Refill();

  const uint8_t* m_Begin = nullptr;
  const uint8_t* m_Data = nullptr;
  const uint8_t* m_End = nullptr;
  FILE* m_File = nullptr;
  long m_File_Start = 0;
  static constexpr int kNothing = -2;
  int m_Pushed = kNothing;
  uint64_t m_Offset = 0;
  uint64_t m_Line = 1;
  int m_Last = -1;
  uint8_t m_Buffer[16384];
};

// A text map as parsed: the component texts in first-seen order and the records in reading
// order. Records the map cannot serve (a path beyond its limits, a type above 4, the
// size-reader flag, a packed file's record whose data would lie inside its own listing) are
// left out, each with its id and the words that say why.
struct RezLeftOut {
  uint32_t id = 0;
  std::string words;  // "Resource ID (%x): unknown type 9 (0 to 4); left out.\n"
};

struct RezTextMap {
  std::vector<std::string> components;
  std::unordered_map<std::string, uint16_t> component_numbers;
  std::vector<RezRecord> records;
  std::vector<RezLeftOut> left_out;
  // Whether the listing ran to its proper end: where a record begins, the end of the input, or
  // a byte that is no digit (a terminating byte, a zero byte, any other) when no listing text
  // follows it: only line ends, zero bytes and terminating bytes up to a packed file's data or a
  // text map's end (in a packed file stopped by such a byte, also bytes that begin no record).
  // Otherwise `damage` says where and how it broke off ("at line 101 (byte 8583) it holds 'Z'
  // where the resource id belongs"), naming the byte that stopped it.
  bool complete = true;
  std::string damage;
};

// The byte that usually ends the listing of a packed file; its data follows.
constexpr uint8_t kRezPackedListingEnd = 0x1A;

// Whether a record's path (its component texts) names the packed file whose listing is read.
using RezNamesListingFile = std::function<bool(const std::vector<std::string>& components)>;

// Parses records until the first field that does not parse or the end of the input. The map
// of a packed file carries each record's size (with_size); a text map's records run to the end
// of their files.
//
// A record's offset is a position in the file its path names. In a packed file only its own
// records (`names_listing_file`; none when empty) hold their data after the listing, and the
// smallest of their offsets past the listing's text is where that data begins: the listing is
// read first to where its text ends, then again up to that data start. An own record whose
// offset lies inside the listing's text is damage and left out; records of other files never
// end the listing. A packed file without own records ends at its terminating byte.
void Parse_Rez_Text_Map(RezByteSource& source, bool with_size, RezTextMap& map,
                        const RezNamesListingFile& names_listing_file = {});

// Splits a path into component texts: a leading "/", "\", "./" or ".\" is skipped; "/" and "\"
// separate; empty components are dropped. False when the path has more than ten components or
// a component longer than 63 characters.
bool Split_Rez_Path(const std::string& path, std::vector<std::string>& components);

// Groups the parsed records into buckets and lays out the offset table and the string pool.
// False when the map would not fit its format (a bucket of more than 65535 records, sizes
// beyond 32 bits).
bool Build_Rez_Map_Data(const RezTextMap& text_map, RezMapData& data, std::string& error);

// The bytes of "pack_map.map".
std::vector<uint8_t> Serialize_Rez_Map(const RezMapData& data);

// Reads and checks the bytes of a pack map: header, version, sizes against the file length,
// every component offset, bucket range and record. False, with the reason in error, for
// anything that does not hold.
bool Parse_Rez_Map(const uint8_t* bytes, size_t size, RezMapData& data, std::string& error);

// Reads the 36-byte header only; false when it is short or not of this version.
struct RezMapHeader {
  uint16_t magic[2] = {};
  uint32_t version = 0;
  uint32_t table_size = 0;
  uint32_t pool_size = 0;
  uint32_t record_size = 0;
  // The file length the three sizes call for.
  uint64_t Total_Size() const {
    return uint64_t{kRezMapHeaderSize} + table_size + pool_size + kRezMapBucketTableSize + record_size;
  }
};
bool Parse_Rez_Map_Header(const uint8_t* bytes, size_t size, RezMapHeader& header);
