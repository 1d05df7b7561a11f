// The world's object lists: the fixed and variable steps, objects added while a list is
// walked, and the sweep that hands dead objects back to their pools.
#include "game/core/CTarget_Lock_Fixed.h"
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class WorldListsTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    Load(Flat_Spec(0.0f));
  }
  static constexpr uint32_t kFloating = kState_No_Gravity | kState_No_World_Contact | kState_No_Object_Collision;
};

// An ejector-like object that launches a ball from the ball pool on each of its updates.
class Spawner : public Test_Post {
 public:
  void Update(const float& dt) override {
    Test_Post::Update(dt);
    auto* ball = static_cast<Test_Ball*>(Balls().Alloc_Object());
    if (!ball) return;
    ball->Setup_Object(kBall_Type, 1.0f, 1.0f, kState_No_Gravity | kState_No_World_Contact | kState_No_Object_Collision, 0);
    ball->Setup_Sphere_Body(1.0f, 2.0f, 0.0f);
    ball->m_Motion.Clear();
    ball->updates = 0;
    ball->Set_Position({100.0f, 100.0f, 100.0f});
    g_World.Add_Object(list, ball);
  }
  int list = 2;
};

TEST_F(WorldListsTest, TheFixedListRunsOncePerMillisecondAndTheVariableListOnce) {
  Test_Ball* fixed = Ball({100.0f, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating, 0, 2);
  Test_Ball* variable = Ball({200.0f, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating, 0, 1);
  Test_Post* still = Post({300.0f, 0.0f, 100.0f}, {5.0f, 5.0f, 5.0f});
  g_World.Update(kTick, 100u, 0.35f, 0.35f);
  EXPECT_EQ(fixed->updates, 100);
  EXPECT_EQ(variable->updates, 1);
  EXPECT_EQ(still->updates, 0);
}

TEST_F(WorldListsTest, ObjectsAddedDuringAnUpdateJoinFromTheNextPass) {
  struct Case {
    int spawn_list;
    unsigned step;
    int balls_spawned;
    int updates_of_first;  // of the ball the first update launched
  } cases[] = {{2, 100, 32, 99}, {2, 10, 10, 9}, {1, 100, 32, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "list " << c.spawn_list << " step " << c.step);
    g_World.Reset();
    Load(Flat_Spec(0.0f));
    Balls().Init();
    Spawner spawner;
    spawner.list = c.spawn_list;
    spawner.Setup_Object(kPost_Type, 1.0f, 1.0f, 0, 0);
    spawner.Setup_Kind5_Body({5.0f, 5.0f, 5.0f});
    g_World.Add_Object(2, &spawner);
    g_World.Update(kTick, c.step, 0.35f, 0.35f);
    EXPECT_EQ(spawner.updates, static_cast<int>(c.step));
    int listed = 0;
    for (CWorld_Object* o = g_World.List_Head(c.spawn_list); o; o = o->m_Next) listed += o != &spawner;
    EXPECT_EQ(listed, c.balls_spawned);
    EXPECT_EQ(static_cast<Test_Ball&>(Balls().Object(0)).updates, c.updates_of_first);
    spawner.m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();  // the spawner is no pool's: the sweep must not delete it
  }
}

TEST_F(WorldListsTest, AnObjectCannotBeInTwoListsOrTwiceInOne) {
  Test_Ball* ball = Ball({100.0f, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating, 0, 2);
  EXPECT_FALSE(g_World.Add_Object(2, ball));
  EXPECT_FALSE(g_World.Add_Object(1, ball));
  EXPECT_FALSE(g_World.Add_Object(3, ball));
  EXPECT_EQ(g_World.Get_Object(1), nullptr);
}

TEST_F(WorldListsTest, DeadObjectsAreSweptBackIntoTheirPools) {
  Test_Ball* balls[4];
  for (int i = 0; i < 4; ++i) balls[i] = Ball({100.0f + 50 * i, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating, 0, i % 3);
  balls[0]->m_Kill_Timer = 1.0f;
  balls[1]->m_Kill_Timer = 0.99f;                      // still fading
  balls[2]->m_Position.x = std::nanf("");              // a position that is not a number
  balls[3]->m_Sphere.velocity.y = std::nanf("");       // a velocity that is not a number
  const int free_nodes = g_World.Grid().Free_Node_Count();
  g_World.Remove_Dead_Objects();
  EXPECT_EQ(g_World.Get_Object(0), balls[1]);
  EXPECT_EQ(g_World.Get_Object(1), nullptr);
  EXPECT_EQ(balls[0]->m_State_Flags & kState_In_Grid, 0u);
  EXPECT_EQ(balls[0]->m_List, -1);
  EXPECT_GT(g_World.Grid().Free_Node_Count(), free_nodes);
  EXPECT_EQ(Balls().Alloc_Object(), balls[0]) << "the lowest freed slot comes back first";
  EXPECT_EQ(Balls().Alloc_Object(), balls[2]);
  EXPECT_EQ(Balls().Alloc_Object(), balls[3]);
}

// A pool's object filed under a type index that no pool holds (or under another pool's) is
// still one of its pool's: the sweep gives it back there and never deletes it.
TEST_F(WorldListsTest, APooledObjectFiledUnderAnotherTypeGoesBackToItsOwnPool) {
  for (uint32_t type : {72u, kPost_Type, 1000u}) {
    SCOPED_TRACE(type);
    Balls().Init();
    std::vector<Test_Ball*> all;
    while (Test_Ball* ball = Ball({100.0f + 10.0f * static_cast<float>(all.size()), 100.0f, 100.0f}, 2.0f, 1.0f,
                                  0.0f, kFloating))
      all.push_back(ball);
    ASSERT_FALSE(Balls().Has_Free_Object());
    Test_Ball* stray = all[5];
    stray->m_Type = type;
    stray->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
    EXPECT_EQ(stray->m_List, -1);
    EXPECT_EQ(Balls().Alloc_Object(), stray);
    g_World.Reset();
    Load(Flat_Spec(0.0f));
  }
}

TEST_F(WorldListsTest, NothingIsSweptWhileThePauseLasts) {
  Test_Ball* ball = Ball({100.0f, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating);
  ball->m_Kill_Timer = 1.0f;
  Set_Game_Paused(true);
  g_World.End_Frame();
  EXPECT_EQ(g_World.Get_Object(0), ball);
  Set_Game_Paused(false);
  g_World.End_Frame();
  EXPECT_EQ(g_World.Get_Object(0), nullptr);
}

TEST_F(WorldListsTest, ASweptObjectLetsGoOfEveryLockThatHeldIt) {
  Test_Ball* target = Ball({100.0f, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating);
  CTarget_Lock_Fixed locks[3];
  for (CTarget_Lock_Fixed& lock : locks) {
    lock.Start(nullptr);
    ASSERT_NE(g_Target_Link_Pool.Add_Link(target, &lock), nullptr);
  }
  target->m_Kill_Timer = 1.0f;
  g_World.Remove_Dead_Objects();
  EXPECT_EQ(target->m_Link_Chain, nullptr);
  for (CTarget_Lock_Fixed& lock : locks) EXPECT_EQ(lock.First_Object(), nullptr);
  EXPECT_EQ(g_Target_Link_Pool.Links_In_Use(), 0);
}

TEST_F(WorldListsTest, ResetReturnsEveryObjectAndFreesTheTerrain) {
  for (int i = 0; i < 5; ++i) Ball({100.0f + 20 * i, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating, 0, i % 3);
  g_World.Reset();
  EXPECT_EQ(g_World.Get_Object(0), nullptr);
  EXPECT_FALSE(g_World.Has_Terrain());
  for (uint32_t i = 0; i < Ball_Pool::kCount; ++i) EXPECT_NE(Balls().Alloc_Object(), nullptr);
}

}  // namespace
}  // namespace world_test
