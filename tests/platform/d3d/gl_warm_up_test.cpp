// The device's warm-up mode (draws that prepare their state but write nothing) and its count
// of distinct draw states.
#include <GL/gl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

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

// Renormalising changes what the driver builds only where something reads normals: lighting,
// or coordinates made from normals. Elsewhere it is no new state, and the device leaves it off
// (whatever a lit draw before it asked for).
TEST_F(GLWarmUpTest, RenormalisingCountsOnlyWhereNormalsAreRead) {
  const LitVertex triangle[3] = {{-0.5f, -0.5f, 0.5f, 0, 0, -1}, {0.5f, -0.5f, 0.5f, 0, 0, -1},
                                 {0.0f, 0.5f, 0.5f, 0, 0, -1}};
  auto draw = [&] {
    ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(LitVertex)), D3D_OK);
  };
  struct Case {
    const char* what;
    BOOL lighting;
    DWORD coordinates;  // stage 0's coordinate index
    bool normals_read;
  };
  const Case cases[] = {
      {"unlit", FALSE, 0, false},
      {"lit", TRUE, 0, true},
      {"unlit, coordinates from camera-space normals", FALSE, D3DTSS_TCI_CAMERASPACENORMAL, true},
      {"unlit, coordinates from reflection vectors", FALSE, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR, true},
      {"unlit, coordinates from camera-space positions", FALSE, D3DTSS_TCI_CAMERASPACEPOSITION, false},
  };
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, true));
  for (const Case& c : cases) {
    device_->SetRenderState(D3DRS_LIGHTING, c.lighting);
    device_->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, c.coordinates);
    // A lit, renormalised (and blended) draw first: what it leaves on must not reach the case's
    // draws.
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    device_->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    draw();
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetRenderState(D3DRS_LIGHTING, c.lighting);
    device_->SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
    draw();
    const UINT before = D3D8Test_DrawStatesSeen(device_);
    device_->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    draw();
    EXPECT_EQ(D3D8Test_DrawStatesSeen(device_), before + (c.normals_read ? 1u : 0u)) << c.what;
    EXPECT_EQ(glIsEnabled(GL_NORMALIZE) == GL_TRUE, c.normals_read) << c.what;
    device_->SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
    draw();
    EXPECT_EQ(glIsEnabled(GL_NORMALIZE), GL_FALSE) << c.what;
  }
  device_->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, false));
}

// Point sprites and point scaling reach the driver only when points are drawn: a sprite array
// leaves them on, and the triangles drawn after it are no new state (nor does the driver compute
// point sizes for them). For points they count.
TEST_F(GLWarmUpTest, PointStatesCountOnlyForPoints) {
  const ScreenVertex point[1] = {{8.0f, 8.0f, 0.5f, 1.0f, D3DCOLOR_XRGB(255, 255, 255)}};
  auto draw_point = [&] {
    ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, point, sizeof(ScreenVertex)), D3D_OK);
  };
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, true));
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(255, 0, 0));
  draw_point();
  const UINT before = D3D8Test_DrawStatesSeen(device_);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSCALE_A, Float_Bits(0.0f));
  device_->SetRenderState(D3DRS_POINTSCALE_B, Float_Bits(0.0f));
  device_->SetRenderState(D3DRS_POINTSCALE_C, Float_Bits(1.0f));
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(0, 255, 0));
  EXPECT_EQ(D3D8Test_DrawStatesSeen(device_), before) << "triangles after a sprite array";
  GLfloat attenuation[3] = {};
  glGetFloatv(GL_POINT_DISTANCE_ATTENUATION, attenuation);
  EXPECT_EQ(attenuation[0], 1.0f);
  EXPECT_EQ(attenuation[1], 0.0f);
  EXPECT_EQ(attenuation[2], 0.0f) << "point sizes computed for triangles";
  draw_point();
  EXPECT_EQ(D3D8Test_DrawStatesSeen(device_), before + 1) << "points drawn as sprites";
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
  device_->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, false));
}

// Described, each state met for the first time gives one line that tells it from the others;
// a state met again gives none, and taking the lines empties the list.
TEST_F(GLWarmUpTest, NewStatesAreDescribedOnceEach) {
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, true));
  ASSERT_TRUE(D3D8Test_DescribeDrawStates(device_, true));
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(255, 0, 0));
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(255, 0, 0));
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(0, 255, 0));
  const std::vector<std::string> lines = D3D8Test_TakeDrawStateDescriptions(device_);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0], lines[1]);
  EXPECT_NE(lines[0].find("blend=off"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("blend(srcalpha,one"), std::string::npos) << lines[1];
  EXPECT_TRUE(D3D8Test_TakeDrawStateDescriptions(device_).empty());
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(0, 0, 255));
  EXPECT_TRUE(D3D8Test_TakeDrawStateDescriptions(device_).empty()) << "a state met before";
  ASSERT_TRUE(D3D8Test_DescribeDrawStates(device_, false));
  ASSERT_TRUE(D3D8Test_CountDrawStates(device_, false));
}

}  // namespace
