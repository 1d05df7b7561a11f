// Bodies meeting bodies: the handler table, the veto order and the separation.
#include "game/core/Collision_Handlers.h"
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class CollisionTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    Load(Flat_Spec(0.0f));
  }
  // Bodies high above the ground, without gravity, so that only their contact acts.
  static constexpr float kHigh = 500.0f;
  static constexpr uint32_t kFloating = kState_No_Gravity | kState_No_World_Contact;
};

TEST_F(CollisionTest, OnlyFourPairsOfBodyKindsCollide) {
  int filled = 0;
  for (Collision_Handler h : g_Collision_Handlers) filled += h != nullptr;
  EXPECT_EQ(filled, 4);
  EXPECT_EQ(g_Collision_Handlers[kBody_Sphere * 7 + kBody_Sphere], &Collide_Sphere_Sphere);
  EXPECT_EQ(g_Collision_Handlers[kBody_Sphere * 7 + kBody_Box], &Collide_Sphere_Box);
  EXPECT_EQ(g_Collision_Handlers[kBody_Sphere * 7 + kBody_Fixed], &Collide_Sphere_Fixed);
  EXPECT_EQ(g_Collision_Handlers[kBody_Box * 7 + kBody_Fixed], &Collide_Box_Fixed);
  EXPECT_EQ(g_Collision_Handlers[kBody_Box * 7 + kBody_Box], nullptr);
  EXPECT_EQ(g_Collision_Handlers[kBody_Box * 7 + kBody_Sphere], nullptr);
}

TEST_F(CollisionTest, OverlappingSpheresSeparateInOneStepTheHeavierMovingFurther) {
  Test_Ball* heavy = Ball({800.0f, kHigh, 800.0f}, 10.0f, 30.0f, 0.0f, kFloating);
  Test_Ball* light = Ball({815.0f, kHigh, 800.0f}, 10.0f, 10.0f, 0.0f, kFloating);
  Collide_Sphere_Sphere(heavy, light);
  const float moved_heavy = 800.0f - heavy->m_Position.x;
  const float moved_light = light->m_Position.x - 815.0f;
  EXPECT_GT(moved_heavy, moved_light);
  EXPECT_NEAR(moved_heavy, 5.0f * 0.75f * 1.02f, 1e-3f);
  EXPECT_GE(light->m_Position.x - heavy->m_Position.x, 20.0f);
}

TEST_F(CollisionTest, ApproachingSpheresExchangeTheirNormalVelocities) {
  Test_Ball* a = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 1.0f, kFloating);
  Test_Ball* b = Ball({819.0f, kHigh, 800.0f}, 10.0f, 5.0f, 1.0f, kFloating);
  a->m_Sphere.velocity.Set(10.0f, 0.0f, 3.0f);
  Collide_Sphere_Sphere(a, b);
  EXPECT_NEAR(a->m_Sphere.velocity.x, 0.0f, 1e-4f);
  EXPECT_NEAR(b->m_Sphere.velocity.x, 10.0f, 1e-4f);
  EXPECT_NEAR(a->m_Sphere.velocity.z, 3.0f, 1e-4f);
}

TEST_F(CollisionTest, CoincidentCentresPartWithoutNaN) {
  Test_Ball* a = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.5f, kFloating);
  Test_Ball* b = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.5f, kFloating);
  Collide_Sphere_Sphere(a, b);
  EXPECT_TRUE(Finite(a->m_Position));
  EXPECT_TRUE(Finite(b->m_Position));
  EXPECT_GT(a->m_Position.y - b->m_Position.y, 19.0f);
}

// Who is told of a contact, in which order, and where a refusal stops the telling.
TEST_F(CollisionTest, TheVetoOrderPutsShotsFirstAndStopsAtARefusal) {
  struct Case {
    const char* what;
    uint32_t mover_kind;
    bool mover_says, other_says;
    bool other_is_box;
    std::vector<std::string> told;
    bool separated;
  } cases[] = {
      {"shot hits ball", kKind_Shot, true, true, false, {"mover", "other"}, true},
      {"shot refuses", kKind_Shot, false, true, false, {"mover"}, false},
      {"ball hits ball", 0x01, true, true, false, {"other", "mover"}, true},
      {"target refuses", 0x01, true, false, false, {"other"}, false},
      {"shot hits box", kKind_Shot, true, true, true, {"mover", "other"}, true},
      {"box refuses a ball", 0x01, true, false, true, {"other"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_World.Reset();
    Load(Flat_Spec(0.0f));
    Balls().Init();
    Crates().Init();
    Hit_Log().clear();
    Test_Ball* mover = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating, c.mover_kind);
    mover->m_Sphere.hit_flag = 1;
    mover->verdict = c.mover_says;
    mover->name = "mover";
    CWorld_Object* other = nullptr;
    if (c.other_is_box) {
      Test_Crate* crate = Crate({815.0f, kHigh, 800.0f}, {10.0f, 10.0f, 10.0f}, 20.0f, 0.0f, kFloating);
      crate->m_Box.hit_flag = 1;
      crate->verdict = c.other_says;
      crate->name = "other";
      other = crate;
    } else {
      Test_Ball* ball = Ball({815.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
      ball->m_Sphere.hit_flag = 1;
      ball->verdict = c.other_says;
      ball->name = "other";
      other = ball;
    }
    mover->Update(kTick);
    EXPECT_EQ(Hit_Log(), c.told);
    EXPECT_EQ(mover->m_Position.x < 799.9f, c.separated);
    (void)other;
  }
}

TEST_F(CollisionTest, ObjectsWithoutTheirHitFlagAreNotToldAndDoNotVeto) {
  Test_Ball* mover = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
  Test_Ball* other = Ball({815.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
  other->verdict = false;  // would refuse, but is never asked
  mover->Update(kTick);
  EXPECT_TRUE(Hit_Log().empty());
  EXPECT_LT(mover->m_Position.x, 799.9f);
}

TEST_F(CollisionTest, FlaggedBoxesAndFixedBodiesLetSpheresThrough) {
  Test_Crate* ghost_box = Crate({800.0f, kHigh, 800.0f}, {10.0f, 10.0f, 10.0f}, 20.0f, 0.0f, kFloating);
  ghost_box->m_Box.box_flags = kBox_Ignores_Spheres;
  ghost_box->m_Box.hit_flag = 1;
  Test_Post* ghost_post = Post({1000.0f, kHigh, 800.0f}, {10.0f, 10.0f, 10.0f});
  ghost_post->m_Fixed.flags = kFixed_No_Collision;
  ghost_post->m_Fixed.hit_flag = 1;
  for (float x : {805.0f, 1005.0f}) {
    Test_Ball* ball = Ball({x, kHigh, 800.0f}, 8.0f, 5.0f, 0.0f, kFloating);
    ball->m_Sphere.hit_flag = 1;
    ball->Update(kTick);
    EXPECT_NEAR(ball->m_Position.x, x, 1e-3f);
  }
  EXPECT_TRUE(Hit_Log().empty());
  EXPECT_NE(ghost_post->m_State_Flags & kState_In_Grid, 0u) << "still filed in the grid";
}

TEST_F(CollisionTest, TwoBoxesNeverCollide) {
  Test_Crate* a = Crate({800.0f, kHigh, 800.0f}, {10.0f, 10.0f, 10.0f}, 20.0f, 0.0f, kFloating);
  Test_Crate* b = Crate({805.0f, kHigh, 800.0f}, {10.0f, 10.0f, 10.0f}, 20.0f, 0.0f, kFloating);
  a->m_Box.hit_flag = b->m_Box.hit_flag = 1;
  a->Update(kTick);
  b->Update(kTick);
  EXPECT_FLOAT_EQ(a->m_Position.x, 800.0f);
  EXPECT_FLOAT_EQ(b->m_Position.x, 805.0f);
  EXPECT_TRUE(Hit_Log().empty());
}

TEST_F(CollisionTest, BodiesInsideAFixedBoxLeaveThroughTheNearestFace) {
  Test_Post* post = Post({800.0f, kHigh, 800.0f}, {20.0f, 50.0f, 40.0f});
  // Centres exactly at the post's centre and just inside its +x face.
  for (const CVector3& at : {CVector3{800.0f, kHigh, 800.0f}, CVector3{815.0f, kHigh, 800.0f}}) {
    Test_Ball* ball = Ball(at, 5.0f, 5.0f, 0.0f, kFloating);
    Collide_Sphere_Fixed(ball, post);
    EXPECT_TRUE(Finite(ball->m_Position));
    EXPECT_GT(ball->m_Position.x, 820.0f + 5.0f) << at.x;
    Test_Crate* crate = Crate(at, {3.0f, 3.0f, 3.0f}, 20.0f, 0.0f, kFloating);
    Collide_Box_Fixed(crate, post);
    EXPECT_TRUE(Finite(crate->m_Position));
    EXPECT_GT(crate->m_Position.x, 820.0f + crate->m_Collision_Radius) << at.x;
  }
}

TEST_F(CollisionTest, ASphereStrikingAFixedBoxBouncesAndBothAreToldWhateverTheySay) {
  Test_Post* post = Post({800.0f, kHigh, 800.0f}, {20.0f, 20.0f, 20.0f});
  post->m_Fixed.hit_flag = 1;
  post->verdict = false;
  Test_Ball* ball = Ball({828.0f, kHigh, 800.0f}, 10.0f, 5.0f, 1.0f, kFloating);
  ball->m_Sphere.hit_flag = 1;
  ball->m_Sphere.velocity.Set(-100.0f, 0.0f, 0.0f);
  ball->Update(kTick);
  EXPECT_EQ(Hit_Log(), (std::vector<std::string>{"post", "ball"}));
  EXPECT_NEAR(ball->m_Sphere.velocity.x, 100.0f * 0.9995f, 1.0f);
  EXPECT_GE(ball->m_Position.x, 830.0f);
}

}  // namespace
}  // namespace world_test
