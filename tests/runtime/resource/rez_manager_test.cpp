// The resource manager over pack sets in a temporary folder.
#include <unistd.h>
#include <zlib.h>

#include <atomic>

#include <algorithm>
#include <functional>

#include "platform/system/files.h"
#include "tests/runtime/resource/rez_test_support.h"

namespace {

using namespace reztest;

class RezManagerTest : public RezFolderTest {};

TEST_F(RezManagerTest, ServesResourcesOfBothSetFormsAsSharedObjects) {
  for (bool packed : {false, true}) {
    SCOPED_TRACE(packed ? "packed" : "text map");
    std::vector<writers::PackRecord> records = {Record(0x22000001, 2, "tex/a.txb", Data("alpha")),
                                                Record(0x22000002, 4, "b.bin", Data("bravo!"), true)};
    if (packed) {
      Write_Packed_Set(0, records);
    } else {
      Write_Text_Set(0, records);
    }
    ASSERT_TRUE(Init());
    RecordingResource* a = Get(0x22000001, 2);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Text(a->m_Bytes), "alpha");
    EXPECT_EQ(a->m_Managed, 1);
    EXPECT_EQ(a->m_Loaded, 1);
    EXPECT_EQ(a->m_Type, 2);
    EXPECT_EQ(Get(0x22000001, 2), a);
    EXPECT_EQ(a->m_Loads, 1);
    RecordingResource* b = Get(0x22000002, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Text(b->m_Bytes), "bravo!");
    EXPECT_EQ(b->m_Size_Given, 6u);
    m_Manager.FreeResource(0x22000001);
    EXPECT_EQ(m_Manager.Find_Loaded(0x22000001), nullptr);
    m_Manager.FreeResource(0x22000001);  // not in the table: nothing happens
    m_Manager.FreeResource(0x22000002);
    EXPECT_EQ(m_Handler.m_Destroyed, m_Handler.m_Created);
    m_Manager.Term();
    std::filesystem::remove_all(m_Dir);
    std::filesystem::create_directory(m_Dir);
  }
}

TEST_F(RezManagerTest, EverySetIsIndexedAndEarlierSetsWin) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("set zero")), Record(0x22000002, 2, "b", Data("only zero"))});
  Write_Packed_Set(1, {Record(0x22000001, 2, "a", Data("set one")), Record(0x22000003, 2, "c", Data("only one"))});
  Write_Text_Set(2, {Record(0x22000004, 2, "d", Data("only two"))});
  ASSERT_TRUE(Init());
  EXPECT_EQ(Text(Get(0x22000001)->m_Bytes), "set zero");
  EXPECT_EQ(Text(Get(0x22000002)->m_Bytes), "only zero");
  ASSERT_NE(Get(0x22000003), nullptr);
  EXPECT_EQ(Text(Get(0x22000003)->m_Bytes), "only one");
  ASSERT_NE(Get(0x22000004), nullptr);
  EXPECT_EQ(Text(Get(0x22000004)->m_Bytes), "only two");
  EXPECT_TRUE(plat::File_Exists(Path("pack_map.map")));
  EXPECT_TRUE(plat::File_Exists(Path("pack_map_1.map")));
  EXPECT_TRUE(plat::File_Exists(Path("pack_map_2.map")));
  // A second start finds every map current and still serves every set.
  m_Manager.Term();
  ASSERT_TRUE(Init());
  EXPECT_NE(m_Manager.FindRecord(0x22000003, nullptr), nullptr);
}

TEST_F(RezManagerTest, TypeMismatchAndMissingHandlerReturnNoneSilently) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a")), Record(0x22000002, 3, "b", Data("b"))});
  ReportCapture reports;
  ASSERT_TRUE(m_Manager.Init(m_Root.c_str()));
  m_Manager.SetTypeHandler(2, &m_Handler);
  EXPECT_EQ(Get(0x22000001, 4), nullptr);
  EXPECT_EQ(Get(0x22000002, 0), nullptr);  // no handler for type 3
  EXPECT_EQ(reports.Last(), "");
  EXPECT_EQ(m_Handler.m_Created, 0);
  // Once loaded, the object is returned whatever type is asked for.
  RecordingResource* a = Get(0x22000001, 2);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(Get(0x22000001, 4), a);
  EXPECT_FALSE(m_Manager.SetTypeHandler(5, &m_Handler));
}

TEST_F(RezManagerTest, MissingIdIsReportedInHexadecimal) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  ReportCapture reports;
  EXPECT_EQ(Get(0x2200ABCD), nullptr);
  EXPECT_NE(reports.Last().find("Get_Resource: Resource ID (2200abcd) not found.\n"), std::string::npos)
      << reports.Last();
}

TEST_F(RezManagerTest, SizeToTheEndReadsTheRestOfTheFile) {
  Write_File("blob.bin", "0123456789");
  Write_File("rezmap_0.ksa",
             writers::TextMapLine(0x22000001, 0x00020000, "whole", "blob.bin", 0, false, 0) +
                 writers::TextMapLine(0x22000002, 0x00020000, "tail", "blob.bin", 4, false, 0));
  ASSERT_TRUE(Init());
  RecordingResource* whole = Get(0x22000001);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(Text(whole->m_Bytes), "0123456789");
  RecordingResource* tail = Get(0x22000002);
  ASSERT_NE(tail, nullptr);
  EXPECT_EQ(tail->m_Size_Given, 6u);
  EXPECT_EQ(Text(tail->m_Bytes), "456789");
}

TEST_F(RezManagerTest, TextMapWithTabLineEndsServesEveryResource) {
  Write_File("a.bin", "first");
  Write_File("b.bin", "second");
  Write_File("c.bin", "third");
  Write_File("rezmap_0.ksa",
             "22000001\t00020000\t\"a\"\t\"a.bin\"\t00000000\t\t"
             "22000002\t00020000\t\"b\"\t\"b.bin\"\t00000000\t\t"
             "22000003\t00020000\t\"c\"\t\"c.bin\"\t00000000\t\t");
  ASSERT_TRUE(Init());
  const char* const expected[] = {"first", "second", "third"};
  for (uint32_t n = 0; n < 3; ++n) {
    RecordingResource* resource = Get(0x22000001 + n);
    ASSERT_NE(resource, nullptr) << n;
    EXPECT_EQ(Text(resource->m_Bytes), expected[n]);
  }
}

TEST_F(RezManagerTest, CompressedResourceLoadsWithItsExpandedSize) {
  const Bytes big = Pattern(3 * 1024 * 1024 + 17, 7);
  const Bytes small = Pattern(1000, 9);
  for (int32_t prefetch_size : {250000, 0}) {
    SCOPED_TRACE(prefetch_size);
    RezMgr_Prefetch_Buffer_Size.Value = prefetch_size;
    Write_Packed_Set(0, {Record(0x22000001, 2, "big", big, true), Record(0x22000002, 2, "small", small, true)});
    ASSERT_TRUE(Init());
    RecordingResource* resource = Get(0x22000001);
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(resource->m_Size_Given, big.size());
    EXPECT_TRUE(resource->m_Bytes == big);
    RecordingResource* other = Get(0x22000002);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->m_Size_Given, small.size());
    EXPECT_TRUE(other->m_Bytes == small);
    m_Manager.FreeResource(0x22000001);
    m_Manager.FreeResource(0x22000002);
    m_Manager.Term();
  }
}

// The sanitizer runtime's allocator hooks; absent (null) in a build without sanitizers.
extern "C" {
__attribute__((weak)) int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                                    void (*free_hook)(const volatile void*));
__attribute__((weak)) size_t __sanitizer_get_allocated_size(const volatile void* block);
}

// Heap bytes taken since Start and their peak, as the sanitizer's allocator sees them. The
// sanitizer keeps hooks for good once installed; they count only while watching.
struct Heap_Watch {
  static inline std::atomic<bool> watching{false};
  static inline std::atomic<int64_t> current{0};
  static inline std::atomic<int64_t> peak{0};
  static void Start() {
    static const int installed = __sanitizer_install_malloc_and_free_hooks(On_Malloc, On_Free);
    (void)installed;
    current = 0;
    peak = 0;
    watching = true;
  }
  static void Stop() { watching = false; }
  static void On_Malloc(const volatile void*, size_t size) {
    if (!watching) return;
    const int64_t now = current += static_cast<int64_t>(size);
    int64_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
  }
  static void On_Free(const volatile void* block) {
    if (!watching) return;
    current -= static_cast<int64_t>(__sanitizer_get_allocated_size(block));
  }
};

// A small resource that would expand past the limit is refused before its expansion costs
// more memory than a fraction of that limit; one that expands to more than the part kept as it
// is made still loads whole.
TEST_F(RezManagerTest, ExpansionStopsAtItsLimitWithoutHoldingIt) {
  if (!__sanitizer_install_malloc_and_free_hooks || !__sanitizer_get_allocated_size) {
    GTEST_SKIP() << "needs the sanitizer runtime to watch the heap";
  }
  const Bytes large = Pattern(12u << 20, 4);
  Bytes packed_large;
  ASSERT_TRUE(writers::Compress(large, packed_large));
  ASSERT_TRUE(writers::WriteWholeFile(Path("bomb.bin"), Compressed_Zeros(300u << 20)));
  ASSERT_TRUE(writers::WriteWholeFile(Path("large.bin"), packed_large));
  const uint32_t compressed_texture = writers::AttributeWord(1, 2, 0, 0);
  Write_File("rezmap_0.ksa", writers::TextMapLine(0x22000001, compressed_texture, "bomb", "bomb.bin", 0, false, 0) +
                                 writers::TextMapLine(0x22000002, compressed_texture, "large", "large.bin", 0, false, 0));
  ASSERT_TRUE(Init());
  ReportCapture reports;
  Heap_Watch::Start();
  RecordingResource* refused = Get(0x22000001);
  Heap_Watch::Stop();
  EXPECT_EQ(refused, nullptr);
  // The recording type tells no bound of its own: the general one holds.
  EXPECT_NE(reports.Last().find("Resource ID (22000001) in " + Path("bomb.bin") + " expands past " +
                                std::to_string(kRezDefaultExpansionLimit) + " bytes, more than a texture may hold"),
            std::string::npos)
      << reports.Last();
  EXPECT_LT(Heap_Watch::peak.load(), int64_t{64} << 20) << "peak heap while refusing";
  RecordingResource* whole = Get(0x22000002);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->m_Size_Given, large.size());
  EXPECT_TRUE(whole->m_Bytes == large);
}

TEST_F(RezManagerTest, CorruptCompressedDataFailsWithAReport) {
  Write_Packed_Set(0, {Record(0x22000001, 2, "bad", Pattern(5000, 3), true)});
  // Damage the compressed bytes in the middle of the stream.
  Bytes packed = Read("packed_rezmap_0.pck");
  for (size_t i = packed.size() - 200; i < packed.size() - 100; ++i) packed[i] ^= 0x5A;
  ASSERT_TRUE(writers::WriteWholeFile(Path("packed_rezmap_0.pck"), packed));
  ASSERT_TRUE(Init());
  ReportCapture reports;
  EXPECT_EQ(Get(0x22000001), nullptr);
  EXPECT_NE(reports.Last().find("Resource ID (22000001) does not expand"), std::string::npos) << reports.Last();
  EXPECT_EQ(m_Manager.Find_Loaded(0x22000001), nullptr);
  EXPECT_EQ(m_Handler.m_Created, m_Handler.m_Destroyed);
}

TEST_F(RezManagerTest, TruncatedPackFileFailsTheLoad) {
  Write_Packed_Set(0, {Record(0x22000001, 2, "a", Pattern(4000, 5), true), Record(0x22000002, 2, "b", Pattern(4000, 6))});
  ASSERT_TRUE(Init());
  m_Manager.Term();
  Bytes packed = Read("packed_rezmap_0.pck");
  packed.resize(packed.size() - 2000);
  ASSERT_TRUE(writers::WriteWholeFile(Path("packed_rezmap_0.pck"), packed));
  Touch(Path("pack_map.map"), 100);  // keep the old map: its records now reach past the end
  ASSERT_TRUE(Init());
  EXPECT_NE(Get(0x22000001), nullptr);
  EXPECT_EQ(Get(0x22000002), nullptr);
}

TEST_F(RezManagerTest, RecordReachingPastItsFileIsNeverHandedToTheResource) {
  // A map whose size overstates what the file holds must fail the load before the resource
  // is asked for (and would allocate) the overstated size.
  for (bool compress : {false, true}) {
    SCOPED_TRACE(compress);
    Write_Packed_Set(0, {Record(0x22000001, 2, "b", Pattern(4000, 6), compress)});
    ASSERT_TRUE(Init());
    m_Manager.Term();
    Bytes packed = Read("packed_rezmap_0.pck");
    packed.resize(packed.size() - 10);
    ASSERT_TRUE(writers::WriteWholeFile(Path("packed_rezmap_0.pck"), packed));
    Touch(Path("pack_map.map"), 100);  // keep the old map and its sizes
    ASSERT_TRUE(Init());
    uint32_t asked = 0;
    m_Handler.m_On_Half_Read = [&](RecordingResource* self) { asked = self->m_Size_Given; };
    ReportCapture reports;
    EXPECT_EQ(Get(0x22000001), nullptr);
    EXPECT_EQ(asked, 0u) << "the resource was asked for bytes the file does not hold";
    EXPECT_NE(reports.Last().find("Resource ID (22000001) runs past the end of its file"), std::string::npos)
        << reports.Last();
    EXPECT_EQ(m_Handler.m_Created, m_Handler.m_Destroyed);
    m_Handler.m_On_Half_Read = nullptr;
    m_Manager.Term();
  }
}

TEST_F(RezManagerTest, NestedCompressedLoadKeepsTheOuterBytes) {
  const Bytes outer = Pattern(200000, 1);
  const Bytes inner = Pattern(150000, 2);
  Write_Packed_Set(0, {Record(0x22000001, 2, "outer", outer, true), Record(0x22000002, 4, "inner", inner, true)});
  ASSERT_TRUE(Init());
  RecordingResource* nested = nullptr;
  m_Handler.m_On_Half_Read = [&](RecordingResource* self) {
    if (self->m_Resource_ID == 0x22000001) nested = Get(0x22000002);
  };
  RecordingResource* resource = Get(0x22000001);
  ASSERT_NE(resource, nullptr);
  ASSERT_NE(nested, nullptr);
  EXPECT_TRUE(resource->m_Bytes == outer);
  EXPECT_TRUE(nested->m_Bytes == inner);
}

TEST_F(RezManagerTest, ThirtyThirdFileEvictsTheLeastRecentSlot) {
  std::vector<writers::PackRecord> records;
  for (uint32_t i = 1; i <= 33; ++i) {
    records.push_back(Record(0x22000000 + i, 2, "f" + std::to_string(i), Data("file " + std::to_string(i))));
  }
  Write_Text_Set(0, records);
  ASSERT_TRUE(Init());
  for (uint32_t i = 1; i <= 33; ++i) ASSERT_NE(Get(0x22000000 + i), nullptr) << i;
  // Files still cached open stay readable after they are deleted; an evicted one does not.
  ASSERT_EQ(unlink(Path("loose0/f1").c_str()), 0);
  ASSERT_EQ(unlink(Path("loose0/f2").c_str()), 0);
  m_Manager.FreeResource(0x22000001);
  m_Manager.FreeResource(0x22000002);
  ReportCapture reports;
  RecordingResource* second = Get(0x22000002);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Text(second->m_Bytes), "file 2");
  EXPECT_EQ(Get(0x22000001), nullptr);
  EXPECT_NE(reports.Last().find("Allocate_Resource: File (" + m_Root + "loose0/f1) not found.\n"),
            std::string::npos)
      << reports.Last();
}

TEST_F(RezManagerTest, RawFileOpensAtTheRecordAndNamesItsFile) {
  Write_Packed_Set(0, {Record(0x22000001, 0, "first", Data("xxxx")), Record(0x22000002, 0, "track", Data("TRACKDATA"))});
  ASSERT_TRUE(Init());
  CFileStream* stream = m_Manager.OpenRawFile(0x22000002);
  ASSERT_NE(stream, nullptr);
  char text[10] = {};
  EXPECT_EQ(stream->Read(text, 9), 9u);
  EXPECT_STREQ(text, "TRACKDATA");
  m_Manager.CloseRawFile(0x22000002, stream);
  EXPECT_EQ(m_Manager.OpenRawFile(0x22000099), nullptr);

  CRezPackMap* map = nullptr;
  const RezRecord* record = m_Manager.FindRecord(0x22000002, &map);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(map, nullptr);
  char name[260];
  ASSERT_TRUE(m_Manager.BuildFileName(record, name, sizeof name, map));
  EXPECT_EQ(std::string(name), m_Root + "packed_rezmap_0.pck");
  EXPECT_EQ(record->size, 9u);
  EXPECT_FALSE(m_Manager.BuildFileName(record, name, 5, map));
}

TEST_F(RezManagerTest, InitFailsWithoutAnySource) {
  EXPECT_FALSE(Init());
  EXPECT_FALSE(m_Manager.Is_Initialised());
}

TEST_F(RezManagerTest, BadVersionFailsWithoutSourcesAndIsRebuiltWithThem) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  m_Manager.Term();
  Bytes map = Read("pack_map.map");
  map[20] = 4;
  ASSERT_TRUE(writers::WriteWholeFile(Path("pack_map.map"), map));
  Touch(Path("pack_map.map"), 100);
  ASSERT_TRUE(Init());
  EXPECT_EQ(Read("pack_map.map")[20], 5);
  EXPECT_NE(Get(0x22000001), nullptr);
  m_Manager.Term();

  std::filesystem::remove(Path("rezmap_0.ksa"));
  map[20] = 4;
  ASSERT_TRUE(writers::WriteWholeFile(Path("pack_map.map"), map));
  EXPECT_FALSE(Init());
}

TEST_F(RezManagerTest, DamagedMapIsRebuiltWhenItsSourcesExistElseInitFails) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  m_Manager.Term();
  Bytes map = Read("pack_map.map");
  // Point bucket 1 far past the record area; header and length stay right.
  const size_t bucket1 = map.size() - 36 - 8192 + 8;
  map[bucket1 + 2] = 0x10;
  ASSERT_TRUE(writers::WriteWholeFile(Path("pack_map.map"), map));
  Touch(Path("pack_map.map"), 100);
  ReportCapture reports;
  ASSERT_TRUE(Init());
  EXPECT_NE(Get(0x22000001), nullptr);
  m_Manager.Term();

  ASSERT_TRUE(writers::WriteWholeFile(Path("pack_map.map"), map));
  std::filesystem::remove(Path("rezmap_0.ksa"));
  EXPECT_FALSE(Init());
  EXPECT_NE(reports.Last().find("damaged"), std::string::npos) << reports.Last();
}

// A map whose header and length are right but whose records are damaged is a cache gone bad:
// the start rebuilds it (or, for damage only a load shows, the failed load rebuilds it once
// and tries again), and every resource is served.
TEST_F(RezManagerTest, AMapWithDamagedRecordsIsRebuiltAndServes) {
  const Bytes first = Pattern(3000, 1);
  const Bytes second = Pattern(2000, 2);
  struct Case {
    const char* what;
    std::function<void(Bytes& map, size_t record_area)> damage;
  };
  auto put32 = [](Bytes& map, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) map[at + i] = uint8_t(value >> (8 * i));
  };
  // Two records of 36 bytes at the end: the id, ten components, flags, type, two attributes,
  // the offset and the size. The first is the compressed one.
  const Case cases[] = {
      {"zeroed body", [](Bytes& map, size_t) { std::fill(map.begin() + 36, map.end(), uint8_t{0}); }},
      {"huge offset", [&](Bytes& map, size_t area) { put32(map, area + 28, 0x7FFFFFF0u); }},
      {"huge size", [&](Bytes& map, size_t area) { put32(map, area + 36 + 32, 0x7FFFFFF0u); }},
      {"size 0", [&](Bytes& map, size_t area) { put32(map, area + 32, 0); }},
      {"no file", [](Bytes& map, size_t area) { map[area + 4] = 0; map[area + 5] = 0; }},
      {"compression flag set on raw data", [](Bytes& map, size_t area) { map[area + 36 + 24] |= 1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write_Packed_Set(0, {Record(0x22000001, 2, "a", first, true), Record(0x22000002, 2, "b", second)});
    ASSERT_TRUE(Init());
    m_Manager.Term();
    const Bytes good = Read("pack_map.map");
    Bytes map = good;
    c.damage(map, map.size() - 2 * 36);
    ASSERT_TRUE(writers::WriteWholeFile(Path("pack_map.map"), map));
    Touch(Path("pack_map.map"), 100);
    ASSERT_TRUE(Init());
    RecordingResource* a = Get(0x22000001);
    RecordingResource* b = Get(0x22000002);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->m_Bytes == first);
    EXPECT_TRUE(b->m_Bytes == second);
    EXPECT_TRUE(Read("pack_map.map") == good) << "the map on disk is mended too";
    m_Manager.Term();
    std::filesystem::remove_all(m_Dir);
    std::filesystem::create_directory(m_Dir);
  }
}

TEST_F(RezManagerTest, TouchedSourceRebuildsTheMapAndACurrentMapIsKept) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  m_Manager.Term();
  int64_t built = 0;
  ASSERT_TRUE(plat::Get_Modification_Time(Path("pack_map.map"), &built));
  ASSERT_TRUE(Init());
  m_Manager.Term();
  int64_t again = 0;
  ASSERT_TRUE(plat::Get_Modification_Time(Path("pack_map.map"), &again));
  EXPECT_EQ(again, built);

  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a")), Record(0x22000002, 2, "b", Data("b"))});
  Touch(Path("rezmap_0.ksa"), 100);
  ASSERT_TRUE(Init());
  EXPECT_NE(Get(0x22000002), nullptr);
}

TEST_F(RezManagerTest, StalenessTestChecksTheMapsLength) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  m_Manager.Term();
  Bytes map = Read("pack_map.map");
  map.resize(map.size() - 10);
  ASSERT_TRUE(writers::WriteWholeFile(Path("pack_map.map"), map));
  Touch(Path("pack_map.map"), 100);
  ASSERT_TRUE(Init());
  EXPECT_EQ(Read("pack_map.map").size(), map.size() + 10);
}

TEST_F(RezManagerTest, FailedMapWriteFailsInitAndKeepsTheOldMap) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  m_Manager.Term();
  const Bytes old_map = Read("pack_map.map");
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a")), Record(0x22000002, 2, "b", Data("b"))});
  Touch(Path("rezmap_0.ksa"), 100);
  for (plat::Replace_Step step : {plat::Replace_Step::Create, plat::Replace_Step::Write, plat::Replace_Step::Sync,
                                  plat::Replace_Step::Rename}) {
    plat::Inject_Replace_Failure(step);
    EXPECT_FALSE(Init());
    plat::Inject_Replace_Failure(plat::Replace_Step::None);
    EXPECT_TRUE(Read("pack_map.map") == old_map);
  }
  ASSERT_TRUE(Init());
  EXPECT_NE(Get(0x22000002), nullptr);
}

TEST_F(RezManagerTest, OverlongPathIsRejectedWithADiagnosticAndOthersServed) {
  const std::string deep = "1/2/3/4/5/6/7/8/9/10/11.bin";
  Write_File("rezmap_0.ksa", writers::TextMapLine(0x22000001, 0x00020000, "deep", deep, 0, false, 0) +
                                 writers::TextMapLine(0x22000002, 0x00020000, "ok", "ok.bin", 0, false, 0));
  Write_File("ok.bin", "fine");
  ReportCapture reports;
  ASSERT_TRUE(Init());
  EXPECT_NE(reports.Last().find("Resource ID (22000001): path has more than 10 components"), std::string::npos)
      << reports.Last();
  EXPECT_EQ(m_Manager.FindRecord(0x22000001, nullptr), nullptr);
  ASSERT_NE(Get(0x22000002), nullptr);
}

TEST_F(RezManagerTest, PurgedResourceIsReadAgainOnItsNextRequest) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("first")), Record(0x22000002, 2, "b", Data("second"))});
  ASSERT_TRUE(Init());
  RecordingResource* a = Get(0x22000001);
  ASSERT_NE(a, nullptr);
  // The default target never starts the purge.
  a->m_Last_Use = 7;
  ASSERT_NE(Get(0x22000002), nullptr);
  EXPECT_EQ(a->m_Frees, 0);
  // With a low target the resource not used in this frame is purged before the next read.
  RezMgr_Target_Sys_Memory_InBytes.Value = 0;
  m_Manager.FreeResource(0x22000002);
  RecordingResource* b = Get(0x22000002);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->m_Frees, 1);
  EXPECT_EQ(a->m_Loaded, 0);
  EXPECT_EQ(b->m_Frees, 0);  // stamped with the current frame
  EXPECT_TRUE(a->m_Bytes.empty());
  a->m_Last_Use = 0;
  RezMgr_Target_Sys_Memory_InBytes.Value = 1512000000;
  EXPECT_EQ(Get(0x22000001), a);
  EXPECT_EQ(a->m_Loaded, 1);
  EXPECT_EQ(a->m_Loads, 2);
  EXPECT_EQ(Text(a->m_Bytes), "first");
}

TEST_F(RezManagerTest, PurgeSkipsABucketWhoseHeadIsNotLoaded) {
  // 0x22000001 and 0x22000081 share loaded-table bucket 1.
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a")), Record(0x22000081, 2, "b", Data("b")),
                     Record(0x22000005, 2, "c", Data("c"))});
  ASSERT_TRUE(Init());
  RecordingResource* head = Get(0x22000001);
  RecordingResource* second = Get(0x22000081);
  ASSERT_NE(head, nullptr);
  ASSERT_NE(second, nullptr);
  head->m_Loaded = 0;
  second->m_Last_Use = 3;
  RezMgr_Target_Sys_Memory_InBytes.Value = 0;
  m_Manager.PurgeToTarget();
  EXPECT_EQ(second->m_Frees, 0);
  head->m_Loaded = 1;
  m_Manager.PurgeToTarget();
  EXPECT_EQ(second->m_Frees, 1);
}

TEST_F(RezManagerTest, SecondInitIsANoOpAndTermCanRepeat) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  ASSERT_TRUE(Init());
  EXPECT_TRUE(m_Manager.Init("elsewhere/"));
  EXPECT_EQ(m_Manager.Root(), m_Root);
  m_Manager.Term();
  m_Manager.Term();
  EXPECT_FALSE(m_Manager.Is_Initialised());
}

TEST_F(RezManagerTest, RootBackslashesBecomeSlashesAndLongRootsAreRefused) {
  Write_Text_Set(0, {Record(0x22000001, 2, "a", Data("a"))});
  std::string root = m_Root;
  for (char& c : root) c = c == '/' ? '\\' : c;
  ASSERT_TRUE(m_Manager.Init(root.c_str()));
  EXPECT_EQ(m_Manager.Root(), m_Root);
  m_Manager.Term();
  EXPECT_FALSE(m_Manager.Init(std::string(300, 'r').c_str()));
}

}  // namespace
