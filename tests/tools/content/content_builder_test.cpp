// The sample-content builder: what it writes, that it writes the same bytes every run, and
// that the resource manager starts on what it writes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/system/files.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "tools/content/content_builder.h"
#include "tools/content/manifest.h"
#include "tools/writers/content_files.h"

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

TEST_F(ContentBuilderTest, GameContentIsTheSameEveryRunAndStartsTheManager) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  std::string error;
  ASSERT_TRUE(content::Write_Content(manifest, m_Dir, error)) << error;
  const std::map<std::string, Bytes> first = Snapshot();
  int64_t first_time = 0;
  ASSERT_TRUE(plat::Get_Modification_Time(m_Dir + "/rezmap_0.ksa", &first_time));

  content::Manifest again;
  content::Build_Manifest(again);
  ASSERT_TRUE(content::Write_Content(again, m_Dir, error)) << error;
  EXPECT_TRUE(Snapshot() == first);
  int64_t second_time = 0;
  ASSERT_TRUE(plat::Get_Modification_Time(m_Dir + "/rezmap_0.ksa", &second_time));
  EXPECT_EQ(second_time, first_time);  // unchanged files are not rewritten

  CRezMgr manager;
  ASSERT_TRUE(manager.Init((m_Dir + "/").c_str()));
  for (const content::ResourceEntry& entry : manifest.Resources()) {
    CRezPackMap* map = nullptr;
    const RezRecord* record = manager.FindRecord(entry.id, &map);
    ASSERT_NE(record, nullptr) << std::hex << entry.id;
    if (entry.set == 0) { EXPECT_EQ(record->type, entry.type) << std::hex << entry.id; }
  }
  manager.Term();
}

}  // namespace
