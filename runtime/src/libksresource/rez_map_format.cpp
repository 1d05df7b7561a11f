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

// A record whose fields all parsed, before it is kept or left out.
struct Listed_Record {
  uint32_t id = 0;
  uint32_t attributes = 0;
  uint32_t offset = 0;
  uint32_t size = kRezSizeToEnd;
  bool path_fits = false;          // the path splits within the format's limits
  std::vector<std::string> parts;  // its component texts
};

bool Add_Record(RezTextMap& map, const Listed_Record& listed) {
  const uint32_t id = listed.id;
  const uint32_t attributes = listed.attributes;
  const std::vector<std::string>& parts = listed.parts;
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
    map.left_out.push_back({id, text});
    return false;
  }
  if (!listed.path_fits) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Resource ID (%x): path has more than %d components or one longer than %zu characters.\n",
                  id, kRezMaxPathComponents, kRezMaxComponentLength);
    map.left_out.push_back({id, text});
    return false;
  }
  size_t new_parts = 0;
  for (const std::string& part : parts) new_parts += map.component_numbers.count(part) ? 0 : 1;
  if (map.components.size() + new_parts > 0xFFFF) {
    char text[120];
    std::snprintf(text, sizeof text, "Resource ID (%x): more than 65535 different path components; left out.\n", id);
    map.left_out.push_back({id, text});
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
  record.offset = listed.offset;
  record.size = listed.size;
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

bool RezByteSource::Rewind() {
  if (m_File) {
    if (m_File_Start < 0 || std::fseek(m_File, m_File_Start, SEEK_SET) != 0) return false;
    m_Data = m_End = nullptr;
  } else {
    m_Data = m_Begin;
  }
  m_Pushed = kNothing;
  m_Offset = 0;
  m_Line = 1;
  m_Last = -1;
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

// The fields of a record after its resource id, read into `listed`: Ok, or how the first that
// does not parse failed, with its name in `field`.
Field Read_Record_Fields(RezByteSource& source, bool with_size, Listed_Record& listed, const char*& field) {
  std::string name;
  std::string path;
  Field result = Field::Ok;
  auto ok = [&](Field step, const char* step_field) {
    result = step;
    field = step_field;
    return step == Field::Ok;
  };
  const bool whole =
      ok(Read_Separator(source), "separator after the resource id") &&
      ok(Read_Hex8(source, listed.attributes), "attribute word") &&
      ok(Read_Separator(source), "separator after the attribute word") && ok(Read_Quoted(source, name), "quoted name") &&
      ok(Read_Quoted(source, path), "quoted path") && ok(Read_Hex8(source, listed.offset), "offset") &&
      (!with_size ||
       (ok(Read_Separator(source), "separator after the offset") && ok(Read_Hex8(source, listed.size), "size")));
  if (whole) listed.path_fits = Split_Rez_Path(path, listed.parts);
  return result;
}

// Whether a whole record's text begins here.
bool Record_Follows(RezByteSource& source, bool with_size) {
  Listed_Record listed;
  const char* field = nullptr;
  return Read_Hex8(source, listed.id) == Field::Ok && Read_Record_Fields(source, with_size, listed, field) == Field::Ok;
}

// The first byte that is no padding before `limit`, or -1 when none comes before it, the end or
// (when `terminator_ends`) a terminating byte.
int First_Text(RezByteSource& source, uint64_t limit, bool terminator_ends) {
  while (source.Offset() < limit) {
    const int c = source.Next();
    if (c < 0 || (terminator_ends && c == kRezPackedListingEnd)) return -1;
    if (!Is_Padding(c)) return c;
  }
  return -1;
}

// A listing stopped by a byte that is no digit where a record begins (or by a terminating byte
// after a record's last field). It ended there when no listing text follows: only padding up to
// a packed file's data start or to a text map's end. In a packed file whose listing stopped at
// padding (its terminator, a zero byte), other bytes before the data that begin no record, such
// as the data of a record that now names another file, are no listing text either. Else it
// broke off, named at the stopping byte. A packed file whose data start is unknown (none of its
// records lies in it) ends at its terminating byte; after any other byte only padding may come
// up to the next terminating byte.
void Note_Stop(RezTextMap& map, RezByteSource& source, bool with_size, uint64_t data_start, const char* field) {
  const bool data_known = with_size && data_start != UINT64_MAX;
  const bool stop_is_padding = Is_Padding(source.Last());
  if (with_size && !data_known && source.Last() == kRezPackedListingEnd) return;
  Note_Break(map, source, Field::Bad, field);
  const int text = First_Text(source, data_start, with_size && !data_known);
  bool listing_follows = text >= 0;
  if (listing_follows && data_known && stop_is_padding) {
    source.Unget(text);
    listing_follows = Record_Follows(source, true);
  }
  if (listing_follows) return;
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

namespace {

// One reading of a listing from its first byte.
class Listing_Pass {
 public:
  Listing_Pass(RezByteSource& source, bool with_size, const RezNamesListingFile& names_listing_file, RezTextMap& map)
      : m_Source(source), m_With_Size(with_size), m_Names_Listing_File(names_listing_file), m_Map(map) {}

  // A first reading of a packed file only finds where the listing's text ends and where its own
  // records say their data lies; it runs until the listing stops, whatever own offsets it passes.
  void Survey() {
    m_Survey = true;
    Run();
  }

  // Reads the listing up to `data_start` at most. Own records whose offsets lie before
  // `listing_end` are left out: their bytes would be listing text.
  void Read(uint64_t data_start, uint64_t listing_end) {
    m_Data_Start = data_start;
    m_Listing_End = listing_end;
    Run();
  }

  // Where the text of the last record read whole ends.
  uint64_t Text_End() const { return m_Text_End; }

  // The smallest own offset at or past the listing's text: where the packed file's data begins
  // (UINT64_MAX when no own record says).
  uint64_t Data_Start() const {
    uint64_t start = UINT64_MAX;
    for (uint32_t offset : m_Own_Offsets) {
      if (offset >= m_Text_End) start = std::min<uint64_t>(start, offset);
    }
    return start;
  }

 private:
  void Run();
  bool Field_Ok(Field result, const char* field);
  bool Read_Fields(Listed_Record& listed);
  void Keep(Listed_Record& listed);
  void Stop(const char* field);

  RezByteSource& m_Source;
  const bool m_With_Size;
  const RezNamesListingFile& m_Names_Listing_File;
  RezTextMap& m_Map;
  bool m_Survey = false;
  uint64_t m_Data_Start = UINT64_MAX;
  uint64_t m_Listing_End = 0;
  uint64_t m_Text_End = 0;
  std::vector<uint32_t> m_Own_Offsets;
};

bool Listing_Pass::Field_Ok(Field result, const char* field) {
  if (result == Field::Ok) return true;
  Note_Break(m_Map, m_Source, result, field);
  return false;
}

void Listing_Pass::Stop(const char* field) {
  // A survey reads no further than the listing: what follows a stop is judged in the reading.
  if (!m_Survey) Note_Stop(m_Map, m_Source, m_With_Size, m_Data_Start, field);
}

// The fields after the resource id. False when one does not parse; it is noted.
bool Listing_Pass::Read_Fields(Listed_Record& listed) {
  const char* field = "";
  const Field result = Read_Record_Fields(m_Source, m_With_Size, listed, field);
  return Field_Ok(result, field);
}

// Keeps the record, or leaves it out with a diagnostic. A packed file's own records note their
// offsets; one that lies inside the listing is left out.
void Listing_Pass::Keep(Listed_Record& listed) {
  const bool own =
      m_With_Size && listed.path_fits && m_Names_Listing_File && m_Names_Listing_File(listed.parts);
  if (own) m_Own_Offsets.push_back(listed.offset);
  if (own && listed.offset < m_Listing_End) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "Resource ID (%x): its offset %08X (byte %u) lies inside this file's own listing, which runs to "
                  "byte %llu; left out.\n",
                  listed.id, listed.offset, listed.offset, static_cast<unsigned long long>(m_Listing_End));
    m_Map.left_out.push_back({listed.id, text});
    return;
  }
  Add_Record(m_Map, listed);
}

void Listing_Pass::Run() {
  m_Map.complete = true;
  m_Map.damage.clear();
  while (true) {
    if (m_With_Size && m_Source.Offset() >= m_Data_Start) return;
    // A record's start is where the listing may end: at the end of the input (comments before
    // it included; a packed file then lost its terminating byte and its data), or at a byte
    // that is no digit when no listing text follows it.
    Listed_Record listed;
    int digits = 0;
    const Field first = Read_Hex8(m_Source, listed.id, &digits);
    if (digits == 0 && first == Field::End) {
      if (m_With_Size) Note_Missing_Terminator(m_Map, m_Source);
      return;
    }
    if (digits == 0 && first == Field::Bad) {
      Stop("resource id");
      return;
    }
    if (!Field_Ok(first, "resource id") || !Read_Fields(listed)) return;
    m_Text_End = m_Source.Offset();
    Keep(listed);
    // The last field's separator and the line end may be missing at the end of the input, where
    // a packed file's data begins, or before a terminating byte.
    if (m_With_Size && m_Source.Offset() >= m_Data_Start) return;
    const int separator = m_Source.Next();
    if (separator < 0) {
      if (m_With_Size) Note_Missing_Terminator(m_Map, m_Source);
      return;
    }
    if (separator == kRezPackedListingEnd) {
      Stop("line end");
      return;
    }
    Skip_Line_End(m_Source, m_With_Size ? m_Data_Start : UINT64_MAX);
  }
}

}  // namespace

void Parse_Rez_Text_Map(RezByteSource& source, bool with_size, RezTextMap& map,
                        const RezNamesListingFile& names_listing_file) {
  Listing_Pass reading(source, with_size, names_listing_file, map);
  if (!with_size || !names_listing_file) {
    reading.Read(UINT64_MAX, 0);
    return;
  }
  // A packed file's data begins where its own records say, past the listing's text: the text's
  // end is found first, so that an offset pointing into it cannot cut the listing short.
  RezTextMap surveyed;
  Listing_Pass survey(source, with_size, names_listing_file, surveyed);
  survey.Survey();
  if (!source.Rewind()) {
    map.complete = false;
    map.damage = "it cannot be read again from its start";
    return;
  }
  reading.Read(survey.Data_Start(), survey.Text_End());
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
