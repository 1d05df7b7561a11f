#include "runtime/src/libksresource/rez_map_format.h"

#include <algorithm>
#include <cstring>

namespace {

enum class Field { Ok, End, Bad };

int Hex_Digit(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Eight hexadecimal digits, most significant first. A "#" where a digit is expected starts a
// comment that runs through the next line feed. At the end of the input the digits read so
// far are the high digits of the value.
Field Read_Hex8(RezByteSource& source, uint32_t& value, int* digits = nullptr) {
  value = 0;
  int count = 0;
  if (digits) *digits = 0;
  while (count < 8) {
    int c = source.Next();
    if (c == '#') {
      do c = source.Next(); while (c >= 0 && c != '\n');
      if (c < 0) return Field::End;
      continue;
    }
    if (c < 0) {
      if (count > 0) value <<= 4 * (8 - count);
      return Field::End;
    }
    int digit = Hex_Digit(c);
    if (digit < 0) return Field::Bad;
    value = (value << 4) | static_cast<uint32_t>(digit);
    ++count;
    if (digits) *digits = count;
  }
  return Field::Ok;
}

Field Read_Separator(RezByteSource& source) { return source.Next() < 0 ? Field::End : Field::Ok; }

// A double-quoted text followed by one separator.
Field Read_Quoted(RezByteSource& source, std::string& text) {
  text.clear();
  int c = source.Next();
  if (c < 0) return Field::End;
  if (c != '"') return Field::Bad;
  while ((c = source.Next()) != '"') {
    if (c < 0) return Field::End;
    text.push_back(static_cast<char>(c));
  }
  return Read_Separator(source);
}

bool Is_Blank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Skips the line end after a record's last separator: one character, unless it already begins
// the next record (a hexadecimal digit or a comment's "#"), may end the listing (a control byte
// that is no line end, such as a packed file's terminating byte) or lies at `data_start`, where
// a packed file's data begins. A two-character line end (CR LF, tab tab) is thus the separator
// and the skipped character, and a one-character one (LF alone, CR alone) is the separator
// itself.
void Skip_Line_End(RezByteSource& source, uint64_t data_start) {
  if (source.Offset() >= data_start) return;
  const int c = source.Next();
  if (c < 0) return;
  const bool control = (c < 0x20 && !Is_Blank(c)) || c == 0x7F;
  if (Hex_Digit(c) >= 0 || c == '#' || control) source.Unget(c);
}

bool Add_Record(RezTextMap& map, uint32_t id, uint32_t attributes, const std::string& path,
                uint32_t offset, uint32_t size) {
  const uint8_t flags = static_cast<uint8_t>(attributes >> 24);
  const uint8_t type = static_cast<uint8_t>(attributes >> 16);
  if (type > kRezMaxType || (flags & kRezFlagSizeReader)) {
    char text[120];
    if (type > kRezMaxType) {
      std::snprintf(text, sizeof text, "Resource ID (%x): unknown type %u (0 to %u); left out.\n", id,
                    static_cast<unsigned>(type), static_cast<unsigned>(kRezMaxType));
    } else {
      std::snprintf(text, sizeof text, "Resource ID (%x): its size needs a size reader, which this program has not; "
                    "left out.\n", id);
    }
    map.diagnostics.push_back(text);
    return false;
  }
  std::vector<std::string> parts;
  if (!Split_Rez_Path(path, parts)) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Resource ID (%x): path has more than %d components or one longer than %zu characters.\n",
                  id, kRezMaxPathComponents, kRezMaxComponentLength);
    map.diagnostics.push_back(text);
    return false;
  }
  size_t new_parts = 0;
  for (const std::string& part : parts) new_parts += map.component_numbers.count(part) ? 0 : 1;
  if (map.components.size() + new_parts > 0xFFFF) {
    char text[120];
    std::snprintf(text, sizeof text, "Resource ID (%x): more than 65535 different path components; left out.\n", id);
    map.diagnostics.push_back(text);
    return false;
  }
  RezRecord record;
  record.id = id;
  for (size_t i = 0; i < parts.size(); ++i) {
    auto found = map.component_numbers.find(parts[i]);
    if (found == map.component_numbers.end()) {
      map.components.push_back(parts[i]);
      found = map.component_numbers.emplace(parts[i], static_cast<uint16_t>(map.components.size())).first;
    }
    record.components[i] = found->second;
  }
  record.flags = static_cast<uint8_t>(attributes >> 24);
  record.type = static_cast<uint8_t>(attributes >> 16);
  record.attributes[0] = static_cast<uint8_t>(attributes >> 8);
  record.attributes[1] = static_cast<uint8_t>(attributes);
  record.offset = offset;
  record.size = size;
  map.records.push_back(record);
  return true;
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

RezRecord Decode_Record(const uint8_t* p) {
  RezRecord record;
  record.id = Get32(p);
  for (int i = 0; i < kRezMaxPathComponents; ++i) record.components[i] = Get16(p + 4 + 2 * i);
  record.flags = p[24];
  record.type = p[25];
  record.attributes[0] = p[26];
  record.attributes[1] = p[27];
  record.offset = Get32(p + 28);
  record.size = Get32(p + 32);
  return record;
}

bool Fail(std::string& error, const char* reason) {
  error = reason;
  return false;
}

bool Check_Components(const RezMapData& data, std::string& error) {
  for (uint32_t offset : data.component_offsets) {
    if (offset >= data.string_pool.size()) return Fail(error, "component offset outside the string pool");
    const char* text = data.string_pool.data() + offset;
    size_t room = data.string_pool.size() - offset;
    size_t length = strnlen(text, room);
    if (length == room) return Fail(error, "component text not terminated");
    if (length > kRezMaxComponentLength) return Fail(error, "component text too long");
  }
  return true;
}

bool Check_Record(const RezMapData& data, const RezRecord& record, std::string& error) {
  for (uint16_t number : record.components) {
    if (number > data.component_offsets.size()) return Fail(error, "record names a missing component");
  }
  if (record.type > kRezMaxType) return Fail(error, "record of an unknown resource type");
  if (record.flags & kRezFlagSizeReader) return Fail(error, "record needs a size reader");
  return true;
}

bool Check_Buckets(const RezMapData& data, std::string& error) {
  const uint64_t area = uint64_t{data.records.size()} * kRezRecordSize;
  // Every record belongs to exactly one bucket: the counts add up to the records.
  uint64_t counted = 0;
  for (const RezMapBucket& bucket : data.buckets) counted += bucket.count;
  if (counted != data.records.size()) return Fail(error, "bucket counts do not add up to the records");
  for (size_t b = 0; b < kRezMapBucketCount; ++b) {
    const RezMapBucket& bucket = data.buckets[b];
    if (bucket.count == 0) continue;
    if (bucket.first_offset % kRezRecordSize != 0 ||
        bucket.first_offset + uint64_t{bucket.count} * kRezRecordSize > area) {
      return Fail(error, "bucket outside the record area");
    }
    size_t first = bucket.first_offset / kRezRecordSize;
    for (size_t i = first; i < first + bucket.count; ++i) {
      if (Rez_Map_Bucket(data.records[i].id) != b) return Fail(error, "record in the wrong bucket");
    }
  }
  return true;
}

}  // namespace

const char* RezMapData::Component(uint16_t number) const {
  if (number == 0 || number > component_offsets.size()) return nullptr;
  uint32_t offset = component_offsets[number - 1];
  if (offset >= string_pool.size()) return nullptr;
  return string_pool.data() + offset;
}

bool RezByteSource::Refill() {
  if (!m_File) return false;
  size_t count = std::fread(m_Buffer, 1, sizeof m_Buffer, m_File);
  if (count == 0) return false;
  m_Data = m_Buffer;
  m_End = m_Buffer + count;
  return true;
}

bool Split_Rez_Path(const std::string& path, std::vector<std::string>& components) {
  components.clear();
  size_t start = 0;
  auto is_slash = [](char c) { return c == '/' || c == '\\'; };
  if (!path.empty() && is_slash(path[0])) {
    start = 1;
  } else if (path.size() >= 2 && path[0] == '.' && is_slash(path[1])) {
    start = 2;
  }
  std::string part;
  for (size_t i = start; i <= path.size(); ++i) {
    if (i < path.size() && !is_slash(path[i])) {
      part.push_back(path[i]);
      continue;
    }
    if (part.empty()) continue;
    if (part.size() > kRezMaxComponentLength ||
        components.size() == static_cast<size_t>(kRezMaxPathComponents)) {
      components.clear();
      return false;
    }
    components.push_back(std::move(part));
    part.clear();
  }
  return true;
}

namespace {

// A byte as a reader of the listing would name it.
std::string Describe_Byte(int c) {
  char text[24];
  if (c >= 0x21 && c < 0x7F) {
    std::snprintf(text, sizeof text, "'%c'", c);
  } else {
    std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned>(c));
  }
  return text;
}

// What may follow the byte that ends a listing: line ends, zero bytes, terminating bytes.
bool Is_Padding(int c) { return Is_Blank(c) || c == 0 || c == kRezPackedListingEnd; }

// Notes where and how a listing broke off: a field that met the end of the input, or the
// byte that did not parse (the last one read).
void Note_Break(RezTextMap& map, const RezByteSource& source, Field result, const char* field) {
  map.complete = false;
  char text[200];
  if (result == Field::End) {
    std::snprintf(text, sizeof text, "at line %llu (byte %llu) it ends inside a record, where the %s belongs",
                  static_cast<unsigned long long>(source.Line()), static_cast<unsigned long long>(source.Offset()),
                  field);
  } else {
    // The offending byte was read already: its line is the current one unless it ended a line.
    const uint64_t line = source.Line() - (source.Last() == '\n' ? 1 : 0);
    std::snprintf(text, sizeof text, "at line %llu (byte %llu) it holds %s where the %s belongs",
                  static_cast<unsigned long long>(line), static_cast<unsigned long long>(source.Offset() - 1),
                  Describe_Byte(source.Last()).c_str(), field);
  }
  map.damage = text;
}

// A listing stopped at the start of a record by a byte that is no digit: it ended there when no
// listing text follows, up to the first record's data in a packed file (whose terminating byte
// ends the search, its data following) or to the end of a text map; else it broke off, named
// at the stopping byte or, when that is only padding, at the first text after it.
void Note_Stop(RezTextMap& map, RezByteSource& source, bool with_size, uint64_t data_start) {
  const bool stop_is_padding = Is_Padding(source.Last());
  Note_Break(map, source, Field::Bad, "resource id");
  while (!with_size || source.Offset() < data_start) {
    const int c = source.Next();
    if (c < 0 || (with_size && c == kRezPackedListingEnd)) break;
    if (Is_Padding(c)) continue;
    if (stop_is_padding) Note_Break(map, source, Field::Bad, "resource id");
    return;
  }
  map.complete = true;
  map.damage.clear();
}

// A packed file's listing ends with a terminating byte, its data after it: a file that ends
// first lost its data and maybe part of its listing.
void Note_Missing_Terminator(RezTextMap& map, const RezByteSource& source) {
  map.complete = false;
  char text[160];
  std::snprintf(text, sizeof text, "at line %llu (byte %llu) the file ends before the byte that closes its listing",
                static_cast<unsigned long long>(source.Line()), static_cast<unsigned long long>(source.Offset()));
  map.damage = text;
}

}  // namespace

void Parse_Rez_Text_Map(RezByteSource& source, bool with_size, RezTextMap& map) {
  map.complete = true;
  map.damage.clear();
  std::string name;
  std::string path;
  auto field_ok = [&](Field result, const char* field) {
    if (result == Field::Ok) return true;
    Note_Break(map, source, result, field);
    return false;
  };
  // Where a packed file's data begins: the nearest offset of a record past the listing read so
  // far. The listing cannot run into it.
  uint64_t data_start = UINT64_MAX;
  while (true) {
    uint32_t id = 0;
    uint32_t attributes = 0;
    uint32_t offset = 0;
    uint32_t size = kRezSizeToEnd;
    if (with_size && source.Offset() >= data_start) return;
    // A record's start is where the listing may end: a text map at the end of the input
    // (comments before it included), a packed file at its terminating byte; any other byte that
    // is no digit ends it too when no listing text follows.
    int digits = 0;
    const Field first = Read_Hex8(source, id, &digits);
    if (digits == 0) {
      if (first == Field::End) {
        if (with_size) Note_Missing_Terminator(map, source);
        return;
      }
      if (first == Field::Bad) {
        // A terminating byte ends a packed file's listing (and, as an old end-of-file mark,
        // may end a text map) whatever follows it.
        if (source.Last() != kRezPackedListingEnd) Note_Stop(map, source, with_size, data_start);
        return;
      }
    }
    if (!field_ok(first, "resource id") || !field_ok(Read_Separator(source), "separator after the resource id")) {
      return;
    }
    if (!field_ok(Read_Hex8(source, attributes), "attribute word") ||
        !field_ok(Read_Separator(source), "separator after the attribute word")) {
      return;
    }
    if (!field_ok(Read_Quoted(source, name), "quoted name") || !field_ok(Read_Quoted(source, path), "quoted path")) {
      return;
    }
    if (!field_ok(Read_Hex8(source, offset), "offset")) return;
    if (with_size) {
      if (!field_ok(Read_Separator(source), "separator after the offset") ||
          !field_ok(Read_Hex8(source, size), "size")) {
        return;
      }
    }
    Add_Record(map, id, attributes, path, offset, size);
    if (with_size && offset > source.Offset()) data_start = std::min<uint64_t>(data_start, offset);
    // The last field's separator and the line end may be missing at the end of the input or
    // before a packed file's terminating byte.
    const int separator = source.Next();
    if (separator < 0) {
      if (with_size) Note_Missing_Terminator(map, source);
      return;
    }
    if (separator == kRezPackedListingEnd) return;
    Skip_Line_End(source, with_size ? data_start : UINT64_MAX);
  }
}

bool Build_Rez_Map_Data(const RezTextMap& text_map, RezMapData& data, std::string& error) {
  uint64_t pool_size = 0;
  for (const std::string& text : text_map.components) pool_size += text.size() + 1;
  if (pool_size > 0xFFFFFFFFu || text_map.records.size() > 0xFFFFFFFFu / kRezRecordSize) {
    error = "lists more than a pack map can hold (" + std::to_string(text_map.records.size()) + " resources, " +
            std::to_string(pool_size) + " bytes of path text)";
    return false;
  }
  data.component_offsets.clear();
  data.string_pool.clear();
  for (const std::string& text : text_map.components) {
    data.component_offsets.push_back(static_cast<uint32_t>(data.string_pool.size()));
    data.string_pool.insert(data.string_pool.end(), text.begin(), text.end());
    data.string_pool.push_back('\0');
  }
  // Counting sort by bucket keeps each bucket's records in reading order.
  uint32_t counts[kRezMapBucketCount] = {};
  for (const RezRecord& record : text_map.records) {
    if (++counts[Rez_Map_Bucket(record.id)] > 0xFFFF) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "lists more than 65535 resources whose ids end in the same ten bits (0x%03x), more than a pack "
                    "map can hold",
                    static_cast<unsigned>(Rez_Map_Bucket(record.id)));
      error = text;
      return false;
    }
  }
  size_t next[kRezMapBucketCount];
  size_t position = 0;
  for (size_t b = 0; b < kRezMapBucketCount; ++b) {
    next[b] = position;
    data.buckets[b].first_offset = counts[b] ? static_cast<uint32_t>(position * kRezRecordSize) : 0;
    data.buckets[b].count = static_cast<uint16_t>(counts[b]);
    position += counts[b];
  }
  data.records.assign(text_map.records.size(), RezRecord{});
  for (const RezRecord& record : text_map.records) data.records[next[Rez_Map_Bucket(record.id)]++] = record;
  return true;
}

std::vector<uint8_t> Serialize_Rez_Map(const RezMapData& data) {
  std::vector<uint8_t> out;
  out.reserve(kRezMapHeaderSize + data.component_offsets.size() * 4 + data.string_pool.size() +
              kRezMapBucketTableSize + data.records.size() * kRezRecordSize);
  Put16(out, kRezMapMagic0);
  Put16(out, kRezMapMagic1);
  out.insert(out.end(), 16, 0);
  Put32(out, kRezMapVersion);
  Put32(out, static_cast<uint32_t>(data.component_offsets.size() * 4));
  Put32(out, static_cast<uint32_t>(data.string_pool.size()));
  Put32(out, static_cast<uint32_t>(data.records.size() * kRezRecordSize));
  for (uint32_t offset : data.component_offsets) Put32(out, offset);
  out.insert(out.end(), data.string_pool.begin(), data.string_pool.end());
  for (const RezMapBucket& bucket : data.buckets) {
    Put32(out, bucket.first_offset);
    Put16(out, bucket.count);
    Put16(out, 0);
  }
  for (const RezRecord& record : data.records) {
    Put32(out, record.id);
    for (uint16_t number : record.components) Put16(out, number);
    out.push_back(record.flags);
    out.push_back(record.type);
    out.push_back(record.attributes[0]);
    out.push_back(record.attributes[1]);
    Put32(out, record.offset);
    Put32(out, record.size);
  }
  return out;
}

bool Parse_Rez_Map_Header(const uint8_t* bytes, size_t size, RezMapHeader& header) {
  if (size < kRezMapHeaderSize) return false;
  header.magic[0] = Get16(bytes);
  header.magic[1] = Get16(bytes + 2);
  header.version = Get32(bytes + 20);
  header.table_size = Get32(bytes + 24);
  header.pool_size = Get32(bytes + 28);
  header.record_size = Get32(bytes + 32);
  return header.magic[0] == kRezMapMagic0 && header.magic[1] == kRezMapMagic1 &&
         header.version == kRezMapVersion;
}

bool Parse_Rez_Map(const uint8_t* bytes, size_t size, RezMapData& data, std::string& error) {
  RezMapHeader header;
  if (size < kRezMapHeaderSize) return Fail(error, "map shorter than its header");
  if (!Parse_Rez_Map_Header(bytes, size, header)) {
    return Fail(error, header.version != kRezMapVersion ? "map of another version" : "not a pack map");
  }
  if (header.Total_Size() != size) return Fail(error, "map sizes do not match the file length");
  if (header.table_size % 4 != 0 || header.record_size % kRezRecordSize != 0) {
    return Fail(error, "map sizes are not whole entries");
  }
  const uint8_t* p = bytes + kRezMapHeaderSize;
  data.component_offsets.resize(header.table_size / 4);
  for (uint32_t& offset : data.component_offsets) {
    offset = Get32(p);
    p += 4;
  }
  data.string_pool.assign(p, p + header.pool_size);
  p += header.pool_size;
  for (RezMapBucket& bucket : data.buckets) {
    bucket.first_offset = Get32(p);
    bucket.count = Get16(p + 4);
    p += 8;
  }
  data.records.resize(header.record_size / kRezRecordSize);
  for (RezRecord& record : data.records) {
    record = Decode_Record(p);
    p += kRezRecordSize;
  }
  if (!Check_Components(data, error) || !Check_Buckets(data, error)) return false;
  for (const RezRecord& record : data.records) {
    if (!Check_Record(data, record, error)) return false;
  }
  return true;
}
