// Object pools: the table of pooled classes, registration and handing objects out.
#include <set>

#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class Boss : public Test_Ball {};
// Built before every static object without a priority, so before the pool table clears itself
// at start, whatever the link order: the registration must survive that clearing.
__attribute__((init_priority(101))) CObject_Pool_Of<Boss, 70, 1> g_Static_Boss_Pool;

TEST(ObjectPoolTableTest, SixtyThreeClassesWithTheirCounts) {
  std::set<uint32_t> types;
  for (const CObject_Pool_Row& row : kObject_Pool_Rows) {
    EXPECT_LT(row.type, static_cast<uint32_t>(kObject_Type_Count));
    EXPECT_GT(row.count, 0u);
    EXPECT_TRUE(types.insert(row.type).second) << row.class_name;
  }
  EXPECT_EQ(types.size(), 63u);
  for (uint32_t type : {0u, 1u, 2u, 6u, 7u, 48u, 49u, 70u, 71u, 72u, 73u, 1000u}) EXPECT_EQ(Object_Pool_Size(type), 0u);
  struct Case {
    uint32_t type, count;
  } cases[] = {{3, 32}, {21, 64}, {23, 32}, {47, 6}, {50, 8}, {61, 24}, {68, 1}, {69, 8}};
  for (const Case& c : cases) EXPECT_EQ(Object_Pool_Size(c.type), c.count) << c.type;
}

// A pool registered before the table's own clearing (above) and one registered after it (in
// the test) both stay registered.
TEST(ObjectPoolRegistryTest, PoolsRegisterWhateverTheStaticOrder) {
  EXPECT_EQ(g_Object_Pools[70], &g_Static_Boss_Pool);
  EXPECT_EQ(g_Object_Pools[kBall_Type], &Balls());
  Clear_Object_Pools();  // only the first clearing of the run empties the table
  EXPECT_EQ(g_Object_Pools[70], &g_Static_Boss_Pool);
  EXPECT_FALSE(Register_Object_Pool(kObject_Type_Count, &g_Static_Boss_Pool));
  {
    CObject_Pool_Of<Test_Post, 71, 8> scoped;
    EXPECT_EQ(g_Object_Pools[71], &scoped);
  }
  EXPECT_EQ(g_Object_Pools[71], nullptr);
}

TEST(ObjectPoolTest, HandsOutTheLowestFreeObjectUntilNoneIsLeft) {
  CObject_Pool_Of<Test_Post, 48, 4> pool;
  EXPECT_EQ(pool.Alloc_Object(), nullptr) << "a pool that is not initialised hands out nothing";
  ASSERT_TRUE(pool.Init());
  CWorld_Object* got[4];
  for (int i = 0; i < 4; ++i) {
    got[i] = pool.Alloc_Object();
    EXPECT_EQ(got[i], &pool.Object(i));
  }
  EXPECT_EQ(pool.Alloc_Object(), nullptr);
  EXPECT_FALSE(pool.Has_Free_Object());
  got[2]->m_Value1 = 42.0f;
  pool.Free_Object(got[2]);
  pool.Free_Object(got[1]);
  EXPECT_TRUE(pool.Has_Free_Object());
  CWorld_Object* again = pool.Alloc_Object();
  EXPECT_EQ(again, got[1]);
  EXPECT_EQ(pool.Alloc_Object(), got[2]);
  EXPECT_FLOAT_EQ(got[2]->m_Value1, 42.0f) << "an object keeps its fields until its class sets it up";
  Test_Post stranger;
  pool.Free_Object(&stranger);  // not from this pool: ignored
  EXPECT_FALSE(pool.Has_Free_Object());
}

TEST(ObjectPoolTest, ASingleObjectPoolHasOneToGive) {
  ASSERT_TRUE(g_Static_Boss_Pool.Init());
  CWorld_Object* boss = g_Static_Boss_Pool.Alloc_Object();
  ASSERT_NE(boss, nullptr);
  EXPECT_EQ(g_Static_Boss_Pool.Alloc_Object(), nullptr);
  g_Static_Boss_Pool.Free_Object(boss);
  EXPECT_EQ(g_Static_Boss_Pool.Alloc_Object(), boss);
  g_Static_Boss_Pool.Term();
}

TEST(ObjectPoolTest, InitStopsAtTheFirstFailingObjectAndTermReachesEveryObject) {
  CObject_Pool_Of<Test_Post, 49, 6> pool;
  pool.Object(2).init_ok = false;
  EXPECT_FALSE(pool.Init());
  EXPECT_FALSE(pool.Is_Initialised());
  EXPECT_EQ(pool.Alloc_Object(), nullptr);
  pool.Object(2).init_ok = true;
  ASSERT_TRUE(pool.Init());
  pool.Alloc_Object();
  pool.Term();
  EXPECT_FALSE(pool.Is_Initialised());
  for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(pool.Object(i).terms, 1);
}

}  // namespace
}  // namespace world_test
