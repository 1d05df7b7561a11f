// The machine-gun bullets and the cannon's shell: what a bullet strikes and how it counts, and
// when a shell sticks, how far its one blast reaches and what it does.
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld_Decal_Mgr.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CDebris_Dirt.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/player/CAmmo_Ball.h"
#include "game/player/CAmmo_Explosive.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/Arsenal_Math.h"
#include "game/sim/CSim_Stats.h"
#include "platform/system/random.h"
#include "runtime/src/sound/sound_mgr.h"
#include "tests/game/player/arsenal_fixture.h"
#include "tests/support/stand_in_target.h"

namespace {

using arsenal_test::Arsenal;
using arsenal_test::Sound_Recorder;
using vt_test::Stand_In_Target;

constexpr float kTick = 0.0035f;
constexpr float kGround = 20.0f;  // the flat world's height

class Bullets : public Arsenal {
 protected:
  void SetUp() override {
    Arsenal::SetUp();
    Launch(2);
    g_Bullet_Machine_Mgr.Update_Bullets(10.0f);  // no bullet left from the launch
  }
  // Fires one bullet and moves it by one step; answers its slot.
  int Fire_And_Step(const CVector3& start, const CVector3& velocity, float step = 0.05f) {
    int slot = -1;
    for (int i = 0; i < CBullet_Machine_Mgr::kMax_Bullets && slot < 0; ++i)
      if (!(g_Bullet_Machine_Mgr.Bullet_At(i).flags & CBullet_Machine_Mgr::kLive)) slot = i;
    EXPECT_TRUE(g_Bullet_Machine_Mgr.Fire(start, velocity));
    g_Bullet_Machine_Mgr.Move_Bullet(slot, step);
    return slot;
  }
};

TEST_F(Bullets, TheSeventeenthBulletIsRefusedAndNotCounted) {
  const uint32_t shots = g_Sim_Stats.m_Shots;
  for (int i = 0; i < 16; ++i)
    EXPECT_TRUE(g_Bullet_Machine_Mgr.Fire(CVector3{800, 500, 800}, CVector3{0, 0, 1})) << i;
  EXPECT_FALSE(g_Bullet_Machine_Mgr.Fire(CVector3{800, 500, 800}, CVector3{0, 0, 1}));
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 16);
  const CShot_Record& last = g_Sim_Stats.m_Shot_Ring[(g_Sim_Stats.m_Shot_Ring_Index + 15) % 16];
  EXPECT_EQ(last.source.number, CShot_Source::kBullets);
  EXPECT_EQ(last.tag, 15u) << "tagged by the bullet's slot";
  g_Bullet_Machine_Mgr.Update_Bullets(1.0f);
  EXPECT_EQ(g_Bullet_Machine_Mgr.Live_Count(), 16u) << "alive for steps summing to 2";
  g_Bullet_Machine_Mgr.Update_Bullets(1.0f);
  EXPECT_EQ(g_Bullet_Machine_Mgr.Live_Count(), 0u);
}

TEST_F(Bullets, ASphereIsStruckWithinRootTwoAndAHalfOfItsSurface) {
  struct Case {
    float miss_by_sq;  // squared distance of the line from the centre, less the radius squared
    bool struck;
  };
  const Case cases[] = {{0.0f, true}, {2.4f, true}, {2.6f, false}, {50.0f, false}};
  for (const Case& c : cases) {
    Stand_In_Target* sphere = Stand_In_Target::Spawn_Sphere(800.0f, 300.0f, 800.0f, 30.0f);
    const float offset = std::sqrt(900.0f + c.miss_by_sq);
    const CVector3 start{800.0f + offset, sphere->m_Position.y, 700.0f};
    const uint32_t hits = g_Sim_Stats.m_Hits;
    const int slot = Fire_And_Step(start, CVector3{0.0f, 0.0f, 4000.0f});
    EXPECT_EQ(sphere->Hits(), c.struck ? 1 : 0) << c.miss_by_sq;
    EXPECT_EQ(g_Bullet_Machine_Mgr.Bullet_At(slot).life <= 0.0f, c.struck) << "a hit ends the bullet";
    EXPECT_EQ(g_Sim_Stats.m_Hits, hits) << "a sphere registers only once its own hit marks it (0x40)";
    if (c.struck) { EXPECT_GT(sphere->m_Motion.acceleration.Length() + sphere->m_Motion.torque.Length(), 0.0f) << "pushed"; }
    sphere->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
    g_Bullet_Machine_Mgr.Update_Bullets(10.0f);
  }
}

TEST_F(Bullets, ABoxTargetRegistersTheHitWithTheBulletsSlot) {
  Stand_In_Target* box = Stand_In_Target::Spawn_Box(800.0f, 0.0f, 800.0f, 40.0f);
  const uint32_t hits = g_Sim_Stats.m_Hits;
  const int slot = Fire_And_Step(CVector3{800.0f, box->m_Position.y, 650.0f}, CVector3{0.0f, 0.0f, 4000.0f});
  EXPECT_EQ(box->Hits(), 1);
  EXPECT_EQ(g_Sim_Stats.m_Hits, hits + 1);
  bool marked = false;
  for (const CShot_Record& r : g_Sim_Stats.m_Shot_Ring)
    if ((r.flags & 2u) && r.source.number == CShot_Source::kBullets && r.tag == static_cast<uint32_t>(slot)) marked = true;
  EXPECT_TRUE(marked) << "the hit is matched to the bullet's shot";
}

TEST_F(Bullets, AGroundHitLeavesAMarkAndTheBulletFliesOnSpent) {
  const int decals = g_World_Decal_Mgr.Live_Count();
  std::vector<bool> had(g_Particle_Basic_Mgr.Capacity() + 1);
  for (uint32_t i = 1; i <= g_Particle_Basic_Mgr.Capacity(); ++i)
    had[i] = g_Particle_Basic_Mgr.Particle(i).flags & kParticle_Live;
  const std::vector<float> draws = Upcoming_Draws(5, 200);
  const int slot = Fire_And_Step(CVector3{800.0f, kGround + 40.0f, 800.0f}, CVector3{0.0f, -2000.0f, 500.0f});
  // Ten dust puffs, each from four fresh draws in the order written: out along the ground's
  // normal turned against the shot, across it twice, then the life. On the flat ground that
  // normal leans little from straight up, so the cross axes are x and z.
  const CVector3 d{0.0f, -100.0f, 25.0f};
  const CVector3 n = arsenal::Unit_Or(arsenal::Sub(CVector3{0.0f, 1.0f, 0.0f}, arsenal::Mul(d, 1.0f / arsenal::Length(d))),
                                      CVector3{0.0f, 1.0f, 0.0f});
  ASSERT_GT(n.y, 0.99f);
  int puffs = 0, next = 0;
  for (uint32_t i = 1; i <= g_Particle_Basic_Mgr.Capacity(); ++i) {
    const CParticle& p = g_Particle_Basic_Mgr.Particle(i);
    if (!(p.flags & kParticle_Live) || had[i]) continue;
    ++puffs;
    int found = -1;
    for (int k = next; k + 3 < int(draws.size()) && found < 0; ++k) {
      const CVector3 want = arsenal::Add(arsenal::Mul(n, 50.0f * draws[k]),
                                         CVector3{100.0f * draws[k + 1] - 50.0f, 0.0f, 100.0f * draws[k + 2] - 50.0f});
      if (arsenal::Length(arsenal::Sub(p.velocity, want)) < 1e-3f && std::abs(p.life - 0.5f * (1.0f + draws[k + 3])) < 1e-6f)
        found = k;
    }
    EXPECT_GE(found, 0) << "dust puff " << puffs << ": four consecutive draws in order";
    if (found >= 0) next = found + 4;
  }
  EXPECT_EQ(puffs, 10);
  const CBullet_Machine_Mgr::Bullet& bullet = g_Bullet_Machine_Mgr.Bullet_At(slot);
  EXPECT_EQ(bullet.flags, CBullet_Machine_Mgr::kLive | CBullet_Machine_Mgr::kSpent);
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), decals + 1);
  const CVector3 at = bullet.position;
  g_Bullet_Machine_Mgr.Move_Bullet(slot, 0.05f);
  EXPECT_FLOAT_EQ(bullet.position.y, at.y - 100.0f) << "a spent bullet flies on untested";
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), decals + 1);
}

TEST_F(Bullets, WallsStopBulletsOnThreeSidesButNeverAtZEqualsZero) {
  struct Case {
    CVector3 start, velocity;
    bool spent;
  };
  const Case cases[] = {
      {{20.0f, 500.0f, 800.0f}, {-1000.0f, 0.0f, 0.0f}, true},     // through x = 0
      {{1580.0f, 500.0f, 800.0f}, {1000.0f, 0.0f, 0.0f}, true},    // through x = size
      {{800.0f, 500.0f, 1580.0f}, {0.0f, 0.0f, 1000.0f}, true},    // through z = size
      {{800.0f, 500.0f, 20.0f}, {0.0f, 0.0f, -1000.0f}, false},    // the open z = 0 side
      {{-300.0f, 500.0f, -300.0f}, {-1000.0f, 0.0f, -1000.0f}, false},  // outside, beyond x = 0's wall
  };
  for (const Case& c : cases) {
    const int slot = Fire_And_Step(c.start, c.velocity);
    EXPECT_EQ((g_Bullet_Machine_Mgr.Bullet_At(slot).flags & CBullet_Machine_Mgr::kSpent) != 0, c.spent)
        << c.start.x << "," << c.start.z;
    g_Bullet_Machine_Mgr.Update_Bullets(10.0f);
  }
}

TEST_F(Bullets, BulletsBelowTheGroundOutsideTheWorldReadNoCellOutsideTheTerrain) {
  const CVector3 starts[] = {{-500.0f, 0.0f, -500.0f}, {-5.0f, 10.0f, 3000.0f}, {5000.0f, 10.0f, -40.0f}};
  for (const CVector3& start : starts) {
    Fire_And_Step(start, CVector3{-3000.0f, -10.0f, -3000.0f});
    g_Bullet_Machine_Mgr.Update_Bullets(10.0f);
  }
  SUCCEED() << "the sanitizers watch the terrain reads";
}

class Shells : public Arsenal {
 protected:
  void SetUp() override {
    Arsenal::SetUp();
    Launch(5);
  }
  CAmmo_Explosive* Shell_At(const CVector3& at) {
    CAmmo_Explosive* shell = static_cast<CAmmo_Explosive*>(CAmmo_Explosive::Pool()->Alloc_Object());
    EXPECT_NE(shell, nullptr);
    shell->Spawn(0);
    shell->Set_Position(at);
    g_World.Add_Object(2, shell);
    return shell;
  }
};

TEST_F(Shells, AShellSticksOnTargetLikeObjectsButNeverOnTheGround) {
  struct Case {
    uint32_t kinds;
    bool sticks;
    int counted;
  };
  const Case cases[] = {{0x01, true, 1}, {0x02, true, 1}, {0x04, true, 0}, {0x20, false, 0},
                        {0x41, false, 0}, {0x10, false, 0}};
  for (const Case& c : cases) {
    CAmmo_Explosive* shell = Shell_At(CVector3{800.0f, 300.0f, 800.0f});
    CAmmo_Explosive other;
    other.m_Kind_Flags = c.kinds;
    EXPECT_TRUE(shell->On_Hit(&other, nullptr));
    EXPECT_EQ(shell->m_Exploded != 0, c.sticks) << std::hex << c.kinds;
    EXPECT_EQ(shell->m_Hit_Count, c.counted) << std::hex << c.kinds;
    EXPECT_TRUE(shell->m_Has_Hit);
    shell->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
  CAmmo_Explosive* shell = Shell_At(CVector3{800.0f, 300.0f, 800.0f});
  shell->On_Floor_Contact(1.0f, CVector3{0, 0, 0}, CVector3{0, 1, 0});
  EXPECT_FALSE(shell->m_Exploded);
  EXPECT_TRUE(shell->m_Touched_Floor);
}

TEST_F(Shells, OneBlastReachesFortyFivePercentOfItsRadiusOnce) {
  CAmmo_Explosive* shell = Shell_At(CVector3{800.0f, kGround + 30.0f, 800.0f});
  const float reach = 400.0f * 0.45f;
  Stand_In_Target* near_sphere = Stand_In_Target::Spawn_Sphere(800.0f + reach - 40.0f, 100.0f, 800.0f, 20.0f);
  Stand_In_Target* far_sphere = Stand_In_Target::Spawn_Sphere(800.0f - reach - 60.0f, 100.0f, 800.0f, 20.0f);
  Stand_In_Target* pushed_only = Stand_In_Target::Spawn_Sphere(800.0f, 100.0f, 800.0f + reach - 40.0f, 20.0f);
  pushed_only->m_Kind_Flags = 0x04;
  CAmmo_Explosive trigger;
  trigger.m_Kind_Flags = 0x02;
  Sound_Recorder recorder;
  g_Game_State.SoundFX_Volume = 1.0f;
  const CVector3 centre = shell->m_Position;
  shell->On_Hit(&trigger, nullptr);
  ASSERT_TRUE(shell->m_Exploded);
  const int effects = g_Screen_FX_Mgr.Effect_Count();
  const int decals = g_World_Decal_Mgr.Live_Count();
  // The fixed-step list runs once a millisecond: frames of 16 until the blast.
  int frames = 0;
  while (!shell->m_Blasted && frames < 100) {
    for (int i = 0; i < 16; ++i) shell->Update(kTick);
    ++frames;
  }
  ASSERT_TRUE(shell->m_Blasted);
  EXPECT_NEAR(frames * 16 * kTick, 0.99f / 1.35f, 0.06f) << "about 0.74 units of swelling";
  EXPECT_EQ(near_sphere->Hits(), 1);
  EXPECT_GT(near_sphere->m_Sphere.velocity.x, 250.0f) << "pushed away at 300";
  EXPECT_EQ(far_sphere->Hits(), 0) << "beyond reach";
  EXPECT_EQ(pushed_only->Hits(), 0) << "0x04 alone is pushed, not struck";
  EXPECT_GT(pushed_only->m_Sphere.velocity.z, 150.0f);
  EXPECT_EQ(shell->m_Hit_Count, 1 + 1);
  EXPECT_EQ(g_Screen_FX_Mgr.Effect_Count(), effects + 1) << "one shake";
  EXPECT_LE(g_World_Decal_Mgr.Live_Count(), decals + 1) << "at most one scorch";
  const int marks = g_World_Decal_Mgr.Live_Count();
  const CVector3 v = near_sphere->m_Sphere.velocity;
  for (int i = 0; i < 16; ++i) shell->Update(kTick);
  EXPECT_EQ(near_sphere->Hits(), 1) << "the blast runs once";
  EXPECT_FLOAT_EQ(near_sphere->m_Sphere.velocity.x, v.x);
  EXPECT_EQ(g_Screen_FX_Mgr.Effect_Count(), effects + 1);
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), marks);
  // The strike and the blast each sound once, by the same positional rule at scale 0.45: the
  // random factor 0.8 to 1.2 over the distance falloff, between the 3D volume bounds.
  const float falloff = 1.0f / (1.0f + 4e-8f * arsenal::Dot(arsenal::Sub(centre, g_Camera.Position()),
                                                              arsenal::Sub(centre, g_Camera.Position())));
  const float low = g_Game_State.m_Min_3D_Volume, high = g_Game_State.m_Max_3D_Volume;
  for (const uint32_t sound : {0x22000173u, 0x22000172u}) {
    int heard = 0;
    for (const Recording_Sound_Mgr::Call& play : recorder.sounds.Plays()) {
      if (play.id != sound) continue;
      ++heard;
      const float volume = play.volume;
      EXPECT_GE(volume, low + 0.8f * falloff * 0.45f * (high - low) - 1e-5f) << std::hex << sound;
      EXPECT_LE(volume, std::min(high, low + 1.2f * falloff * 0.45f * (high - low)) + 1e-5f) << std::hex << sound;
    }
    EXPECT_EQ(heard, 1) << std::hex << sound;
  }
}

int Dirt_Clods_In_Flight() {
  int clods = 0;
  for (CWorld_Object* o = g_World.List_Head(2); o; o = o->m_Next) clods += o->m_Type == CDebris_Dirt::kType;
  return clods;
}

TEST_F(Shells, TheBlastThrowsThreeDirtClodsAndTheShellCastsAShadowUntilThen) {
  CAmmo_Explosive* shell = Shell_At(CVector3{800.0f, kGround + 30.0f, 800.0f});
  shell->Render(0.0f);
  EXPECT_GT(CShadowProjector::Last_Alpha(), 0) << "a shell just above the ground";
  CAmmo_Explosive trigger;
  trigger.m_Kind_Flags = 0x02;
  shell->On_Hit(&trigger, nullptr);
  const int clods = Dirt_Clods_In_Flight();
  for (int frame = 0; frame < 100 && !shell->m_Blasted; ++frame)
    for (int i = 0; i < 16; ++i) shell->Update(kTick);
  ASSERT_TRUE(shell->m_Blasted);
  EXPECT_EQ(Dirt_Clods_In_Flight(), clods + 3);
  for (int i = 0; i < 16; ++i) shell->Update(kTick);
  EXPECT_EQ(Dirt_Clods_In_Flight(), clods + 3) << "thrown by the one blast only";
}

TEST_F(Shells, ATimedOutShellShrinksAwayWithoutABlast) {
  CAmmo_Explosive* shell = Shell_At(CVector3{800.0f, 3000.0f, 800.0f});
  shell->m_State_Flags |= kState_No_Gravity;
  Stand_In_Target* sphere = Stand_In_Target::Spawn_Sphere(800.0f, 2900.0f, 820.0f, 20.0f);
  const int effects = g_Screen_FX_Mgr.Effect_Count();
  float time = 0.0f;
  while (shell->m_Kill_Timer < 1.0f && time < 20.0f) {
    shell->Update(0.01f);
    time += 0.01f;
  }
  EXPECT_NEAR(time, 3.65f + 4.0f, 0.05f);
  EXPECT_FALSE(shell->m_Blasted);
  EXPECT_EQ(sphere->Hits(), 0);
  EXPECT_EQ(g_Screen_FX_Mgr.Effect_Count(), effects);
}

}  // namespace

namespace {

// A sphere target that marks itself struck (kind flag 0x40) in its own hit, as targets do.
class Marking_Sphere : public CSphere_Object {
 public:
  void Update(const float& dt) override { (void)dt; }
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override {
    (void)other;
    (void)shot;
    m_Kind_Flags |= kKind_Excluded;
    return true;
  }
};

TEST_F(Bullets, WhatIsStruckDecidesTheRegistrationAndTheRicochet) {
  struct Case {
    int32_t body;
    uint32_t kinds;
    uint32_t type;
    bool registers;
    bool sparks;
  };
  const Case cases[] = {
      {kBody_Sphere, 0x01, 0, true, false},   // a target sphere that marks itself
      {kBody_Sphere, 0x00, 0, false, true},   // plain: a ricochet
      {kBody_Sphere, 0x08, 0, false, true},
      {kBody_Box, 0x02, 0, true, false},
      {kBody_Box, 0x00, 0, false, true},
      {kBody_Box, 0x20, 0, true, false},
      {kBody_Box, 0x41, 0, false, false},     // already struck: neither
      {kBody_Box, 0x01, 68, true, true},      // the boss counts and still throws sparks
  };
  for (const Case& c : cases) {
    Marking_Sphere object;
    object.Setup_Object(c.type, 100.0f, 100.0f, 0, c.kinds);
    if (c.body == kBody_Sphere)
      object.Setup_Sphere_Body(10.0f, 30.0f, 0.2f);
    else
      object.Setup_Box_Body(10.0f, CVector3{30.0f, 30.0f, 30.0f}, 0.2f);
    object.m_Sphere.hit_flag = object.m_Box.hit_flag = 1;  // the body takes hits
    object.Set_Position(CVector3{800.0f, 400.0f, 800.0f});
    g_Spark_Mgr.Init();
    const uint32_t hits = g_Sim_Stats.m_Hits;
    Fire_And_Step(CVector3{800.0f, 400.0f, 650.0f}, CVector3{0.0f, 0.0f, 4000.0f});
    EXPECT_EQ(g_Sim_Stats.m_Hits - hits, c.registers ? 1u : 0u) << c.body << " " << std::hex << c.kinds;
    EXPECT_EQ(g_Spark_Mgr.Live_Count() > 0, c.sparks) << c.body << " " << std::hex << c.kinds;
    EXPECT_LE(g_Spark_Mgr.Live_Count(), 3);
    object.Set_Position(CVector3{NAN, 0.0f, 0.0f});  // out of the grid before it goes
    g_Bullet_Machine_Mgr.Update_Bullets(10.0f);
  }
}

TEST_F(Arsenal, TheAmmunitionAndTheBulletsStartCleanlyOrFailCleanly) {
  Launch(1);
  struct Case {
    const char* name;
    std::function<bool()> init;
    std::function<void()> term;
  };
  CAmmo_Explosive shell;
  CAmmo_Ball ball;
  const Case cases[] = {
      {"CAmmo_Ball", [&] { return ball.Init(); }, [&] { ball.Term(); }},
      {"CAmmo_Explosive", [&] { return shell.Init(); }, [&] { shell.Term(); }},
      // Its model's message names the machine gun, its texture's and style's the manager.
      {"C", [] { return g_Bullet_Machine_Mgr.Init(); }, [] { g_Bullet_Machine_Mgr.Term(); }},
  };
  for (const Case& c : cases) {
    c.term();  // what the launch gave it goes back before the counting starts
    std::set<uint32_t> ids;
    {
      arsenal_test::Counted_Resources resources;
      ASSERT_TRUE(c.init()) << c.name;
      ids = resources.counts.requested;
      c.term();
      EXPECT_EQ(resources.counts.outstanding, 0) << c.name;
    }
    for (uint32_t id : ids) {
      messages.clear();
      arsenal_test::Counted_Resources resources;
      resources.counts.failing_id = id;
      EXPECT_FALSE(c.init()) << c.name << " " << std::hex << id;
      EXPECT_EQ(resources.counts.outstanding, 0) << c.name << " " << std::hex << id;
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].rfind(std::string("Error in ") + c.name, 0), 0u) << messages[0];
      c.term();
    }
  }
  ASSERT_TRUE(g_Bullet_Machine_Mgr.Init());
}

}  // namespace
