#include "tests/platform/d3d/d3d_test_device.h"

#include <cstdlib>

Rgb ReadPixel(IDirect3DDevice8* device, int x, int y) {
  IDirect3DSurface8* surface = nullptr;
  Rgb out = {-1, -1, -1};
  if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) return out;
  D3DSURFACE_DESC desc = {};
  D3DLOCKED_RECT locked = {};
  if (SUCCEEDED(surface->GetDesc(&desc)) && SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    const BYTE* row = static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
    if (desc.Format == D3DFMT_R5G6B5) {
      const WORD p = static_cast<WORD>(row[x * 2] | (row[x * 2 + 1] << 8));
      out = {((p >> 11) & 31) * 255 / 31, ((p >> 5) & 63) * 255 / 63, (p & 31) * 255 / 31};
    } else {
      out = {row[x * 4 + 2], row[x * 4 + 1], row[x * 4 + 0]};
    }
    surface->UnlockRect();
  }
  surface->Release();
  return out;
}

::testing::AssertionResult PixelNear(IDirect3DDevice8* device, int x, int y, Rgb want, int tolerance) {
  const Rgb got = ReadPixel(device, x, y);
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << got.r << ", " << got.g << ", "
                                       << got.b << "), expected (" << want.r << ", " << want.g << ", " << want.b
                                       << ") +-" << tolerance;
}

D3DMATRIX PerspectiveFov(float fov_y, float aspect, float near_z, float far_z) {
  const float y = 1.0f / std::tan(fov_y / 2.0f);
  D3DMATRIX m = {};
  m.m[0][0] = y / aspect;
  m.m[1][1] = y;
  m.m[2][2] = far_z / (far_z - near_z);
  m.m[2][3] = 1.0f;
  m.m[3][2] = -near_z * far_z / (far_z - near_z);
  return m;
}

void D3DDeviceTest::SetUp() {
  // The video system and one OpenGL window are kept for the whole run, so that the OpenGL
  // driver stays loaded and what it keeps until exit can be told apart from leaks of our own.
  static SDL_Window* const kept = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0
                                      ? SDL_CreateWindow("kept", 0, 0, 8, 8, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN)
                                      : nullptr;
  ASSERT_NE(kept, nullptr) << SDL_GetError();
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  ASSERT_TRUE(OpenWindow(640, 480, true));
  d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
  ASSERT_NE(d3d_, nullptr);
  D3D8Test_InjectCooperativeLevel(D3D_OK);
}

bool D3DDeviceTest::OpenWindow(int width, int height, bool full_buffers) {
  Close();
  if (window_) SDL_DestroyWindow(window_);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, full_buffers ? 8 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, full_buffers ? 24 : 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, full_buffers ? 8 : 0);
  window_ = SDL_CreateWindow("d3d test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  EXPECT_NE(window_, nullptr) << SDL_GetError();
  return window_ != nullptr;
}

void D3DDeviceTest::TearDown() {
  D3D8Test_InjectCooperativeLevel(D3D_OK);
  Close();
  if (d3d_) d3d_->Release();
  if (window_) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

D3DPRESENT_PARAMETERS D3DDeviceTest::Params(UINT width, UINT height, D3DFORMAT format, bool windowed,
                                            D3DFORMAT depth) const {
  D3DPRESENT_PARAMETERS p = {};
  p.BackBufferWidth = width;
  p.BackBufferHeight = height;
  p.BackBufferFormat = format;
  p.BackBufferCount = 1;
  p.SwapEffect = D3DSWAPEFFECT_COPY;
  p.hDeviceWindow = window_;
  p.Windowed = windowed ? TRUE : FALSE;
  p.EnableAutoDepthStencil = depth != D3DFMT_UNKNOWN ? TRUE : FALSE;
  p.AutoDepthStencilFormat = depth;
  p.FullScreen_PresentationInterval = windowed ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
  return p;
}

bool D3DDeviceTest::Open(UINT width, UINT height, D3DFORMAT format, bool windowed, D3DFORMAT depth) {
  Close();
  D3DPRESENT_PARAMETERS p = Params(width, height, format, windowed, depth);
  const HRESULT hr = d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                        D3DCREATE_MIXED_VERTEXPROCESSING, &p, &device_);
  EXPECT_EQ(hr, D3D_OK);
  return SUCCEEDED(hr) && device_;
}

void D3DDeviceTest::Close() {
  if (device_) device_->Release();
  device_ = nullptr;
}

void D3DDeviceTest::UsePerspective() {
  D3DVIEWPORT8 vp = {};
  device_->GetViewport(&vp);
  const D3DMATRIX projection =
      PerspectiveFov(1.5707964f, static_cast<float>(vp.Width) / static_cast<float>(vp.Height), 1.0f, 100.0f);
  device_->SetTransform(D3DTS_PROJECTION, &projection);
}

HRESULT D3DDeviceTest::DrawScreenRect(float left, float top, float right, float bottom, D3DCOLOR color, float z) {
  const ScreenVertex quad[4] = {
      {left, top, z, 1.0f, color},
      {right, top, z, 1.0f, color},
      {left, bottom, z, 1.0f, color},
      {right, bottom, z, 1.0f, color},
  };
  device_->SetVertexShader(kScreenFvf);
  return device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}
