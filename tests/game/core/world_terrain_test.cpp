// Loading world resources, and the terrain queries over what was loaded.
#include <cstring>
#include <functional>
#include <limits>

#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

using writers::WorldShape;
using writers::WorldSpec;

class WorldTerrainTest : public World_Test {};

TEST_F(WorldTerrainTest, GeneratedWorldsLoadWithTheirSizes) {
  struct Case {
    WorldShape shape;
    bool embedded;
  } cases[] = {{WorldShape::Flat, false}, {WorldShape::Rolling, false}, {WorldShape::Bowl, true}};
  for (const Case& c : cases) {
    WorldSpec spec;
    spec.shape = c.shape;
    spec.amplitude = 80.0f;
    spec.embeddedObject = c.embedded;
    Load(spec);
    EXPECT_TRUE(g_World.Has_Terrain());
    EXPECT_EQ(g_World.m_Terrain.vertices_x, 65);
    EXPECT_FLOAT_EQ(g_World.m_Cell_X, 25.0f);
    EXPECT_FLOAT_EQ(g_World.m_Tile_X, 400.0f);
    // The object grid cuts each 400-unit tile into 80-unit cells.
    EXPECT_EQ(g_World.m_Grid_Cells_Per_Tile, 5);
    EXPECT_EQ(g_World.Grid().Width(), 20);
    EXPECT_EQ(g_World.Grid().Depth(), 20);
    EXPECT_EQ(g_World.m_Tile_Data.size(), 16u);
    EXPECT_EQ(g_World.m_Embedded_Object.empty(), !c.embedded);
    EXPECT_TRUE(messages.empty());
  }
}

// Every way a world file can be damaged, each applied to a good file.
TEST_F(WorldTerrainTest, MalformedWorldsFailWithAMessageAndLeaveNoTerrain) {
  WorldSpec spec = Flat_Spec();
  spec.tilesX = spec.tilesZ = 2;
  spec.tileGrid = 5;
  spec.embeddedObject = true;
  const std::vector<uint8_t> good = World_Bytes(spec);
  const size_t first_tile = writers::WorldFirstTileOffset(spec);
  auto put_i32 = [](std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); };
  auto put_f32 = [](std::vector<uint8_t>& b, size_t at, float v) { std::memcpy(&b[at], &v, 4); };
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> damage;
  } cases[] = {
      {"empty", [](auto& b) { b.clear(); }},
      {"header only", [](auto& b) { b.resize(20); }},
      {"cut in the sizes", [](auto& b) { b.resize(40); }},
      {"cut in the heights", [](auto& b) { b.resize(60); }},
      {"cut in the tiles", [&](auto& b) { b.resize(first_tile + 10); }},
      {"cut before the trailer", [](auto& b) { b.erase(b.end() - 2, b.end()); }},
      {"one vertex column", [&](auto& b) { put_i32(b, writers::kWorldVerticesXOffset, 1); }},
      {"negative vertex rows", [&](auto& b) { put_i32(b, writers::kWorldVerticesZOffset, -5); }},
      {"huge vertex product", [&](auto& b) {
         put_i32(b, writers::kWorldVerticesXOffset, 4000);
         put_i32(b, writers::kWorldVerticesZOffset, 4000);
       }},
      {"no tiles", [&](auto& b) { put_i32(b, writers::kWorldTilesXOffset, 0); }},
      {"too many tiles", [&](auto& b) { put_i32(b, writers::kWorldTilesZOffset, 1 << 20); }},
      {"tile grid of one", [&](auto& b) { put_i32(b, writers::kWorldTileGridOffset, 1); }},
      {"tile grid disagrees with the tile bytes", [&](auto& b) { put_i32(b, writers::kWorldTileGridOffset, 6); }},
      {"tile byte count too small", [&](auto& b) { put_i32(b, first_tile, 31); }},
      {"tile byte count huge", [&](auto& b) { put_i32(b, first_tile, 0x7fffffff); }},
      {"zero size", [&](auto& b) { put_f32(b, writers::kWorldSizeXOffset, 0.0f); }},
      {"size not a number", [&](auto& b) { put_f32(b, writers::kWorldSizeZOffset, std::nanf("")); }},
      {"height not a number", [&](auto& b) { put_f32(b, writers::kWorldHeightsOffset + 8, std::nanf("")); }},
      {"embedded object of another type", [&](auto& b) {
         const size_t object = first_tile + 4 * (4 + 25 * 32);
         put_i32(b, object + 20, 5);
       }},
      {"embedded flag without an object", [&](auto& b) {
         b.resize(b.size() - (24 + 40 + 3 * 32 + 6) - 4);
         b.insert(b.end(), {0, 0, 0, 0});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = good;
    c.damage(bytes);
    messages.clear();
    EXPECT_FALSE(Load_World(bytes));
    EXPECT_FALSE(g_World.Has_Terrain());
    EXPECT_FALSE(g_World.Grid().Is_Created());
    EXPECT_TRUE(g_World.m_Tile_Data.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("CWorld::Couldn't load world", 0), 0u) << messages[0];
  }
  EXPECT_TRUE(Load_World(good));
}

TEST_F(WorldTerrainTest, AFailedLoadFreesOnlyTheTerrain) {
  Load(Flat_Spec());
  Test_Ball* ball = Ball({800.0f, 100.0f, 800.0f});
  ASSERT_NE(ball, nullptr);
  std::vector<uint8_t> bad = World_Bytes(Flat_Spec());
  bad.resize(100);
  EXPECT_FALSE(Load_World(bad));
  EXPECT_FALSE(g_World.Has_Terrain());
  EXPECT_TRUE(Balls().Is_Initialised());
  EXPECT_EQ(g_World.Get_Object(0), ball);
  EXPECT_EQ(ball->m_State_Flags & kState_In_Grid, 0u);
}

TEST_F(WorldTerrainTest, HeightIsExactAtVerticesBilinearBetweenAndClampedAtEdges) {
  WorldSpec spec;
  spec.shape = WorldShape::Rolling;
  spec.amplitude = 100.0f;
  Load(spec);
  const float cell = g_World.m_Cell_X;
  auto vertex = [&](int i, int j) { return writers::WorldHeightAt(spec, i * cell, j * cell); };
  struct Case {
    float x, z, expected;
  } cases[] = {
      {0.0f, 0.0f, vertex(0, 0)},
      {cell * 7, cell * 3, vertex(7, 3)},
      {cell * 64, cell * 64, vertex(64, 64)},
      {cell * 7.5f, cell * 3, (vertex(7, 3) + vertex(8, 3)) / 2},
      {cell * 7, cell * 3.25f, vertex(7, 3) * 0.75f + vertex(7, 4) * 0.25f},
      {cell * 7.5f, cell * 3.5f, (vertex(7, 3) + vertex(8, 3) + vertex(7, 4) + vertex(8, 4)) / 4},
      {-300.0f, cell * 3, vertex(0, 3) + (vertex(1, 3) - vertex(0, 3)) * (-300.0f / cell)},
      {cell * 70, cell * 3, vertex(63, 3) + (vertex(64, 3) - vertex(63, 3)) * 7.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.z);
    EXPECT_NEAR(g_World.Get_Height(c.x, c.z), c.expected, 1e-3f);
  }
  // Far-off and undefined coordinates clamp their cells without an overflowing conversion
  // (the sanitizers catch one).
  (void)g_World.Get_Height(std::nanf(""), 1e30f);
  (void)g_World.Get_Normal(-1e30f, std::numeric_limits<float>::infinity());
}

TEST_F(WorldTerrainTest, NormalsPointUpOnFlatGroundAndLeanOnABowl) {
  Load(Flat_Spec());
  const CVector3 flat = g_World.Get_Normal(333.0f, 777.0f);
  EXPECT_NEAR(flat.x, 0.0f, 1e-6f);
  EXPECT_NEAR(flat.y, 1.0f, 1e-6f);
  WorldSpec bowl;
  bowl.shape = WorldShape::Bowl;
  bowl.amplitude = 400.0f;
  Load(bowl);
  // Rising towards +x on the right half, so the normal leans back towards -x.
  EXPECT_LT(g_World.Get_Normal(1400.0f, 800.0f).x, -0.1f);
  EXPECT_GT(g_World.Get_Normal(200.0f, 800.0f).x, 0.1f);
}

TEST_F(WorldTerrainTest, SegmentsFindTheNearestTerrainCrossing) {
  WorldSpec spec;
  spec.shape = WorldShape::Rolling;
  spec.amplitude = 100.0f;
  Load(spec);
  CVector3 hit;
  ASSERT_TRUE(g_World.Intersect_Terrain({700.0f, 500.0f, 300.0f}, {0.0f, -1000.0f, 0.0f}, hit));
  EXPECT_NEAR(hit.y, g_World.Get_Height(700.0f, 300.0f), 1.0f);
  // A long shallow shot crosses several crests: the first one along the segment wins.
  const CVector3 start{10.0f, 60.0f, 400.0f};
  ASSERT_TRUE(g_World.Intersect_Terrain(start, {1580.0f, 0.0f, 0.0f}, hit));
  for (float x = start.x; x < hit.x - 1.0f; x += 5.0f) EXPECT_LT(g_World.Get_Height(x, 400.0f), 60.0f + 0.5f);
  EXPECT_FALSE(g_World.Intersect_Terrain({100.0f, 500.0f, 100.0f}, {100.0f, 0.0f, 100.0f}, hit));
}

}  // namespace
}  // namespace world_test
