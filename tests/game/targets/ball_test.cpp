// The ball target and the ball ejector in a running world: motion modes, the guard age, which
// first hits register and award, crush against normal fade, the catch from above, the floor
// against a wall; the ejector's lone throw, partners, merged requests, the catch delay, its
// busy test and its incoming-ball table, and a release while rising.
#include <gtest/gtest.h>

#include "game/targets/CEjector_Ball.h"
#include "game/targets/CTarget_Ball.h"
#include "tests/game/targets/targets_fixture.h"

namespace targets_test {
namespace {

class Balls : public Targets {
 protected:
  CTarget_Ball* Ball(int32_t colour, const CVector3& at, float age = 0.0f) {
    CTarget_Ball* ball = Take<CTarget_Ball>();
    EXPECT_NE(ball, nullptr);
    if (!ball) return nullptr;
    EXPECT_TRUE(ball->Spawn(colour));
    ball->Set_Position(at);
    ball->m_Age = age;
    return ball;
  }
  // A ball ejector standing on the ground at (x, z), risen and ready.
  CEjector_Ball* Ejector(float x, float z, uint32_t colour = 1) {
    CEjector_Ball* ejector = Take<CEjector_Ball>();
    EXPECT_NE(ejector, nullptr);
    if (!ejector) return nullptr;
    ejector->Spawn(colour, CVector3{x, Ground(x, z) - 163.75f, z});
    g_World.Add_Object(1, ejector);
    Step(*ejector, 0.1f, 4);  // 0.4 time units: risen
    EXPECT_FLOAT_EQ(ejector->Rise, 1.0f);
    return ejector;
  }
  static CTarget_Ball* Newest_Ball() { return static_cast<CTarget_Ball*>(g_World.Find_Object_By_Type(10, 0)); }
};

TEST_F(Balls, MotionModesPullTheBallTheirWay) {
  struct Case {
    int32_t mode;
    CVector3 change;  // velocity change over one step of 0.01 with gravity (0, -150, 0)
  } cases[] = {{CTarget_Ball::kMode_Fall, {0, -0.75f, 0}}, {CTarget_Ball::kMode_Along_Z, {0, 0, -1.25f}},
               {CTarget_Ball::kMode_Rise, {0, 0.75f, 0}}, {7, {0, -0.75f, 0}}};
  for (const Case& c : cases) {
    CTarget_Ball* ball = Ball(0, Sky());
    ball->m_Motion_Mode = c.mode;
    ball->Update(0.01f);
    const CVector3& v = ball->m_Sphere.velocity;
    EXPECT_NEAR(v.x, c.change.x, 1e-4f) << c.mode;
    EXPECT_NEAR(v.y, c.change.y, 1e-4f) << c.mode;
    EXPECT_NEAR(v.z, c.change.z, 1e-4f) << c.mode;
    CTarget_Ball::Pool()->Free_Object(ball);
  }
}

TEST_F(Balls, AgeHalfAUnitOpensTheBallToTheWorldAndToHits) {
  CTarget_Ball* ball = Ball(2, Sky());
  EXPECT_EQ(ball->m_State_Flags & 0x30u, 0x30u);
  Hitter shot(3, 0x10, Sky(0, -100), CVector3{0, 0, 2000});
  const CShot_Line line{Sky(0, -100), {0, 0, 1}};
  const uint32_t hits = Hits();
  EXPECT_FALSE(ball->On_Hit(&shot, &line)) << "too young";
  EXPECT_EQ(ball->m_Hit_Count, 0);
  EXPECT_EQ(Hits(), hits);
  EXPECT_EQ(ball->m_Kind_Flags, 0x01u);
  Step(*ball, 0.1f, 5);
  EXPECT_EQ(ball->m_State_Flags & 0x30u, 0u);
  EXPECT_TRUE(ball->On_Hit(&shot, &line));
  EXPECT_EQ(Hits(), hits + 1);
  CColor4 colour;
  ball->Get_Color(colour);
  EXPECT_EQ(colour.r + colour.g + colour.b, 0.0f) << "black once hit";
  EXPECT_EQ(ball->m_Kill_Timer, 0.0f) << "a hit ball bounces on";
}

TEST_F(Balls, FirstHitsRegisterByTheHitterAndCountOnce) {
  struct Case {
    const char* name;
    bool has_hitter;
    uint32_t kind;
    bool has_line;
    bool registers;
    bool sparkles;
  } cases[] = {
      {"player shot", true, 0x10, false, true, true},
      {"hit counted target", true, 0x41, false, true, true},
      {"unhit counted target", true, 0x01, false, false, true},
      {"line only", false, 0, true, false, true},
      {"neither", false, 0, false, false, false},
      {"other object", true, 0x20, false, false, true},
  };
  for (const Case& c : cases) {
    CTarget_Ball* ball = Ball(1, Sky(), 1.0f);
    Hitter hitter(3, c.kind, Sky(50, 0), CVector3{-10, 0, 0});
    const CShot_Line line{Sky(0, -200), {0, 0, 1}};
    const uint32_t hits = Hits(), sparkles = Sparkles();
    EXPECT_TRUE(ball->On_Hit(c.has_hitter ? &hitter : nullptr, c.has_line ? &line : nullptr)) << c.name;
    EXPECT_EQ(Hits(), hits + (c.registers ? 1 : 0)) << c.name;
    EXPECT_EQ(Sparkles() > sparkles, c.sparkles) << c.name;
    EXPECT_TRUE(ball->m_Kind_Flags & 0x40) << c.name << ": no longer a miss";
    EXPECT_EQ(ball->m_Hit_Count, 1) << c.name;
    // A second hit counts but registers, sparkles and awards nothing.
    const uint32_t awards = Awards(), sparkles_after = Sparkles();
    Hitter shot(3, 0x10, Sky(0, -200), CVector3{0, 0, 5000});
    EXPECT_TRUE(ball->On_Hit(&shot, &line)) << c.name;
    EXPECT_EQ(Hits(), hits + (c.registers ? 1 : 0)) << c.name;
    EXPECT_EQ(Awards(), awards) << c.name;
    EXPECT_EQ(Sparkles(), sparkles_after) << c.name;
    EXPECT_EQ(ball->m_Hit_Count, 2) << c.name;
    CTarget_Ball::Pool()->Free_Object(ball);
  }
}

TEST_F(Balls, ThePrecisionAwardWantsTheLineWithinTenUnits) {
  struct Case {
    const char* name;
    CVector3 line_point;  // relative to the ball's centre
    CVector3 direction;
    bool awarded;
  } cases[] = {
      {"9.9 beside", {0, 9.9f, -300}, {0, 0, 1}, true},
      {"10.1 beside", {0, 10.1f, -300}, {0, 0, 1}, false},
      {"through the centre", {0, 0, -300}, {0, 0, 7}, true},
      {"9.9 behind the point", {0, 0, 9.9f}, {0, 0, 1}, true},
      {"10.1 behind the point", {0, 0, 10.1f}, {0, 0, 1}, false},
  };
  for (const Case& c : cases) {
    CTarget_Ball* ball = Ball(3, Sky(), 1.0f);
    const CVector3 at = ball->m_Position;
    const CShot_Line line{{at.x + c.line_point.x, at.y + c.line_point.y, at.z + c.line_point.z}, c.direction};
    const uint32_t awards = Awards(), hits = Hits();
    ball->On_Hit(nullptr, &line);
    EXPECT_EQ(Awards(), awards + (c.awarded ? 1 : 0)) << c.name;
    EXPECT_EQ(Hits(), hits) << c.name << ": a line alone registers nothing";
    CTarget_Ball::Pool()->Free_Object(ball);
  }
  // A slow projectile without a line earns nothing; a fast one along its path does.
  for (float speed : {1000.0f, 1001.0f}) {
    CTarget_Ball* ball = Ball(3, Sky(), 1.0f);
    Hitter shot(3, 0x10, Sky(0, -40), CVector3{0, 0, speed});
    const uint32_t awards = Awards();
    ball->On_Hit(&shot, nullptr);
    EXPECT_EQ(Awards(), awards + (speed > 1000.0f ? 1 : 0)) << speed;
    CTarget_Ball::Pool()->Free_Object(ball);
  }
}

TEST_F(Balls, APushCrushesAnUnhitBallFastAndAHitOneFadesSlowly) {
  CTarget_Ball* crushed = Ball(0, Sky(), 1.0f);
  Hitter pusher(37, 0x04, Sky(0, 100), CVector3{0, 0, 0});
  crushed->m_Motion_Mode = CTarget_Ball::kMode_Rise;
  EXPECT_TRUE(crushed->On_Hit(&pusher, nullptr));
  EXPECT_TRUE(crushed->m_Crushed);
  EXPECT_EQ(crushed->m_Motion_Mode, CTarget_Ball::kMode_Fall);
  EXPECT_FLOAT_EQ(crushed->m_Kill_Timer, 0.01f);
  crushed->Update(0.1f);
  EXPECT_NEAR(crushed->m_Kill_Timer, 0.61f, 1e-4f);
  EXPECT_FLOAT_EQ(crushed->m_Sphere.contact_radius > 0 ? crushed->m_Collision_Radius : 38.0f, 38.0f) << "keeps its size";

  CTarget_Ball* faded = Ball(0, Sky(200, 0), 1.0f);
  Hitter shot(3, 0x10, Sky(200, -100), CVector3{0, 0, 10});
  faded->On_Hit(&shot, nullptr);
  faded->On_Hit(&pusher, nullptr);
  EXPECT_FALSE(faded->m_Crushed) << "a hit ball is pushed, not crushed";
  EXPECT_FLOAT_EQ(faded->m_Kill_Timer, 0.01f);
  faded->Update(0.1f);
  EXPECT_NEAR(faded->m_Kill_Timer, 0.045f, 1e-4f);
  EXPECT_NEAR(faded->m_Collision_Radius, 38.0f * 0.99f, 1e-3f) << "shrinks as it fades";

  // Balls in flight modes leave each other alone.
  CTarget_Ball* flying = Ball(0, Sky(-200, 0), 1.0f);
  flying->m_Motion_Mode = CTarget_Ball::kMode_Along_Z;
  CTarget_Ball* other = Ball(1, Sky(-230, 0), 1.0f);
  EXPECT_TRUE(flying->On_Hit(other, nullptr));
  EXPECT_EQ(flying->m_Hit_Count, 0);
  EXPECT_EQ(flying->m_Kill_Timer, 0.0f);
}

TEST_F(Balls, OnlyABallComingDownOnAnEjectorIsCaught) {
  CEjector_Ball* ejector = Ejector(0.5f * X, 0.5f * Z);
  const CVector3 top = ejector->m_Position;
  struct Case {
    float above;
    bool caught;
  } cases[] = {{131.5f, true}, {130.0f, false}, {-20.0f, false}};
  for (const Case& c : cases) {
    ejector->Catch_Timer = 0.0f;
    CTarget_Ball* ball = Ball(0, CVector3{top.x, top.y + c.above, top.z}, 1.0f);
    ball->On_Hit(ejector, nullptr);
    EXPECT_FLOAT_EQ(ejector->Catch_Timer, c.caught ? 0.2f : 0.0f) << c.above;
    CTarget_Ball::Pool()->Free_Object(ball);
  }
  // The catch holds the next launch: the ejector dips 0.2 units later and waits 0.5 more.
  ejector->Catch_Timer = 0.2f;
  ejector->Launch_Requested = true;
  Step(*ejector, 0.1f, 2);
  EXPECT_FLOAT_EQ(ejector->Catch_Timer, 0.0f);
  EXPECT_TRUE(ejector->Launch_Requested) << "the catch, not a launch";
  EXPECT_LT(ejector->Launch_Clock, 0.5f);
  Step(*ejector, 0.1f, 5);
  EXPECT_FALSE(ejector->Launch_Requested);
}

TEST_F(Balls, TheFloorStartsTheFadeAWallDoesNot) {
  CTarget_Ball* ball = Ball(0, Sky(), 1.0f);
  ball->On_Floor_Contact(0.0f, ball->m_Position, CVector3{0, 0, 1});
  EXPECT_EQ(ball->m_Kill_Timer, 0.0f);
  ball->On_Floor_Contact(0.0f, ball->m_Position, CVector3{0, 1, 0});
  EXPECT_FLOAT_EQ(ball->m_Kill_Timer, 0.01f);
  // Its life runs out by itself too.
  CTarget_Ball* old = Ball(0, Sky(100, 0), 1.0f);
  old->m_Life = 0.05f;
  old->Update(0.1f);
  EXPECT_GT(old->m_Kill_Timer, 0.0f);
  EXPECT_EQ(old->m_Life, 0.0f);
}

TEST_F(Balls, ALoneEjectorThrowsStraightUpAndRequestsMerge) {
  CEjector_Ball* ejector = Ejector(0.5f * X, 0.5f * Z, 2);
  const uint32_t launches = g_Sim_Stats.m_Launches;
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(g_Music_Track.Trigger_Ejector(ejector));
  ejector->Update(0.05f);
  CTarget_Ball* ball = Newest_Ball();
  ASSERT_NE(ball, nullptr);
  EXPECT_EQ(ball->m_Colour, 2);
  EXPECT_FLOAT_EQ(ball->m_Sphere.velocity.x, 0.0f);
  EXPECT_FLOAT_EQ(ball->m_Sphere.velocity.y, 295.0f);
  EXPECT_FLOAT_EQ(ball->m_Sphere.velocity.z, 0.0f);
  EXPECT_FLOAT_EQ(ball->m_Position.y, ejector->m_Position.y + 0.85f * 131.0f);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 1);
  EXPECT_EQ(ejector->Partner, nullptr);
  // More requests during the recoil are one request, served once the clock reaches 0.5.
  g_Music_Track.Trigger_Ejector(ejector);
  Step(*ejector, 0.1f, 3);
  g_Music_Track.Trigger_Ejector(ejector);
  Step(*ejector, 0.1f, 3);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 2);
  Step(*ejector, 0.1f, 10);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 2);
}

TEST_F(Balls, PartnersThrowAtEachOtherInTurn) {
  CEjector_Ball* a = Ejector(0.3f * X, 0.5f * Z);
  CEjector_Ball* b = Ejector(0.7f * X, 0.5f * Z);
  a->Launch();
  EXPECT_EQ(a->Partner, b);
  CTarget_Ball* ball = Newest_Ball();
  ASSERT_NE(ball, nullptr);
  EXPECT_GT(ball->m_Sphere.velocity.x, 0.0f) << "towards b";
  EXPECT_TRUE(b->Is_Busy() || b->Incoming[0] >= 3.0f);
  EXPECT_GT(b->Incoming[0], 0.0f);
  // b skips a (whose partner is b) unless a has rested 9 units; with no other candidate it
  // throws straight up.
  b->Launch();
  EXPECT_EQ(b->Partner, nullptr);
  a->Launch_Clock = 9.0f;
  b->Launch();
  EXPECT_EQ(b->Partner, a);
  EXPECT_LT(Newest_Ball()->m_Sphere.velocity.x, 0.0f) << "towards a";
}

TEST_F(Balls, BusyMeansABallArrivesWithinThreeUnitsAndAFifthIsNotTracked) {
  CEjector_Ball* ejector = Ejector(0.5f * X, 0.5f * Z);
  struct Case {
    float incoming[4];
    bool busy;
  } cases[] = {{{0, 0, 0, 0}, false},  {{3, 4, 0, 0}, false}, {{0, 2.9f, 0, 0}, true},
               {{0.01f, 0, 0, 0}, true}, {{5, 5, 5, 3}, false}};
  for (const Case& c : cases) {
    std::copy(std::begin(c.incoming), std::end(c.incoming), ejector->Incoming);
    EXPECT_EQ(ejector->Is_Busy(), c.busy) << c.incoming[0] << " " << c.incoming[1];
  }
  std::fill(std::begin(ejector->Incoming), std::end(ejector->Incoming), 0.0f);
  for (float t : {4.0f, 5.0f, 6.0f, 7.0f, 2.0f}) ejector->Add_Incoming(t);
  EXPECT_FLOAT_EQ(ejector->Incoming[0], 4.0f);
  EXPECT_FLOAT_EQ(ejector->Incoming[3], 7.0f);
  EXPECT_FALSE(ejector->Is_Busy()) << "the fifth ball found no entry";
  Step(*ejector, 0.5f, 20);
  for (float t : ejector->Incoming) EXPECT_EQ(t, 0.0f) << "counted down to 0, not below";
}

TEST_F(Balls, AReleaseWhileRisingSinksFromWhereItIs) {
  CEjector_Ball* ejector = Take<CEjector_Ball>();
  const CVector3 base{0.5f * X, Ground(0.5f * X, 0.5f * Z) - 163.75f, 0.5f * Z};
  ejector->Spawn(0, base);
  g_World.Add_Object(1, ejector);
  Step(*ejector, 0.05f, 2);
  const float risen = ejector->Rise;
  EXPECT_GT(risen, 0.0f);
  EXPECT_LT(risen, 1.0f);
  ejector->m_Kill_Timer = 0.001f;  // what the track's release does
  ejector->Update(0.01f);
  EXPECT_LE(ejector->Rise, risen) << "no jump to full height";
  EXPECT_LE(ejector->m_Position.y, base.y + 2.0f * risen * 131.0f + 1e-3f);
  ejector->Launch_Requested = true;
  const uint32_t launches = g_Sim_Stats.m_Launches;
  Step(*ejector, 0.1f, 5);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches) << "a dying ejector serves nothing";
  // The world's sweep takes it once the timer reaches 1 and it is free for the next spawn.
  Step(*ejector, 0.1f, 5);
  EXPECT_GE(ejector->m_Kill_Timer, 1.0f);
  harness.Step(1);
  EXPECT_EQ(ejector->m_List, -1);
}

TEST_F(Balls, AnEmptyBallPoolThrowsNothingAndPuffsNothing) {
  CEjector_Ball* ejector = Ejector(0.5f * X, 0.5f * Z);
  while (CTarget_Ball::Pool()->Alloc_Object()) {
  }
  const uint32_t launches = g_Sim_Stats.m_Launches;
  const uint32_t particles = g_Particle_Add_Mgr.Live_Count();
  ejector->Launch_Requested = true;
  ejector->Update(0.05f);
  EXPECT_FALSE(ejector->Launch_Requested);
  EXPECT_EQ(g_Sim_Stats.m_Launches, launches);
  EXPECT_EQ(g_Particle_Add_Mgr.Live_Count(), particles);
  // A decoy puffs without a ball and holds the next launch 0.25 units.
  ejector->Launch_Clock = 1.0f;
  ejector->Decoy_Requested = true;
  ejector->Update(0.05f);
  EXPECT_FALSE(ejector->Decoy_Requested);
  EXPECT_GT(g_Particle_Add_Mgr.Live_Count(), particles);
  EXPECT_NEAR(ejector->Launch_Clock, 0.3f, 1e-5f);
}

}  // namespace
}  // namespace targets_test
