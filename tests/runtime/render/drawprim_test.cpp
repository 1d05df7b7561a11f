#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

class DrawPrimTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_TRUE(Start());
    g_pRenderStateMgr->ResetDeviceState();
    prim.ResetState();
  }
  std::vector<std::string> Draws() const {
    std::vector<std::string> out;
    for (const std::string& l : d3d->log.Lines())
      if (l.rfind("DrawPrimitiveUP", 0) == 0) out.push_back(l);
    return out;
  }
  std::string Up(D3DPRIMITIVETYPE t, int prims, int stride) {
    return "DrawPrimitiveUP(" + std::to_string(t) + "," + std::to_string(prims) + "," + std::to_string(stride) + ")";
  }
  CD3DDrawPrim prim;
};

TEST_F(DrawPrimTest, ScreenSpaceBatches) {
  prim.SetTransformType(kDrawPrimScreen);
  std::vector<TexVertex> v(300, TexVertex{1, 2, 0, 0xFF00FF00u, 0, 0});
  std::vector<DrawPrimTexTriangle> tris(43);
  std::vector<DrawPrimTexQuad> quads(45);
  struct Case {
    const char* what;
    std::function<bool()> draw;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"43 triangles", [&] { return prim.DrawTexTriangles(tris.data(), 43); },
       {Up(D3DPT_TRIANGLELIST, 42, 28), Up(D3DPT_TRIANGLELIST, 1, 28)}},
      {"fan of 126", [&] { return prim.DrawTexFan(v.data(), 126); },
       {Up(D3DPT_TRIANGLEFAN, 123, 28), Up(D3DPT_TRIANGLEFAN, 1, 28)}},
      {"fan of 300", [&] { return prim.DrawTexFan(v.data(), 300); },
       {Up(D3DPT_TRIANGLEFAN, 123, 28), Up(D3DPT_TRIANGLEFAN, 124, 28), Up(D3DPT_TRIANGLEFAN, 51, 28)}},
      // The second batch repeats vertex 123 so its triangles keep their winding.
      {"strip of 130", [&] { return prim.DrawTexStrip(v.data(), 130); },
       {Up(D3DPT_TRIANGLESTRIP, 123, 28), Up(D3DPT_TRIANGLESTRIP, 6, 28)}},
      {"line strip of 126", [&] { return prim.DrawTexLineStrip(v.data(), 126); },
       {Up(D3DPT_LINESTRIP, 124, 28), Up(D3DPT_LINESTRIP, 1, 28)}},
      {"128 points", [&] { return prim.DrawTexPoints(v.data(), 128); },
       {Up(D3DPT_POINTLIST, 127, 28), Up(D3DPT_POINTLIST, 1, 28)}},
      {"2 quads", [&] { return prim.DrawTexQuads(quads.data(), 2); },
       {Up(D3DPT_TRIANGLEFAN, 2, 28), Up(D3DPT_TRIANGLEFAN, 2, 28)}},
      {"3 quads", [&] { return prim.DrawTexQuads(quads.data(), 3); }, {Up(D3DPT_TRIANGLELIST, 6, 28)}},
      {"45 quads", [&] { return prim.DrawTexQuads(quads.data(), 45); },
       {Up(D3DPT_TRIANGLELIST, 42, 28), Up(D3DPT_TRIANGLELIST, 42, 28), Up(D3DPT_TRIANGLELIST, 6, 28)}},
  };
  for (const Case& c : cases) {
    d3d->log.Clear();
    EXPECT_TRUE(c.draw()) << c.what;
    EXPECT_EQ(Draws(), c.expected) << c.what;
  }
}

TEST_F(DrawPrimTest, WorldSpaceSendsTheCallersArray) {
  std::vector<ColorVertex> v(200);
  std::vector<DrawPrimQuad> quads(3);
  d3d->log.Clear();
  EXPECT_TRUE(prim.DrawStrip(v.data(), 200));
  EXPECT_TRUE(prim.DrawQuads(quads.data(), 3));
  EXPECT_EQ(Draws(), (std::vector<std::string>{Up(D3DPT_TRIANGLESTRIP, 198, 16), Up(D3DPT_TRIANGLEFAN, 2, 16),
                                               Up(D3DPT_TRIANGLEFAN, 2, 16), Up(D3DPT_TRIANGLEFAN, 2, 16)}));
  EXPECT_TRUE(d3d->log.Contains("SetVertexShader(66)"));
}

TEST_F(DrawPrimTest, TransformsAreRestoredEvenWhenTheDrawFails) {
  D3DMATRIX projection{};
  projection.m[0][0] = 2.0f;
  projection.m[3][3] = 1.0f;
  g_pRenderStateMgr->SetTransform(D3DTS_PROJECTION, projection);
  prim.SetTransformType(kDrawPrimScreen);
  DrawPrimTexQuad quad{};
  for (bool fail : {false, true}) {
    Device()->fail_draw_primitive_up = fail;
    std::vector<TexVertex> v(10);
    EXPECT_EQ(prim.DrawTexTriangles(reinterpret_cast<DrawPrimTexTriangle*>(v.data()), 3), !fail);
    EXPECT_EQ(Device()->transforms[D3DTS_PROJECTION].m[0][0], 2.0f) << fail;
    EXPECT_EQ(prim.DrawTexQuads(&quad, 1), !fail);
    EXPECT_EQ(Device()->transforms[D3DTS_PROJECTION].m[0][0], 2.0f) << fail;
  }
  Device()->fail_draw_primitive_up = false;
  // Inside a block the transforms stay set until the block ends.
  prim.BeginDrawPrim();
  EXPECT_TRUE(prim.DrawTexQuads(&quad, 1));
  EXPECT_EQ(Device()->transforms[D3DTS_PROJECTION].m[0][0], 1.0f);
  prim.EndDrawPrim();
  EXPECT_EQ(Device()->transforms[D3DTS_PROJECTION].m[0][0], 2.0f);
}

TEST_F(DrawPrimTest, OwnStateAndStyleOverride) {
  DrawPrimTexQuad quad{};
  prim.SetAlphaBlendMode(7);
  prim.SetZBufferMode(2);
  prim.SetColorOp(0);
  prim.SetTransformType(kDrawPrimWorldMatrix);
  CMatrix4x4 world{};
  world.m[0][0] = world.m[1][1] = world.m[2][2] = world.m[3][3] = 1.0f;
  world.m[3][0] = 5.0f;
  prim.SetWorldMatrix(&world);
  ASSERT_TRUE(prim.DrawTexQuads(&quad, 1));
  auto& rs = Device()->render_states;
  EXPECT_EQ(rs[D3DRS_ALPHABLENDENABLE], static_cast<DWORD>(TRUE));
  EXPECT_EQ(rs[D3DRS_SRCBLEND], static_cast<DWORD>(D3DBLEND_SRCALPHA));
  EXPECT_EQ(rs[D3DRS_DESTBLEND], static_cast<DWORD>(D3DBLEND_ONE));
  EXPECT_EQ(rs[D3DRS_ZENABLE], static_cast<DWORD>(FALSE));
  EXPECT_EQ((Device()->stage_states[{0, D3DTSS_COLOROP}]), static_cast<DWORD>(D3DTOP_SELECTARG2));
  EXPECT_EQ((Device()->stage_states[{0, D3DTSS_ALPHAOP}]), static_cast<DWORD>(D3DTOP_DISABLE));
  // An unchanged state is not sent again, and the same world matrix is not sent twice.
  d3d->log.Clear();
  g_pRenderStateMgr->SetTransform(D3DTS_WORLD, *reinterpret_cast<D3DMATRIX*>(&world));
  d3d->log.Clear();
  prim.BeginDrawPrim();
  ASSERT_TRUE(prim.DrawTexQuads(&quad, 1));
  EXPECT_EQ(d3d->log.CountPrefix("SetRenderState"), 0);
  EXPECT_EQ(d3d->log.CountPrefix("SetTransform(256"), 0);
  prim.EndDrawPrim();

  // With a style, the modes are ignored.
  prim.SetRenderStyle(g_pRenderStateMgr->GetBuiltInStyle(0));
  prim.SetAlphaBlendMode(1);
  ASSERT_TRUE(prim.DrawTexQuads(&quad, 1));
  EXPECT_EQ(rs[D3DRS_ALPHABLENDENABLE], static_cast<DWORD>(FALSE));
  prim.ResetState();
}

TEST_F(DrawPrimTest, NoDeviceNoDraw) {
  DrawPrimTexQuad quad{};
  IDirect3DDevice8* saved = g_pDirect3DDevice;
  g_pDirect3DDevice = nullptr;
  EXPECT_FALSE(prim.DrawTexQuads(&quad, 1));
  g_pDirect3DDevice = saved;
}

TEST_F(DrawPrimTest, StageZeroTextureBringsItsPaletteAndStaysBound) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture), D3D_OK);
  CTexturePalette palette;
  palette.m_PaletteId = 9;
  CDeviceTexture device_texture;
  device_texture.m_pTexture = texture;
  device_texture.m_pPalette = &palette;
  DrawPrimTexQuad quad{};
  prim.SetColorOp(1);
  prim.SetDeviceTexture(&device_texture, 0);
  ASSERT_TRUE(prim.DrawTexQuads(&quad, 1));
  EXPECT_EQ(Device()->textures[0], texture);
  EXPECT_EQ(Device()->current_palette, 9u);
  d3d->log.Clear();
  ASSERT_TRUE(prim.DrawTexQuads(&quad, 1));
  EXPECT_EQ(d3d->log.CountPrefix("SetCurrentTexturePalette"), 0) << "the cached palette is not sent again";
  // Colour op 0 without a texture draws vertex colour; the earlier binding stays.
  prim.SetDeviceTexture(nullptr, 0);
  prim.SetColorOp(0);
  ASSERT_TRUE(prim.DrawTexQuads(&quad, 1));
  EXPECT_EQ(Device()->textures[0], texture);
  EXPECT_EQ((Device()->stage_states[{0, D3DTSS_COLOROP}]), static_cast<DWORD>(D3DTOP_SELECTARG2));
  device_texture.m_pPalette = nullptr;
  device_texture.m_pTexture = nullptr;
  texture->Release();
}

}  // namespace
}  // namespace vt_test
