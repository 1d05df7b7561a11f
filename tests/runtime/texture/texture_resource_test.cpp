// Texture data served by the resource manager through the texture-data handler.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/system/debug.h"
#include "platform/system/memory.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_prefetch.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "tests/runtime/texture/texture_test_support.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"
#include "tools/writers/texture_writer.h"

namespace {

class TextureResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt_tex_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_Dir = pattern;
  }
  void TearDown() override {
    m_Manager.Term();
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  writers::PackRecord Record(uint32_t id, const std::string& name, writers::Bytes data,
                             bool compress) {
    writers::PackRecord record;
    record.id = id;
    record.type = 2;
    record.name = name;
    record.data = std::move(data);
    record.compress = compress;
    return record;
  }

  void WriteSet(const std::vector<writers::PackRecord>& records) {
    std::vector<writers::OutFile> files;
    ASSERT_TRUE(writers::BuildPackedSet(0, records, files));
    for (const writers::OutFile& file : files) {
      ASSERT_TRUE(writers::WriteWholeFile(writers::JoinPath(m_Dir, file.path), file.bytes));
    }
    // No loader thread: its start-up would allocate beside the memory counts these tests read.
    RezMgr_Run_Prefetch_LoaderThread.Value = 0;
    ASSERT_TRUE(m_Manager.Init((m_Dir + "/").c_str()));
    m_Manager.SetTypeHandler(kRezType_Texture, &g_TextureDataFactory);
  }

  CTextureData* Get(uint32_t id) {
    return static_cast<CTextureData*>(m_Manager.Get_Resource(id, kRezType_Texture));
  }

  std::string m_Dir;
  CRezMgr m_Manager;
};

TEST_F(TextureResourceTest, StoredAndCompressedTexturesLoadAndCountTheirMemory) {
  writers::Picture glow;
  writers::PatternSpec spec;
  spec.pattern = writers::Pattern::RadialGlow;
  spec.width = spec.height = 64;
  ASSERT_TRUE(writers::DrawPattern(spec, glow));
  writers::Bytes plain, cube;
  ASSERT_TRUE(writers::EncodeTextureData(18, 1, 0x2023, 3, {glow}, plain));
  ASSERT_TRUE(writers::EncodeTextureData(21, 9, 0x2033, 1, std::vector<writers::Picture>(6, glow), cube));
  WriteSet({Record(0x22000101, "textures/glow.txb", plain, false),
            Record(0x22000102, "textures/cube.txb", cube, true)});
  for (uint32_t id : {0x22000101u, 0x22000102u}) {
    SCOPED_TRACE(id);
    CTextureData* texture = Get(id);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->m_Loaded, 1);
    EXPECT_EQ(texture->m_Managed, 1);
    ASSERT_NE(texture->m_pImage, nullptr);
    EXPECT_EQ(texture->m_Tracked_Memory, texture->m_pImage->GetAllocatedBytes());
    EXPECT_EQ(Get(id), texture);
  }
  EXPECT_EQ(Get(0x22000101)->m_Flags, 0x2023u);
  EXPECT_EQ(textest::Argb(Get(0x22000101)->m_pImage->GetLevel(0, 0), 64, 32, 32), 0xFFFFFFFFu);
  EXPECT_EQ(Get(0x22000102)->m_pImage->m_Kind, kTexImage_Cube);
  // Freeing returns the texture object and everything its image held.
  const int64_t held = int64_t(sizeof(CTextureData) + Get(0x22000101)->m_Tracked_Memory);
  const int64_t before = g_Total_Mem_Allocated.load();
  m_Manager.FreeResource(0x22000101);
  EXPECT_EQ(before - g_Total_Mem_Allocated.load(), held);
  m_Manager.FreeResource(0x22000102);
}

TEST_F(TextureResourceTest, DamagedTextureIsNotMade) {
  writers::TextureDataHeader header;
  header.width = header.height = 32;
  const writers::Bytes short_file =
      writers::BuildTextureData(header, {writers::Bytes(32 * 32 * 4 - 1)}, writers::Bytes());
  writers::Bytes wrong_version = short_file;
  wrong_version[0] = 19;
  WriteSet({Record(0x22000201, "short.txb", short_file, true),
            Record(0x22000202, "version.txb", wrong_version, false)});
  std::vector<std::string> errors;
  std::vector<std::string> details;
  plat::Set_Error_Recorder([&](const std::string& text) { errors.push_back(text); });
  plat::Set_Debug_Recorder([&](const std::string& text) { details.push_back(text); });
  EXPECT_EQ(Get(0x22000201), nullptr);  // expanded, but one byte short
  EXPECT_EQ(Get(0x22000202), nullptr);
  plat::Set_Error_Recorder(nullptr);
  plat::Set_Debug_Recorder(nullptr);
  EXPECT_EQ(m_Manager.Find_Loaded(0x22000201), nullptr);
  EXPECT_EQ(m_Manager.Find_Loaded(0x22000202), nullptr);
  // The refusal names the texture, its file and why; a further one in the same file is a detail.
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Allocate_Resource: Resource ID (22000201) in " + m_Dir +
                           "/packed_rezmap_0.pck was refused: texture data whose 32 x 32 pixels need 4096 bytes "
                           "where 4095 follow.\n");
  bool second_in_details = false;
  for (const std::string& text : details) {
    if (text.find("Resource ID (22000202) in " + m_Dir + "/packed_rezmap_0.pck was refused: texture data of unknown "
                  "version 19") != std::string::npos) {
      second_in_details = true;
    }
  }
  EXPECT_TRUE(second_in_details);
}

}  // namespace
