// Textures made in memory by the texture service, and the questions it answers about them.
#include <gtest/gtest.h>

#include <memory>

#include "platform/system/memory.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_format.h"

namespace {

struct TextureDeleter {
  void operator()(CTextureData* texture) const { delete texture; }
};
using TexturePtr = std::unique_ptr<CTextureData, TextureDeleter>;

TEST(CreateTextureTest, DefaultLevelCountStopsAtSidesOfEightButKeepsOneLevel) {
  struct Case {
    uint32_t width, height, levels;
  };
  const Case cases[] = {
      {256, 128, 4}, {256, 256, 5}, {8, 8, 1},   {1, 1, 1},     {4, 512, 1},
      {16, 16, 1},   {17, 17, 1},   {18, 18, 2}, {4096, 4096, 8}, {65535, 9, 1},
  };
  CD3DTexture service;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(DefaultMipCount(c.width, c.height), c.levels);
    if (uint64_t(c.width) * c.height > 4096 * 4096) continue;
    TexturePtr texture(service.CreateTexture(kTexImage_Single, 1, c.width, c.height, 0, 0));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(service.GetMipCount(texture.get()), c.levels);
  }
}

TEST(CreateTextureTest, EachKindHasItsBlocksLevelsAndPalette) {
  CD3DTexture service;
  struct Case {
    uint32_t kind, format, images;
    bool palette;
  };
  for (const Case c : {Case{1, 5, 1, true}, Case{2, 11, 6, false}, Case{3, 7, 4, false}}) {
    SCOPED_TRACE(c.kind);
    const int64_t before = g_Total_Mem_Allocated.load();
    TexturePtr texture(service.CreateTexture(c.kind, c.format, 64, 32, 3, 4));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->m_RefCount, 1);
    EXPECT_EQ(texture->m_Flags, 0x2033u);
    const CTextureImage& image = *texture->m_pImage;
    EXPECT_EQ(image.m_Kind, c.kind);
    EXPECT_EQ(image.GetImageCount(), c.images);
    EXPECT_EQ(image.m_pPalette != nullptr, c.palette);
    const uint64_t block = GetMipSize(c.format, 64, 32) + GetMipSize(c.format, 32, 16) +
                           GetMipSize(c.format, 16, 8);
    EXPECT_EQ(image.GetBlockSize(), block);
    EXPECT_EQ(image.GetAllocatedBytes(), c.images * block + (c.palette ? 1024 : 0));
    EXPECT_GE(g_Total_Mem_Allocated.load() - before, int64_t(image.GetAllocatedBytes()));
    for (uint32_t i = 0; i < c.images; ++i) {
      EXPECT_EQ(image.GetLevel(i, 0), image.GetBlock(i));
      EXPECT_EQ(image.GetLevel(i, 2) - image.GetLevel(i, 0),
                std::ptrdiff_t(GetMipSize(c.format, 64, 32) + GetMipSize(c.format, 32, 16)));
    }
    // The service's questions: kind 1 takes its level as the first argument.
    EXPECT_EQ(service.GetWidth(texture.get(), 2), 16u);
    EXPECT_EQ(service.GetHeight(texture.get(), 1), 16u);
    EXPECT_EQ(service.GetFormat(texture.get()), c.format);
    if (c.kind == 1) {
      EXPECT_EQ(service.GetMipData(texture.get(), 2, 7), image.GetLevel(0, 2));
    } else {
      EXPECT_EQ(service.GetMipData(texture.get(), c.images - 1, 1), image.GetLevel(c.images - 1, 1));
      EXPECT_EQ(service.GetMipData(texture.get(), c.images, 0), nullptr);
    }
  }
}

TEST(CreateTextureTest, CountsAndSizesAreBounded) {
  CD3DTexture service;
  TexturePtr many(service.CreateTexture(kTexImage_Single, 1, 1024, 1024, 12, 0));
  ASSERT_NE(many, nullptr);
  EXPECT_EQ(service.GetMipCount(many.get()), 8u);
  EXPECT_EQ(service.CreateTexture(kTexImage_Single, 1, 0, 16, 0, 0), nullptr);
  EXPECT_EQ(service.CreateTexture(kTexImage_Single, 1, 16, 65536, 0, 0), nullptr);
  EXPECT_EQ(service.CreateTexture(kTexImage_Array, 1, 16, 16, 1, 0), nullptr);
  // An unknown kind gives a texture without an image; the questions answer 0 or null.
  TexturePtr empty(service.CreateTexture(4, 1, 16, 16, 1, 0));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->m_pImage, nullptr);
  EXPECT_EQ(service.GetWidth(empty.get(), 0), 0u);
  EXPECT_EQ(service.GetFormat(empty.get()), 0u);
  EXPECT_EQ(service.GetMipCount(empty.get()), 0u);
  EXPECT_EQ(service.GetMipData(empty.get(), 0, 0), nullptr);
  EXPECT_EQ(service.GetMipData(nullptr, 0, 0), nullptr);
}

}  // namespace
