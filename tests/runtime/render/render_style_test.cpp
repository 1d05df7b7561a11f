#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/render_fixture.h"
#include "tools/writers/style_writer.h"

namespace vt_test {
namespace {

using writers::StyleAlternative;
using writers::StylePass;

constexpr DWORD kAllTextureOps = 0x00FFFFFFu;

class RenderStyleTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    d3d->adapters[0].hal_caps.TextureOpCaps = kAllTextureOps & ~D3DTEXOPCAPS_DOTPRODUCT3;
    ASSERT_TRUE(Start());
    RSMgr_EnableCaching = 1;
  }
  void TearDown() override {
    for (CD3DRenderStyle* s : made) g_pRenderStyles->ReleaseRenderStyle(s);
    RenderFixture::TearDown();
  }

  static CStream* StreamOf(const std::vector<uint8_t>& bytes) {
    CMemoryStream* stream = CreateMemoryStream(static_cast<uint32_t>(bytes.size()));
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    stream->SeekTo(0);
    return stream;
  }

  // Loads a style from bytes through the service; null when the service refuses it.
  CD3DRenderStyle* Load(const std::vector<uint8_t>& bytes) {
    CStream* stream = StreamOf(bytes);
    CD3DRenderStyle* style = g_pRenderStyles->LoadRenderStyle(stream);
    stream->Release();
    if (style != nullptr) made.push_back(style);
    return style;
  }

  CD3DRenderStyle* Make(const StylePass& pass) {
    StyleAlternative alt;
    alt.passes = {pass};
    return Load(writers::WriteRenderStyle({alt}));
  }

  std::vector<CD3DRenderStyle*> made;
};

StyleAlternative OnePass(uint32_t colour_op) {
  StyleAlternative alt;
  StylePass pass = writers::DefaultStylePass();
  pass.stages[0].color_op = colour_op;
  alt.passes = {pass};
  return alt;
}

TEST_F(RenderStyleTest, DamagedResourcesAreRefusedAndLeaveNoStyle) {
  StyleAlternative good = OnePass(3);
  const std::vector<uint8_t> valid = writers::WriteRenderStyle({good});
  ASSERT_NE(Load(valid), nullptr);

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  auto patched = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = valid;
    b[at] = value;
    return b;
  };
  cases.push_back({"magic", patched(0, 4)});
  cases.push_back({"version", patched(2, 2)});
  cases.push_back({"first field too large", patched(23, 0x7F)});
  cases.push_back({"33 alternatives", patched(24, 33)});
  for (int64_t field : {0, 1, 0x7FFFFFFF, 1000}) {
    StyleAlternative bad = good;
    bad.param_field_override = field;
    cases.push_back({"parameter count field", writers::WriteRenderStyle({bad})});
  }
  StyleAlternative five = good;
  five.passes.assign(5, writers::DefaultStylePass());
  cases.push_back({"five passes", writers::WriteRenderStyle({five})});
  StyleAlternative huge_code = good;
  huge_code.passes[0].has_shader = true;
  huge_code.passes[0].shader.vertex = 1;
  std::vector<uint8_t> hb = writers::WriteRenderStyle({huge_code});
  const size_t code_size_at = hb.size() - 16;  // four empty code sizes at the end
  hb[code_size_at + 2] = 0x10;                 // 0x100000 > 1000000
  cases.push_back({"shader code too large", hb});
  for (size_t cut = 0; cut < valid.size(); cut += 37)
    cases.push_back({"truncated", std::vector<uint8_t>(valid.begin(), valid.begin() + cut)});

  for (const Case& c : cases) {
    CD3DRenderStyle* before = g_pD3DDevice->GetRenderStyles();
    EXPECT_EQ(Load(c.bytes), nullptr) << c.what;
    EXPECT_EQ(g_pD3DDevice->GetRenderStyles(), before) << c.what << ": a refused style stayed in the list";
  }
}

TEST_F(RenderStyleTest, ManagedLoadFallsBackToDefaults) {
  CD3DRenderStyle* style = static_cast<CD3DRenderStyle*>(g_RenderStyleFactory.Create());
  CStream* stream = StreamOf({5, 0, 3});
  uint32_t size = 3;
  EXPECT_TRUE(style->Load(stream, &size));
  stream->Release();
  EXPECT_EQ(style->GetPassCount(), 1u);
  EXPECT_EQ(style->GetClipMode(), 2);
  g_RenderStyleFactory.Destroy(style);
}

TEST_F(RenderStyleTest, FirstAlternativeTheDeviceCanDrawWins) {
  StyleAlternative dot3 = OnePass(11);  // dot product: not in the device's caps
  dot3.params = {{7, 1, 0, 2}, {8, 1, 0, 3}, {9, 1, 0, 4}};
  StyleAlternative shader = OnePass(3);  // compiled shader code: the device runs none
  shader.passes[0].has_shader = true;
  shader.passes[0].shader.vertex = 1;
  shader.passes[0].shader.vertex_code[0] = {1, 2, 3, 4};
  StyleAlternative plain = OnePass(9);  // add
  plain.params = {{5, 1, 0, 2}};

  CD3DRenderStyle* style = Load(writers::WriteRenderStyle({dot3, shader, plain}));
  ASSERT_NE(style, nullptr);
  RenderPassDesc pass;
  ASSERT_TRUE(style->GetPass(0, &pass));
  EXPECT_EQ(pass.Stages[0].ColorOp, 9u);
  EXPECT_FALSE(style->GetPassShader(0, nullptr));
  // The table of the rejected alternative is gone, not merged.
  EXPECT_EQ(style->GetParamCount(), 1u);
  EXPECT_EQ(style->FindParamPass(7), -1);
  EXPECT_EQ(style->FindParamPass(5), 0);
  EXPECT_EQ(Load(writers::WriteRenderStyle({dot3})), nullptr);
}

TEST_F(RenderStyleTest, PassesAndParameters) {
  CD3DRenderStyle* style = g_pRenderStyles->CreateRenderStyle(false);
  made.push_back(style);
  EXPECT_EQ(style->GetPassCount(), 0u);
  EXPECT_EQ(style->GetClipMode(), 0);
  RenderPassDesc desc{};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(style->AddPass(desc));
  EXPECT_FALSE(style->AddPass(desc));
  EXPECT_EQ(style->GetPassCount(), 4u);
  EXPECT_FALSE(style->GetPass(4, &desc));

  style->SetDefaults();
  uint8_t entries[4 + 10 * 16] = {1};
  const uint32_t table[][4] = {{0x11, 1, 0, 2}, {0x12, 1, 0, 3}, {0x100, 1, 0, 4}, {0x13, 0, 0, 4}, {0x14, 1, 0, 1}};
  std::memcpy(entries + 4, table, sizeof(table));
  style->SetParams(entries);
  EXPECT_EQ(style->GetParamCount(), 3u);  // zero low key byte and zero target are skipped

  EXPECT_TRUE(style->SetParamFloat(0x11, 1.0f));
  EXPECT_TRUE(style->SetParamFloat(0x12, 0.0f));
  EXPECT_FALSE(style->SetParamFloat(0x14, 1.0f));  // a colour binding takes colours only
  const float colour[4] = {0.0f, 1.0f, 0.0f, 0.5f};
  EXPECT_TRUE(style->SetParamColour(0x14, colour));
  EXPECT_FALSE(style->SetParamFloat(0x99, 1.0f));
  RenderPassDesc pass;
  ASSERT_TRUE(style->GetPass(0, &pass));
  EXPECT_EQ(pass.TextureFactor, 0xFF00FF00u);
}

TEST_F(RenderStyleTest, BuiltInStyles) {
  struct Case {
    int index;
    uint32_t depth, blend, lighting, alpha_test, op0, op1, source1, coords1;
  };
  const Case cases[] = {
      {0, 0, 0, 1, 0, 3, 0, 0, 0},  {1, 0, 0, 1, 0, 3, 0, 0, 0},  {2, 3, 0, 0, 0, 1, 0, 0, 0},
      {3, 1, 10, 0, 0, 5, 0, 0, 0}, {4, 1, 3, 1, 0, 3, 0, 0, 0},  {5, 0, 0, 1, 3, 3, 0, 0, 0},
      {6, 0, 0, 0, 0, 1, 0, 0, 0},  {7, 0, 0, 1, 0, 3, 7, 1, 0},  {8, 0, 0, 1, 0, 3, 9, 2, 4},
      {9, 0, 0, 1, 0, 3, 7, 2, 4},  {15, 0, 0, 1, 0, 3, 0, 0, 0},
  };
  for (const Case& c : cases) {
    CD3DRenderStyle* style = g_pRenderStateMgr->GetBuiltInStyle(c.index);
    ASSERT_NE(style, nullptr) << c.index;
    EXPECT_EQ(style->GetRefCount(), 1);
    RenderPassDesc p;
    ASSERT_TRUE(style->GetPass(0, &p));
    EXPECT_EQ(p.DepthMode, c.depth) << c.index;
    EXPECT_EQ(p.BlendMode, c.blend) << c.index;
    EXPECT_EQ(p.Lighting, c.lighting) << c.index;
    EXPECT_EQ(p.AlphaTest, c.alpha_test) << c.index;
    EXPECT_EQ(p.Stages[0].ColorOp, c.op0) << c.index;
    EXPECT_EQ(p.Stages[1].ColorOp, c.op1) << c.index;
    EXPECT_EQ(p.Stages[1].TextureSource, c.source1) << c.index;
    EXPECT_EQ(p.Stages[1].CoordSource, c.coords1) << c.index;
  }
  EXPECT_EQ(g_pRenderStateMgr->GetBuiltInStyle(16), nullptr);
}

// --- applying passes ---

TEST_F(RenderStyleTest, PassStatesReachTheDevice) {
  struct Case {
    uint32_t blend, depth, cull, alpha_test;
    DWORD enable, src, dst, zenable, zfunc, zwrite, cullmode, atest, afunc;
  };
  const Case cases[] = {
      {0, 0, 0, 0, FALSE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, TRUE, D3DCMP_LESSEQUAL, TRUE, D3DCULL_NONE, FALSE,
       D3DCMP_LESS},
      {1, 1, 1, 3, TRUE, D3DBLEND_ONE, D3DBLEND_ONE, TRUE, D3DCMP_LESSEQUAL, FALSE, D3DCULL_CCW, TRUE, D3DCMP_GREATER},
      {7, 2, 2, 6, TRUE, D3DBLEND_SRCCOLOR, D3DBLEND_ONE, TRUE, D3DCMP_GREATEREQUAL, FALSE, D3DCULL_CW, TRUE,
       D3DCMP_NOTEQUAL},
      {12, 3, 1, 5, TRUE, D3DBLEND_INVSRCALPHA, D3DBLEND_ONE, FALSE, D3DCMP_LESSEQUAL, FALSE, D3DCULL_CCW, TRUE,
       D3DCMP_EQUAL},
      {9, 4, 0, 1, TRUE, D3DBLEND_SRCALPHA, D3DBLEND_ONE, TRUE, D3DCMP_EQUAL, FALSE, D3DCULL_NONE, TRUE, D3DCMP_LESS},
  };
  for (const Case& c : cases) {
    StylePass p = writers::DefaultStylePass();
    p.blend = c.blend;
    p.depth = c.depth;
    p.cull = c.cull;
    p.alpha_test = c.alpha_test;
    p.texture_factor = 0x11223344;
    p.stages[1].color_op = 9;
    p.stages[1].coord_source = 6;
    p.stages[1].address_u = 1;
    p.stages[1].address_v = 3;
    p.stages[1].filter = 0;
    p.stages[1].transform_on = 1;
    p.stages[1].projected = 1;
    CD3DRenderStyle* style = Make(p);
    ASSERT_NE(style, nullptr);
    ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, nullptr));
    auto& rs = Device()->render_states;
    EXPECT_EQ(rs[D3DRS_ALPHABLENDENABLE], c.enable) << c.blend;
    EXPECT_EQ(rs[D3DRS_SRCBLEND], c.src) << c.blend;
    EXPECT_EQ(rs[D3DRS_DESTBLEND], c.dst) << c.blend;
    EXPECT_EQ(rs[D3DRS_ZENABLE], c.zenable) << c.depth;
    EXPECT_EQ(rs[D3DRS_ZFUNC], c.zfunc) << c.depth;
    EXPECT_EQ(rs[D3DRS_ZWRITEENABLE], c.zwrite) << c.depth;
    EXPECT_EQ(rs[D3DRS_CULLMODE], c.cullmode) << c.cull;
    EXPECT_EQ(rs[D3DRS_ALPHATESTENABLE], c.atest) << c.alpha_test;
    EXPECT_EQ(rs[D3DRS_ALPHAFUNC], c.afunc) << c.alpha_test;
    EXPECT_EQ(rs[D3DRS_TEXTUREFACTOR], 0x11223344u);
    EXPECT_EQ(rs[D3DRS_CLIPPING], static_cast<DWORD>(TRUE));
    auto& ts = Device()->stage_states;
    EXPECT_EQ((ts[{1, D3DTSS_COLOROP}]), static_cast<DWORD>(D3DTOP_ADD));
    EXPECT_EQ((ts[{1, D3DTSS_TEXCOORDINDEX}]), 1 | D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    EXPECT_EQ((ts[{1, D3DTSS_ADDRESSU}]), static_cast<DWORD>(D3DTADDRESS_CLAMP));
    EXPECT_EQ((ts[{1, D3DTSS_ADDRESSV}]), static_cast<DWORD>(D3DTADDRESS_MIRRORONCE));
    EXPECT_EQ((ts[{1, D3DTSS_MIPFILTER}]), static_cast<DWORD>(D3DTEXF_NONE));
    EXPECT_EQ((ts[{1, D3DTSS_TEXTURETRANSFORMFLAGS}]), static_cast<DWORD>(D3DTTFF_COUNT3 | D3DTTFF_PROJECTED));
    EXPECT_EQ((ts[{0, D3DTSS_TEXTURETRANSFORMFLAGS}]), static_cast<DWORD>(D3DTTFF_DISABLE));
    EXPECT_EQ(g_pRenderStateMgr->GetRenderState(D3DRS_DESTBLEND), c.dst);
  }
}

TEST_F(RenderStyleTest, MaterialAndConsoleOverrides) {
  StyleAlternative alt = OnePass(3);
  alt.material = {0.1f, 0.2f, 0.3f, 1, 0, 0.4f, 0.5f, 0.6f, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20};
  CD3DRenderStyle* dull = Load(writers::WriteRenderStyle({alt}));
  ASSERT_NE(dull, nullptr);
  Wireframe = 1;
  Gfx_Disable_MipMapping = 1;
  ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(dull, 0, nullptr));
  Wireframe = 0;
  Gfx_Disable_MipMapping = 0;
  const D3DMATERIAL8& m = Device()->material;
  EXPECT_FLOAT_EQ(m.Ambient.r, 0.3f);
  EXPECT_FLOAT_EQ(m.Ambient.b, 0.1f);
  EXPECT_FLOAT_EQ(m.Diffuse.r, 0.6f);
  EXPECT_FLOAT_EQ(m.Power, 0.0f);  // black specular
  EXPECT_EQ(Device()->render_states[D3DRS_SPECULARENABLE], static_cast<DWORD>(FALSE));
  EXPECT_EQ(Device()->render_states[D3DRS_FILLMODE], static_cast<DWORD>(D3DFILL_WIREFRAME));
  EXPECT_EQ((Device()->stage_states[{2, D3DTSS_MIPFILTER}]), static_cast<DWORD>(D3DTEXF_NONE));
  EXPECT_FALSE(g_pRenderStateMgr->ApplyStylePass(dull, 1, nullptr));
  EXPECT_EQ(g_pRenderStateMgr->PreviousStyle(), nullptr);
}

// Each step applies pass 0 of a style; the device's whole state is recorded after each.
using DeviceSnapshot = std::pair<std::map<DWORD, DWORD>, std::map<std::pair<DWORD, DWORD>, DWORD>>;

std::vector<DeviceSnapshot> RunSequence(CRecordingDevice* device, const std::vector<CD3DRenderStyle*>& steps) {
  std::vector<DeviceSnapshot> out;
  g_pRenderStateMgr->ResetDeviceState();
  for (CD3DRenderStyle* s : steps) {
    EXPECT_TRUE(g_pRenderStateMgr->ApplyStylePass(s, 0, nullptr));
    out.push_back({device->render_states, device->stage_states});
  }
  return out;
}

TEST_F(RenderStyleTest, CachingGivesTheSameDeviceStateAsFullSetUp) {
  std::vector<CD3DRenderStyle*> styles;
  for (uint32_t blend : {0u, 1u, 3u}) {
    StylePass p = writers::DefaultStylePass();
    p.blend = blend;
    p.depth = blend % 4;
    p.stages[1].color_op = blend == 1 ? 9 : 0;
    styles.push_back(Make(p));
  }
  for (int i = 2; i < 10; ++i) styles.push_back(g_pRenderStateMgr->GetBuiltInStyle(i));
  std::vector<CD3DRenderStyle*> steps;
  for (int round = 0; round < 3; ++round)
    for (size_t i = 0; i < styles.size(); ++i) {
      steps.push_back(styles[i]);
      steps.push_back(styles[(i * 7 + round) % styles.size()]);
    }
  RSMgr_EnableCaching = 0;
  const auto plain = RunSequence(Device(), steps);
  EXPECT_EQ(g_pRenderStateMgr->CachedTransitionCount(), 0);
  RSMgr_EnableCaching = 1;
  const auto cached = RunSequence(Device(), steps);
  EXPECT_GT(g_pRenderStateMgr->CachedTransitionCount(), 0);
  ASSERT_EQ(plain.size(), cached.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(plain[i].first, cached[i].first) << "render states differ after step " << i;
    EXPECT_EQ(plain[i].second, cached[i].second) << "stage states differ after step " << i;
  }
}

TEST_F(RenderStyleTest, TransitionsAreRecordedOnceAndDroppedWithTheirStyles) {
  StylePass a = writers::DefaultStylePass();
  StylePass b = a;
  b.blend = 1;
  StylePass c = a;
  c.depth = 2;
  CD3DRenderStyle* p = Make(a);
  CD3DRenderStyle* q = Make(b);
  CD3DRenderStyle* r = Make(c);
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  rs.ResetDeviceState();
  ASSERT_TRUE(rs.ApplyStylePass(p, 0, nullptr));
  EXPECT_EQ(rs.CachedTransitionCount(), 0);  // the first pass after a reset is never recorded
  ASSERT_TRUE(rs.ApplyStylePass(q, 0, nullptr));
  EXPECT_EQ(rs.CachedTransitionCount(), 1);
  ASSERT_TRUE(rs.ApplyStylePass(p, 0, nullptr));
  ASSERT_TRUE(rs.ApplyStylePass(q, 0, nullptr));  // replayed: nothing new
  EXPECT_EQ(rs.CachedTransitionCount(), 2);
  ASSERT_TRUE(rs.ApplyStylePass(r, 0, nullptr));
  ASSERT_TRUE(rs.ApplyStylePass(q, 0, nullptr));  // r -> q is a transition of its own
  EXPECT_EQ(rs.CachedTransitionCount(), 4);

  // A cached setter outside a pass forgets the previous pass: the next pass is not recorded.
  rs.SetRenderState(D3DRS_FOGENABLE, TRUE);
  EXPECT_EQ(rs.PreviousStyle(), nullptr);

  ASSERT_TRUE(rs.ApplyStylePass(q, 0, nullptr));  // full set-up, not recorded
  ASSERT_TRUE(rs.ApplyStylePass(r, 0, nullptr));  // q -> r replayed
  ASSERT_TRUE(rs.ApplyStylePass(p, 0, nullptr));  // r -> p recorded
  EXPECT_EQ(rs.CachedTransitionCount(), 5);
  // Rebuilding q drops every transition that names it: only r -> p is left.
  q->CreateShaders();
  EXPECT_EQ(rs.CachedTransitionCount(), 1);
  EXPECT_EQ(rs.PreviousStyle(), p);
  // Destroying r drops the rest.
  made.erase(std::find(made.begin(), made.end(), r));
  g_pRenderStyles->ReleaseRenderStyle(r);
  EXPECT_EQ(rs.CachedTransitionCount(), 0);
}

TEST_F(RenderStyleTest, TexturesComeFromTheCallersList) {
  StylePass pass = writers::DefaultStylePass();
  pass.stages[1].texture_source = 3;
  pass.stages[1].color_op = 3;
  CD3DRenderStyle* style = Make(pass);
  d3d->log.Clear();
  IDirect3DTexture8* t0 = nullptr;
  IDirect3DTexture8* t2 = nullptr;
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t0), D3D_OK);
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t2), D3D_OK);
  CDeviceTexture d0, d2;
  d0.m_pTexture = t0;
  d2.m_pTexture = t2;
  CDeviceTexture* list[4] = {&d0, nullptr, &d2, nullptr};  // a full array: gaps are kept
  ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, list, 4));
  EXPECT_EQ(Device()->textures[0], t0);
  EXPECT_EQ(Device()->textures[1], t2);
  EXPECT_EQ(Device()->textures[2], nullptr);
  t0->Release();
  t2->Release();
}

// A stage already empty is not emptied again at every pass (each call makes the device
// translate its stages anew), but after a reset of the device state each stage is cleared once
// more (by the reset's defaults or the next pass), and a texture set on a stage always goes.
TEST_F(RenderStyleTest, EmptyStagesAreClearedOnceUntilTheDeviceStateIsReset) {
  CD3DRenderStyle* style = Make(writers::DefaultStylePass());
  ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, nullptr));
  d3d->log.Clear();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, nullptr));
  EXPECT_EQ(d3d->log.CountPrefix("SetTexture("), 0);
  d3d->log.Clear();
  g_pRenderStateMgr->ResetDeviceState();
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, nullptr));
  for (int stage = 0; stage < kStyleStages; ++stage)
    EXPECT_EQ(d3d->log.Count("SetTexture(" + std::to_string(stage) + ",0)"), 1) << stage;
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  CDeviceTexture wrapper;
  wrapper.m_pTexture = texture;
  CDeviceTexture* list[1] = {&wrapper};
  ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, list, 1));
  EXPECT_EQ(Device()->textures[0], texture);
  ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, nullptr));
  EXPECT_EQ(Device()->textures[0], nullptr);
  texture->Release();
}

// Game lists hold up to two textures ended by a null. A pass that names textures 3 and 4 must
// not read past that end; ASan reports the over-read on this heap list.
TEST_F(RenderStyleTest, ShortTextureListsAreReadOnlyToTheirEnd) {
  StylePass pass = writers::DefaultStylePass();
  pass.stages[1].texture_source = 2;
  pass.stages[1].color_op = 3;
  pass.stages[2].texture_source = 3;
  pass.stages[2].color_op = 3;
  pass.stages[3].texture_source = 4;
  pass.stages[3].color_op = 3;
  CD3DRenderStyle* style = Make(pass);
  IDirect3DTexture8* t0 = nullptr;
  IDirect3DTexture8* t1 = nullptr;
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &t0), D3D_OK);
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t1), D3D_OK);
  CTexturePalette palette;
  palette.m_PaletteId = 5;
  CDeviceTexture d0, d1;
  d0.m_pTexture = t0;
  d0.m_pPalette = &palette;
  d1.m_pTexture = t1;
  auto list = std::make_unique<CDeviceTexture*[]>(3);
  list[0] = &d0;
  list[1] = &d1;
  list[2] = nullptr;
  for (int round = 0; round < 2; ++round) {  // the full set-up, then again after a reset
    ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, list.get()));
    EXPECT_EQ(Device()->textures[0], t0);
    EXPECT_EQ(Device()->textures[1], t1);
    EXPECT_EQ(Device()->textures[2], nullptr);
    EXPECT_EQ(Device()->textures[3], nullptr);
    EXPECT_EQ(Device()->current_palette, 5u) << "texture 0 brings its palette";
    g_pRenderStateMgr->ResetDeviceState();
  }
  d0.m_pPalette = nullptr;
  t0->Release();
  t1->Release();
}

// A texture the device reports as a cube map.
class CubeTexture : public CRecordingTexture {
 public:
  CubeTexture() : CRecordingTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED) {}
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
};

TEST_F(RenderStyleTest, UnprojectedTransformsCountCoordinatesByTheCallersTexture) {
  StylePass pass = writers::DefaultStylePass();
  pass.stages[0].transform_on = 1;
  pass.stages[0].matrix[0] = 0.5f;
  CD3DRenderStyle* style = Make(pass);
  CRecordingTexture flat(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
  CubeTexture cube;
  CDeviceTexture flat_texture, cube_texture;
  flat_texture.m_pTexture = &flat;
  cube_texture.m_pTexture = &cube;
  CDeviceTexture* flat_list[2] = {&flat_texture, nullptr};
  CDeviceTexture* cube_list[2] = {&cube_texture, nullptr};
  // The same pass again and again: after the first the transition is replayed from the cache.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, flat_list));
    EXPECT_EQ((Device()->stage_states[{0, D3DTSS_TEXTURETRANSFORMFLAGS}]), DWORD(D3DTTFF_COUNT2)) << round;
    ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, cube_list));
    EXPECT_EQ((Device()->stage_states[{0, D3DTSS_TEXTURETRANSFORMFLAGS}]), DWORD(D3DTTFF_COUNT3)) << round;
  }
  EXPECT_EQ(Device()->transforms[D3DTS_TEXTURE0].m[0][0], 0.5f);
  flat_texture.m_pTexture = nullptr;
  cube_texture.m_pTexture = nullptr;
}

}  // namespace
}  // namespace vt_test
