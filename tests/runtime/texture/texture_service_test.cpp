// The texture service without a device: loading by file extension, reference counts, the
// pixel lock the War Room map writes through, registration and image files without a device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/system/debug.h"
#include "runtime/src/core/interface_db.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "tools/writers/content_files.h"
#include "tools/writers/texture_writer.h"
#include "tools/writers/tga_writer.h"

namespace {

class TextureServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("TMPDIR");
    m_Dir = std::string(dir != nullptr ? dir : "/tmp") + "/vt_texsvc_" + std::to_string(::getpid());
    ASSERT_TRUE(writers::WriteWholeFile(m_Dir + "/probe", {0}));
    m_Picture.width = m_Picture.height = 16;
    m_Picture.pixels.assign(256, 0xFF336699u);
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  std::string Write(const std::string& name, const writers::Bytes& bytes) {
    const std::string path = writers::JoinPath(m_Dir, name);
    EXPECT_TRUE(writers::WriteWholeFile(path, bytes));
    return path;
  }

  writers::Bytes Tga() {
    writers::Bytes out;
    EXPECT_TRUE(writers::EncodeTga(m_Picture, writers::TgaSpec{}, out));
    return out;
  }

  writers::Bytes TextureData() {
    writers::Bytes out;
    EXPECT_TRUE(writers::EncodeTextureData(18, 1, 0x2033, 1, {m_Picture}, out));
    return out;
  }

  std::string m_Dir;
  writers::Picture m_Picture;
};

TEST_F(TextureServiceTest, TheExtensionChoosesTheReaderInAnyCase) {
  struct Case {
    const char* name;
    bool tga;
    bool loads;
  };
  const Case cases[] = {
      {"a.tga", true, true},   {"b.TGA", true, true},   {"c.ksb", false, true}, {"d.TXB", false, true},
      {"e.png", true, false},  {"noextension", true, false}, {"f.tga.bak", true, false},
      {"g.ksb", true, false},  // a TGA under a texture data name does not load as texture data
  };
  for (const Case& c : cases) {
    const std::string path = Write(c.name, c.tga ? Tga() : TextureData());
    CTextureData* texture = g_D3DTexture.LoadTexture(path.c_str(), 0, 0);
    EXPECT_EQ(texture != nullptr, c.loads) << c.name;
    if (texture == nullptr) continue;
    EXPECT_EQ(texture->m_RefCount, 1) << c.name;
    EXPECT_EQ(g_D3DTexture.GetWidth(texture, 0), 16u);
    g_D3DTexture.ReleaseTexture(texture);
  }
  EXPECT_EQ(g_D3DTexture.LoadTexture((m_Dir + "/missing.tga").c_str(), 0, 0), nullptr);
  EXPECT_EQ(g_D3DTexture.LoadTexture(nullptr, 0, 0), nullptr);
}

// A texture data file the reader refuses is named with why, on the error channel.
TEST_F(TextureServiceTest, ARefusedTextureDataFileIsNamedWithTheReason) {
  writers::Bytes bytes = TextureData();
  bytes[0] = 19;
  const std::string wrong_version = Write("v.txb", bytes);
  bytes = TextureData();
  bytes.resize(bytes.size() - 1);
  const std::string cut = Write("c.ksb", bytes);
  std::vector<std::string> errors;
  plat::Set_Error_Recorder([&](const std::string& text) { errors.push_back(text); });
  EXPECT_EQ(g_D3DTexture.LoadTexture(wrong_version.c_str(), 0, 0), nullptr);
  EXPECT_EQ(g_D3DTexture.LoadTexture(cut.c_str(), 0, 0), nullptr);
  plat::Set_Error_Recorder(nullptr);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "LoadTexture: " + wrong_version +
                           " was refused: texture data of unknown version 19 (18, 21 or 23).\n");
  EXPECT_EQ(errors[1], "LoadTexture: " + cut + " was refused: texture data whose 16 x 16 pixels need 1024 bytes "
                       "where 1023 follow.\n");
}

// Without a device nothing takes the pixels: the texture keeps a copy of its own, which stays
// whole after the stream is overwritten and freed.
TEST_F(TextureServiceTest, TextureDataFromMemoryWithoutADeviceOwnsItsPixels) {
  const writers::Bytes file = TextureData();
  CStream* stream = CreateMemoryStream(0);
  stream->Write(file.data(), uint32_t(file.size()));
  stream->SeekTo(0);
  uint32_t length = uint32_t(file.size());
  CTextureData* texture = g_D3DTexture.LoadTextureData(stream, &length);
  stream->SeekTo(0);
  const writers::Bytes other(file.size(), 0x11);
  stream->Write(other.data(), uint32_t(other.size()));
  stream->Release();
  ASSERT_NE(texture, nullptr);
  ASSERT_TRUE(texture->m_pImage->HasPixels());
  EXPECT_FALSE(texture->m_pImage->HasBorrowedPixels());
  EXPECT_EQ(texture->m_pImage->GetAllocatedBytes(), texture->m_pImage->GetPixelBytes());
  const uint8_t* pixels = texture->m_pImage->GetLevel(0, 0);
  for (int i = 0; i < 256; ++i) {
    uint32_t texel = 0;
    std::memcpy(&texel, pixels + 4 * i, 4);
    ASSERT_EQ(texel, 0xFF336699u) << "texel " << i;
  }
  g_D3DTexture.ReleaseTexture(texture);
}

TEST_F(TextureServiceTest, ReferencesKeepATextureUntilTheLastRelease) {
  CTextureData* texture = g_D3DTexture.CreateTexture(kTexImage_Single, 1, 16, 16, 1, 0);
  ASSERT_NE(texture, nullptr);
  ++texture->m_RefCount;
  g_D3DTexture.ReleaseTexture(texture);
  EXPECT_EQ(texture->m_RefCount, 1);
  EXPECT_EQ(g_D3DTexture.GetFormat(texture), 1u);  // still alive (the sanitizer would tell)
  g_D3DTexture.ReleaseTexture(texture);
}

TEST_F(TextureServiceTest, PixelLockNeedsKeptPixelsOfASingleImage) {
  const uint8_t pixels[4 * 16 * 16] = {};
  CTextureData* kept = g_D3DTexture.CreateFromData(pixels, kTexImage_Single, 1, 16, 16, 1, 0, nullptr, 1);
  CTextureData* dropped = g_D3DTexture.CreateFromData(pixels, kTexImage_Single, 1, 16, 16, 1, 0, nullptr, 0);
  CTextureData* cube = g_D3DTexture.CreateTexture(kTexImage_Cube, 1, 16, 16, 1, 0);
  ASSERT_NE(kept, nullptr);
  ASSERT_NE(dropped, nullptr);
  ASSERT_NE(cube, nullptr);
  cube->m_Flags |= kTextureFlag_KeepPixels;
  EXPECT_NE(kept->m_Flags & kTextureFlag_KeepPixels, 0u);
  uint8_t* texels = g_D3DTexture.LockTexture(kept);
  ASSERT_NE(texels, nullptr);
  texels[3] = 0x40;  // alpha of the first texel
  EXPECT_TRUE(g_D3DTexture.UnlockTexture(kept));
  EXPECT_EQ(g_D3DTexture.GetMipData(kept, 0, 0)[3], 0x40);
  EXPECT_EQ(g_D3DTexture.LockTexture(dropped), nullptr);
  EXPECT_FALSE(g_D3DTexture.UnlockTexture(dropped));
  EXPECT_EQ(g_D3DTexture.LockTexture(cube), nullptr);
  EXPECT_EQ(g_D3DTexture.LockTexture(nullptr), nullptr);
  for (CTextureData* t : {kept, dropped, cube}) g_D3DTexture.ReleaseTexture(t);
}

TEST_F(TextureServiceTest, CreateFromDataTakesOnlySingleImages) {
  const uint8_t pixels[4 * 16 * 16] = {};
  EXPECT_EQ(g_D3DTexture.CreateFromData(pixels, kTexImage_Cube, 1, 16, 16, 1, 0, nullptr, 0), nullptr);
  EXPECT_EQ(g_D3DTexture.CreateFromData(nullptr, kTexImage_Single, 1, 16, 16, 1, 0, nullptr, 0), nullptr);
  // A paletted source without a palette cannot be resampled.
  EXPECT_EQ(g_D3DTexture.CreateFromData(pixels, kTexImage_Single, 5, 16, 16, 2, 0, nullptr, 0), nullptr);
}

TEST_F(TextureServiceTest, ServiceIsRegisteredAndImageFilesNeedADevice) {
  EXPECT_EQ(g_pTexture, &g_D3DTexture);
  EXPECT_STREQ(g_pTexture->GetClassName(), "CD3DTexture");
  {
    CD3DTexture other;
    EXPECT_EQ(g_pTexture, &other);
  }
  EXPECT_EQ(g_pTexture, &g_D3DTexture) << "a second service gives the pointer back when it goes";
  EXPECT_EQ(g_D3DTexture.LoadTextureD3DX(L"/nonexistent.png", 0, 0), nullptr);
  EXPECT_EQ(g_D3DTexture.GetTexture(0x22000101), nullptr) << "no resource manager";
}

}  // namespace
