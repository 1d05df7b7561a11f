#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/system/debug.h"
#include "tests/support/fifo_guard.h"

#include "runtime/src/render/sys/pc/d3d_formats.h"
#include "runtime/src/render/sys/pc/d3d_gamma.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

// --- gamma ---------------------------------------------------------------------------------

class GammaTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    dir = std::filesystem::temp_directory_path() / ("vt_gamma_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(Start());
    Device()->gamma_set_count = 0;
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    RenderFixture::TearDown();
  }

  // A ramp file whose entry i of channel c is value(c, i), cut or padded to `size` bytes.
  std::string WriteRamp(size_t size, WORD (*value)(int channel, int index)) {
    std::string bytes;
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < 256; ++i) {
        const WORD v = value(c, i);
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>(v >> 8);
      }
    bytes.resize(size, '\x7F');
    const std::string path = (dir / "ramp.gam").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path dir;
};

WORD Distinct(int channel, int index) { return static_cast<WORD>(channel * 1000 + index * 3 + 1); }
WORD Linear(int, int index) { return static_cast<WORD>(index * 256); }

TEST_F(GammaTest, NoFileAndScaleOneAppliesNothing) {
  EXPECT_TRUE(SetGammaRampFromFile((dir / "missing.gam").string().c_str()));
  EXPECT_TRUE(SetGammaRampFromFile(nullptr));
  EXPECT_EQ(Device()->gamma_set_count, 0);
}

TEST_F(GammaTest, ScaleOfTheLinearRamp) {
  struct Case {
    float scale;
    WORD entry255;
    WORD entry1;
  };
  const Case cases[] = {
      {0.5f, 32640, 128},
      {1.5f, 65535, 384},  // 65280 * 1.5 = 97920 is clamped, not wrapped
      {-1.0f, 0, 0},
      {1.0f, 65280, 256},  // back to 1.0: applied once more, since it differs from the last scale
  };
  for (const Case& c : cases) {
    GammaScale = c.scale;
    Device()->gamma_set_count = 0;
    EXPECT_TRUE(SetGammaRampFromFile(nullptr));
    ASSERT_EQ(Device()->gamma_set_count, 1) << c.scale;
    EXPECT_EQ(Device()->gamma.red[255], c.entry255) << c.scale;
    EXPECT_EQ(Device()->gamma.blue[255], c.entry255) << c.scale;
    EXPECT_EQ(Device()->gamma.green[1], c.entry1) << c.scale;
  }
  Device()->gamma_set_count = 0;
  EXPECT_TRUE(SetGammaRampFromFile(nullptr));  // 1.0 again: nothing to do
  EXPECT_EQ(Device()->gamma_set_count, 0);
}

TEST_F(GammaTest, FileRampIsReadBinaryAndApplied) {
  // A longer file gives its first 1536 bytes.
  using Ramp = WORD (*)(int, int);
  for (auto [value, size] : {std::pair<Ramp, size_t>{Distinct, 1536}, std::pair<Ramp, size_t>{Linear, 1536},
                             std::pair<Ramp, size_t>{Distinct, 1537}, std::pair<Ramp, size_t>{Linear, 2000}}) {
    SCOPED_TRACE(size);
    const std::string path = WriteRamp(size, value);
    Device()->gamma_set_count = 0;
    EXPECT_TRUE(SetGammaRampFromFile(path.c_str()));
    ASSERT_EQ(Device()->gamma_set_count, 1);
    EXPECT_EQ(Device()->gamma.red[0], value(0, 0));
    EXPECT_EQ(Device()->gamma.green[100], value(1, 100));
    EXPECT_EQ(Device()->gamma.blue[255], value(2, 255));
  }
}

TEST_F(GammaTest, FileRampIsScaledAndClamped) {
  GammaScale = 1.5f;
  const std::string path = WriteRamp(1536, Linear);
  EXPECT_TRUE(SetGammaRampFromFile(path.c_str()));
  EXPECT_EQ(Device()->gamma.red[255], 65535);
  EXPECT_EQ(Device()->gamma.red[2], 768);
}

TEST_F(GammaTest, FileTooShortIsIgnored) {
  for (size_t size : {size_t{0}, size_t{1000}, size_t{1535}}) {
    const std::string path = WriteRamp(size, Distinct);
    messages.clear();
    Device()->gamma_set_count = 0;
    EXPECT_FALSE(SetGammaRampFromFile(path.c_str())) << size;
    EXPECT_EQ(Device()->gamma_set_count, 0) << size;
    EXPECT_EQ(messages.size(), 1u) << size;
  }
}

// A FIFO in place of the gamma file is never waited on: it is named, and the linear ramp is
// used as when there is no file.
TEST_F(GammaTest, AFifoInPlaceOfTheFileIsNamedAndTheLinearRampUsed) {
  const std::string fifo = (dir / "fifo.gam").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  GammaScale = 0.5f;
  std::vector<std::string> errors;
  plat::Set_Error_Recorder([&](const std::string& text) { errors.push_back(text); });
  bool applied = false;
  EXPECT_TRUE(Returns_Without_Waiting(fifo, [&] { applied = SetGammaRampFromFile(fifo.c_str()); }));
  EXPECT_TRUE(applied);
  ASSERT_EQ(Device()->gamma_set_count, 1);
  EXPECT_EQ(Device()->gamma.red[255], 32640);  // 255 x 256, halved
  EXPECT_EQ(Device()->gamma.green[2], 256);
  // The device is made again at every mode change: the same refusal is said once.
  EXPECT_TRUE(Returns_Without_Waiting(fifo, [&] { applied = SetGammaRampFromFile(fifo.c_str()); }));
  EXPECT_TRUE(applied);
  EXPECT_EQ(Device()->gamma_set_count, 2);
  plat::Set_Error_Recorder(nullptr);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0],
            "Gamma file " + fifo + " was not opened: it is a FIFO, not a regular file; the linear ramp is used.");
}

TEST_F(GammaTest, NoDeviceNoRamp) {
  g_pD3DRenderDevice->ReleaseDevice();
  GammaScale = 0.5f;
  EXPECT_FALSE(SetGammaRampFromFile(nullptr));
}

// --- format helpers ----------------------------------------------------------------------------

TEST(FormatHelpers, FormatBits) {
  struct Case {
    D3DFORMAT format;
    DWORD bits, a, r, g, b;
  };
  const Case cases[] = {
      {D3DFMT_R8G8B8, 24, 0, 0xFF0000, 0xFF00, 0xFF},          {D3DFMT_A8R8G8B8, 32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF},
      {D3DFMT_X8R8G8B8, 32, 0, 0xFF0000, 0xFF00, 0xFF},        {D3DFMT_R5G6B5, 16, 0, 0xF800, 0x7E0, 0x1F},
      {D3DFMT_X1R5G5B5, 16, 0, 0x7C00, 0x3E0, 0x1F},           {D3DFMT_A1R5G5B5, 16, 0x8000, 0x7C00, 0x3E0, 0x1F},
      {D3DFMT_A4R4G4B4, 16, 0xF000, 0xF00, 0xF0, 0xF},         {D3DFMT_P8, 8, 0xFF000000, 0xFF0000, 0xFF00, 0xFF},
      {D3DFMT_V8U8, 16, 0, 0, 0, 0},                           {D3DFMT_DXT1, 7, 7, 7, 7, 7},  // unknown: untouched
  };
  for (const Case& c : cases) {
    DWORD bits = 7, a = 7, r = 7, g = 7, b = 7;
    GetFormatBits(c.format, &bits, &a, &r, &g, &b);
    EXPECT_EQ(bits, c.bits) << c.format;
    EXPECT_EQ(a, c.a) << c.format;
    EXPECT_EQ(r, c.r) << c.format;
    EXPECT_EQ(g, c.g) << c.format;
    EXPECT_EQ(b, c.b) << c.format;
  }
}

TEST(FormatHelpers, TextureFormatCodes) {
  const std::pair<D3DFORMAT, int> cases[] = {
      {D3DFMT_A8R8G8B8, 1}, {D3DFMT_R8G8B8, 3},   {D3DFMT_P8, 5},    {D3DFMT_A4R4G4B4, 9},
      {D3DFMT_A1R5G5B5, 10}, {D3DFMT_R5G6B5, 11}, {D3DFMT_DXT1, 12}, {D3DFMT_DXT3, 13},
      {D3DFMT_DXT5, 14},    {D3DFMT_V8U8, 15},    {D3DFMT_X8R8G8B8, 0}, {D3DFMT_X1R5G5B5, 0},
      {D3DFMT_D16, 0},
  };
  for (const auto& [format, code] : cases) EXPECT_EQ(GetTextureFormatCode(format), code) << format;
}

TEST(FormatHelpers, DepthFormatBits) {
  struct Case {
    D3DFORMAT format;
    DWORD depth, stencil;
  };
  const Case cases[] = {
      {D3DFMT_D16_LOCKABLE, 16, 0}, {D3DFMT_D16, 16, 0},   {D3DFMT_D32, 32, 0},     {D3DFMT_D15S1, 16, 1},
      {D3DFMT_D24S8, 24, 8},        {D3DFMT_D24X8, 24, 0}, {D3DFMT_D24X4S4, 24, 0}, {D3DFMT_R5G6B5, 0, 0},
  };
  for (const Case& c : cases) {
    DWORD depth = 99, stencil = 99;
    GetDepthFormatBits(c.format, &depth, &stencil);
    EXPECT_EQ(depth, c.depth) << c.format;
    EXPECT_EQ(stencil, c.stencil) << c.format;
  }
}

// --- diagnostics -------------------------------------------------------------------------------

TEST_F(RenderFixture, DebugPrintPassesLevelsUpToRenderDebugLevelAndCutsAt255) {
  RenderDebugLevel = 0;
  Render_DebugPrintf(1, "%s", "hidden");
  Render_DebugPrintf(0, "shown %d", 1);
  EXPECT_EQ(messages, std::vector<std::string>{"shown 1"});
  RenderDebugLevel = 2;
  const std::string long_text(400, 'x');
  Render_DebugPrintf(2, "%s", long_text.c_str());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], std::string(255, 'x'));
}

}  // namespace
}  // namespace vt_test
