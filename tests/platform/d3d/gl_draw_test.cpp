// What the device draws: probes of a few pixels after screen-space, world-space and lit
// primitives, fog, blending, depth and texture stages.
#include <cstring>

#include "tests/platform/d3d/d3d_test_device.h"

namespace {

class GLDrawTest : public D3DDeviceTest {
 protected:
  void SetUp() override {
    D3DDeviceTest::SetUp();
    ASSERT_TRUE(Open(64, 64));
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Stage 0 as the renderer sets it up: texture times diffuse, colour and alpha.
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    Clear(0);
  }
  void Clear(D3DCOLOR color, float z = 1.0f) {
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, z, 0), D3D_OK);
  }
  // A 2 x 2 texture: red, green on the top row; blue, white below.
  void Make_Four_Texel_Texture(IDirect3DTexture8** texture) {
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture), D3D_OK);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ((*texture)->LockRect(0, &locked, nullptr, 0), D3D_OK);
    auto* row0 = static_cast<DWORD*>(locked.pBits);
    auto* row1 = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + locked.Pitch);
    row0[0] = 0xFFFF0000u;
    row0[1] = 0xFF00FF00u;
    row1[0] = 0xFF0000FFu;
    row1[1] = 0xFFFFFFFFu;
    (*texture)->UnlockRect(0);
  }
  // A triangle in front of the camera, centred on the view axis at depth z, half-size h.
  HRESULT DrawWorldTriangle(float z, float h, D3DCOLOR color) {
    const ColorVertex tri[3] = {{-h, -h, z, color}, {0.0f, h, z, color}, {h, -h, z, color}};
    device_->SetVertexShader(kColorFvf);
    return device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ColorVertex));
  }
};

TEST_F(GLDrawTest, ScreenRectCoversExactlyThePixelsWhoseCentresItContains) {
  ASSERT_EQ(DrawScreenRect(10, 20, 30, 40, D3DCOLOR_XRGB(0, 255, 0)), D3D_OK);
  struct Probe {
    int x, y;
    bool inside;
  };
  const Probe probes[] = {{10, 20, true}, {29, 39, true}, {9, 20, false}, {10, 19, false}, {30, 39, false},
                          {29, 40, false}};
  for (const Probe& p : probes) {
    EXPECT_TRUE(PixelNear(device_, p.x, p.y, p.inside ? Rgb{0, 255, 0} : Rgb{0, 0, 0}, 0)) << p.x << "," << p.y;
  }
}

TEST_F(GLDrawTest, ScreenVerticesInterpolateTheirColours) {
  const ScreenVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFF0000u}, {64, 0, 0.5f, 1, 0xFF0000FFu},
                                {0, 64, 0.5f, 1, 0xFFFF0000u}, {64, 64, 0.5f, 1, 0xFF0000FFu}};
  device_->SetVertexShader(kScreenFvf);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 0, 32, {251, 0, 4}, 4));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {125, 0, 129}, 4));
  EXPECT_TRUE(PixelNear(device_, 63, 32, {4, 0, 251}, 4));
}

TEST_F(GLDrawTest, WorldTriangleLandsWhereTheProjectionPutsIt) {
  UsePerspective();
  // With a 90 degree field of view, a point at (x, y, z) lands at x/z of the half-width.
  const ColorVertex tri[3] = {{0.0f, 0.0f, 4.0f, 0xFFFFFFFFu}, {0.0f, 2.0f, 4.0f, 0xFFFFFFFFu},
                              {2.0f, 0.0f, 4.0f, 0xFFFFFFFFu}};
  device_->SetVertexShader(kColorFvf);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ColorVertex)), D3D_OK);
  // +x is right and +y is up: the triangle fills the upper right quadrant's lower left half.
  EXPECT_TRUE(PixelNear(device_, 36, 28, {255, 255, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 28, 28, {0, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 36, 36, {0, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 47, 17, {0, 0, 0}, 0));
}

TEST_F(GLDrawTest, CullModesFollowScreenWinding) {
  UsePerspective();
  struct Case {
    DWORD cull;
    bool clockwise_drawn;
    bool counter_clockwise_drawn;
  };
  const Case cases[] = {{D3DCULL_CCW, true, false}, {D3DCULL_CW, false, true}, {D3DCULL_NONE, true, true}};
  // Seen on screen (y down): left-bottom, top, right-bottom is clockwise.
  const ColorVertex clockwise[3] = {{-1, -1, 3, 0xFFFFFFFFu}, {0, 1, 3, 0xFFFFFFFFu}, {1, -1, 3, 0xFFFFFFFFu}};
  const ColorVertex counter[3] = {clockwise[0], clockwise[2], clockwise[1]};
  device_->SetVertexShader(kColorFvf);
  for (const Case& c : cases) {
    device_->SetRenderState(D3DRS_CULLMODE, c.cull);
    Clear(0);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(ColorVertex));
    EXPECT_EQ(ReadPixel(device_, 32, 32).r == 255, c.clockwise_drawn) << "cull " << c.cull;
    Clear(0);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(ColorVertex));
    EXPECT_EQ(ReadPixel(device_, 32, 32).r == 255, c.counter_clockwise_drawn) << "cull " << c.cull;
  }
}

TEST_F(GLDrawTest, ClearedDepthIsOneAndDepthTestsHonourIt) {
  // Screen z 0.999 passes LESSEQUAL against a depth of 1.0, and fails against 0.5.
  ASSERT_EQ(DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(255, 255, 0), 0.999f), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 255, 0}, 0));
  Clear(D3DCOLOR_XRGB(0, 0, 0), 0.5f);
  DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(255, 255, 0), 0.999f);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 0, 0}, 0));
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
  DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(255, 255, 0), 0.999f);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 255, 0}, 0));
}

TEST_F(GLDrawTest, NearerGeometryHidesFartherWhateverTheOrder) {
  UsePerspective();
  DrawWorldTriangle(3.0f, 1.0f, 0xFFFF0000u);
  DrawWorldTriangle(6.0f, 2.0f, 0xFF0000FFu);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 0, 0}, 0));
}

TEST_F(GLDrawTest, ClearWithRectanglesTouchesOnlyThoseRectanglesInsideTheViewport) {
  const D3DRECT rects[2] = {{0, 0, 8, 8}, {60, 60, 80, 80}};
  ASSERT_EQ(device_->Clear(2, rects, D3DCLEAR_TARGET, D3DCOLOR_XRGB(255, 255, 255), 1.0f, 0), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 7, 7, {255, 255, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 8, 8, {0, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 63, 63, {255, 255, 255}, 0));
  const D3DVIEWPORT8 vp = {16, 16, 16, 16, 0.0f, 1.0f};
  ASSERT_EQ(device_->SetViewport(&vp), D3D_OK);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
  EXPECT_TRUE(PixelNear(device_, 16, 16, {0, 0, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 15, 16, {0, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 32, 31, {0, 0, 0}, 0));
}

TEST_F(GLDrawTest, DirectionalLightShadesByTheAngleToTheNormalAndAmbientAdds) {
  UsePerspective();
  device_->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DMATERIAL8 material = {};
  material.Diffuse = {1.0f, 0.0f, 0.0f, 1.0f};
  material.Ambient = {0.0f, 0.0f, 1.0f, 1.0f};
  device_->SetMaterial(&material);
  D3DLIGHT8 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  light.Direction = {0.0f, 0.0f, 1.0f};  // into the screen, onto a surface facing the camera
  device_->SetLight(0, &light);
  device_->LightEnable(0, TRUE);
  const LitVertex tri[3] = {{-2, -2, 3, 0, 0, -1}, {0, 2, 3, 0, 0, -1}, {2, -2, 3, 0, 0, -1}};
  device_->SetVertexShader(kLitFvf);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(LitVertex)), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 0, 0}));

  // A light at 60 degrees gives half; the ambient colour adds the material's ambient.
  light.Direction = {0.0f, 0.8660254f, 0.5f};
  device_->SetLight(0, &light);
  device_->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(0, 0, 128));
  Clear(0);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(LitVertex));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {128, 0, 128}, 4));

  device_->LightEnable(0, FALSE);
  device_->SetRenderState(D3DRS_AMBIENT, 0);
  Clear(D3DCOLOR_XRGB(0, 255, 0));
  device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(LitVertex));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 0, 0}, 0));
}

TEST_F(GLDrawTest, PointLightFollowsTheViewMatrix) {
  UsePerspective();
  device_->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DMATERIAL8 material = {};
  material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  device_->SetMaterial(&material);
  D3DLIGHT8 light = {};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  light.Position = {0.0f, 0.0f, -100.0f};
  light.Range = 1000.0f;
  light.Attenuation0 = 1.0f;
  device_->SetLight(0, &light);
  device_->LightEnable(0, TRUE);
  // The camera moves back by 10 along z. Lights are placed in world space: a light at world z
  // -100 shines on the front of a surface at world z 3 facing -z; one at world z 5 is behind it
  // (it would be in front if its position were taken in view space).
  D3DMATRIX view = {};
  for (int i = 0; i < 4; ++i) view.m[i][i] = 1.0f;
  view.m[3][2] = 10.0f;
  device_->SetTransform(D3DTS_VIEW, &view);
  const LitVertex tri[3] = {{-4, -4, 3, 0, 0, -1}, {0, 4, 3, 0, 0, -1}, {4, -4, 3, 0, 0, -1}};
  device_->SetVertexShader(kLitFvf);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(LitVertex));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 255, 255}, 2));
  // Behind the surface (facing away from it) the light gives nothing.
  light.Position = {0.0f, 0.0f, 5.0f};
  device_->SetLight(0, &light);
  Clear(0);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(LitVertex));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 0, 0}, 0));
}

// Between draws only the world matrix changes, as when objects move: each draw lands where its
// own matrix puts it, its normals turn with it, and the light stays where it was.
TEST_F(GLDrawTest, EachDrawTakesTheWorldMatrixSetBeforeIt) {
  UsePerspective();  // 90 degrees: at depth 5 one unit is 6.4 pixels
  device_->SetRenderState(D3DRS_LIGHTING, TRUE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  D3DMATERIAL8 material = {};
  material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  device_->SetMaterial(&material);
  D3DLIGHT8 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  light.Direction = {0.0f, 0.0f, 1.0f};
  device_->SetLight(0, &light);
  device_->LightEnable(0, TRUE);
  Clear(D3DCOLOR_XRGB(0, 0, 255));
  const LitVertex square[4] = {{-0.5f, -0.5f, 0, 0, 0, -1}, {-0.5f, 0.5f, 0, 0, 0, -1},
                               {0.5f, -0.5f, 0, 0, 0, -1}, {0.5f, 0.5f, 0, 0, 0, -1}};
  device_->SetVertexShader(kLitFvf);
  struct Placement {
    float x;
    bool turned;  // half a turn about y: the square faces away from the light
    int probe_x;
    Rgb want;
  };
  const Placement placements[] = {{-1.5f, false, 22, {255, 255, 255}}, {1.5f, true, 42, {0, 0, 0}},
                                  {0.0f, false, 32, {255, 255, 255}}};
  for (const Placement& p : placements) {
    D3DMATRIX world = {};
    world.m[0][0] = p.turned ? -1.0f : 1.0f;
    world.m[1][1] = 1.0f;
    world.m[2][2] = p.turned ? -1.0f : 1.0f;
    world.m[3][0] = p.x;
    world.m[3][2] = 5.0f;
    world.m[3][3] = 1.0f;
    device_->SetTransform(D3DTS_WORLD, &world);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, square, sizeof(LitVertex)), D3D_OK);
  }
  for (const Placement& p : placements) EXPECT_TRUE(PixelNear(device_, p.probe_x, 32, p.want, 2)) << p.x;
  EXPECT_TRUE(PixelNear(device_, 12, 32, {0, 0, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 27, 32, {0, 0, 255}, 0));
}

TEST_F(GLDrawTest, LinearTableFogMixesByViewDepth) {
  UsePerspective();
  device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device_->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  device_->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(0, 0, 255));
  struct Case {
    float depth;
    Rgb want;
  };
  // Start 2, end 10: depth 6 is half fogged, depth 2 clear, depth 10 fully fogged.
  device_->SetRenderState(D3DRS_FOGSTART, 0x40000000u);  // 2.0f
  device_->SetRenderState(D3DRS_FOGEND, 0x41200000u);    // 10.0f
  const Case cases[] = {{2.0f, {255, 0, 0}}, {6.0f, {128, 0, 127}}, {10.0f, {0, 0, 255}}};
  for (const Case& c : cases) {
    Clear(0);
    DrawWorldTriangle(c.depth, c.depth, 0xFFFF0000u);
    EXPECT_TRUE(PixelNear(device_, 32, 36, c.want, 4)) << "depth " << c.depth;
  }
  // A ramp whose start and end meet has no length and fogs nothing.
  device_->SetRenderState(D3DRS_FOGSTART, 0u);
  device_->SetRenderState(D3DRS_FOGEND, 0u);
  Clear(0);
  DrawWorldTriangle(6.0f, 6.0f, 0xFFFF0000u);
  EXPECT_TRUE(PixelNear(device_, 32, 36, {255, 0, 0}, 0)) << "empty ramp";
  Clear(0);
  DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(255, 0, 0));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 0, 0}, 0)) << "empty ramp, screen space";
  device_->SetRenderState(D3DRS_FOGENABLE, FALSE);
  Clear(0);
  DrawWorldTriangle(10.0f, 10.0f, 0xFFFF0000u);
  EXPECT_TRUE(PixelNear(device_, 32, 36, {255, 0, 0}, 0));
}

TEST_F(GLDrawTest, AlphaBlendAndAlphaTest) {
  DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(255, 0, 0));
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  DrawScreenRect(0, 0, 32, 64, D3DCOLOR_ARGB(128, 0, 0, 255), 0.4f);
  EXPECT_TRUE(PixelNear(device_, 16, 32, {127, 0, 128}, 2));
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  DrawScreenRect(32, 0, 64, 64, D3DCOLOR_ARGB(0, 0, 255, 0), 0.4f);
  EXPECT_TRUE(PixelNear(device_, 48, 32, {255, 255, 0}, 0));

  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  Clear(0);
  DrawScreenRect(0, 0, 32, 64, D3DCOLOR_ARGB(0x80, 255, 255, 255));
  DrawScreenRect(32, 0, 64, 64, D3DCOLOR_ARGB(0x81, 255, 255, 255));
  EXPECT_TRUE(PixelNear(device_, 16, 32, {0, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 32, {255, 255, 255}, 0));
}

TEST_F(GLDrawTest, StencilMasksLaterDrawing) {
  device_->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0);
  device_->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  device_->SetRenderState(D3DRS_STENCILREF, 1);
  device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
  device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
  DrawScreenRect(0, 0, 32, 64, D3DCOLOR_XRGB(255, 0, 0));
  device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
  device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
  device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
  DrawScreenRect(0, 0, 64, 64, D3DCOLOR_XRGB(0, 255, 0));
  EXPECT_TRUE(PixelNear(device_, 16, 32, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 32, {0, 0, 0}, 0));
}

TEST_F(GLDrawTest, VertexAndIndexBuffersDrawAndBadIndicesAreRefused) {
  IDirect3DVertexBuffer8* vb = nullptr;
  ASSERT_EQ(device_->CreateVertexBuffer(4 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, kScreenFvf,
                                        D3DPOOL_DEFAULT, &vb),
            D3D_OK);
  BYTE* data = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
  const ScreenVertex quad[4] = {{0, 0, 0.5f, 1, 0xFF00FF00u}, {32, 0, 0.5f, 1, 0xFF00FF00u},
                                {0, 32, 0.5f, 1, 0xFF00FF00u}, {32, 32, 0.5f, 1, 0xFF00FF00u}};
  std::memcpy(data, quad, sizeof quad);
  ASSERT_EQ(vb->Unlock(), D3D_OK);
  IDirect3DIndexBuffer8* ib = nullptr;
  ASSERT_EQ(device_->CreateIndexBuffer(8 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib),
            D3D_OK);
  ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
  const WORD indices[8] = {0, 1, 2, 2, 1, 3, 0, 9};
  std::memcpy(data, indices, sizeof indices);
  ib->Unlock();

  device_->SetVertexShader(kScreenFvf);
  ASSERT_EQ(device_->SetStreamSource(0, vb, sizeof(ScreenVertex)), D3D_OK);
  ASSERT_EQ(device_->SetIndices(ib, 0), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 4, 4, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 28, 28, {0, 0, 0}, 0));
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 1), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 28, 28, {0, 255, 0}, 0));

  // Index 9 and start vertices past the end are refused rather than read.
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_LINELIST, 0, 4, 6, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 6, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetIndices(ib, 2), D3D_OK);
  EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 2, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(vb->Lock(0, 4 * sizeof(ScreenVertex) + 1, &data, 0), D3DERR_INVALIDCALL);

  // Drawing from user memory unbinds stream 0.
  DrawScreenRect(0, 0, 1, 1, 0);
  IDirect3DVertexBuffer8* bound = nullptr;
  UINT stride = 0;
  device_->GetStreamSource(0, &bound, &stride);
  EXPECT_EQ(bound, nullptr);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  device_->SetIndices(nullptr, 0);
  vb->Release();
  ib->Release();
}

TEST_F(GLDrawTest, DrawsNeedAVertexFormatAndAStrideThatHoldsIt) {
  const ScreenVertex tri[3] = {};
  ASSERT_EQ(device_->SetVertexShader(0), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ScreenVertex)), D3DERR_INVALIDCALL);
  device_->SetVertexShader(kScreenFvf);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, 8), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(9), 1, tri, sizeof(ScreenVertex)),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetVertexShader(0x101), D3DERR_INVALIDCALL);
  DWORD handle = 1;
  EXPECT_TRUE(FAILED(device_->CreateVertexShader(nullptr, nullptr, &handle, 0)));
  EXPECT_EQ(handle, 0u);
}

TEST_F(GLDrawTest, TexturedQuadSamplesTexelsWithPointFiltering) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_NO_FATAL_FAILURE(Make_Four_Texel_Texture(&texture));
  device_->SetTexture(0, texture);
  const TexVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFFu, 0, 0}, {64, 0, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                             {0, 64, 0.5f, 1, 0xFFFFFFFFu, 0, 1}, {64, 64, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
  device_->SetVertexShader(kTexFvf);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex)), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 16, 16, {255, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 16, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 16, 48, {0, 0, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 48, {255, 255, 255}, 0));

  // Stage 0 taking the texture factor ignores the texture.
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device_->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_XRGB(10, 20, 30));
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex));
  EXPECT_TRUE(PixelNear(device_, 16, 16, {10, 20, 30}, 1));
  // Disabling stage 0 leaves the diffuse colour.
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
  const TexVertex grey[4] = {{0, 0, 0.5f, 1, 0xFF404040u, 0, 0}, {64, 0, 0.5f, 1, 0xFF404040u, 1, 0},
                             {0, 64, 0.5f, 1, 0xFF404040u, 0, 1}, {64, 64, 0.5f, 1, 0xFF404040u, 1, 1}};
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, grey, sizeof(TexVertex));
  EXPECT_TRUE(PixelNear(device_, 48, 48, {64, 64, 64}, 1));
  device_->SetTexture(0, nullptr);
  texture->Release();
}

// Point sprites give texture coordinates to points alone: a quad drawn while the sprite state
// is still on (as a sprite array leaves it) samples its own coordinates, and a point drawn
// with it still runs the texture over its square.
TEST_F(GLDrawTest, PointSpritesLeaveOtherPrimitivesTheirOwnTextureCoordinates) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_NO_FATAL_FAILURE(Make_Four_Texel_Texture(&texture));
  device_->SetTexture(0, texture);
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_POINTSIZE, 0x41800000u);  // 16.0f
  device_->SetVertexShader(kTexFvf);
  const TexVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFFu, 0, 0}, {64, 0, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                             {0, 64, 0.5f, 1, 0xFFFFFFFFu, 0, 1}, {64, 64, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex)), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 16, 16, {255, 0, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 16, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 16, 48, {0, 0, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 48, {255, 255, 255}, 0));

  Clear(0);
  const TexVertex point = {32, 32, 0.5f, 1, 0xFFFFFFFFu, 1, 1};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(TexVertex)), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 27, 27, {255, 0, 0}, 0)) << "the sprite's top left is the texture's";
  EXPECT_TRUE(PixelNear(device_, 37, 37, {255, 255, 255}, 0)) << "the sprite's bottom right is the texture's";
  device_->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
  device_->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(GLDrawTest, PalettedTexturesShowThroughTheCurrentPalette) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture), D3D_OK);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  static_cast<BYTE*>(locked.pBits)[0] = 7;
  texture->UnlockRect(0);
  PALETTEENTRY first[256] = {};
  PALETTEENTRY second[256] = {};
  first[7] = {255, 128, 0, 255};
  second[7] = {0, 0, 200, 255};
  ASSERT_EQ(device_->SetPaletteEntries(3, first), D3D_OK);
  ASSERT_EQ(device_->SetPaletteEntries(4, second), D3D_OK);
  device_->SetTexture(0, texture);
  device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  const TexVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFFu, 0, 0}, {64, 0, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                             {0, 64, 0.5f, 1, 0xFFFFFFFFu, 0, 1}, {64, 64, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
  device_->SetVertexShader(kTexFvf);
  device_->SetCurrentTexturePalette(3);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 128, 0}, 0));
  device_->SetCurrentTexturePalette(4);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex));
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 0, 200}, 0));
  EXPECT_EQ(device_->SetPaletteEntries(8192, first), D3DERR_INVALIDCALL);
  device_->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(GLDrawTest, RenderTargetTexturesReceiveDrawingAndCanBeSampled) {
  IDirect3DTexture8* target = nullptr;
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target),
            D3D_OK);
  IDirect3DSurface8* level = nullptr;
  ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
  IDirect3DSurface8* back = nullptr;
  IDirect3DSurface8* depth = nullptr;
  device_->GetRenderTarget(&back);
  device_->GetDepthStencilSurface(&depth);
  ASSERT_EQ(device_->SetRenderTarget(level, depth), D3D_OK);
  D3DVIEWPORT8 vp = {};
  device_->GetViewport(&vp);
  EXPECT_EQ(vp.Width, 16u);
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
  DrawScreenRect(0, 0, 8, 16, D3DCOLOR_XRGB(255, 0, 255));
  ASSERT_EQ(device_->SetRenderTarget(back, depth), D3D_OK);
  level->Release();
  back->Release();
  depth->Release();

  device_->SetTexture(0, target);
  const TexVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFFu, 0, 0}, {64, 0, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                             {0, 64, 0.5f, 1, 0xFFFFFFFFu, 0, 1}, {64, 64, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
  device_->SetVertexShader(kTexFvf);
  device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex));
  EXPECT_TRUE(PixelNear(device_, 10, 10, {255, 0, 255}, 0));
  EXPECT_TRUE(PixelNear(device_, 54, 10, {0, 0, 0}, 0));
  device_->SetTexture(0, nullptr);
  target->Release();
}

}  // namespace
