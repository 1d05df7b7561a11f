// The guns: the aiming spring, the steel-ball charge and its balls, the machine gun's spin and
// heat, the missile launcher's lock trail on screen, the cannon's reload and glow.
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/WinMain.h"
#include "game/fx/CShadowProjector.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAmmo_Ball.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/CPlayer_Weapon_Gun_Cannon_0.h"
#include "game/player/CPlayer_Weapon_Gun_Machine_0.h"
#include "game/player/CPlayer_Weapon_Gun_MissileLauncher_0.h"
#include "game/player/CPlayer_Weapon_Gun_SteelBall_0.h"
#include "game/player/Gun_Resources.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSim_Stats.h"
#include "platform/window/cursor.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "tests/game/player/arsenal_fixture.h"
#include "tests/game/player/view_probe.h"
#include "tests/support/stand_in_target.h"

namespace {

using arsenal_test::Arsenal;
using namespace arsenal;

constexpr float kTick = 0.0035f;

TEST_F(Arsenal, TheAimSettlesOnTheTiltedCursorRay) {
  Launch(1);
  struct Case {
    int x, y;
    bool locked;
  };
  const Case cases[] = {{400, 300, false}, {120, 80, false}, {700, 560, false}, {250, 450, true}};
  for (const Case& c : cases) {
    g_Game_State.Lock_Weapons_To_Cursor = c.locked;
    plat::Override_Cursor_Position(g_Main_Window, c.x, c.y);
    for (int i = 0; i < (c.locked ? 1 : 200); ++i) g_Gun_SteelBall.Update(Frame(0.05f));
    const CVector3 want = Turn(g_Camera.Get_Cursor_Ray(), g_Camera.Rotation().rows[0], -0.03f);
    const CVector3 aim = g_Gun_SteelBall.Aim();
    EXPECT_NEAR(Dot(aim, want), 1.0f, 1e-4f) << c.x << "," << c.y;
    EXPECT_NEAR(g_Gun_SteelBall.m_Orientation.rows[0].y, 0.0f, 1e-4f) << "the side axis stays level";
  }
  g_Game_State.Lock_Weapons_To_Cursor = false;
}

TEST_F(Arsenal, StraightDownTheGunTurnsSlowlyToTheGroundWithoutLosingItsAxes) {
  Launch(2);
  for (int i = 0; i < 60; ++i) g_Gun_Machine.Update(Frame(0.05f));
  g_Player.Set_Gun_Flag(1);
  EXPECT_TRUE(g_Gun_Machine.m_Flags & CPlayer_Weapon_Gun::kStraight_Down);
  const float before = g_Gun_Machine.Aim().y;
  g_Gun_Machine.Update(Frame(0.05f));
  const float first_step = before - g_Gun_Machine.Aim().y;
  EXPECT_GT(first_step, 0.0f);
  EXPECT_LT(first_step, 0.01f) << "the slow spring";
  for (int i = 0; i < 3000; ++i) g_Gun_Machine.Update(Frame(0.1f));
  EXPECT_NEAR(g_Gun_Machine.Aim().y, -1.0f, 1e-3f);
  for (const CVector3& row : g_Gun_Machine.m_Orientation.rows) EXPECT_TRUE(Finite(row));
  // A gun that starts aiming straight down and is held there never meets a missing side axis.
  g_Gun_Machine.Term();
  ASSERT_TRUE(g_Gun_Machine.Init());
  g_Gun_Machine.m_Flags |= CPlayer_Weapon_Gun::kStraight_Down;
  for (int i = 0; i < 50; ++i) g_Gun_Machine.Update(Frame(0.1f));
  for (const CVector3& row : g_Gun_Machine.m_Orientation.rows) EXPECT_TRUE(Finite(row));
  EXPECT_NEAR(g_Gun_Machine.m_Orientation.rows[0].x, 1.0f, 1e-4f) << "the side axis is kept";
  g_Player.Set_Gun_Flag(0);
}

TEST_F(Arsenal, AFullChargeGivesFiveBallsAndRefillsAtATenthPerUnit) {
  Launch(1);
  g_Gun_SteelBall.m_Charge = 1.0f;
  const uint32_t shots = g_Sim_Stats.m_Shots;
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(g_Gun_SteelBall.Fire()) << i;
  EXPECT_FALSE(g_Gun_SteelBall.Fire()) << "the sixth finds too little charge";
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 5);
  EXPECT_EQ(g_Sim_Stats.m_Shot_Ring[(g_Sim_Stats.m_Shot_Ring_Index + 15) % 16].source.number, 0u)
      << "a ball is its own shot source";
  g_Gun_SteelBall.m_Charge = 0.0f;
  g_Gun_SteelBall.Update(Frame(0.05f));
  EXPECT_NEAR(g_Gun_SteelBall.m_Charge, 0.005f, 1e-6f);
  g_Gun_SteelBall.Update(Frame(0.0f));
  EXPECT_NEAR(g_Gun_SteelBall.m_Charge, 0.005f, 1e-6f) << "paused, nothing recharges";
}

TEST_F(Arsenal, AnEmptyBallPoolSkipsTheShotWithoutUsingCharge) {
  Launch(1);
  CObject_Pool* pool = CAmmo_Ball::Pool();
  int taken = 0;
  while (pool->Alloc_Object()) ++taken;
  EXPECT_LE(taken, 32);
  EXPECT_EQ(pool->Alloc_Object(), nullptr) << "the 33rd ball is refused";
  g_Gun_SteelBall.m_Charge = 1.0f;
  const uint32_t shots = g_Sim_Stats.m_Shots;
  EXPECT_TRUE(g_Gun_SteelBall.Fire());
  EXPECT_FLOAT_EQ(g_Gun_SteelBall.m_Charge, 1.0f);
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots);
}

TEST_F(Arsenal, ABallFliesAtAFifthOfTheGravityUntilItTouchesThenShrinksAway) {
  Launch(1);
  CAmmo_Ball* ball = static_cast<CAmmo_Ball*>(CAmmo_Ball::Pool()->Alloc_Object());
  CAmmo_Ball* touched = static_cast<CAmmo_Ball*>(CAmmo_Ball::Pool()->Alloc_Object());
  ASSERT_NE(ball, nullptr);
  ASSERT_NE(touched, nullptr);
  ball->Spawn(0);
  touched->Spawn(0);
  touched->m_Has_Hit = 1;
  ball->Set_Position(CVector3{700.0f, 900.0f, 800.0f});
  touched->Set_Position(CVector3{900.0f, 900.0f, 800.0f});
  for (int i = 0; i < 100; ++i) {
    ball->Update(kTick);
    touched->Update(kTick);
  }
  ASSERT_LT(touched->m_Sphere.velocity.y, -5.0f);
  EXPECT_NEAR(ball->m_Sphere.velocity.y / touched->m_Sphere.velocity.y, 0.2f, 0.005f);
  ball->On_Floor_Contact(1.0f, CVector3{0, 0, 0}, CVector3{0, 1, 0});
  EXPECT_TRUE(ball->m_Touched_Floor);
  const float before = ball->m_Sphere.velocity.y;
  const float touched_before = touched->m_Sphere.velocity.y;
  ball->Update(kTick);
  touched->Update(kTick);
  // Full gravity gives about -0.5 a tick (less the air's drag), a fifth of it about -0.1.
  EXPECT_NEAR(ball->m_Sphere.velocity.y - before, touched->m_Sphere.velocity.y - touched_before, 0.03f)
      << "full gravity after the first contact";
  EXPECT_LT(ball->m_Sphere.velocity.y - before, -0.4f);
  CAmmo_Ball::Pool()->Free_Object(touched);
  // Life 6.5, then ten units of shrinking.
  ball->Set_Position(CVector3{800.0f, 5000.0f, 800.0f});
  float lived = 101 * kTick;
  const float step = 0.01f;
  while (ball->m_Kill_Timer == 0.0f && lived < 20.0f) {
    ball->Update(step);
    lived += step;
  }
  EXPECT_NEAR(lived, 6.5f, 0.02f);
  while (ball->m_Kill_Timer < 1.0f && lived < 30.0f) {
    ball->Update(step);
    lived += step;
  }
  EXPECT_NEAR(lived, 16.5f, 0.05f);
  EXPECT_LT(ball->m_Collision_Radius, 0.2f);
  CAmmo_Ball::Pool()->Free_Object(ball);
}

TEST_F(Arsenal, ABallCountsOnlyLiveCountedObjectsItStrikes) {
  Launch(1);
  CAmmo_Ball* ball = static_cast<CAmmo_Ball*>(CAmmo_Ball::Pool()->Alloc_Object());
  ASSERT_NE(ball, nullptr);
  ball->Spawn(0);
  struct Case {
    uint32_t kinds;
    float kill_timer;
    int counted;
  };
  const Case cases[] = {{0x01, 0.0f, 1}, {0x02, 0.0f, 1}, {0x03, 0.0f, 1}, {0x04, 0.0f, 0},
                        {0x20, 0.0f, 0}, {0x41, 0.0f, 0}, {0x01, 0.5f, 0}};
  for (const Case& c : cases) {
    CAmmo_Ball other;
    other.m_Kind_Flags = c.kinds;
    other.m_Kill_Timer = c.kill_timer;
    const int before = ball->m_Hit_Count;
    EXPECT_TRUE(ball->On_Hit(&other, nullptr));
    EXPECT_EQ(ball->m_Hit_Count - before, c.counted) << std::hex << c.kinds;
  }
  EXPECT_TRUE(ball->m_Has_Hit);
  EXPECT_FALSE(ball->m_Touched_Floor) << "a hit is not a floor contact";
  ball->m_Value1 = 0.0f;
  ball->Update(kTick);
  EXPECT_GT(ball->m_Kill_Timer, 0.0f) << "no health: dying at once";
  CAmmo_Ball::Pool()->Free_Object(ball);
}

TEST_F(Arsenal, ATapFiresOneBulletAndTheBarrelsCoastToRestOnAFiringPosition) {
  Launch(2);
  const uint32_t shots = g_Sim_Stats.m_Shots;
  EXPECT_TRUE(g_Gun_Machine.Begin_Fire());
  g_Gun_Machine.End_Fire();
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 1);
  for (int i = 0; i < 2000; ++i) g_Gun_Machine.Update(Frame(0.05f));
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 1) << "a tap fires exactly one";
  EXPECT_EQ(g_Gun_Machine.m_Spin_Speed, 0.0f);
  const float positions = g_Gun_Machine.m_Barrel_Angle / CPlayer_Weapon_Gun_Machine_0::kFiring_Step;
  EXPECT_NEAR(positions, std::round(positions), 1e-4f) << "at rest on a firing position";
  // Pressed while the barrels still turn, the first bullet waits for the next position, even
  // when the button is let go at once.
  EXPECT_TRUE(g_Gun_Machine.Begin_Fire());
  g_Gun_Machine.Update(Frame(0.05f));
  const uint32_t after_first = g_Sim_Stats.m_Shots;
  ASSERT_GT(g_Gun_Machine.m_Spin_Speed, 0.0f);
  EXPECT_TRUE(g_Gun_Machine.Begin_Fire());
  g_Gun_Machine.End_Fire();
  EXPECT_EQ(g_Sim_Stats.m_Shots, after_first);
  EXPECT_TRUE(g_Gun_Machine.m_Release_Pending);
  for (int i = 0; i < 100 && g_Sim_Stats.m_Shots == after_first; ++i) g_Gun_Machine.Update(Frame(0.05f));
  EXPECT_EQ(g_Sim_Stats.m_Shots, after_first + 1);
  EXPECT_FALSE(g_Gun_Machine.m_Trigger_Held);
}

TEST_F(Arsenal, HeatRisesPerBulletAndAboveOneBulletsAreSkipped) {
  Launch(2);
  struct Case {
    float heat;
    bool fires;
  };
  const Case cases[] = {{0.0f, true}, {0.99f, true}, {1.0f, true}, {1.0001f, false}, {3.0f, false}};
  for (const Case& c : cases) {
    g_Gun_Machine.m_Heat = c.heat;
    const uint32_t live = g_Bullet_Machine_Mgr.Live_Count();
    g_Gun_Machine.Shoot();
    EXPECT_EQ(g_Bullet_Machine_Mgr.Live_Count() > live, c.fires) << c.heat;
    EXPECT_FLOAT_EQ(g_Gun_Machine.m_Heat, c.fires ? c.heat + 0.045f : c.heat) << c.heat;
    g_Bullet_Machine_Mgr.Update_Bullets(10.0f);
  }
  g_Gun_Machine.m_Heat = 1.0f;
  g_Gun_Machine.Update(Frame(1.0f));
  EXPECT_NEAR(g_Gun_Machine.m_Heat, 1.0f - 0.035f, 1e-5f) << "cooling at 0.035 a unit";
}

TEST_F(Arsenal, TheSpinIsLimitedToThreeTimesTheFirstFactor) {
  Launch(2);
  EXPECT_TRUE(g_Gun_Machine.Begin_Fire());
  float top = 0.0f;
  for (int i = 0; i < 400; ++i) {
    g_Gun_Machine.m_Heat = 0.0f;
    g_Gun_Machine.Update(Frame(0.02f));
    top = std::max(top, g_Gun_Machine.m_Spin_Speed);
  }
  EXPECT_LE(top, 3.0f);
  EXPECT_GT(top, 2.5f);
  g_Gun_Machine.End_Fire();
}

// The heat gauge is placed from the eye the view is drawn from and drawn with the normal
// projection: a near blast's shake moves it only by the view's small turn, and the breathing zoom
// neither slides nor shrinks it.
TEST_F(Arsenal, TheHeatGaugeKeepsItsPlaceOnScreenUnderAShakeAndAZoom) {
  Launch(2);
  harness.Step_Undrawn(2);
  g_Gun_Machine.m_Run_Time = 10.0f;  // past the gauge's slide into view
  CRenderableObject* const frame = g_Gun_Machine.m_Models[4];
  CRenderableObject* const bar = g_Gun_Machine.m_Models[5];
  const auto show = [&](bool shown) {
    g_Gun_Machine.m_Models[4] = shown ? frame : nullptr;
    g_Gun_Machine.m_Models[5] = shown ? bar : nullptr;
  };
  // The lower left of the view, where the gauge sits, clear of the gun and the track's targets.
  const view_probe::Region corner{0, 440, 250, 600};
  const view_probe::Box still =
      view_probe::Changed(view_probe::Draw_With_And_Without(harness, show, 0.0f, 0, "gauge_still.png"), corner);
  ASSERT_FALSE(still.Empty());
  EXPECT_GT(still.Width(), 60) << "the whole gauge lies inside the corner";
  EXPECT_GT(still.left, corner.left);
  EXPECT_LT(still.bottom, corner.bottom - 1);

  // A full-strength hit shakes the camera by 5: the eye moves by up to 5 units each way (some 240
  // pixels at the gauge's distance) and the view turns by up to 0.0125 radians about each axis,
  // which moves the gauge, off the view's centre, by up to about 16 pixels.
  const float strength = 5.0f;
  const uint32_t seed = view_probe::Strong_Shake_Seed(strength);
  const view_probe::Box shaken =
      view_probe::Changed(view_probe::Draw_With_And_Without(harness, show, strength, seed, "gauge_shaken.png"), corner);
  ASSERT_GT(std::fabs(g_Camera.Shake_Offset().x), 2.0f) << "a strong shake";
  ASSERT_GT(std::fabs(g_Camera.Shake_Offset().y), 2.0f);
  ASSERT_FALSE(shaken.Empty());
  EXPECT_NEAR(shaken.Centre_X(), still.Centre_X(), 18.0);
  EXPECT_NEAR(shaken.Centre_Y(), still.Centre_Y(), 18.0);
  EXPECT_NEAR(shaken.Width(), still.Width(), 4);
  EXPECT_NEAR(shaken.Height(), still.Height(), 4);

  // The zoom at the crest of its breath: a quarter more field of view and half the near distance.
  g_Camera.m_Zoom_Requested = true;
  harness.Step_Undrawn(1);  // keeps the normal projection
  const auto show_zoomed = [&](bool shown) {
    show(shown);
    g_Camera.m_Zoom_Level = 1.0f;
    g_Camera.m_Zoom_Phase = 1.5707964f;
  };
  const float normal_fov = 0.7853982f;
  const view_probe::Box zoomed =
      view_probe::Changed(view_probe::Draw_With_And_Without(harness, show_zoomed, 0.0f, 0, "gauge_zoomed.png"), corner);
  EXPECT_GT(g_Camera.Projection().fov, normal_fov * 1.24f) << "the view is zoomed";
  ASSERT_FALSE(zoomed.Empty());
  EXPECT_NEAR(zoomed.left, still.left, 2);
  EXPECT_NEAR(zoomed.right, still.right, 2);
  EXPECT_NEAR(zoomed.top, still.top, 2);
  EXPECT_NEAR(zoomed.bottom, still.bottom, 2);
  g_Camera.m_Zoom_Requested = false;
}

// The missile launcher's lock trail marks its target where the frame draws it: a near blast's
// shake moves the target on screen by some ten pixels, and the marker goes with it.
TEST_F(Arsenal, TheLockTrailStaysOnItsTargetUnderAShake) {
  Launch(3);
  g_Music_Track.Set_Pause(true);  // nothing thrown about near the target
  harness.Step_Undrawn(2);
  CPlayer_Weapon_Gun_MissileLauncher_0& gun = g_Gun_MissileLauncher;
  vt_test::Stand_In_Target* target = vt_test::Stand_In_Target::Spawn_Sphere(800.0f, 0.0f, 1300.0f, 20.0f);
  const CVector3 place = target->m_Position;
  const auto put_target = [&](const CVector3& at) {
    target->Set_Position(at);
    target->m_Sphere.velocity.Set(0.0f, 0.0f, 0.0f);
  };
  const auto lock = [&](bool locked) {
    if (gun.m_Target_Lock.m_Link_Chain) g_Target_Link_Pool.Remove_Link(gun.m_Target_Lock.m_Link_Chain);
    if (locked) g_Target_Link_Pool.Add_Link(target, &gun.m_Target_Lock);
    for (CVector3& entry : gun.m_Trail) entry.z = CPlayer_Weapon_Gun_MissileLauncher_0::kEmpty_Entry;
    gun.m_Scan_Timer = 1000.0f;  // no scan takes the lock elsewhere
    gun.m_Unseen_Time = 0.0f;
    gun.m_Lock_Age = 0.0f;  // the largest markers: their red ring, added light, shows past the white target
  };
  // The target alone (shown, or behind the camera), then the newest marker alone on it.
  const auto show_target = [&](bool shown) {
    lock(false);
    put_target(shown ? place : CVector3{800.0f, 450.0f, -2000.0f});
  };
  const auto show_marker = [&](bool shown) {
    lock(shown);
    put_target(place);
  };
  const view_probe::Region around{300, 200, 500, 500};
  const view_probe::Box still =
      view_probe::Changed(view_probe::Draw_With_And_Without(harness, show_target, 0.0f, 0), around);
  ASSERT_FALSE(still.Empty());

  const float strength = 5.0f;
  const uint32_t seed = view_probe::Strong_Shake_Seed(strength);
  const view_probe::Box shaken = view_probe::Changed(
      view_probe::Draw_With_And_Without(harness, show_target, strength, seed, "lock_target_shaken.png"), around);
  ASSERT_FALSE(shaken.Empty());
  ASSERT_GT(std::hypot(shaken.Centre_X() - still.Centre_X(), shaken.Centre_Y() - still.Centre_Y()), 6.0)
      << "the shake moves the target on screen";
  const view_probe::Box marker = view_probe::Changed(
      view_probe::Draw_With_And_Without(harness, show_marker, strength, seed, "lock_marker_shaken.png"), around);
  ASSERT_FALSE(marker.Empty());
  EXPECT_NEAR(marker.Centre_X(), shaken.Centre_X(), 2.0);
  EXPECT_NEAR(marker.Centre_Y(), shaken.Centre_Y(), 2.0);
  lock(false);
}

TEST_F(Arsenal, TheCannonReloadsInOneOverPointSevenUnits) {
  Launch(5);
  g_Gun_Cannon.m_Reload = 0.5f;
  const uint32_t shots = g_Sim_Stats.m_Shots;
  EXPECT_FALSE(g_Gun_Cannon.Fire()) << "a dry click";
  g_Gun_Cannon.m_Reload = 1.0f;
  EXPECT_TRUE(g_Gun_Cannon.Fire());
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots + 1);
  EXPECT_FLOAT_EQ(g_Gun_Cannon.m_Reload, 0.0f);
  float time = 0.0f;
  while (g_Gun_Cannon.m_Reload < 1.0f && time < 5.0f) {
    g_Gun_Cannon.Update(Frame(0.01f));
    time += 0.01f;
  }
  EXPECT_NEAR(time, 1.0f / 0.7f, 0.011f);
}

TEST_F(Arsenal, TheReloadGlowFallsFastThenRisesWithTheReload) {
  Launch(5);
  g_Gun_Cannon.m_Glow_Level = 1.0f;
  g_Gun_Cannon.m_Reload = 0.0f;
  g_Gun_Cannon.Follow_Reload(0.1f);
  EXPECT_FLOAT_EQ(g_Gun_Cannon.m_Glow_Level, 0.4f);
  g_Gun_Cannon.m_Reload = 0.2f;
  g_Gun_Cannon.Follow_Reload(0.1f);
  EXPECT_FLOAT_EQ(g_Gun_Cannon.m_Glow_Level, 0.2f) << "falls no lower than the reload";
  g_Gun_Cannon.m_Reload = 0.9f;
  g_Gun_Cannon.Follow_Reload(0.1f);
  EXPECT_FLOAT_EQ(g_Gun_Cannon.m_Glow_Level, 0.4f) << "rises at 2 a unit";
}

TEST_F(Arsenal, ABallCastsAShadowThatFadesWithItsHeight) {
  Launch(1);
  CAmmo_Ball* ball = static_cast<CAmmo_Ball*>(CAmmo_Ball::Pool()->Alloc_Object());
  ASSERT_NE(ball, nullptr);
  ball->Spawn(0);
  const float ground = g_World.Get_Height(800.0f, 800.0f);
  ball->Set_Position(CVector3{800.0f, ground + 30.0f, 800.0f});
  ball->Render(0.0f);
  EXPECT_GT(CShadowProjector::Last_Alpha(), 0) << "just above the ground";
  ball->Set_Position(CVector3{800.0f, ground + 2000.0f, 800.0f});
  ball->Render(0.0f);
  EXPECT_EQ(CShadowProjector::Last_Alpha(), 0) << "gone a third of a thousand units up";
  CAmmo_Ball::Pool()->Free_Object(ball);
}

TEST_F(Arsenal, TheGunsSwitchNormalRenormalisationThroughTheRenderStateManager) {
  Launch(1);
  ASSERT_NE(g_pRenderStateMgr, nullptr);
  // The manager skips a switch its copy says is made: a switch past it would leave the copy
  // stale and the manager's next switch undone.
  for (const bool on : {true, false, true}) {
    g_pRenderStateMgr->SetRenderState(D3DRS_NORMALIZENORMALS, on ? FALSE : TRUE);
    Normalize_Normals(on);
    EXPECT_EQ(g_pRenderStateMgr->GetRenderState(D3DRS_NORMALIZENORMALS), on ? 1u : 0u) << on;
  }
}

}  // namespace
