#include "runtime/src/render/sys/pc/d3d_renderdevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/d3dx/d3dx8_math.h"
#include "platform/window/cursor.h"
#include "runtime/src/core/streams.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

using RenderDeviceTest = RenderFixture;

int CursorCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}

std::vector<int> g_callbacks;
void RecordCallback(int lost) { g_callbacks.push_back(lost); }

TEST_F(RenderDeviceTest, RegisteredAsTheDefaultRenderDevice) {
  ASSERT_NE(g_pRenderDevice, nullptr);
  EXPECT_EQ(g_pRenderDevice, static_cast<IKSRenderDevice*>(g_pD3DRenderDevice));
  EXPECT_STREQ(g_pRenderDevice->GetClassName(), "CD3DRenderDevice");
  IKSRenderDevice* held = nullptr;
  CInterfaceHolder<IKSRenderDevice> holder("IKSRenderDevice.Default", &held);
  EXPECT_EQ(held, g_pRenderDevice);
}

TEST_F(RenderDeviceTest, StartUpFailuresReportAndLeaveNothingBehind) {
  struct Case {
    const char* what;
    void (*script)(CRecordingD3D&);
    CRenderInitRequest request;
    const char* message;
  };
  const Case cases[] = {
      {"no Direct3D", [](CRecordingD3D&) { CRecordingD3D::Install(nullptr); }, Request(640, 480, 16, false),
       "Couldn't create the D3D Object\nMake sure your compiled DX version matches your runtime DX version\n"},
      {"no windowed device",
       [](CRecordingD3D& d) {
         d.adapters[0].hal_caps.Caps2 = 0;
         d.adapters[0].ref_caps.Caps2 = 0;
       },
       Request(640, 480, 16, true), "Can't find any d3d devices to use!\n"},
      {"no such mode", [](CRecordingD3D&) {}, Request(720, 480, 16, false),
       "Can't find an appropriate display mode!\n"},
      {"no texture formats", [](CRecordingD3D& d) { d.adapters[0].texture_formats.clear(); },
       Request(640, 480, 16, false), "Couldn't initialize the texture manager!\n"},
  };
  const int cursor = CursorCount();
  for (const Case& c : cases) {
    d3d.reset(CRecordingD3D::MakeStandard());
    CRecordingD3D::Install(d3d.get());
    messages.clear();
    c.script(*d3d);
    EXPECT_FALSE(g_pD3DRenderDevice->CreateDevice(&c.request)) << c.what;
    EXPECT_TRUE(Said(c.message)) << c.what;
    EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kNoDevice) << c.what;
    EXPECT_EQ(g_pD3DDevice, nullptr) << c.what;
    EXPECT_EQ(g_pRenderStateMgr, nullptr) << c.what;
    EXPECT_EQ(g_D3DShell.GetD3D(), nullptr) << c.what;
    EXPECT_EQ(CursorCount(), cursor) << c.what;
    for (const auto& device : d3d->devices) EXPECT_EQ(device->RefCount(), 0u) << c.what;
  }
}

TEST_F(RenderDeviceTest, StartsAndStops) {
  const int cursor = CursorCount();
  ASSERT_TRUE(Start(800, 600, 32));
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kReady);
  EXPECT_EQ(g_pDirect3DDevice, static_cast<IDirect3DDevice8*>(Device()));
  EXPECT_EQ(CursorCount(), cursor - 1);
  EXPECT_TRUE(Said("Using Direct3D Device HAL\n"));
  EXPECT_EQ(g_pRenderDevice->GetScreenWidth(), 800);
  EXPECT_EQ(g_pRenderDevice->GetScreenHeightF(), 600.0f);
  EXPECT_EQ(Device()->params.BackBufferFormat, D3DFMT_X8R8G8B8);
  // default view: full viewport, lights off, ambient 0
  EXPECT_EQ(Device()->viewport.Width, 800u);
  EXPECT_EQ(Device()->viewport.MaxZ, 1.0f);
  EXPECT_EQ(Device()->light_enabled.at(7), FALSE);
  EXPECT_EQ(g_pRenderDevice->GetRenderState(D3DRS_AMBIENT), 0u);
  g_pRenderDevice->ReleaseDevice();
  EXPECT_EQ(CursorCount(), cursor);
  EXPECT_EQ(g_pDirect3DDevice, nullptr);
  g_pRenderDevice->ReleaseDevice();  // a second release changes nothing
  EXPECT_EQ(CursorCount(), cursor);
}

TEST_F(RenderDeviceTest, KeepWindowLeavesTheCursorAlone) {
  const int cursor = CursorCount();
  CRenderInitRequest r = Request(640, 480, 16, false);
  r.KeepWindow = 1;
  ASSERT_TRUE(g_pRenderDevice->CreateDevice(&r));
  EXPECT_EQ(CursorCount(), cursor);
  g_pRenderDevice->FreeForReset();
  g_pRenderDevice->RestoreDevice(nullptr);
  EXPECT_EQ(CursorCount(), cursor);
}

TEST_F(RenderDeviceTest, NamedDeviceIsPreferred) {
  const CRenderInitRequest r = Request(640, 480, 16, false, "REF");
  ASSERT_TRUE(g_pRenderDevice->CreateDevice(&r));
  EXPECT_EQ(Device()->type, D3DDEVTYPE_REF);
  EXPECT_TRUE(Said("Warning: Couldnt' find any HAL devices, Using reference rasterizer.\n"));
  RenderMode mode;
  ASSERT_TRUE(g_pRenderDevice->GetRenderMode(&mode));
  EXPECT_STREQ(mode.Description, "REF");
  EXPECT_STREQ(mode.Name, "Fake Adapter");
}

TEST_F(RenderDeviceTest, ListAndCurrentModeReportX8R8G8B8Differently) {
  RenderMode* list = g_pRenderDevice->GetDeviceList();
  ASSERT_NE(list, nullptr);
  int count = 0;
  bool listed_24 = false;
  for (RenderMode* m = list; m != nullptr; m = m->Next, ++count)
    if (m->Width == 1024 && m->BitDepth == 24) listed_24 = true;
  EXPECT_EQ(count, 20);  // 10 modes for each of HAL and REF
  EXPECT_TRUE(listed_24);
  g_pRenderDevice->FreeDeviceList(list);

  RenderMode mode;
  EXPECT_FALSE(g_pRenderDevice->GetRenderMode(&mode));
  EXPECT_TRUE(Said("Error in CD3DRenderDevice::GetRenderMode.\nDevice has not been created.\n"));
  ASSERT_TRUE(Start(1024, 768, 32));
  ASSERT_TRUE(g_pRenderDevice->GetRenderMode(&mode));
  EXPECT_EQ(mode.Width, 1024u);
  EXPECT_EQ(mode.Height, 768u);
  EXPECT_EQ(mode.BitDepth, 32u);
  EXPECT_EQ(mode.Next, nullptr);
}

// --- the frame gate and device loss ---------------------------------------------------------

TEST_F(RenderDeviceTest, LostDeviceSkipsFramesAndFreesNothing) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(g_pRenderDevice->Begin_Render());
  Device()->cooperative_level = D3DERR_DEVICELOST;
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(Device()->reset_count, 0);
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kReady);
  Device()->cooperative_level = D3DERR_INVALIDCALL;
  EXPECT_FALSE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(Device()->reset_count, 0);
}

TEST_F(RenderDeviceTest, NotResetDeviceIsFreedAndRestoredAroundTheCallback) {
  g_callbacks.clear();
  ASSERT_TRUE(Start(800, 600, 32));
  g_pRenderDevice->SetDeviceRestoreCallback(RecordCallback);
  const int cursor = CursorCount();
  Device()->render_states.clear();
  Device()->cooperative_level = D3DERR_DEVICENOTRESET;
  EXPECT_TRUE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(Device()->reset_count, 1);
  EXPECT_EQ(Device()->params.BackBufferWidth, 800u);
  EXPECT_EQ(Device()->params.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kReady);
  EXPECT_EQ(g_callbacks, (std::vector<int>{1, 0}));
  EXPECT_EQ(CursorCount(), cursor);
  // the states are on the device again
  EXPECT_EQ(Device()->render_states.at(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
  EXPECT_TRUE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(Device()->reset_count, 1);
}

TEST_F(RenderDeviceTest, RestoreRetriesOnceAtTheOtherBitDepth) {
  struct Case {
    uint32_t depth;
    D3DFORMAT refused;
    D3DFORMAT restored;
  };
  for (const Case& c : {Case{32, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}, Case{16, D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}}) {
    ASSERT_TRUE(Start(640, 480, c.depth));
    Device()->reset_fails_for_format = {c.refused};
    Device()->cooperative_level = D3DERR_DEVICENOTRESET;
    messages.clear();
    EXPECT_TRUE(g_pRenderDevice->Begin_Render()) << c.depth;
    EXPECT_EQ(Device()->params.BackBufferFormat, c.restored) << c.depth;
    EXPECT_TRUE(Said("Attempting to try alternative color depth in Begin_Render()\n"));
    g_pRenderDevice->ReleaseDevice();
  }
}

TEST_F(RenderDeviceTest, RestoreFailingAtBothDepthsSkipsTheFrame) {
  g_callbacks.clear();
  ASSERT_TRUE(Start(640, 480, 32));
  g_pRenderDevice->SetDeviceRestoreCallback(RecordCallback);
  Device()->reset_failures = 100;
  Device()->cooperative_level = D3DERR_DEVICENOTRESET;
  EXPECT_FALSE(g_pRenderDevice->Begin_Render());
  EXPECT_FALSE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kFreedForReset);
  EXPECT_EQ(g_callbacks, (std::vector<int>{1}));  // told once, not again per frame
  Device()->reset_failures = 0;
  EXPECT_TRUE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(g_callbacks, (std::vector<int>{1, 0}));
}

// A restore that fails before or inside the device's reset leaves the device freed while the
// device itself may still answer that it works: no frame may draw on it until a restore works.
TEST_F(RenderDeviceTest, FreedDeviceDrawsNoFrameUntilRestored) {
  struct Case {
    const char* name;
    bool mode_missing;  // else the device refuses the reset
  };
  for (const Case& c : {Case{"no such mode", true}, Case{"reset refused", false}}) {
    ASSERT_TRUE(Start(640, 480, 32)) << c.name;
    ASSERT_TRUE(g_pRenderDevice->FreeForReset()) << c.name;
    Device()->reset_failures = c.mode_missing ? 0 : 100;
    const CRenderInitRequest failing = c.mode_missing ? Request(1000, 700, 32, false) : Request(800, 600, 32, false);
    EXPECT_FALSE(g_pRenderDevice->RestoreDevice(&failing)) << c.name;
    ASSERT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kFreedForReset) << c.name;
    ASSERT_EQ(Device()->cooperative_level, D3D_OK) << c.name;
    const int resets = Device()->reset_count;
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(g_pRenderDevice->Begin_Render()) << c.name;
    EXPECT_EQ(Device()->reset_count, resets) << c.name;
    EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kFreedForReset) << c.name;
    Device()->reset_failures = 0;
    const CRenderInitRequest working = Request(800, 600, 32, false);
    EXPECT_TRUE(g_pRenderDevice->RestoreDevice(&working)) << c.name;
    EXPECT_TRUE(g_pRenderDevice->Begin_Render()) << c.name;
    g_pRenderDevice->ReleaseDevice();
  }
}

TEST_F(RenderDeviceTest, PresentOnALostDeviceReturnsAtOnce) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(g_pRenderDevice->Present(nullptr), 1u);
  Device()->cooperative_level = D3DERR_DEVICELOST;
  EXPECT_EQ(g_pRenderDevice->Present(nullptr), 2u);
  EXPECT_EQ(Device()->reset_count, 0);
  EXPECT_EQ(d3d->log.CountPrefix("TestCooperativeLevel"), 0);
  // once it can be reset, the next frame gate restores it
  Device()->cooperative_level = D3DERR_DEVICENOTRESET;
  EXPECT_TRUE(g_pRenderDevice->Begin_Render());
  EXPECT_EQ(Device()->reset_count, 1);
  EXPECT_EQ(g_pRenderDevice->Present(nullptr), 3u);
}

TEST_F(RenderDeviceTest, RestoreDeviceWithANewMode) {
  EXPECT_FALSE(g_pRenderDevice->RestoreDevice(nullptr));
  EXPECT_TRUE(Said("Error in CD3DRenderDevice::RestoreDevice.\nD3D Device does not exist.\n"));
  ASSERT_TRUE(Start(640, 480, 16));
  EXPECT_TRUE(g_pRenderDevice->FreeForReset());
  EXPECT_EQ(g_pD3DRenderDevice->GetState(), CD3DRenderDevice::kFreedForReset);
  const CRenderInitRequest r = Request(1024, 768, 32, false);
  EXPECT_TRUE(g_pRenderDevice->RestoreDevice(&r));
  EXPECT_EQ(Device()->params.BackBufferWidth, 1024u);
  EXPECT_EQ(Device()->params.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(g_pRenderDevice->GetScreenWidth(), 1024);
  const CRenderInitRequest bad = Request(1000, 700, 32, false);
  messages.clear();
  EXPECT_FALSE(g_pRenderDevice->RestoreDevice(&bad));
  EXPECT_TRUE(Said("Can't find an appropriate display mode!\n"));
}

// --- clear, read-back ----------------------------------------------------------------------

TEST_F(RenderDeviceTest, ClearUsesTheFullScreenViewportAndRestoresIt) {
  ZBitDepth = 24;
  StencilBitDepth = 8;
  ASSERT_TRUE(Start(640, 480, 16));
  D3DVIEWPORT8 small{10, 20, 100, 50, 0.25f, 0.75f};
  ASSERT_TRUE(g_pRenderDevice->SetViewport(&small));
  d3d->log.Clear();
  EXPECT_TRUE(g_pRenderDevice->Clear(nullptr, 3, 0x00FF0000u, 0));
  const std::vector<std::string> expected = {"SetViewport(0,0,640,480)", "Clear(0,7,16711680,1000,0)",
                                             "SetViewport(10,20,100,50)"};
  EXPECT_EQ(d3d->log.Lines(), expected);

  struct Case {
    RECT rect;
    uint32_t flags;
    std::string line;
  };
  const Case cases[] = {
      {{0, 0, 640, 480}, 1 | 4, "Clear(0,1,255,1000,0)"},
      {{0, 10, 640, 480}, 1 | 4, "Clear(1,1,255,1000,0)(0,10,640,480)"},
      {{5, 0, 64, 48}, 2 | 4, "Clear(1,6,255,1000,0)(5,0,64,48)"},
  };
  for (const Case& c : cases) {
    d3d->log.Clear();
    EXPECT_TRUE(g_pRenderDevice->Clear(&c.rect, c.flags, 0xAB0000FFu, 0));
    EXPECT_EQ(d3d->log.Lines(), std::vector<std::string>{c.line});
  }
}

struct CollectStream : CMemoryStream {};

TEST_F(RenderDeviceTest, ReadBackBufferForms) {
  struct Case {
    D3DFORMAT format;
    std::vector<BYTE> pixel;  // one pixel in memory order
    int32_t form;
    bool ok;
    std::vector<BYTE> expected;
  };
  const Case cases[] = {
      {D3DFMT_A8R8G8B8, {1, 2, 3, 4}, kReadBackFourBytes, true, {4, 1, 2, 3}},
      {D3DFMT_A8R8G8B8, {1, 2, 3, 4}, kReadBackThreeBytes, true, {1, 2, 3}},
      {D3DFMT_R8G8B8, {1, 2, 3}, kReadBackFourBytes, true, {255, 1, 2, 3}},
      // 0xFFFF: R5 31, G6 63, B5 31, not widened
      {D3DFMT_R5G6B5, {0xFF, 0xFF}, kReadBackFourBytes, true, {255, 31, 63, 31}},
      {D3DFMT_R5G6B5, {0x1F, 0xF8}, kReadBackThreeBytes, true, {31, 0, 31}},
      {D3DFMT_X8R8G8B8, {1, 2, 3, 4}, kReadBackFourBytes, true, {255, 1, 2, 3}},
      {D3DFMT_X8R8G8B8, {1, 2, 3, 4}, kReadBackThreeBytes, true, {1, 2, 3}},
      {D3DFMT_X1R5G5B5, {0xFF, 0xFF}, kReadBackFourBytes, false, {}},
      {D3DFMT_A8R8G8B8, {1, 2, 3, 4}, 2, false, {}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Start());
    // give the back buffer the format under test
    D3DPRESENT_PARAMETERS p = Device()->params;
    p.BackBufferFormat = c.format;
    p.BackBufferWidth = 2;
    p.BackBufferHeight = 1;
    ASSERT_EQ(Device()->Reset(&p), D3D_OK);
    CRecordingSurface* back = Device()->BackBuffer();
    for (size_t i = 0; i < c.pixel.size(); ++i) back->Pixels()[i] = back->Pixels()[c.pixel.size() + i] = c.pixel[i];

    CMemoryStream stream;
    uint32_t width = 0, height = 0;
    const ReadBackRequest request{&stream, c.form, &width, &height};
    EXPECT_EQ(g_pRenderDevice->ReadBackBuffer(&request), c.ok) << c.format << " form " << c.form;
    EXPECT_FALSE(back->locked);
    EXPECT_EQ(back->RefCount(), 1u);
    if (c.ok) {
      EXPECT_EQ(width, 2u);
      EXPECT_EQ(height, 1u);
      EXPECT_EQ(back->last_lock_flags, D3DLOCK_READONLY);
      std::vector<BYTE> expected = c.expected;
      expected.insert(expected.end(), c.expected.begin(), c.expected.end());
      uint32_t length = 0;
      stream.GetLen(&length);
      ASSERT_EQ(length, expected.size());
      std::vector<BYTE> got(length);
      stream.SeekTo(0);
      stream.Read(got.data(), length);
      EXPECT_EQ(got, expected) << c.format << " form " << c.form;
    }
    g_pRenderDevice->ReleaseDevice();
  }
}

TEST_F(RenderDeviceTest, ReadBackFailsWhenTheSurfaceCannotBeLocked) {
  ASSERT_TRUE(Start());
  CMemoryStream stream;
  const ReadBackRequest request{&stream, kReadBackFourBytes, nullptr, nullptr};
  Device()->BackBuffer()->fail_lock = true;
  EXPECT_FALSE(g_pRenderDevice->ReadBackBuffer(&request));
  EXPECT_EQ(Device()->BackBuffer()->RefCount(), 1u);
}

// --- projections, camera, lights, states ------------------------------------------------------

void ExpectMatrix(const CMatrix4x4& got, const std::vector<std::tuple<int, int, float>>& entries) {
  float want[4][4] = {};
  for (const auto& [r, c, v] : entries) want[r][c] = v;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(got.m[r][c], want[r][c], 1e-5f) << "m" << r << c;
}

TEST_F(RenderDeviceTest, Projections) {
  ASSERT_TRUE(Start());
  CMatrix4x4 m;
  const ProjectionDesc persp{0, 2.0f, 1.5707964f, 1.0f, 101.0f};  // cot(45 deg) = 1
  ASSERT_TRUE(g_pRenderDevice->SetProjection(&persp));
  ASSERT_TRUE(g_pRenderDevice->GetProjectionMatrix(&m));
  ExpectMatrix(m, {{0, 0, 0.5f}, {1, 1, 1.0f}, {2, 2, 1.01f}, {2, 3, 1.0f}, {3, 2, -1.01f}});
  EXPECT_EQ(std::memcmp(&Device()->transforms.at(D3DTS_PROJECTION), &m, sizeof(m)), 0);

  const ProjectionDesc ortho{1, 4.0f, 2.0f, 1.0f, 3.0f};
  ASSERT_TRUE(g_pRenderDevice->SetProjection(&ortho));
  g_pRenderDevice->GetProjectionMatrix(&m);
  ExpectMatrix(m, {{0, 0, 0.5f}, {1, 1, 1.0f}, {2, 2, 0.5f}, {3, 2, -0.5f}, {3, 3, 1.0f}});

  // the rectangle's top edge (10) is the bottom plane
  const ProjectionOffCenterDesc ortho_oc{1, 0, 10, 4, 20, 1.0f, 3.0f};
  ASSERT_TRUE(g_pRenderDevice->SetProjectionOffCenter(&ortho_oc));
  g_pRenderDevice->GetProjectionMatrix(&m);
  ExpectMatrix(m, {{0, 0, 0.5f}, {1, 1, 0.2f}, {2, 2, 0.5f}, {3, 0, -1.0f}, {3, 1, -3.0f}, {3, 2, -0.5f}, {3, 3, 1.0f}});

  const ProjectionOffCenterDesc persp_oc{0, -2, -1, 2, 1, 1.0f, 3.0f};
  ASSERT_TRUE(g_pRenderDevice->SetProjectionOffCenter(&persp_oc));
  g_pRenderDevice->GetProjectionMatrix(&m);
  ExpectMatrix(m, {{0, 0, 0.5f}, {1, 1, 1.0f}, {2, 2, 1.5f}, {2, 3, 1.0f}, {3, 2, -1.5f}});
}

TEST_F(RenderDeviceTest, OnlyTheLastKindOfProjectionReadsBack) {
  ASSERT_TRUE(Start());
  const ProjectionDesc persp{0, 1.5f, 1.0f, 2.0f, 50.0f};
  const ProjectionOffCenterDesc oc{1, 1, 2, 3, 4, 0.5f, 9.0f};
  ProjectionDesc p{};
  ProjectionOffCenterDesc o{};
  g_pRenderDevice->SetProjectionOffCenter(&oc);
  EXPECT_FALSE(g_pRenderDevice->GetProjection(&p));
  ASSERT_TRUE(g_pRenderDevice->GetProjectionOffCenter(&o));
  EXPECT_EQ(o.Right, 3);
  EXPECT_EQ(o.Far, 9.0f);
  g_pRenderDevice->SetProjection(&persp);
  EXPECT_FALSE(g_pRenderDevice->GetProjectionOffCenter(&o));
  ASSERT_TRUE(g_pRenderDevice->GetProjection(&p));
  EXPECT_EQ(p.AspectOrWidth, 1.5f);
  EXPECT_EQ(p.Far, 50.0f);
}

TEST_F(RenderDeviceTest, UnchangedProjectionAndViewAreNotSentAgain) {
  ASSERT_TRUE(Start());
  const ProjectionDesc persp{0, 1.5f, 1.0f, 2.0f, 50.0f};
  const CameraTransform camera{{0, 0, 0, 1}, {1, 2, 3}};
  g_pRenderDevice->SetProjection(&persp);
  g_pRenderDevice->SetCameraTransform(&camera);
  d3d->log.Clear();
  g_pRenderDevice->SetProjection(&persp);
  g_pRenderDevice->SetCameraTransform(&camera);
  EXPECT_EQ(d3d->log.CountPrefix("SetTransform"), 0);
}

TEST_F(RenderDeviceTest, CameraViewIsTheInverseOfItsPlacement) {
  ASSERT_TRUE(Start());
  // a quarter turn about y: the camera's forward axis (+z) points along +x in the world
  const float s = std::sqrt(0.5f);
  const CameraTransform camera{{0, s, 0, s}, {10, 20, 30}};
  ASSERT_TRUE(g_pRenderDevice->SetCameraTransform(&camera));
  CMatrix4x4 view;
  ASSERT_TRUE(g_pRenderDevice->GetViewMatrix(&view));
  D3DMATRIX v;
  std::memcpy(&v, &view, sizeof(v));
  struct Case {
    D3DVECTOR world, expected;
  };
  for (const Case& c : {Case{{10, 20, 30}, {0, 0, 0}}, Case{{15, 20, 30}, {0, 0, 5}}, Case{{10, 23, 30}, {0, 3, 0}}}) {
    D3DVECTOR got;
    D3DXVec3TransformCoord(&got, &c.world, &v);
    EXPECT_NEAR(got.x, c.expected.x, 1e-4f);
    EXPECT_NEAR(got.y, c.expected.y, 1e-4f);
    EXPECT_NEAR(got.z, c.expected.z, 1e-4f);
  }
  CameraTransform back{};
  ASSERT_TRUE(g_pRenderDevice->GetCameraTransform(&back));
  EXPECT_EQ(back.Position.z, 30.0f);
  EXPECT_EQ(back.Rotation.y, s);
}

TEST_F(RenderDeviceTest, LightsRoundTrip) {
  ASSERT_TRUE(Start());
  LightDesc point{kLightPoint, {1, 2, 3}, {0.5f, 0.25f, 1, 1}, {0, 0, 0.5f, 1}, {1, 0.5f, 0.25f}, 99.0f};
  LightDesc directional{kLightDirectional, {0, -1, 0}, {1, 1, 1, 1}, {0, 0, 0, 0}, {1, 0, 0}, 0.0f};
  ASSERT_TRUE(g_pRenderDevice->SetLight(0, &point));
  ASSERT_TRUE(g_pRenderDevice->SetLight(7, &directional));
  EXPECT_EQ(Device()->lights.at(0).Type, D3DLIGHT_POINT);
  EXPECT_EQ(Device()->lights.at(7).Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(Device()->lights.at(7).Direction.y, -1.0f);
  EXPECT_EQ(Device()->lights.at(0).Ambient.r, 0.0f);

  LightDesc got{};
  ASSERT_TRUE(g_pRenderDevice->GetLight(0, &got));
  EXPECT_EQ(got.Kind, kLightPoint);
  EXPECT_EQ(got.Vector.z, 3.0f);
  EXPECT_EQ(got.Diffuse.g, 0.25f);
  EXPECT_EQ(got.Specular.b, 0.5f);
  EXPECT_EQ(got.Attenuation[2], 0.25f);
  EXPECT_EQ(got.Range, 99.0f);
  ASSERT_TRUE(g_pRenderDevice->GetLight(7, &got));
  EXPECT_EQ(got.Kind, kLightDirectional);
  EXPECT_EQ(got.Vector.y, -1.0f);

  // an unknown kind leaves the type 0; reading it back leaves kind and vector alone
  LightDesc odd = point;
  odd.Kind = 5;
  ASSERT_TRUE(g_pRenderDevice->SetLight(3, &odd));
  EXPECT_EQ(static_cast<DWORD>(Device()->lights.at(3).Type), 0u);
  LightDesc keep{kLightDirectional, {9, 9, 9}, {}, {}, {}, 0};
  ASSERT_TRUE(g_pRenderDevice->GetLight(3, &keep));
  EXPECT_EQ(keep.Kind, kLightDirectional);
  EXPECT_EQ(keep.Vector.x, 9.0f);
  EXPECT_EQ(keep.Range, 99.0f);

  EXPECT_FALSE(g_pRenderDevice->SetLight(8, &point));
  EXPECT_FALSE(g_pRenderDevice->GetLight(8, &got));
  EXPECT_FALSE(g_pRenderDevice->SetLight(0, nullptr));
  uint8_t on = 0;
  EXPECT_FALSE(g_pRenderDevice->EnableLight(8, true));
  EXPECT_FALSE(g_pRenderDevice->IsLightEnabled(8, &on));
  ASSERT_TRUE(g_pRenderDevice->EnableLight(2, true));
  ASSERT_TRUE(g_pRenderDevice->IsLightEnabled(2, &on));
  EXPECT_EQ(on, 1);
  EXPECT_EQ(Device()->light_enabled.at(2), TRUE);
}

TEST_F(RenderDeviceTest, AmbientLightIsClampedWhenPacked) {
  ASSERT_TRUE(Start());
  struct Case {
    CColor4 color;
    DWORD packed;
  };
  const Case cases[] = {
      {{1.0f, 0.5f, 0.0f, 1.0f}, 0xFFFF7F00u},
      {{1.5f, -0.2f, 0.5f, 2.0f}, 0xFFFF007Fu},
      {{NAN, 0.0f, 1.0f, 0.0f}, 0x000000FFu},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(g_pRenderDevice->SetAmbientLight(&c.color));
    EXPECT_EQ(Device()->render_states.at(D3DRS_AMBIENT), c.packed);
    CColor4 back{};
    ASSERT_TRUE(g_pRenderDevice->GetAmbientLight(&back));
    EXPECT_EQ(std::memcmp(&back, &c.color, sizeof(back)), 0);  // the floats are kept as given
    // Putting the shadows back on the device packs the kept floats the same way.
    Device()->render_states.erase(D3DRS_AMBIENT);
    g_pRenderStateMgr->ResetDeviceState();
    EXPECT_EQ(Device()->render_states.at(D3DRS_AMBIENT), c.packed);
  }
}

TEST_F(RenderDeviceTest, ResetRenderStatesPutsTheShadowsBackOnTheDevice) {
  ASSERT_TRUE(Start());
  LightDesc light{kLightPoint, {1, 2, 3}, {1, 1, 1, 1}, {}, {1, 0, 0}, 10.0f};
  g_pRenderDevice->SetLight(1, &light);
  g_pRenderDevice->EnableLight(1, true);
  const CColor4 ambient{0.5f, 0.5f, 0.5f, 1.0f};
  g_pRenderDevice->SetAmbientLight(&ambient);
  Device()->lights.clear();
  Device()->light_enabled.clear();
  Device()->render_states.clear();
  Device()->transforms.clear();
  ASSERT_TRUE(g_pRenderDevice->ResetRenderStates());
  EXPECT_EQ(Device()->lights.at(1).Range, 10.0f);
  EXPECT_EQ(Device()->light_enabled.at(1), TRUE);
  EXPECT_EQ(Device()->light_enabled.at(0), FALSE);
  EXPECT_EQ(Device()->render_states.at(D3DRS_AMBIENT), 0xFF7F7F7Fu);
  EXPECT_EQ(Device()->render_states.at(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
  EXPECT_EQ(Device()->transforms.count(D3DTS_VIEW), 1u);
  EXPECT_EQ(Device()->transforms.count(D3DTS_PROJECTION), 1u);
}

TEST_F(RenderDeviceTest, StencilCodesOutOfRangeLeaveTheirStateAlone) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(g_pRenderDevice->SetStencilState(true, 5, 7, 6, 0, 5, 0xFF, 0x0F));
  const CRecordingDevice& dev = *Device();
  EXPECT_EQ(dev.render_states.at(D3DRS_STENCILENABLE), 1u);
  EXPECT_EQ(dev.render_states.at(D3DRS_STENCILREF), 5u);
  EXPECT_EQ(dev.render_states.at(D3DRS_STENCILFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
  EXPECT_EQ(dev.render_states.count(D3DRS_STENCILFAIL), 0u);
  EXPECT_EQ(dev.render_states.at(D3DRS_STENCILZFAIL), static_cast<DWORD>(D3DSTENCILOP_KEEP));
  EXPECT_EQ(dev.render_states.at(D3DRS_STENCILPASS), static_cast<DWORD>(D3DSTENCILOP_INVERT));
  EXPECT_EQ(dev.render_states.at(D3DRS_STENCILMASK), 0xFFu);
  EXPECT_EQ(dev.render_states.at(D3DRS_STENCILWRITEMASK), 0x0Fu);
  d3d->log.Clear();
  g_pRenderDevice->SetStencilState(true, 5, 7, 6, 0, 5, 0xFF, 0x0F);
  EXPECT_EQ(d3d->log.CountPrefix("SetRenderState"), 0);
}

TEST_F(RenderDeviceTest, FogSettingsAreSentOnlyWhenChanged) {
  ASSERT_TRUE(Start());
  d3d->log.Clear();
  ASSERT_TRUE(g_pRenderDevice->ApplyFogSettings());
  EXPECT_EQ(d3d->log.CountPrefix("SetRenderState"), 0);
  FogEnable = 1;
  FogR = 255;
  FogG = 0;
  FogB = 16;
  FogFarZ = 500.0f;
  ASSERT_TRUE(g_pRenderDevice->ApplyFogSettings());
  EXPECT_EQ(d3d->log.CountPrefix("SetRenderState"), 3);
  EXPECT_EQ(g_pRenderDevice->GetRenderState(D3DRS_FOGCOLOR), 0xFFFF0010u);
  EXPECT_EQ(g_pRenderDevice->GetRenderState(D3DRS_FOGENABLE), 1u);
  float far_z;
  const DWORD bits = g_pRenderDevice->GetRenderState(D3DRS_FOGEND);
  std::memcpy(&far_z, &bits, sizeof(far_z));
  EXPECT_EQ(far_z, 500.0f);
}

}  // namespace
}  // namespace vt_test
