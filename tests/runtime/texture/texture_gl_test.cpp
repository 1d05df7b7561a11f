// Textures made by the texture service and the texture manager on the real OpenGL-backed device,
// headless: what they sample, paletted textures following their palette, render-target
// textures drawn into, and both kinds through an injected device reset.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d/d3d8_test_hooks.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/gl_render_window.h"
#include "tests/runtime/render/render_fixture.h"
#include "tools/writers/texture_writer.h"

namespace vt_test {
namespace {

struct TexVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct Rgb {
  int r, g, b;
};

class TextureOnGL : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRendererCvars();
    Use32BitTextures = 1;
    MipmapOffset = 0;
    CD3DShell::SetCreateFunction(nullptr);
    window = Open_GL_Test_Window("textures", 640, 480);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ASSERT_TRUE(Start_Render_Device_On(window, 640, 480));
    device = g_pD3DDevice->GetDevice();
    ASSERT_NE(device, nullptr);
  }
  void TearDown() override {
    if (device != nullptr) device->SetTexture(0, nullptr);
    g_pRenderDevice->ReleaseDevice();
    D3D8Test_InjectCooperativeLevel(D3D_OK);
    Close_GL_Test_Window(window);
    ResetRendererCvars();
    MipmapOffset = 0;
  }

  // A single-image texture of format code 1 (or 5) with every texel of every level one colour
  // (palette index).
  static CTextureData* SolidTexture(uint32_t code, uint32_t size, uint32_t mips, uint32_t texel,
                                    uint32_t flags = kTextureFlags_Default) {
    CTextureData* texture = g_D3DTexture.CreateTexture(kTexImage_Single, code, size, size, mips, 0);
    if (texture == nullptr) return nullptr;
    texture->m_Flags = flags;
    CTextureImage& image = *texture->m_pImage;
    for (uint32_t level = 0; level < image.m_MipCount; ++level) {
      uint8_t* pixels = image.GetLevel(0, level);
      const uint64_t bytes = image.GetLevelSize(level);
      if (code == 5) {
        std::memset(pixels, int(texel), size_t(bytes));
      } else {
        for (uint64_t i = 0; i < bytes; i += 4) std::memcpy(pixels + i, &texel, 4);
      }
    }
    return texture;
  }

  // Draws the device texture over [0, 64) x [0, 64), the stage showing the texture's colour.
  void DrawQuad(IDirect3DBaseTexture8* texture) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTexture(0, texture);
    device->SetVertexShader(kTexFvf);
    const TexVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFFu, 0, 0}, {64, 0, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                               {0, 64, 0.5f, 1, 0xFFFFFFFFu, 0, 1}, {64, 64, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex)), D3D_OK);
    device->SetTexture(0, nullptr);
  }

  Rgb Pixel(int x, int y) {
    Rgb out{-1, -1, -1};
    IDirect3DSurface8* back = nullptr;
    if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back))) return out;
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(back->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      const uint8_t* p = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4;
      out = {p[2], p[1], p[0]};
      back->UnlockRect();
    }
    back->Release();
    return out;
  }

  ::testing::AssertionResult CentreIs(Rgb want, int tolerance = 2) {
    const Rgb got = Pixel(32, 32);
    if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.b - want.b) <= tolerance) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "centre is (" << got.r << ", " << got.g << ", " << got.b
                                         << "), expected (" << want.r << ", " << want.g << ", " << want.b << ")";
  }

  // Draws into a render-target device texture: a clear to the colour.
  void FillTarget(CDeviceTexture* target, D3DCOLOR colour) {
    IDirect3DSurface8* level = target->GetSurface(0, 0);
    ASSERT_NE(level, nullptr);
    IDirect3DSurface8* back = nullptr;
    IDirect3DSurface8* depth = nullptr;
    device->GetRenderTarget(&back);
    device->GetDepthStencilSurface(&depth);
    ASSERT_EQ(device->SetRenderTarget(level, nullptr), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
    ASSERT_EQ(device->SetRenderTarget(back, depth), D3D_OK);
    level->Release();
    back->Release();
    if (depth != nullptr) depth->Release();
  }

  // An injected loss followed by the frame gate's reset.
  void ResetThroughTheFrameGate() {
    D3D8Test_InjectCooperativeLevel(D3DERR_DEVICENOTRESET);
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    ASSERT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kReady);
    device = g_pD3DDevice->GetDevice();
  }

  SDL_Window* window = nullptr;
  IDirect3DDevice8* device = nullptr;
};

TEST_F(TextureOnGL, ServiceTexturesSampleTheirPixelsAndTheLevelTheManagerStartsAt) {
  CTextureData* texture = SolidTexture(1, 64, 3, 0xFF20A040u);
  ASSERT_NE(texture, nullptr);
  // Level 1 in another colour: with a mipmap offset of 1 the device texture starts there.
  CTextureImage& image = *texture->m_pImage;
  for (uint64_t i = 0; i < image.GetLevelSize(1); i += 4) {
    const uint32_t other = 0xFFC01060u;
    std::memcpy(image.GetLevel(0, 1) + i, &other, 4);
  }
  MipmapOffset = 1;
  ASSERT_TRUE(g_D3DTexture.UploadTexture(texture));
  ASSERT_NE(texture->m_pDeviceTexture, nullptr);
  EXPECT_EQ(texture->m_pDeviceTexture->GetWidth(0), 32u);
  DrawQuad(texture->m_pDeviceTexture->m_pTexture);
  EXPECT_TRUE(CentreIs({0xC0, 0x10, 0x60}));
  g_D3DTexture.ReleaseTexture(texture);
}

// Texture data in a memory stream reaches the device straight from the stream's bytes; what the
// texture keeps afterwards is its own, untouched by what later becomes of the stream.
TEST_F(TextureOnGL, TextureDataFromMemoryIsUploadedAndKeepsNothingOfTheStream) {
  writers::Picture picture;
  picture.width = picture.height = 16;
  picture.pixels.assign(256, 0xFF2080C0u);
  for (uint32_t flags : {kTextureFlags_Default, kTextureFlags_Default | kTextureFlag_KeepPixels}) {
    SCOPED_TRACE(flags);
    writers::Bytes file;
    ASSERT_TRUE(writers::EncodeTextureData(18, 1, flags, 2, {picture}, file));
    CStream* stream = CreateMemoryStream(0);
    stream->Write(file.data(), uint32_t(file.size()));
    stream->SeekTo(0);
    uint32_t length = uint32_t(file.size());
    CTextureData* texture = g_D3DTexture.LoadTextureData(stream, &length);
    // The stream's bytes are overwritten and then freed before the texture is used.
    stream->SeekTo(0);
    const std::vector<uint8_t> other(file.size(), 0x11);
    stream->Write(other.data(), uint32_t(other.size()));
    stream->Release();
    ASSERT_NE(texture, nullptr);
    ASSERT_NE(texture->m_pDeviceTexture, nullptr);
    DrawQuad(texture->m_pDeviceTexture->m_pTexture);
    EXPECT_TRUE(CentreIs({0x20, 0x80, 0xC0}));
    const bool kept = (flags & kTextureFlag_KeepPixels) != 0;
    ASSERT_EQ(texture->m_pImage->HasPixels(), kept);
    if (kept) {
      EXPECT_FALSE(texture->m_pImage->HasBorrowedPixels());
      uint32_t texel = 0;
      std::memcpy(&texel, texture->m_pImage->GetLevel(0, 1) + 4 * 8 * 3, 4);
      EXPECT_EQ(texel, 0xFF2080C0u);
      EXPECT_TRUE(g_D3DTexture.UnlockTexture(texture)) << "kept pixels upload again";
    }
    g_D3DTexture.ReleaseTexture(texture);
  }
}

TEST_F(TextureOnGL, PalettedTexturesChangeColourWithTheirPalette) {
  CTextureData* texture = SolidTexture(5, 8, 1, 3);
  ASSERT_NE(texture, nullptr);
  uint8_t* palette = texture->m_pImage->m_pPalette;
  ASSERT_NE(palette, nullptr);
  const uint8_t orange[4] = {255, 128, 0, 255};
  std::memcpy(palette + 3 * 4, orange, 4);
  ASSERT_TRUE(g_D3DTexture.UploadTexture(texture));
  CDeviceTexture* wrapper = texture->m_pDeviceTexture;
  ASSERT_NE(wrapper, nullptr);
  ASSERT_NE(wrapper->m_pPalette, nullptr);
  device->SetCurrentTexturePalette(wrapper->m_pPalette->m_PaletteId);
  DrawQuad(wrapper->m_pTexture);
  EXPECT_TRUE(CentreIs({255, 128, 0}));

  // The palette stays with the image after the upload; new entries reach the device.
  const uint8_t teal[4] = {0, 128, 128, 255};
  std::memcpy(palette + 3 * 4, teal, 4);
  ASSERT_TRUE(g_TextureMgr.SetTexturePalette(texture));
  DrawQuad(wrapper->m_pTexture);
  EXPECT_TRUE(CentreIs({0, 128, 128}));
  g_D3DTexture.ReleaseTexture(texture);
}

TEST_F(TextureOnGL, TexelsWrittenThroughALockAreSampledAfterTheUnlock) {
  CTextureData* texture = SolidTexture(1, 16, 1, 0xFF20A040u, kTextureFlags_Default | kTextureFlag_KeepPixels);
  ASSERT_NE(texture, nullptr);
  ASSERT_TRUE(g_D3DTexture.UploadTexture(texture));
  ASSERT_NE(texture->m_pDeviceTexture, nullptr);
  DrawQuad(texture->m_pDeviceTexture->m_pTexture);
  EXPECT_TRUE(CentreIs({0x20, 0xA0, 0x40}));

  uint8_t* texels = g_D3DTexture.LockTexture(texture);
  ASSERT_NE(texels, nullptr);
  const uint32_t written = 0xFFC01060u;
  for (int i = 0; i < 16 * 16; ++i) std::memcpy(texels + 4 * i, &written, 4);
  DrawQuad(texture->m_pDeviceTexture->m_pTexture);
  EXPECT_TRUE(CentreIs({0x20, 0xA0, 0x40})) << "the device keeps the old texels until the unlock";
  ASSERT_TRUE(g_D3DTexture.UnlockTexture(texture));
  DrawQuad(texture->m_pDeviceTexture->m_pTexture);
  EXPECT_TRUE(CentreIs({0xC0, 0x10, 0x60}));
  g_D3DTexture.ReleaseTexture(texture);
}

TEST_F(TextureOnGL, ManagedTexturesSurviveAResetAndRenderTargetsAreMadeAgain) {
  CTextureData* managed = SolidTexture(1, 16, 1, 0xFF3060C0u);
  CTextureData* target = SolidTexture(1, 32, 1, 0, kTextureFlags_Default | kTextureFlag_RenderTarget);
  ASSERT_NE(managed, nullptr);
  ASSERT_NE(target, nullptr);
  ASSERT_TRUE(g_D3DTexture.UploadTexture(managed));
  g_D3DTexture.UploadTexture(target);
  ASSERT_NE(target->m_pDeviceTexture, nullptr);
  ASSERT_NE(target->m_pDeviceTexture->m_pTexture, nullptr);
  EXPECT_EQ(target->m_pDeviceTexture->m_bManaged, 0);

  // A render target can be drawn into and then sampled.
  FillTarget(target->m_pDeviceTexture, D3DCOLOR_XRGB(250, 0, 250));
  DrawQuad(target->m_pDeviceTexture->m_pTexture);
  EXPECT_TRUE(CentreIs({250, 0, 250}));

  IDirect3DBaseTexture8* managed_before = managed->m_pDeviceTexture->m_pTexture;
  ResetThroughTheFrameGate();
  EXPECT_EQ(managed->m_pDeviceTexture->m_pTexture, managed_before) << "managed textures are not made again";
  ASSERT_NE(target->m_pDeviceTexture->m_pTexture, nullptr) << "the render target was not made again";

  DrawQuad(managed->m_pDeviceTexture->m_pTexture);
  EXPECT_TRUE(CentreIs({0x30, 0x60, 0xC0})) << "a managed texture keeps its pixels through a reset";
  FillTarget(target->m_pDeviceTexture, D3DCOLOR_XRGB(0, 200, 100));
  DrawQuad(target->m_pDeviceTexture->m_pTexture);
  EXPECT_TRUE(CentreIs({0, 200, 100}));

  g_D3DTexture.ReleaseTexture(managed);
  g_D3DTexture.ReleaseTexture(target);
}

TEST_F(TextureOnGL, CubeImagesBecomeCubeTexturesWithEveryFaceUploaded) {
  CTextureData* cube = g_D3DTexture.CreateTexture(kTexImage_Cube, 1, 8, 8, 1, 0);
  ASSERT_NE(cube, nullptr);
  for (uint32_t face = 0; face < 6; ++face) {
    const uint32_t colour = 0xFF000000u | (face * 40u) << 16;
    for (uint32_t i = 0; i < 64; ++i) std::memcpy(cube->m_pImage->GetLevel(face, 0) + i * 4, &colour, 4);
  }
  ASSERT_TRUE(g_D3DTexture.UploadTexture(cube));
  ASSERT_NE(cube->m_pDeviceTexture, nullptr);
  IDirect3DBaseTexture8* made = cube->m_pDeviceTexture->m_pTexture;
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetType(), D3DRTYPE_CUBETEXTURE);
  for (uint32_t face = 0; face < 6; ++face) {
    int32_t pitch = 0;
    const auto* bits = static_cast<const uint8_t*>(cube->m_pDeviceTexture->Lock(0, &pitch, face));
    ASSERT_NE(bits, nullptr) << face;
    EXPECT_EQ(bits[2], face * 40) << "red of face " << face;
    cube->m_pDeviceTexture->Unlock(0, face);
  }
  g_D3DTexture.ReleaseTexture(cube);
}

}  // namespace
}  // namespace vt_test
