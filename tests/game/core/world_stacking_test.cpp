// Spheres that land on one another: the contacts must settle them, never fling them away.
// Disabled: today the ground contact's friction adds spin from the sphere's whole tangential
// velocity at every contact step, spin and velocity feed each other, and a sphere knocked
// sideways by another leaves at thousands of units per unit of time. Enable once mended.
#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class WorldStackingTest : public World_Test {};

TEST_F(WorldStackingTest, DISABLED_ASphereDroppedOntoAnotherRollsOffAndBothSettle) {
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
      EXPECT_NEAR(ball->m_Position.y, 35.0f, 1.5f);
      EXPECT_NEAR(ball->m_Position.x, 790.0f, 200.0f);
      EXPECT_NEAR(ball->m_Position.z, 800.0f, 200.0f);
    }
    // Nothing in the fall is faster than the drop itself (about 300 units per unit of time).
    EXPECT_LT(fastest, 400.0f);
  }
}

}  // namespace
}  // namespace world_test
