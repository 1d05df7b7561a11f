// Texture data files of versions 18, 21 and 23: loading, the format table, memory accounting
// and the refusal of damaged files.
#include "runtime/src/libkstexture/sys/pc/texture_data.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/system/memory.h"
#include "runtime/src/libksresource/rez_report.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"
#include "tests/runtime/texture/texture_test_support.h"
#include "tools/writers/texture_writer.h"

namespace {

using textest::Bytes;
using textest::StreamOf;

struct TextureDeleter {
  void operator()(CTextureData* texture) const { g_TextureDataFactory.Destroy(texture); }
};
using TexturePtr = std::unique_ptr<CTextureData, TextureDeleter>;

TexturePtr NewTexture() {
  return TexturePtr(static_cast<CTextureData*>(g_TextureDataFactory.Create()));
}

// Blocks of the right size for the header, each byte numbered so misplaced reads show.
std::vector<Bytes> NumberedBlocks(const writers::TextureDataHeader& header, uint32_t images) {
  uint64_t block = 0;
  for (uint32_t level = 0; level < header.mip_count; ++level) {
    block += writers::TextureLevelSize(header.format, header.width >> level, header.height >> level);
  }
  std::vector<Bytes> blocks(images, Bytes(block));
  for (uint32_t i = 0; i < images; ++i) {
    for (size_t b = 0; b < block; ++b) blocks[i][b] = uint8_t(i * 31 + b * 7);
  }
  return blocks;
}

Bytes PaletteBytes() {
  Bytes palette(1024);
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = uint8_t(255 - i % 251);
  return palette;
}

writers::TextureDataHeader Header(uint8_t version, uint32_t format, uint16_t width,
                                  uint16_t height, uint16_t mips, uint16_t images = 1) {
  writers::TextureDataHeader header;
  header.version = version;
  header.flags = 0x10020;
  header.format = format;
  header.width = width;
  header.height = height;
  header.mip_count = mips;
  header.image_count = images;
  return header;
}

TEST(TextureDataTest, NewTextureHasTheDefaults) {
  TexturePtr texture = NewTexture();
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->m_Resource_ID, 0u);
  EXPECT_EQ(texture->m_Reserved, -1);
  EXPECT_EQ(texture->m_Managed, 0);
  EXPECT_EQ(texture->m_Loaded, 0);
  EXPECT_EQ(texture->m_Flags, 0x2033u);
  EXPECT_EQ(texture->m_pImage, nullptr);
  EXPECT_EQ(texture->m_pDeviceTexture, nullptr);
  EXPECT_EQ(texture->m_RefCount, 0);
}

TEST(TextureDataTest, FormatTableGivesSizesPitchesAndDirect3DFormats) {
  struct Row {
    uint32_t code;
    uint32_t bytes_per_pixel;
    uint64_t size_8x4;
    uint32_t pitch_8;
    D3DFORMAT d3d;
  };
  const Row rows[] = {
      {1, 4, 128, 32, D3DFMT_A8R8G8B8}, {3, 3, 96, 24, D3DFMT_R8G8B8},
      {5, 1, 32, 8, D3DFMT_P8},         {7, 1, 32, 8, D3DFMT_P8},
      {9, 2, 64, 16, D3DFMT_A4R4G4B4},  {10, 2, 64, 16, D3DFMT_A1R5G5B5},
      {11, 2, 64, 16, D3DFMT_R5G6B5},   {12, 0, 16, 16, D3DFMT_DXT1},
      {13, 0, 32, 32, D3DFMT_DXT3},     {14, 0, 32, 32, D3DFMT_DXT5},
      {15, 2, 64, 16, D3DFMT_V8U8},     {2, 0, 0, 0, D3DFMT_UNKNOWN},
      {16, 0, 0, 0, D3DFMT_UNKNOWN},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(GetBytesPerPixel(row.code), row.bytes_per_pixel);
    EXPECT_EQ(GetMipSize(row.code, 8, 4), row.size_8x4);
    EXPECT_EQ(GetRowPitch(row.code, 8), row.pitch_8);
    EXPECT_EQ(GetD3DFormat(row.code), row.d3d);
    EXPECT_EQ(writers::TextureLevelSize(row.code, 8, 4), row.size_8x4);
  }
}

TEST(TextureDataTest, EachVersionLoadsItsKindWithLevelsInPlace) {
  struct Case {
    const char* name;
    writers::TextureDataHeader header;
    uint32_t images;
    uint32_t kind;
    uint64_t block_size;
  };
  const Case cases[] = {
      {"v18 code 1 64x64 3 levels", Header(18, 1, 64, 64, 3), 1, kTexImage_Single, 16384 + 4096 + 1024},
      {"v21 code 11 16x16 2 levels", Header(21, 11, 16, 16, 2), 6, kTexImage_Cube, 512 + 128},
      {"v23 code 5 32x32 1 level 4 images", Header(23, 5, 32, 32, 1, 4), 4, kTexImage_Array, 1024},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Bytes> blocks = NumberedBlocks(c.header, c.images);
    const bool paletted = c.header.format == 5;
    const Bytes palette = paletted ? PaletteBytes() : Bytes();
    const Bytes file = writers::BuildTextureData(c.header, blocks, palette);
    EXPECT_EQ(file.size(), (c.kind == kTexImage_Array ? 40u : 38u) + c.images * c.block_size +
                               palette.size());
    TexturePtr texture = NewTexture();
    uint32_t size = uint32_t(file.size());
    ASSERT_TRUE(texture->Load(StreamOf(file).get(), &size));
    const CTextureImage* image = texture->m_pImage;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_Kind, c.kind);
    EXPECT_EQ(image->GetImageCount(), c.images);
    EXPECT_EQ(image->m_Width, c.header.width);
    EXPECT_EQ(image->m_MipCount, c.header.mip_count);
    EXPECT_EQ(image->GetBlockSize(), c.block_size);
    EXPECT_EQ(texture->m_Flags, 0x10020u);
    EXPECT_EQ(texture->m_Loaded, 1);
    for (uint32_t i = 0; i < c.images; ++i) {
      uint64_t offset = 0;
      for (uint32_t level = 0; level < image->m_MipCount; ++level) {
        const uint8_t* pixels = image->GetLevel(i, level);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(0, memcmp(pixels, blocks[i].data() + offset, size_t(image->GetLevelSize(level))))
            << "image " << i << " level " << level;
        offset += image->GetLevelSize(level);
      }
    }
    EXPECT_EQ(image->GetLevel(c.images, 0), nullptr);
    EXPECT_EQ(image->GetLevel(0, image->m_MipCount), nullptr);
    if (paletted) {
      ASSERT_NE(image->m_pPalette, nullptr);
      EXPECT_EQ(0, memcmp(image->m_pPalette, palette.data(), 1024));
    } else {
      EXPECT_EQ(image->m_pPalette, nullptr);
    }
  }
}

TEST(TextureDataTest, EveryFormatCodeLoadsWithItsLevelSizes) {
  for (uint32_t code : {1u, 3u, 5u, 7u, 9u, 10u, 11u, 12u, 13u, 14u, 15u}) {
    SCOPED_TRACE(code);
    const writers::TextureDataHeader header = Header(18, code, 32, 16, 3);
    const Bytes palette = IsPalettedFormat(code) ? PaletteBytes() : Bytes();
    const Bytes file = writers::BuildTextureData(header, NumberedBlocks(header, 1), palette);
    TexturePtr texture = NewTexture();
    ASSERT_TRUE(texture->Load(StreamOf(file).get(), nullptr));
    const CTextureImage* image = texture->m_pImage;
    EXPECT_EQ(image->m_Format, code);
    for (uint32_t level = 0; level < 3; ++level) {
      EXPECT_EQ(image->GetLevelSize(level), GetMipSize(code, 32 >> level, 16 >> level));
    }
    EXPECT_EQ(image->m_pPalette != nullptr, IsPalettedFormat(code));
  }
}

TEST(TextureDataTest, PicturesEncodedForEveryVersionLoadBack) {
  const writers::Picture face = textest::Ramp(16, 8);
  struct Case {
    uint8_t version;
    size_t pictures;
  };
  for (const Case c : {Case{18, 1}, Case{21, 6}, Case{23, 3}}) {
    SCOPED_TRACE(int(c.version));
    Bytes file;
    ASSERT_TRUE(writers::EncodeTextureData(c.version, 1, 0x2033, 2,
                                           std::vector<writers::Picture>(c.pictures, face), file));
    TexturePtr texture = NewTexture();
    ASSERT_TRUE(texture->Load(StreamOf(file).get(), nullptr));
    const CTextureImage& image = *texture->m_pImage;
    ASSERT_EQ(image.GetImageCount(), c.pictures);
    const uint32_t last = uint32_t(c.pictures - 1);
    EXPECT_EQ(textest::Argb(image.GetLevel(last, 0), 16, 3, 5), face.At(3, 5));
    // Level 1 pixel (1, 2) is the mean of level-0 pixels (2..3, 4..5).
    const uint32_t red = ((2 * 7 + 3 * 7) * 2 + 2) / 4, green = ((4 * 5 + 5 * 5) * 2 + 2) / 4;
    EXPECT_EQ(textest::Argb(image.GetLevel(last, 1), 8, 1, 2),
              0xFF000040u | (red << 16) | (green << 8));
  }
}

TEST(TextureDataTest, DamagedFilesFailAndAllocateNothing) {
  const writers::TextureDataHeader good = Header(18, 1, 16, 16, 2);
  const std::vector<Bytes> blocks = NumberedBlocks(good, 1);
  struct Case {
    const char* name;
    Bytes file;
    const char* reason;  // in the words noted for the report of the refusal
  };
  auto with = [&](auto change) {
    writers::TextureDataHeader header = good;
    change(header);
    return writers::BuildTextureData(header, blocks, Bytes());
  };
  Bytes truncated = writers::BuildTextureData(good, blocks, Bytes());
  truncated.pop_back();
  const writers::TextureDataHeader paletted = Header(18, 5, 16, 16, 1);
  Bytes short_palette = writers::BuildTextureData(paletted, NumberedBlocks(paletted, 1), PaletteBytes());
  short_palette.resize(short_palette.size() - 1);
  const writers::TextureDataHeader array = Header(23, 1, 4, 4, 1, 3);
  Bytes fields_cut = writers::BuildTextureData(good, {}, Bytes());
  fields_cut.resize(30);
  const writers::TextureDataHeader tiny = Header(18, 1, 4, 4, 4);  // levels 4, 2, 1, then none
  const Bytes past_chain = writers::BuildTextureData(tiny, {Bytes(100)}, Bytes());
  const writers::TextureDataHeader nine = Header(18, 11, 512, 512, 9);  // the chain holds 10
  const Case cases[] = {
      {"version 19", with([](auto& h) { h.version = 19; }), "texture data of unknown version 19 (18, 21 or 23)"},
      {"empty", Bytes(), "texture data shorter than its header"},
      {"short header", Bytes(19, 18), "texture data shorter than its header"},
      {"fields cut", fields_cut, "texture data shorter than its fields"},
      {"pixels cut by one byte", truncated, "texture data whose 16 x 16 pixels need 1280 bytes where 1279 follow"},
      {"palette cut by one byte", short_palette,
       "texture data whose 16 x 16 pixels and palette need 1280 bytes where 1279 follow"},
      {"mip count 0", with([](auto& h) { h.mip_count = 0; }), "texture data of 16 x 16 pixels with 0 levels (1 to 5)"},
      {"mip count 9", with([](auto& h) { h.mip_count = 9; }), "texture data of 16 x 16 pixels with 9 levels (1 to 5)"},
      {"mips past 1x1", past_chain, "texture data of 4 x 4 pixels with 4 levels (1 to 3)"},
      {"9 levels with all their data", writers::BuildTextureData(nine, NumberedBlocks(nine, 1), Bytes()),
       "texture data of 512 x 512 pixels with 9 levels (1 to 8)"},
      {"width 0", with([](auto& h) { h.width = 0; }), "texture data of 0 x 16 pixels (each side 1 to 4096)"},
      {"height 0", with([](auto& h) { h.height = 0; }), "texture data of 16 x 0 pixels"},
      {"width 4097", with([](auto& h) { h.width = 4097; }), "texture data of 4097 x 16 pixels"},
      {"height 65535", with([](auto& h) { h.height = 65535; }), "texture data of 16 x 65535 pixels"},
      {"unknown format 2", with([](auto& h) { h.format = 2; }), "texture data of unknown format code 2"},
      {"array of 0 images", writers::BuildTextureData(Header(23, 1, 4, 4, 1, 0), {}, Bytes()),
       "texture data of 0 images (1 to 256)"},
      {"array of 257 images",
       writers::BuildTextureData(Header(23, 1, 4, 4, 1, 257), std::vector<Bytes>(257, Bytes(64)), Bytes()),
       "texture data of 257 images (1 to 256)"},
      {"array claims more images than it holds",
       writers::BuildTextureData(array, NumberedBlocks(array, 2), Bytes()),
       "texture data whose 4 x 4 pixels need 192 bytes where 128 follow"},
      {"large claim with little data", with([](auto& h) { h.width = 4096; h.height = 4096; h.mip_count = 8; }),
       "texture data whose 4096 x 4096 pixels need 89477120 bytes where 1280 follow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TexturePtr texture = NewTexture();
    const int64_t before = g_Total_Mem_Allocated.load();
    Rez_Take_Refusal();
    EXPECT_FALSE(texture->Load(StreamOf(c.file).get(), nullptr));
    const std::string noted = Rez_Take_Refusal();
    EXPECT_NE(noted.find(c.reason), std::string::npos) << noted;
    EXPECT_EQ(texture->m_pImage, nullptr);
    EXPECT_EQ(texture->m_Loaded, 0);
    EXPECT_EQ(texture->m_Flags, 0x2033u);
    EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
  }
}

TEST(TextureDataTest, GivenSizeBoundsWhatBelongsToTheTexture) {
  // A stream that holds more than the texture (an expansion buffer, a pack file) must not
  // lend its further bytes to a short texture.
  const writers::TextureDataHeader header = Header(18, 5, 8, 8, 1);
  const Bytes file = writers::BuildTextureData(header, NumberedBlocks(header, 1), PaletteBytes());
  Bytes padded = file;
  padded.resize(file.size() + 4096, 0xEE);
  for (uint32_t size : {uint32_t(file.size()), uint32_t(file.size() + 100)}) {
    TexturePtr texture = NewTexture();
    EXPECT_TRUE(texture->Load(StreamOf(padded).get(), &size)) << size;
  }
  for (uint32_t size : {uint32_t(file.size() - 1), 38u, 10u, 0u}) {
    TexturePtr texture = NewTexture();
    EXPECT_FALSE(texture->Load(StreamOf(padded).get(), &size)) << size;
  }
}

TEST(TextureDataTest, FailedReloadKeepsTheLoadedImage) {
  const writers::TextureDataHeader header = Header(18, 3, 8, 8, 1);
  const Bytes good = writers::BuildTextureData(header, NumberedBlocks(header, 1), Bytes());
  TexturePtr texture = NewTexture();
  ASSERT_TRUE(texture->Load(StreamOf(good).get(), nullptr));
  const CTextureImage* image = texture->m_pImage;
  Bytes bad = good;
  bad[0] = 19;
  EXPECT_FALSE(texture->Load(StreamOf(bad).get(), nullptr));
  EXPECT_EQ(texture->m_pImage, image);
  EXPECT_EQ(texture->m_Flags, 0x10020u);
}

TEST(TextureDataTest, MemoryIsCountedAndReturnedAndManagedTexturesTrackTheirSize) {
  const writers::TextureDataHeader header = Header(23, 7, 16, 8, 2, 3);
  const Bytes file = writers::BuildTextureData(header, NumberedBlocks(header, 3), PaletteBytes());
  const int64_t before = g_Total_Mem_Allocated.load();
  {
    TexturePtr texture = NewTexture();
    texture->m_Managed = 1;
    texture->m_Tracked_Memory = 100;  // e.g. device memory already counted
    ASSERT_TRUE(texture->Load(StreamOf(file).get(), nullptr));
    const uint64_t pixels = 3 * (128 + 32);
    EXPECT_EQ(texture->m_pImage->GetAllocatedBytes(), pixels + 1024);
    EXPECT_EQ(texture->m_Tracked_Memory, 100 + pixels + 1024);
    EXPECT_GE(g_Total_Mem_Allocated.load() - before, int64_t(pixels + 1024 + sizeof(CTextureData)));
    texture->FreePixels();
    EXPECT_EQ(texture->m_Tracked_Memory, 100u + 1024u);
    EXPECT_EQ(texture->m_pImage->GetLevel(0, 0), nullptr);
    texture->Free();
    EXPECT_EQ(texture->m_Tracked_Memory, 100u);
    EXPECT_EQ(texture->m_pImage, nullptr);
    EXPECT_EQ(texture->m_Loaded, 0);
    ASSERT_TRUE(texture->Load(StreamOf(file).get(), nullptr));
  }
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
}

TEST(TextureDataTest, UnmanagedTexturesLeaveTheResourceSizeAlone) {
  const writers::TextureDataHeader header = Header(18, 1, 8, 8, 1);
  TexturePtr texture = NewTexture();
  ASSERT_TRUE(texture->Load(
      StreamOf(writers::BuildTextureData(header, NumberedBlocks(header, 1), Bytes())).get(), nullptr));
  EXPECT_EQ(texture->m_Tracked_Memory, 0u);
}

}  // namespace
