// Marks on the ground: the world's 32 terrain-decal geometry slots and the decal manager that
// ages and fades the decals made from them.
#include <vector>

#include "game/core/CWorld_Decal_Mgr.h"
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class WorldDecalTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    writers::WorldSpec spec = Flat_Spec(20.0f);  // 1600 units over 64 cells: 25 per cell
    Load(spec);
    g_World_Decal_Mgr.Clear();
  }
  void TearDown() override {
    g_World_Decal_Mgr.Clear();
    World_Test::TearDown();
  }

  CTerrain_Decal Cut(float x = 800.0f, float z = 800.0f, float half = 10.0f) {
    CTerrain_Decal decal;
    EXPECT_TRUE(g_World.Build_Terrain_Decal(CVector3{x, 0.0f, z}, half, decal));
    return decal;
  }

  CMatrix4x4 Projection() {
    CMatrix4x4 m;
    m.Set_Identity();
    return m;
  }
};

TEST_F(WorldDecalTest, TerrainDecalsCopyTheCellsUnderTheSquareRaisedBy5) {
  struct Case {
    float x, z, half;
    int triangles;
  } cases[] = {
      {812.0f, 812.0f, 5.0f, 2},    // inside one cell
      {800.0f, 800.0f, 10.0f, 8},   // across a vertex: 2 x 2 cells
      {10.0f, 10.0f, 30.0f, 8},     // lower edges raised to 0: cells 0 and 1 each way
      {1590.0f, 1590.0f, 40.0f, 8}, // past the far edge: clamped to the last cells
      {800.0f, 800.0f, 75.0f, 98},  // 7 x 7 cells
  };
  for (const Case& c : cases) {
    CTerrain_Decal decal;
    ASSERT_TRUE(g_World.Build_Terrain_Decal(CVector3{c.x, 0.0f, c.z}, c.half, decal)) << c.x;
    EXPECT_EQ(decal.triangle_count, c.triangles) << c.x << "," << c.half;
    ASSERT_NE(decal.vertices, nullptr);
    for (int v = 0; v < decal.triangle_count * 3; ++v) {
      EXPECT_FLOAT_EQ(decal.vertices[v].y, 25.0f);
      EXPECT_EQ(decal.vertices[v].color, 0x00FFFFFFu);
      EXPECT_EQ(decal.vertices[v].u, 0.0f);
    }
    // Every vertex lies within one cell of the square.
    for (int v = 0; v < decal.triangle_count * 3; ++v) {
      EXPECT_GE(decal.vertices[v].x, std::max(0.0f, c.x - c.half) - 25.0f);
      EXPECT_LE(decal.vertices[v].x, c.x + c.half + 25.0f);
    }
    g_World.Free_Terrain_Decal(decal.slot);
  }
}

TEST_F(WorldDecalTest, TheThirtyThirdTerrainDecalFailsUntilOneIsFreed) {
  std::vector<int> slots;
  for (int i = 0; i < CWorld::kTerrain_Decal_Slots; ++i) slots.push_back(Cut().slot);
  EXPECT_EQ(slots.front(), 1);
  EXPECT_EQ(slots.back(), 32);
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 0);
  CTerrain_Decal refused;
  EXPECT_FALSE(g_World.Build_Terrain_Decal(CVector3{800.0f, 0.0f, 800.0f}, 10.0f, refused));
  EXPECT_EQ(refused.slot, -1);
  EXPECT_EQ(refused.vertices, nullptr);
  EXPECT_EQ(g_World.Free_Terrain_Decal(7), 1);
  EXPECT_EQ(Cut().slot, 7);
}

TEST_F(WorldDecalTest, AnOversizedSquareFailsWithoutTakingASlot) {
  CTerrain_Decal decal;
  EXPECT_FALSE(g_World.Build_Terrain_Decal(CVector3{800.0f, 0.0f, 800.0f}, 100.0f, decal));  // 9 x 9 cells
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 32);
}

TEST_F(WorldDecalTest, FreeingASlotTwiceOrOutOfRangeLeavesTheCountTrue) {
  const CTerrain_Decal decal = Cut();
  EXPECT_EQ(g_World.Free_Terrain_Decal(decal.slot), 32);
  EXPECT_EQ(g_World.Free_Terrain_Decal(decal.slot), 32);
  EXPECT_EQ(g_World.Free_Terrain_Decal(0), 32);
  EXPECT_EQ(g_World.Free_Terrain_Decal(33), 32);
  EXPECT_EQ(g_World.Free_Terrain_Decal(-1), 32);
}

TEST_F(WorldDecalTest, The33rdDecalIsRefusedAndItsGeometryGivenBack) {
  for (int i = 0; i < CWorld_Decal_Mgr::kMax_Decals; ++i)
    ASSERT_TRUE(g_World_Decal_Mgr.Add_Decal(Cut(), i % 5, Projection(), 10.0f, 0xFF808080));
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), 32);
  // The world has slots of its own left once some are freed; the manager is full.
  g_World.Free_Terrain_Decal(1);
  const CTerrain_Decal extra = Cut();
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 0);
  EXPECT_FALSE(g_World_Decal_Mgr.Add_Decal(extra, 0, Projection(), 10.0f, 0xFF808080));
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 1);
  // The 32 alive keep fading.
  g_World_Decal_Mgr.Render(1.0f);
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), 32);
  EXPECT_FLOAT_EQ(g_World_Decal_Mgr.Remaining(0), 9.8f);
}

TEST_F(WorldDecalTest, BadDecalsAreRefusedAndTheirGeometryGivenBack) {
  struct Case {
    int texture_index;
    float lifetime;
  } cases[] = {{-1, 10.0f}, {5, 10.0f}, {0, 0.0f}, {0, -3.0f}};
  for (const Case& c : cases) {
    EXPECT_FALSE(g_World_Decal_Mgr.Add_Decal(Cut(), c.texture_index, Projection(), c.lifetime, 0xFFFFFFFF));
    EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 32);
  }
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), 0);
}

TEST_F(WorldDecalTest, DecalsAgeByAFifthOfTheStepAndGiveTheirGeometryBackWhenDone) {
  ASSERT_TRUE(g_World_Decal_Mgr.Add_Decal(Cut(), 0, Projection(), 1.0f, 0xFF102030));
  ASSERT_TRUE(g_World_Decal_Mgr.Add_Decal(Cut(), 0, Projection(), 3.0f, 0xFF102030));
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 30);
  g_World_Decal_Mgr.Render(2.5f);  // 0.5 of life gone
  EXPECT_TRUE(g_World_Decal_Mgr.In_Use(0));
  EXPECT_EQ(g_World_Decal_Mgr.Color(0), 0x7F102030u);  // half faded, colour kept
  g_World_Decal_Mgr.Render(2.5f);
  EXPECT_FALSE(g_World_Decal_Mgr.In_Use(0));
  EXPECT_TRUE(g_World_Decal_Mgr.In_Use(1));
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 31);
}

TEST_F(WorldDecalTest, ClearLeavesTheWorldsGeometrySlotsAlone) {
  ASSERT_TRUE(g_World_Decal_Mgr.Add_Decal(Cut(), 0, Projection(), 10.0f, 0xFFFFFFFF));
  g_World_Decal_Mgr.Clear();
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), 0);
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 31);
  // A world reset clears the decals and frees every slot with the terrain.
  ASSERT_TRUE(g_World_Decal_Mgr.Add_Decal(Cut(), 0, Projection(), 10.0f, 0xFFFFFFFF));
  g_World.Reset();
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), 0);
  Load(Flat_Spec(20.0f));
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), 32);
}

TEST(WorldDecalFade, AlphaFollowsTheCurveOfTheTextureIndex) {
  struct Case {
    int index;
    float fraction;
    uint32_t alpha;
  } cases[] = {
      {0, 1.0f, 255}, {0, 0.5f, 127}, {0, 0.0f, 0},  {0, -0.5f, 0},
      {1, 1.0f, 0},   {1, 0.9f, 127}, {1, 0.8f, 255}, {1, 0.81f, 242}, {1, 0.4f, 127},
      {4, 1.0f, 0},   {4, 0.8f, 127}, {4, 0.6f, 255}, {4, 0.3f, 127},
      {2, 0.25f, 63}, {3, 2.0f, 255},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(static_cast<int>(CWorld_Decal_Mgr::Fade_Alpha(c.index, c.fraction)), static_cast<int>(c.alpha), 1)
        << c.index << " at " << c.fraction;
  // Index 1 is brightest at four fifths of its life left.
  uint32_t brightest = 0;
  float at = 0.0f;
  for (int i = 0; i <= 100; ++i) {
    const uint32_t a = CWorld_Decal_Mgr::Fade_Alpha(1, i / 100.0f);
    if (a > brightest) brightest = a, at = i / 100.0f;
  }
  EXPECT_NEAR(at, 0.8f, 0.011f);
}

}  // namespace
}  // namespace world_test
