// Target locks: the link pool and the seeker's search and steering.
#include <cstring>

#include "game/core/CTarget_Lock_Fixed.h"
#include "game/core/CTarget_Lock_Seeker.h"
#include "platform/system/memory.h"
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class TargetLockTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    Load(Flat_Spec(0.0f));
  }
  void TearDown() override {
    g_Target_Link_Pool.Init();
    World_Test::TearDown();
  }
  static constexpr uint32_t kFloating = kState_No_Gravity | kState_No_World_Contact | kState_No_Object_Collision;
};

TEST_F(TargetLockTest, TheSeekerTakesOnlyObjectsWhoseKindFlagsAreExactlyATargetKind) {
  struct Case {
    uint32_t kind;
    uint32_t type;
    bool taken;
  } cases[] = {{0x01, kBall_Type, true},  {0x02, kBall_Type, true},  {0x08, kBall_Type, true},
               {0x20, kBall_Type, true},  {0x03, kBall_Type, false}, {0x21, kBall_Type, false},
               {0x04, kBall_Type, false}, {0x10, kBall_Type, false}, {0x01, CTarget_Lock_Seeker::kSkipped_Type, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " type " << c.type);
    Test_Ball* missile = Ball({800.0f, 100.0f, 400.0f}, 3.0f, 1.0f, 0.0f, kFloating, kKind_Shot);
    Test_Ball* candidate = Ball({800.0f, 100.0f, 500.0f}, 10.0f, 1.0f, 0.0f, kFloating, c.kind);
    candidate->m_Type = c.type;
    CTarget_Lock_Seeker seeker;
    seeker.Start(missile);
    seeker.Find();
    EXPECT_EQ(seeker.First_Object() == candidate, c.taken);
    EXPECT_FLOAT_EQ(seeker.m_Search_Timer, 0.15f);
    seeker.Clear();
    candidate->m_Type = kBall_Type;
    candidate->m_Kill_Timer = missile->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(TargetLockTest, TheSeekerTurnsItsOwnerTowardsItsTarget) {
  Test_Ball* missile = Ball({800.0f, 100.0f, 400.0f}, 3.0f, 1.0f, 0.0f, kFloating, kKind_Shot);
  Test_Ball* target = Ball({1000.0f, 100.0f, 400.0f}, 10.0f, 1.0f, 0.0f, kFloating, 0x01);
  CTarget_Lock_Seeker seeker;
  seeker.Start(missile);
  g_Target_Link_Pool.Add_Link(target, &seeker);
  for (int i = 0; i < 2000; ++i) seeker.Update(&missile->m_Motion, kTick);
  const CVector3& forward = missile->m_Orientation.rows[2];
  EXPECT_GT(forward.x, 0.98f);
  EXPECT_NEAR(forward.Length(), 1.0f, 1e-4f);
  // A dying owner is not steered.
  missile->m_Kill_Timer = 0.5f;
  const CMatrix3x3 before = missile->m_Orientation;
  target->Set_Position({800.0f, 100.0f, 900.0f});
  seeker.Update(&missile->m_Motion, kTick);
  EXPECT_EQ(std::memcmp(&before, &missile->m_Orientation, sizeof(before)), 0);
  // A target straight above the owner still gives a finite orientation.
  missile->m_Kill_Timer = 0.0f;
  target->Set_Position({800.0f, 600.0f, 400.0f});
  for (int i = 0; i < 100; ++i) seeker.Update(&missile->m_Motion, kTick);
  EXPECT_TRUE(Finite(missile->m_Orientation.rows[0]) && Finite(missile->m_Orientation.rows[2]));
}

TEST_F(TargetLockTest, Link257ComesFromTheHeapAndGoesBackThere) {
  Test_Ball* target = Ball({100.0f, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating);
  CTarget_Lock_Fixed lock;
  lock.Start(target);
  std::vector<CTarget_Link*> links;
  for (int i = 0; i < CTarget_Link_Pool::kLink_Count; ++i) links.push_back(g_Target_Link_Pool.Add_Link(target, &lock));
  const int64_t before = g_Total_Mem_Allocated.load();
  CTarget_Link* extra = g_Target_Link_Pool.Add_Link(target, &lock);
  ASSERT_NE(extra, nullptr);
  EXPECT_FALSE(g_Target_Link_Pool.Is_Pool_Record(extra));
  EXPECT_GT(g_Total_Mem_Allocated.load(), before);
  EXPECT_EQ(g_Target_Link_Pool.Links_In_Use(), 257);
  g_Target_Link_Pool.Remove_Link(extra);
  EXPECT_EQ(g_Total_Mem_Allocated.load(), before);
  lock.Clear();
  EXPECT_FALSE(lock.Is_Active());
  EXPECT_EQ(target->m_Link_Chain, nullptr);
  EXPECT_EQ(g_Target_Link_Pool.Links_In_Use(), 0);
}

TEST_F(TargetLockTest, RemovingALinkAfterThePoolEndsDoesNothing) {
  Test_Ball* target = Ball({100.0f, 100.0f, 100.0f}, 5.0f, 1.0f, 0.0f, kFloating);
  {
    CTarget_Lock_Fixed lock;
    lock.Start(nullptr);
    CTarget_Link* link = g_Target_Link_Pool.Add_Link(target, &lock);
    g_Target_Link_Pool.Term();
    g_Target_Link_Pool.Remove_Link(link);
    EXPECT_EQ(lock.First_Object(), target);
    EXPECT_EQ(g_Target_Link_Pool.Links_In_Use(), 1);
  }  // the lock's destructor must not loop on the link it cannot give back
  target->m_Link_Chain = nullptr;
}

}  // namespace
}  // namespace world_test
