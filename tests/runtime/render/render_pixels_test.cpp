// The primitive drawer and render styles on the real OpenGL-backed device, headless, checked by
// reading back pixels: blend, alpha-test, depth and cull modes, texture-stage operations, the
// texture factor, exact placement of screen-space quads, and a loaded style drawing as it says.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "platform/d3d/d3d8_test_hooks.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "runtime/src/render/sys/pc/vb_suballocator.h"
#include "tests/runtime/render/gl_render_window.h"
#include "tests/runtime/render/render_fixture.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"
#include "tools/writers/style_writer.h"

namespace vt_test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kTolerance = 4;  // per channel, out of 255

struct Rgb {
  int r, g, b;
};

// 0xAARRGGBB from channels of 0..1.
uint32_t Argb(float a, float r, float g, float b) {
  auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

Rgb RgbOf(uint32_t argb) { return {int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF)}; }

class RenderPixelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRendererCvars();
    CD3DShell::SetCreateFunction(nullptr);
    window = Open_GL_Test_Window("pixels", kWidth, kHeight);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ASSERT_TRUE(Start_Render_Device_On(window, kWidth, kHeight));
    prim.ResetState();
    prim.SetTransformType(kDrawPrimScreen);
  }

  void TearDown() override {
    for (CD3DRenderStyle* s : styles) g_pRenderStyles->ReleaseRenderStyle(s);
    device_textures.clear();  // each gives its device texture back
    prim.ResetState();
    g_pRenderDevice->ReleaseDevice();
    Close_GL_Test_Window(window);
  }

  // One frame: black target, depth 1.0, then `draw` inside the scene; the back buffer is read.
  void Frame(const std::function<void()>& draw) {
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    ASSERT_TRUE(g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0, 0));
    ASSERT_TRUE(g_pRenderDevice->BeginScene());
    draw();
    ASSERT_TRUE(g_pRenderDevice->EndScene());
    CMemoryStream stream;
    uint32_t width = 0, height = 0;
    const ReadBackRequest request{&stream, kReadBackFourBytes, &width, &height};
    ASSERT_TRUE(g_pRenderDevice->ReadBackBuffer(&request));
    ASSERT_EQ(width, uint32_t(kWidth));
    ASSERT_EQ(height, uint32_t(kHeight));
    pixels.assign(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    stream.SeekTo(0);
    ASSERT_EQ(stream.Read(pixels.data(), uint32_t(pixels.size())), pixels.size());
  }

  Rgb At(int x, int y) const {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
    return {p[3], p[2], p[1]};
  }

  static ::testing::AssertionResult Near(const Rgb& got, const Rgb& want) {
    if (std::abs(got.r - want.r) <= kTolerance && std::abs(got.g - want.g) <= kTolerance &&
        std::abs(got.b - want.b) <= kTolerance)
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << got.r << "," << got.g << "," << got.b << ") want ("
                                         << want.r << "," << want.g << "," << want.b << ")";
  }

  // A screen-space quad over [x, x + w) x [y, y + h), corners clockwise on screen.
  static DrawPrimTexQuad Quad(float x, float y, float w, float h, uint32_t color, float z = 0.5f) {
    DrawPrimTexQuad q{};
    g_D3DDrawPrim.QuadSetRect(&q, x, y, w, h);
    g_D3DDrawPrim.QuadSetColor(&q, color);
    g_D3DDrawPrim.QuadSetUVRect(&q, 0, 0, 1, 1);
    for (TexVertex& v : q.v) v.z = z;
    return q;
  }

  void DrawQuad(const DrawPrimTexQuad& q) { ASSERT_TRUE(prim.DrawTexQuads(&q, 1)); }

  // A style with defaults whose pass 0 is changed by `edit`.
  CD3DRenderStyle* Style(const std::function<void(RenderPassDesc&)>& edit) {
    return Make_Test_Style(styles, [&edit](RenderPassDesc& pass) {
      pass.Lighting = 0;
      pass.CullMode = 0;
      edit(pass);
    });
  }

  // A one-level texture of width x height ARGB texels (row by row), as a device texture.
  CDeviceTexture* Texture(UINT width, UINT height, const std::vector<uint32_t>& texels) {
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(g_pDirect3DDevice->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
      return nullptr;
    device_textures.emplace_back(std::make_unique<CDeviceTexture>());
    device_textures.back()->m_pTexture = texture;
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return nullptr;
    for (UINT y = 0; y < height; ++y)
      for (UINT x = 0; x < width; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = texels[y * width + x];
    texture->UnlockRect(0);
    return device_textures.back().get();
  }
  CDeviceTexture* SolidTexture(uint32_t argb) { return Texture(4, 4, std::vector<uint32_t>(16, argb)); }

  SDL_Window* window = nullptr;
  CD3DDrawPrim& prim = g_D3DDrawPrim;
  std::vector<uint8_t> pixels;
  std::vector<CD3DRenderStyle*> styles;
  std::vector<std::unique_ptr<CDeviceTexture>> device_textures;
};

TEST_F(RenderPixelsTest, ScreenQuadsLandOnExactPixelsAlsoInsideAnOffsetViewport) {
  Frame([&] {
    DrawQuad(Quad(10, 20, 20, 20, 0xFFFF0000u));
    g_pRenderStateMgr->SetViewport(100, 50, 300, 250, 0.0f, 1.0f);
    DrawQuad(Quad(0, 0, 8, 8, 0xFF00FF00u));
    g_pRenderStateMgr->SetViewport(0, 0, kWidth, kHeight, 0.0f, 1.0f);
  });
  const Rgb red{255, 0, 0}, green{0, 255, 0}, black{0, 0, 0};
  for (auto [x, y] : {std::pair{10, 20}, {29, 20}, {29, 39}, {10, 39}}) EXPECT_TRUE(Near(At(x, y), red)) << x << "," << y;
  for (auto [x, y] : {std::pair{9, 20}, {30, 20}, {10, 19}, {10, 40}, {30, 40}})
    EXPECT_TRUE(Near(At(x, y), black)) << x << "," << y;
  for (auto [x, y] : {std::pair{100, 50}, {107, 57}}) EXPECT_TRUE(Near(At(x, y), green)) << x << "," << y;
  for (auto [x, y] : {std::pair{99, 50}, {108, 50}, {100, 49}, {100, 58}, {0, 0}})
    EXPECT_TRUE(Near(At(x, y), black)) << x << "," << y;
}

// Source and destination factors of the drawer's blend modes, applied per channel.
struct BlendCase {
  int mode;
  float (*src)(float s, float d, float a);
  float (*dst)(float s, float d, float a);
};

TEST_F(RenderPixelsTest, EveryBlendModeMixesAsItsFactorsSay) {
  auto one = [](float, float, float) { return 1.0f; };
  auto zero = [](float, float, float) { return 0.0f; };
  auto src_alpha = [](float, float, float a) { return a; };
  auto inv_src_alpha = [](float, float, float a) { return 1 - a; };
  auto src_color = [](float s, float, float) { return s; };
  auto inv_src_color = [](float s, float, float) { return 1 - s; };
  auto dst_color = [](float, float d, float) { return d; };
  auto inv_dst_color = [](float, float d, float) { return 1 - d; };
  const BlendCase cases[] = {
      {1, one, one},           {2, inv_dst_color, one},     {3, src_alpha, inv_src_alpha},
      {4, src_color, inv_src_color}, {5, dst_color, inv_dst_color}, {6, src_color, dst_color},
      {7, src_alpha, one},     {8, src_alpha, zero},        {9, src_color, one},
      {10, dst_color, zero},
  };
  const float s[3] = {0.8f, 0.4f, 0.2f}, d[3] = {0.2f, 0.6f, 1.0f}, a = 0.5f;
  const uint32_t source = Argb(a, s[0], s[1], s[2]);
  const uint32_t dest = Argb(1, d[0], d[1], d[2]);
  const int count = static_cast<int>(std::size(cases));
  Frame([&] {
    for (int i = 0; i < count; ++i) {
      prim.SetAlphaBlendMode(0);
      DrawQuad(Quad(20.0f + 40 * i, 20, 30, 30, dest));
      prim.SetAlphaBlendMode(cases[i].mode);
      DrawQuad(Quad(20.0f + 40 * i, 20, 30, 30, source));
    }
    prim.SetAlphaBlendMode(0);
  });
  for (int i = 0; i < count; ++i) {
    float out[3];
    for (int c = 0; c < 3; ++c)
      out[c] = std::min(1.0f, s[c] * cases[i].src(s[c], d[c], a) + d[c] * cases[i].dst(s[c], d[c], a));
    EXPECT_TRUE(Near(At(35 + 40 * i, 35), RgbOf(Argb(1, out[0], out[1], out[2])))) << "blend mode " << cases[i].mode;
  }
}

TEST_F(RenderPixelsTest, AlphaTestKeepsWhatPassesTheReference) {
  // Functions 1-6 against reference 0x80, with vertex alphas below, at and above it.
  const uint32_t alphas[3] = {0x40, 0x80, 0xC0};
  const bool passes[7][3] = {{true, true, true},    {true, false, false}, {true, true, false},
                             {false, false, true},  {false, true, true},  {false, true, false},
                             {true, false, true}};
  std::vector<CD3DRenderStyle*> tests;
  for (uint32_t f = 0; f <= 6; ++f)
    tests.push_back(Style([f](RenderPassDesc& p) {
      p.AlphaTest = f;
      p.AlphaRef = 0x80;
      p.Stages[0].ColorOp = 2;  // the diffuse colour
      p.Stages[0].AlphaOp = 2;
    }));
  Frame([&] {
    for (uint32_t f = 0; f <= 6; ++f) {
      prim.SetRenderStyle(tests[f]);
      for (int k = 0; k < 3; ++k) DrawQuad(Quad(20.0f + 60 * f + 16 * k, 20, 12, 12, alphas[k] << 24 | 0xFFFFFF));
    }
    prim.SetRenderStyle(nullptr);
  });
  for (int f = 0; f <= 6; ++f)
    for (int k = 0; k < 3; ++k) {
      const Rgb want = passes[f][k] ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
      EXPECT_TRUE(Near(At(26 + 60 * f + 16 * k, 26), want)) << "alpha test " << f << ", alpha " << alphas[k];
    }
}

TEST_F(RenderPixelsTest, DepthModesTestAndWriteAsTheyShould) {
  // Each column: a blue quad at depth 0.5 written first, then red quads nearer (0.3), level
  // (0.5) and farther (0.7) with the mode under test; then, with mode 0, a green quad at 0.4
  // over the lower half of the nearer one, hidden exactly when the red quad wrote its depth.
  struct Case {
    uint32_t mode;
    bool near_drawn, level_drawn, far_drawn, wrote;
  } cases[] = {
      {0, true, true, false, true},  {1, true, true, false, false}, {2, false, true, true, false},
      {3, true, true, true, false},  {4, false, true, false, false},
  };
  std::vector<CD3DRenderStyle*> modes;
  for (const Case& c : cases)
    modes.push_back(Style([&](RenderPassDesc& p) {
      p.DepthMode = c.mode;
      p.Stages[0].ColorOp = 2;
    }));
  CD3DRenderStyle* base = Style([](RenderPassDesc& p) { p.Stages[0].ColorOp = 2; });
  const float depths[3] = {0.3f, 0.5f, 0.7f};
  Frame([&] {
    for (size_t i = 0; i < std::size(cases); ++i) {
      const float x = 20.0f + 100 * i;
      prim.SetRenderStyle(base);
      DrawQuad(Quad(x, 20, 90, 60, 0xFF0000FFu, 0.5f));
      prim.SetRenderStyle(modes[i]);
      for (int k = 0; k < 3; ++k) DrawQuad(Quad(x + 30 * k, 20, 30, 60, 0xFFFF0000u, depths[k]));
      prim.SetRenderStyle(base);
      DrawQuad(Quad(x, 50, 30, 30, 0xFF00FF00u, 0.4f));
    }
    prim.SetRenderStyle(nullptr);
  });
  const Rgb red{255, 0, 0}, blue{0, 0, 255}, green{0, 255, 0};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const int x = 35 + 100 * static_cast<int>(i);
    const Case& c = cases[i];
    EXPECT_TRUE(Near(At(x, 35), c.near_drawn ? red : blue)) << "depth mode " << c.mode << " nearer";
    EXPECT_TRUE(Near(At(x + 30, 35), c.level_drawn ? red : blue)) << "depth mode " << c.mode << " level";
    EXPECT_TRUE(Near(At(x + 60, 35), c.far_drawn ? red : blue)) << "depth mode " << c.mode << " farther";
    EXPECT_TRUE(Near(At(x, 65), c.wrote ? red : green)) << "depth mode " << c.mode << " depth write";
  }
}

TEST_F(RenderPixelsTest, LongStripKeepsItsWindingAcrossBatches) {
  // A band of 64 quads as one strip of 130 vertices, more than one batch holds. Its first
  // triangle is counter-clockwise on screen, so with clockwise culling every triangle shows,
  // and with counter-clockwise culling none does.
  constexpr int kColumns = 65, kLeft = 10, kStep = 6, kTop = 100, kBottom = 130;
  std::vector<TexVertex> strip;
  for (int k = 0; k < kColumns; ++k) {
    const float x = float(kLeft + kStep * k);
    strip.push_back({x, float(kTop), 0.5f, 0xFFFFFFFFu, 0, 0});
    strip.push_back({x, float(kBottom), 0.5f, 0xFFFFFFFFu, 0, 1});
  }
  for (int mode : {2, 1}) {
    Frame([&] {
      prim.SetCullMode(mode);
      ASSERT_TRUE(prim.DrawTexStrip(strip.data(), uint32_t(strip.size())));
      prim.SetCullMode(0);
    });
    const Rgb want = mode == 2 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
    for (int k = 0; k + 1 < kColumns; ++k) {
      const int x = kLeft + kStep * k;
      // The upper-left triangle of each quad, then the lower-right one.
      EXPECT_TRUE(Near(At(x + 1, kTop + 3), want)) << "cull mode " << mode << ", quad " << k << " upper";
      EXPECT_TRUE(Near(At(x + kStep - 2, kBottom - 3), want)) << "cull mode " << mode << ", quad " << k << " lower";
    }
  }
}

TEST_F(RenderPixelsTest, CullModesDropTheWindingTheySay) {
  // Drawer cull modes: 0 none, 1 counter-clockwise culled, 2 clockwise culled. The first quad
  // of each pair is clockwise on screen, the second the same quad with its corners reversed.
  const bool drawn[3][2] = {{true, true}, {true, false}, {false, true}};
  Frame([&] {
    for (int mode = 0; mode < 3; ++mode) {
      prim.SetCullMode(mode);
      DrawPrimTexQuad cw = Quad(20.0f + 80 * mode, 20, 30, 30, 0xFFFFFFFFu);
      DrawPrimTexQuad ccw = Quad(55.0f + 80 * mode, 20, 30, 30, 0xFFFFFFFFu);
      std::reverse(std::begin(ccw.v), std::end(ccw.v));
      DrawQuad(cw);
      DrawQuad(ccw);
    }
    prim.SetCullMode(0);
  });
  for (int mode = 0; mode < 3; ++mode)
    for (int k = 0; k < 2; ++k) {
      const Rgb want = drawn[mode][k] ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
      EXPECT_TRUE(Near(At(35 + 80 * mode + 35 * k, 35), want)) << "cull mode " << mode << (k ? " reversed" : "");
    }
}

TEST_F(RenderPixelsTest, StageOperationsCombineTextureDiffuseAndFactor) {
  // Style colour operations on stage 0 with argument 1 the texture (or the factor) and
  // argument 2 the diffuse colour.
  const float t[3] = {0.5f, 0.25f, 1.0f}, d[3] = {0.4f, 0.8f, 0.2f}, f[3] = {0.1f, 0.7f, 0.3f};
  const float da = 0.25f;
  struct Case {
    const char* what;
    uint32_t op, arg1;
    float (*mix)(float t, float d, float f, float da);
  } cases[] = {
      {"modulate", 3, 2, [](float t, float d, float, float) { return t * d; }},
      {"modulate 2x", 4, 2, [](float t, float d, float, float) { return std::min(1.0f, 2 * t * d); }},
      {"add", 9, 2, [](float t, float d, float, float) { return std::min(1.0f, t + d); }},
      {"select texture", 1, 2, [](float t, float, float, float) { return t; }},
      {"select diffuse", 2, 2, [](float, float d, float, float) { return d; }},
      {"blend by diffuse alpha", 5, 2, [](float t, float d, float, float a) { return t * a + d * (1 - a); }},
      {"texture factor", 1, 3, [](float, float, float f, float) { return f; }},
      {"factor times diffuse", 3, 3, [](float, float d, float f, float) { return f * d; }},
  };
  CDeviceTexture* texture = SolidTexture(Argb(1, t[0], t[1], t[2]));
  ASSERT_NE(texture, nullptr);
  std::vector<CD3DRenderStyle*> made;
  for (const Case& c : cases)
    made.push_back(Style([&](RenderPassDesc& p) {
      p.Stages[0].ColorOp = c.op;
      p.Stages[0].ColorArg1 = c.arg1;
      p.Stages[0].ColorArg2 = 1;
      p.TextureFactor = Argb(1, f[0], f[1], f[2]);
    }));
  Frame([&] {
    prim.SetDeviceTexture(texture, 0);
    for (size_t i = 0; i < made.size(); ++i) {
      prim.SetRenderStyle(made[i]);
      DrawQuad(Quad(20.0f + 40 * i, 20, 30, 30, Argb(da, d[0], d[1], d[2])));
    }
    prim.SetRenderStyle(nullptr);
    prim.SetDeviceTexture(nullptr, 0);
  });
  for (size_t i = 0; i < made.size(); ++i) {
    float out[3];
    for (int c = 0; c < 3; ++c) out[c] = cases[i].mix(t[c], d[c], f[c], da);
    EXPECT_TRUE(Near(At(35 + 40 * static_cast<int>(i), 35), RgbOf(Argb(1, out[0], out[1], out[2]))))
        << cases[i].what;
  }
}

TEST_F(RenderPixelsTest, AStyleFromAPackDrawsAsItSays) {
  // An additive, depth-test-only style stored compressed in a packed set, served by id.
  writers::StylePass pass = writers::DefaultStylePass();
  pass.lighting = 0;
  pass.blend = 1;
  pass.depth = 1;
  pass.cull = 0;
  pass.stages[0].color_op = 2;
  writers::StyleAlternative alternative;
  alternative.passes = {pass};
  std::vector<writers::PackRecord> records(1);
  records[0].id = 0x22000031;
  records[0].type = kRezType_RenderStyle;
  records[0].name = "styles/glow.sty";
  records[0].data = writers::WriteRenderStyle({alternative});
  records[0].compress = true;
  char pattern[] = "/tmp/vt_sty_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  std::vector<writers::OutFile> files;
  ASSERT_TRUE(writers::BuildPackedSet(0, records, files));
  for (const writers::OutFile& file : files)
    ASSERT_TRUE(writers::WriteWholeFile(writers::JoinPath(dir, file.path), file.bytes));
  ASSERT_NE(g_pRezMgr, nullptr);
  ASSERT_TRUE(g_pRezMgr->Init((dir + "/").c_str()));
  g_pRezMgr->SetTypeHandler(kRezType_RenderStyle, &g_RenderStyleFactory);
  CD3DRenderStyle* additive = g_pRenderStyles->GetRenderStyle(0x22000031);
  ASSERT_NE(additive, nullptr);
  Frame([&] {
    DrawQuad(Quad(20, 20, 40, 40, 0xFF204060u, 0.5f));
    prim.SetRenderStyle(additive);
    DrawQuad(Quad(40, 20, 40, 40, 0xFF402010u, 0.6f));   // behind the first quad: dropped there
    DrawQuad(Quad(40, 20, 40, 40, 0xFF402010u, 0.4f));   // in front: adds
    DrawQuad(Quad(40, 20, 40, 40, 0xFF402010u, 0.45f));  // it wrote no depth: adds again
    prim.SetRenderStyle(nullptr);
  });
  g_pRenderStyles->ReleaseRenderStyle(additive);
  g_pRezMgr->Term();
  std::filesystem::remove_all(dir);
  EXPECT_TRUE(Near(At(30, 30), Rgb{0x20, 0x40, 0x60}));
  EXPECT_TRUE(Near(At(50, 30), Rgb{0xA0, 0x80, 0x80}));
  EXPECT_TRUE(Near(At(70, 30), Rgb{0xC0, 0x60, 0x30})) << "over the cleared depth all three add";
}

TEST_F(RenderPixelsTest, AddressingAndTextureTransformsPlaceTexels) {
  // Two texels, red then blue, point-sampled across quads whose u runs from 0 to 2.
  CDeviceTexture* texture = Texture(2, 1, {0xFFFF0000u, 0xFF0000FFu});
  ASSERT_NE(texture, nullptr);
  const Rgb red{255, 0, 0}, blue{0, 0, 255};
  struct Case {
    const char* what;
    uint32_t address;
    bool halve_u;      // texture transform: u' = u / 2
    float first_u;     // u runs from here over 2
    Rgb quarters[4];
  } cases[] = {
      {"wrap", 0, false, 0, {red, blue, red, blue}},
      {"clamp", 1, false, 0, {red, blue, blue, blue}},
      {"mirror", 2, false, 0, {red, blue, blue, red}},
      {"wrap, u halved by the stage's matrix", 0, true, 0, {red, red, blue, blue}},
      {"mirror once, u from -1", 3, false, -1, {blue, red, red, blue}},
      {"mirror once past 1 clamps", 3, false, 0, {red, blue, blue, blue}},
  };
  std::vector<CD3DRenderStyle*> made;
  for (const Case& c : cases)
    made.push_back(Style([&](RenderPassDesc& p) {
      p.Stages[0].ColorOp = 1;  // the texture
      p.Stages[0].AddressU = p.Stages[0].AddressV = c.address;
      p.Stages[0].Filter = 0;
      p.Stages[0].TransformOn = c.halve_u ? 1 : 0;
      p.Stages[0].Matrix[0] = c.halve_u ? 0.5f : 1.0f;
    }));
  Frame([&] {
    prim.SetDeviceTexture(texture, 0);
    for (size_t i = 0; i < made.size(); ++i) {
      prim.SetRenderStyle(made[i]);
      DrawPrimTexQuad q = Quad(20, 20.0f + 30 * i, 64, 20, 0xFFFFFFFFu);
      prim.QuadSetUVRect(&q, cases[i].first_u, 0, 2, 1);
      DrawQuad(q);
    }
    prim.SetRenderStyle(nullptr);
    prim.SetDeviceTexture(nullptr, 0);
  });
  for (size_t i = 0; i < made.size(); ++i)
    for (int k = 0; k < 4; ++k)
      EXPECT_TRUE(Near(At(28 + 16 * k, 30 + 30 * static_cast<int>(i)), cases[i].quarters[k]))
          << cases[i].what << ", quarter " << k;
}

TEST_F(RenderPixelsTest, PooledGeometryDrawsAndComesBackAfterAReset) {
  struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
  };
  const Vertex vertices[4] = {{-0.5f, -0.5f, 0.5f, 0, 0, -1, 0, 1}, {-0.5f, 0.5f, 0.5f, 0, 0, -1, 0, 0},
                              {0.5f, 0.5f, 0.5f, 0, 0, -1, 1, 0},   {0.5f, -0.5f, 0.5f, 0, 0, -1, 1, 1}};
  const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
  VBAllocation* padding = nullptr;  // so the quad does not start at vertex 0
  VBAllocation* quad = nullptr;
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kPoolInitialDesc, false, 0, 5, 9, &padding));
  ASSERT_TRUE(g_VBSubAllocator.Alloc(kPoolInitialDesc, false, 0, 4, 6, &quad));
  ASSERT_TRUE(g_VBSubAllocator.Write(quad, vertices, indices));
  CD3DRenderStyle* white = Style([](RenderPassDesc& p) { p.Stages[0].ColorOp = 2; });
  D3DMATRIX identity{};
  identity.m[0][0] = identity.m[1][1] = identity.m[2][2] = identity.m[3][3] = 1.0f;
  auto draw = [&] {
    CRenderStateMgr& rs = *g_pRenderStateMgr;
    rs.SetTransform(D3DTS_WORLD, identity);
    rs.SetTransform(D3DTS_VIEW, identity);
    rs.SetTransform(D3DTS_PROJECTION, identity);
    ASSERT_TRUE(rs.ApplyStylePass(white, 0, nullptr));
    ASSERT_TRUE(rs.SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    quad->Block->Buffers.SetStreams(quad->FirstVertex);
    ASSERT_TRUE(quad->Block->Buffers.DrawIndexed(0, quad->FirstIndex, quad->VertexCount, 2));
  };
  Frame(draw);
  EXPECT_TRUE(Near(At(320, 240), Rgb{255, 255, 255}));
  EXPECT_TRUE(Near(At(10, 10), Rgb{0, 0, 0}));

  IDirect3DVertexBuffer8* before = quad->Block->Buffers.VertexBuffer(0);
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
  EXPECT_FALSE(g_pRenderDevice->Begin_Render());
  g_pRenderDevice->Present(nullptr);
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICENOTRESET);
  Frame(draw);  // the frame gate resets the device and the pools rebuild their buffers
  D3D8Test_InjectCooperativeLevel(D3D_OK);
  EXPECT_NE(quad->Block->Buffers.VertexBuffer(0), nullptr);
  (void)before;
  EXPECT_TRUE(Near(At(320, 240), Rgb{255, 255, 255})) << "the pool's data is back after the reset";
  EXPECT_TRUE(Near(At(10, 10), Rgb{0, 0, 0}));
}

TEST_F(RenderPixelsTest, CameraSpacePositionsThroughAProjectedTransform) {
  // A world-space quad at depth 0.5 with identity transforms, its texture coordinates made from
  // camera-space positions: u' = x / 4 + 1/4 and w' = z, so a projected stage reads
  // u = (x / 4 + 1/4) / 0.5 = x / 2 + 1/2 (red left of the centre, blue right of it) while
  // an unprojected one reads u' below a half (red everywhere).
  CDeviceTexture* texture = Texture(2, 1, {0xFFFF0000u, 0xFF0000FFu});
  ASSERT_NE(texture, nullptr);
  auto projector = [&](bool projected) {
    return Style([projected](RenderPassDesc& p) {
      TextureStageDesc& st = p.Stages[0];
      st.ColorOp = 1;
      st.CoordSource = 5;
      st.AddressU = st.AddressV = 1;
      st.Filter = 0;
      st.TransformOn = 1;
      st.Projected = projected ? 1 : 0;
      const float m[16] = {0.25f, 0, 0, 0, 0, -0.25f, 0, 0, 0, 0, 1, 0, 0.25f, 0.25f, 0, 1};
      std::copy(std::begin(m), std::end(m), st.Matrix);
    });
  };
  D3DMATRIX identity{};
  identity.m[0][0] = identity.m[1][1] = identity.m[2][2] = identity.m[3][3] = 1.0f;
  DrawPrimTexQuad quad{};
  prim.QuadSetXY(&quad, -0.5f, -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, -0.5f, 0.5f);
  prim.QuadSetColor(&quad, 0xFFFFFFFFu);
  for (TexVertex& v : quad.v) v.z = 0.5f;
  const Rgb red{255, 0, 0}, blue{0, 0, 255};
  for (bool projected : {true, false}) {
    CD3DRenderStyle* style = projector(projected);
    Frame([&] {
      g_pRenderStateMgr->SetTransform(D3DTS_VIEW, identity);
      g_pRenderStateMgr->SetTransform(D3DTS_PROJECTION, identity);
      prim.SetTransformType(kDrawPrimWorld);
      prim.SetDeviceTexture(texture, 0);
      prim.SetRenderStyle(style);
      DrawQuad(quad);
      prim.SetRenderStyle(nullptr);
      prim.SetDeviceTexture(nullptr, 0);
      prim.SetTransformType(kDrawPrimScreen);
    });
    EXPECT_TRUE(Near(At(200, 240), red)) << (projected ? "projected" : "unprojected");
    EXPECT_TRUE(Near(At(440, 240), projected ? blue : red)) << (projected ? "projected" : "unprojected");
    EXPECT_TRUE(Near(At(100, 240), Rgb{0, 0, 0})) << "outside the quad";
  }
}

TEST_F(RenderPixelsTest, WireframeFillDrawsOnlyTheEdges) {
  Frame([&] {
    prim.SetFillMode(0);
    DrawQuad(Quad(100, 100, 60, 40, 0xFFFFFFFFu));
    prim.SetFillMode(1);
    DrawQuad(Quad(200, 100, 60, 40, 0xFFFFFFFFu));
  });
  auto lit_near = [&](int x, int y) {  // an edge may fall on either side of its pixel row
    for (int dy = -1; dy <= 1; ++dy)
      if (At(x, y + dy).r > 128) return true;
    return false;
  };
  EXPECT_TRUE(Near(At(145, 110), Rgb{0, 0, 0})) << "wireframe leaves the inside (off the diagonal)";
  EXPECT_TRUE(lit_near(130, 100)) << "top edge";
  EXPECT_TRUE(lit_near(130, 139)) << "bottom edge";
  EXPECT_TRUE(Near(At(230, 120), Rgb{255, 255, 255})) << "solid fills it";
}

}  // namespace
}  // namespace vt_test
