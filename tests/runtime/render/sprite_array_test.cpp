// Sprite arrays on the recording device: creation and growth, index checks, locked setters,
// back-to-front order, runs of quads and points.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/sprite_array.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "tests/runtime/render/render_fixture.h"

namespace vt_test {
namespace {

constexpr uint32_t kQuadFlags = CSpriteArray::kPosition | CSpriteArray::kColour | CSpriteArray::kSize;

class SpriteArrayTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_TRUE(Start());
    style = g_pRenderStateMgr->GetBuiltInStyle(0);
    sprites = static_cast<CSpriteArray*>(g_pD3DRenderDevice->CreateRenderObject(CSpriteArray::kType));
    ASSERT_NE(sprites, nullptr);
  }
  void TearDown() override {
    g_pD3DRenderDevice->DestroyRenderObject(sprites);
    RenderFixture::TearDown();
  }

  // Logged draws of one kind: (first argument after the type, count) pairs.
  std::vector<std::string> DrawLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : d3d->log.Lines())
      if (line.rfind("Draw", 0) == 0) lines.push_back(line);
    return lines;
  }

  void AddAt(const std::vector<float>& z) {
    for (float value : z) {
      const uint32_t index = sprites->AddSprite();
      ASSERT_NE(index, 0u);
      ASSERT_TRUE(sprites->SetPosition(index, CVector3{0, 0, value}));
    }
  }

  CD3DRenderStyle* style = nullptr;
  CSpriteArray* sprites = nullptr;
};

TEST_F(SpriteArrayTest, CapacityStartsAtTenAndGrowsByAQuarter) {
  EXPECT_EQ(sprites->AddSprite(), 0u) << "not created yet";
  ASSERT_TRUE(sprites->Init(15.0f, kQuadFlags, 4, false));
  EXPECT_EQ(sprites->GetCapacity(), 10u);
  EXPECT_FALSE(sprites->IsPointSprites());
  for (uint32_t i = 1; i <= 10; ++i) EXPECT_EQ(sprites->AddSprite(), i);
  ASSERT_TRUE(sprites->Lock());
  ASSERT_TRUE(sprites->SetColor(7, 0x80112233u));
  ASSERT_TRUE(sprites->Unlock());
  ASSERT_TRUE(sprites->SetSize(7, 3.5f));
  EXPECT_EQ(sprites->AddSprite(), 11u);
  EXPECT_EQ(sprites->GetCapacity(), 12u);
  EXPECT_EQ(sprites->AddSprite(), 12u);
  EXPECT_EQ(sprites->AddSprite(), 13u);
  EXPECT_EQ(sprites->GetCapacity(), 15u);
  // What the sprites held survives the growth; new ones get the default size.
  uint8_t colour[4];
  ASSERT_TRUE(sprites->GetColor(7, colour));
  EXPECT_EQ(colour[0], 0x33);
  EXPECT_EQ(colour[3], 0x80);
  float size = 0;
  ASSERT_TRUE(sprites->GetSize(7, &size));
  EXPECT_EQ(size, 3.5f);
  ASSERT_TRUE(sprites->GetSize(13, &size));
  EXPECT_EQ(size, 15.0f);
  float uv[8];
  ASSERT_TRUE(sprites->GetTexCoords(14, uv));
  const float corners[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(uv[i], corners[i]) << i;
}

TEST_F(SpriteArrayTest, IndicesOutsideTheArrayAndRepeatedRemovesAreRefused) {
  ASSERT_TRUE(sprites->Init(1.0f, kQuadFlags | CSpriteArray::kFrame, 10, false));
  for (int i = 0; i < 3; ++i) sprites->AddSprite();
  const uint32_t capacity = sprites->GetCapacity();
  ASSERT_TRUE(sprites->Lock());
  for (uint32_t bad : {0u, capacity + 1, 0xFFFFFFFFu}) {
    SCOPED_TRACE(bad);
    CVector3 p{};
    float size = 0;
    uint8_t frame = 0;
    EXPECT_FALSE(sprites->SetPosition(bad, p));
    EXPECT_FALSE(sprites->GetPosition(bad, &p));
    EXPECT_FALSE(sprites->SetColor(bad, 0));
    EXPECT_FALSE(sprites->SetSize(bad, 1));
    EXPECT_FALSE(sprites->GetSize(bad, &size));
    EXPECT_FALSE(sprites->SetFrame(bad, 1));
    EXPECT_FALSE(sprites->GetFrame(bad, &frame));
    EXPECT_FALSE(sprites->IsActive(bad));
    EXPECT_EQ(sprites->RemoveSprite(bad), 3u);
  }
  sprites->Unlock();
  // Removing a sprite twice lowers the count once.
  EXPECT_EQ(sprites->RemoveSprite(2), 2u);
  EXPECT_EQ(sprites->RemoveSprite(2), 2u);
  EXPECT_EQ(sprites->RemoveSprite(capacity), 2u) << "an inactive sprite";
  // The active count never passes the capacity.
  sprites->SetActiveCount(1000);
  EXPECT_EQ(sprites->GetActiveCount(), capacity);
  EXPECT_TRUE(sprites->IsActive(capacity));
  // Colour needs the lock; size and position of quads do not.
  EXPECT_FALSE(sprites->SetColor(1, 0xFFFFFFFFu));
  EXPECT_TRUE(sprites->SetSize(1, 2.0f));
  EXPECT_TRUE(sprites->SetPosition(1, CVector3{1, 2, 3}));
  sprites->SetFrameCount(15);
  EXPECT_EQ(sprites->GetFrameCount(), 16);
}

TEST_F(SpriteArrayTest, PointSpritesNeedTheDeviceForPerSpriteSizes) {
  struct Case {
    uint32_t flags;
    bool allow;
    bool device_sizes;
    bool points;
  };
  const Case cases[] = {
      {CSpriteArray::kPosition | CSpriteArray::kColour, true, false, true},
      {CSpriteArray::kPosition | CSpriteArray::kSize, true, false, false},
      {CSpriteArray::kPosition | CSpriteArray::kSize, true, true, true},
      {CSpriteArray::kPosition | CSpriteArray::kNoPointSprites, true, true, false},
      {CSpriteArray::kPosition, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flags << " " << c.allow << " " << c.device_sizes);
    D3DCAPS8& caps = const_cast<D3DCAPS8&>(g_pD3DDevice->GetCaps());
    caps.FVFCaps = c.device_sizes ? D3DFVFCAPS_PSIZE : 0;
    ASSERT_TRUE(sprites->Init(1.0f, c.flags, 10, c.allow));
    EXPECT_EQ(sprites->IsPointSprites(), c.points);
  }
}

TEST_F(SpriteArrayTest, SortingPutsTheFarthestFirstWithItsValues) {
  ASSERT_TRUE(sprites->Init(1.0f, kQuadFlags, 10, false));
  AddAt({1, 5, 3, 9});
  for (uint32_t i = 1; i <= 4; ++i) ASSERT_TRUE(sprites->SetSize(i, static_cast<float>(i)));
  sprites->SortBackToFront(4, CVector3{0, 0, 0});
  const float expected_z[4] = {9, 5, 3, 1};
  const float expected_size[4] = {4, 2, 3, 1};
  for (uint32_t i = 1; i <= 4; ++i) {
    CVector3 p{};
    float size = 0;
    ASSERT_TRUE(sprites->GetPosition(i, &p));
    ASSERT_TRUE(sprites->GetSize(i, &size));
    EXPECT_EQ(p.z, expected_z[i - 1]) << i;
    EXPECT_EQ(size, expected_size[i - 1]) << i;
  }
}

TEST_F(SpriteArrayTest, QuadsAreBuiltInViewSpaceAndDrawnInRunsOf64) {
  ASSERT_TRUE(sprites->Init(1.0f, kQuadFlags, 10, false));
  std::vector<float> z(130, 10.0f);
  AddAt(z);
  sprites->RemoveSprite(70);
  ASSERT_TRUE(sprites->SetSize(1, 2.0f));
  ASSERT_TRUE(sprites->SetPosition(1, CVector3{1, 2, 3}));
  // A view that moves everything 100 along z.
  D3DMATRIX view{};
  for (int i = 0; i < 4; ++i) view.m[i][i] = 1.0f;
  view.m[3][2] = 100.0f;
  g_pRenderStateMgr->SetTransform(D3DTS_VIEW, view);
  d3d->log.Clear();
  ASSERT_TRUE(sprites->Render(nullptr, style, nullptr));
  // 1-64, 65-69, 71-130: a run ends at 64 sprites or at an inactive one.
  EXPECT_EQ(DrawLines(), (std::vector<std::string>{"DrawIndexedPrimitive(4,0,256,0,128)",
                                                   "DrawIndexedPrimitive(4,0,20,0,10)",
                                                   "DrawIndexedPrimitive(4,0,240,0,120)"}));
  EXPECT_TRUE(d3d->log.Contains("SetIndices(1,256)"));  // the second run starts at sprite 65
  EXPECT_TRUE(d3d->log.Contains("SetIndices(1,280)"));  // the third at sprite 71
  // The view is back; the quads were drawn with identity transforms.
  EXPECT_EQ(Device()->transforms[D3DTS_VIEW].m[3][2], 100.0f);
  // Sprite 1's corners: centre (1, 2, 103), half-size 2.
  CRecordingVertexBuffer* stream = nullptr;
  for (auto& b : Device()->created_vertex_buffers)
    if (b->RefCount() > 0) stream = b.get();
  ASSERT_NE(stream, nullptr);
  const uint32_t stride = sprites->GetVertexSize();
  const float expected[4][3] = {{-1, 4, 103}, {3, 4, 103}, {3, 0, 103}, {-1, 0, 103}};
  for (int v = 0; v < 4; ++v) {
    float xyz[3];
    std::memcpy(xyz, stream->Bytes().data() + v * stride, sizeof(xyz));
    for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(xyz[k], expected[v][k]) << v << " " << k;
  }
}

TEST_F(SpriteArrayTest, PointsDrawRunsOfActiveSpritesWithTheirStates) {
  ASSERT_TRUE(sprites->Init(2.0f, CSpriteArray::kPosition | CSpriteArray::kColour, 10, true));
  ASSERT_TRUE(sprites->IsPointSprites());
  // Point-mode setters write vertices: they need the lock.
  EXPECT_EQ(sprites->AddSprite(), 1u);
  EXPECT_FALSE(sprites->SetPosition(1, CVector3{}));
  ASSERT_TRUE(sprites->Lock());
  ASSERT_TRUE(sprites->SetPosition(1, CVector3{0, 0, 1}));
  AddAt({2, 3});
  ASSERT_TRUE(sprites->Unlock());
  sprites->RemoveSprite(2);
  d3d->log.Clear();
  ASSERT_TRUE(sprites->Render(nullptr, style, nullptr));
  EXPECT_EQ(DrawLines(), (std::vector<std::string>{"DrawPrimitive(1,0,1)", "DrawPrimitive(1,2,1)"}));
  CRecordingDevice* device = Device();
  EXPECT_EQ(device->render_states[D3DRS_POINTSPRITEENABLE], 1u);
  float size = 0;
  std::memcpy(&size, &device->render_states[D3DRS_POINTSIZE], 4);
  EXPECT_EQ(size, 4.0f);
  // RenderPoints draws the first n vertices whatever their bits, never past the array.
  d3d->log.Clear();
  ASSERT_TRUE(sprites->RenderPoints(nullptr, style, nullptr, 1000));
  EXPECT_EQ(DrawLines(), (std::vector<std::string>{"DrawPrimitive(1,0,10)"}));
}

TEST_F(SpriteArrayTest, FramesCutRunsAndPickTheirTexture) {
  ASSERT_TRUE(sprites->Init(1.0f, kQuadFlags | CSpriteArray::kFrame, 10, false));
  AddAt({1, 1, 1, 1, 1});
  sprites->SetFrameCount(1);  // two frames
  sprites->SetFrameOffset(1);
  // Frames 0, 0, 1, 1, 2: with the offset and two frames the textures are b, b, a, a, b.
  const uint8_t frames[5] = {0, 0, 1, 1, 2};
  for (uint32_t i = 1; i <= 5; ++i) ASSERT_TRUE(sprites->SetFrame(i, frames[i - 1]));
  CDeviceTexture a, b;
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    reinterpret_cast<IDirect3DTexture8**>(&a.m_pTexture)), D3D_OK);
  ASSERT_EQ(Device()->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    reinterpret_cast<IDirect3DTexture8**>(&b.m_pTexture)), D3D_OK);
  CDeviceTexture* const textures[3] = {&a, &b, nullptr};
  d3d->log.Clear();
  ASSERT_TRUE(sprites->Render(nullptr, style, textures));
  EXPECT_EQ(DrawLines(), (std::vector<std::string>{"DrawIndexedPrimitive(4,0,8,0,4)",
                                                   "DrawIndexedPrimitive(4,0,8,0,4)",
                                                   "DrawIndexedPrimitive(4,0,4,0,2)"}));
  // The last run's texture (b) is on stage 0.
  EXPECT_EQ(Device()->textures[0], b.m_pTexture);
  g_pRenderStateMgr->SetTexture(0, nullptr);
}

TEST_F(SpriteArrayTest, ReleasedArrayRefusesSpritesUntilRestored) {
  ASSERT_TRUE(sprites->Init(1.0f, kQuadFlags, 10, false));
  AddAt({1, 2});
  ASSERT_TRUE(g_pD3DRenderDevice->FreeForReset());
  EXPECT_FALSE(sprites->IsCreated());
  EXPECT_EQ(sprites->AddSprite(), 0u);
  EXPECT_FALSE(sprites->Render(nullptr, style, nullptr));
  ASSERT_TRUE(g_pD3DRenderDevice->RestoreDevice(nullptr));
  EXPECT_TRUE(sprites->IsCreated());
  EXPECT_EQ(sprites->GetActiveCount(), 2u);
  CVector3 p{};
  ASSERT_TRUE(sprites->GetPosition(2, &p));
  EXPECT_EQ(p.z, 2.0f);
  d3d->log.Clear();
  ASSERT_TRUE(sprites->Render(nullptr, style, nullptr));
  EXPECT_EQ(DrawLines().size(), 1u);
}

}  // namespace
}  // namespace vt_test
