// The reach of the player with its sound, the sparkle bursts by distance, the silence at a low
// sound-effect volume, and the pulls that grow with the difficulty.
#include <functional>

#include "game/enemies/CEmmo_Ball.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/CEmmo_Bullet_1.h"
#include "game/enemies/CEmmo_Can.h"
#include "game/enemies/CEmmo_Crystal_1.h"
#include "game/enemies/CEmmo_Discus_1.h"
#include "game/enemies/CEmmo_Roller.h"
#include "game/enemies/Emmo_Shared.h"
#include "tests/game/sim/ammunition_fixture.h"

namespace ammo_test {
namespace {

constexpr uint32_t kImpact = 0x220000F5;

class Reach : public Ammunition {
 protected:
  // A grown-up ball at the place, falling no further.
  CEmmo_Ball* Ball_At(const CVector3& place) {
    CEmmo_Ball* ball = Take<CEmmo_Ball>();
    ball->Setup(0);
    ball->Set_Position(Ahead(4000.0f));
    Run(*ball, 0.6f);
    ball->Set_Position(place);
    ball->m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.0f};
    ball->m_State_Flags |= kState_No_Gravity | kState_No_World_Contact;
    return ball;
  }
};

TEST_F(Reach, ABallWithinReachHitsOnceWithItsStrengthAndSound) {
  const float reach = std::sqrt(30.0f * 30.0f + 85.0f * 85.0f);
  CEmmo_Ball* ball = Ball_At(Ahead(0.0f, 0.0f, reach - 0.5f));
  sounds().played.clear();
  Clear_Flashes();
  ball->Update(kStep);
  ball->Update(kStep);
  ASSERT_EQ(Player_Hits().size(), 1u);
  EXPECT_FLOAT_EQ(Player_Hits()[0], 0.35f);
  EXPECT_EQ(sounds().Count(kImpact), 1);
}

TEST_F(Reach, ABlackBallNeverHitsThePlayer) {
  CEmmo_Ball* ball = Ball_At(Ahead(3000.0f));
  Hitter shot(0x10);
  ASSERT_TRUE(ball->On_Hit(&shot, nullptr));
  EXPECT_EQ(ball->Get_Color().r + ball->Get_Color().g + ball->Get_Color().b, 0.0f) << "black";
  ball->Set_Position(eye);
  ball->m_State_Flags |= kState_No_Gravity;
  Clear_Flashes();
  Run(*ball, 0.2f);
  EXPECT_TRUE(Player_Hits().empty());
}

TEST_F(Reach, NoAmmunitionSoundPlaysAtOrBelowTheSilentVolume) {
  struct Case {
    float volume;
    bool heard;
  } cases[] = {{0.05f, false}, {0.0f, false}, {0.06f, true}, {1.0f, true}};
  for (const Case& c : cases) {
    g_Game_State.SoundFX_Volume = c.volume;
    CEmmo_Ball* ball = Ball_At(Ahead(10.0f));
    sounds().played.clear();
    Clear_Flashes();
    ball->Update(kStep);
    EXPECT_EQ(Player_Hits().size(), 1u) << c.volume << ": the player is hit all the same";
    EXPECT_EQ(sounds().Count(kImpact), c.heard ? 1 : 0) << c.volume;
    ball->m_Kill_Timer = 1.0f;
  }
}

TEST_F(Reach, AFirstHitBurstsFiveSparklesNearTheCameraAndTwentyFiveFar) {
  struct Case {
    float distance;
    uint32_t sparkles;
  } cases[] = {{150.0f, 5}, {299.0f, 5}, {301.0f, 25}, {2000.0f, 25}};
  Hitter shot(0x10);
  for (const Case& c : cases) {
    CEmmo_Ball* ball = Ball_At(Ahead(c.distance));
    const uint32_t before = g_Particle_Sparkle_Mgr.Live_Count();
    ASSERT_LE(before + c.sparkles, CParticle_Sparkle_Mgr::kSparkle_Capacity);
    ball->On_Hit(&shot, nullptr);
    EXPECT_EQ(g_Particle_Sparkle_Mgr.Live_Count(), before + c.sparkles) << c.distance;
    // A second shot on the black ball bursts nothing more.
    ball->On_Hit(&shot, nullptr);
    EXPECT_EQ(g_Particle_Sparkle_Mgr.Live_Count(), before + c.sparkles) << c.distance;
    ball->m_Kill_Timer = 1.0f;
    g_Particle_Sparkle_Mgr.Term();
    g_Particle_Sparkle_Mgr.Init();
  }
}

TEST_F(Reach, AHitWithNeitherObjectNorLineBurstsNothing) {
  CEmmo_Ball* ball = Ball_At(Ahead(1000.0f));
  const uint32_t before = g_Particle_Sparkle_Mgr.Live_Count();
  EXPECT_TRUE(ball->On_Hit(nullptr, nullptr));
  EXPECT_EQ(g_Particle_Sparkle_Mgr.Live_Count(), before);
  EXPECT_NE(ball->m_Kind_Flags & 0x40u, 0u) << "spent all the same";
}

class Difficulty : public Ammunition {
 protected:
  // The sideways speed one step of the object's pull gives from rest, 2000 units to the side of
  // what it homes on.
  template <class Make>
  float Sideways_Pull(float difficulty, Make make) {
    g_Difficulty_Factor = difficulty;
    CWorld_Object* object = make();
    object->m_State_Flags |= kState_No_Gravity | kState_No_World_Contact;
    object->m_Sphere.velocity = object->m_Box.velocity = CVector3{0.0f, 0.0f, 0.0f};
    object->Update(kStep);
    const float pull = object->m_Body_Kind == 2 ? object->m_Box.velocity.x : object->m_Sphere.velocity.x;
    object->m_Kill_Timer = 1.0f;
    return -pull;
  }
};

TEST_F(Difficulty, PullsGrowWithTheFactorSquaredOrPlain) {
  const CVector3 side = Ahead(1.0f, 2000.0f, 0.0f);
  const int variant = 0;
  struct Row {
    const char* name;
    float ratio;  // the pull at difficulty 2 over that at 1
    std::function<CWorld_Object*()> make;
  };
  const Row rows[] = {
      {"homing ball", 4.0f, [&] { auto* o = Take<CEmmo_Ball_2>(); o->Spawn(&variant, &side); return o; }},
      {"canister", 4.0f, [&] {
         auto* o = Take<CEmmo_Can>();
         o->Spawn(&variant, &side);
         return o;
       }},
      {"disc", 4.0f, [&] {
         auto* o = Take<CEmmo_Discus_1>();
         o->Spawn(&variant, &side);
         o->m_Aim = eye;
         return o;
       }},
      {"bullet", 2.0f, [&] {
         const int still = -1;
         auto* o = Take<CEmmo_Bullet_1>();
         o->Spawn(&variant, &still, &side);
         o->m_Aim = eye;
         o->Play_Sound_Once();
         return o;
       }},
      {"crystal", 2.0f, [&] { auto* o = Take<CEmmo_Crystal_1>(); o->Setup(side); return o; }},
  };
  for (const Row& row : rows) {
    const float at_1 = Sideways_Pull(1.0f, row.make);
    const float at_2 = Sideways_Pull(2.0f, row.make);
    ASSERT_GT(at_1, 0.0f) << row.name << " pulls towards the camera";
    EXPECT_NEAR(at_2 / at_1, row.ratio, 0.01f) << row.name;
  }
}

TEST_F(Difficulty, TheRollerSpinsUpToFourTimesTheRateAtTwo) {
  float top[2] = {0.0f, 0.0f};
  for (int i = 0; i < 2; ++i) {
    g_Difficulty_Factor = 1.0f + static_cast<float>(i);
    const int variant = 0;
    CEmmo_Roller* roller = Take<CEmmo_Roller>();
    roller->Spawn(&variant);
    roller->Set_Position(Ahead(3000.0f));
    roller->m_State_Flags |= kState_No_Gravity | kState_No_World_Contact;
    Run(*roller, 3.0f);
    top[i] = -roller->m_Sphere.spin.x;
    roller->m_Kill_Timer = 1.0f;
  }
  EXPECT_NEAR(top[0], 6.5f, 0.2f);
  EXPECT_NEAR(top[1] / top[0], 4.0f, 0.1f);
}

}  // namespace
}  // namespace ammo_test
