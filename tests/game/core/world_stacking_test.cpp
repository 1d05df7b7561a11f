// Spheres that land on one another: the contacts must settle them, never fling them away.
#include <algorithm>

#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class WorldStackingTest : public World_Test {};

TEST_F(WorldStackingTest, ASphereDroppedOntoAnotherRollsOffWithoutGainingSpeed) {
  Load(Flat_Spec(20.0f));
  struct Case {
    const char* name;
    CVector3 lower, upper;
  } cases[] = {
      {"nearly centred", {780.0f, 35.0f, 800.0f}, {782.0f, 300.0f, 801.0f}},
      {"off centre", {780.0f, 35.0f, 800.0f}, {800.0f, 360.0f, 805.0f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_World.Reset();
    Load(Flat_Spec(20.0f));
    Balls().Init();
    Test_Ball* lower = Ball(c.lower, 15.0f);
    Test_Ball* upper = Ball(c.upper, 15.0f);
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    float fastest = 0.0f;
    for (int i = 0; i < 100; ++i) {
      Run(100);
      fastest = std::max({fastest, lower->m_Sphere.velocity.Length(), upper->m_Sphere.velocity.Length()});
    }
    for (Test_Ball* ball : {lower, upper}) {
      EXPECT_TRUE(Finite(ball->m_Position));
      EXPECT_NEAR(ball->m_Position.y, 35.0f, 2.0f);
      EXPECT_GT(ball->m_Position.x, 0.0f);
      EXPECT_LT(ball->m_Position.x, 1600.0f);
      EXPECT_GT(ball->m_Position.z, 0.0f);
      EXPECT_LT(ball->m_Position.z, 1600.0f);
      EXPECT_LT(ball->m_Sphere.velocity.Length(), 150.0f);
    }
    EXPECT_LT(fastest, 400.0f);
  }
}

}  // namespace
}  // namespace world_test
