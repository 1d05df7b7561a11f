// The back buffer drawn straight into the window when the window can hold it, and in the
// device's own framebuffer otherwise: the same pictures either way, and nothing lost when the
// device moves it from one to the other.
#include "tests/platform/d3d/d3d_test_device.h"

namespace {

using GLWindowTargetTest = D3DDeviceTest;

constexpr D3DCOLOR kBlue = D3DCOLOR_XRGB(0, 0, 255);
constexpr D3DCOLOR kRed = D3DCOLOR_XRGB(255, 0, 0);
constexpr D3DCOLOR kGreen = D3DCOLOR_XRGB(0, 255, 0);
constexpr D3DCOLOR kYellow = D3DCOLOR_XRGB(255, 255, 0);

DWORD PresentedAt(IDirect3DDevice8* device, int x, int y) {
  std::vector<DWORD> pixels;
  UINT w = 0;
  UINT h = 0;
  if (!D3D8Test_ReadPresentedPixels(device, &pixels, &w, &h)) return 0xDEADBEEFu;
  return pixels[static_cast<size_t>(y) * w + static_cast<size_t>(x)];
}

// Two triangles of one colour, wound as given: clockwise on screen is Direct3D's front.
void DrawProjectedSquare(IDirect3DDevice8* device, float x, float y, float size, float z, D3DCOLOR color,
                         bool clockwise) {
  ColorVertex v[6] = {{x, y, z, color},        {x, y + size, z, color}, {x + size, y, z, color},
                      {x + size, y, z, color}, {x, y + size, z, color}, {x + size, y + size, z, color}};
  if (!clockwise) {
    std::swap(v[1], v[2]);
    std::swap(v[4], v[5]);
  }
  device->SetVertexShader(kColorFvf);
  device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ColorVertex));
}

// Clears, rectangles, a viewport in one corner, culling and depth in both homes of the back
// buffer. The picture (640 x 480):
//   blue everywhere; a red cleared rectangle at the top left; a green screen-space rectangle
//   lower left; in the bottom-right quarter's viewport a yellow front-facing square at the centre
//   and a back-facing red one beside it (culled), and a far red square behind the yellow one.
TEST_F(GLWindowTargetTest, SamePictureInTheWindowAndInTheFramebuffer) {
  for (const bool full_buffers : {true, false}) {
    SCOPED_TRACE(full_buffers ? "window" : "framebuffer");
    ASSERT_TRUE(OpenWindow(640, 480, full_buffers));
    ASSERT_TRUE(Open(640, 480));
    EXPECT_EQ(D3D8Test_BackBufferInWindow(device_), full_buffers);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0);
    const D3DRECT top_left = {10, 20, 110, 60};
    device_->Clear(1, &top_left, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    DrawScreenRect(20, 400, 120, 470, kGreen);

    const D3DVIEWPORT8 corner = {320, 240, 320, 240, 0.0f, 1.0f};
    ASSERT_EQ(device_->SetViewport(&corner), D3D_OK);
    UsePerspective();  // 90 degrees: at depth 10 the viewport spans -13.3..13.3 by -10..10
    DrawProjectedSquare(device_, -2.0f, -2.0f, 4.0f, 10.0f, kYellow, true);
    DrawProjectedSquare(device_, -2.0f, -2.0f, 4.0f, 50.0f, kRed, true);  // behind: hidden
    DrawProjectedSquare(device_, 6.0f, -2.0f, 4.0f, 10.0f, kRed, false);  // back-facing: culled
    DrawProjectedSquare(device_, -2.0f, 5.0f, 2.0f, 10.0f, kGreen, true);  // above the centre

    EXPECT_TRUE(PixelNear(device_, 5, 5, {0, 0, 255}, 0));
    EXPECT_TRUE(PixelNear(device_, 10, 20, {255, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(device_, 109, 59, {255, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(device_, 110, 59, {0, 0, 255}, 0));
    EXPECT_TRUE(PixelNear(device_, 109, 60, {0, 0, 255}, 0));
    EXPECT_TRUE(PixelNear(device_, 20, 400, {0, 255, 0}, 0));
    EXPECT_TRUE(PixelNear(device_, 119, 469, {0, 255, 0}, 0));
    EXPECT_TRUE(PixelNear(device_, 19, 400, {0, 0, 255}, 0));
    EXPECT_TRUE(PixelNear(device_, 20, 399, {0, 0, 255}, 0));
    EXPECT_TRUE(PixelNear(device_, 480, 360, {255, 255, 0}, 0));  // viewport centre
    EXPECT_TRUE(PixelNear(device_, 480 + 96, 360, {0, 0, 255}, 0));  // the culled square
    EXPECT_TRUE(PixelNear(device_, 480 - 12, 360 - 72, {0, 255, 0}, 0));  // up is up
    EXPECT_TRUE(PixelNear(device_, 480 - 12, 360 + 72, {0, 0, 255}, 0));
    EXPECT_EQ(PresentedAt(device_, 480, 360), 0xFFFFFF00u);
    EXPECT_EQ(PresentedAt(device_, 15, 25), 0xFFFF0000u);

    ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(D3D8Test_BackBufferInWindow(device_), full_buffers);
  }
}

// Only a back buffer of the window's size, in a format and with depth buffers the window has,
// goes into the window.
TEST_F(GLWindowTargetTest, WindowHoldsOnlyAMatchingBackBuffer) {
  struct Case {
    UINT width, height;
    D3DFORMAT color, depth;
    bool in_window;
  };
  const Case cases[] = {
      {640, 480, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true},   {640, 480, D3DFMT_A8R8G8B8, D3DFMT_D24S8, true},
      {320, 240, D3DFMT_X8R8G8B8, D3DFMT_D24S8, false},  {640, 480, D3DFMT_R5G6B5, D3DFMT_D24S8, false},
      {640, 480, D3DFMT_X8R8G8B8, D3DFMT_D16, false},    {640, 480, D3DFMT_X8R8G8B8, D3DFMT_D24X8, false},
      {640, 480, D3DFMT_X8R8G8B8, D3DFMT_UNKNOWN, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.color << " " << c.depth);
    ASSERT_TRUE(Open(c.width, c.height, c.color, true, c.depth));
    EXPECT_EQ(D3D8Test_BackBufferInWindow(device_), c.in_window);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_TRUE(PixelNear(device_, 3, 3, {0, 255, 0}, 5));
  }
}

// Drawing into a texture moves the back buffer out of the window with its colour and depth;
// the next frame stays out (it will likely draw into a texture again), one without a texture
// target goes back in, and the picture survives each move.
TEST_F(GLWindowTargetTest, RenderTargetSwitchKeepsColourAndDepth) {
  ASSERT_TRUE(Open(640, 480));
  ASSERT_TRUE(D3D8Test_BackBufferInWindow(device_));
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0);
  DrawScreenRect(100, 100, 200, 200, kRed, 0.2f);  // near

  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture),
            D3D_OK);
  IDirect3DSurface8* level = nullptr;
  IDirect3DSurface8* back = nullptr;
  IDirect3DSurface8* depth = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  device_->GetRenderTarget(&back);
  device_->GetDepthStencilSurface(&depth);
  ASSERT_EQ(device_->SetRenderTarget(level, nullptr), D3D_OK);
  EXPECT_FALSE(D3D8Test_BackBufferInWindow(device_));
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
  ASSERT_EQ(device_->SetRenderTarget(back, depth), D3D_OK);

  DrawScreenRect(150, 150, 250, 250, kYellow, 0.6f);  // far: behind the red where they overlap
  EXPECT_TRUE(PixelNear(device_, 120, 120, {255, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 175, 175, {255, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 225, 225, {255, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 5, 5, {0, 0, 255}, 0));

  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_FALSE(D3D8Test_BackBufferInWindow(device_));
  EXPECT_TRUE(PixelNear(device_, 175, 175, {255, 0, 0}, 0));  // the frame is kept
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_TRUE(D3D8Test_BackBufferInWindow(device_));
  EXPECT_TRUE(PixelNear(device_, 175, 175, {255, 0, 0}, 0));
  // the depth came along: a far rectangle stays behind the near one
  DrawScreenRect(90, 90, 130, 130, kGreen, 0.4f);
  EXPECT_TRUE(PixelNear(device_, 95, 95, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 120, 120, {255, 0, 0}, 0));

  level->Release();
  back->Release();
  depth->Release();
  texture->Release();
}

// A ramp other than the identity needs the copy at Present: the back buffer leaves the window
// at once and goes back at the first Present with the identity again.
TEST_F(GLWindowTargetTest, GammaRampMovesTheBackBufferOutOfTheWindow) {
  ASSERT_TRUE(Open(640, 480));
  ASSERT_TRUE(D3D8Test_BackBufferInWindow(device_));
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(200, 100, 40), 1.0f, 0);
  D3DGAMMARAMP identity = {};
  device_->GetGammaRamp(&identity);
  D3DGAMMARAMP half = identity;
  for (int i = 0; i < 256; ++i) half.red[i] = static_cast<WORD>(i * 128);
  device_->SetGammaRamp(D3DSGR_NO_CALIBRATION, &half);
  EXPECT_FALSE(D3D8Test_BackBufferInWindow(device_));
  EXPECT_TRUE(PixelNear(device_, 5, 5, {200, 100, 40}, 0));
  EXPECT_NEAR(static_cast<int>((PresentedAt(device_, 5, 5) >> 16) & 0xFF), 100, 1);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_FALSE(D3D8Test_BackBufferInWindow(device_));

  device_->SetGammaRamp(D3DSGR_NO_CALIBRATION, &identity);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_TRUE(D3D8Test_BackBufferInWindow(device_));
  EXPECT_EQ(PresentedAt(device_, 5, 5), 0xFFC86428u);
}

// Writing the back buffer through a lock lands in the picture wherever it lives.
TEST_F(GLWindowTargetTest, WrittenBackBufferIsShown) {
  ASSERT_TRUE(Open(640, 480));
  ASSERT_TRUE(D3D8Test_BackBufferInWindow(device_));
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
  IDirect3DSurface8* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(back->LockRect(&locked, nullptr, 0), D3D_OK);
  auto* row = static_cast<DWORD*>(static_cast<void*>(static_cast<BYTE*>(locked.pBits) + 7 * locked.Pitch));
  EXPECT_EQ(row[3] & 0x00FFFFFFu, 0x000000FFu);
  row[3] = 0xFFFF0000u;
  back->UnlockRect();
  back->Release();
  EXPECT_TRUE(PixelNear(device_, 3, 7, {255, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 4, 7, {0, 0, 255}, 0));
  EXPECT_EQ(PresentedAt(device_, 3, 7), 0xFFFF0000u);
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 3, 7, {255, 0, 0}, 0));
}

// A window resized under the device no longer fits the back buffer: the next scene draws into
// the framebuffer object at the back buffer's size, and Present scales it to the window.
TEST_F(GLWindowTargetTest, ResizedWindowSendsTheBackBufferBackToTheFramebuffer) {
  ASSERT_TRUE(Open(640, 480));
  ASSERT_TRUE(D3D8Test_BackBufferInWindow(device_));
  SDL_SetWindowSize(window_, 320, 240);
  int width = 0;
  int height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  if (width != 320) GTEST_SKIP() << "this video driver does not resize the drawable";
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  EXPECT_FALSE(D3D8Test_BackBufferInWindow(device_));
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kGreen, 1.0f, 0);
  DrawScreenRect(600, 440, 640, 480, kRed);
  device_->EndScene();
  EXPECT_TRUE(PixelNear(device_, 5, 5, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 639, 479, {255, 0, 0}, 0));
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_FALSE(D3D8Test_BackBufferInWindow(device_));
  EXPECT_EQ(PresentedAt(device_, 639, 479), 0xFFFF0000u);
}

// A reset puts the back buffer where the new mode lets it live.
TEST_F(GLWindowTargetTest, ResetChoosesTheHomeAgain) {
  ASSERT_TRUE(Open(640, 480));
  ASSERT_TRUE(D3D8Test_BackBufferInWindow(device_));
  D3DPRESENT_PARAMETERS small = Params(320, 240, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  ASSERT_EQ(device_->Reset(&small), D3D_OK);
  EXPECT_FALSE(D3D8Test_BackBufferInWindow(device_));
  D3DPRESENT_PARAMETERS whole = Params(640, 480, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  ASSERT_EQ(device_->Reset(&whole), D3D_OK);
  EXPECT_TRUE(D3D8Test_BackBufferInWindow(device_));
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
  EXPECT_TRUE(PixelNear(device_, 639, 479, {0, 255, 0}, 0));
}

}  // namespace
