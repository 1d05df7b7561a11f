#pragma once
// A render device service running on the recording fake: the fake machine is installed as the
// source of the Direct3D object, the renderer's console variables are put back to their defaults
// (with level-1 diagnostics passing) and every diagnostic is recorded.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/system/debug.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_gamma.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/d3d_shell.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "tests/support/recording_d3d.h"

namespace vt_test {

inline void ResetRendererCvars() {
  RefRast = 0;
  BackBufferCount = 2;
  ZBitDepth = 32;
  StencilBitDepth = 0;
  ForceSwapEffectBlt = 0;
  AntiAliasFSOverSample = 0;
  NoSyncOnFlip = 0;
  Lockable_BackBuffer = 0;
  FogEnable = 0;
  FogFarZ = 10000.0f;
  FogNearZ = 7000.0f;
  FogR = 128;
  FogG = 128;
  FogB = 128;
  TableFog = 1;
  GammaScale = 1.0f;
  NormalizeNormals = 0;
  ForceSWVertProcess = 0;
  Wireframe = 0;
  Mipmap_Max = 0;
  Mipmap_Bias = 0.0f;
  RenderDebugLevel = 1;
}

class RenderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRendererCvars();
    ResetGammaState();
    d3d.reset(CRecordingD3D::MakeStandard());
    CRecordingD3D::Install(d3d.get());
    CD3DShell::SetCreateFunction(&CRecordingD3D::Create);
    plat::Set_Debug_Recorder([this](const std::string& text) { messages.push_back(text); });
  }

  void TearDown() override {
    g_pD3DRenderDevice->SetDeviceRestoreCallback(nullptr);
    g_pD3DRenderDevice->ReleaseDevice();
    plat::Set_Debug_Recorder(nullptr);
    CD3DShell::SetCreateFunction(nullptr);
    CRecordingD3D::Install(nullptr);
    EXPECT_EQ(d3d->RefCount(), 1u) << "the Direct3D object was not given back";
    for (const auto& device : d3d->devices) EXPECT_EQ(device->RefCount(), 0u) << "a device was not given back";
    ResetRendererCvars();
  }

  // A request as the application makes it.
  static CRenderInitRequest Request(uint32_t width, uint32_t height, uint32_t depth, bool windowed,
                                    const char* device_name = "") {
    CRenderInitRequest r;
    r.Mode.Width = width;
    r.Mode.Height = height;
    r.Mode.BitDepth = depth;
    r.Windowed = windowed ? 1 : 0;
    std::snprintf(r.DeviceName, sizeof(r.DeviceName), "%s", device_name);
    return r;
  }

  bool Start(uint32_t width = 640, uint32_t height = 480, uint32_t depth = 16, bool windowed = false) {
    const CRenderInitRequest r = Request(width, height, depth, windowed);
    return g_pD3DRenderDevice->CreateDevice(&r);
  }

  CRecordingDevice* Device() { return d3d->LastDevice(); }

  bool Said(const std::string& text) const {
    for (const auto& m : messages)
      if (m == text) return true;
    return false;
  }

  std::unique_ptr<CRecordingD3D> d3d;
  std::vector<std::string> messages;
};

}  // namespace vt_test
