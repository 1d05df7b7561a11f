// The device's warm-up mode (draws that prepare their state but write nothing) and its count
// of distinct draw states.
#include <cstring>
#include <functional>

#include "tests/platform/d3d/d3d_test_device.h"

namespace {

DWORD Float_Bits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

class GLWarmUpTest : public D3DDeviceTest {
 protected:
  void SetUp() override {
    D3DDeviceTest::SetUp();
    ASSERT_TRUE(Open(64, 64));
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                             D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0),
              D3D_OK);
  }
};

// Warm draws that would fill the colour, depth and stencil buffers leave all three as they
// were: a later, farther rectangle that tests depth and stencil shows everywhere.
TEST_F(GLWarmUpTest, WarmDrawsLeaveColourDepthAndStencilAsTheyWere) {
  ASSERT_EQ(D3D8_SetStateWarmUp(device_, TRUE), D3D_OK);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
  device_->SetRenderState(D3DRS_STENCILREF, 1);
  EXPECT_EQ(DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(255, 0, 0), 0.1f), D3D_OK);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  EXPECT_EQ(DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(255, 255, 0), 0.1f), D3D_OK);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  ASSERT_EQ(D3D8_SetStateWarmUp(device_, FALSE), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 0, 255}, 0)) << "colour written while warming up";

  device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
  device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
  device_->SetRenderState(D3DRS_STENCILREF, 0);
  DrawScreenRect(0, 0, 32, 64, D3DCOLOR_XRGB(0, 255, 0), 0.5f);
  EXPECT_TRUE(PixelNear(device_, 16, 32, {0, 255, 0}, 0)) << "depth or stencil written while warming up";
  EXPECT_TRUE(PixelNear(device_, 48, 32, {0, 0, 255}, 0));
}

struct StateCase {
  const char* what;
  std::function<void(IDirect3DDevice8*)> change;
  bool new_state;
};

// A draw state is new when it differs from every one drawn before in something the driver
// compiles for, and only then.
TEST_F(GLWarmUpTest, DrawStatesCountWhatTheDriverCompilesFor) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  IDirect3DTexture8* chain = nullptr;
  ASSERT_EQ(device_->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &chain), D3D_OK);
  IDirect3DTexture8* other = nullptr;
  ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &other), D3D_OK);
  const StateCase cases[] = {
      {"the same state again", [](IDirect3DDevice8*) {}, false},
      {"another colour in the same state", [](IDirect3DDevice8*) {}, false},
      {"blending on", [](IDirect3DDevice8* d) { d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE); }, true},
      {"another blend factor",
       [](IDirect3DDevice8* d) { d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE); }, true},
      {"blending off again", [](IDirect3DDevice8* d) { d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE); }, false},
      {"a blend factor while blending is off",
       [](IDirect3DDevice8* d) { d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR); }, false},
      {"the texture factor's value", [](IDirect3DDevice8* d) { d->SetRenderState(D3DRS_TEXTUREFACTOR, 0x12345678); },
       false},
      {"a texture on stage 0", [&](IDirect3DDevice8* d) { d->SetTexture(0, texture); }, true},
      {"another texture of the same kind", [&](IDirect3DDevice8* d) { d->SetTexture(0, other); }, false},
      {"a texture with a chain of levels", [&](IDirect3DDevice8* d) { d->SetTexture(0, chain); }, true},
      {"another stage operation",
       [](IDirect3DDevice8* d) { d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD); }, true},
      {"fog on over a range", [](IDirect3DDevice8* d) {
         d->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
         d->SetRenderState(D3DRS_FOGSTART, Float_Bits(0.0f));
         d->SetRenderState(D3DRS_FOGEND, Float_Bits(0.0f));
         d->SetRenderState(D3DRS_FOGENABLE, TRUE);
       }, true},
      {"the fog's range opening", [](IDirect3DDevice8* d) { d->SetRenderState(D3DRS_FOGEND, Float_Bits(1.0f)); },
       true},
      {"the fog's colour", [](IDirect3DDevice8* d) { d->SetRenderState(D3DRS_FOGCOLOR, 0xFF808080); }, false},
  };
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, true));
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(255, 0, 0));
  ASSERT_EQ(D3D8Test_DrawStatesSeen(device_), 1u);
  for (const StateCase& c : cases) {
    const UINT before = D3D8Test_DrawStatesSeen(device_);
    c.change(device_);
    DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(0, 255, 0));
    EXPECT_EQ(D3D8Test_DrawStatesSeen(device_), before + (c.new_state ? 1u : 0u)) << c.what;
  }
  // States seen while warming up are not new when drawn for real.
  const UINT seen = D3D8Test_DrawStatesSeen(device_);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  ASSERT_EQ(D3D8_SetStateWarmUp(device_, TRUE), D3D_OK);
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(0, 0, 0));
  ASSERT_EQ(D3D8_SetStateWarmUp(device_, FALSE), D3D_OK);
  EXPECT_EQ(D3D8Test_DrawStatesSeen(device_), seen + 1);
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(0, 0, 0));
  EXPECT_EQ(D3D8Test_DrawStatesSeen(device_), seen + 1);
  // Turning counting off forgets what was seen.
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, false));
  EXPECT_EQ(D3D8Test_DrawStatesSeen(device_), 0u);
  device_->SetTexture(0, nullptr);
  other->Release();
  chain->Release();
  texture->Release();
}

}  // namespace
