// The warm-up of render styles on the real OpenGL-backed device: what it draws, that no pixel
// of the frame changes, that the transforms, lights and fog it borrows come back, and that a
// style pass it warmed is no new draw state when the game draws it.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/system/clock.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/gl_render_window.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

DWORD Bits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(WarmUpVertexFormats, FollowLightingAndCoordinateSets) {
  struct Case {
    bool lighting;
    int sets;
    std::vector<uint32_t> formats;
  };
  // A pass that reads no coordinate set is drawn with none and with one, as models and the
  // drawing helper's textured shapes carry one whatever the pass reads.
  const Case cases[] = {
      {true, 1, {D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1}},
      {true, 0,
       {D3DFVF_XYZ | D3DFVF_NORMAL, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
        D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1}},
      {false, 0,
       {D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, D3DFVF_XYZ | D3DFVF_NORMAL,
        D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
        D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1}},
      {false, 2,
       {D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX2, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2,
        D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2}},
      {false, 9, {D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX4, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX4,
                  D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX4}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Warm_Up_Vertex_Formats(c.lighting, c.sets), c.formats) << c.lighting << " " << c.sets;
}

class RenderStateWarmUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRendererCvars();
    CD3DShell::SetCreateFunction(nullptr);
    window = Open_GL_Test_Window("warm up", kWidth, kHeight);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ASSERT_TRUE(Start_Render_Device_On(window, kWidth, kHeight));
    g_D3DDrawPrim.ResetState();
    g_D3DDrawPrim.SetTransformType(kDrawPrimScreen);
  }

  void TearDown() override {
    for (CD3DRenderStyle* s : styles) g_pRenderStyles->ReleaseRenderStyle(s);
    g_D3DDrawPrim.ResetState();
    g_pRenderDevice->ReleaseDevice();
    Close_GL_Test_Window(window);
  }

  CD3DRenderStyle* Style(const std::function<void(RenderPassDesc&)>& edit) {
    return Make_Test_Style(styles, edit);
  }

  std::vector<uint8_t> Read_Back() {
    CMemoryStream stream;
    uint32_t width = 0, height = 0;
    const ReadBackRequest request{&stream, kReadBackFourBytes, &width, &height};
    EXPECT_TRUE(g_pRenderDevice->ReadBackBuffer(&request));
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    stream.SeekTo(0);
    EXPECT_EQ(stream.Read(pixels.data(), uint32_t(pixels.size())), pixels.size());
    return pixels;
  }

  void Draw_Quad(uint32_t colour) {
    DrawPrimTexQuad q{};
    g_D3DDrawPrim.QuadSetRect(&q, 20, 20, 60, 40);
    g_D3DDrawPrim.QuadSetColor(&q, colour);
    ASSERT_TRUE(g_D3DDrawPrim.DrawTexQuads(&q, 1));
  }

  // Runs body inside a scene in which the device counts the draw states it meets.
  void In_Counting_Scene(const std::function<void()>& body) {
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    ASSERT_TRUE(g_pRenderDevice->BeginScene());
    ASSERT_TRUE(D3D8Test_CountDrawStates(g_pDirect3DDevice, true));
    body();
    D3D8Test_CountDrawStates(g_pDirect3DDevice, false);
    ASSERT_TRUE(g_pRenderDevice->EndScene());
  }

  CDeviceTexture* Make_White_Texture() {
    std::vector<uint32_t> white(16, 0xFFFFFFFFu);
    return g_pRenderDevice->CreateTexture(white.data(), 4, 4, 1, 0, 0, nullptr);
  }

  // The world's fog and one directional light, as the game draws its world.
  void Use_World_Context() {
    CRenderStateMgr& states = *g_pRenderStateMgr;
    states.SetRenderState(D3DRS_FOGENABLE, TRUE);
    states.SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    states.SetRenderState(D3DRS_FOGSTART, Bits(10.0f));
    states.SetRenderState(D3DRS_FOGEND, Bits(100.0f));
    D3DLIGHT8 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, -1, 0};
    states.Lights[0] = light;
    states.LightEnabled[0] = 1;
    g_pDirect3DDevice->SetLight(0, &light);
    g_pDirect3DDevice->LightEnable(0, TRUE);
  }

  // One triangle of zeros in the format, with whatever state is set.
  void Draw_Triangle(DWORD fvf) {
    const float vertices[3 * 16] = {};
    UINT stride = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW ? 16 : 12;
    if (fvf & D3DFVF_NORMAL) stride += 12;
    if (fvf & D3DFVF_DIFFUSE) stride += 4;
    stride += 8 * ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    ASSERT_TRUE(g_pRenderStateMgr->SetVertexShader(fvf));
    ASSERT_EQ(g_pDirect3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, stride), D3D_OK);
    g_pRenderStateMgr->SetStreamSource(0, nullptr, 0);
  }

  SDL_Window* window = nullptr;
  std::vector<CD3DRenderStyle*> styles;
};

// A lit textured pass: three texture lists (none, one level, a chain) times two formats, with
// the fog on, normals as they come and renormalised; an unlit untextured one: the empty list
// times six formats (no coordinate set and one), fog on and off.
TEST_F(RenderStateWarmUpTest, DrawsEachPassInItsFormatsAndChangesNoPixel) {
  CD3DRenderStyle* lit = Style([](RenderPassDesc& p) {
    p.Lighting = 1;
    p.Stages[0].TextureSource = 1;
  });
  CD3DRenderStyle* glow = Style([](RenderPassDesc& p) {
    p.Lighting = 0;
    p.BlendMode = 1;
    for (TextureStageDesc& stage : p.Stages) stage.TextureSource = 0;
    p.Stages[0].ColorOp = 2;  // select the diffuse colour
    p.Stages[0].ColorArg1 = 0;
    p.Stages[0].AlphaOp = 2;
    p.Stages[0].AlphaArg1 = 0;
  });
  ASSERT_NE(lit, nullptr);
  ASSERT_NE(glow, nullptr);
  RenderPassDesc glow_pass;
  ASSERT_TRUE(glow->GetPass(0, &glow_pass));
  ASSERT_EQ(StyleTextureOp(glow_pass.Stages[1].ColorOp), static_cast<uint32_t>(D3DTOP_DISABLE))
      << "the default style's second stage is off";

  ASSERT_TRUE(g_pRenderDevice->Begin_Render());
  ASSERT_TRUE(g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, 0x00203040, 0));
  ASSERT_TRUE(g_pRenderDevice->BeginScene());
  Draw_Quad(0xFFFF0000u);
  CRenderStateMgr& states = *g_pRenderStateMgr;
  states.SetRenderState(D3DRS_FOGENABLE, FALSE);
  states.SetRenderState(D3DRS_FOGSTART, Bits(5.0f));
  states.SetRenderState(D3DRS_FOGEND, Bits(5.0f));
  const D3DMATRIX world = {{{3, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 3, 0}, {1, 2, 3, 1}}};
  states.SetTransform(D3DTS_WORLD, world);
  const uint8_t light_on = states.LightEnabled[0];
  const std::vector<uint8_t> before = Read_Back();

  const Warm_Up_Counts counts = Warm_Up_Render_Styles({lit, glow, nullptr, lit});
  EXPECT_EQ(counts.styles, 2);
  EXPECT_EQ(counts.passes, 2);
  EXPECT_EQ(counts.draws, 3 * 2 * 2 + 6 * 2);
  EXPECT_EQ(counts.drawers, 0) << "drawers belong to the warm-up of everything held";
  EXPECT_EQ(Read_Back(), before) << "the warm-up drew into the frame";

  EXPECT_EQ(states.GetRenderState(D3DRS_FOGENABLE), static_cast<DWORD>(FALSE));
  EXPECT_EQ(states.GetRenderState(D3DRS_FOGSTART), Bits(5.0f));
  EXPECT_EQ(states.GetRenderState(D3DRS_FOGEND), Bits(5.0f));
  ASSERT_NE(states.GetTransform(D3DTS_WORLD), nullptr);
  EXPECT_EQ(std::memcmp(states.GetTransform(D3DTS_WORLD), &world, sizeof world), 0);
  EXPECT_EQ(states.LightEnabled[0], light_on);
  BOOL device_light = TRUE;
  g_pDirect3DDevice->GetLightEnable(0, &device_light);
  EXPECT_EQ(device_light != FALSE, light_on != 0);

  // Drawing goes on as usual afterwards.
  Draw_Quad(0xFF00FF00u);
  const std::vector<uint8_t> after = Read_Back();
  const uint8_t* p = &after[(static_cast<size_t>(40) * kWidth + 50) * 4];
  EXPECT_EQ(p[2], 255) << "green after the warm-up";
  ASSERT_TRUE(g_pRenderDevice->EndScene());
}

// The pass the warm-up drew is no new draw state for a draw of the same kind; a style it never
// saw is.
TEST_F(RenderStateWarmUpTest, AWarmedPassIsNoNewStateWhenDrawn) {
  CD3DRenderStyle* warmed = Style([](RenderPassDesc& p) {
    p.Lighting = 0;
    p.BlendMode = 3;
    p.Stages[0].TextureSource = 1;
  });
  CD3DRenderStyle* cold = Style([](RenderPassDesc& p) {
    p.Lighting = 0;
    p.BlendMode = 9;
    p.Stages[0].TextureSource = 1;
  });
  ASSERT_NE(warmed, nullptr);
  ASSERT_NE(cold, nullptr);
  const uint32_t white[16] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                              0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                              0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  CDeviceTexture* texture = g_pRenderDevice->CreateTexture(white, 4, 4, 1, 0, 0, nullptr);
  ASSERT_NE(texture, nullptr);
  CRenderStateMgr& states = *g_pRenderStateMgr;
  // The world's fog, as the warm-up draws it.
  states.SetRenderState(D3DRS_FOGENABLE, TRUE);
  states.SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  states.SetRenderState(D3DRS_FOGSTART, Bits(10.0f));
  states.SetRenderState(D3DRS_FOGEND, Bits(100.0f));
  In_Counting_Scene([&] {
    Warm_Up_Render_Styles({warmed});

    struct Vertex {
      float x, y, z, rhw;
      uint32_t colour;
      float u, v;
    };
    const Vertex quad[4] = {{10, 10, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
                            {50, 10, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                            {10, 50, 0.5f, 1, 0xFFFFFFFFu, 0, 1},
                            {50, 50, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
    auto draw = [&](CD3DRenderStyle* style) {
      CDeviceTexture* list[2] = {texture, nullptr};
      ASSERT_TRUE(states.ApplyStylePass(style, 0, list));
      ASSERT_TRUE(states.SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1));
      ASSERT_EQ(g_pDirect3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
      states.SetStreamSource(0, nullptr, 0);
    };
    const UINT seen = D3D8Test_DrawStatesSeen(g_pDirect3DDevice);
    draw(warmed);
    EXPECT_EQ(D3D8Test_DrawStatesSeen(g_pDirect3DDevice), seen) << "the warmed pass met the driver anew";
    draw(cold);
    EXPECT_EQ(D3D8Test_DrawStatesSeen(g_pDirect3DDevice), seen + 1) << "a style never warmed";
  });
  g_pRenderDevice->ReleaseDeviceTexture(texture);
}


// Draws as the game's models and drawing helper make them, after a warm-up of their style: a
// model with one texture for a pass that takes a second one from the list, a scaled model with
// its normals renormalised, a model's or the helper's vertices with a coordinate set that the
// pass does not read. None is a new draw state.
TEST_F(RenderStateWarmUpTest, PassesDrawnAsModelsAndTheHelperSendThemAreWarmed) {
  struct Case {
    const char* what;
    std::function<void(RenderPassDesc&)> edit;
    DWORD fvf;
    BOOL renormalise;
    bool second_texture;
  };
  const Case cases[] = {
      {"a lit pass with a reflection stage reading the second texture, drawn with one",
       [](RenderPassDesc& p) {
         p.Lighting = 1;
         p.Stages[0].TextureSource = 1;
         p.Stages[1].ColorOp = 7;  // blend by the current alpha
         p.Stages[1].ColorArg1 = 2;
         p.Stages[1].ColorArg2 = 0;
         p.Stages[1].TextureSource = 2;
         p.Stages[1].CoordSource = 6;  // camera-space reflection vectors
       },
       D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, FALSE, false},
      {"a lit pass drawn renormalised",
       [](RenderPassDesc& p) {
         p.Lighting = 1;
         p.Stages[0].TextureSource = 1;
       },
       D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, TRUE, true},
      {"an unlit pass of the texture factor alone, drawn from a model with coordinates",
       [](RenderPassDesc& p) {
         p.Lighting = 0;
         p.BlendMode = 3;
         for (TextureStageDesc& stage : p.Stages) stage.TextureSource = 0;
         p.Stages[0].ColorOp = 1;
         p.Stages[0].ColorArg1 = 3;  // the texture factor
         p.Stages[0].AlphaOp = 1;
         p.Stages[0].AlphaArg1 = 3;
       },
       D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, FALSE, false},
      {"an unlit projected pass, drawn by the helper with coordinates",
       [](RenderPassDesc& p) {
         p.Lighting = 0;
         p.BlendMode = 10;  // multiply by the destination
         p.Stages[0].TextureSource = 1;
         p.Stages[0].CoordSource = 5;  // camera-space positions
         p.Stages[0].TransformOn = 1;
         p.Stages[0].Projected = 1;
       },
       D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, FALSE, false},
  };
  CDeviceTexture* texture = Make_White_Texture();
  ASSERT_NE(texture, nullptr);
  CRenderStateMgr& states = *g_pRenderStateMgr;
  Use_World_Context();
  In_Counting_Scene([&] {
    for (const Case& c : cases) {
      CD3DRenderStyle* style = Style(c.edit);
      ASSERT_NE(style, nullptr) << c.what;
      Warm_Up_Render_Styles({style});
      const UINT seen = D3D8Test_DrawStatesSeen(g_pDirect3DDevice);
      CDeviceTexture* list[4] = {texture, c.second_texture ? texture : nullptr, nullptr, nullptr};
      ASSERT_TRUE(states.ApplyStylePass(style, 0, list)) << c.what;
      states.SetRenderState(D3DRS_NORMALIZENORMALS, c.renormalise);
      Draw_Triangle(c.fvf);
      states.SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
      EXPECT_EQ(D3D8Test_DrawStatesSeen(g_pDirect3DDevice), seen) << c.what;
    }
  });
  g_pRenderDevice->ReleaseDeviceTexture(texture);
}

// A drawer offered to the warm-up is called by the warm-up of everything held, not by one of
// chosen styles, and no longer once taken away. The pass it warms rewritten is no new state
// when the game rewrites the style that way and draws it; the style itself stays as it was
// until then. Outside a drawer nothing is warmed.
TEST_F(RenderStateWarmUpTest, ADrawerWarmsRewrittenPassesWithoutChangingTheStyle) {
  CD3DRenderStyle* style = Style([](RenderPassDesc& p) {
    p.Lighting = 0;
    p.BlendMode = 3;
    p.Stages[0].TextureSource = 1;
  });
  ASSERT_NE(style, nullptr);
  auto rewrite = [](uint32_t index, RenderPassDesc& pass) {
    if (index != 0) return;
    pass.BlendMode = 10;
    pass.Stages[0].CoordSource = 5;
    pass.Stages[0].TransformOn = 1;
    pass.Stages[0].Projected = 1;
    pass.Stages[0].AddressU = pass.Stages[0].AddressV = 1;
  };
  RenderPassDesc original;
  ASSERT_TRUE(style->GetPass(0, &original));
  EXPECT_FALSE(Warm_Up_Rewritten_Style(style, rewrite)) << "outside a drawer";

  int calls = 0;
  bool warmed = false;
  const int id = Add_Warm_Up_Drawer([&] {
    ++calls;
    warmed = Warm_Up_Rewritten_Style(style, rewrite);
  });
  ASSERT_GT(id, 0);
  EXPECT_EQ(Add_Warm_Up_Drawer(nullptr), 0);
  CDeviceTexture* texture = Make_White_Texture();
  ASSERT_NE(texture, nullptr);
  Use_World_Context();
  In_Counting_Scene([&] {
    Warm_Up_Render_Styles({style});
    EXPECT_EQ(calls, 0);
    const Warm_Up_Counts counts = Warm_Up_Render_States();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(warmed);
    EXPECT_EQ(counts.drawers, 1);
    RenderPassDesc after;
    ASSERT_TRUE(style->GetPass(0, &after));
    EXPECT_EQ(std::memcmp(&after, &original, sizeof after), 0) << "the warm-up changed the style";

    RenderPassDesc rewritten = original;
    rewrite(0, rewritten);
    ASSERT_TRUE(style->SetPass(0, rewritten));
    style->Rebuild();
    const UINT seen = D3D8Test_DrawStatesSeen(g_pDirect3DDevice);
    CDeviceTexture* list[2] = {texture, nullptr};
    ASSERT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, list));
    const D3DMATRIX moving = {{{0.5f, 0, 0, 0}, {0, 0.5f, 0, 0}, {0, 0, 1, 0}, {0.25f, 0.25f, 0, 1}}};
    g_pRenderStateMgr->SetTransform(D3DTS_TEXTURE0, moving);
    Draw_Triangle(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(D3D8Test_DrawStatesSeen(g_pDirect3DDevice), seen) << "the rewritten pass met the driver anew";

    Remove_Warm_Up_Drawer(id);
    Warm_Up_Render_States();
    EXPECT_EQ(calls, 1) << "a drawer taken away was called";
  });
  g_pRenderDevice->ReleaseDeviceTexture(texture);
}

}  // namespace
}  // namespace vt_test

namespace vt_test {
namespace {

// A microsecond clock that moves one millisecond on at every reading.
uint64_t g_Fake_Us = 0;
uint64_t Fake_Micro_Clock() { return g_Fake_Us += 1000; }

class RenderStateWarmUpRecordTest : public RenderStateWarmUpTest {
 protected:
  void TearDown() override {
    plat::Set_Micro_Clock(nullptr);
    Set_Render_State_Warm_Up(true);
    RenderStateWarmUpTest::TearDown();
  }

  // Draws one screen-space triangle of the style's first pass with the texture, counting what
  // the driver met anew.
  UINT New_States_Drawing(CD3DRenderStyle* style, CDeviceTexture* texture, DWORD fvf) {
    const UINT seen = D3D8Test_DrawStatesSeen(g_pDirect3DDevice);
    CDeviceTexture* list[2] = {texture, nullptr};
    EXPECT_TRUE(g_pRenderStateMgr->ApplyStylePass(style, 0, list));
    Draw_Triangle(fvf);
    return D3D8Test_DrawStatesSeen(g_pDirect3DDevice) - seen;
  }
};

// A pass is warmed once for the device: again, or in another style that differs only in values
// the driver reads while drawing (texture factor, alpha reference), it draws nothing. A pass of
// another kind is warmed; so is the first one on a device made afterwards.
TEST_F(RenderStateWarmUpRecordTest, EachPassIsWarmedOnceForTheDevice) {
  auto blended = [](uint32_t blend, uint32_t factor) {
    return [blend, factor](RenderPassDesc& p) {
      p.Lighting = 0;
      p.BlendMode = blend;
      p.TextureFactor = factor;
      p.AlphaRef = factor & 0xFF;
      p.Stages[0].TextureSource = 1;
    };
  };
  CD3DRenderStyle* first = Style(blended(3, 0));
  CD3DRenderStyle* same_kind = Style(blended(3, 0x80402010u));
  CD3DRenderStyle* other_kind = Style(blended(9, 0));
  ASSERT_TRUE(first && same_kind && other_kind);
  Use_World_Context();
  ASSERT_TRUE(g_pRenderDevice->Begin_Render());
  ASSERT_TRUE(g_pRenderDevice->BeginScene());
  const Warm_Up_Counts warmed = Warm_Up_Render_Styles({first});
  EXPECT_EQ(warmed.passes, 1);
  ASSERT_GT(warmed.draws, 0);
  const Warm_Up_Counts again = Warm_Up_Render_Styles({first, same_kind});
  EXPECT_EQ(again.styles, 0);
  EXPECT_EQ(again.passes, 0);
  EXPECT_EQ(again.draws, 0) << "a warm pass was warmed again";
  EXPECT_EQ(Warm_Up_Render_Styles({other_kind}).draws, warmed.draws) << "a pass of another kind";
  ASSERT_TRUE(g_pRenderDevice->EndScene());

  // The device takes the styles code made with it.
  g_pRenderDevice->ReleaseDevice();
  styles.clear();
  ASSERT_TRUE(Start_Render_Device_On(window, kWidth, kHeight));
  CD3DRenderStyle* remade = Style(blended(3, 0));
  ASSERT_NE(remade, nullptr);
  Use_World_Context();
  ASSERT_TRUE(g_pRenderDevice->Begin_Render());
  ASSERT_TRUE(g_pRenderDevice->BeginScene());
  EXPECT_EQ(Warm_Up_Render_Styles({remade}).draws, warmed.draws) << "a new device starts unwarmed";
  ASSERT_TRUE(g_pRenderDevice->EndScene());
}

// Pictures the overlays show at their own size have sides that are no powers of two, which the
// driver samples another way: a pass drawn in screen space with one is warm too.
TEST_F(RenderStateWarmUpRecordTest, ScreenSpacePassesAreWarmedWithPicturesOfAnySize) {
  CD3DRenderStyle* style = Style([](RenderPassDesc& p) {
    p.Lighting = 0;
    p.BlendMode = 3;
    p.Stages[0].TextureSource = 1;
  });
  ASSERT_NE(style, nullptr);
  std::vector<uint32_t> white(6 * 10, 0xFFFFFFFFu);
  CDeviceTexture* picture = g_pRenderDevice->CreateTexture(white.data(), 6, 10, 1, 0, 0, nullptr);
  ASSERT_NE(picture, nullptr);
  Use_World_Context();
  In_Counting_Scene([&] {
    Warm_Up_Render_Styles({style});
    EXPECT_EQ(New_States_Drawing(style, picture, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), 0u);
  });
  g_pRenderDevice->ReleaseDeviceTexture(picture);
}

// A spread warm-up warms nothing when asked; each slice makes at least one warm draw and goes on
// while its time lasts (the clock here moves a millisecond at each reading), the next slice
// going on where the last one stopped, in the middle of a pass too, until nothing is left.
// Everything is warm then: a warm-up of all held draws nothing more.
TEST_F(RenderStateWarmUpRecordTest, ASpreadWarmUpGoesOnASliceAtATimeUntilNothingIsLeft) {
  CD3DRenderStyle* style = Style([](RenderPassDesc& p) {
    p.Lighting = 1;
    p.Stages[0].TextureSource = 1;
  });
  ASSERT_NE(style, nullptr);
  Use_World_Context();
  ASSERT_TRUE(g_pRenderDevice->Begin_Render());
  ASSERT_TRUE(g_pRenderDevice->BeginScene());
  plat::Set_Micro_Clock(Fake_Micro_Clock);
  EXPECT_FALSE(Warm_Up_Pending());
  EXPECT_EQ(Warm_Up_Render_States_Slice(3000).draws, 0) << "a slice without a spread warm-up";
  Spread_Warm_Up_Render_States();
  ASSERT_TRUE(Warm_Up_Pending());
  int slices = 0;
  int draws = 0;
  while (Warm_Up_Pending() && slices < 10000) {
    const Warm_Up_Counts slice = Warm_Up_Render_States_Slice(2500);
    ++slices;
    draws += slice.draws;
    // The first draw needs no time left; the clock reads 1 and 2 ms before the next ones may
    // follow within the 2.5 ms, then 3 ms.
    EXPECT_GE(slice.draws, 1) << "slice " << slices;
    EXPECT_LE(slice.draws, 3) << "slice " << slices;
  }
  EXPECT_FALSE(Warm_Up_Pending());
  EXPECT_GT(slices, 10) << draws << " draws";
  plat::Set_Micro_Clock(nullptr);
  EXPECT_EQ(Warm_Up_Render_States().draws, 0) << "the spread warm-up left something out";
  EXPECT_EQ(Warm_Up_Render_Styles({style}).draws, 0);
  // Turned off, the game asks for none.
  Set_Render_State_Warm_Up(false);
  Spread_Warm_Up_Render_States();
  EXPECT_FALSE(Warm_Up_Pending());
  ASSERT_TRUE(g_pRenderDevice->EndScene());
}

}  // namespace
}  // namespace vt_test
