// The texture manager on the recording fake: format choice, first level and size rules,
// uploads, palettes, memory counts and the release/restore cycle around a device reset.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/system/debug.h"
#include "platform/system/memory.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

class TextureMgrTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    Use32BitTextures = 1;
    DXTEnable = 1;
    MaxTextureSize = 1024;
    MaxTexAspectRatio = 1024;
    MipmapOffset = 0;
  }
  void TearDown() override {
    Use32BitTextures = 1;
    MaxTextureSize = 1024;
    MaxTexAspectRatio = 1024;
    MipmapOffset = 0;
    RenderFixture::TearDown();
  }

  // A single-image texture of the given format whose level n is filled with byte value n + 1.
  static CTextureData* MakeTexture(uint32_t format, uint32_t width, uint32_t height, uint32_t mips,
                                   uint32_t flags = kTextureFlags_Default) {
    CTextureData* texture = g_D3DTexture.CreateTexture(kTexImage_Single, format, width, height, mips, 0);
    if (texture == nullptr) return nullptr;
    texture->m_Flags = flags;
    CTextureImage& image = *texture->m_pImage;
    for (uint32_t level = 0; level < image.m_MipCount; ++level) {
      std::memset(image.GetLevel(0, level), int(level + 1), size_t(image.GetLevelSize(level)));
    }
    return texture;
  }

  CRecordingTexture* DeviceTextureOf(CTextureData* texture) {
    if (texture->m_pDeviceTexture == nullptr) return nullptr;
    return static_cast<CRecordingTexture*>(texture->m_pDeviceTexture->m_pTexture);
  }
};

TEST_F(TextureMgrTest, FormatsAreChosenInTheirOrderFromWhatTheDeviceAccepts) {
  d3d->adapters[0].texture_formats = {D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_R5G6B5, D3DFMT_V8U8};
  ASSERT_TRUE(Start());
  EXPECT_EQ(g_TextureMgr.GetChosenFormat(CTextureManager::kAlpha32), D3DFMT_A4R4G4B4);
  EXPECT_EQ(g_TextureMgr.GetChosenFormat(CTextureManager::kAlphaTest), D3DFMT_A1R5G5B5);
  EXPECT_EQ(g_TextureMgr.GetChosenFormat(CTextureManager::kAlphaBlend), D3DFMT_A4R4G4B4);
  EXPECT_EQ(g_TextureMgr.GetChosenFormat(CTextureManager::kNoAlpha), D3DFMT_R5G6B5);
  EXPECT_EQ(g_TextureMgr.GetChosenFormat(CTextureManager::kNoAlphaLowRez), D3DFMT_R5G6B5);
  EXPECT_EQ(g_TextureMgr.GetChosenFormat(CTextureManager::kBump), D3DFMT_V8U8);
}

TEST_F(TextureMgrTest, MissingRequiredFormatFailsStartUpWithItsMessage) {
  d3d->adapters[0].texture_formats = {D3DFMT_A8R8G8B8, D3DFMT_R8G8B8};
  EXPECT_FALSE(Start());
  EXPECT_TRUE(Said("FORMAT_ALPHATEST_TEXTURE texture format missing.\n"));
  EXPECT_FALSE(g_TextureMgr.IsInitialised());
}

TEST_F(TextureMgrTest, TextureFormatFromCodeFlagsAndSwitches) {
  ASSERT_TRUE(Start());  // A8R8G8B8, A1R5G5B5, A4R4G4B4, R8G8B8, R5G6B5; no bump format
  struct Case {
    uint32_t code, flags;
    int use32, dxt;
    D3DFORMAT expected;
  };
  const Case cases[] = {
      {1, 0x2033, 1, 1, D3DFMT_A8R8G8B8},  // default flags, 32-bit on: the 32-bit alpha format
      {1, 0x2033, 0, 1, D3DFMT_A4R4G4B4},  // 32-bit off: alpha blend
      {1, 0x10, 1, 1, D3DFMT_A1R5G5B5},    // class 0x10, index 0: alpha test
      {1, 0x00, 1, 1, D3DFMT_R5G6B5},      // class 0x00, index 0: low-rez no-alpha
      {1, 0x20, 1, 1, D3DFMT_A4R4G4B4},    // class 0x20, index 0: alpha blend
      {1, 0x03, 1, 1, D3DFMT_R8G8B8},      // index 3, class 0: no-alpha
      {1, 0x13, 1, 1, D3DFMT_A8R8G8B8},    // index 3, other class: 32-bit alpha
      {1, 0x13, 0, 1, D3DFMT_A1R5G5B5},    // ... falls back by class with 32-bit off
      {1, 0x30, 1, 1, D3DFMT_A8R8G8B8},    // class 0x30
      {1, 0x34, 0, 1, D3DFMT_A4R4G4B4},
      {5, 0x2033, 1, 1, D3DFMT_P8},
      {7, 0x00, 1, 1, D3DFMT_P8},
      {15, 0x2033, 1, 1, D3DFMT_V8U8},
      {12, 0x2033, 1, 0, D3DFMT_A8R8G8B8},  // DXT off: code 12 falls through to the flags
      {12, 0x2033, 1, 1, D3DFMT_A8R8G8B8},  // the fake reports no DXT support
  };
  for (const Case& c : cases) {
    Use32BitTextures = c.use32;
    DXTEnable = c.dxt;
    EXPECT_EQ(g_TextureMgr.ChooseTextureFormat(c.code, c.flags), c.expected)
        << "code " << c.code << " flags " << std::hex << c.flags << " 32-bit " << c.use32;
  }
}

TEST_F(TextureMgrTest, FirstLevelAndDeviceSizeFollowOffsetAndSizeLimits) {
  struct Case {
    uint32_t width, height, mips;
    int offset, max_size;
    uint32_t first, levels, device_width, device_height;
  };
  const Case cases[] = {
      {256, 256, 5, 0, 1024, 0, 5, 256, 256},
      {256, 256, 5, 2, 1024, 2, 3, 64, 64},    // offset 2: made at the size of level 2
      {512, 512, 5, 0, 128, 2, 3, 128, 128},   // size limit: the first level that fits
      {512, 512, 5, 1, 128, 2, 3, 128, 128},   // the larger of offset and fitting level
      {256, 256, 3, 7, 1024, 2, 1, 64, 64},    // offset clamped to the last level
      {512, 256, 4, 0, 0, 1, 3, 256, 128},     // a limit of 0 counts as 256
      {4096, 64, 2, 0, 1024, 0, 0, 0, 0},      // no level fits the device's 2048: none made
  };
  ASSERT_TRUE(Start());
  for (const Case& c : cases) {
    MipmapOffset = c.offset;
    MaxTextureSize = c.max_size;
    CTextureData* texture = MakeTexture(1, c.width, c.height, c.mips);
    ASSERT_NE(texture, nullptr);
    CDeviceTexture* device_texture = g_TextureMgr.CreateDeviceTexture(texture);
    if (c.levels == 0) {
      EXPECT_EQ(device_texture, nullptr) << c.width << "x" << c.height;
    } else {
      ASSERT_NE(device_texture, nullptr) << c.width << "x" << c.height << " offset " << c.offset;
      EXPECT_EQ(device_texture->m_FirstLevel, c.first);
      EXPECT_EQ(device_texture->m_LevelCount, c.levels);
      EXPECT_EQ(device_texture->GetWidth(0), c.device_width);
      EXPECT_EQ(device_texture->GetHeight(0), c.device_height);
      ASSERT_TRUE(g_TextureMgr.UploadTexture(texture));
      // Device level 0 holds the image's first used level (filled with first + 1).
      EXPECT_EQ(DeviceTextureOf(texture)->Level(0)->Pixels()[0], BYTE(c.first + 1));
    }
    g_D3DTexture.ReleaseTexture(texture);
  }
  EXPECT_TRUE(g_TextureMgr.GetDeviceTextures().empty());
}

// A texture none of whose levels fits the largest size is not made, and says so once on the
// error channel with its id, its size and that largest size: asked for again, or again on a new
// device, it is not named again. The largest size is the smaller of MaxTextureSize and the
// device's own; a texture that fits once the limit is raised is made without a word.
TEST_F(TextureMgrTest, ATextureWithNoLevelWithinTheLargestSizeIsNamedOnce) {
  std::vector<std::string> errors;
  plat::Set_Error_Recorder([&](const std::string& text) { errors.push_back(text); });
  ASSERT_TRUE(Start());
  CTextureData* wide = MakeTexture(1, 2048, 64, 1);
  wide->m_Resource_ID = 0x22000084;
  CTextureData* tall = MakeTexture(1, 16, 4096, 2);  // its second level is still 2048 tall
  CTextureData* huge = MakeTexture(1, 4096, 8, 1);
  huge->m_Resource_ID = 0x22000085;
  for (int ask = 0; ask < 3; ++ask) {
    EXPECT_EQ(g_TextureMgr.CreateDeviceTexture(wide), nullptr);
    g_D3DTexture.UploadTexture(tall);  // as the texture service asks for it
    EXPECT_EQ(tall->m_pDeviceTexture, nullptr);
  }
  g_pD3DRenderDevice->ReleaseDevice();
  ASSERT_TRUE(Start());
  EXPECT_EQ(g_TextureMgr.CreateDeviceTexture(wide), nullptr) << "on a new device";
  MaxTextureSize = 4096;  // the device's 2048 is now the smaller
  EXPECT_EQ(g_TextureMgr.CreateDeviceTexture(huge), nullptr);
  EXPECT_NE(g_TextureMgr.CreateDeviceTexture(wide), nullptr) << "fits the device's own limit";
  plat::Set_Error_Recorder(nullptr);
  const std::vector<std::string> want = {
      "Texture: Resource ID (22000084) of 2048 x 64 pixels in 1 level(s) has no level within 1024 x 1024, the "
      "largest size MaxTextureSize and the device allow; it is not made.\n",
      "Texture: a texture without a resource id of 16 x 4096 pixels in 2 level(s) has no level within 1024 x 1024, "
      "the largest size MaxTextureSize and the device allow; it is not made.\n",
      "Texture: Resource ID (22000085) of 4096 x 8 pixels in 1 level(s) has no level within 2048 x 2048, the "
      "largest size MaxTextureSize and the device allow; it is not made.\n",
  };
  EXPECT_EQ(errors, want);
  for (CTextureData* texture : {wide, tall, huge}) g_D3DTexture.ReleaseTexture(texture);
}

TEST_F(TextureMgrTest, AspectRatioAndSquareOnlyAdjustTheDeviceSize) {
  struct Case {
    DWORD texture_caps, device_aspect;
    int aspect;
    uint32_t width, height, device_width, device_height;
  };
  const Case cases[] = {
      {0, 0, 4, 256, 16, 256, 64},
      {0, 0, 4, 16, 256, 64, 256},
      {0, 2, 4, 256, 16, 256, 128},  // the device's smaller limit wins
      {0, 0, 0, 256, 16, 256, 16},   // a limit of 0 changes nothing
      {0, 0, 16, 256, 16, 256, 16},  // within the limit
      {D3DPTEXTURECAPS_SQUAREONLY, 0, 4, 256, 16, 256, 256},
  };
  for (const Case& c : cases) {
    d3d->adapters[0].hal_caps.TextureCaps = c.texture_caps;
    d3d->adapters[0].hal_caps.MaxTextureAspectRatio = c.device_aspect;
    ASSERT_TRUE(Start());
    MaxTexAspectRatio = c.aspect;
    CTextureData* texture = MakeTexture(1, c.width, c.height, 1);
    CDeviceTexture* device_texture = g_TextureMgr.CreateDeviceTexture(texture);
    ASSERT_NE(device_texture, nullptr);
    EXPECT_EQ(device_texture->GetWidth(0), c.device_width) << c.width << "x" << c.height << " limit " << c.aspect;
    EXPECT_EQ(device_texture->GetHeight(0), c.device_height) << c.width << "x" << c.height << " limit " << c.aspect;
    // A stretched level is converted into the device level rather than copied short.
    EXPECT_TRUE(g_TextureMgr.UploadTexture(texture));
    g_D3DTexture.ReleaseTexture(texture);
    g_pD3DRenderDevice->ReleaseDevice();
  }
}

TEST_F(TextureMgrTest, UploadCopiesOrConvertsAndKeepsSystemPixelsOnlyWhenAsked) {
  ASSERT_TRUE(Start());
  // Same format: a straight copy of every byte.
  CTextureData* copied = MakeTexture(1, 4, 4, 1, kTextureFlags_Default | kTextureFlag_KeepPixels);
  uint8_t* pixels = copied->m_pImage->GetLevel(0, 0);
  for (int i = 0; i < 64; ++i) pixels[i] = uint8_t(i * 3);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(copied), nullptr);
  ASSERT_TRUE(g_TextureMgr.UploadTexture(copied));
  EXPECT_EQ(std::memcmp(DeviceTextureOf(copied)->Level(0)->Pixels().data(), pixels, 64), 0);
  EXPECT_NE(g_D3DTexture.GetMipData(copied, 0, 0), nullptr) << "kept pixels were dropped";

  // 32-bit textures off: an opaque red A8R8G8B8 image becomes A4R4G4B4 0xFF00.
  Use32BitTextures = 0;
  CTextureData* converted = MakeTexture(1, 2, 2, 1);
  uint8_t* red = converted->m_pImage->GetLevel(0, 0);
  for (int i = 0; i < 4; ++i) std::memcpy(red + 4 * i, "\x00\x00\xFF\xFF", 4);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(converted), nullptr);
  ASSERT_TRUE(g_TextureMgr.UploadTexture(converted));
  const std::vector<BYTE>& texels = DeviceTextureOf(converted)->Level(0)->Pixels();
  EXPECT_EQ(texels[0] | (texels[1] << 8), 0xFF00);
  EXPECT_EQ(g_D3DTexture.GetMipData(converted, 0, 0), nullptr) << "pixels are dropped after upload";
  EXPECT_FALSE(g_TextureMgr.UploadTexture(converted)) << "nothing left to upload";

  g_D3DTexture.ReleaseTexture(copied);
  g_D3DTexture.ReleaseTexture(converted);
}

TEST_F(TextureMgrTest, PalettedTexturesGetNumbersAndLoadTheirEntries) {
  ASSERT_TRUE(Start());
  CTextureData* first = MakeTexture(5, 8, 8, 1);
  CTextureData* second = MakeTexture(5, 8, 8, 1);
  first->m_pImage->m_pPalette[4] = 0x7F;
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(first), nullptr);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(second), nullptr);
  EXPECT_EQ(first->m_pDeviceTexture->m_pPalette->m_PaletteId, 1);
  EXPECT_EQ(second->m_pDeviceTexture->m_pPalette->m_PaletteId, 2);
  d3d->log.Clear();
  ASSERT_TRUE(g_TextureMgr.UploadTexture(first));
  EXPECT_TRUE(d3d->log.Contains("SetPaletteEntries(1)"));
  EXPECT_EQ(DeviceTextureOf(first)->Level(0)->Pixels()[0], 1);  // indices copied as they are

  // Releasing a texture frees its number for the next one.
  g_D3DTexture.ReleaseTexture(first);
  CTexturePalette* palette = g_TextureMgr.CreatePalette(reinterpret_cast<const PALETTEENTRY*>(
      second->m_pImage->m_pPalette));
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->m_PaletteId, 1);
  EXPECT_TRUE(g_TextureMgr.AttachPalette(palette, second->m_pDeviceTexture));
  EXPECT_EQ(palette->m_RefCount, 2);
  g_TextureMgr.ReleasePalette(palette);
  g_D3DTexture.ReleaseTexture(second);
}

TEST_F(TextureMgrTest, PaletteNumbersRunOutAtZero) {
  ASSERT_TRUE(Start());
  uint16_t last = 0;
  for (uint32_t i = 1; i < CTextureManager::kPaletteIds; ++i) last = g_TextureMgr.AllocPaletteId();
  EXPECT_EQ(last, 8191);
  EXPECT_EQ(g_TextureMgr.AllocPaletteId(), 0) << "the 8192nd request";
  g_TextureMgr.FreePaletteId(17);
  EXPECT_EQ(g_TextureMgr.AllocPaletteId(), 17);
}

TEST_F(TextureMgrTest, DeviceMemoryIsCountedAndGivenBack) {
  ASSERT_TRUE(Start());
  const int64_t before = g_Total_Mem_Allocated.load();
  CTextureData* texture = MakeTexture(1, 64, 32, 2);
  const int64_t system = g_Total_Mem_Allocated.load() - before;
  texture->m_Managed = 1;
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(texture), nullptr);
  const uint32_t device_bytes = 64 * 32 * 4 + 32 * 16 * 4;
  EXPECT_EQ(texture->m_pDeviceTexture->m_DeviceMemory, device_bytes);
  EXPECT_EQ(g_Total_Mem_Allocated.load() - before, system + device_bytes);
  texture->m_Managed = 0;
  g_D3DTexture.ReleaseTexture(texture);
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
}

TEST_F(TextureMgrTest, ManagedTexturesSurviveAResetAndRenderTargetsAreMadeAgain) {
  ASSERT_TRUE(Start());
  CTextureData* managed = MakeTexture(1, 32, 32, 1);
  CTextureData* target = MakeTexture(1, 64, 64, 1, kTextureFlags_Default | kTextureFlag_RenderTarget);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(managed), nullptr);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(target), nullptr);
  IDirect3DBaseTexture8* managed_before = managed->m_pDeviceTexture->m_pTexture;
  CRecordingTexture* target_before = DeviceTextureOf(target);
  EXPECT_EQ(target_before->Pool(), D3DPOOL_DEFAULT);

  // A device that is lost and then needs a reset runs the release/restore cycle.
  Device()->cooperative_level = D3DERR_DEVICENOTRESET;
  g_TextureMgr.ReleaseDefaultPoolTextures();
  EXPECT_EQ(target->m_pDeviceTexture->m_pTexture, nullptr);
  EXPECT_EQ(target_before->RefCount(), 0u) << "the old render target was not given back";
  EXPECT_EQ(managed->m_pDeviceTexture->m_pTexture, managed_before);
  d3d->log.Clear();
  EXPECT_TRUE(g_TextureMgr.RestoreDefaultPoolTextures());
  EXPECT_EQ(managed->m_pDeviceTexture->m_pTexture, managed_before);
  ASSERT_NE(target->m_pDeviceTexture->m_pTexture, nullptr);
  EXPECT_TRUE(d3d->log.Contains("CreateTexture(64,64,1,1,21,0)")) << "render target, A8R8G8B8, default pool";
  EXPECT_EQ(d3d->log.CountPrefix("CreateTexture("), 1);
  Device()->cooperative_level = D3D_OK;

  g_D3DTexture.ReleaseTexture(managed);
  g_D3DTexture.ReleaseTexture(target);
}

TEST_F(TextureMgrTest, FreeingATextureGivesItsDeviceTextureBack) {
  ASSERT_TRUE(Start());
  CTextureData* texture = MakeTexture(1, 16, 16, 1);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(texture), nullptr);
  CRecordingTexture* device_texture = DeviceTextureOf(texture);
  texture->Free();
  EXPECT_EQ(texture->m_pDeviceTexture, nullptr);
  EXPECT_TRUE(g_TextureMgr.GetDeviceTextures().empty());
  EXPECT_EQ(device_texture->RefCount(), 0u);
  g_D3DTexture.ReleaseTexture(texture);
}

TEST_F(TextureMgrTest, ShuttingTheDeviceDownUnlinksTexturesStillAlive) {
  ASSERT_TRUE(Start());
  CTextureData* texture = MakeTexture(1, 16, 16, 1);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(texture), nullptr);
  g_pD3DRenderDevice->ReleaseDevice();
  EXPECT_EQ(texture->m_pDeviceTexture, nullptr) << "a texture kept a link to a deleted device texture";
  g_D3DTexture.ReleaseTexture(texture);  // must not touch the deleted wrapper
}

TEST_F(TextureMgrTest, SurfacesAndParameterTexturesJoinTheirLists) {
  ASSERT_TRUE(Start());
  const uint32_t pixels[4] = {0xFF102030u, 0xFF102030u, 0xFF102030u, 0xFF102030u};
  CDeviceSurface* surface = g_TextureMgr.Create2DSurface(pixels, 2, 2, 1);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->GetWidth(0), 2u);
  int32_t pitch = 0;
  const auto* bits = static_cast<const uint32_t*>(surface->Lock(0, &pitch, 0));
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits[3], 0xFF102030u);
  surface->Unlock(0, 0);

  CDeviceTexture* texture = g_TextureMgr.CreateTextureSurface(pixels, 2, 2, 1, 1, 0, nullptr);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->m_LevelCount, 2u) << "a full chain for a non-zero mipmap byte";
  EXPECT_TRUE(surface->CopyTo(0, nullptr, 0, texture, nullptr));
  EXPECT_TRUE(d3d->log.Contains("CopyRects(0)"));

  RenderDebugLevel = 4;
  EXPECT_EQ(g_TextureMgr.Create2DSurface(nullptr, 0, 0, 1), nullptr);
  EXPECT_TRUE(Said("Unable to create (0x0) 2d surface.\n"));

  EXPECT_TRUE(g_TextureMgr.Release2DSurface(surface));
  EXPECT_TRUE(g_TextureMgr.ReleaseDeviceTexture(texture, false));
  EXPECT_TRUE(g_TextureMgr.GetSurfaces().empty());
  EXPECT_TRUE(g_TextureMgr.GetDeviceTextures().empty());
}

}  // namespace
}  // namespace vt_test
