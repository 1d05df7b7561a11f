// The sample-content builder: what it writes, that it writes the same bytes every run, that the
// resource manager starts on what it writes and reads its listings whole, and that its track
// files are in the order a run walks them.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/system/files.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_map_format.h"
#include "tests/tools/content/track_bytes.h"
#include "tools/content/content_builder.h"
#include "tools/content/manifest.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

content::Generator Fixed(const std::string& text) {
  return [text](Bytes& out) {
    out.assign(text.begin(), text.end());
    return true;
  };
}

class ContentBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt_content_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_Dir = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  // Every file under the folder with its bytes.
  std::map<std::string, Bytes> Snapshot() const {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_Dir)) {
      if (!entry.is_regular_file()) continue;
      Bytes bytes;
      writers::ReadWholeFile(entry.path().string(), bytes);
      files[std::filesystem::relative(entry.path(), m_Dir).string()] = bytes;
    }
    return files;
  }

  std::string m_Dir;
};

// A resource that keeps its bytes.
class BlobResource : public CRezResource {
 public:
  bool Load(CStream* stream, uint32_t* size) override {
    m_Bytes.assign(*size, 0);
    return *size == 0 || stream->Read(m_Bytes.data(), *size) == *size;
  }
  void Free() override { m_Bytes.clear(); }
  Bytes m_Bytes;
};

class BlobHandler : public CRezTypeHandler {
 public:
  CRezResource* Create() override { return new BlobResource; }
  void Destroy(CRezResource* resource) override { delete resource; }
};

TEST_F(ContentBuilderTest, WritesBothSetFormsAndPlainFilesThatTheManagerServes) {
  content::Manifest manifest;
  manifest.AddResource({0x22000001, 2, "textures/a.txb", Fixed("texture bytes"), true, 0});
  manifest.AddResource({0x22000002, 0, "worlds/w.wld", Fixed("world bytes"), false, 0});
  manifest.AddResource({0x22000003, 4, "meshes/m.bin", Fixed("mesh in set one"), false, 1});
  manifest.AddPlainFile({"kestrone.gam", Fixed("gamma")});
  std::string error;
  ASSERT_TRUE(content::Write_Content(manifest, m_Dir, error)) << error;
  std::map<std::string, Bytes> files = Snapshot();
  for (const char* name : {"rezmap_0.ksa", "packed_rezmap_0.pck", "rez_0/textures/a.txb", "rez_0/worlds/w.wld",
                           "rezmap_1.ksa", "packed_rezmap_1.pck", "rez_1/meshes/m.bin", "kestrone.gam"}) {
    EXPECT_EQ(files.count(name), 1u) << name;
  }
  EXPECT_EQ(std::string(files["rez_0/worlds/w.wld"].begin(), files["rez_0/worlds/w.wld"].end()), "world bytes");

  // Serve from the packed form, then from the text form alone.
  for (bool packed : {true, false}) {
    SCOPED_TRACE(packed ? "packed" : "text map");
    if (!packed) {
      std::filesystem::remove(m_Dir + "/packed_rezmap_0.pck");
      std::filesystem::remove(m_Dir + "/packed_rezmap_1.pck");
      // The maps were built from the packed files; a fresh start rebuilds them from the text maps.
      std::filesystem::remove(m_Dir + "/pack_map.map");
      std::filesystem::remove(m_Dir + "/pack_map_1.map");
    }
    BlobHandler handler;
    CRezMgr manager;
    ASSERT_TRUE(manager.Init((m_Dir + "/").c_str()));
    manager.SetTypeHandler(2, &handler);
    manager.SetTypeHandler(4, &handler);
    auto* texture = static_cast<BlobResource*>(manager.Get_Resource(0x22000001, 2));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(std::string(texture->m_Bytes.begin(), texture->m_Bytes.end()), "texture bytes");
    auto* mesh = static_cast<BlobResource*>(manager.Get_Resource(0x22000003, 4));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(std::string(mesh->m_Bytes.begin(), mesh->m_Bytes.end()), "mesh in set one");
    CFileStream* world = manager.OpenRawFile(0x22000002);
    ASSERT_NE(world, nullptr);
    char text[12] = {};
    EXPECT_EQ(world->Read(text, 11), 11u);
    EXPECT_STREQ(text, "world bytes");
    manager.CloseRawFile(0x22000002, world);
    manager.FreeResource(0x22000001);
    manager.FreeResource(0x22000003);
    manager.Term();
  }
}

TEST_F(ContentBuilderTest, EmptyManifestStillGivesASetToStartFrom) {
  content::Manifest manifest;
  std::string error;
  ASSERT_TRUE(content::Write_Content(manifest, m_Dir, error)) << error;
  CRezMgr manager;
  EXPECT_TRUE(manager.Init((m_Dir + "/").c_str()));
  manager.Term();
}

TEST_F(ContentBuilderTest, UnusableManifestsAreRefused) {
  struct Case {
    const char* name;
    content::ResourceEntry entry;
  };
  const std::string long_part(64, 'x');
  const Case cases[] = {
      {"id twice in a set", {0x22000001, 2, "other", Fixed("b"), false, 0}},
      {"name twice in a set", {0x22000009, 2, "a", Fixed("b"), false, 0}},
      {"parent folder", {0x22000002, 2, "x/../a", Fixed("b"), false, 0}},
      {"quote in name", {0x22000002, 2, "a\"b", Fixed("b"), false, 0}},
      {"backslash in name", {0x22000002, 2, "a\\b", Fixed("b"), false, 0}},
      {"empty component", {0x22000002, 2, "a//b", Fixed("b"), false, 0}},
      {"ten components", {0x22000002, 2, "1/2/3/4/5/6/7/8/9/10", Fixed("b"), false, 0}},
      {"long component", {0x22000002, 2, long_part, Fixed("b"), false, 0}},
      {"no generator", {0x22000002, 2, "b", nullptr, false, 0}},
      {"negative set", {0x22000002, 2, "b", Fixed("b"), false, -1}},
      {"failing generator", {0x22000002, 2, "b", [](Bytes&) { return false; }, false, 0}},
  };
  for (const Case& c : cases) {
    content::Manifest manifest;
    manifest.AddResource({0x22000001, 2, "a", Fixed("a"), false, 0});
    manifest.AddResource(c.entry);
    std::string error;
    EXPECT_FALSE(content::Write_Content(manifest, m_Dir, error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
  content::Manifest plain;
  plain.AddPlainFile({"kestrone.gam", Fixed("a")});
  plain.AddPlainFile({"kestrone.gam", Fixed("b")});
  std::string error;
  EXPECT_FALSE(content::Write_Content(plain, m_Dir, error));
  // The same id in two different sets is allowed: the earlier set wins at run time.
  content::Manifest two_sets;
  two_sets.AddResource({0x22000001, 2, "a", Fixed("a"), false, 0});
  two_sets.AddResource({0x22000001, 2, "a", Fixed("b"), false, 1});
  EXPECT_TRUE(content::Write_Content(two_sets, m_Dir, error)) << error;
}

// The game's content, written once into a folder of its own for the tests that look at what
// the builder writes.
class GameContentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/vt_game_content_XXXXXX";
    if (!mkdtemp(pattern)) return;
    s_Dir = new std::string(pattern);
    s_Manifest = new content::Manifest;
    content::Build_Manifest(*s_Manifest);
    s_Error = new std::string;
    s_Written = content::Write_Content(*s_Manifest, *s_Dir, *s_Error);
  }
  static void TearDownTestSuite() {
    if (s_Dir) {
      std::error_code ignored;
      std::filesystem::remove_all(*s_Dir, ignored);
    }
    delete s_Dir;
    delete s_Manifest;
    delete s_Error;
    s_Dir = nullptr;
    s_Manifest = nullptr;
    s_Error = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(s_Written) << (s_Error ? *s_Error : "no folder"); }

  static std::string Path(const std::string& name) { return *s_Dir + "/" + name; }

  // Every file under the folder with its bytes, leaving out the maps a start builds.
  static std::map<std::string, Bytes> Snapshot() {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(*s_Dir)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = std::filesystem::relative(entry.path(), *s_Dir).string();
      if (name.rfind("pack_map", 0) == 0) continue;
      Bytes bytes;
      writers::ReadWholeFile(entry.path().string(), bytes);
      files[name] = bytes;
    }
    return files;
  }

  // The number of the last pack set the manifest fills.
  static int Last_Set() {
    int last = 0;
    for (const content::ResourceEntry& entry : s_Manifest->Resources()) last = std::max(last, entry.set);
    return last;
  }

  static std::string* s_Dir;
  static content::Manifest* s_Manifest;
  static std::string* s_Error;
  static bool s_Written;
};

std::string* GameContentTest::s_Dir = nullptr;
content::Manifest* GameContentTest::s_Manifest = nullptr;
std::string* GameContentTest::s_Error = nullptr;
bool GameContentTest::s_Written = false;

TEST_F(GameContentTest, IsTheSameEveryRunAndStartsTheManager) {
  const std::map<std::string, Bytes> first = Snapshot();
  int64_t first_time = 0;
  ASSERT_TRUE(plat::Get_Modification_Time(Path("rezmap_0.ksa"), &first_time));

  content::Manifest again;
  content::Build_Manifest(again);
  std::string error;
  ASSERT_TRUE(content::Write_Content(again, *s_Dir, error)) << error;
  EXPECT_TRUE(Snapshot() == first);
  int64_t second_time = 0;
  ASSERT_TRUE(plat::Get_Modification_Time(Path("rezmap_0.ksa"), &second_time));
  EXPECT_EQ(second_time, first_time);  // unchanged files are not rewritten

  CRezMgr manager;
  ASSERT_TRUE(manager.Init((*s_Dir + "/").c_str()));
  for (const content::ResourceEntry& entry : s_Manifest->Resources()) {
    CRezPackMap* map = nullptr;
    const RezRecord* record = manager.FindRecord(entry.id, &map);
    ASSERT_NE(record, nullptr) << std::hex << entry.id;
    if (entry.set == 0) { EXPECT_EQ(record->type, entry.type) << std::hex << entry.id; }
  }
  manager.Term();
}

// Both forms of every set list every resource of the set: a listing that stopped early would
// start the game without the resources after the stop.
TEST_F(GameContentTest, EveryListingReadsWhole) {
  for (int set = 0; set <= Last_Set(); ++set) {
    std::multiset<uint32_t> expected;
    for (const content::ResourceEntry& entry : s_Manifest->Resources())
      if (entry.set == set) expected.insert(entry.id);
    for (bool packed : {false, true}) {
      const std::string name = packed ? writers::PackedFileName(set) : writers::TextMapFileName(set);
      SCOPED_TRACE(name);
      Bytes bytes;
      ASSERT_TRUE(writers::ReadWholeFile(Path(name), bytes));
      RezByteSource source(bytes.data(), bytes.size());
      RezTextMap listing;
      Parse_Rez_Text_Map(source, packed, listing);
      EXPECT_TRUE(listing.left_out.empty());
      std::multiset<uint32_t> listed;
      for (const RezRecord& record : listing.records) listed.insert(record.id);
      EXPECT_EQ(listed.size(), expected.size());
      EXPECT_TRUE(listed == expected);
    }
  }
}

// Where a track first breaks the order of its events' starts or of an event's points' times;
// empty when it keeps both.
std::string First_Disorder(const writers::TrackSpec& spec) {
  for (size_t s = 0; s < spec.sections.size(); ++s) {
    const std::vector<writers::TrackEvent>& events = spec.sections[s];
    for (size_t e = 0; e < events.size(); ++e) {
      const std::string event = "section " + std::to_string(s) + ", event " + std::to_string(e);
      if (e > 0 && events[e].start < events[e - 1].start)
        return event + " starts at " + std::to_string(events[e].start) + " of the track, before the one ahead of it";
      const std::vector<writers::TrackPoint>& points = events[e].points;
      for (size_t p = 1; p < points.size(); ++p)
        if (points[p].time < points[p - 1].time)
          return event + ", point " + std::to_string(p) + " comes at " + std::to_string(points[p].time) +
                 " s before the one ahead of it";
    }
  }
  return "";
}

// A run walks each section's events from the first pending one and stops at the first whose
// start lies ahead, and each event's points likewise: an event stored behind a later one would
// never start, and a point behind a later one would fire late. Every track the builder writes,
// the loose file and its copy in the packed file, read as stored.
TEST_F(GameContentTest, EveryTrackFileHoldsItsEventsInStartOrderAndPointsInTimeOrder) {
  struct Packed_Set {
    Bytes file;
    RezTextMap listing;
  };
  std::map<int, Packed_Set> packed_sets;
  int tracks = 0;
  for (const content::ResourceEntry& entry : s_Manifest->Resources()) {
    if (entry.name.rfind("tracks/", 0) != 0) continue;
    ++tracks;
    Bytes loose;
    ASSERT_TRUE(writers::ReadWholeFile(Path(content::Loose_Folder(entry.set) + "/" + entry.name), loose)) << entry.name;
    auto [set, first_use] = packed_sets.try_emplace(entry.set);
    const Bytes& packed_file = set->second.file;
    const RezTextMap& listing = set->second.listing;
    if (first_use) {
      ASSERT_TRUE(writers::ReadWholeFile(Path(writers::PackedFileName(entry.set)), set->second.file));
      RezByteSource source(packed_file.data(), packed_file.size());
      Parse_Rez_Text_Map(source, true, set->second.listing);
    }
    const auto record = std::find_if(listing.records.begin(), listing.records.end(),
                                     [&entry](const RezRecord& r) { return r.id == entry.id; });
    ASSERT_NE(record, listing.records.end()) << entry.name;
    ASSERT_EQ(record->flags & kRezFlagCompressed, 0) << entry.name << " is read as a raw file";
    ASSERT_LE(uint64_t{record->offset} + record->size, packed_file.size()) << entry.name;
    Bytes packed(packed_file.begin() + record->offset, packed_file.begin() + record->offset + record->size);
    for (const Bytes* bytes : {&loose, &packed}) {
      SCOPED_TRACE(entry.name + (bytes == &loose ? " (loose file)" : " (in the packed file)"));
      writers::TrackSpec spec;
      ASSERT_TRUE(content_test::Track_Bytes_Reader(*bytes).Read(spec));
      EXPECT_EQ(First_Disorder(spec), "");
    }
  }
  EXPECT_EQ(tracks, 54);
}

}  // namespace
