// The missile launcher's cradles, shots and lock-on, and the missile's flight and blast.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <sstream>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAmmo_Missile_0.h"
#include "game/player/CPlayer_Weapon_Gun_MissileLauncher_0.h"
#include "game/sim/CSim_Stats.h"
#include "tests/game/player/arsenal_fixture.h"
#include "tests/support/stand_in_target.h"

namespace {

using arsenal_test::Arsenal;
using vt_test::Stand_In_Target;
using Launcher = CPlayer_Weapon_Gun_MissileLauncher_0;

constexpr float kPi = 3.14159265f;
constexpr float kStep = 0.01f;

class MissileLauncher : public Arsenal {
 protected:
  Launcher& gun = g_Gun_MissileLauncher;
  // Steps the launcher until the test holds or the time runs out; answers the time taken.
  template <class Done>
  float Step_Until(Done done, float most = 20.0f) {
    float t = 0.0f;
    while (!done() && t < most) {
      gun.Update(Frame(kStep));
      t += kStep;
    }
    return t;
  }
  // Points the mouse at the object and turns the launcher's aim along the cursor ray at once (the
  // aiming spring would take a while).
  void Point_At(const CWorld_Object* object) {
    const CVector3 p = g_Camera.World_To_Screen(object->m_Position);
    std::ostringstream s;
    s << "move " << int(p.x) << " " << int(p.y) << "\nframes 1\n";
    std::string error;
    ASSERT_TRUE(harness.Run_Script(s.str(), harness.Work_Dir(), &error)) << error;
    gun.m_Orientation = arsenal::Basis_From_Aim(g_Camera.Get_Cursor_Ray(), gun.m_Orientation.rows[0]);
  }
  void Arm_Both() {
    Step_Until([&] { return gun.m_Cradle_State[0] == Launcher::kArmed && gun.m_Cradle_State[1] == Launcher::kArmed; });
    ASSERT_EQ(gun.m_Cradle_State[1], Launcher::kArmed);
  }
  // The missile's sideways speed along the gun's side axis.
  float Side_Kick(const CAmmo_Missile_0* m) const { return arsenal::Dot(m->m_Sphere.velocity, gun.m_Orientation.rows[0]); }
};

TEST_F(MissileLauncher, CradlesLoadOneAtATimeAndSwingAtTheirRates) {
  Launch(3);
  ASSERT_EQ(g_Player.m_Gun, &gun);
  EXPECT_EQ(gun.m_Last_Cradle, 1);
  gun.Update(Frame(kStep));
  ASSERT_NE(gun.Missile_Of_Cradle(0), nullptr) << "cradle 0 loads first";
  EXPECT_EQ(gun.Missile_Of_Cradle(1), nullptr) << "one cradle loads at a time";
  const float out0 = kStep + Step_Until([&] { return gun.m_Cradle_State[0] == Launcher::kArmed; });
  EXPECT_NEAR(out0, (kPi / 2.0f) / 0.75f, 2.5f * kStep) << "a quarter turn out at 0.75";
  EXPECT_FLOAT_EQ(gun.m_Cradle_Angle[0], -kPi);
  EXPECT_EQ(gun.m_Cradle_State[1], Launcher::kLoading) << "cradle 1 waited at the loading position";
  const float out1 = Step_Until([&] { return gun.m_Cradle_State[1] == Launcher::kArmed; });
  EXPECT_NEAR(out1, (kPi / 2.0f) / 0.75f, 2.5f * kStep);
  EXPECT_FLOAT_EQ(gun.m_Cradle_Angle[1], 0.0f);

  ASSERT_TRUE(gun.Fire());
  EXPECT_EQ(gun.m_Last_Cradle, 0);
  EXPECT_EQ(gun.Missile_Of_Cradle(0), nullptr) << "the fired missile left its cradle";
  const float back = Step_Until([&] { return gun.m_Cradle_State[0] != Launcher::kSwinging_Back; });
  EXPECT_NEAR(back, (kPi / 2.0f) / 1.25f, 2.5f * kStep) << "a quarter turn back at 1.25";
}

TEST_F(MissileLauncher, ShotsAlternateCradlesWithOppositeKicksThenClickDry) {
  Launch(3);
  Arm_Both();
  const uint32_t shots = g_Sim_Stats.m_Shots;
  CAmmo_Missile_0* left = gun.Missile_Of_Cradle(0);
  CAmmo_Missile_0* right = gun.Missile_Of_Cradle(1);
  ASSERT_TRUE(gun.Fire());
  ASSERT_TRUE(gun.Fire());
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 2);
  EXPECT_NEAR(Side_Kick(left), -30.0f, 0.01f) << "cradle 0 kicks left";
  EXPECT_NEAR(Side_Kick(right), 30.0f, 0.01f) << "cradle 1 kicks right";
  EXPECT_TRUE(left->m_Launched && right->m_Launched);
  EXPECT_TRUE(left->m_Seeker.m_Aim_Point_Flag);
  EXPECT_FALSE(gun.Fire()) << "no cradle is armed: a dry click";
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 2);
}

TEST_F(MissileLauncher, AnEmptyPoolLeavesTheCradleWaiting) {
  Launch(3);
  CObject_Pool* pool = CAmmo_Missile_0::Pool();
  std::vector<CWorld_Object*> taken;
  while (CWorld_Object* m = pool->Alloc_Object()) taken.push_back(m);
  ASSERT_FALSE(taken.empty());
  for (int i = 0; i < 50; ++i) gun.Update(Frame(kStep));
  EXPECT_EQ(gun.m_Cradle_State[0], Launcher::kLoading);
  EXPECT_FLOAT_EQ(gun.m_Cradle_Angle[0], -kPi / 2.0f) << "no missile: the cradle does not swing out";
  EXPECT_EQ(gun.Missile_Of_Cradle(0), nullptr);
  EXPECT_FALSE(gun.Fire());
  pool->Free_Object(taken.back());
  gun.Update(Frame(kStep));
  EXPECT_NE(gun.Missile_Of_Cradle(0), nullptr) << "retried every step";
  for (CWorld_Object* m : taken) pool->Free_Object(m);
}

TEST_F(MissileLauncher, TheLockHoldsWhileSeenDropsAfterWardsAndResetsTheTrailOnANewTarget) {
  Launch(3);
  Stand_In_Target* a = Stand_In_Target::Spawn_Sphere(800.0f, 0.0f, 1300.0f, 60.0f);
  Stand_In_Target* b = Stand_In_Target::Spawn_Sphere(600.0f, 0.0f, 1300.0f, 60.0f);
  Point_At(a);
  gun.m_Scan_Timer = 0.0f;
  gun.Update(Frame(kStep));
  EXPECT_EQ(gun.Locked_Target(), a);
  EXPECT_FLOAT_EQ(gun.m_Scan_Timer, 0.15f);
  gun.Render_Overlay(Frame(kStep));
  gun.Render_Overlay(Frame(kStep));
  EXPECT_EQ(gun.m_Trail_Index, 2);
  EXPECT_NE(gun.m_Trail[2].z, Launcher::kEmpty_Entry);

  Point_At(b);
  const float moved = Step_Until([&] { return gun.Locked_Target() == b; }, 1.0f);
  EXPECT_LE(moved, 0.15f + kStep) << "a new object takes the lock at the next scan";
  EXPECT_EQ(gun.m_Trail_Index, 0);
  for (const CVector3& entry : gun.m_Trail) EXPECT_EQ(entry.z, Launcher::kEmpty_Entry);

  std::string error;
  ASSERT_TRUE(harness.Run_Script("move 400 20\nframes 1\n", harness.Work_Dir(), &error)) << error;  // the sky
  const float held = Step_Until([&] { return gun.Locked_Target() == nullptr; }, 5.0f);
  EXPECT_NEAR(held, 1.5f, 0.15f + 2 * kStep) << "kept for 1.5 after it was last seen";
}

TEST_F(MissileLauncher, TheTrailStandsStillWhilePaused) {
  Launch(3);
  Stand_In_Target* a = Stand_In_Target::Spawn_Sphere(800.0f, 0.0f, 1300.0f, 60.0f);
  g_Target_Link_Pool.Add_Link(a, &gun.m_Target_Lock);
  gun.Render_Overlay(Frame(kStep));
  EXPECT_EQ(gun.m_Trail_Index, 1);
  Set_Game_Paused(true);
  gun.Render_Overlay(Frame(kStep));
  EXPECT_EQ(gun.m_Trail_Index, 1);
  Set_Game_Paused(false);
}

TEST_F(MissileLauncher, TowersAndUnlockableObjectsAreNotLocked) {
  Launch(3);
  Stand_In_Target* a = Stand_In_Target::Spawn_Sphere(800.0f, 0.0f, 1300.0f, 60.0f);
  Point_At(a);
  struct Case {
    uint32_t kind_flags, type;
    bool locked;
  };
  const Case cases[] = {{0x01, 0, true}, {0x02, 0, true}, {0x08, 0, true}, {0x20, 0, true},
                        {0x10, 0, false}, {0x04, 0, false}, {0x01, 51, false}};
  for (const Case& c : cases) {
    if (gun.m_Target_Lock.m_Link_Chain) g_Target_Link_Pool.Remove_Link(gun.m_Target_Lock.m_Link_Chain);
    a->m_Kind_Flags = c.kind_flags;
    a->m_Type = c.type;
    gun.m_Scan_Timer = 0.0f;
    gun.Update(Frame(kStep));
    EXPECT_EQ(gun.Locked_Target() == a, c.locked) << std::hex << c.kind_flags << " type " << std::dec << c.type;
  }
  a->m_Kind_Flags = 0x01;
  a->m_Type = 0;
}

class Missile : public MissileLauncher {
 protected:
  // A missile launched from high above the ground, along +z or straight up.
  CAmmo_Missile_0* Launched(CWorld_Object* target = nullptr, bool up = false) {
    auto* m = static_cast<CAmmo_Missile_0*>(CAmmo_Missile_0::Pool()->Alloc_Object());
    if (!m) return nullptr;
    m->Spawn(CVector3{800.0f, 600.0f, 300.0f}, 0);
    g_World.Add_Object(1, m);
    m->m_Orientation = CMatrix3x3::Identity;
    if (up) m->m_Orientation.Set_Rows(CVector3{1.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, -1.0f}, CVector3{0.0f, 1.0f, 0.0f});
    m->Launch(target);
    m->m_Sphere.velocity = arsenal::Mul(m->m_Orientation.rows[2], 10.0f);
    return m;
  }
};

// The exhaust flame stands out behind the missile along its backward axis, from 62 units back to
// 162 or more, and spreads at most 50 across it: light well behind the missile on its axis, and
// none beside the flame's root.
TEST_F(Missile, ItsFlameStandsOutBehindItAlongItsAxis) {
  Launch(3);
  harness.Step(1, 1);
  const CMatrix3x3 axes = g_Camera.Rotation();
  const CVector3 right = axes.rows[0], up = axes.rows[1], ahead = axes.rows[2];
  const CVector3 at = arsenal::Add(g_Camera.Position(), arsenal::Mul(ahead, 700.0f));
  std::vector<uint32_t> bare, shown;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(bare, width, height));
  CAmmo_Missile_0* m = Launched();
  ASSERT_NE(m, nullptr);
  m->m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.0f};
  m->Set_Position(at);
  m->m_Orientation.Set_Rows(arsenal::Mul(ahead, -1.0f), up, right);  // flying to the screen's right
  harness.Step(1, 1);
  ASSERT_TRUE(harness.Read_Back(shown, width, height));
  // The brightest change within a few pixels of a world point.
  auto light_at = [&](const CVector3& point) {
    const CVector3 p = g_Camera.World_To_Screen(point);
    int most = 0;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        const int x = int(p.x) + dx, y = int(p.y) + dy;
        if (x < 0 || y < 0 || x >= int(width) || y >= int(height)) continue;
        const uint32_t a = bare[size_t(y) * width + x], b = shown[size_t(y) * width + x];
        int sum = 0;
        for (int shift : {0, 8, 16}) sum += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
        most = std::max(most, sum);
      }
    return most;
  };
  const CVector3 behind = arsenal::Sub(at, arsenal::Mul(right, 140.0f));
  EXPECT_GT(light_at(behind), 12) << "the flame reaches 140 behind the missile";
  // Below the flame: its smoke trail comes down from above, from where the missile was made.
  const CVector3 beside = arsenal::Sub(arsenal::Sub(at, arsenal::Mul(right, 100.0f)), arsenal::Mul(up, 80.0f));
  EXPECT_LT(light_at(beside), 8) << "the flame spreads no more than 50 across its axis";
  if (const char* dir = std::getenv("VT_ARSENAL_SHOTS")) harness.Save_Png(std::string(dir) + "/missile_flame.png");
}

TEST_F(Missile, ItCruisesNearSevenHundredFifty) {
  Launch(3);
  CAmmo_Missile_0* m = Launched();
  ASSERT_NE(m, nullptr);
  float top = 0.0f;
  for (int i = 0; i < 300; ++i) {
    m->Update(kStep);
    if (i > 100) top = std::max(top, arsenal::Length(m->m_Sphere.velocity));
  }
  EXPECT_GT(top, 700.0f);
  EXPECT_LT(top, 800.0f);
}

TEST_F(Missile, ItFliesThroughTheWorldForOneAndAQuarterThenCollides) {
  Launch(3);
  CAmmo_Missile_0* m = Launched();
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->m_State_Flags & kState_No_World_Contact);
  float t = 0.0f;
  while (t < 1.2f) {
    m->Update(kStep);
    t += kStep;
  }
  EXPECT_TRUE(m->m_State_Flags & kState_No_World_Contact);
  EXPECT_TRUE(m->m_State_Flags & kState_No_Object_Collision);
  for (int i = 0; i < 10; ++i) m->Update(kStep);
  EXPECT_FALSE(m->m_State_Flags & kState_No_World_Contact);
  EXPECT_FALSE(m->m_State_Flags & kState_No_Object_Collision);
}

TEST_F(Missile, TheBlastStrikesEveryObjectInReachThatTakesHitsAndExplodesEachMissileOnce) {
  Launch(3);
  CAmmo_Missile_0* m = Launched();
  ASSERT_NE(m, nullptr);
  Stand_In_Target* near = Stand_In_Target::Spawn_Sphere(m->m_Position.x + 60.0f, 0.0f, m->m_Position.z, 30.0f);
  Stand_In_Target* away = Stand_In_Target::Spawn_Sphere(m->m_Position.x + 600.0f, 0.0f, m->m_Position.z, 30.0f);
  near->Set_Position(CVector3{m->m_Position.x + 60.0f, m->m_Position.y, m->m_Position.z});
  away->Set_Position(CVector3{m->m_Position.x + 600.0f, m->m_Position.y, m->m_Position.z});
  near->m_Kind_Flags = 0x40;  // spared from the count, struck all the same
  CAmmo_Missile_0* second = Launched();
  ASSERT_NE(second, nullptr);
  second->Set_Position(CVector3{m->m_Position.x - 50.0f, m->m_Position.y, m->m_Position.z});
  const uint32_t smoke = g_Particle_Basic_Mgr.Live_Count();
  EXPECT_TRUE(m->On_Hit(nullptr, nullptr));
  EXPECT_EQ(near->Hits(), 2) << "struck by both blasts, though not counted";
  EXPECT_EQ(away->Hits(), 0) << "out of reach";
  EXPECT_EQ(m->m_Struck_Count, 0);
  EXPECT_FLOAT_EQ(m->m_Kill_Timer, 1.0f);
  EXPECT_FLOAT_EQ(second->m_Kill_Timer, 1.0f) << "the blast set off the other missile";
  EXPECT_GT(g_Particle_Basic_Mgr.Live_Count(), smoke);
  m->On_Hit(nullptr, nullptr);
  EXPECT_EQ(near->Hits(), 2) << "a spent missile does not explode again";
  near->m_Kind_Flags = 0x01;
  m->m_Kill_Timer = 0.5f;
  m->Explode();
  EXPECT_EQ(m->m_Struck_Count, 1) << "a counted target adds to the count";
}

// The particles a manager gained since the live set was taken.
std::vector<bool> Live_Set(const CParticle_Add_Mgr& mgr) {
  std::vector<bool> live(mgr.Capacity() + 1, false);
  for (uint32_t i = 1; i <= mgr.Capacity(); ++i) live[i] = mgr.Particle(i).flags & kParticle_Live;
  return live;
}
std::vector<CParticle> Added_Since(const CParticle_Add_Mgr& mgr, const std::vector<bool>& before) {
  std::vector<CParticle> added;
  for (uint32_t i = 1; i <= mgr.Capacity(); ++i)
    if ((mgr.Particle(i).flags & kParticle_Live) && !before[i]) added.push_back(mgr.Particle(i));
  return added;
}

// One random term of a burst: its value for a particle and the range the formula gives it.
struct Term {
  const char* name;
  std::function<float(const CParticle&)> of;
  float low, high;
};

// Each term keeps to its range and spans most of it, and no two terms move together: a burst
// whose terms share one draw lies on a line (every pair correlated by +1 or -1).
void Expect_Spread(const char* burst, const std::vector<CParticle>& particles, const std::vector<Term>& terms) {
  const size_t n = particles.size();
  std::vector<std::vector<float>> values(terms.size());
  for (size_t t = 0; t < terms.size(); ++t) {
    float low = 1e30f, high = -1e30f;
    for (const CParticle& p : particles) {
      const float v = terms[t].of(p);
      values[t].push_back(v);
      low = std::min(low, v);
      high = std::max(high, v);
    }
    const float slack = 1e-3f * std::max(1.0f, terms[t].high - terms[t].low);
    EXPECT_GE(low, terms[t].low - slack) << burst << " " << terms[t].name;
    EXPECT_LE(high, terms[t].high + slack) << burst << " " << terms[t].name;
    EXPECT_GT(high - low, 0.5f * (terms[t].high - terms[t].low)) << burst << " " << terms[t].name << " spans its range";
  }
  auto correlation = [&](size_t a, size_t b) {
    double ma = 0, mb = 0;
    for (size_t i = 0; i < n; ++i) ma += values[a][i], mb += values[b][i];
    ma /= n, mb /= n;
    double sab = 0, saa = 0, sbb = 0;
    for (size_t i = 0; i < n; ++i) {
      sab += (values[a][i] - ma) * (values[b][i] - mb);
      saa += (values[a][i] - ma) * (values[a][i] - ma);
      sbb += (values[b][i] - mb) * (values[b][i] - mb);
    }
    return sab / std::sqrt(std::max(saa * sbb, 1e-30));
  };
  for (size_t a = 0; a < terms.size(); ++a)
    for (size_t b = a + 1; b < terms.size(); ++b)
      EXPECT_LT(std::abs(correlation(a, b)), 0.8) << burst << ": " << terms[a].name << " and " << terms[b].name;
}

// The launch smoke fills a cone behind the missile, the blast smoke a ball round the blast point
// and the fire a disc across the missile's axis: every random term of their formulas is its own
// draw. Taken in the missile's own axes, turned away from the world's.
TEST_F(Missile, ItsSmokeAndFireSpreadEveryWayAndNotAlongALine) {
  Launch(3);
  auto* m = static_cast<CAmmo_Missile_0*>(CAmmo_Missile_0::Pool()->Alloc_Object());
  ASSERT_NE(m, nullptr);
  m->Spawn(CVector3{800.0f, 600.0f, 300.0f}, 0);
  g_World.Add_Object(1, m);
  m->m_Orientation = arsenal::Basis_From_Aim(CVector3{0.6f, 0.3f, 1.0f}, CVector3{1.0f, 0.0f, 0.0f});
  const CVector3 side = m->m_Orientation.rows[0], up = m->m_Orientation.rows[1], forward = m->m_Orientation.rows[2];
  auto along = [](const CVector3& axis) {
    return [axis](const CParticle& p) { return arsenal::Dot(p.velocity, axis); };
  };
  auto life = [](const CParticle& p) { return p.life; };
  auto gravity = [](const CParticle& p) { return p.gravity_scale; };

  std::vector<bool> basic = Live_Set(g_Particle_Basic_Mgr);
  const CVector3 from = m->m_Position;
  m->Launch(nullptr);
  const std::vector<CParticle> launch = Added_Since(g_Particle_Basic_Mgr, basic);
  ASSERT_EQ(launch.size(), 20u);
  auto behind = [&](const CParticle& p) {
    return arsenal::Dot(arsenal::Sub(arsenal::Sub(p.position, from), arsenal::Mul(p.velocity, 0.15f)), forward);
  };
  Expect_Spread("launch smoke", launch,
                {{"forward", along(forward), -125.0f, -100.0f}, {"up", along(up), -15.5f, 15.5f},
                 {"side", along(side), -15.5f, 15.5f}, {"distance behind", behind, 100.0f, 200.0f},
                 {"life", life, 4.0f, 8.0f}, {"gravity", gravity, 0.0f, 0.03f}});

  basic = Live_Set(g_Particle_Basic_Mgr);
  const std::vector<bool> add = Live_Set(g_Particle_Add_Mgr);
  const CVector3 blast = arsenal::Add(m->m_Position, arsenal::Mul(forward, 1.5f * CAmmo_Missile_0::kRadius));
  m->Explode();
  const std::vector<CParticle> smoke = Added_Since(g_Particle_Basic_Mgr, basic);
  const std::vector<CParticle> fire = Added_Since(g_Particle_Add_Mgr, add);
  ASSERT_EQ(smoke.size(), 32u);
  ASSERT_EQ(fire.size(), 22u);
  Expect_Spread("blast smoke", smoke,
                {{"forward", along(forward), -65.5f, 65.5f}, {"up", along(up), -30.5f, 30.5f},
                 {"side", along(side), -30.5f, 30.5f}, {"life", life, 2.0f, 5.0f}, {"gravity", gravity, 0.05f, 0.1f}});
  Expect_Spread("fire", fire,
                {{"up", along(up), -75.0f, 75.0f}, {"side", along(side), -75.0f, 75.0f},
                 {"life", life, 0.25f, 12.0f}, {"gravity", gravity, 0.1f, 0.5f}});
  for (const CParticle& p : fire) {
    EXPECT_NEAR(arsenal::Dot(p.velocity, forward), 0.0f, 1e-3f) << "the fire spreads across the axis";
    const CVector3 offset = arsenal::Sub(p.position, arsenal::Add(blast, arsenal::Mul(p.velocity, 0.15f)));
    EXPECT_LT(arsenal::Length(offset), 1e-2f) << "from the blast point";
  }
}

TEST_F(Missile, ASpentLifeEndsWithoutABlast) {
  Launch(3);
  CAmmo_Missile_0* m = Launched(nullptr, true);
  ASSERT_NE(m, nullptr);
  int steps = 0;
  while (m->m_Kill_Timer == 0.0f && steps++ < 1000) m->Update(kStep);
  EXPECT_NEAR(steps * kStep, CAmmo_Missile_0::kLife, 2 * kStep);
  const uint32_t smoke = g_Particle_Basic_Mgr.Live_Count();
  for (int i = 0; i < 200; ++i) m->Update(kStep);
  EXPECT_GT(m->m_Kill_Timer, 0.0f);
  EXPECT_LT(m->m_Kill_Timer, 1.0f) << "the kill timer grows at 0.1 a unit";
  EXPECT_EQ(g_Particle_Basic_Mgr.Live_Count() <= smoke, true) << "no blast smoke";
}

}  // namespace
