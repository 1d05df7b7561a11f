// The lightning gun: charge and bursts, the bolts' ends and bends, hits, arcs and the echo.
#include <gtest/gtest.h>

#include "game/core/CWorld.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAttach_Bullet_Spray.h"
#include "game/player/CPlayer_Weapon_Gun_Lightning_0.h"
#include "game/sim/CSim_Stats.h"
#include "game/trainer/Weapon_Tables.h"
#include "tests/game/player/arsenal_fixture.h"
#include "tests/game/player/view_probe.h"
#include "tests/support/stand_in_target.h"

namespace {

using arsenal_test::Arsenal;
using vt_test::Stand_In_Target;
using Gun = CPlayer_Weapon_Gun_Lightning_0;

class Lightning : public Arsenal {
 protected:
  Gun& gun = g_Gun_Lightning;
  void TearDown() override {
    g_Wide_Search = false;
    Arsenal::TearDown();
  }
  // Aims the gun level along +z (the field's length) from its mount.
  void Aim_Along(const CVector3& direction) {
    gun.m_Orientation = arsenal::Basis_From_Aim(direction, CVector3{1.0f, 0.0f, 0.0f});
  }
  CVector3 Muzzle() const { return arsenal::Add(g_Player.m_Mount_Position, arsenal::Mul(gun.Aim(), 212.0f)); }
};

TEST_F(Lightning, TheLeastChargeFiresOneWeakBoltAndTheNextRepeatEmptiesIt) {
  Launch(4);
  ASSERT_EQ(g_Player.m_Gun, &gun);
  Aim_Along(CVector3{0.0f, 0.3f, 1.0f});
  gun.m_Charge = 0.15f;
  const uint32_t shots = g_Sim_Stats.m_Shots;
  ASSERT_TRUE(gun.Fire());
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 1);
  EXPECT_LT(gun.m_Charge, 0.0f + 1e-6f);
  EXPECT_NEAR(gun.m_Bolts[0].m_Width, 0.35f * 1.5f, 1e-5f) << "power is at least 0.35";
  EXPECT_GT(gun.m_Repeat_Timer, 0.0f);
  int steps = 0;
  while (gun.m_Repeat_Timer != 0.0f && steps++ < 100) gun.Update(Frame(0.01f));
  EXPECT_NEAR(gun.m_Charge, 0.1f * 0.01f, 1e-6f) << "the burst's end empties the charge (one step of recharge since)";
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 1);
  EXPECT_FALSE(gun.Fire()) << "outside a burst too little charge only clicks";
}

TEST_F(Lightning, AFullBurstIsOneShotOfSeveralBolts) {
  Launch(4);
  Aim_Along(CVector3{0.0f, 0.3f, 1.0f});
  gun.m_Charge = 1.0f;
  const uint32_t shots = g_Sim_Stats.m_Shots;
  const int id = gun.m_Shot_Id;
  ASSERT_TRUE(gun.Fire());
  int bolts = 1;
  float last_repeat = gun.m_Repeat_Timer;
  for (int i = 0; i < 300 && gun.m_Repeat_Timer != 0.0f; ++i) {
    gun.Update(Frame(0.01f));
    if (gun.m_Repeat_Timer > last_repeat) ++bolts;
    last_repeat = gun.m_Repeat_Timer;
  }
  EXPECT_GE(bolts, 4);
  EXPECT_LE(bolts, 6);
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 1);
  EXPECT_EQ(gun.m_Shot_Id, id + 1);
}

TEST_F(Lightning, ABoltIntoTheSkyEndsOnAWallOrAtItsLength) {
  Launch(4);
  const CVector3 start{800.0f, 2000.0f, 800.0f};
  const float size_x = g_World.m_Terrain.size_x, size_z = g_World.m_Terrain.size_z;
  struct Case {
    CVector3 direction;
    int kind;
    CVector3 end;
  };
  const Case cases[] = {
      {{1.0f, 0.0f, 0.0f}, Gun::kEnd_Wall, {size_x, 2000.0f, 800.0f}},
      {{-1.0f, 0.0f, 0.0f}, Gun::kEnd_Wall, {0.0f, 2000.0f, 800.0f}},
      {{0.0f, 0.0f, 1.0f}, Gun::kEnd_Wall, {800.0f, 2000.0f, size_z}},
      {{0.0f, 1.0f, 0.0f}, Gun::kEnd_Open, {800.0f, 7000.0f, 800.0f}},
  };
  for (const Case& c : cases) {
    CVector3 direction = c.direction, end;
    EXPECT_EQ(gun.Strike(start, direction, end), c.kind) << c.direction.x << " " << c.direction.z;
    EXPECT_NEAR(end.x, c.end.x, 0.5f);
    EXPECT_NEAR(end.y, c.end.y, 0.5f);
    EXPECT_NEAR(end.z, c.end.z, 0.5f);
  }
  // A field wider than a bolt: the wall's plane never reaches the bolt, which keeps its length.
  g_World.m_Terrain.size_x = 20000.0f;
  CVector3 direction{1.0f, 0.0f, 0.0f}, end;
  EXPECT_EQ(gun.Strike(start, direction, end), Gun::kEnd_Open);
  EXPECT_NEAR(end.x, 5800.0f, 0.5f);
  g_World.m_Terrain.size_x = size_x;
  direction = CVector3{0.0f, -1.0f, 0.0f};
  EXPECT_EQ(gun.Strike(start, direction, end), Gun::kEnd_Terrain);
}

TEST_F(Lightning, TheSearchRadiusIsWideOnlyWhenAskedAtInit) {
  struct Case {
    bool byte, global;
    float radius;
  };
  for (const Case& c : {Case{false, false, 10.0f}, Case{true, false, 225.0f}, Case{false, true, 225.0f}}) {
    Launch(4);
    g_Player.Release_Gun();
    gun.m_Wide_Search = c.byte;
    g_Wide_Search = c.global;
    ASSERT_TRUE(gun.Init());
    EXPECT_FLOAT_EQ(gun.m_Search_Radius, c.radius);
    EXPECT_EQ(gun.m_Wide_Search, 0) << "the byte is cleared at Init";
    EXPECT_EQ(g_Wide_Search, c.global) << "the switch is only read";
    gun.Term();
  }
}

TEST_F(Lightning, ABoltBendsOntoANearbySphereAndBoxAndHitsAddUp) {
  Launch(4);
  g_Player.Release_Gun();
  gun.m_Wide_Search = 1;
  ASSERT_TRUE(gun.Init());
  g_Player.m_Gun = &gun;
  Stand_In_Target* sphere = Stand_In_Target::Spawn_Sphere(350.0f, 100.0f, 1400.0f, 40.0f);
  Stand_In_Target* box = Stand_In_Target::Spawn_Box(1250.0f, 100.0f, 1400.0f, 40.0f);
  for (Stand_In_Target* target : {sphere, box}) {
    const CVector3 muzzle{target->m_Position.x + 120.0f, target->m_Position.y + 30.0f, 600.0f};
    CVector3 direction{0.0f, 0.0f, 1.0f};
    EXPECT_EQ(gun.Search_Target(muzzle, direction), target);
    CVector3 end;
    direction = CVector3{0.0f, 0.0f, 1.0f};
    const int hits = target->Hits();
    EXPECT_EQ(gun.Strike(muzzle, direction, end), Gun::kEnd_Object);
    EXPECT_EQ(target->Hits(), hits + 1) << "the bent bolt struck it";
    EXPECT_LT(arsenal::Length(arsenal::Sub(end, target->m_Position)), 80.0f);
  }
  EXPECT_EQ(gun.m_Hits_In_Shot, 2) << "the second hit of a shot is a multi-hit";
}

TEST_F(Lightning, EachBoltThrowsTwoToFiveArcsAndItsEchoStrikesAQuarterLater) {
  Launch(4);
  Aim_Along(CVector3{0.0f, 0.3f, 1.0f});
  for (int round = 0; round < 10; ++round) {
    for (CFX_Lightning& bolt : gun.m_Bolts) bolt.m_Active = false;
    gun.m_Repeat_Timer = 0.0f;
    gun.m_Charge = 1.0f;
    ASSERT_TRUE(gun.Fire());
    int arcs = 0;
    for (const CFX_Lightning& bolt : gun.m_Bolts) arcs += bolt.m_Active && bolt.m_Kind == 2;
    EXPECT_GE(arcs, 2);
    EXPECT_LE(arcs, 5);
  }
  gun.m_Repeat_Timer = 0.0f;  // no further bolts
  const CMatrix3x3 held = gun.m_Orientation;
  const int id = gun.m_Shot_Id;
  EXPECT_FLOAT_EQ(gun.m_Echo_Timer, 0.45f);
  gun.Update(Frame(0.2f));
  EXPECT_FLOAT_EQ(gun.m_Orientation.rows[2].z, held.rows[2].z) << "the aim is held during the echo";
  gun.Update(Frame(0.1f));
  EXPECT_EQ(gun.m_Shot_Id, id) << "the echo records no shot";
}

// A bolt's glow stands ten units from the eye on the line to the bolt's end, so it shows over the
// end on the screen. Under a near blast's shake it stays there: placed from the shaken eye, it
// moves only by the view's small turn, as the far end does.
TEST_F(Lightning, ABoltsGlowStaysOverItsEndUnderAShake) {
  Launch(4);
  harness.Step_Undrawn(2);
  using namespace arsenal;
  const CMatrix3x3& axes = g_Camera.Rotation();
  // Far ahead, up and to the left: over the fence, clear of the gun and the track's targets.
  const CVector3 end = Add(Add(Add(g_Camera.Position(), Mul(axes.rows[2], 1500.0f)), Mul(axes.rows[0], -500.0f)),
                           Mul(axes.rows[1], 400.0f));
  const CVector3 on_screen = g_Camera.World_To_Screen(end);
  CFX_Lightning& bolt = gun.m_Bolts[0];
  ASSERT_TRUE(bolt.Setup(2, Muzzle(), end, 0xFFFF80FFu, 4.0f, 1000.0f, 1.0f));
  bolt.m_Segment_Count = 0;  // the glow alone: the bright strands would hide part of it
  const auto show = [&](bool shown) { bolt.m_No_Glow = !shown; };
  // The glow's bright core (the wide halo around it is faint).
  const int core = 80;
  const view_probe::Region around{int(on_screen.x) - 120, int(on_screen.y) - 120, int(on_screen.x) + 120,
                                  int(on_screen.y) + 120};
  const view_probe::Box still =
      view_probe::Changed(view_probe::Draw_With_And_Without(harness, show, 0.0f, 0, "bolt_glow_still.png"), around, core);
  ASSERT_FALSE(still.Empty());
  EXPECT_NEAR(still.Centre_X(), on_screen.x, 3.0);
  EXPECT_NEAR(still.Centre_Y(), on_screen.y, 3.0);
  // The eye moves by up to 5 units, half the glow's distance; the view turns by up to 0.0125
  // radians about each axis, some 10 pixels near the view's centre.
  const float strength = 5.0f;
  const view_probe::Box shaken = view_probe::Changed(
      view_probe::Draw_With_And_Without(harness, show, strength, view_probe::Strong_Shake_Seed(strength),
                                        "bolt_glow_shaken.png"),
      around, core);
  ASSERT_GT(std::fabs(g_Camera.Shake_Offset().x), 2.0f) << "a strong shake";
  ASSERT_FALSE(shaken.Empty());
  EXPECT_NEAR(shaken.Centre_X(), still.Centre_X(), 14.0);
  EXPECT_NEAR(shaken.Centre_Y(), still.Centre_Y(), 14.0);
  bolt.m_Active = false;
}

TEST_F(Lightning, TheGunCarriesOnlyTheAttachmentsItHandles) {
  Launch(4, 4);
  EXPECT_EQ(g_Player.m_Gun->m_Attachment, nullptr) << "no energy pulse on the lightning gun";
  Launch(4, 2);
  EXPECT_EQ(g_Player.m_Gun->m_Attachment, &g_Weapon_Attachment_Bullet_Spray);
}

}  // namespace
