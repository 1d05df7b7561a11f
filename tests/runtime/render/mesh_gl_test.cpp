// Meshes and sprite arrays on the real OpenGL-backed device, headless, checked by reading back
// pixels: a renderable fetched by id drawn lit and textured, a terrain grid, sprites as quads
// and as point sprites, and a skinned mesh blended on the processor.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d/d3d8_test_hooks.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/grid_mesh.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"
#include "runtime/src/render/sys/pc/skinned_mesh.h"
#include "runtime/src/render/sys/pc/sprite_array.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/mesh_test_support.h"
#include "tests/runtime/render/gl_render_window.h"
#include "tests/runtime/render/render_fixture.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"

namespace vt_test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr uint32_t kSphereId = 0x22000000;

struct Rgb {
  int r, g, b;
};

CMatrix4x4 Translation(float x, float y, float z) {
  CMatrix4x4 m{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  m.m[3][0] = x;
  m.m[3][1] = y;
  m.m[3][2] = z;
  return m;
}

class MeshPixelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRendererCvars();
    CD3DShell::SetCreateFunction(nullptr);
    window = Open_GL_Test_Window("meshes", kWidth, kHeight);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ASSERT_TRUE(Start_Render_Device_On(window, kWidth, kHeight));
  }

  void TearDown() override {
    for (CD3DRenderStyle* s : styles) g_pRenderStyles->ReleaseRenderStyle(s);
    device_textures.clear();
    g_pRenderDevice->ReleaseDevice();
    if (!dir.empty()) {
      g_pRezMgr->Term();
      std::filesystem::remove_all(dir);
    }
    Close_GL_Test_Window(window);
  }

  // A pack holding the sphere renderable, served by the program's resource manager.
  void ServeSphere() {
    char pattern[] = "/tmp/vt_meshgl_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    std::vector<writers::PackRecord> records(1);
    records[0].id = kSphereId;
    records[0].type = 4;
    records[0].name = "meshes/sphere.rnd";
    records[0].data = writers::BuildRigidRenderable(writers::RigidFromGeometry(writers::MakeSphere(4.5f, 24, 16)));
    records[0].compress = true;
    std::vector<writers::OutFile> files;
    ASSERT_TRUE(writers::BuildPackedSet(0, records, files));
    for (const writers::OutFile& file : files)
      ASSERT_TRUE(writers::WriteWholeFile(writers::JoinPath(dir, file.path), file.bytes));
    ASSERT_TRUE(g_pRezMgr->Init((dir + "/").c_str()));
    g_pRezMgr->SetTypeHandler(kRezType_RenderObject, &g_RenderableFactory);
  }

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
    pixels.assign(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    stream.SeekTo(0);
    ASSERT_EQ(stream.Read(pixels.data(), uint32_t(pixels.size())), pixels.size());
  }

  Rgb At(int x, int y) const {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
    return {p[3], p[2], p[1]};
  }

  // Columns of row y whose pixel is not black.
  std::vector<int> LitColumns(int y) const {
    std::vector<int> columns;
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = At(x, y);
      if (c.r + c.g + c.b > 30) columns.push_back(x);
    }
    return columns;
  }

  CD3DRenderStyle* Style(const std::function<void(RenderPassDesc&)>& edit) {
    return Make_Test_Style(styles, edit);
  }

  CDeviceTexture* SolidTexture(uint32_t argb) {
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(g_pDirect3DDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
      return nullptr;
    device_textures.emplace_back(std::make_unique<CDeviceTexture>());
    device_textures.back()->m_pTexture = texture;
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return nullptr;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = argb;
    texture->UnlockRect(0);
    return device_textures.back().get();
  }

  // A white directional light travelling along (x, y, z), no ambient light.
  static void Light(float x, float y, float z) {
    LightDesc light{};
    light.Kind = kLightDirectional;
    light.Vector = {x, y, z};
    light.Diffuse = {1, 1, 1, 1};
    ASSERT_TRUE(g_pRenderDevice->SetLight(0, &light));
    ASSERT_TRUE(g_pRenderDevice->EnableLight(0, true));
  }

  SDL_Window* window = nullptr;
  std::string dir;
  std::vector<uint8_t> pixels;
  std::vector<CD3DRenderStyle*> styles;
  std::vector<std::unique_ptr<CDeviceTexture>> device_textures;
};

TEST_F(MeshPixelsTest, RenderableFetchedByIdDrawsLitAndTextured) {
  ServeSphere();
  CRenderableObject* sphere = g_pRenderObjects->GetRenderObject(kSphereId);
  ASSERT_NE(sphere, nullptr);
  auto* mesh = static_cast<CRigidMesh*>(sphere->GetRenderObject());
  ASSERT_NE(mesh, nullptr);
  CDeviceTexture* green = SolidTexture(0xFF00FF00u);
  CDeviceTexture* const textures[2] = {green, nullptr};
  CD3DRenderStyle* style = Style([](RenderPassDesc&) {});  // lit, texture times diffuse
  Light(-1, 0, 0);  // lights the sphere's +x side, the right of the screen
  const CMatrix4x4 world = Translation(0, 0, 15);
  Frame([&] { ASSERT_TRUE(mesh->Render(&world, style, textures, nullptr, nullptr)); });
  const Rgb lit = At(kWidth / 2 + 60, kHeight / 2);
  const Rgb unlit = At(kWidth / 2 - 60, kHeight / 2);
  EXPECT_GT(lit.g, 150);
  EXPECT_LT(lit.r, 20) << "the colour comes from the texture";
  EXPECT_LT(lit.b, 20);
  EXPECT_LT(unlit.g, 40);
  EXPECT_GT(lit.g, unlit.g + 100);
  // Outside the sphere nothing was drawn.
  const Rgb corner = At(5, 5);
  EXPECT_EQ(corner.r + corner.g + corner.b, 0);
  // An injected device loss: the frame gate frees and restores every mesh, which then draws
  // the same picture.
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
  EXPECT_FALSE(g_pRenderDevice->Begin_Render());
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICENOTRESET);
  Frame([&] { ASSERT_TRUE(mesh->Render(&world, style, textures, nullptr, nullptr)); });
  D3D8Test_InjectCooperativeLevel(D3D_OK);
  EXPECT_GT(At(kWidth / 2 + 60, kHeight / 2).g, 150);
  EXPECT_LT(At(kWidth / 2 - 60, kHeight / 2).g, 40);
  g_pRenderObjects->ReleaseRenderObject(sphere);
}

// A grid tile tilted up to face the camera: a rotation of -90 degrees about x, 10 ahead.
CMatrix4x4 Tilted_Tile_World() {
  CMatrix4x4 world = Translation(0, 0, 10);
  world.m[1][1] = 0;
  world.m[1][2] = -1;
  world.m[2][1] = 1;
  world.m[2][2] = 0;
  return world;
}

TEST_F(MeshPixelsTest, TerrainGridCoversItsTileAtEveryLevel) {
  CGridMesh* grid = static_cast<CGridMesh*>(g_pD3DRenderDevice->CreateRenderObject(CGridMesh::kType));
  const float extents[3] = {4, 1, 4};
  ASSERT_TRUE(grid->Create(11, 17, 17, extents));
  CD3DRenderStyle* style = Style([](RenderPassDesc& p) { p.CullMode = 0; });
  CDeviceTexture* white = SolidTexture(0xFFFFFFFFu);
  CDeviceTexture* const textures[2] = {white, nullptr};
  const CMatrix4x4 world = Tilted_Tile_World();
  Light(0, 0, 1);
  for (uint16_t level = 0; level < grid->GetLODCount(); ++level) {
    SCOPED_TRACE(level);
    grid->SetLOD(level);
    Frame([&] { ASSERT_TRUE(grid->Render(&world, style, textures)); });
    const std::vector<int> row = LitColumns(kHeight / 2);
    ASSERT_FALSE(row.empty());
    // The 8-wide tile at distance 10 spans the middle 192 columns (a 90-degree view), without
    // holes.
    EXPECT_EQ(static_cast<size_t>(row.back() - row.front() + 1), row.size());
    EXPECT_NEAR(row.front(), kWidth / 2 - 96, 2);
    EXPECT_NEAR(row.back(), kWidth / 2 + 96, 2);
    EXPECT_GT(At(kWidth / 2, kHeight / 2).g, 150);
  }
  g_pD3DRenderDevice->DestroyRenderObject(grid);
}

// In viewer mode the tile is drawn piece by piece around the viewer's cell and gives the same
// picture as the bands, wherever the viewer stands and at every level.
TEST_F(MeshPixelsTest, TerrainGridInViewerModeDrawsTheSameTile) {
  CGridMesh* grid = static_cast<CGridMesh*>(g_pD3DRenderDevice->CreateRenderObject(CGridMesh::kType));
  const float extents[3] = {4, 1, 4};
  ASSERT_TRUE(grid->Create(11, 17, 17, extents));
  // A tile with hills, so that every triangle shows in the shading.
  for (uint32_t i = 0; i < 17; ++i)
    for (uint32_t j = 0; j < 17; ++j) {
      uint8_t* v = grid->GetRowPointer(i) + j * grid->GetVertexStride(0);
      const float y = 0.6f * std::sin(0.9f * static_cast<float>(i)) * std::cos(0.7f * static_cast<float>(j));
      std::memcpy(v + 4, &y, sizeof(y));
      const float normal[3] = {0.5f * std::sin(0.9f * static_cast<float>(j)), 0.8f, 0.3f * std::cos(static_cast<float>(i))};
      std::memcpy(v + grid->GetNormalOffset(0), normal, sizeof(normal));
    }
  grid->UnlockVertices();
  CD3DRenderStyle* style = Style([](RenderPassDesc& p) { p.CullMode = 0; });
  CDeviceTexture* white = SolidTexture(0xFFFFFFFFu);
  CDeviceTexture* const textures[2] = {white, nullptr};
  const CMatrix4x4 world = Tilted_Tile_World();
  Light(0, -0.3f, 1);
  const CVector3 viewers[] = {{0, 0, 10}, {-3.9f, 3.9f, 10}, {3, -2, 10}, {40, 40, -10}};
  for (uint16_t level : {0, 1, 3}) {
    SCOPED_TRACE(level);
    grid->SetLOD(level);
    grid->SetViewer(false, nullptr);
    Frame([&] { ASSERT_TRUE(grid->Render(&world, style, textures)); });
    const std::vector<uint8_t> bands = pixels;
    for (const CVector3& viewer : viewers) {
      SCOPED_TRACE(testing::Message() << viewer.x << "," << viewer.y);
      grid->SetViewer(true, &viewer);
      Frame([&] { ASSERT_TRUE(grid->Render(&world, style, textures)); });
      int lit = 0, different = 0;
      for (size_t k = 0; k < pixels.size(); ++k) {
        if (pixels[k] != 0) ++lit;
        if (std::abs(static_cast<int>(pixels[k]) - static_cast<int>(bands[k])) > 2) ++different;
      }
      EXPECT_GT(lit, kWidth * kHeight / 8) << "the tile is drawn";
      EXPECT_EQ(different, 0);
    }
  }
  g_pD3DRenderDevice->DestroyRenderObject(grid);
}

TEST_F(MeshPixelsTest, SpritesDrawAsQuadsAndAsPointSprites) {
  CD3DRenderStyle* style = Style([](RenderPassDesc& p) { p.Lighting = 0; });
  for (bool points : {false, true}) {
    SCOPED_TRACE(points ? "points" : "quads");
    auto* sprites = static_cast<CSpriteArray*>(g_pD3DRenderDevice->CreateRenderObject(CSpriteArray::kType));
    ASSERT_TRUE(sprites->Init(1.0f, CSpriteArray::kPosition | CSpriteArray::kColour, 10, points));
    ASSERT_EQ(sprites->IsPointSprites(), points);
    ASSERT_TRUE(sprites->Lock());
    // A red sprite on the left and a blue one on the right, both 10 ahead.
    const uint32_t left = sprites->AddSprite();
    const uint32_t right = sprites->AddSprite();
    ASSERT_TRUE(sprites->SetPosition(left, CVector3{-3, 0, 10}));
    ASSERT_TRUE(sprites->SetPosition(right, CVector3{3, 0, 10}));
    ASSERT_TRUE(sprites->SetColor(left, 0xFFFF0000u));
    ASSERT_TRUE(sprites->SetColor(right, 0xFF0000FFu));
    ASSERT_TRUE(sprites->Unlock());
    Frame([&] { ASSERT_TRUE(sprites->Render(nullptr, style, nullptr)); });
    // 3 to each side at distance 10 is 72 columns from the middle in a 90-degree view.
    const Rgb a = At(kWidth / 2 - 72, kHeight / 2);
    const Rgb b = At(kWidth / 2 + 72, kHeight / 2);
    EXPECT_GT(a.r, 200);
    EXPECT_LT(a.b, 30);
    EXPECT_GT(b.b, 200);
    EXPECT_LT(b.r, 30);
    const Rgb middle = At(kWidth / 2, kHeight / 2);
    EXPECT_EQ(middle.r + middle.g + middle.b, 0);
    // A quad of half-size 1 at distance 10 reaches 24 columns either side. A point of size 2
    // scaled by distance (factors 2, 1, 0.5) is 480 x 2 / sqrt(2 + 10 + 50), about 122 across.
    const Rgb near_edge = At(kWidth / 2 - 72 + 18, kHeight / 2);
    const Rgb far_out = At(kWidth / 2 - 72 + 45, kHeight / 2);
    EXPECT_GT(near_edge.r, 200);
    if (points)
      EXPECT_GT(far_out.r, 200);
    else
      EXPECT_EQ(far_out.r, 0);
    g_pD3DRenderDevice->DestroyRenderObject(sprites);
  }
}

// A quad whose four vertices each weigh bones 0 and 1 half and half.
writers::SkinnedMeshDesc BlendedQuad() {
  writers::SkinnedMeshDesc mesh;
  mesh.indexed = true;
  mesh.indexed_bones = 2;
  mesh.first_palette = 0;
  mesh.last_palette = 1;
  mesh.streams.vertex_count = 4;
  mesh.streams.formats[0] = writers::kMeshLitTextured;
  const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
  for (const auto& c : corners) {
    writers::Bytes& out = mesh.streams.vertices[0];
    for (float v : {c[0], c[1], 0.0f, 0.5f}) writers::PutFloat(out, v);  // position, weight of bone 0
    for (uint8_t bone : {0, 1, 0, 0}) out.push_back(bone);
    for (float v : {0.0f, 0.0f, -1.0f, 0.5f, 0.5f}) writers::PutFloat(out, v);  // normal, uv
  }
  mesh.streams.indices = {0, 1, 2, 0, 2, 3};
  return mesh;
}

TEST_F(MeshPixelsTest, SkinnedMeshIsBlendedBetweenItsBonesOnTheProcessor) {
  const writers::Bytes body = writers::BuildSkinnedBody(BlendedQuad());
  auto stream = StreamOf(body);
  auto* mesh = static_cast<CSkinnedMesh*>(g_pD3DRenderDevice->CreateRenderObject(CSkinnedMesh::kType));
  ASSERT_TRUE(mesh->Load(stream.get()));
  CDeviceTexture* red = SolidTexture(0xFFFF0000u);
  CDeviceTexture* const textures[2] = {red, nullptr};
  CD3DRenderStyle* style = Style([](RenderPassDesc& p) { p.Lighting = 0; });
  // Halfway between a bone 4 to the left and one 4 to the right: the quad sits in the middle.
  const CMatrix4x4 bones[2] = {Translation(-4, 0, 10), Translation(4, 0, 10)};
  Frame([&] { ASSERT_TRUE(mesh->Render(bones, style, textures, nullptr, nullptr)); });
  // The device blends in software only: the mesh moved itself there.
  EXPECT_TRUE(mesh->IsSoftwareProcessed());
  EXPECT_GT(At(kWidth / 2, kHeight / 2).r, 200);
  EXPECT_GT(At(kWidth / 2 + 20, kHeight / 2).r, 200);
  EXPECT_EQ(At(kWidth / 2 + 30, kHeight / 2).r, 0);
  EXPECT_EQ(At(kWidth / 2 - 96, kHeight / 2).r, 0) << "drawn with bone 0 alone";
  // All weight on bone 1 moves it 96 columns right.
  const CMatrix4x4 apart[2] = {Translation(4, 0, 10), Translation(4, 0, 10)};
  Frame([&] { ASSERT_TRUE(mesh->Render(apart, style, textures, nullptr, nullptr)); });
  EXPECT_GT(At(kWidth / 2 + 96, kHeight / 2).r, 200);
  EXPECT_EQ(At(kWidth / 2, kHeight / 2).r, 0);
  g_pD3DRenderDevice->DestroyRenderObject(mesh);
}

}  // namespace
}  // namespace vt_test
