// The Direct3D object: adapter, display modes, formats and capabilities.
#include <algorithm>
#include <set>
#include <tuple>

#include "tests/platform/d3d/d3d_test_device.h"

namespace {

using Direct3DTest = D3DDeviceTest;

TEST_F(Direct3DTest, RefusesOtherSdkVersions) { EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION + 1), nullptr); }

TEST_F(Direct3DTest, ListsEveryGameSizeIn16And32Bits) {
  std::set<std::tuple<UINT, UINT, D3DFORMAT>> modes;
  const UINT count = d3d_->GetAdapterModeCount(0);
  for (UINT i = 0; i < count; ++i) {
    D3DDISPLAYMODE mode = {};
    ASSERT_EQ(d3d_->EnumAdapterModes(0, i, &mode), D3D_OK);
    modes.insert({mode.Width, mode.Height, mode.Format});
  }
  const UINT sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
  for (const auto& size : sizes) {
    for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) {
      EXPECT_TRUE(modes.count({size[0], size[1], format})) << size[0] << "x" << size[1] << " format " << format;
      EXPECT_EQ(d3d_->CheckDeviceType(0, D3DDEVTYPE_HAL, format, format, FALSE), D3D_OK);
    }
  }
  D3DDISPLAYMODE mode = {};
  EXPECT_EQ(d3d_->EnumAdapterModes(0, count, &mode), D3DERR_INVALIDCALL);
  EXPECT_EQ(d3d_->EnumAdapterModes(1, 0, &mode), D3DERR_INVALIDCALL);
}

TEST_F(Direct3DTest, OffersOnlyTheHardwareDevice) {
  D3DCAPS8 caps = {};
  EXPECT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d_->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d_->GetAdapterCount(), 1u);
  D3DADAPTER_IDENTIFIER8 id = {};
  ASSERT_EQ(d3d_->GetAdapterIdentifier(0, 0, &id), D3D_OK);
  EXPECT_GT(std::string(id.Description).size(), 0u);
}

TEST_F(Direct3DTest, CapsReportNoShadersNoBumpMappingButWindowedRendering) {
  D3DCAPS8 caps = {};
  ASSERT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_EQ(caps.VertexShaderVersion, 0u);
  EXPECT_EQ(caps.PixelShaderVersion, 0u);
  EXPECT_EQ(caps.TextureOpCaps & (D3DTEXOPCAPS_BUMPENVMAP | D3DTEXOPCAPS_BUMPENVMAPLUMINANCE), 0u);
  EXPECT_NE(caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED, 0u);
  EXPECT_NE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
  EXPECT_NE(caps.RasterCaps & D3DPRASTERCAPS_FOGTABLE, 0u);
  EXPECT_NE(caps.VertexProcessingCaps & D3DVTXPCAPS_NO_VSDT, 0u);
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_V8U8),
            D3DERR_NOTAVAILABLE);
}

TEST_F(Direct3DTest, DepthFormatsOfferedAreTheOnesTheBackBufferCanCarry) {
  struct Case {
    D3DFORMAT format;
    HRESULT want;
  };
  const Case cases[] = {{D3DFMT_D16, D3D_OK},          {D3DFMT_D24X8, D3D_OK},
                        {D3DFMT_D24S8, D3D_OK},        {D3DFMT_D32, D3DERR_NOTAVAILABLE},
                        {D3DFMT_D15S1, D3DERR_NOTAVAILABLE}, {D3DFMT_D24X4S4, D3DERR_NOTAVAILABLE}};
  for (const Case& c : cases) {
    EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                      c.format),
              c.want)
        << "format " << c.format;
  }
}

TEST_F(Direct3DTest, TextureFormatsTheRendererAsksFor) {
  for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,
                           D3DFMT_P8, D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5}) {
    EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, format), D3D_OK)
        << "format " << format;
  }
}

TEST_F(Direct3DTest, OnlyNoMultisampling) {
  EXPECT_EQ(d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_NONE), D3D_OK);
  EXPECT_EQ(d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE,
                                             static_cast<D3DMULTISAMPLE_TYPE>(2)),
            D3DERR_NOTAVAILABLE);
}

}  // namespace
