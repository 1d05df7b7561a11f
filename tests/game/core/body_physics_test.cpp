// Bodies under gravity against the terrain and the boundary walls, and their integration.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "tests/game/core/world_fixture.h"

namespace world_test {
namespace {

class BodyPhysicsTest : public World_Test {
 protected:
  void SetUp() override {
    World_Test::SetUp();
    Load(Flat_Spec(kGround));
  }
  static constexpr float kGround = 20.0f;
};

TEST_F(BodyPhysicsTest, ARestingSphereKeepsItsHeight) {
  Test_Ball* ball = Ball({800.0f, kGround + 10.5f, 800.0f});
  ASSERT_NE(ball, nullptr);
  Run(3000);
  EXPECT_NEAR(ball->m_Position.y, kGround + 10.5f, 0.05f);
  EXPECT_NEAR(ball->m_Sphere.velocity.Length(), 0.0f, 0.05f);
}

TEST_F(BodyPhysicsTest, DroppedSpheresLandAndSettleOnEveryShape) {
  struct Case {
    writers::WorldShape shape;
    float amplitude;
    CVector3 drop;
  } cases[] = {
      {writers::WorldShape::Flat, 0.0f, {800.0f, 300.0f, 800.0f}},
      {writers::WorldShape::Flat, 0.0f, {800.0f, 300.0f, 812.5f}},  // onto a cell diagonal
      {writers::WorldShape::Bowl, 200.0f, {800.0f, 300.0f, 800.0f}},  // the bottom of the bowl
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.shape));
    g_World.Reset();
    writers::WorldSpec spec = Flat_Spec(kGround);
    spec.shape = c.shape;
    spec.amplitude = c.amplitude;
    Load(spec);
    Balls().Init();
    Test_Ball* ball = Ball(c.drop);
    ASSERT_NE(ball, nullptr);
    ball->m_Sphere.floor_contact_flag = 1;
    Run(20000);
    const float ground = g_World.Get_Height(ball->m_Position.x, ball->m_Position.z);
    EXPECT_GT(ball->m_Position.y, ground + 9.9f);
    EXPECT_LT(ball->m_Position.y, ground + 11.1f);
    EXPECT_LT(ball->m_Sphere.velocity.Length(), 1.0f);
    EXPECT_GT(ball->floor_contacts, 0);
  }
}

TEST_F(BodyPhysicsTest, StateFlagsSwitchGravityContactAndDamping) {
  const CVector3 start{800.0f, kGround + 100.0f, 800.0f};
  // 0x20: no terrain contact, so it falls through the ground.
  Test_Ball* sinker = Ball(start, 10.0f, 5.0f, 0.0f, kState_No_World_Contact | kState_No_Object_Collision);
  // 0x40: no gravity, so a sideways throw keeps its height.
  Test_Ball* floater = Ball({400.0f, start.y, 400.0f}, 10.0f, 5.0f, 0.0f, kState_No_Gravity | kState_No_Object_Collision);
  floater->m_Sphere.velocity.Set(50.0f, 0.0f, 0.0f);
  // 0x80 as well: its speed never decays.
  Test_Ball* coaster = Ball({400.0f, start.y, 1200.0f}, 10.0f, 5.0f, 0.0f,
                            kState_No_Gravity | kState_No_Damping | kState_No_Object_Collision);
  coaster->m_Sphere.velocity.Set(50.0f, 0.0f, 0.0f);
  Run(2000);
  EXPECT_LT(sinker->m_Position.y, kGround - 50.0f);
  EXPECT_FLOAT_EQ(floater->m_Position.y, start.y);
  EXPECT_LT(floater->m_Sphere.velocity.x, 50.0f * 0.4f);  // 0.9995 per millisecond
  EXPECT_FLOAT_EQ(coaster->m_Sphere.velocity.x, 50.0f);
  EXPECT_NEAR(coaster->m_Position.x, 400.0f + 50.0f * kTick * 2000, 0.5f);
}

TEST_F(BodyPhysicsTest, WallsKeepBodiesOnTheFloorUnlessTheirSideIsOpen) {
  struct Case {
    uint32_t open;
    CVector3 velocity;
    bool leaves;
  } cases[] = {
      {0, {-400.0f, 0.0f, 0.0f}, false},
      {kWall_Open_X0, {-400.0f, 0.0f, 0.0f}, true},
      {kWall_Open_X_Max, {-400.0f, 0.0f, 0.0f}, false},  // another side open: this wall holds
      {0, {0.0f, 0.0f, 400.0f}, false},
      {kWall_Open_Z_Max, {0.0f, 0.0f, 400.0f}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.open);
    g_World.Reset();
    Load(Flat_Spec(kGround));
    Balls().Init();
    g_Game_State.m_Mode_Flags = c.open;
    const CVector3 start{100.0f, kGround + 60.0f, 1500.0f};
    Test_Ball* ball = Ball(start, 10.0f, 5.0f, 0.5f, kState_No_Gravity);
    ball->m_Sphere.velocity = c.velocity;
    Run(1500);
    const bool outside = ball->m_Position.x < 0.0f || ball->m_Position.z > 1600.0f;
    EXPECT_EQ(outside, c.leaves) << ball->m_Position.x << ", " << ball->m_Position.z;
    EXPECT_TRUE(Finite(ball->m_Position));
  }
}

TEST_F(BodyPhysicsTest, ASphereCentredOnTheGroundIsLiftedWithoutNaN) {
  // Exactly on a vertex, on an edge and inside a triangle: no direction from the surface.
  for (const CVector3& at : {CVector3{800.0f, kGround, 800.0f}, CVector3{812.5f, kGround, 800.0f},
                             CVector3{805.0f, kGround, 806.0f}, CVector3{805.0f, kGround - 4.0f, 806.0f}}) {
    Test_Ball* ball = Ball(at);
    ASSERT_NE(ball, nullptr);
    Run(200);
    EXPECT_TRUE(Finite(ball->m_Position));
    EXPECT_TRUE(Finite(ball->m_Sphere.velocity));
    EXPECT_GT(ball->m_Position.y, kGround + 9.0f) << at.x << ", " << at.y << ", " << at.z;
    ball->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(BodyPhysicsTest, BoxesSettleOnTheGround) {
  struct Case {
    CVector3 half;
    float tilt;
  } cases[] = {{{10.0f, 10.0f, 10.0f}, 0.0f}, {{30.0f, 8.0f, 20.0f}, 0.0f}, {{12.0f, 12.0f, 12.0f}, 0.4f},
               {{3.0f, 2.0f, 3.0f}, 0.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.half.x << " " << c.half.y << " tilt " << c.tilt);
    Test_Crate* crate = Crate({800.0f, kGround + 80.0f, 800.0f}, c.half);
    ASSERT_NE(crate, nullptr);
    crate->m_Orientation.From_Axis_Angle(CVector3{0.0f, 0.0f, 1.0f}, c.tilt);
    Run(30000);
    const float lowest = crate->m_Position.y - (std::fabs(crate->m_Orientation.rows[0].y) * c.half.x +
                                                std::fabs(crate->m_Orientation.rows[1].y) * c.half.y +
                                                std::fabs(crate->m_Orientation.rows[2].y) * c.half.z);
    EXPECT_NEAR(lowest, kGround, 1.5f);
    EXPECT_LT(crate->m_Box.velocity.Length(), 1.0f);
    EXPECT_LT(crate->m_Box.spin.Length(), 0.05f);
    crate->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

TEST_F(BodyPhysicsTest, PausedBodiesKeepTheirVelocities) {
  Test_Ball* ball = Ball({800.0f, 300.0f, 800.0f}, 10.0f, 5.0f, 0.0f, kState_No_Gravity);
  ball->m_Sphere.velocity.Set(30.0f, 0.0f, 0.0f);
  ball->m_Sphere.spin.Set(0.0f, 2.0f, 0.0f);
  g_Game_Paused = true;
  Run(500);
  EXPECT_FLOAT_EQ(ball->m_Sphere.velocity.x, 30.0f);
  EXPECT_FLOAT_EQ(ball->m_Sphere.spin.y, 2.0f);
  EXPECT_FLOAT_EQ(ball->m_Position.x, 800.0f);
}

TEST_F(BodyPhysicsTest, TwoContactsLeaveTheAverageOfTheirVelocities) {
  CBody_Motion motion;
  motion.Add_Contact_Velocity({10.0f, 0.0f, 0.0f});
  motion.Add_Contact_Velocity({0.0f, 20.0f, 0.0f});
  EXPECT_FLOAT_EQ(motion.contact_count, 2.0f);
  EXPECT_FLOAT_EQ(motion.contact_velocity.x, 5.0f);
  EXPECT_FLOAT_EQ(motion.contact_velocity.y, 10.0f);
}

// The orientation after turning from start by a constant spin for the time, in double
// precision: start times the rotation of the whole angle (rows as the quaternion's axes).
std::array<std::array<double, 3>, 3> Turned(const CMatrix3x3& start, const CVector3& spin, double time) {
  const double rate = std::sqrt(double{spin.x} * spin.x + double{spin.y} * spin.y + double{spin.z} * spin.z);
  std::array<std::array<double, 3>, 3> turn = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  if (rate > 0.0) {
    const double half = rate * time / 2.0, s = std::sin(half) / rate;
    const double x = spin.x * s, y = spin.y * s, z = spin.z * s, w = std::cos(half);
    turn = {{{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)},
             {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)},
             {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)}}};
  }
  std::array<std::array<double, 3>, 3> out{};
  for (int i = 0; i < 3; ++i) {
    const float row[3] = {start.rows[i].x, start.rows[i].y, start.rows[i].z};
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) out[i][j] += row[k] * turn[k][j];
  }
  return out;
}

// Largest difference between the orientation and the exact one.
double Orientation_Error(const CMatrix3x3& m, const std::array<std::array<double, 3>, 3>& exact) {
  double error = 0.0;
  for (int i = 0; i < 3; ++i) {
    const float row[3] = {m.rows[i].x, m.rows[i].y, m.rows[i].z};
    for (int j = 0; j < 3; ++j) error = std::max(error, std::fabs(row[j] - exact[i][j]));
  }
  return error;
}

// Spheres and boxes turn by their spin as exactly as float steps allow over a long run (the
// sphere by series, the box by the library's sine and cosine), and their axes stay orthonormal;
// a spin too small to turn leaves the orientation exactly as it was.
TEST_F(BodyPhysicsTest, SpinningBodiesTurnByTheirSpin) {
  struct Case {
    CVector3 spin;
    bool turns;
  } cases[] = {
      {{0.0f, 0.0f, 0.0f}, false},       {{1e-5f, 0.0f, 2e-5f}, false},  {{0.3f, -2.0f, 1.0f}, true},
      {{5.0f, 7.0f, -3.0f}, true},       {{40.0f, 0.0f, 10.0f}, true},   {{0.0f, -55.0f, 0.0f}, true},
      {{200.0f, 150.0f, 0.0f}, true},  // turns too large for the series
  };
  const uint32_t kAlone = kState_No_Gravity | kState_No_World_Contact | kState_No_Object_Collision | kState_No_Damping;
  constexpr int kSteps = 3000;
  CMatrix3x3 start;
  start.From_Axis_Angle(CVector3{0.48f, 0.6f, 0.64f}, 0.7f);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.spin.x << " " << c.spin.y << " " << c.spin.z);
    Test_Ball* ball = Ball({400.0f, 300.0f, 400.0f}, 10.0f, 5.0f, 0.0f, kAlone);
    Test_Crate* crate = Crate({800.0f, 300.0f, 800.0f}, {5.0f, 5.0f, 5.0f}, 20.0f, 0.0f, kAlone);
    ball->m_Orientation = crate->m_Orientation = start;
    ball->m_Sphere.spin = crate->m_Box.spin = c.spin;
    for (int step = 0; step < kSteps; ++step) {
      ball->Integrate_Sphere(ball->m_Motion, kTick);
      crate->Integrate_Box(crate->m_Motion, kTick);
    }
    for (CWorld_Object* body : {static_cast<CWorld_Object*>(ball), static_cast<CWorld_Object*>(crate)}) {
      const CMatrix3x3& m = body->m_Orientation;
      if (!c.turns) {
        EXPECT_EQ(std::memcmp(&m, &start, sizeof(m)), 0) << body->m_Body_Kind;
        continue;
      }
      EXPECT_LT(Orientation_Error(m, Turned(start, c.spin, double{kTick} * kSteps)), 1e-4) << body->m_Body_Kind;
      for (int row = 0; row < 3; ++row) {
        EXPECT_NEAR(m.rows[row].Length_Squared(), 1.0f, 2e-6f) << row;
        EXPECT_NEAR(m.rows[row].Dot(m.rows[(row + 1) % 3]), 0.0f, 2e-6f) << row;
      }
    }
    ball->m_Kill_Timer = crate->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
}

}  // namespace
}  // namespace world_test
