// Shots striking objects, rays cast through the world, and the world's object queries.
#include <algorithm>
#include <vector>

#include "game/core/World_Queries.h"
#include "game/sim/CSim_Stats.h"
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class WorldQueriesTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    Load(Flat_Spec(kGround));
  }
  static constexpr float kGround = 20.0f;
  static constexpr float kHigh = 500.0f;
  static constexpr uint32_t kFloating = kState_No_Gravity | kState_No_World_Contact;
};

TEST_F(WorldQueriesTest, AStruckObjectIsRegisteredWithTheShotsSourceAndTag) {
  g_Sim_Stats.Reset();
  const uint32_t tag = 7;
  g_Sim_Stats.Record_Shot(CShot_Source::Numbered(CShot_Source::kLightning), tag);
  g_Sim_Stats.Record_Launch(nullptr);
  Test_Ball* ball = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
  ball->m_Sphere.hit_flag = 1;
  CVector3 point;
  int variant = static_cast<int>(CShot_Source::kLightning);
  ASSERT_TRUE(World_Strike_Object(ball, {800.0f, kHigh, 700.0f}, {0.0f, 0.0f, 200.0f}, point, variant, 7));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
  EXPECT_EQ(g_Sim_Stats.Count_Hit_Streak(), 1) << "the shot's entry is marked";
  ball->verdict = false;
  EXPECT_FALSE(World_Strike_Object(ball, {800.0f, kHigh, 700.0f}, {0.0f, 0.0f, 200.0f}, point, variant, 7));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u) << "a refused hit is not registered";
  EXPECT_FALSE(World_Strike_Object(ball, {900.0f, kHigh, 700.0f}, {0.0f, 0.0f, 200.0f}, point, variant, 7));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u) << "nor a miss";
  g_Sim_Stats.Stop();
}

TEST_F(WorldQueriesTest, AShotStrikesASphereWithinRadiusSquaredPlusTwoAndAHalf) {
  struct Case {
    float miss_sq;  // squared distance of the segment from the centre
    bool struck;
  } cases[] = {{0.0f, true}, {99.0f, true}, {102.0f, true}, {102.4f, true}, {102.6f, false}, {150.0f, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.miss_sq);
    Test_Ball* ball = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
    ball->m_Sphere.hit_flag = 1;
    const CVector3 start{800.0f + std::sqrt(c.miss_sq), kHigh, 700.0f};
    CVector3 point;
    int variant = 2;
    EXPECT_EQ(World_Strike_Object(ball, start, {0.0f, 0.0f, 200.0f}, point, variant, 7), c.struck);
    EXPECT_EQ(ball->hits, c.struck ? 1 : 0);
    if (c.struck) {
      EXPECT_NEAR(ball->last_shot.point.z, 800.0f, 1e-3f);
      EXPECT_NEAR(ball->last_shot.direction.z, 1.0f, 1e-6f);
      if (c.miss_sq < 100.0f)
        EXPECT_GT(ball->m_Motion.acceleration.z, 0.0f) << "thrown along the shot";
      else
        EXPECT_GT(ball->m_Motion.torque.Length(), 0.0f) << "a graze only spins it";
    }
    ball->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(WorldQueriesTest, WhatAShotPushesTellsAndReports) {
  struct Case {
    const char* what;
    int body;
    uint32_t kind;
    bool hit_flag, verdict;
    bool result, told, pushed;
  } cases[] = {
      {"target sphere", kBody_Sphere, 0x01, true, true, true, true, true},
      {"sphere refuses", kBody_Sphere, 0x01, true, false, false, true, false},
      {"sphere without hit flag", kBody_Sphere, 0x02, false, true, true, false, true},
      {"excluded sphere", kBody_Sphere, 0x41, true, true, false, false, false},
      {"not a target", kBody_Sphere, 0x10, true, true, false, false, false},
      {"target box", kBody_Box, 0x01, true, true, true, true, true},
      {"box without hit flag", kBody_Box, 0x01, false, true, false, false, false},
      {"box refuses", kBody_Box, 0x01, true, false, false, true, false},
      {"excluded box stops the shot untold", kBody_Box, 0x41, true, true, false, false, false},
      {"fixed that refuses is still struck", kBody_Fixed, 0x01, true, false, true, true, false},
      {"excluded fixed is not told", kBody_Fixed, 0x41, true, true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Recording<CSphere_Object>* told_by = nullptr;
    (void)told_by;
    CWorld_Object* object = nullptr;
    int* hits = nullptr;
    const CVector3 at{800.0f, kHigh, 800.0f};
    if (c.body == kBody_Sphere) {
      Test_Ball* b = Ball(at, 10.0f, 5.0f, 0.0f, kFloating, c.kind);
      b->m_Sphere.hit_flag = c.hit_flag;
      b->verdict = c.verdict;
      object = b;
      hits = &b->hits;
    } else if (c.body == kBody_Box) {
      Test_Crate* b = Crate(at, {10.0f, 10.0f, 10.0f}, 20.0f, 0.0f, kFloating, c.kind);
      b->m_Box.hit_flag = c.hit_flag;
      b->verdict = c.verdict;
      object = b;
      hits = &b->hits;
    } else {
      Test_Post* p = Post(at, {10.0f, 10.0f, 10.0f}, c.kind);
      p->m_Fixed.hit_flag = c.hit_flag;
      p->verdict = c.verdict;
      object = p;
      hits = &p->hits;
    }
    CVector3 point;
    int variant = 2;
    EXPECT_EQ(World_Strike_Object(object, {805.0f, kHigh, 600.0f}, {0.0f, 0.0f, 400.0f}, point, variant, 1), c.result);
    EXPECT_EQ(*hits > 0, c.told);
    EXPECT_EQ(object->m_Motion.acceleration.z > 0.0f, c.pushed) << "thrown along the shot";
    object->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(WorldQueriesTest, RaysStopAtTheXWallsAndTheFarZWall) {
  struct Case {
    CVector3 direction;
    int result;
    float x, z;
  } cases[] = {
      {{1.0f, 0.0f, 0.0f}, kRay_Wall, 1600.0f, 800.0f},
      {{-1.0f, 0.0f, 0.0f}, kRay_Wall, 0.0f, 800.0f},
      {{-0.6f, 0.0f, -0.8f}, kRay_Wall, 0.0f, 800.0f - 0.8f * 800.0f / 0.6f},  // no cut at z = 0
      {{0.1f, 0.0f, 0.99498744f}, kRay_Wall, 800.0f + 0.1f * 800.0f / 0.99498744f, 1600.0f},
      {{0.0f, 0.0f, 1.0f}, kRay_Nothing, 0.0f, 0.0f},  // parallel to the chosen wall
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.direction.x << ", " << c.direction.z);
    CVector3 point{0.0f, 0.0f, 0.0f};
    CWorld_Object* object = reinterpret_cast<CWorld_Object*>(1);
    EXPECT_EQ(World_Cast_Ray({800.0f, kHigh, 800.0f}, c.direction, point, 5.0f, object), c.result);
    EXPECT_EQ(object, nullptr);
    if (c.result == kRay_Wall) {
      EXPECT_NEAR(point.x, c.x, 0.05f);
      EXPECT_NEAR(point.z, c.z, 0.05f);
    }
  }
}

TEST_F(WorldQueriesTest, RaysMeetTheGroundAndObjects) {
  CVector3 point;
  CWorld_Object* object = nullptr;
  EXPECT_EQ(World_Cast_Ray({800.0f, kHigh, 800.0f}, {0.0f, -1.0f, 0.0f}, point, 5.0f, object), kRay_Terrain);
  EXPECT_NEAR(point.y, kGround, 0.01f);
  Test_Ball* target = Ball({1000.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
  EXPECT_EQ(World_Cast_Ray({800.0f, kHigh, 800.0f}, {1.0f, 0.0f, 0.0f}, point, 5.0f, object), kRay_Object);
  EXPECT_EQ(object, target);
  EXPECT_NEAR(point.x, 1000.0f, 0.01f);
}

TEST_F(WorldQueriesTest, APickTakesALiveTargetFirstElseWhatIsNearestTheLine) {
  struct Near {
    float x, z;       // the centre; the ray runs along x at z = 800
    uint32_t kind;
    float kill_timer;
  };
  struct Case {
    const char* what;
    std::vector<Near> in_order;  // in the order the world lists them
    int picked;                  // index into in_order, or -1 for none
  } cases[] = {
      {"a live target takes over from a fading one nearer the line",
       {{1000.0f, 800.0f, 0x01, 0.5f}, {1200.0f, 803.0f, 0x01, 0.0f}}, 1},
      {"a fading target nearer the line displaces a live best",
       {{1200.0f, 803.0f, 0x01, 0.0f}, {1000.0f, 800.0f, 0x01, 0.5f}}, 1},
      {"scenery nearer the line displaces a live best and nothing is picked",
       {{1200.0f, 803.0f, 0x01, 0.0f}, {1100.0f, 801.0f, 0x04, 0.0f}}, -1},
      {"of two live targets the one nearer the line",
       {{1000.0f, 803.0f, 0x02, 0.0f}, {1200.0f, 801.0f, 0x01, 0.0f}}, 1},
      {"an equal distance keeps the first",
       {{1000.0f, 802.0f, 0x01, 0.0f}, {1200.0f, 798.0f, 0x01, 0.0f}}, 0},
      {"a best fading past 0.85 gives nothing",
       {{1200.0f, 803.0f, 0x01, 0.0f}, {1000.0f, 800.0f, 0x01, 0.9f}}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Test_Ball*> balls(c.in_order.size());
    // Each new object goes to the front of its list: build them last first.
    for (size_t i = c.in_order.size(); i-- > 0;) {
      const Near& n = c.in_order[i];
      balls[i] = Ball({n.x, kHigh, n.z}, 10.0f, 5.0f, 0.0f, kFloating, n.kind);
      balls[i]->m_Kill_Timer = n.kill_timer;
    }
    CVector3 point{0.0f, 0.0f, 0.0f};
    CWorld_Object* picked = World_Pick_Object_On_Ray({800.0f, kHigh, 800.0f}, {1.0f, 0.0f, 0.0f}, point, 15.0f);
    EXPECT_EQ(picked, c.picked < 0 ? nullptr : balls[c.picked]);
    if (c.picked >= 0) {
      EXPECT_NEAR(point.x, c.in_order[c.picked].x, 0.01f) << "the ray's nearest approach";
    }
    for (Test_Ball* ball : balls) ball->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(WorldQueriesTest, QueryRadiusFiltersByDistanceAndListsEachObjectOnce) {
  Test_Ball* ball = Ball({900.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
  Test_Crate* crate = Crate({800.0f, kHigh, 950.0f}, {20.0f, 20.0f, 20.0f}, 20.0f, 0.0f, kFloating);
  Test_Ball* spread = Ball({400.0f, kHigh, 400.0f}, 30.0f, 5.0f, 0.0f, kFloating);  // on four cells
  const CVector3 centre{800.0f, kHigh, 800.0f};
  struct Case {
    CVector3 point;
    float radius;
    std::vector<CWorld_Object*> found;
  } cases[] = {
      {centre, 85.0f, {}},
      {centre, 95.0f, {ball}},
      {centre, 131.0f, {ball, crate}},
      {{400.0f, kHigh, 400.0f}, 500.0f, {spread}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radius);
    CWorld_Query query;
    g_World.Query_Radius(c.point, c.radius, query);
    std::vector<CWorld_Object*> found(query.objects, query.objects + query.count);
    std::sort(found.begin(), found.end());
    std::vector<CWorld_Object*> expected = c.found;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
  }
}

// A ball whose On_Hit runs a query of its own while the mover walks its query's results.
class Querying_Ball : public Test_Ball {
 public:
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override {
    CWorld_Query elsewhere;
    g_World.Query_Radius({100.0f, 0.0f, 100.0f}, 5.0f, elsewhere);
    return Test_Ball::On_Hit(other, shot);
  }
};

TEST_F(WorldQueriesTest, AQueryInsideOnHitLeavesTheMoversResultsIntact) {
  Querying_Ball first;
  first.Setup_Object(kBall_Type, 1.0f, 1.0f, kFloating, 0x01);
  first.Setup_Sphere_Body(5.0f, 10.0f, 0.0f);
  first.m_Sphere.hit_flag = 1;
  first.name = "first";
  first.Set_Position({815.0f, kHigh, 800.0f});
  g_World.Add_Object(0, &first);
  Test_Ball* second = Ball({785.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
  second->m_Sphere.hit_flag = 1;
  second->name = "second";
  Test_Ball* mover = Ball({800.0f, kHigh, 800.0f}, 10.0f, 5.0f, 0.0f, kFloating);
  mover->Update(kTick);
  std::vector<std::string> told = Hit_Log();
  std::sort(told.begin(), told.end());
  EXPECT_EQ(told, (std::vector<std::string>{"first", "second"}));
  first.m_Kill_Timer = 1.0f;  // the world lets go of it before it goes out of scope
  g_World.Remove_Dead_Objects();
}

TEST_F(WorldQueriesTest, ListQueriesCountThroughTheThreeLists) {
  Test_Post* post = Post({100.0f, kHigh, 100.0f}, {5.0f, 5.0f, 5.0f}, 0x08);        // list 0
  Test_Ball* ball = Ball({200.0f, kHigh, 100.0f}, 5.0f, 5.0f, 0.0f, kFloating, 0x02, 1);
  Test_Crate* crate = Crate({300.0f, kHigh, 100.0f}, {5.0f, 5.0f, 5.0f}, 20.0f, 0.0f, kFloating, 0x03, 2);
  EXPECT_EQ(g_World.Get_Object(0), post);
  EXPECT_EQ(g_World.Get_Object(1), ball);
  EXPECT_EQ(g_World.Get_Object(2), crate);
  EXPECT_EQ(g_World.Get_Object(3), nullptr);
  EXPECT_EQ(g_World.Find_Object_By_Flags(0x02, 0), ball);
  EXPECT_EQ(g_World.Find_Object_By_Flags(0x02, 1), crate);
  EXPECT_EQ(g_World.Find_Object_By_Flags(0x02, 2), nullptr);
  EXPECT_EQ(g_World.Find_Object_By_Type(kCrate_Type, 0), crate);
  CWorld_Query query;
  EXPECT_EQ(g_World.Collect_Objects(0x09, query), 2);
  EXPECT_EQ(g_World.Find_Object_In_Radius_By_Type(kBall_Type, {200.0f, kHigh, 100.0f}, 50.0f), ball);
  crate->m_Kill_Timer = 0.2f;
  EXPECT_EQ(g_World.Find_Live_Object_In_Radius(0x01, {300.0f, kHigh, 100.0f}, 50.0f), nullptr);
  EXPECT_EQ(g_World.Find_Object_In_Radius_By_Flags(0x01, {300.0f, kHigh, 100.0f}, 50.0f), crate);
  float limit = 1e9f, value = -1.0f;
  EXPECT_EQ(g_World.Intersect_Objects({0.0f, kHigh, 100.0f}, {1000.0f, 0.0f, 0.0f}, limit, &value), ball);
  EXPECT_LT(value, 0.0f);
}

}  // namespace
}  // namespace world_test
