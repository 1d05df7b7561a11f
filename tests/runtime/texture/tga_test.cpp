// Reading and writing TGA images through the texture service.
#include <gtest/gtest.h>

#include <memory>

#include "platform/system/memory.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"
#include "tests/runtime/texture/texture_test_support.h"
#include "tools/writers/texture_writer.h"
#include "tools/writers/tga_writer.h"

namespace {

using textest::Argb;
using textest::Bytes;
using textest::DiagnosticCapture;
using textest::StreamOf;

struct TextureDeleter {
  void operator()(CTextureData* texture) const { delete texture; }
};
using TexturePtr = std::unique_ptr<CTextureData, TextureDeleter>;

TexturePtr Load(const Bytes& file, uint32_t mip_count = 0, uint32_t flag = 0) {
  CD3DTexture service;
  return TexturePtr(service.CreateTexture_TGA(StreamOf(file).get(), mip_count, flag));
}

Bytes Tga(const writers::Picture& picture, const writers::TgaSpec& spec) {
  Bytes out;
  EXPECT_TRUE(writers::EncodeTga(picture, spec, out));
  return out;
}

writers::TgaSpec Spec(uint8_t type, uint8_t depth, bool top = false, const char* id = "",
                      uint8_t map_bits = 24) {
  writers::TgaSpec spec;
  spec.image_type = type;
  spec.depth = depth;
  spec.top_origin = top;
  spec.id = id;
  spec.map_entry_bits = map_bits;
  return spec;
}

// A 4-colour picture (so a colour map holds it exactly) with a distinct top-left corner.
writers::Picture FewColours(uint32_t width, uint32_t height) {
  writers::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(size_t(width) * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) picture.At(x, y) = (x + y) % 2 ? 0xFF2040A0 : 0x80C0D0E0;
  }
  picture.At(0, 0) = 0x11FF0000;
  return picture;
}

TEST(TgaReadTest, EveryVariantLoadsTopRowFirst) {
  struct Case {
    const char* name;
    writers::TgaSpec spec;
    uint32_t format;
  };
  const Case cases[] = {
      {"32-bit bottom-up", Spec(2, 32), 1},
      {"32-bit top-down", Spec(2, 32, true), 1},
      {"24-bit bottom-up", Spec(2, 24), 1},
      {"24-bit top-down with ID", Spec(2, 24, true, "made by the tests"), 1},
      {"mapped, 24-bit entries", Spec(1, 8, false, "", 24), 5},
      {"mapped, 32-bit entries, top-down, ID", Spec(1, 8, true, "id", 32), 5},
  };
  const writers::Picture picture = FewColours(12, 10);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TexturePtr texture = Load(Tga(picture, c.spec));
    ASSERT_NE(texture, nullptr);
    CTextureImage& image = *texture->m_pImage;
    EXPECT_EQ(image.m_Kind, kTexImage_Single);
    EXPECT_EQ(image.m_Format, c.format);
    EXPECT_EQ(image.m_Width, 12);
    EXPECT_EQ(image.m_Height, 10);
    EXPECT_EQ(image.m_MipCount, 1);
    EXPECT_EQ(texture->m_RefCount, 1);
    const bool keeps_alpha = c.spec.depth == 32 || c.spec.map_entry_bits == 32;
    for (uint32_t y : {0u, 1u, 9u}) {
      for (uint32_t x : {0u, 1u, 11u}) {
        uint32_t expected = picture.At(x, y);
        if (!keeps_alpha) expected |= 0xFF000000;
        uint32_t actual;
        if (c.format == 1) {
          actual = Argb(image.GetLevel(0, 0), 12, x, y);
        } else {
          const uint8_t* entry = image.m_pPalette + 4 * image.GetLevel(0, 0)[y * 12 + x];
          actual = (uint32_t(entry[3]) << 24) | (entry[0] << 16) | (entry[1] << 8) | entry[2];
        }
        EXPECT_EQ(actual, expected) << x << "," << y;
      }
    }
  }
}

TEST(TgaReadTest, TrueColourImageWithAColourMapSkipsIt) {
  Bytes file = Tga(FewColours(4, 4), Spec(2, 32));
  // Declare a 3-entry, 16-bit map and insert its 6 bytes after the header.
  file[1] = 1;
  file[5] = 3;
  file[7] = 16;
  file.insert(file.begin() + 18, {1, 2, 3, 4, 5, 6});
  TexturePtr texture = Load(file);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(Argb(texture->m_pImage->GetLevel(0, 0), 4, 0, 0), 0x11FF0000u);
}

TEST(TgaReadTest, LevelCountFollowsSizeAndRequest) {
  struct Case {
    uint32_t width, height, requested, levels;
  };
  const Case cases[] = {
      {256, 256, 0, 5}, {256, 256, 3, 3}, {256, 256, 9, 5}, {256, 256, 5, 5},
      {8, 8, 0, 1},     {4, 64, 0, 1},    {16, 16, 0, 1},   {17, 40, 0, 1},   {18, 40, 0, 2},
      {2048, 2048, 0, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " asking " +
                 std::to_string(c.requested));
    writers::PatternSpec spec;
    spec.width = c.width;
    spec.height = c.height;
    writers::Picture picture;
    ASSERT_TRUE(writers::DrawPattern(spec, picture));
    TexturePtr texture = Load(Tga(picture, Spec(2, 24)), c.requested);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->m_pImage->m_MipCount, c.levels);
    EXPECT_NE(texture->m_pImage->GetLevel(0, c.levels - 1), nullptr);
  }
}

TEST(TgaReadTest, TwentyFourBitImageGetsOpaqueLevelsResampledFromTheWhole) {
  writers::PatternSpec spec;
  spec.width = spec.height = 256;
  spec.count = 16;  // 16-pixel cells: every level down to 16 sees whole cells
  spec.color_a = 0xFFFF0000;
  spec.color_b = 0xFF0000FF;
  writers::Picture picture;
  ASSERT_TRUE(writers::DrawPattern(spec, picture));
  TexturePtr texture = Load(Tga(picture, Spec(2, 24)));
  ASSERT_NE(texture, nullptr);
  const CTextureImage& image = *texture->m_pImage;
  ASSERT_EQ(image.m_MipCount, 5);
  for (uint32_t level = 0; level < 5; ++level) {
    SCOPED_TRACE(level);
    const uint32_t width = 256 >> level;
    EXPECT_EQ(image.GetLevelWidth(level), width);
    const uint8_t* pixels = image.GetLevel(0, level);
    for (uint32_t i = 0; i < width * width; ++i) ASSERT_EQ(pixels[4 * i + 3], 255);
    if (width >= 32) {
      EXPECT_EQ(Argb(pixels, width, 0, 0), 0xFFFF0000u);
      EXPECT_EQ(Argb(pixels, width, width / 16, 0), 0xFF0000FFu);
    } else {
      // 16 x 16: every pixel averages a whole cell, so the cell colours remain.
      EXPECT_EQ(Argb(pixels, width, 1, 0), 0xFF0000FFu);
    }
  }
}

TEST(TgaReadTest, WideImageIsCappedAndResampled) {
  // Two-pixel stripes of white and black: halved they alternate pixel by pixel, quartered
  // they are mid-grey.
  writers::PatternSpec spec;
  spec.pattern = writers::Pattern::Stripes;
  spec.width = 4096;
  spec.height = 1024;
  spec.count = 2048;
  writers::Picture picture;
  ASSERT_TRUE(writers::DrawPattern(spec, picture));
  TexturePtr texture = Load(Tga(picture, Spec(2, 32)), 2);
  ASSERT_NE(texture, nullptr);
  const CTextureImage& image = *texture->m_pImage;
  EXPECT_EQ(image.m_Width, 2048);
  EXPECT_EQ(image.m_Height, 1024);
  ASSERT_EQ(image.m_MipCount, 2);
  const uint8_t* level0 = image.GetLevel(0, 0);
  EXPECT_EQ(Argb(level0, 2048, 0, 5), 0xFFFFFFFFu);
  EXPECT_EQ(Argb(level0, 2048, 1, 5), 0xFF000000u);
  EXPECT_EQ(Argb(level0, 2048, 2047, 1023), 0xFF000000u);
  EXPECT_EQ(Argb(image.GetLevel(0, 1), 1024, 100, 100), 0xFF808080u);
}

TEST(TgaReadTest, FlagKeepsPixels) {
  const Bytes file = Tga(FewColours(4, 4), Spec(2, 32));
  EXPECT_EQ(Load(file, 0, 0)->m_Flags, 0x2033u);
  EXPECT_EQ(Load(file, 0, 1)->m_Flags, 0x12033u);
  EXPECT_EQ(Load(file, 0, 0x100)->m_Flags, 0x2033u);  // only the low byte counts
}

TEST(TgaReadTest, MappedImageMipsTakeTheNearestPaletteEntry) {
  writers::PatternSpec spec;
  spec.width = spec.height = 32;
  spec.count = 2;
  spec.color_a = 0xFF00FF00;
  spec.color_b = 0xFF000080;
  writers::Picture picture;
  ASSERT_TRUE(writers::DrawPattern(spec, picture));
  TexturePtr texture = Load(Tga(picture, Spec(1, 8)));
  ASSERT_NE(texture, nullptr);
  const CTextureImage& image = *texture->m_pImage;
  ASSERT_EQ(image.m_MipCount, 2);
  EXPECT_EQ(image.GetLevel(0, 1)[0], image.GetLevel(0, 0)[0]);
  EXPECT_EQ(image.GetLevel(0, 1)[15 * 16 + 15], image.GetLevel(0, 0)[31 * 32 + 31]);
  EXPECT_NE(image.GetLevel(0, 1)[0], image.GetLevel(0, 1)[8]);
}

TEST(TgaReadTest, UnreadableImagesAreRefusedWithTheirDiagnostic) {
  const writers::Picture picture = FewColours(8, 8);
  const Bytes good = Tga(picture, Spec(2, 32));
  const Bytes mapped = Tga(picture, Spec(1, 8));
  auto patch = [](Bytes file, size_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) file[at++] = b;
    return file;
  };
  auto cut = [](Bytes file, size_t size) {
    file.resize(size);
    return file;
  };
  const char* kHeader = "Could not read header from stream";
  const char* kBpp = "Unsupported TGA data BPP";
  const char* kType = "Unsupported TGA data type code";
  const char* kData = "Not enouph data in stream";
  struct Case {
    const char* name;
    Bytes file;
    const char* message;
  };
  {
    DiagnosticCapture warm_up;  // the first diagnostic sets up the reporting buffer
    EXPECT_EQ(Load(Bytes()), nullptr);
  }
  const Case cases[] = {
      {"empty", Bytes(), kHeader},
      {"17 bytes", cut(good, 17), kHeader},
      {"run-length true colour (10)", patch(good, 2, {10}), kType},
      {"run-length mapped (9)", patch(mapped, 2, {9}), kType},
      {"run-length grey (11)", patch(good, 2, {11}), kType},
      {"grey (3)", patch(good, 2, {3}), kType},
      {"16-bit true colour", patch(good, 16, {16}), kBpp},
      {"16-bit map entries", patch(mapped, 7, {16}), kBpp},
      {"map of 255 entries", patch(mapped, 5, {255, 0}), kBpp},
      {"map of 16 entries", patch(mapped, 5, {16, 0}), kBpp},
      {"map starting at entry 1", patch(mapped, 3, {1, 0}), kBpp},
      {"no map", patch(mapped, 1, {0}), kBpp},
      {"mapped at 16 bits", patch(mapped, 16, {16}), kBpp},
      {"width 0", patch(good, 12, {0, 0}), "Unsupported TGA image size"},
      {"pixels cut", cut(good, good.size() - 1), kData},
      {"map cut", cut(mapped, 18 + 100), kData},
      {"ID longer than the file", patch(cut(good, 40), 0, {200}), kData},
      {"huge size, little data", patch(good, 12, {0xFF, 0x3F, 0xFF, 0x3F}), kData},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiagnosticCapture diagnostics;
    const int64_t before = g_Total_Mem_Allocated.load();
    EXPECT_EQ(Load(c.file), nullptr);
    EXPECT_TRUE(diagnostics.Saw(std::string("CD3DTexture::CreateTexture_TGA - ") + c.message))
        << (diagnostics.Texts().empty() ? "no diagnostic" : diagnostics.Texts()[0]);
    EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
  }
}

TEST(TgaWriteTest, WrittenImagesReadBackTheSame) {
  CD3DTexture service;
  const writers::Picture picture = textest::Ramp(20, 12, 0x7F);
  TexturePtr source = Load(Tga(picture, Spec(2, 32)), 1);
  ASSERT_NE(source, nullptr);
  auto out = StreamOf(Bytes());
  ASSERT_TRUE(service.SaveTexture_TGA(out.get(), source.get(), 0));
  const Bytes written = textest::ContentOf(out.get());
  ASSERT_EQ(written.size(), 18u + 20 * 12 * 4);
  EXPECT_EQ(written[2], 2);
  EXPECT_EQ(written[16], 32);
  EXPECT_EQ(written[17], 0);
  TexturePtr again = Load(written, 1);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(0, memcmp(again->m_pImage->GetLevel(0, 0), source->m_pImage->GetLevel(0, 0), 20 * 12 * 4));
}

TEST(TgaWriteTest, TwentyFourBitPixelsWriteBottomRowFirst) {
  CD3DTexture service;
  // 2 x 2 pixels of format code 3 (blue, green, red bytes), top row first.
  const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  auto out = StreamOf(Bytes());
  ASSERT_TRUE(service.SaveTexture_TGA(out.get(), pixels.data(), 3, 2, 2));
  const Bytes written = textest::ContentOf(out.get());
  const Bytes expected_rows = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};
  ASSERT_EQ(written.size(), 18u + 12);
  EXPECT_EQ(written[16], 24);
  EXPECT_EQ(Bytes(written.begin() + 18, written.end()), expected_rows);
  TexturePtr back = Load(written);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Argb(back->m_pImage->GetLevel(0, 0), 2, 1, 0), 0xFF060504u);
}

TEST(TgaWriteTest, LevelOfATextureWritesItsOwnSize) {
  CD3DTexture service;
  TexturePtr texture(service.CreateTexture(kTexImage_Single, 1, 64, 32, 2, 0));
  ASSERT_NE(texture, nullptr);
  auto out = StreamOf(Bytes());
  ASSERT_TRUE(service.SaveTexture_TGA(out.get(), texture.get(), 1));
  const Bytes written = textest::ContentOf(out.get());
  EXPECT_EQ(written[12] | (written[13] << 8), 32);
  EXPECT_EQ(written[14] | (written[15] << 8), 16);
  EXPECT_EQ(written.size(), 18u + 16 * 32 * 4);
}

// Codes other than 1 and 3 are written as 24-bit rows of the level's raw bytes; a level with
// fewer bytes than that is padded with zeros, never read past its end.
TEST(TgaWriteTest, OtherFormatsWriteTheirRawBytesAs24BitRows) {
  CD3DTexture service;
  struct Case {
    uint32_t format;
    uint32_t data_bytes;  // of a 4 x 2 level
  };
  for (const Case c : {Case{5, 8}, Case{11, 16}, Case{9, 16}, Case{12, 4}, Case{15, 16}}) {
    SCOPED_TRACE(c.format);
    TexturePtr texture(service.CreateTexture(kTexImage_Single, c.format, 4, 2, 1, 0));
    ASSERT_NE(texture, nullptr);
    uint8_t* level = texture->m_pImage->GetLevel(0, 0);
    for (uint32_t i = 0; i < c.data_bytes; ++i) level[i] = uint8_t(i + 1);
    auto out = StreamOf(Bytes());
    ASSERT_TRUE(service.SaveTexture_TGA(out.get(), texture.get(), 0));
    const Bytes written = textest::ContentOf(out.get());
    ASSERT_EQ(written.size(), 18u + 2 * 4 * 3);
    EXPECT_EQ(written[16], 24);
    // Memory row 1 (bytes 12-23) comes first, then row 0 (bytes 0-11).
    Bytes expected(24, 0);
    for (uint32_t i = 0; i < c.data_bytes; ++i) expected[i < 12 ? i + 12 : i - 12] = uint8_t(i + 1);
    EXPECT_EQ(Bytes(written.begin() + 18, written.end()), expected);
  }
}

TEST(TgaWriteTest, MissingPixelsOrLevelsAreRefused) {
  CD3DTexture service;
  TexturePtr rgb(service.CreateTexture(kTexImage_Single, 3, 16, 16, 1, 0));
  auto out = StreamOf(Bytes());
  EXPECT_FALSE(service.SaveTexture_TGA(out.get(), rgb.get(), 1));  // past the last level
  EXPECT_FALSE(service.SaveTexture_TGA(out.get(), nullptr, 0));
  rgb->FreePixels();
  EXPECT_FALSE(service.SaveTexture_TGA(out.get(), rgb.get(), 0));
  EXPECT_EQ(textest::ContentOf(out.get()).size(), 0u);
}

}  // namespace
