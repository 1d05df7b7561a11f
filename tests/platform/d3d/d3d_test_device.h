#pragma once
// A hidden OpenGL window with a device on it, and helpers to draw and probe pixels.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/d3d/d3d8.h"
#include "platform/d3d/d3d8_test_hooks.h"

struct Rgb {
  int r, g, b;
};

// Colour of a pixel of a 32-bit or 16-bit back buffer, widened to 8 bits per channel.
Rgb ReadPixel(IDirect3DDevice8* device, int x, int y);

// Expects a pixel within `tolerance` of the colour on every channel.
::testing::AssertionResult PixelNear(IDirect3DDevice8* device, int x, int y, Rgb want, int tolerance = 3);

struct ScreenVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE
  float x, y, z, rhw;
  D3DCOLOR color;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

struct ColorVertex {  // D3DFVF_XYZ | D3DFVF_DIFFUSE
  float x, y, z;
  D3DCOLOR color;
};
constexpr DWORD kColorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct LitVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL
  float x, y, z;
  float nx, ny, nz;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

struct TexVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Left-handed perspective projection (row vectors), as the renderer builds it.
D3DMATRIX PerspectiveFov(float fov_y, float aspect, float near_z, float far_z);

class D3DDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens the device (closing any open one). False with the reason in a test failure.
  bool Open(UINT width, UINT height, D3DFORMAT format = D3DFMT_X8R8G8B8, bool windowed = true,
            D3DFORMAT depth = D3DFMT_D24S8);
  void Close();
  // Replaces the window (closing the device). `full_buffers`: 8-bit alpha, 24-bit depth and 8-bit
  // stencil, so that a matching back buffer can live in the window itself; otherwise the
  // window's default buffers, which keep the back buffer in the device's own framebuffer.
  bool OpenWindow(int width, int height, bool full_buffers);
  D3DPRESENT_PARAMETERS Params(UINT width, UINT height, D3DFORMAT format, bool windowed, D3DFORMAT depth) const;

  // Untransformed vertices go through an identity world and view and this projection.
  void UsePerspective();
  // A screen-space rectangle of one colour, [left, right) x [top, bottom).
  HRESULT DrawScreenRect(float left, float top, float right, float bottom, D3DCOLOR color, float z = 0.5f);

  SDL_Window* window_ = nullptr;
  IDirect3D8* d3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
};
