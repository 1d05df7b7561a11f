// The world's render lists and reflections, driven without a graphics device: objects record
// when they are drawn, so the lists' limits, order and culling show in what they record.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/grid_mesh.h"
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

// An object without a pool (the sweep deletes it) that logs its draws.
class Drawn_Object : public CWorld_Object {
 public:
  Drawn_Object(std::vector<const CWorld_Object*>* log, const CVector3& at, uint32_t state, float radius = 5.0f)
      : m_Log(log) {
    m_Type = 72;  // a type index no pool holds
    m_State_Flags = state;
    m_View_Radius = m_Collision_Radius = radius;
    Set_Position(at);
  }
  void Update(const float&) override {}
  void Render(const float&) override { m_Log->push_back(this); }
  void Render_Reflection(const CWorld_Mirror& mirror) override {
    ++reflections;
    last_mirror = mirror.transform;
  }
  int reflections = 0;
  CMatrix4x4 last_mirror{};

 private:
  std::vector<const CWorld_Object*>* m_Log;
};

class WorldRenderTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    Load(Flat_Spec(0.0f));  // 1600 x 1600 in 4 x 4 tiles
    g_World.m_Desc.world_flags = kWorld_No_Edge_Fences;
    Look_Down_From(800.0f, 800.0f);
  }
  void TearDown() override {
    g_Camera.Set_Projection(0.7853982f, 4.0f / 3.0f, 1.0f, 5000.0f);
    World_Test::TearDown();
  }

  // A camera high over the point, looking down, that sees the whole world and more.
  void Look_Down_From(float x, float z, float far_distance = 5000.0f, float height = 2500.0f) {
    g_Camera.Set_Projection(1.5707963f, 1.0f, 1.0f, far_distance);
    g_Camera.Look_At(CVector3{x, height, z}, CVector3{x, 0.0f, z + 0.01f});
  }

  Drawn_Object* Add(const CVector3& at, uint32_t state = 0, float radius = 5.0f) {
    auto* object = new Drawn_Object(&drawn, at, state, radius);
    g_World.Add_Object(0, object);
    return object;
  }

  void Render() {
    drawn.clear();
    CFrame_Info frame;
    frame.Delta = 0.056f;
    g_World.Render(frame, frame.Delta);
  }

  std::vector<const CWorld_Object*> drawn;
};

TEST_F(WorldRenderTest, OnlyTheFirst256OpaqueObjectsInViewAreDrawnEachOnce) {
  // Objects on tile borders sit in two or four grid cells and must still be drawn once.
  std::vector<Drawn_Object*> objects;
  for (int i = 0; i < 300; ++i) {
    const float x = 400.0f * static_cast<float>(i % 3 + 1), z = 20.0f + 5.0f * static_cast<float>(i);
    objects.push_back(Add(CVector3{x, 10.0f, std::min(z, 1580.0f)}, 0, 12.0f));
  }
  Render();
  EXPECT_EQ(drawn.size(), 256u);
  EXPECT_EQ(g_World.Opaque_Count(), CWorld::kMax_Opaque);
  std::map<const CWorld_Object*, int> times;
  for (const CWorld_Object* object : drawn) ++times[object];
  for (const auto& [object, count] : times) EXPECT_EQ(count, 1);

  // With room in the list, every object is drawn once again in the next frame.
  for (int i = 256; i < 300; ++i) objects[i]->m_Kill_Timer = 1.0f;
  g_World.Remove_Dead_Objects();
  Render();
  EXPECT_EQ(drawn.size(), 256u);
}

TEST_F(WorldRenderTest, TranslucentObjectsDrawFarthestFirstAfterTheOpaqueOnes) {
  const CVector3 camera = g_Camera.Position();
  struct Place {
    float x, z;
  };
  const Place places[] = {{800, 800}, {100, 100}, {1500, 800}, {700, 900}, {100, 1500}, {1500, 1500}, {800, 200}};
  std::vector<Drawn_Object*> translucent;
  for (const Place& p : places) translucent.push_back(Add(CVector3{p.x, 10.0f, p.z}, kState_Translucent));
  Drawn_Object* opaque = Add(CVector3{400.0f, 10.0f, 400.0f});
  Render();
  ASSERT_EQ(drawn.size(), translucent.size() + 1);
  EXPECT_EQ(drawn.front(), opaque);
  auto distance_sq = [&](const CWorld_Object* o) {
    CVector3 d;
    return o->m_Position.Subtract(camera, d).Length_Squared();
  };
  for (size_t i = 2; i < drawn.size(); ++i) EXPECT_GE(distance_sq(drawn[i - 1]), distance_sq(drawn[i])) << i;
}

TEST_F(WorldRenderTest, TranslucentObjectsAsFarAsAnotherDrawInTheOrderFound) {
  // Three at one distance in one cell, which lists the latest-added first: that order holds.
  Drawn_Object* first = Add(CVector3{600.0f, 10.0f, 600.0f}, kState_Translucent);
  Drawn_Object* second = Add(CVector3{600.0f, 10.0f, 600.0f}, kState_Translucent);
  Drawn_Object* third = Add(CVector3{600.0f, 10.0f, 600.0f}, kState_Translucent);
  Render();
  const std::vector<const CWorld_Object*> expected = {third, second, first};
  EXPECT_EQ(drawn, expected);
}

TEST_F(WorldRenderTest, TheTranslucentListHolds128) {
  for (int i = 0; i < 140; ++i)
    Add(CVector3{100.0f + 10.0f * static_cast<float>(i), 10.0f, 700.0f}, kState_Translucent);
  Render();
  EXPECT_EQ(drawn.size(), static_cast<size_t>(CWorld::kMax_Translucent));
}

TEST_F(WorldRenderTest, ObjectsOutOfViewAreCulledUnlessNeverCulled) {
  // A narrow view along +z from the low edge: objects behind the camera are out of view.
  g_Camera.Set_Projection(0.5f, 1.0f, 1.0f, 5000.0f);
  g_Camera.Look_At(CVector3{800.0f, 50.0f, 700.0f}, CVector3{800.0f, 50.0f, 1600.0f});
  Drawn_Object* ahead = Add(CVector3{800.0f, 50.0f, 1200.0f});
  Drawn_Object* behind = Add(CVector3{800.0f, 50.0f, 100.0f});
  Drawn_Object* kept = Add(CVector3{800.0f, 50.0f, 200.0f}, kState_Never_Culled);
  Render();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), ahead), drawn.end());
  EXPECT_EQ(std::find(drawn.begin(), drawn.end(), behind), drawn.end());
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), kept), drawn.end());
}

TEST_F(WorldRenderTest, WithoutMirrorsNoReflectedTileOrObjectIsListed) {
  Add(CVector3{50.0f, 10.0f, 800.0f}, kState_Reflected);
  Render();
  EXPECT_EQ(g_World.Tiles_Drawn(), 16);
  EXPECT_EQ(g_World.Reflected_Tiles_Drawn(), 0);
  EXPECT_EQ(g_World.Reflected_Count(), 0);
}

TEST_F(WorldRenderTest, MirroredTilesAndReflectedObjectsSkipCornersAndClosedSides) {
  g_World.m_Desc.world_flags |= kWorld_Mirror_Walls;
  Drawn_Object* mirrored = Add(CVector3{50.0f, 10.0f, 800.0f}, kState_Reflected);
  Drawn_Object* plain = Add(CVector3{60.0f, 10.0f, 700.0f});
  Render();
  // 4 sides of 4 x 4 reflected tiles each, no corners.
  EXPECT_EQ(g_World.Tiles_Drawn(), 16);
  EXPECT_EQ(g_World.Reflected_Tiles_Drawn(), 64);
  // The object near x = 0 is in the tiles reflected across x = 0, and (its column being the
  // first) in those reflected across x = size x four worlds away: each reflection once.
  std::vector<int> sides;
  for (int i = 0; i < g_World.Reflected_Count(); ++i) {
    EXPECT_EQ(g_World.Reflected(i), mirrored);
    sides.push_back(g_World.Reflected_Side(i));
  }
  std::sort(sides.begin(), sides.end());
  EXPECT_TRUE(std::adjacent_find(sides.begin(), sides.end()) == sides.end());
  EXPECT_NE(std::find(sides.begin(), sides.end(), 0), sides.end());
  EXPECT_EQ(mirrored->reflections, g_World.Reflected_Count());
  EXPECT_EQ(plain->reflections, 0);

  // A game mode that closes the x = 0 side takes those tiles and reflections away.
  g_Game_State.m_Mode_Flags = 0x04;
  Render();
  EXPECT_EQ(g_World.Reflected_Tiles_Drawn(), 48);
  for (int i = 0; i < g_World.Reflected_Count(); ++i) EXPECT_NE(g_World.Reflected_Side(i), 0);
}

// A tile grid without device buffers that records the style and the level of detail of every
// draw asked of it.
class Level_Grid : public CGridMesh {
 public:
  explicit Level_Grid(uint32_t side) { Create(1, side, side, nullptr); }
  bool Render(const CMatrix4x4*, CD3DRenderStyle* style, CDeviceTexture* const*) override {
    draws.push_back(Draw{style, GetLOD()});
    return true;
  }
  struct Draw {
    const CD3DRenderStyle* style;
    uint16_t level;
  };
  std::vector<Draw> draws;
};

TEST_F(WorldRenderTest, ReflectedTilesAndWorldTilesAreDrawnAtEveryVertex) {
  g_World.m_Desc.world_flags |= kWorld_Mirror_Walls;
  CD3DRenderStyle ground, reflected;
  g_World.m_Styles[kStyle_Ground] = &ground;
  g_World.m_Styles[kStyle_Reflected_Ground] = &reflected;
  // Fifteen tiles of 17 x 17 vertices (four levels) and one of 2 x 2, which has no coarser level.
  std::vector<std::unique_ptr<Level_Grid>> grids;
  for (int i = 0; i < 16; ++i) grids.push_back(std::make_unique<Level_Grid>(i == 15 ? 2 : 17));
  g_World.m_Tile_Meshes.clear();
  for (auto& grid : grids) g_World.m_Tile_Meshes.push_back(grid.get());

  Render();
  g_World.m_Tile_Meshes.clear();
  g_World.m_Styles[kStyle_Ground] = g_World.m_Styles[kStyle_Reflected_Ground] = nullptr;

  int world_draws = 0, reflected_draws = 0;
  for (size_t i = 0; i < grids.size(); ++i) {
    SCOPED_TRACE(i);
    for (const Level_Grid::Draw& draw : grids[i]->draws) {
      if (draw.style == &ground) {
        EXPECT_EQ(draw.level, 0);
        ++world_draws;
      } else {
        EXPECT_EQ(draw.style, &reflected);
        EXPECT_EQ(draw.level, 0) << "a coarser grid moves the hills' outlines";
        ++reflected_draws;
      }
    }
  }
  EXPECT_EQ(world_draws, 16);
  EXPECT_EQ(reflected_draws, 64);
}

TEST_F(WorldRenderTest, TheTileRangeFollowsTheFarDistance) {
  // From a corner with a short far distance only the tiles within reach are walked.
  Look_Down_From(100.0f, 100.0f, 250.0f, 100.0f);
  Render();
  EXPECT_EQ(g_World.Tiles_Drawn(), 1);
  Look_Down_From(100.0f, 100.0f, 500.0f, 100.0f);
  Render();
  EXPECT_EQ(g_World.Tiles_Drawn(), 4);
}

}  // namespace
}  // namespace world_test

namespace world_test {
namespace {

TEST_F(WorldRenderTest, MirrorWallsStandOnTheEdgeLinesBeyondEachCorner) {
  for (const bool deep : {false, true}) {
    SCOPED_TRACE(deep);
    g_World.m_Desc.world_flags = kWorld_Mirror_Walls | (deep ? kWorld_Deep_Walls : 0u);
    g_World.Build_Walls();
    const float floor = deep ? -2000.0f : 0.0f;
    int on_x_lines = 0, on_z_lines = 0;
    for (int t = 0; t < CWorld::kWall_Triangles; ++t) {
      const DrawPrimFlatTriangle& tri = g_World.Walls()[t];
      bool same_x = true, same_z = true;
      for (const CVector3& v : tri.v) {
        EXPECT_TRUE(v.y == floor || v.y == 5000.0f) << v.y;
        same_x = same_x && v.x == tri.v[0].x;
        same_z = same_z && v.z == tri.v[0].z;
      }
      ASSERT_TRUE(same_x != same_z) << t;  // upright, along one of the axes
      // On an edge line, reaching 5000 beyond the world and never into it.
      const float line = same_x ? tri.v[0].x : tri.v[0].z;
      EXPECT_TRUE(line == 0.0f || line == 1600.0f) << line;
      for (const CVector3& v : tri.v) {
        const float along = same_x ? v.z : v.x;
        EXPECT_TRUE((along >= -5000.0f && along <= 0.0f) || (along >= 1600.0f && along <= 6600.0f)) << along;
      }
      (same_x ? on_x_lines : on_z_lines) += 1;
    }
    EXPECT_EQ(on_x_lines, 8);
    EXPECT_EQ(on_z_lines, 8);
  }
}

}  // namespace
}  // namespace world_test
