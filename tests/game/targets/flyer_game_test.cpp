// The light wall and the flying targets in the running game: each Init failing at each of its
// resources with its message, the flier's exhaust object (its cap of 63, and a failed creation
// that leaves the pooled flier usable), its free flight and ribbon, the first-hit effects, and
// the track's own set-up of every flyer.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/core/CCamera.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "game/targets/CTarget_Bar.h"
#include "game/targets/CTarget_Boomer.h"
#include "game/targets/CTarget_Buster.h"
#include "game/targets/CTarget_Exclaim.h"
#include "game/targets/CTarget_Flare.h"
#include "game/targets/CTarget_Flier.h"
#include "game/targets/CTarget_Glower.h"
#include "game/targets/CTarget_Glower_B.h"
#include "game/targets/CTarget_Leaf.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/sprite_array.h"
#include "tests/game/targets/targets_fixture.h"

namespace targets_test {
namespace {

class Flyers : public Targets {
 protected:
  void TearDown() override {
    fx::Set_Resource_Filter(nullptr);
    Targets::TearDown();
  }
};

TEST_F(Flyers, EachInitFailsAtEachResourceWithItsMessage) {
  const std::string renderable = "\nUnable to create renderable object...";
  const std::string texture = "\nUnable to load texture...";
  const std::string created = "\nUnable to create texture...";
  const std::string shader = "\nUnable to load shader...";
  const std::string render_shader = "\nUnable to create render shader...";
  struct Case {
    const char* name;  // the class named in the message
    CObject_Pool* pool;
    uint32_t refused;
    std::string ending;
  } cases[] = {
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x220000aa, renderable},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x220000ab, renderable},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x2200002c, texture},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x22000084, texture},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x2200005e, created},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x22000061, texture},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x220000ac, texture},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x22000031, render_shader},
      {"CStruct_Light_Wall", CStruct_Light_Wall::Pool(), 0x22000020, shader},
      {"CTarget_Bar", CTarget_Bar::Pool(), 0x220000e8, renderable},
      {"CTarget_Bar", CTarget_Bar::Pool(), 0x220000e9, renderable},
      {"CTarget_Bar", CTarget_Bar::Pool(), 0x2200002c, texture},
      {"CTarget_Bar", CTarget_Bar::Pool(), 0x22000029, texture},
      {"CTarget_Bar", CTarget_Bar::Pool(), 0x2200004d, shader},
      {"CTarget_Bar", CTarget_Bar::Pool(), 0x22000058, shader},
      // The second glower's messages name the first glower's class.
      {"CTarget_Glower", CTarget_Glower_B::Pool(), 0x22000110, renderable},
      {"CTarget_Glower", CTarget_Glower_B::Pool(), 0x22000111, renderable},
      {"CTarget_Glower", CTarget_Glower_B::Pool(), 0x2200003b, texture},
      {"CTarget_Glower", CTarget_Glower_B::Pool(), 0x2200005e, created},
      {"CTarget_Glower", CTarget_Glower_B::Pool(), 0x2200003c, shader},
      {"CTarget_Glower", CTarget_Glower_B::Pool(), 0x220000c6, shader},
      {"CTarget_Glower", CTarget_Glower_B::Pool(), 0x22000020, shader},
      {"CTarget_Boomer", CTarget_Boomer::Pool(), 0x220000e2, renderable},
      {"CTarget_Boomer", CTarget_Boomer::Pool(), 0x220000e3, renderable},
      {"CTarget_Boomer", CTarget_Boomer::Pool(), 0x2200002c, texture},
      {"CTarget_Boomer", CTarget_Boomer::Pool(), 0x22000029, texture},
      {"CTarget_Boomer", CTarget_Boomer::Pool(), 0x2200004d, shader},
      {"CTarget_Boomer", CTarget_Boomer::Pool(), 0x22000058, shader},
      {"CTarget_Buster", CTarget_Buster::Pool(), 0x22000116, renderable},
      {"CTarget_Buster", CTarget_Buster::Pool(), 0x22000117, renderable},
      {"CTarget_Buster", CTarget_Buster::Pool(), 0x2200003b, texture},
      {"CTarget_Buster", CTarget_Buster::Pool(), 0x22000032, created},
      {"CTarget_Buster", CTarget_Buster::Pool(), 0x2200003c, shader},
      {"CTarget_Buster", CTarget_Buster::Pool(), 0x220000c6, shader},
      {"CTarget_Buster", CTarget_Buster::Pool(), 0x22000020, shader},
      {"CTarget_Exclaim", CTarget_Exclaim::Pool(), 0x2200012e, renderable},
      {"CTarget_Exclaim", CTarget_Exclaim::Pool(), 0x2200003b, texture},
      {"CTarget_Exclaim", CTarget_Exclaim::Pool(), 0x2200003c, shader},
      {"CTarget_Exclaim", CTarget_Exclaim::Pool(), 0x22000020, shader},
      {"CTarget_Flare", CTarget_Flare::Pool(), 0x2200005c, texture},
      {"CTarget_Flare", CTarget_Flare::Pool(), 0x22000031, shader},
      {"CTarget_Flier", CTarget_Flier::Pool(), 0x22000000, renderable},
      {"CTarget_Flier", CTarget_Flier::Pool(), 0x2200003b, texture},
      {"CTarget_Flier", CTarget_Flier::Pool(), 0x2200003c, texture},
      {"CTarget_Flier", CTarget_Flier::Pool(), 0x22000047, texture},
      {"CTarget_Flier", CTarget_Flier::Pool(), 0x22000064, texture},
      {"CTarget_Flier", CTarget_Flier::Pool(), 0x22000031, texture},
      {"CTarget_Glower", CTarget_Glower::Pool(), 0x22000109, renderable},
      {"CTarget_Glower", CTarget_Glower::Pool(), 0x2200010a, renderable},
      {"CTarget_Glower", CTarget_Glower::Pool(), 0x2200003b, texture},
      {"CTarget_Glower", CTarget_Glower::Pool(), 0x220000cf, created},
      {"CTarget_Glower", CTarget_Glower::Pool(), 0x2200003c, shader},
      {"CTarget_Glower", CTarget_Glower::Pool(), 0x220000c6, shader},
      {"CTarget_Glower", CTarget_Glower::Pool(), 0x22000020, shader},
      {"CTarget_Leaf", CTarget_Leaf::Pool(), 0x220000e7, renderable},
      {"CTarget_Leaf", CTarget_Leaf::Pool(), 0x220000e5, texture},
      {"CTarget_Leaf", CTarget_Leaf::Pool(), 0x220000e6, shader},
  };
  for (const Case& c : cases) {
    c.pool->Term();
    messages.clear();
    const uint32_t refused = c.refused;
    fx::Set_Resource_Filter([refused](uint32_t id) { return id != refused; });
    EXPECT_FALSE(c.pool->Init()) << c.name << " " << std::hex << c.refused;
    ASSERT_EQ(messages.size(), 1u) << c.name << " " << std::hex << c.refused << ": one message, at the first failure";
    EXPECT_EQ(messages[0], std::string("Error in ") + c.name + c.ending) << std::hex << c.refused;
    EXPECT_EQ(c.pool->Alloc_Object(), nullptr) << c.name;
    fx::Set_Resource_Filter(nullptr);
    EXPECT_TRUE(c.pool->Init()) << c.name;
  }
}

TEST_F(Flyers, AFailedExhaustObjectLeavesThePooledFlierUsableAndNothingIsDestroyedTwice) {
  CTarget_Flier* flier = Take<CTarget_Flier>();
  ASSERT_NE(flier, nullptr);
  IKSRenderDevice* device = g_pRenderDevice;
  g_pRenderDevice = nullptr;  // the type-10 object cannot be made
  const bool spawned = flier->Spawn(1, Sky(), 0);
  g_pRenderDevice = device;
  EXPECT_FALSE(spawned);
  EXPECT_EQ(flier->m_Exhaust_Object, nullptr);
  EXPECT_TRUE(flier->m_Initialised) << "its resources stay loaded";
  EXPECT_FALSE(flier->m_Spawned);
  CTarget_Flier::Pool()->Free_Object(flier);
  // The same pooled object spawns, is released, spawns again: one exhaust object at a time.
  CTarget_Flier* again = Take<CTarget_Flier>();
  ASSERT_EQ(again, flier) << "the lowest free object";
  ASSERT_TRUE(again->Spawn(2, Sky(), 0));
  ASSERT_NE(again->m_Exhaust_Object, nullptr);
  EXPECT_TRUE(again->Spawn(2, Sky(), 0)) << "a leftover is destroyed before a new one is made";
  ASSERT_NE(again->m_Exhaust_Object, nullptr);
  again->Release_Attachments();
  EXPECT_EQ(again->m_Exhaust_Object, nullptr);
  again->Release_Attachments();  // a second release touches nothing
  again->Term();
  EXPECT_FALSE(again->m_Initialised);
  EXPECT_TRUE(again->Init());
  CTarget_Flier::Pool()->Free_Object(again);
}

TEST_F(Flyers, TheExhaustNeverHoldsMoreThan63AndStopsWhileDying) {
  CTarget_Flier* flier = Take<CTarget_Flier>();
  ASSERT_TRUE(flier->Spawn(0, Sky(), 0));
  for (int i = 0; i < 200; ++i) flier->Emit_Exhaust(0.1f);  // 5 due per call, each living about a unit
  EXPECT_LE(flier->Live_Exhaust(), 63);
  for (int i = 0; i < 80; ++i) flier->Add_Exhaust(flier->m_Position, CVector3{0, 10, 0});
  EXPECT_EQ(flier->Live_Exhaust(), 63);
  EXPECT_EQ(flier->m_Exhaust_Object->GetCount(), 63u);
  EXPECT_FALSE(flier->Add_Exhaust(flier->m_Position, CVector3{0, 10, 0}));
  flier->m_Kill_Timer = 0.2f;
  for (int i = 0; i < 100; ++i) flier->Emit_Exhaust(0.05f);
  EXPECT_EQ(flier->Live_Exhaust(), 0) << "no new exhaust while dying; the old burns out";
  flier->Release_Attachments();
  CTarget_Flier::Pool()->Free_Object(flier);
}

TEST_F(Flyers, AFreeFlierHugsFlatGroundTowardTheCameraAtItsCruisingSpeed) {
  CTarget_Flier* flier = Take<CTarget_Flier>();
  const float x = 0.5f * X, z = 0.9f * Z;
  ASSERT_TRUE(flier->Spawn(3, CVector3{x, Ground(x, z) + 300.0f, z}, 0));
  EXPECT_FALSE(flier->On_Hit(nullptr, nullptr)) << "no contact in its first 1.5 units";
  Step(*flier, 0.0035f, 300);
  EXPECT_LT(flier->m_Sphere.velocity.z, -100.0f) << "the turned floor normal pushes along -z";
  // Near the ground the damping holds it below the cruising speed, steady.
  const float speed = flier->m_Sphere.velocity.Length();
  EXPECT_GT(speed, 700.0f);
  EXPECT_LT(speed, 960.0f);
  // The trail ring: a point every 0.15625.
  EXPECT_NE(flier->m_Trail_Head, 0);
  const CVector3 newest = flier->Trail_Position(0.0f);
  EXPECT_NEAR(newest.z, flier->m_Trail[flier->m_Trail_Head].position.z, 1e-3f);
  const CVector3 older = flier->Trail_Position(0.5f);
  EXPECT_GT(older.z, newest.z) << "the trail lies behind it";
  // Dies in front of the camera or at age 10.
  Step(*flier, 0.0035f, 4000);
  EXPECT_NE(flier->m_Kill_Timer, 0.0f);
  flier->Release_Attachments();
  CTarget_Flier::Pool()->Free_Object(flier);
}

TEST_F(Flyers, ALoopingFlierFliesItsLoopAndAHitLeavesAFlashAndAFall) {
  CTarget_Flier* flier = Take<CTarget_Flier>();
  const CVector3& camera = g_Camera.Position();
  ASSERT_TRUE(flier->Spawn(1, CVector3{camera.x + 200.0f, camera.y - 100.0f, 0.5f * Z}, 1));
  EXPECT_EQ(flier->m_Loop_Width, 400.0f);
  Step(*flier, 0.0035f, 1000);  // 3.5 units: angle 0.35 pi
  const float angle = flier->m_Age * 0.1f * 3.14159265f;
  EXPECT_NEAR(flier->m_Position.z, camera.z + std::sin(angle) * flier->m_Loop_Depth, 30.0f);
  const uint32_t hits = Hits();
  CObject_Pool* flashes = g_Object_Pools[CDebris_Target_Sparkler::kType];
  ASSERT_NE(flashes, nullptr);
  Hitter rival(CTarget_Flier::kType, kKind_Counted_Target, flier->m_Position, CVector3{0, 0, 0});
  EXPECT_FALSE(flier->On_Hit(&rival, nullptr)) << "fliers ignore each other";
  Hitter shot(2, kKind_Shot, flier->m_Position, CVector3{0, 0, 2000});
  ASSERT_TRUE(flier->On_Hit(&shot, nullptr));
  EXPECT_EQ(Hits(), hits + 1);
  EXPECT_GT(Sparkles(), 0u);
  EXPECT_NE(g_World.Find_Object_By_Type(CDebris_Target_Sparkler::kType, 0), nullptr) << "the flash";
  EXPECT_GT(flier->m_Kill_Timer, 0.0f);
  EXPECT_EQ(flier->m_State_Flags & kState_No_Gravity, 0u);
  flier->Release_Attachments();
  CTarget_Flier::Pool()->Free_Object(flier);
}

TEST_F(Flyers, TheTrackSetsUpEveryFlyerWithItsOwnPlaceAndListsIt) {
  struct Case {
    uint32_t type;
    uint32_t argument;
  };
  const Case cases[] = {{CTarget_Flier::kType, 0}, {CTarget_Flier::kType, 1}, {CTarget_Boomer::kType, 0},
                        {CTarget_Leaf::kType, 0},  {CTarget_Bar::kType, 0},   {CTarget_Flare::kType, 0},
                        {CTarget_Flare::kType, 1}, {CTarget_Glower::kType, 0}, {CTarget_Glower::kType, 1},
                        {CTarget_Glower_B::kType, 0}, {CTarget_Buster::kType, 0}, {CTarget_Exclaim::kType, 0}};
  const CVector3& camera = g_Camera.Position();
  for (const Case& c : cases) {
    CTrack_Point point;
    point.argument = c.argument;
    ASSERT_TRUE(g_Music_Track.Spawn_Target(c.type, point)) << c.type;
    CWorld_Object* object = g_World.Find_Object_By_Type(c.type, 0);
    ASSERT_NE(object, nullptr) << c.type;
    EXPECT_EQ(object->m_Kind_Flags & kKind_Counted_Target, kKind_Counted_Target) << c.type;
    EXPECT_GT(object->m_Position.z, camera.z - 1.0f) << c.type << ": in front of the camera";
    EXPECT_GT(object->m_Position.y, Ground(object->m_Position.x, object->m_Position.z) - 1.0f) << c.type;
    EXPECT_TRUE(std::isfinite(object->m_Position.x)) << c.type;
  }
  EXPECT_EQ(static_cast<CTarget_Glower*>(g_World.Find_Object_By_Type(CTarget_Glower::kType, 0))->m_Swing, false)
      << "argument 1 drops the glower";
  // They fly, draw (every twelfth frame) and die without fault.
  for (int frame = 0; frame < 120; ++frame) {
    if (frame % 12 == 11)
      harness.Step(1, 16);
    else
      harness.Step_Undrawn(1, 16);
  }
}

}  // namespace
}  // namespace targets_test
