#include "runtime/src/render/sys/pc/d3d_shell.h"

#include <gtest/gtest.h>

#include "runtime/src/render/iks_render_device.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

using ShellTest = RenderFixture;

struct Mode {
  uint32_t w, h;
  D3DFORMAT f;
  bool operator==(const Mode& o) const { return w == o.w && h == o.h && f == o.f; }
};

std::vector<Mode> ModesOf(const D3DDeviceInfo& device) {
  std::vector<Mode> out;
  for (const D3DModeInfo& m : device.Modes) out.push_back({m.Width, m.Height, m.Format});
  return out;
}

CFakeAdapter AdapterWithModes(std::vector<D3DDISPLAYMODE> modes) {
  CFakeAdapter a = CRecordingD3D::StandardAdapter();
  a.modes = std::move(modes);
  return a;
}

TEST_F(ShellTest, ModesCollapseRefreshRatesDropSmallSizesAndSortByFormatWidthHeight) {
  d3d->adapters = {AdapterWithModes({{1024, 768, 60, D3DFMT_R5G6B5},
                                     {800, 600, 60, D3DFMT_X8R8G8B8},
                                     {800, 600, 75, D3DFMT_X8R8G8B8},
                                     {800, 600, 85, D3DFMT_X8R8G8B8},
                                     {512, 384, 60, D3DFMT_R5G6B5},
                                     {640, 400, 60, D3DFMT_R5G6B5},
                                     {800, 600, 60, D3DFMT_R5G6B5},
                                     {640, 480, 60, D3DFMT_X8R8G8B8},
                                     {640, 480, 60, D3DFMT_R5G6B5}})};
  CD3DShell shell;
  ASSERT_TRUE(shell.Create());
  ASSERT_EQ(shell.GetAdapters().size(), 1u);
  const D3DAdapterInfo& adapter = shell.GetAdapters()[0];
  ASSERT_EQ(adapter.Devices.size(), 2u);
  EXPECT_STREQ(adapter.Devices[0].Name, "HAL");
  EXPECT_STREQ(adapter.Devices[1].Name, "REF");
  const std::vector<Mode> expected = {{640, 480, D3DFMT_X8R8G8B8},
                                      {800, 600, D3DFMT_X8R8G8B8},
                                      {640, 480, D3DFMT_R5G6B5},
                                      {800, 600, D3DFMT_R5G6B5},
                                      {1024, 768, D3DFMT_R5G6B5}};
  EXPECT_EQ(ModesOf(adapter.Devices[0]), expected);
  EXPECT_EQ(adapter.Devices[0].Modes[0].HardwareTnL, 1);
  shell.Release();
}

TEST_F(ShellTest, EachDeviceKeepsOnlyTheFormatsItAccepts) {
  d3d->adapters[0].hal_display_formats = {D3DFMT_R5G6B5};
  d3d->adapters[0].ref_caps.DevCaps = 0;
  CD3DShell shell;
  ASSERT_TRUE(shell.Create());
  const D3DAdapterInfo& adapter = shell.GetAdapters()[0];
  for (const D3DModeInfo& m : adapter.Devices[0].Modes) EXPECT_EQ(m.Format, D3DFMT_R5G6B5);
  EXPECT_EQ(adapter.Devices[0].Modes.size(), 5u);
  EXPECT_EQ(adapter.Devices[1].Modes.size(), 10u);
  EXPECT_EQ(adapter.Devices[1].Modes[0].HardwareTnL, 0);
  // The desktop is X8R8G8B8, which the HAL device refuses: it cannot render in a window.
  EXPECT_EQ(adapter.Devices[0].CanDoWindowed, 0u);
  EXPECT_EQ(adapter.Devices[1].CanDoWindowed, 1u);
  shell.Release();
}

TEST_F(ShellTest, DefaultModeIndex) {
  struct Case {
    std::vector<D3DDISPLAYMODE> modes;
    uint32_t expected;
  };
  const Case cases[] = {
      // the first 640x480 mode in a 16-bit format (sorted: X8R8G8B8 22 before R5G6B5 23)
      {{{640, 480, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_R5G6B5}, {800, 600, 60, D3DFMT_R5G6B5}}, 1},
      // no 16-bit 640x480: the last 640x480 mode (sorted: R8G8B8 20, then X8R8G8B8 22)
      {{{640, 480, 60, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_R8G8B8}}, 1},
      // no 640x480 at all
      {{{800, 600, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_R5G6B5}}, 0},
  };
  for (const Case& c : cases) {
    d3d->adapters = {AdapterWithModes(c.modes)};
    d3d->adapters[0].hal_display_formats.insert(D3DFMT_R8G8B8);
    CD3DShell shell;
    ASSERT_TRUE(shell.Create());
    EXPECT_EQ(shell.GetAdapters()[0].Devices[0].DefaultModeIndex, c.expected);
    shell.Release();
  }
}

TEST_F(ShellTest, WindowedNeedsTheCapsFlagAsWell) {
  d3d->adapters[0].hal_caps.Caps2 = 0;
  CD3DShell shell;
  ASSERT_TRUE(shell.Create());
  EXPECT_EQ(shell.GetAdapters()[0].Devices[0].CanDoWindowed, 0u);
  EXPECT_EQ(shell.GetAdapters()[0].Devices[0].DesktopCompatible, 0u);
  EXPECT_EQ(shell.GetAdapters()[0].Devices[1].CanDoWindowed, 1u);
  shell.Release();
}

TEST_F(ShellTest, DefaultDeviceChoice) {
  // Adapter 0's HAL cannot render windowed; adapter 1 is a full second machine.
  d3d->adapters.push_back(CRecordingD3D::StandardAdapter());
  d3d->adapters[0].hal_caps.Caps2 = 0;
  CD3DShell shell;
  ASSERT_TRUE(shell.Create());
  struct Case {
    int ref_rast;
    bool windowed;
    uint32_t adapter;
    D3DDEVTYPE type;
  };
  const Case cases[] = {
      {0, false, 0, D3DDEVTYPE_HAL},
      {0, true, 0, D3DDEVTYPE_REF},  // adapter 0's REF comes before adapter 1's HAL
      {1, false, 0, D3DDEVTYPE_REF},
      {1, true, 0, D3DDEVTYPE_REF},
  };
  for (const Case& c : cases) {
    RefRast = c.ref_rast;
    const D3DDeviceChoice choice = shell.FindDefaultDevice(c.windowed);
    ASSERT_NE(choice.Device, nullptr);
    EXPECT_EQ(choice.Adapter->AdapterOrdinal, c.adapter) << c.ref_rast << c.windowed;
    EXPECT_EQ(choice.Device->DeviceType, c.type) << c.ref_rast << c.windowed;
  }
  RefRast = 1;
  d3d->adapters.clear();
  shell.Release();
}

TEST_F(ShellTest, NoWindowedDeviceAndNoNamedDevice) {
  d3d->adapters[0].hal_caps.Caps2 = 0;
  d3d->adapters[0].ref_caps.Caps2 = 0;
  CD3DShell shell;
  ASSERT_TRUE(shell.Create());
  EXPECT_EQ(shell.FindDefaultDevice(true).Device, nullptr);
  EXPECT_NE(shell.FindDefaultDevice(false).Device, nullptr);
  EXPECT_EQ(shell.FindDeviceByName("hal").Device, nullptr);  // names compare case-sensitively
  EXPECT_EQ(shell.FindDeviceByName("REF").Device->DeviceType, D3DDEVTYPE_REF);
  shell.Release();
}

TEST_F(ShellTest, FindMode) {
  d3d->adapters = {AdapterWithModes({{1600, 1200, 60, D3DFMT_R5G6B5},
                                     {640, 480, 60, D3DFMT_R5G6B5},
                                     {640, 480, 60, D3DFMT_X1R5G5B5},
                                     {800, 600, 60, D3DFMT_X8R8G8B8},
                                     {640, 480, 60, D3DFMT_A8R8G8B8}})};
  CFakeAdapter& a = d3d->adapters[0];
  a.current.Format = D3DFMT_R5G6B5;
  a.hal_display_formats = {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
  CD3DShell shell;
  ASSERT_TRUE(shell.Create());
  D3DDeviceInfo* hal = &shell.GetAdapters()[0].Devices[0];
  struct Case {
    int depth;
    bool windowed;
    uint32_t w, h;
    bool found;
    Mode expected;
  };
  const Case cases[] = {
      // windowed: the first mode in the desktop format, whatever the size or depth
      {32, true, 1024, 768, true, {640, 480, D3DFMT_R5G6B5}},
      {16, false, 640, 480, true, {640, 480, D3DFMT_R5G6B5}},
      {16, false, 1600, 1200, true, {1600, 1200, D3DFMT_R5G6B5}},
      {24, false, 800, 600, true, {800, 600, D3DFMT_X8R8G8B8}},
      {32, false, 640, 480, false, {}},  // A8R8G8B8 is not a 32-bit choice
      {8, false, 640, 480, true, {640, 480, D3DFMT_A8R8G8B8}},  // any format; A8R8G8B8 sorts first
      {16, false, 1024, 768, false, {}},
  };
  for (const Case& c : cases) {
    const D3DModeInfo* m = shell.FindMode(hal, c.depth, c.windowed, c.w, c.h);
    ASSERT_EQ(m != nullptr, c.found) << c.depth << " " << c.w;
    if (m != nullptr) { EXPECT_EQ((Mode{m->Width, m->Height, m->Format}), c.expected) << c.depth << " " << c.w; }
  }
  shell.Release();
}

TEST_F(ShellTest, ModeListRunsFromTheLastModeBackToTheFirst) {
  d3d->adapters = {AdapterWithModes({{640, 480, 60, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_R5G6B5}})};
  d3d->adapters[0].driver = std::string(100, 'd');
  CD3DShell shell;
  ASSERT_TRUE(shell.Create());
  RenderMode* head = nullptr;
  shell.BuildModeList(&head);
  std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> seen;
  for (RenderMode* m = head; m != nullptr; m = m->Next) {
    seen.emplace_back(m->Width, m->Height, m->BitDepth);
    EXPECT_EQ(std::string(m->Name), std::string(63, 'd'));
    EXPECT_STREQ(m->Description, "Fake Adapter");
  }
  // REF modes (last device) first; X8R8G8B8 is listed as 24 bits.
  const std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> expected = {
      {800, 600, 16}, {640, 480, 24}, {800, 600, 16}, {640, 480, 24}};
  EXPECT_EQ(seen, expected);
  g_pD3DRenderDevice->FreeDeviceList(head);
  shell.Release();
}

TEST_F(ShellTest, CreateFailsCleanly) {
  {
    CD3DShell shell;
    d3d->fail_display_mode = true;
    EXPECT_FALSE(shell.Create());
    EXPECT_EQ(shell.GetD3D(), nullptr);
    d3d->fail_display_mode = false;
  }
  {
    CD3DShell shell;
    d3d->adapters[0].modes.clear();  // an adapter without modes still counts
    EXPECT_TRUE(shell.Create());
    shell.Release();
  }
  {
    CD3DShell shell;
    d3d->adapters.clear();
    EXPECT_FALSE(shell.Create());
    EXPECT_EQ(shell.GetD3D(), nullptr);
  }
  {
    CD3DShell shell;
    CRecordingD3D::Install(nullptr);
    EXPECT_FALSE(shell.Create());
  }
}

}  // namespace
}  // namespace vt_test
