// Start-up of the target classes in the running game: every pool of the table registered and
// started whatever the link order, each class's Init failing at each of its resources with its
// own message and its pool handing out nothing, and the harness's verbs that spawn, trigger and
// shoot them from a script.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "game/fx/FX_Resources.h"
#include "game/targets/CEjector_Ball.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Brick.h"
#include "game/targets/CTarget_Ball.h"
#include "game/targets/CTarget_Box.h"
#include "game/targets/CTarget_Brick.h"
#include "tests/game/targets/targets_fixture.h"

namespace targets_test {
namespace {

class Start_Up : public Targets {
 protected:
  void TearDown() override {
    fx::Set_Resource_Filter(nullptr);
    Targets::TearDown();
  }
};

TEST_F(Start_Up, EveryTargetEjectorAndDebrisPoolIsRegisteredAfterStartUp) {
  int rows = 0;
  for (const CObject_Pool_Row& row : kObject_Pool_Rows) {
    const std::string name = row.class_name;
    if (name.rfind("CTarget_", 0) != 0 && name.rfind("CEjector_", 0) != 0 && name.rfind("CDebris_", 0) != 0 &&
        name.rfind("CStruct_", 0) != 0)
      continue;
    EXPECT_NE(g_Object_Pools[row.type], nullptr) << row.class_name;
    ++rows;
  }
  EXPECT_EQ(rows, 22 + 16 + 6 + 1);
  for (uint32_t type : {CTarget_Ball::kType, CTarget_Box::kType, CTarget_Brick::kType, CEjector_Ball::kType,
                        CEjector_Box::kType, CEjector_Brick::kType}) {
    ASSERT_NE(g_Object_Pools[type], nullptr);
    EXPECT_TRUE(g_Object_Pools[type]->Is_Initialised()) << type;
  }
}

TEST_F(Start_Up, EachInitFailsAtEachResourceWithItsMessage) {
  const std::string renderable = "\nUnable to create renderable object...";
  const std::string texture = "\nUnable to load texture...";
  const std::string shader = "\nUnable to load shader...";
  struct Case {
    const char* name;
    CObject_Pool* pool;
    uint32_t refused;
    std::string ending;
  } cases[] = {
      {"CTarget_Ball", CTarget_Ball::Pool(), 0x22000000, renderable},
      {"CTarget_Ball", CTarget_Ball::Pool(), 0x2200003b, texture},
      {"CTarget_Ball", CTarget_Ball::Pool(), 0x2200003c, texture},
      {"CTarget_Ball", CTarget_Ball::Pool(), 0x22000020, shader},
      {"CEjector_Ball", CEjector_Ball::Pool(), 0x220000b1, renderable},
      {"CEjector_Ball", CEjector_Ball::Pool(), 0x2200002a, texture},
      {"CEjector_Ball", CEjector_Ball::Pool(), 0x22000043, shader},
      {"CEjector_Ball", CEjector_Ball::Pool(), 0x22000020, shader},
      {"CTarget_Box", CTarget_Box::Pool(), 0x2200003a, renderable},
      {"CTarget_Box", CTarget_Box::Pool(), 0x2200003b, texture},
      {"CTarget_Box", CTarget_Box::Pool(), 0x2200003c, texture},
      {"CTarget_Box", CTarget_Box::Pool(), 0x22000020, shader},
      {"CTarget_Box", CTarget_Box::Pool(), 0x22000040, shader},
      {"CTarget_Box", CTarget_Box::Pool(), 0x22000041, shader},
      {"CEjector_Box", CEjector_Box::Pool(), 0x22000042, renderable},
      {"CEjector_Box", CEjector_Box::Pool(), 0x22000044, texture},
      {"CEjector_Box", CEjector_Box::Pool(), 0x2200002a, texture},
      {"CEjector_Box", CEjector_Box::Pool(), 0x22000029, texture},
      {"CEjector_Box", CEjector_Box::Pool(), 0x22000043, shader},
      {"CEjector_Box", CEjector_Box::Pool(), 0x22000020, shader},
      {"CTarget_Brick", CTarget_Brick::Pool(), 0x220000b8, renderable},
      {"CTarget_Brick", CTarget_Brick::Pool(), 0x2200003b, texture},
      {"CTarget_Brick", CTarget_Brick::Pool(), 0x2200003c, texture},
      {"CTarget_Brick", CTarget_Brick::Pool(), 0x22000020, shader},
      {"CEjector_Brick", CEjector_Brick::Pool(), 0x220000b7, renderable},
      {"CEjector_Brick", CEjector_Brick::Pool(), 0x220000c1, renderable},
      {"CEjector_Brick", CEjector_Brick::Pool(), 0x22000029, texture},
      {"CEjector_Brick", CEjector_Brick::Pool(), 0x22000043, shader},
      {"CEjector_Brick", CEjector_Brick::Pool(), 0x220000ae, shader},
  };
  for (const Case& c : cases) {
    c.pool->Term();
    messages.clear();
    const uint32_t refused = c.refused;
    fx::Set_Resource_Filter([refused](uint32_t id) { return id != refused; });
    EXPECT_FALSE(c.pool->Init()) << c.name << " " << std::hex << c.refused;
    ASSERT_EQ(messages.size(), 1u) << c.name << " " << std::hex << c.refused << ": one message, at the first failure";
    EXPECT_EQ(messages[0], std::string("Error in ") + c.name + c.ending) << std::hex << c.refused;
    EXPECT_FALSE(c.pool->Is_Initialised());
    EXPECT_EQ(c.pool->Alloc_Object(), nullptr) << c.name;
    fx::Set_Resource_Filter(nullptr);
    EXPECT_TRUE(c.pool->Init()) << c.name;
  }
}

TEST_F(Start_Up, ScriptsSpawnTriggerAndShootThem) {
  const float x = 0.5f * X, z = 0.6f * Z;
  const std::string place = std::to_string(x) + " 0 " + std::to_string(z);
  std::string error;
  ASSERT_TRUE(harness.Run_Script("draw 100\nspawn 38 " + place + " 3\nframes 30\ntrigger 38 0\nframes 2\n", "", &error)) << error;
  auto* ejector = static_cast<CEjector_Ball*>(g_World.Find_Object_By_Type(CEjector_Ball::kType, 0));
  ASSERT_NE(ejector, nullptr);
  EXPECT_EQ(ejector->Colour_Variant, 3u);
  auto* ball = static_cast<CTarget_Ball*>(g_World.Find_Object_By_Type(CTarget_Ball::kType, 0));
  ASSERT_NE(ball, nullptr) << "the trigger made it throw";
  // A script spawns a ball high up by its own set-up, and shoots it once it may be hit.
  ASSERT_TRUE(harness.Run_Script("spawn 10 " + std::to_string(x + 400) + " 1500 " + std::to_string(z) +
                                     " 2 2\nframes 12 16\n", "", &error)) << error;
  auto* floating = static_cast<CTarget_Ball*>(g_World.Find_Object_By_Type(CTarget_Ball::kType, 0));
  ASSERT_NE(floating, nullptr);
  EXPECT_EQ(floating->m_Colour, 2);
  EXPECT_EQ(floating->m_Motion_Mode, CTarget_Ball::kMode_Rise);
  const uint32_t hits = Hits();
  ASSERT_TRUE(harness.Run_Script("hit 10 0\n", "", &error)) << error;
  EXPECT_EQ(floating->m_Hit_Count, 1);
  EXPECT_EQ(Hits(), hits + 1) << "the shot's line registers the hit";
  // Mistakes are reported, not acted on.
  EXPECT_FALSE(harness.Run_Script("spawn 99 1 2 3\n", "", &error));
  EXPECT_FALSE(harness.Run_Script("spawn 38 1 two 3\n", "", &error));
  EXPECT_FALSE(harness.Run_Script("trigger 41x\n", "", &error));
  EXPECT_FALSE(harness.Run_Script("hit 10 0 1 2\n", "", &error));
}

}  // namespace
}  // namespace targets_test
