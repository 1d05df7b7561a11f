// Each start-up of the cylinder, the vial, the bullseye board, its tower and the memory board
// fails at each of its resources with the class's own message, and its pool then hands out
// nothing; with every resource there, the pool starts again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/targets/CEjector_Cylinder.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CEjector_Targets.h"
#include "game/targets/CTarget_Death_Vial.h"
#include "game/targets/CTarget_Target.h"
#include "tests/game/targets/launchers_fixture.h"

namespace launchers_test {
namespace {

const char* const kRenderable = "\nUnable to create renderable object...";
const char* const kTexture = "\nUnable to load texture...";
const char* const kShader = "\nUnable to load shader...";

struct Refusal {
  CObject_Pool* (*pool)();
  const char* class_name;
  uint32_t id;
  const char* ending;
};

const std::vector<Refusal>& Refusals() {
  static const std::vector<Refusal> rows = {
      {&CEjector_Cylinder::Pool, "CEjector_Cylinder", 0x220000A6, kRenderable},
      {&CEjector_Cylinder::Pool, "CEjector_Cylinder", 0x220000A7, kRenderable},
      {&CEjector_Cylinder::Pool, "CEjector_Cylinder", 0x22000029, kTexture},
      {&CEjector_Cylinder::Pool, "CEjector_Cylinder", 0x220000A8, kShader},
      {&CEjector_Cylinder::Pool, "CEjector_Cylinder", 0x2200003B, kTexture},
      {&CEjector_Cylinder::Pool, "CEjector_Cylinder", 0x220000CA, kShader},
      {&CEjector_Cylinder::Pool, "CEjector_Cylinder", 0x22000020, kShader},
      {&CTarget_Death_Vial::Pool, "CTarget_Death_Vial", 0x220000A3, kRenderable},
      {&CTarget_Death_Vial::Pool, "CTarget_Death_Vial", 0x220000A4, kRenderable},
      {&CTarget_Death_Vial::Pool, "CTarget_Death_Vial", 0x22000025, kTexture},
      {&CTarget_Death_Vial::Pool, "CTarget_Death_Vial", 0x2200001D, kTexture},
      {&CTarget_Death_Vial::Pool, "CTarget_Death_Vial", 0x220000A2, kTexture},
      {&CTarget_Death_Vial::Pool, "CTarget_Death_Vial", 0x2200001E, kTexture},
      {&CTarget_Death_Vial::Pool, "CTarget_Death_Vial", 0x22000020, kShader},
      {&CTarget_Target::Pool, "CTarget_Target", 0x2200009D, kRenderable},
      {&CTarget_Target::Pool, "CTarget_Target", 0x2200009E, kRenderable},
      {&CTarget_Target::Pool, "CTarget_Target", 0x2200009F, kRenderable},
      {&CTarget_Target::Pool, "CTarget_Target", 0x2200003B, kTexture},
      {&CTarget_Target::Pool, "CTarget_Target", 0x220000A0, kTexture},
      {&CTarget_Target::Pool, "CTarget_Target", 0x2200003C, kShader},
      {&CTarget_Target::Pool, "CTarget_Target", 0x220000A1, kShader},
      {&CTarget_Target::Pool, "CTarget_Target", 0x22000020, kShader},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x2200009A, kRenderable},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x2200009B, kRenderable},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x2200002C, kTexture},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x22000069, kTexture},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x22000061, kShader},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x22000050, kShader},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x22000031, kShader},
      {&CEjector_Targets::Pool, "CEjector_Targets", 0x22000020, kShader},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x220000FE, kRenderable},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x220000FF, kRenderable},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x22000100, kRenderable},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x2200003B, kTexture},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x22000032, kTexture},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x22000101, kTexture},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x22000061, kShader},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x2200009C, kShader},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x2200004D, kShader},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x22000031, kShader},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x22000050, kShader},
      {&CEjector_Simon_1::Pool, "CEjector_Simon_1", 0x22000020, kShader},
  };
  return rows;
}

TEST_F(Launchers, EachStartUpFailsAtEachResourceWithItsMessageAndItsPoolHandsOutNothing) {
  for (const Refusal& row : Refusals()) {
    SCOPED_TRACE(std::string(row.class_name) + " refusing " + std::to_string(row.id));
    CObject_Pool* pool = row.pool();
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
    pool->Term();
    const uint32_t refused = row.id;
    fx::Set_Resource_Filter([refused](uint32_t id) { return id != refused; });
    messages.clear();
    EXPECT_FALSE(pool->Init());
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), std::string("Error in ") + row.class_name + row.ending);
    EXPECT_EQ(messages.size(), 1u) << "only the first failure speaks";
    EXPECT_FALSE(pool->Is_Initialised());
    EXPECT_EQ(pool->Alloc_Object(), nullptr);
    fx::Set_Resource_Filter(nullptr);
    messages.clear();
    EXPECT_TRUE(pool->Init());
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(pool->Alloc_Object(), nullptr);
  }
}

TEST_F(Launchers, EveryPoolIsRegisteredAndStartedWithTheGame) {
  struct Row {
    CObject_Pool* (*pool)();
    uint32_t type;
    uint32_t size;
  };
  const Row rows[] = {{&CEjector_Cylinder::Pool, 39, 8},
                      {&CTarget_Death_Vial::Pool, 13, 4},
                      {&CTarget_Target::Pool, 11, 16},
                      {&CEjector_Targets::Pool, 40, 8},
                      {&CEjector_Simon_1::Pool, 47, 6}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    EXPECT_EQ(g_Object_Pools[row.type], row.pool());
    EXPECT_TRUE(row.pool()->Is_Initialised());
    uint32_t taken = 0;
    while (row.pool()->Alloc_Object()) ++taken;
    EXPECT_EQ(taken, row.size);
  }
}

}  // namespace
}  // namespace launchers_test
