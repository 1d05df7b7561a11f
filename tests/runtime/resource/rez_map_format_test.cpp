// The binary pack map: its exact layout, and the checks a loaded map must pass.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/src/libksresource/rez_map_format.h"

namespace {

using Bytes = std::vector<uint8_t>;

RezMapData Build(const std::string& text) {
  RezByteSource source(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  RezTextMap map;
  Parse_Rez_Text_Map(source, false, map);
  RezMapData data;
  std::string error;
  EXPECT_TRUE(Build_Rez_Map_Data(map, data, error)) << error;
  return data;
}

const char kThreeRecords[] =
    "22000001 00020000 \"a\" \"./tex/a.txb\" 00000000\r\n"
    "22000002 01040506 \"b\" \"/b.bin\" 00000010\r\n"
    "22000401 00010000 \"c\" \"tex\\c\" 00000020\r\n";

void Put(Bytes& out, std::initializer_list<int> bytes) {
  for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
}

TEST(RezMapFormat, GoldenMapByteForByte) {
  Bytes expected;
  Put(expected, {25, 0, 3, 0});
  expected.insert(expected.end(), 16, 0);
  Put(expected, {5, 0, 0, 0, 16, 0, 0, 0, 18, 0, 0, 0, 108, 0, 0, 0});
  // Offset table: "tex" at 0, "a.txb" at 4, "b.bin" at 10, "c" at 16.
  Put(expected, {0, 0, 0, 0, 4, 0, 0, 0, 10, 0, 0, 0, 16, 0, 0, 0});
  const char pool[] = "tex\0a.txb\0b.bin\0c";
  expected.insert(expected.end(), pool, pool + sizeof pool);
  // Buckets: 0 empty; 1 holds 0x22000001 and 0x22000401 from offset 0; 2 holds 0x22000002 at 72.
  Bytes buckets(8192, 0);
  buckets[8] = 0;
  buckets[12] = 2;
  buckets[16] = 72;
  buckets[20] = 1;
  expected.insert(expected.end(), buckets.begin(), buckets.end());
  auto record = [&](std::initializer_list<int> id, std::initializer_list<int> parts,
                    std::initializer_list<int> attributes, int offset) {
    Put(expected, id);
    Bytes components(20, 0);
    size_t i = 0;
    for (int part : parts) components[2 * i++] = static_cast<uint8_t>(part);
    expected.insert(expected.end(), components.begin(), components.end());
    Put(expected, attributes);
    Put(expected, {offset, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
  };
  record({0x01, 0x00, 0x00, 0x22}, {1, 2}, {0, 2, 0, 0}, 0x00);
  record({0x01, 0x04, 0x00, 0x22}, {1, 4}, {0, 1, 0, 0}, 0x20);
  record({0x02, 0x00, 0x00, 0x22}, {3}, {1, 4, 5, 6}, 0x10);

  EXPECT_EQ(Serialize_Rez_Map(Build(kThreeRecords)), expected);
}

TEST(RezMapFormat, EmptyMapIsValid) {
  Bytes bytes = Serialize_Rez_Map(Build(""));
  EXPECT_EQ(bytes.size(), kRezMapHeaderSize + kRezMapBucketTableSize);
  RezMapData data;
  std::string error;
  EXPECT_TRUE(Parse_Rez_Map(bytes.data(), bytes.size(), data, error)) << error;
  EXPECT_TRUE(data.records.empty());
}

TEST(RezMapFormat, RoundTripKeepsRecordsAndNames) {
  Bytes bytes = Serialize_Rez_Map(Build(kThreeRecords));
  RezMapData data;
  std::string error;
  ASSERT_TRUE(Parse_Rez_Map(bytes.data(), bytes.size(), data, error)) << error;
  ASSERT_EQ(data.records.size(), 3u);
  EXPECT_STREQ(data.Component(data.records[1].components[1]), "c");
  EXPECT_EQ(data.records[2].attributes[1], 6);
  EXPECT_EQ(data.Component(0), nullptr);
  EXPECT_EQ(data.Component(5), nullptr);
}

// Offsets into a map built from kThreeRecords.
constexpr size_t kTable = kRezMapHeaderSize;        // 4 entries
constexpr size_t kPool = kTable + 16;               // 18 bytes
constexpr size_t kBuckets = kPool + 18;
constexpr size_t kRecords = kBuckets + kRezMapBucketTableSize;

void Put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(RezMapFormat, DamagedMapsAreRejected) {
  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
  };
  const Case cases[] = {
      {"shorter than a header", [](Bytes& b) { b.resize(30); }},
      {"truncated records", [](Bytes& b) { b.pop_back(); }},
      {"one byte too many", [](Bytes& b) { b.push_back(0); }},
      {"first magic word", [](Bytes& b) { b[0] = 24; }},
      {"second magic word", [](Bytes& b) { b[2] = 4; }},
      {"version 4", [](Bytes& b) { b[20] = 4; }},
      {"table size not whole entries", [](Bytes& b) { Put32(b, 24, 15); Put32(b, 28, 19); }},
      {"record area not whole records", [](Bytes& b) { Put32(b, 28, 19); Put32(b, 32, 107); }},
      {"huge sizes", [](Bytes& b) { Put32(b, 24, 0xFFFFFFFC); }},
      {"component offset past the pool", [](Bytes& b) { Put32(b, kTable + 4, 18); }},
      {"pool not terminated", [](Bytes& b) { b[kPool + 17] = 'x'; }},
      {"component longer than 63", [](Bytes& b) {
         // Make "tex" run on for 70 characters by removing terminators is not possible in
         // 18 bytes; grow the pool instead.
         b.insert(b.begin() + kBuckets - 1, 70, 'z');
         Put32(b, 28, 18 + 70);
       }},
      {"bucket past the record area", [](Bytes& b) { Put32(b, kBuckets + 16, 108); }},
      {"bucket count past the record area", [](Bytes& b) { b[kBuckets + 12] = 4; }},
      {"bucket offset not on a record", [](Bytes& b) { Put32(b, kBuckets + 16, 40); }},
      {"record in the wrong bucket", [](Bytes& b) { b[kRecords] = 0x03; }},
      {"component number past the table", [](Bytes& b) { b[kRecords + 4] = 5; }},
      {"unknown resource type", [](Bytes& b) { b[kRecords + 25] = 5; }},
      {"size reader flag", [](Bytes& b) { b[kRecords + 24] = 2; }},
  };
  const Bytes good = Serialize_Rez_Map(Build(kThreeRecords));
  {
    RezMapData data;
    std::string error;
    ASSERT_TRUE(Parse_Rez_Map(good.data(), good.size(), data, error)) << error;
  }
  for (const Case& c : cases) {
    Bytes bytes = good;
    c.damage(bytes);
    RezMapData data;
    std::string error;
    EXPECT_FALSE(Parse_Rez_Map(bytes.data(), bytes.size(), data, error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
}

TEST(RezMapFormat, BucketBeyondItsCountFieldFailsTheBuild) {
  RezTextMap map;
  map.records.resize(65536);
  for (size_t i = 0; i < map.records.size(); ++i) map.records[i].id = static_cast<uint32_t>(i << 10);
  RezMapData data;
  std::string error;
  EXPECT_FALSE(Build_Rez_Map_Data(map, data, error));
  map.records.pop_back();
  EXPECT_TRUE(Build_Rez_Map_Data(map, data, error)) << error;
  EXPECT_EQ(data.buckets[0].count, 65535);
}

TEST(RezMapFormat, HeaderGivesTheExpectedTotalSize) {
  Bytes bytes = Serialize_Rez_Map(Build(kThreeRecords));
  RezMapHeader header;
  ASSERT_TRUE(Parse_Rez_Map_Header(bytes.data(), bytes.size(), header));
  EXPECT_EQ(header.Total_Size(), bytes.size());
  bytes[20] = 6;
  EXPECT_FALSE(Parse_Rez_Map_Header(bytes.data(), bytes.size(), header));
}

}  // namespace
