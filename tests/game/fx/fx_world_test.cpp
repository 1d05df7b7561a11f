// Sparks, debris and the terrain patch in a loaded world, without a graphics device: bounces,
// lifetimes, the death rule, a brick riding its parent, and the cells a patch covers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/core/CFixed_Object.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CDebris_Crystal.h"
#include "game/fx/CDebris_Dirt.h"
#include "game/fx/CDebris_Target_Box.h"
#include "game/fx/CDebris_Target_Brick.h"
#include "game/fx/CDebris_Target_Ground_Proj.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/fx/CTerrain_Patch.h"
#include "platform/system/message_box.h"
#include "platform/system/random.h"
#include "runtime/src/core/streams.h"
#include "tools/writers/world_writer.h"

namespace {

constexpr float kGround = 20.0f;
constexpr float kTick = 0.0035f;  // one millisecond of play

bool Load_Flat_World(float height) {
  writers::WorldSpec spec;
  spec.shape = writers::WorldShape::Flat;
  spec.baseHeight = height;
  std::vector<uint8_t> bytes;
  if (!writers::WriteWorld(spec, bytes)) return false;
  CMemoryStream* stream = CreateMemoryStream(0);
  if (!stream) return false;
  stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream->SeekTo(0);
  const bool ok = g_World.Load_Terrain(stream);
  stream->Release();
  return ok;
}

// Takes an object out of the world grid before it goes away.
void Leave_Grid(CWorld_Object& object) { object.Set_Position(CVector3{NAN, NAN, NAN}); }

class FxWorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Set_Message_Recorder([this](const std::string&, const std::string& text) { messages.push_back(text); });
    g_World.Reset();
    g_Game_Paused = false;
    g_World.m_Gravity.Set(0.0f, -150.0f, 0.0f);
    g_Target_Link_Pool.Init();
    ASSERT_TRUE(Load_Flat_World(kGround));
    plat::Seed_Random(1);
  }
  void TearDown() override {
    g_World.Reset();
    plat::Set_Message_Recorder(nullptr);
  }

  // Runs an object's own update once per millisecond for that many time units.
  template <class T>
  void Run(T& object, float units) {
    const int steps = static_cast<int>(units / kTick + 0.5f);
    for (int i = 0; i < steps; ++i) object.Update(kTick);
  }

  std::vector<std::string> messages;
};

TEST_F(FxWorldTest, TheSeventeenthSparkIsRefused) {
  CSpark_Mgr sparks;
  for (int i = 0; i < CSpark_Mgr::kMax_Sparks; ++i)
    EXPECT_TRUE(sparks.Add_Spark(CVector3{100, 100, 100}, CVector3{0, 0, 0}, 0xFFFFFFFF)) << i;
  EXPECT_FALSE(sparks.Add_Spark(CVector3{100, 100, 100}, CVector3{0, 0, 0}, 0xFFFFFFFF));
  EXPECT_EQ(sparks.Live_Count(), 16);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(sparks.Spark(i).brightness, 1.0f);
    EXPECT_GE(sparks.Spark(i).fade_rate, 0.15f);
    EXPECT_LT(sparks.Spark(i).fade_rate, 1.5f);
  }
}

TEST_F(FxWorldTest, ASparkStopsAtTheGroundAndLeavesWithPointSixFiveOfItsSpeedReversed) {
  CSpark_Mgr sparks;
  ASSERT_TRUE(sparks.Add_Spark(CVector3{400, kGround + 30.0f, 400}, CVector3{50, -400, 0}, 0xFFFFAA00));
  CSpark& s = sparks.Spark(0);
  s.fade_rate = 0.15f;
  CFrame_Info frame;
  frame.Delta = 0.1f;  // a 40-unit drop in one step: through the ground
  const float before = s.brightness;
  sparks.Update(frame);
  EXPECT_NEAR(s.position.y, kGround, 1.7f) << "it moves only up to the hit";
  EXPECT_GT(s.position.y, kGround - 0.01f);
  // Reversed normal speed: 0.65 of 400, then gravity for the step.
  EXPECT_NEAR(s.velocity.y, 0.65f * 400.0f - 150.0f * 0.1f * 1.75f, 0.5f);
  EXPECT_NEAR(s.velocity.x, 50.0f, 1e-3f) << "the speed along the ground is kept";
  EXPECT_NEAR(s.brightness, before - 0.1f - 0.15f * 0.1f * 0.4f, 1e-4f) << "a bounce costs 0.1";
}

TEST_F(FxWorldTest, APausedStepLeavesASparkOnTheGroundAsItWas) {
  CSpark_Mgr sparks;
  ASSERT_TRUE(sparks.Add_Spark(CVector3{400, kGround + 0.5f, 400}, CVector3{0, -30, 0}, 0xFFFFFFFF));
  CFrame_Info paused;
  paused.Delta = 0.0f;
  for (int i = 0; i < 10; ++i) sparks.Update(paused);
  EXPECT_EQ(sparks.Spark(0).brightness, 1.0f) << "no bounce costs light while nothing moves";
  EXPECT_EQ(sparks.Spark(0).velocity.y, -30.0f);
}

TEST_F(FxWorldTest, ASparkWithoutBouncesLivesOneOverItsFadeTimesPointFour) {
  CSpark_Mgr sparks;
  sparks.Add_Spark(CVector3{400, 5000, 400}, CVector3{0, 0, 0}, 0xFFFFFFFF);
  sparks.Spark(0).fade_rate = 1.0f;
  g_World.m_Gravity.Set(0, 0, 0);
  CFrame_Info frame;
  frame.Delta = 0.05f;
  int steps = 0;
  while (sparks.Live_Count() > 0 && steps < 1000) {
    sparks.Update(frame);
    ++steps;
  }
  EXPECT_NEAR(steps * 0.05f, 2.5f, 0.051f);
}

TEST_F(FxWorldTest, TheTerrainTestTakesTheEdgeCellsForPointsOutsideTheField) {
  CVector3 normal;
  // Below the ground outside both edges: the edge cells are tested and hit.
  EXPECT_TRUE(CParticle_Add_Mgr::Hit_Terrain(CVector3{-0.5f, kGround + 1, -0.5f}, CVector3{0, -3, 0}, 2.0f, normal));
  EXPECT_FALSE(CParticle_Add_Mgr::Hit_Terrain(CVector3{-50, kGround + 1, -50}, CVector3{0, -3, 0}, 2.0f, normal));
  const float far_x = g_World.m_Terrain.size_x + 50.0f, far_z = g_World.m_Terrain.size_z + 50.0f;
  EXPECT_FALSE(CParticle_Add_Mgr::Hit_Terrain(CVector3{far_x, kGround + 1, far_z}, CVector3{0, -3, 0}, 2.0f, normal))
      << "the last cell lies 50 units away: no hit";
  const float edge_x = g_World.m_Terrain.size_x - 1.0f, edge_z = g_World.m_Terrain.size_z - 1.0f;
  EXPECT_TRUE(CParticle_Add_Mgr::Hit_Terrain(CVector3{edge_x + 1.5f, kGround + 1, edge_z}, CVector3{0, -3, 0}, 2.0f,
                                             normal));
  EXPECT_NEAR(normal.y, 1.0f, 1e-4f);
  EXPECT_FALSE(CParticle_Add_Mgr::Hit_Terrain(CVector3{400, kGround + 10, 400}, CVector3{0, -3, 0}, 2.0f, normal));
}

TEST_F(FxWorldTest, APatchCoversTheCellsUnderTheSquareAndNoRadiusOverflowsIt) {
  CTerrain_Patch* patch = new CTerrain_Patch();
  const float cell = 1.0f / g_World.m_Cells_Per_Unit_X;
  const int n = patch->Build(400.0f + 0.5f * cell, 400.0f + 0.5f * cell, 0.25f * cell);
  EXPECT_EQ(n, 2) << "one cell, two triangles";
  EXPECT_FLOAT_EQ(patch->Triangles()[0].v[0].y, kGround + 1.0f) << "lifted by 1";
  EXPECT_EQ(patch->Triangles()[1].v[2].color, 0xFFFFFFFFu);
  EXPECT_EQ(patch->Build(400.0f + 0.5f * cell, 400.0f + 0.5f * cell, 1.1f * cell), 18) << "three by three cells";
  const int huge = patch->Build(400.0f, 400.0f, 1.0e6f);
  EXPECT_GT(huge, 0);
  EXPECT_LE(huge, CTerrain_Patch::kMax_Triangles);
  EXPECT_EQ(patch->Build(-5000.0f, -5000.0f, 10.0f), 2) << "beyond the edge: the edge cell";
  delete patch;
}

TEST_F(FxWorldTest, ADirtClodLivesFourToSixUnitsThenShrinksAwayOverAboutTwoPointNine) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    plat::Seed_Random(seed);
    CDebris_Dirt* dirt = new CDebris_Dirt();
    dirt->Spawn(1.0f);
    dirt->Set_Position(CVector3{400, kGround + 200, 400});
    const float life = dirt->m_Life_Timer;
    EXPECT_GE(life, 4.0f);
    EXPECT_LT(life, 6.0f);
    EXPECT_GE(dirt->m_Spawn_Radius, 5.0f);
    EXPECT_LT(dirt->m_Spawn_Radius, 20.0f);
    Run(*dirt, life - 0.05f);
    EXPECT_EQ(dirt->m_Kill_Timer, 0.0f) << "alive through its life";
    float units = life - 0.05f;
    while (dirt->m_Kill_Timer < 1.0f && units < 20.0f) {
      dirt->Update(kTick);
      units += kTick;
    }
    EXPECT_NEAR(units - life, 1.0f / 0.35f, 0.1f) << seed;
    EXPECT_LT(dirt->m_Radius, dirt->m_Spawn_Radius * 0.05f);
    Leave_Grid(*dirt);
    delete dirt;
  }
}

TEST_F(FxWorldTest, ACrystalShardThatLandsIsGoneAfterAboutTwoUnits) {
  CDebris_Crystal* shard = new CDebris_Crystal();
  shard->Spawn(0.5f, CColor4{1, 0.5f, 0.8f, 1});
  shard->Set_Position(CVector3{400, kGround + 60, 400});
  float units = 0.0f;
  while (shard->m_Kill_Timer == 0.0f && units < 20.0f) {
    shard->Update(kTick);
    units += kTick;
  }
  ASSERT_GT(shard->m_Kill_Timer, 0.0f) << "it landed";
  float dying = 0.0f;
  while (shard->m_Kill_Timer < 1.0f && dying < 10.0f) {
    shard->Update(kTick);
    dying += kTick;
  }
  EXPECT_NEAR(dying, 0.99f / 0.5f, 0.05f);
  EXPECT_LT(shard->m_Box.half_size.z, 80.0f * 0.5f * 0.05f) << "shrunk with the death";
  Leave_Grid(*shard);
  delete shard;
}

TEST_F(FxWorldTest, AGroundMarkIsGoneAfterPointSixFiveWhateverItsSlot) {
  struct Case {
    int slot;
    float at, radius, alpha;
  };
  const Case cases[] = {{0, 0.0f, 0.0f, 1.0f}, {0, 0.325f, 42.5f, 0.5f}, {1, 0.0f, 85.0f, 1.0f},
                        {1, 0.325f, 42.5f, 0.5f}, {5, 0.0f, 0.0f, 1.0f}};
  for (const Case& c : cases) {
    CDebris_Target_Ground_Proj mark;
    EXPECT_TRUE(mark.Spawn(c.slot, CVector3{400, kGround, 400}, 0xFF8000FF));
    mark.m_Age = c.at;
    EXPECT_NEAR(mark.Radius(), c.radius, 1e-3f) << c.slot << " " << c.at;
    const CColor4 colour = mark.Projection_Colour();
    EXPECT_NEAR(colour.r, c.alpha, 1e-3f) << "alpha first";
    EXPECT_NEAR(colour.g, 0.252f, 1e-3f) << "the squares of the stored colour";
    EXPECT_EQ(colour.b, 0.0f);
    EXPECT_NEAR(colour.a, 1.0f, 1e-5f);
    mark.m_Age = 0.0f;
    Run(mark, 0.64f);
    EXPECT_EQ(mark.m_Kill_Timer, 0.0f);
    Run(mark, 0.02f);
    EXPECT_EQ(mark.m_Kill_Timer, 1.0f);
    Leave_Grid(mark);
  }
}

TEST_F(FxWorldTest, BoxAndBrickPiecesTakeTheirSizesAndOffsetsFromTheirTables) {
  CFixed_Object* target = nullptr;
  struct Holder : CFixed_Object {
    void Update(const float&) override {}
  } box;
  box.m_Box.half_size.Set(40, 20, 10);
  target = &box;
  struct Grid_Leaver {
    CWorld_Object& object;
    ~Grid_Leaver() { Leave_Grid(object); }
  } leave_box{box};
  struct Box_Case {
    int piece;
    CVector3 half, offset;
  };
  const Box_Case box_cases[] = {{0, {20, 20, 10}, {-18, 0, 0}}, {1, {20, 10, 10}, {18, 9, 0}},
                                {2, {20, 10, 10}, {18, -9, 0}}, {7, {40, 20, 10}, {0, 0, 0}}};
  for (const Box_Case& c : box_cases) {
    CDebris_Target_Box piece;
    CVector3 offset{9, 9, 9};
    ASSERT_TRUE(piece.Spawn(c.piece, target, &offset));
    EXPECT_EQ(piece.m_Type, 31u);
    EXPECT_FLOAT_EQ(piece.m_Box.half_size.x, c.half.x) << c.piece;
    EXPECT_FLOAT_EQ(piece.m_Box.half_size.y, c.half.y) << c.piece;
    EXPECT_FLOAT_EQ(offset.x, c.offset.x) << c.piece;
    EXPECT_FLOAT_EQ(offset.y, c.offset.y) << c.piece;
    EXPECT_FLOAT_EQ(piece.m_Life_Timer, 8.0f);
    EXPECT_TRUE(piece.m_Alive);
    Leave_Grid(piece);
  }
  struct Brick_Case {
    int piece;
    CVector3 half, offset;
  };
  const Brick_Case brick_cases[] = {{1, {25, 25, 3.75f}, {-25, -25, -2}}, {3, {25, 25, 3.75f}, {-25, -25, -2}},
                                    {4, {25, 15, 3.75f}, {25, -35, -2}},  {7, {50, 30, 3.75f}, {0, 0, 0.5f}},
                                    {10, {1, 1, 1}, {0, 0, 0}},            {-1, {1, 1, 1}, {0, 0, 0}}};
  for (const Brick_Case& c : brick_cases) {
    CDebris_Target_Brick* brick = new CDebris_Target_Brick();
    CVector3 offset{9, 9, 9};
    ASSERT_TRUE(brick->Spawn(c.piece, target, nullptr, &offset));
    EXPECT_FLOAT_EQ(brick->m_Box.half_size.y, c.half.y) << c.piece;
    EXPECT_FLOAT_EQ(brick->m_Box.half_size.z, c.half.z) << c.piece;
    EXPECT_FLOAT_EQ(offset.x, c.offset.x) << c.piece;
    EXPECT_FLOAT_EQ(offset.z, c.offset.z) << c.piece;
    EXPECT_EQ(brick->m_State_Flags & kState_No_Gravity, 0u) << "no parent: it falls at once";
    Leave_Grid(*brick);
    delete brick;
  }
}

TEST_F(FxWorldTest, ABrickRidesItsParentForOneUpdateAndIsThenReleased) {
  struct Parent : CFixed_Object {
    void Update(const float&) override {}
  } parent;
  parent.Setup_Object(17, 1, 1, 0, 0);
  parent.m_Orientation.Set_Rows(CVector3{0, 0, 1}, CVector3{0, 1, 0}, CVector3{-1, 0, 0});
  parent.Set_Position(CVector3{400, kGround + 300, 400});
  CDebris_Target_Brick* brick = new CDebris_Target_Brick();
  ASSERT_TRUE(brick->Spawn(2, nullptr, &parent, nullptr));
  EXPECT_NE(brick->m_State_Flags & kState_No_Gravity, 0u);
  EXPECT_EQ(brick->m_Lock.First_Object(), &parent);
  brick->Set_Position(CVector3{600, kGround + 200, 600});
  brick->Update(kTick);
  EXPECT_NEAR(brick->m_Position.x, 400.0f, 1e-3f);
  EXPECT_NEAR(brick->m_Position.z, 475.0f, 1e-3f) << "75 along the parent's first axis";
  EXPECT_EQ(brick->m_State_Flags & kState_No_Gravity, 0u) << "released after one update";
  EXPECT_EQ(brick->m_State_Flags & ~0x2Fu, 0u);
  parent.Set_Position(CVector3{100, kGround + 300, 100});
  brick->Update(kTick);
  EXPECT_GT(brick->m_Position.x, 300.0f) << "it no longer follows";
  // While linked and young it ignores hits; a brick ejector's hits always.
  EXPECT_FALSE(brick->On_Hit(nullptr, nullptr));
  brick->m_Age = 1.0f;
  EXPECT_TRUE(brick->On_Hit(nullptr, nullptr));
  struct Ejector : CFixed_Object {
    void Update(const float&) override {}
  } ejector;
  ejector.m_Type = CDebris_Target_Brick::kBrick_Ejector_Type;
  EXPECT_FALSE(brick->On_Hit(&ejector, nullptr));
  brick->m_Lock.Clear();
  Leave_Grid(*brick);
  Leave_Grid(parent);
  Leave_Grid(ejector);
  delete brick;
}

TEST_F(FxWorldTest, ASparklerFlashWidensFlattensAndFades) {
  CDebris_Target_Sparkler flash;
  ASSERT_TRUE(flash.Spawn(CColor4{1, 1, 0.5f, 0.2f}));
  flash.Set_Position(CVector3{400, kGround + 50, 400});
  flash.Update(0.0f);
  EXPECT_NEAR(flash.m_Box.half_size.x, 0.5f, 1e-3f);
  EXPECT_NEAR(flash.m_Box.half_size.y, 12.0f, 1e-3f);
  Run(flash, 0.35f);
  flash.Update(kTick);
  EXPECT_GT(flash.m_Kill_Timer, 0.0f);
  EXPECT_NEAR(flash.m_Box.half_size.x, 40.0f, 0.5f);
  EXPECT_NEAR(flash.m_Box.half_size.y, 8.0f, 0.1f);
  EXPECT_NEAR(flash.m_Position.y, kGround + 50, 1e-3f) << "it does not move";
  Run(flash, 0.34f);
  EXPECT_GE(flash.m_Kill_Timer, 1.0f) << "rate 3: about a third of a unit";
  Leave_Grid(flash);
}

}  // namespace
