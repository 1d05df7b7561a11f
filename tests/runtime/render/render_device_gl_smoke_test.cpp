// The render device service on the real OpenGL-backed layer, headless: start at 640x480, clear,
// present and read the back buffer.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/d3d/d3d8_test_hooks.h"
#include "runtime/src/core/streams.h"
#include "tests/runtime/render/gl_render_window.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

class RenderDeviceOnGL : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRendererCvars();
    CD3DShell::SetCreateFunction(nullptr);
    window = Open_GL_Test_Window("render device", 640, 480);
    ASSERT_NE(window, nullptr) << SDL_GetError();
  }
  void TearDown() override {
    g_pRenderDevice->ReleaseDevice();
    D3D8Test_InjectCooperativeLevel(D3D_OK);
    Close_GL_Test_Window(window);
  }

  bool Start() {
    return Start_Render_Device_On(window, 640, 480);
  }

  // The back buffer as four bytes per pixel (alpha, then the three colour bytes in memory order).
  std::vector<uint8_t> ReadBack(uint32_t* width, uint32_t* height) {
    CMemoryStream stream;
    const ReadBackRequest request{&stream, kReadBackFourBytes, width, height};
    if (!g_pRenderDevice->ReadBackBuffer(&request)) return {};
    uint32_t length = 0;
    stream.GetLen(&length);
    std::vector<uint8_t> bytes(length);
    stream.SeekTo(0);
    stream.Read(bytes.data(), length);
    return bytes;
  }

  SDL_Window* window = nullptr;
};

TEST_F(RenderDeviceOnGL, ClearsPresentsAndReadsBack) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(g_pRenderDevice->Begin_Render());
  // blue in the lowest byte: this is red
  ASSERT_TRUE(g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0x00FF0000u, 0));
  ASSERT_TRUE(g_pRenderDevice->BeginScene());
  ASSERT_TRUE(g_pRenderDevice->EndScene());
  EXPECT_EQ(g_pRenderDevice->Present(nullptr), 1u);

  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> pixels = ReadBack(&width, &height);
  ASSERT_EQ(width, 640u);
  ASSERT_EQ(height, 480u);
  ASSERT_EQ(pixels.size(), 640u * 480u * 4u);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{320, 240}, std::pair{639, 479}}) {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * 640 + x) * 4];
    EXPECT_NEAR(p[1], 0, 3) << x << "," << y;    // blue
    EXPECT_NEAR(p[2], 0, 3) << x << "," << y;    // green
    EXPECT_NEAR(p[3], 255, 3) << x << "," << y;  // red
  }
}

TEST_F(RenderDeviceOnGL, InjectedLossIsRestoredByTheFrameGate) {
  ASSERT_TRUE(Start());
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
  EXPECT_FALSE(g_pRenderDevice->Begin_Render());
  g_pRenderDevice->Present(nullptr);
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICENOTRESET);
  EXPECT_TRUE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kReady);
  ASSERT_TRUE(g_pRenderDevice->Clear(nullptr, kClearTarget, 0x000000FFu, 0));  // blue
  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> pixels = ReadBack(&width, &height);
  ASSERT_FALSE(pixels.empty());
  EXPECT_NEAR(pixels[1], 255, 3);
  EXPECT_NEAR(pixels[3], 0, 3);
}

}  // namespace
}  // namespace vt_test
