// The device sends OpenGL only the values that changed since its last draw. These cases change
// OpenGL state behind its back (a clear, a texture upload) or leave values unsent while they do
// nothing (a blend function with blending off), and check that the next draws still show what
// the Direct3D state asks. Every probe comes after all the drawing of a case, so that reading
// pixels back cannot put anything right in between.
#include <cstring>

#include "tests/platform/d3d/d3d_test_device.h"

namespace {

class GLStateReuseTest : public D3DDeviceTest {
 protected:
  void SetUp() override {
    D3DDeviceTest::SetUp();
    ASSERT_TRUE(Open(64, 64));
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    ClearAll(0);
  }
  void ClearAll(D3DCOLOR color) {
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, color, 1.0f, 0),
              D3D_OK);
  }
  // One texel of one colour.
  IDirect3DTexture8* SolidTexture(D3DCOLOR color) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device_->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    if (texture == nullptr) return nullptr;
    D3DLOCKED_RECT locked = {};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    *static_cast<DWORD*>(locked.pBits) = color;
    texture->UnlockRect(0);
    return texture;
  }
  HRESULT DrawTexturedRect(float left, float top, float right, float bottom) {
    const TexVertex quad[4] = {{left, top, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
                               {right, top, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                               {left, bottom, 0.5f, 1, 0xFFFFFFFFu, 0, 1},
                               {right, bottom, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
    device_->SetVertexShader(kTexFvf);
    return device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex));
  }
};

// A clear writes every channel and the depth buffer whatever the draws asked: the masks the
// draws asked for hold again after it.
TEST_F(GLStateReuseTest, WriteMasksHoldAgainAfterAClear) {
  device_->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(255, 255, 255));
  ClearAll(0);
  // Red only, and no depth written: the farther green rectangle then covers the nearer one.
  DrawScreenRect(0, 0, 32, 64, D3DCOLOR_XRGB(255, 255, 255), 0.2f);
  device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
  DrawScreenRect(16, 0, 64, 64, D3DCOLOR_XRGB(0, 255, 0), 0.6f);
  EXPECT_TRUE(PixelNear(device_, 8, 32, {255, 0, 0}, 0)) << "colour mask after the clear";
  EXPECT_TRUE(PixelNear(device_, 24, 32, {0, 255, 0}, 0)) << "depth mask after the clear";
  EXPECT_TRUE(PixelNear(device_, 48, 32, {0, 255, 0}, 0));
}

// Making, filling and reading other textures binds them on the active unit; the stage keeps
// drawing its own texture.
TEST_F(GLStateReuseTest, StageKeepsItsTextureWhileOthersAreUploadedAndRead) {
  IDirect3DTexture8* red = SolidTexture(D3DCOLOR_XRGB(255, 0, 0));
  ASSERT_NE(red, nullptr);
  device_->SetTexture(0, red);
  DrawTexturedRect(0, 0, 16, 64);
  IDirect3DTexture8* blue = SolidTexture(D3DCOLOR_XRGB(0, 0, 255));
  ASSERT_NE(blue, nullptr);
  DrawTexturedRect(16, 0, 32, 64);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(blue->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  blue->UnlockRect(0);
  DrawTexturedRect(32, 0, 48, 64);
  blue->Release();  // deleting a texture may free its name for the next one
  IDirect3DTexture8* green = SolidTexture(D3DCOLOR_XRGB(0, 255, 0));
  DrawTexturedRect(48, 0, 64, 64);
  for (int x : {8, 24, 40, 56}) EXPECT_TRUE(PixelNear(device_, x, 32, {255, 0, 0}, 0)) << x;
  device_->SetTexture(0, green);
  ClearAll(0);
  DrawTexturedRect(0, 0, 64, 64);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 255, 0}, 0));
  device_->SetTexture(0, nullptr);
  green->Release();
  red->Release();
}

// Values of a test or blend that is off are not sent while it is off; switching it on brings them.
TEST_F(GLStateReuseTest, BlendAndTestValuesSetWhileOffTakeEffectWhenSwitchedOn) {
  DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(0, 0, 200));
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
  device_->SetRenderState(D3DRS_ZENABLE, FALSE);
  DrawScreenRect(0, 0, 16, 64, D3DCOLOR_ARGB(0x40, 200, 0, 0), 0.9f);  // replaces: nothing is on
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  DrawScreenRect(16, 0, 32, 64, D3DCOLOR_ARGB(0x40, 200, 0, 0), 0.9f);  // adds
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  DrawScreenRect(32, 0, 48, 64, D3DCOLOR_ARGB(0x40, 200, 0, 0), 0.9f);  // fails the alpha test
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  DrawScreenRect(48, 0, 64, 64, D3DCOLOR_ARGB(0x40, 200, 0, 0), 0.9f);  // passes: 0.9 is greater than 0.5
  EXPECT_TRUE(PixelNear(device_, 8, 32, {200, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 24, 32, {200, 0, 200}, 0));
  EXPECT_TRUE(PixelNear(device_, 40, 32, {0, 0, 200}, 0));
  EXPECT_TRUE(PixelNear(device_, 56, 32, {200, 0, 0}, 0));
}

// Passes that turn the texture unit off and on, with and without texture coordinates, and
// screen vertices with and without a perspective 1/w between them.
TEST_F(GLStateReuseTest, TexturedAndUntexturedPassesAlternate) {
  IDirect3DTexture8* red = SolidTexture(D3DCOLOR_XRGB(255, 0, 0));
  ASSERT_NE(red, nullptr);
  for (int i = 0; i < 4; ++i) {
    const float left = static_cast<float>(i * 16);
    if (i % 2 == 0) {
      device_->SetTexture(0, red);
      DrawTexturedRect(left, 0, left + 16, 32);
    } else {
      // Texture x diffuse with no texture is the diffuse colour: the unit is off.
      device_->SetTexture(0, nullptr);
      const float rhw = i == 1 ? 0.25f : 1.0f;
      const ScreenVertex quad[4] = {{left, 0, 0.5f, rhw, 0xFF00FF00u},
                                    {left + 16, 0, 0.5f, rhw, 0xFF00FF00u},
                                    {left, 32, 0.5f, rhw, 0xFF00FF00u},
                                    {left + 16, 32, 0.5f, rhw, 0xFF00FF00u}};
      device_->SetVertexShader(kScreenFvf);
      ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
    }
  }
  // The same passes from the texture-coordinate layout, the unit off then on again.
  device_->SetTexture(0, nullptr);
  DrawTexturedRect(0, 32, 32, 64);
  device_->SetTexture(0, red);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  DrawTexturedRect(32, 32, 64, 64);
  const Rgb want[4] = {{255, 0, 0}, {0, 255, 0}, {255, 0, 0}, {0, 255, 0}};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(PixelNear(device_, i * 16 + 8, 16, want[i], 0)) << i;
  EXPECT_TRUE(PixelNear(device_, 16, 48, {255, 255, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 48, {255, 0, 0}, 0));
  device_->SetTexture(0, nullptr);
  red->Release();
}

}  // namespace
