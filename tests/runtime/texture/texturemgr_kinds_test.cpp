// The texture manager's cube and volume textures on the recording fake: the calls that make
// them, which level rules apply to them, the upload of six faces, the volume that is never
// filled, and their kind kept across the release/restore cycle of a device reset.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

class TextureMgrKindsTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    Use32BitTextures = 1;
    MaxTextureSize = 1024;
    MaxTexAspectRatio = 1024;
    MipmapOffset = 0;
  }
  void TearDown() override {
    MaxTextureSize = 1024;
    MaxTexAspectRatio = 1024;
    MipmapOffset = 0;
    RenderFixture::TearDown();
  }

  // A texture of the kind whose face (image) f, level n is filled with byte 16 f + n + 1.
  static CTextureData* MakeTexture(uint32_t kind, uint32_t width, uint32_t height, uint32_t mips,
                                   uint32_t images = 0, uint32_t flags = kTextureFlags_Default) {
    CTextureData* texture = g_D3DTexture.CreateTexture(kind, 1, width, height, mips, images);
    if (texture == nullptr) return nullptr;
    texture->m_Flags = flags;
    CTextureImage& image = *texture->m_pImage;
    for (uint32_t face = 0; face < image.GetImageCount(); ++face) {
      for (uint32_t level = 0; level < image.m_MipCount; ++level) {
        std::memset(image.GetLevel(face, level), int(16 * face + level + 1), size_t(image.GetLevelSize(level)));
      }
    }
    return texture;
  }
};

TEST_F(TextureMgrKindsTest, ImageKindsMakeTheirDeviceTextureKinds) {
  ASSERT_TRUE(Start());
  struct Case {
    uint32_t kind;
    uint32_t images;
    uint32_t flags;
    const char* call;
  };
  const Case cases[] = {
      {kTexImage_Single, 0, kTextureFlags_Default, "CreateTexture(16,16,3,0,21,1)"},
      {kTexImage_Cube, 0, kTextureFlags_Default, "CreateCubeTexture(16,3,0,21,1)"},
      {kTexImage_Cube, 0, kTextureFlags_Default | kTextureFlag_RenderTarget, "CreateCubeTexture(16,3,1,21,0)"},
      {kTexImage_Array, 4, kTextureFlags_Default, "CreateVolumeTexture(16,16,4,3,0,21,1)"},
  };
  for (const Case& c : cases) {
    d3d->log.Clear();
    CTextureData* texture = MakeTexture(c.kind, 16, 16, 3, c.images, c.flags);
    ASSERT_NE(texture, nullptr);
    CDeviceTexture* wrapper = g_TextureMgr.CreateDeviceTexture(texture);
    ASSERT_NE(wrapper, nullptr) << c.call;
    EXPECT_TRUE(d3d->log.Contains(c.call)) << c.call;
    EXPECT_EQ(wrapper->GetWidth(0), 16u) << c.call;
    EXPECT_EQ(wrapper->GetHeight(1), 8u) << c.call;
    EXPECT_EQ(wrapper->m_Depth, c.kind == kTexImage_Array ? 4u : 1u) << c.call;
    g_D3DTexture.ReleaseTexture(texture);
  }
}

TEST_F(TextureMgrKindsTest, OnlySingleImagesSkipLevelsTooLargeForTheDevice) {
  MaxTextureSize = 8;
  ASSERT_TRUE(Start());
  CTextureData* flat = MakeTexture(kTexImage_Single, 32, 32, 4);
  CTextureData* cube = MakeTexture(kTexImage_Cube, 32, 32, 4);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(flat), nullptr);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(cube), nullptr);
  EXPECT_EQ(flat->m_pDeviceTexture->m_FirstLevel, 2u);
  EXPECT_EQ(cube->m_pDeviceTexture->m_FirstLevel, 0u) << "a cube starts at its first level whatever its size";
  EXPECT_TRUE(d3d->log.Contains("CreateCubeTexture(32,4,0,21,1)"));
  g_D3DTexture.ReleaseTexture(flat);
  g_D3DTexture.ReleaseTexture(cube);

  // The mipmap offset applies to every kind.
  MaxTextureSize = 1024;
  MipmapOffset = 1;
  CTextureData* offset_cube = MakeTexture(kTexImage_Cube, 32, 32, 4);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(offset_cube), nullptr);
  EXPECT_TRUE(d3d->log.Contains("CreateCubeTexture(16,3,0,21,1)"));
  g_D3DTexture.ReleaseTexture(offset_cube);
}

TEST_F(TextureMgrKindsTest, CubeUploadFillsEveryLevelOfEveryFace) {
  ASSERT_TRUE(Start());
  CTextureData* cube = MakeTexture(kTexImage_Cube, 8, 8, 2);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(cube), nullptr);
  ASSERT_TRUE(g_TextureMgr.UploadTexture(cube));
  ASSERT_EQ(Device()->created_cube_textures.size(), 1u);
  CRecordingCubeTexture* device_cube = Device()->created_cube_textures[0].get();
  for (uint32_t face = 0; face < 6; ++face) {
    for (uint32_t level = 0; level < 2; ++level) {
      CRecordingSurface* surface = device_cube->Face(face, level);
      ASSERT_NE(surface, nullptr);
      const uint8_t want = uint8_t(16 * face + level + 1);
      EXPECT_EQ(surface->Pixels().front(), want) << "face " << face << " level " << level;
      EXPECT_EQ(surface->Pixels().back(), want) << "face " << face << " level " << level;
      EXPECT_EQ(surface->RefCount(), 1u) << "a face surface was not given back";
    }
  }
  EXPECT_FALSE(cube->m_pImage->HasPixels()) << "the system pixels go after the upload";
  // A face can be locked through the wrapper.
  int32_t pitch = 0;
  const auto* bits = static_cast<const uint8_t*>(cube->m_pDeviceTexture->Lock(1, &pitch, 5));
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(pitch, 16);
  EXPECT_EQ(bits[0], 16 * 5 + 2);
  cube->m_pDeviceTexture->Unlock(1, 5);
  EXPECT_EQ(cube->m_pDeviceTexture->Lock(0, &pitch, 6), nullptr) << "there are six faces";
  g_D3DTexture.ReleaseTexture(cube);
  EXPECT_EQ(device_cube->RefCount(), 0u);
}

TEST_F(TextureMgrKindsTest, VolumesAreMadeButNeverFilledNorLocked) {
  ASSERT_TRUE(Start());
  CTextureData* volume = MakeTexture(kTexImage_Array, 8, 4, 2, 3, kTextureFlags_Default | kTextureFlag_KeepPixels);
  CDeviceTexture* wrapper = g_TextureMgr.CreateDeviceTexture(volume);
  ASSERT_NE(wrapper, nullptr);
  EXPECT_FALSE(g_TextureMgr.UploadTexture(volume));
  EXPECT_EQ(wrapper->GetWidth(1), 4u);
  EXPECT_EQ(wrapper->GetHeight(1), 2u);
  int32_t pitch = 0;
  EXPECT_EQ(wrapper->Lock(0, &pitch, 0), nullptr);
  EXPECT_EQ(wrapper->Unlock(0, 0), 0);
  IDirect3DSurface8* surface = wrapper->GetSurface(0, 0);
  EXPECT_EQ(surface, nullptr);
  g_D3DTexture.ReleaseTexture(volume);
  EXPECT_EQ(Device()->created_volume_textures[0]->RefCount(), 0u);
}

TEST_F(TextureMgrKindsTest, DefaultPoolCubesComeBackAsCubesAfterAReset) {
  ASSERT_TRUE(Start());
  CTextureData* cube = MakeTexture(kTexImage_Cube, 16, 16, 1, 0, kTextureFlags_Default | kTextureFlag_RenderTarget);
  CTextureData* flat = MakeTexture(kTexImage_Single, 16, 16, 1, 0, kTextureFlags_Default | kTextureFlag_RenderTarget);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(cube), nullptr);
  ASSERT_NE(g_TextureMgr.CreateDeviceTexture(flat), nullptr);
  g_TextureMgr.ReleaseDefaultPoolTextures();
  EXPECT_EQ(cube->m_pDeviceTexture->m_pTexture, nullptr);
  EXPECT_EQ(Device()->created_cube_textures[0]->RefCount(), 0u);
  d3d->log.Clear();
  ASSERT_TRUE(g_TextureMgr.RestoreDefaultPoolTextures());
  ASSERT_NE(cube->m_pDeviceTexture->m_pTexture, nullptr);
  EXPECT_EQ(cube->m_pDeviceTexture->m_pTexture->GetType(), D3DRTYPE_CUBETEXTURE);
  EXPECT_EQ(flat->m_pDeviceTexture->m_pTexture->GetType(), D3DRTYPE_TEXTURE);
  EXPECT_TRUE(d3d->log.Contains("CreateCubeTexture(16,1,1,21,0)"));
  EXPECT_TRUE(d3d->log.Contains("CreateTexture(16,16,1,1,21,0)"));
  g_D3DTexture.ReleaseTexture(cube);
  g_D3DTexture.ReleaseTexture(flat);
}

}  // namespace
}  // namespace vt_test
