// The gamma ramp, applied when the back buffer is shown.
#include "tests/platform/d3d/d3d_test_device.h"

namespace {

using GLPresentTest = D3DDeviceTest;

DWORD PresentedAt(IDirect3DDevice8* device, int x, int y) {
  std::vector<DWORD> pixels;
  UINT w = 0;
  UINT h = 0;
  if (!D3D8Test_ReadPresentedPixels(device, &pixels, &w, &h)) return 0xDEADBEEFu;
  return pixels[static_cast<size_t>(y) * w + static_cast<size_t>(x)];
}

TEST_F(GLPresentTest, GammaRampChangesThePresentedColoursButNotTheBackBuffer) {
  ASSERT_TRUE(Open(32, 32));
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(200, 100, 40), 1.0f, 0);
  const D3DCOLOR top = D3DCOLOR_XRGB(10, 20, 30);
  const D3DRECT first_row = {0, 0, 32, 1};
  device_->Clear(1, &first_row, D3DCLEAR_TARGET, top, 1.0f, 0);
  EXPECT_EQ(PresentedAt(device_, 5, 5), 0xFFC86428u);
  EXPECT_EQ(PresentedAt(device_, 5, 0), 0xFF0A141Eu);  // rows stay top first

  D3DGAMMARAMP ramp = {};
  for (int i = 0; i < 256; ++i) {
    ramp.red[i] = static_cast<WORD>(i * 128);          // half
    ramp.green[i] = static_cast<WORD>(65535 - i * 257);  // inverted
    ramp.blue[i] = static_cast<WORD>(i * 257);         // identity
  }
  device_->SetGammaRamp(D3DSGR_NO_CALIBRATION, &ramp);
  D3DGAMMARAMP back = {};
  device_->GetGammaRamp(&back);
  EXPECT_EQ(back.red[255], ramp.red[255]);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  const DWORD p = PresentedAt(device_, 5, 5);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 100, 1);
  EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 155, 1);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 40, 1);
  EXPECT_TRUE(PixelNear(device_, 5, 5, {200, 100, 40}, 0));

  // Drawing still works after a presentation through the ramp.
  DrawScreenRect(0, 0, 32, 32, D3DCOLOR_XRGB(0, 255, 0));
  EXPECT_TRUE(PixelNear(device_, 16, 16, {0, 255, 0}, 0));
}

}  // namespace
