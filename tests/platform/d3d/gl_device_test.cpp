// Opening, resetting, losing and presenting a device.
#include "tests/platform/d3d/d3d_test_device.h"

namespace {

using GLDeviceTest = D3DDeviceTest;

struct ModeCase {
  UINT width, height;
  D3DFORMAT format;
  bool windowed;
};

class GLDeviceModeTest : public D3DDeviceTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(GLDeviceModeTest, OpensWithABackBufferOfTheModeAndClearsIt) {
  const ModeCase& c = GetParam();
  ASSERT_TRUE(Open(c.width, c.height, c.format, c.windowed));
  IDirect3DSurface8* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DSURFACE_DESC desc = {};
  ASSERT_EQ(back->GetDesc(&desc), D3D_OK);
  back->Release();
  EXPECT_EQ(desc.Width, c.width);
  EXPECT_EQ(desc.Height, c.height);
  EXPECT_EQ(desc.Format, c.format);
  D3DVIEWPORT8 vp = {};
  ASSERT_EQ(device_->GetViewport(&vp), D3D_OK);
  EXPECT_EQ(vp.Width, c.width);
  EXPECT_EQ(vp.Height, c.height);

  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(255, 0, 0), 1.0f, 0), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 0, 0, {255, 0, 0}));
  EXPECT_TRUE(PixelNear(device_, static_cast<int>(c.width) - 1, static_cast<int>(c.height) - 1, {255, 0, 0}));
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

INSTANTIATE_TEST_SUITE_P(Modes, GLDeviceModeTest,
                         ::testing::Values(ModeCase{640, 480, D3DFMT_X8R8G8B8, true},
                                           ModeCase{1600, 1200, D3DFMT_X8R8G8B8, true},
                                           ModeCase{640, 480, D3DFMT_R5G6B5, false},
                                           ModeCase{1600, 1200, D3DFMT_R5G6B5, false},
                                           ModeCase{800, 600, D3DFMT_A8R8G8B8, false}));

TEST_F(GLDeviceTest, RefusesWindowsWithoutOpenGLAndUnsupportedParameters) {
  SDL_Window* plain = SDL_CreateWindow("plain", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
  ASSERT_NE(plain, nullptr);
  D3DPRESENT_PARAMETERS p = Params(64, 64, D3DFMT_X8R8G8B8, true, D3DFMT_D16);
  p.hDeviceWindow = plain;
  IDirect3DDevice8* device = nullptr;
  EXPECT_TRUE(FAILED(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, plain, 0, &p, &device)));
  EXPECT_EQ(device, nullptr);
  SDL_DestroyWindow(plain);

  struct Bad {
    const char* what;
    D3DPRESENT_PARAMETERS params;
  };
  Bad bad[] = {{"depth format", Params(64, 64, D3DFMT_X8R8G8B8, true, D3DFMT_D32)},
               {"colour format", Params(64, 64, D3DFMT_P8, true, D3DFMT_D16)},
               {"multisampling", Params(64, 64, D3DFMT_X8R8G8B8, true, D3DFMT_D16)}};
  bad[2].params.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(4);
  for (Bad& b : bad) {
    EXPECT_TRUE(FAILED(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_, 0, &b.params, &device))) << b.what;
    EXPECT_EQ(device, nullptr) << b.what;
  }
}

TEST_F(GLDeviceTest, ResetChangesTheBackBufferSizeAndWindowModeAndRestoresDefaults) {
  ASSERT_TRUE(Open(640, 480));
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DPRESENT_PARAMETERS p = Params(1024, 768, D3DFMT_R5G6B5, false, D3DFMT_D16);
  ASSERT_EQ(device_->Reset(&p), D3D_OK);
  IDirect3DSurface8* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DSURFACE_DESC desc = {};
  back->GetDesc(&desc);
  back->Release();
  EXPECT_EQ(desc.Width, 1024u);
  EXPECT_EQ(desc.Height, 768u);
  EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
  EXPECT_NE(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN, 0u);
  DWORD lighting = 0;
  device_->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, static_cast<DWORD>(TRUE));

  p = Params(800, 600, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  ASSERT_EQ(device_->Reset(&p), D3D_OK);
  EXPECT_EQ(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN, 0u);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 799, 599, {0, 0, 255}));
}

// A reset puts the vertex format back to its default; setting the format used before the reset
// again must make it the current one, not leave the device refusing every draw.
TEST_F(GLDeviceTest, TheVertexFormatOfBeforeAResetDrawsAfterIt) {
  ASSERT_TRUE(Open(64, 64));
  ASSERT_EQ(DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(255, 0, 0)), D3D_OK);
  D3DPRESENT_PARAMETERS p = Params(64, 64, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  ASSERT_EQ(device_->Reset(&p), D3D_OK);
  DWORD format = 1;
  device_->GetVertexShader(&format);
  EXPECT_NE(format, kScreenFvf);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
  ASSERT_EQ(DrawScreenRect(0, 0, 8, 8, D3DCOLOR_XRGB(0, 255, 0)), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 4, 4, {0, 255, 0}, 0));
}

TEST_F(GLDeviceTest, InjectedLossWalksThroughLostNotResetAndBack) {
  ASSERT_TRUE(Open(320, 240));
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);

  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  D3DPRESENT_PARAMETERS p = Params(320, 240, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  EXPECT_EQ(device_->Reset(&p), D3DERR_DEVICELOST);

  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  ASSERT_EQ(device_->Reset(&p), D3D_OK);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(GLDeviceTest, ResetFailsWhileVideoMemoryObjectsLiveAndSucceedsOnceReleased) {
  ASSERT_TRUE(Open(320, 240));
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(256, D3DUSAGE_WRITEONLY, kColorFvf, D3DPOOL_DEFAULT, &vb), D3D_OK);
  IDirect3DTexture8* managed = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed), D3D_OK);
  IDirect3DSurface8* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);

  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICENOTRESET);
  D3DPRESENT_PARAMETERS p = Params(320, 240, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  EXPECT_EQ(device_->Reset(&p), D3DERR_INVALIDCALL);  // the vertex buffer and back buffer are held
  vb->Release();
  EXPECT_EQ(device_->Reset(&p), D3DERR_INVALIDCALL);  // the back buffer still is
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  back->Release();
  EXPECT_EQ(device_->Reset(&p), D3D_OK);  // managed textures survive a reset
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  managed->Release();
}

TEST_F(GLDeviceTest, AFailedResetWithoutInjectionLeavesTheDeviceWaitingForAReset) {
  ASSERT_TRUE(Open(320, 240));
  IDirect3DIndexBuffer8* ib = nullptr;
  ASSERT_EQ(device_->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib), D3D_OK);
  D3DPRESENT_PARAMETERS p = Params(640, 480, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  EXPECT_EQ(device_->Reset(&p), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  ib->Release();
  EXPECT_EQ(device_->Reset(&p), D3D_OK);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
}

TEST_F(GLDeviceTest, SceneBracketsDoNotNest) {
  ASSERT_TRUE(Open(64, 64));
  EXPECT_EQ(device_->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->BeginScene(), D3D_OK);
  EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->EndScene(), D3D_OK);
}

TEST_F(GLDeviceTest, ObjectsOutlivingTheDeviceStaySafeToRelease) {
  ASSERT_TRUE(Open(64, 64));
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  IDirect3DSurface8* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  device_->SetTexture(0, texture);
  Close();
  D3DSURFACE_DESC desc = {};
  EXPECT_EQ(back->GetDesc(&desc), D3DERR_INVALIDCALL);
  back->Release();
  EXPECT_EQ(texture->GetLevelCount(), 3u);
  texture->Release();
}

TEST_F(GLDeviceTest, BackBufferWritesThroughALockShowOnTheNextRead) {
  ASSERT_TRUE(Open(16, 16));
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
  IDirect3DSurface8* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DLOCKED_RECT locked = {};
  const RECT one = {3, 5, 4, 6};
  ASSERT_EQ(back->LockRect(&locked, &one, 0), D3D_OK);
  static_cast<DWORD*>(locked.pBits)[0] = 0xFF00FF00u;
  back->UnlockRect();
  const RECT outside = {0, 0, 17, 1};
  EXPECT_EQ(back->LockRect(&locked, &outside, 0), D3DERR_INVALIDCALL);
  back->Release();
  EXPECT_TRUE(PixelNear(device_, 3, 5, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 4, 5, {0, 0, 0}, 0));
}

}  // namespace
