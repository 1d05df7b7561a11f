#include "runtime/src/render/sys/pc/d3d_device.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/render_object.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

using DeviceWrapperTest = RenderFixture;

// The depth formats the wrapper asked the adapter about, in order.
std::vector<D3DFORMAT> DepthFormatsAsked(const CCallLog& log) {
  std::vector<D3DFORMAT> formats;
  for (const std::string& line : log.Lines()) {
    if (line.rfind("CheckDeviceFormat(", 0) != 0) continue;
    int adapter, type, adapter_format, usage, rtype, format;
    if (std::sscanf(line.c_str(), "CheckDeviceFormat(%d,%d,%d,%d,%d,%d)", &adapter, &type, &adapter_format, &usage,
                    &rtype, &format) == 6 &&
        usage == static_cast<int>(D3DUSAGE_DEPTHSTENCIL))
      formats.push_back(static_cast<D3DFORMAT>(format));
  }
  return formats;
}

DWORD Bits(float f) {
  DWORD b;
  std::memcpy(&b, &f, sizeof(b));
  return b;
}

TEST_F(DeviceWrapperTest, DepthFormatWalk) {
  ASSERT_TRUE(Start());
  struct Case {
    int z, s;
    std::set<D3DFORMAT> accepted;
    D3DFORMAT expected;
    std::vector<D3DFORMAT> asked;
  };
  const std::set<D3DFORMAT> all = {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32};
  const Case cases[] = {
      {24, 8, all, D3DFMT_D24S8, {D3DFMT_D24S8}},
      {24, 8, {}, D3DFMT_UNKNOWN,
       {D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D24X8, D3DFMT_D15S1, D3DFMT_D15S1, D3DFMT_D16}},
      {32, 0, {}, D3DFMT_UNKNOWN,
       {D3DFMT_D32, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D24X8, D3DFMT_D15S1, D3DFMT_D15S1, D3DFMT_D16}},
      {24, 8, {D3DFMT_D24X8, D3DFMT_D16}, D3DFMT_D24X8, {D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D24X8}},
      {32, 1, {D3DFMT_D24X4S4}, D3DFMT_D24X4S4, {D3DFMT_D24S8, D3DFMT_D24X4S4}},
      {24, 0, {D3DFMT_D16}, D3DFMT_D16, {D3DFMT_D24X8, D3DFMT_D15S1, D3DFMT_D15S1, D3DFMT_D16}},
      {16, 0, all, D3DFMT_D16, {D3DFMT_D16}},
      {16, 4, {D3DFMT_D16}, D3DFMT_D16, {D3DFMT_D15S1, D3DFMT_D16}},
      {17, 0, all, D3DFMT_UNKNOWN, {}},
      {24, 2, all, D3DFMT_UNKNOWN, {}},
  };
  for (const Case& c : cases) {
    d3d->adapters[0].depth_formats = c.accepted;
    d3d->log.Clear();
    EXPECT_EQ(g_pD3DDevice->ChooseDepthFormat(c.z, c.s), c.expected) << c.z << "," << c.s;
    EXPECT_EQ(DepthFormatsAsked(d3d->log), c.asked) << c.z << "," << c.s;
  }
}

TEST_F(DeviceWrapperTest, PresentParametersFollowTheConsoleVariables) {
  struct Case {
    bool windowed;
    int force_blt, lockable, no_sync, force_sw;
    UINT count;
    D3DSWAPEFFECT swap;
  };
  const Case cases[] = {
      {false, 0, 0, 0, 0, 2, D3DSWAPEFFECT_DISCARD},
      {false, 1, 1, 1, 1, 1, D3DSWAPEFFECT_COPY},
      {true, 0, 0, 0, 0, 1, D3DSWAPEFFECT_COPY},
  };
  for (const Case& c : cases) {
    ForceSwapEffectBlt = c.force_blt;
    Lockable_BackBuffer = c.lockable;
    NoSyncOnFlip = c.no_sync;
    ForceSWVertProcess = c.force_sw;
    ASSERT_TRUE(Start(800, 600, 32, c.windowed));
    const CRecordingDevice& dev = *Device();
    EXPECT_EQ(dev.params.BackBufferCount, c.count);
    EXPECT_EQ(dev.params.SwapEffect, c.swap);
    EXPECT_EQ(dev.params.Flags, c.lockable ? D3DPRESENTFLAG_LOCKABLE_BACKBUFFER : 0u);
    EXPECT_EQ(dev.params.FullScreen_RefreshRateInHz, c.no_sync ? D3DPRESENT_RATE_UNLIMITED : 0u);
    EXPECT_EQ(dev.behavior,
              c.force_sw ? D3DCREATE_SOFTWARE_VERTEXPROCESSING : D3DCREATE_MIXED_VERTEXPROCESSING);
    EXPECT_EQ(dev.params.Windowed, c.windowed ? TRUE : FALSE);
    EXPECT_EQ(dev.params.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(dev.params.AutoDepthStencilFormat, D3DFMT_D32);
    if (c.windowed) {
      // windowed: the screen size, in the desktop format
      EXPECT_EQ(dev.params.BackBufferWidth, 800u);
      EXPECT_EQ(dev.params.BackBufferFormat, D3DFMT_X8R8G8B8);
    } else {
      EXPECT_EQ(dev.params.BackBufferWidth, 800u);
      EXPECT_EQ(dev.params.BackBufferHeight, 600u);
    }
    g_pD3DRenderDevice->ReleaseDevice();
  }
}

TEST_F(DeviceWrapperTest, MultisampleIsLoweredUntilAccepted) {
  struct Case {
    int asked;
    DWORD supported;
    DWORD expected;
  };
  for (const Case& c : {Case{4, 2, 2}, Case{3, 0, 0}, Case{2, 8, 2}, Case{-1, 8, 0}}) {
    AntiAliasFSOverSample = c.asked;
    d3d->adapters[0].max_multisample = c.supported;
    ASSERT_TRUE(Start());
    EXPECT_EQ(Device()->params.MultiSampleType, c.expected) << c.asked;
    g_pD3DRenderDevice->ReleaseDevice();
  }
}

TEST_F(DeviceWrapperTest, FailedCreateRetriesOnceWithTheColourDepthForTheDepthBuffer) {
  d3d->create_fails_for_depth = {D3DFMT_D32};
  ASSERT_TRUE(Start(640, 480, 16));
  ASSERT_EQ(d3d->create_attempts.size(), 2u);
  EXPECT_EQ(d3d->create_attempts[0].AutoDepthStencilFormat, D3DFMT_D32);
  EXPECT_EQ(d3d->create_attempts[1].AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(ZBitDepth.Value, 16);
  EXPECT_TRUE(Said("Warning: Create failed. Attempting to fall back...\n"));
  EXPECT_EQ(g_pD3DDevice->GetDepthFormat(), D3DFMT_D16);
}

TEST_F(DeviceWrapperTest, DepthFallbackRespectsTheValidationCallback) {
  ZBitDepth.SetValidationCallback([](const void*, const void*, int) { return false; });
  d3d->create_fails_for_depth = {D3DFMT_D32};
  EXPECT_FALSE(Start(640, 480, 16));
  ZBitDepth.SetValidationCallback(nullptr);
  EXPECT_EQ(ZBitDepth.Value, 32);
  ASSERT_EQ(d3d->create_attempts.size(), 2u);
  EXPECT_EQ(d3d->create_attempts[1].AutoDepthStencilFormat, D3DFMT_D32);
}

TEST_F(DeviceWrapperTest, SecondCreateFailureReleasesEverything) {
  d3d->create_failures = 2;
  EXPECT_FALSE(Start());
  EXPECT_TRUE(Said("Couldn't create D3D Device!\n"));
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kNoDevice);
  EXPECT_EQ(g_pD3DDevice, nullptr);
  EXPECT_EQ(g_pDirect3DDevice, nullptr);
  EXPECT_EQ(g_pRenderStateMgr, nullptr);
  EXPECT_EQ(g_D3DShell.GetD3D(), nullptr);
}

TEST_F(DeviceWrapperTest, DefaultStates) {
  Wireframe = 1;
  NormalizeNormals = 1;
  FogR = 1;
  FogG = 2;
  FogB = 3;
  FogNearZ = 10.0f;
  Mipmap_Max = 2;
  ASSERT_TRUE(Start());
  const CRecordingDevice& dev = *Device();
  const std::pair<D3DRENDERSTATETYPE, DWORD> expected[] = {
      {D3DRS_FOGTABLEMODE, D3DFOG_LINEAR},
      {D3DRS_FOGVERTEXMODE, D3DFOG_NONE},
      {D3DRS_FOGENABLE, 0},
      {D3DRS_FOGSTART, Bits(10.0f)},
      {D3DRS_FOGEND, Bits(10000.0f)},
      {D3DRS_FOGCOLOR, 0xFF010203u},
      {D3DRS_CULLMODE, D3DCULL_CCW},
      {D3DRS_ZENABLE, D3DZB_TRUE},
      {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
      {D3DRS_FILLMODE, D3DFILL_WIREFRAME},
      {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
      {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
      {D3DRS_NORMALIZENORMALS, 1},
      {D3DRS_CLIPPING, TRUE},
      {D3DRS_SOFTWAREVERTEXPROCESSING, 0},
      {D3DRS_LIGHTING, FALSE},
      {D3DRS_DITHERENABLE, TRUE},
  };
  for (const auto& [state, value] : expected) EXPECT_EQ(dev.render_states.at(state), value) << state;
  const std::tuple<DWORD, D3DTEXTURESTAGESTATETYPE, DWORD> stages[] = {
      {0, D3DTSS_COLOROP, D3DTOP_MODULATE},   {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
      {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},   {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
      {1, D3DTSS_ALPHAARG2, D3DTA_CURRENT},   {1, D3DTSS_TEXCOORDINDEX, 1},
      {1, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP}, {3, D3DTSS_MAXMIPLEVEL, 2},
  };
  for (const auto& [stage, type, value] : stages) EXPECT_EQ(dev.stage_states.at({stage, type}), value) << type;
  EXPECT_EQ(dev.material.Diffuse.r, 1.0f);
  EXPECT_EQ(dev.transforms.at(D3DTS_WORLD).m[2][2], 1.0f);
}

TEST_F(DeviceWrapperTest, VertexFogWithoutTableFog) {
  TableFog = 0;
  ASSERT_TRUE(Start());
  EXPECT_EQ(Device()->render_states.at(D3DRS_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_NONE));
  EXPECT_EQ(Device()->render_states.at(D3DRS_FOGVERTEXMODE), static_cast<DWORD>(D3DFOG_LINEAR));
}

TEST_F(DeviceWrapperTest, MipmapChangesReachStagesZeroToThreeAtOnce) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Mipmap_Max.Set(3));
  EXPECT_TRUE(Mipmap_Bias.Set(-0.5f));
  for (DWORD stage = 0; stage < 4; ++stage) {
    EXPECT_EQ(Device()->stage_states.at({stage, D3DTSS_MAXMIPLEVEL}), 3u);
    EXPECT_EQ(Device()->stage_states.at({stage, D3DTSS_MIPMAPLODBIAS}), Bits(-0.5f));
  }
  EXPECT_EQ(Mipmap_Max.Value, 3);
  Mipmap_Max.SetValidationCallback(nullptr);
  Mipmap_Bias.SetValidationCallback(nullptr);
}

TEST_F(DeviceWrapperTest, StencilFlagsComeFromTheDepthFormat) {
  struct Case {
    int z, s;
    D3DFORMAT format;
    bool stencil;
  };
  for (const Case& c : {Case{24, 8, D3DFMT_D24S8, true}, Case{32, 4, D3DFMT_D24X4S4, false},
                        Case{16, 1, D3DFMT_D15S1, true}, Case{32, 0, D3DFMT_D32, false}}) {
    ZBitDepth = c.z;
    StencilBitDepth = c.s;
    ASSERT_TRUE(Start());
    EXPECT_EQ(g_pD3DDevice->GetDepthFormat(), c.format);
    EXPECT_EQ(g_pD3DDevice->DepthHasStencil(), c.stencil) << c.format;
    EXPECT_TRUE(g_pD3DDevice->DepthHasDepth());
    g_pD3DRenderDevice->ReleaseDevice();
  }
}

TEST_F(DeviceWrapperTest, ResetRetriesOnceWithTheDepthFallback) {
  ASSERT_TRUE(Start(640, 480, 16));
  D3DModeInfo* mode = g_pD3DDevice->GetMode();
  Device()->reset_failures = 1;
  EXPECT_TRUE(g_pD3DDevice->Reset(mode));
  EXPECT_EQ(Device()->reset_count, 2);
  EXPECT_EQ(Device()->params.AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(Device()->viewport.Width, 640u);
  Device()->reset_failures = 2;
  EXPECT_FALSE(g_pD3DDevice->Reset(mode));
  EXPECT_EQ(Device()->reset_count, 4);
}

struct CountedObject : CRenderObject {
  explicit CountedObject(int* deleted) : CRenderObject(4), deleted_(deleted) {}
  ~CountedObject() override { ++*deleted_; }
  bool Restore() override {
    ++restored;
    return true;
  }
  bool ReleaseDeviceObjects() override {
    ++released;
    return true;
  }
  int* deleted_;
  int restored = 0;
  int released = 0;
};

TEST_F(DeviceWrapperTest, RenderObjectsLiveWhileReferenced) {
  ASSERT_TRUE(Start());
  int deleted = 0;
  auto* a = new CountedObject(&deleted);
  auto* b = new CountedObject(&deleted);
  g_pD3DDevice->AddRenderObject(a);
  g_pD3DDevice->AddRenderObject(b);
  EXPECT_EQ(g_pD3DDevice->GetRenderObjects(), b);
  a->AddRef();  // another holder
  EXPECT_EQ(g_pD3DRenderDevice->DestroyRenderObject(a), 1u);
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(a->GetRefCount(), 1);
  EXPECT_EQ(g_pD3DRenderDevice->DestroyRenderObject(a), 1u);
  EXPECT_EQ(deleted, 1);
  CountedObject stranger(&deleted);
  EXPECT_EQ(g_pD3DRenderDevice->DestroyRenderObject(&stranger), 0u);
  EXPECT_EQ(stranger.GetRefCount(), 0);

  EXPECT_TRUE(g_pD3DRenderDevice->FreeForReset());
  EXPECT_EQ(b->released, 1);
  EXPECT_TRUE(g_pD3DRenderDevice->RestoreDevice(nullptr));
  EXPECT_EQ(b->restored, 1);
  g_pD3DRenderDevice->ReleaseDevice();  // deletes what is left
  EXPECT_EQ(deleted, 2);
}

TEST_F(DeviceWrapperTest, UnknownRenderObjectTypeIsReported) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(g_pD3DRenderDevice->CreateRenderObject(7), nullptr);
  EXPECT_TRUE(Said("CreateRenderObject: Could not created type: 7\n"));
}

TEST_F(DeviceWrapperTest, RenderStylesAreListedAndForgotten) {
  ASSERT_TRUE(Start());
  CD3DRenderStyle* a = g_pD3DRenderDevice->CreateRenderStyle();
  CD3DRenderStyle* b = g_pD3DRenderDevice->CreateRenderStyle();
  EXPECT_EQ(g_pD3DDevice->GetRenderStyles(), b);
  EXPECT_EQ(b->m_pNext, a);
  EXPECT_TRUE(g_pD3DRenderDevice->DestroyRenderStyle(b));
  EXPECT_EQ(g_pD3DDevice->GetRenderStyles(), a);
  CD3DRenderStyle stranger;
  EXPECT_FALSE(g_pD3DRenderDevice->DestroyRenderStyle(&stranger));
}

TEST_F(DeviceWrapperTest, RenderTargetAndSceneBrackets) {
  ASSERT_TRUE(Start());
  d3d->log.Clear();
  EXPECT_TRUE(g_pD3DDevice->SetRenderTarget(nullptr));  // nothing saved: nothing to do
  EXPECT_EQ(d3d->log.CountPrefix("SetRenderTarget"), 0);

  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(Device()->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture),
            D3D_OK);
  EXPECT_TRUE(g_pD3DDevice->SetRenderTarget(texture));
  EXPECT_EQ(Device()->CurrentRenderTarget(), Device()->created_textures[0]->Level(0));
  EXPECT_TRUE(g_pD3DDevice->SetRenderTarget(nullptr));
  EXPECT_EQ(Device()->CurrentRenderTarget(), Device()->BackBuffer());
  EXPECT_EQ(Device()->BackBuffer()->RefCount(), 1u);
  EXPECT_EQ(Device()->created_textures[0]->Level(0)->RefCount(), 1u);
  texture->Release();

  EXPECT_TRUE(g_pD3DRenderDevice->BeginScene());
  EXPECT_FALSE(g_pD3DRenderDevice->BeginScene());
  EXPECT_TRUE(g_pD3DRenderDevice->EndScene());
  EXPECT_FALSE(g_pD3DRenderDevice->EndScene());
  Device()->fail_begin_scene = true;
  EXPECT_FALSE(g_pD3DRenderDevice->BeginScene());
  EXPECT_FALSE(g_pD3DDevice->InScene());
}

}  // namespace
}  // namespace vt_test
