// The light wall and the flying targets in a loaded flat world without a graphics device: turns
// and glow, paths at sampled ages, every death rule, hit rules by hitter, chains of flares and
// leaves, and the guard ages of the class rows.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "game/targets/CTarget_Bar.h"
#include "game/targets/CTarget_Boomer.h"
#include "game/targets/CTarget_Buster.h"
#include "game/targets/CTarget_Exclaim.h"
#include "game/targets/CTarget_Flare.h"
#include "game/targets/CTarget_Glower.h"
#include "game/targets/CTarget_Glower_B.h"
#include "game/targets/CTarget_Leaf.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/message_box.h"
#include "platform/system/random.h"
#include "runtime/src/core/streams.h"
#include "tools/writers/world_writer.h"

namespace {

constexpr float kGround = 20.0f;
constexpr float kTick = 0.0035f;  // one millisecond of play

bool Load_Flat_World(float height) {
  writers::WorldSpec spec;
  spec.shape = writers::WorldShape::Flat;
  spec.baseHeight = height;
  std::vector<uint8_t> bytes;
  if (!writers::WriteWorld(spec, bytes)) return false;
  CMemoryStream* stream = CreateMemoryStream(0);
  if (!stream) return false;
  stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream->SeekTo(0);
  const bool ok = g_World.Load_Terrain(stream);
  stream->Release();
  return ok;
}

// Owns objects made outside any pool and takes them out of the world grid before they go.
template <class T>
struct Held {
  std::unique_ptr<T> object = std::make_unique<T>();
  ~Held() { object->Set_Position(CVector3{NAN, NAN, NAN}); }
  T* operator->() { return object.get(); }
  T& operator*() { return *object; }
};

// A player's shot: a world object with kind flag 0x10 only.
class Shot : public CWorld_Object {
 public:
  explicit Shot(uint32_t kind = kKind_Shot) { Setup_Object(2, 1.0f, 1.0f, 0, kind); }
  void Update(const float&) override {}
};

class FlyerWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Set_Message_Recorder([this](const std::string&, const std::string& text) { messages.push_back(text); });
    g_World.Reset();
    g_Game_Paused = false;
    g_World.m_Gravity.Set(0.0f, -150.0f, 0.0f);
    g_Target_Link_Pool.Init();
    ASSERT_TRUE(Load_Flat_World(kGround));
    X = g_World.m_Terrain.size_x;
    Z = g_World.m_Terrain.size_z;
    camera = CVector3{0.5f * X, kGround + 500.0f, 0.1f * Z};
    g_Camera.Look_At(camera, CVector3{0.5f * X, kGround + 400.0f, 0.9f * Z});
    g_Sim_Stats.Reset();
    g_Score_Board_Mgr.m_Popup_Count = 0;
    plat::Seed_Random(7);
  }
  void TearDown() override {
    g_World.Reset();
    plat::Set_Message_Recorder(nullptr);
  }

  // Runs the object's own update once per millisecond for that many time units, or until the
  // stop test passes; answers the time run.
  template <class T>
  float Run(T& object, float units, std::function<bool()> stop = nullptr) {
    const int steps = static_cast<int>(units / kTick + 0.5f);
    for (int i = 0; i < steps; ++i) {
      object.Update(kTick);
      if (stop && stop()) return static_cast<float>(i + 1) * kTick;
    }
    return units;
  }

  float X = 0.0f, Z = 0.0f;
  CVector3 camera;
  std::vector<std::string> messages;
};

// ---------------------------------------------------------------------------------------------
// Light wall

TEST_F(FlyerWorld, ALightWallTurnsByItsDirectionIndex) {
  struct Case {
    int direction;
    CVector3 row0, row2;
  };
  const Case cases[] = {
      {0, {0, 0, -1}, {1, 0, 0}},  {1, {0, 0, 1}, {-1, 0, 0}}, {2, {-1, 0, 0}, {0, 0, -1}},
      {3, {1, 0, 0}, {0, 0, 1}},   {-1, {1, 0, 0}, {0, 0, 1}},  {99, {1, 0, 0}, {0, 0, 1}},
  };
  const float colour[4] = {1.0f, 0.2f, 0.4f, 1.0f};
  for (const Case& c : cases) {
    Held<CStruct_Light_Wall> wall;
    ASSERT_TRUE(wall->Spawn(c.direction, CVector3{100, 200, 300}, colour)) << c.direction;
    const CMatrix3x3& o = wall->m_Orientation;
    EXPECT_NEAR(o.rows[0].x, c.row0.x, 1e-6f) << c.direction;
    EXPECT_NEAR(o.rows[0].z, c.row0.z, 1e-6f) << c.direction;
    EXPECT_NEAR(o.rows[2].x, c.row2.x, 1e-6f) << c.direction;
    EXPECT_NEAR(o.rows[2].z, c.row2.z, 1e-6f) << c.direction;
    EXPECT_EQ(o.rows[1].y, 1.0f) << c.direction;
    EXPECT_EQ(wall->m_Type, CStruct_Light_Wall::kType);
    EXPECT_EQ(wall->m_Fixed.half_size.z, 13.5f);
    EXPECT_EQ(wall->m_Position.y, 200.0f);
  }
}

TEST_F(FlyerWorld, ALightWallGlowRisesOverPointFourHoldsThenFallsOverOne) {
  const float colour[4] = {1.0f, 1.0f, 0.5f, 0.0f};
  Held<CStruct_Light_Wall> wall;
  ASSERT_TRUE(wall->Spawn(0, CVector3{0.1f, 200, 300}, colour));
  // Dark: 0.15 of the colour, alpha first.
  EXPECT_EQ(wall->Lit_Colour(), 0x26261300u);
  wall->Trigger_Glow();
  const float rise = Run(*wall, 2.0f, [&] { return !wall->m_Glow_Trigger; });
  EXPECT_NEAR(rise, 0.4f, 2 * kTick);
  EXPECT_EQ(wall->m_Glow, 1.0f);
  EXPECT_EQ(wall->Lit_Colour(), 0xFFFF7F00u);
  // A trigger at full glow keeps it full for one step, then clears.
  wall->Trigger_Glow();
  wall->Update(kTick);
  EXPECT_EQ(wall->m_Glow, 1.0f);
  EXPECT_FALSE(wall->m_Glow_Trigger);
  const float fall = Run(*wall, 3.0f, [&] { return wall->m_Glow == 0.0f; });
  EXPECT_NEAR(fall, 1.0f, 2 * kTick);
  EXPECT_EQ(wall->Lit_Colour(), 0x26261300u) << "back to 0.15, never darker";
}

// ---------------------------------------------------------------------------------------------
// Bar

TEST_F(FlyerWorld, ABarLobsInFrontOfTheCameraGrowsAndDiesFastBehindIt) {
  Held<CTarget_Bar> bar;
  const CVector3 start{0.7f * X, kGround, 0.7f * Z};
  ASSERT_TRUE(bar->Spawn(1, start));
  EXPECT_EQ(bar->m_Scale, 0.01f);
  EXPECT_NEAR(bar->m_Orientation.rows[0].y, 1.0f, 1e-6f) << "the long axis stands upright";
  EXPECT_GT(bar->m_Box.velocity.y, 299.0f);
  EXPECT_LT(bar->m_Box.velocity.z, 0.0f) << "toward the camera";
  EXPECT_LT(bar->m_Box.velocity.x, 0.0f) << "spawned right of the camera, it crosses to the left";
  Run(*bar, 0.85f);
  EXPECT_NEAR(bar->m_Scale, 1.0f, 0.01f);
  EXPECT_NEAR(bar->m_Box.half_size.x, 70.0f, 0.7f);
  EXPECT_EQ(bar->m_State_Flags & 0x30u, 0u) << "colliding from its guard age";
  // Behind the camera: fast fade at 2 per unit.
  g_Camera.Look_At(CVector3{0.5f * X, 900.0f, 0.5f * Z}, CVector3{0.5f * X, 800.0f, 0.9f * Z});
  bar->Set_Position(CVector3{0.5f * X, 800.0f, 0.5f * Z - 150.0f});
  bar->m_Box.velocity.Set(0, 0, 0);
  const float gone = Run(*bar, 2.0f, [&] { return bar->m_Kill_Timer >= 1.0f; });
  EXPECT_TRUE(bar->m_Fast_Fade);
  EXPECT_LT(gone, 0.55f);
}

TEST_F(FlyerWorld, ABarHitByAnythingButAPlayerShotCountsTheHitAndRegistersNothing) {
  Held<CTarget_Bar> bar;
  ASSERT_TRUE(bar->Spawn(0, CVector3{0.3f * X, 300.0f, 0.7f * Z}));
  Shot rock(kKind_Counted_Target);
  EXPECT_FALSE(bar->On_Hit(&rock, nullptr)) << "guard age";
  bar->On_Floor_Contact(CVector3{0, 1, 0});
  EXPECT_EQ(bar->m_Kill_Timer, 0.0f) << "a floor contact before 0.85 does nothing";
  bar->m_Age = 0.9f;
  EXPECT_TRUE(bar->On_Hit(&rock, nullptr));
  EXPECT_EQ(bar->m_Hit_Count, 1);
  EXPECT_EQ(g_Sim_Stats.m_Hits, 0u);
  EXPECT_EQ(bar->m_Kind_Flags & kKind_Excluded, 0u);
  EXPECT_EQ(bar->Get_Color().r, 0.0f) << "black once hit";
  Shot shot;
  EXPECT_TRUE(bar->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 0u) << "only the first hit registers";
  bar->On_Floor_Contact(CVector3{0, 1, 0});
  EXPECT_EQ(bar->m_Kill_Timer, 0.01f);
}

// ---------------------------------------------------------------------------------------------
// Second glower

TEST_F(FlyerWorld, ASecondGlowerSwellsGlowsAndDiesOnceItPassesTheCamera) {
  Held<CTarget_Glower_B> glower;
  ASSERT_TRUE(glower->Spawn(2));
  glower->Set_Position(CVector3{0.5f * X, 400.0f, camera.z + 300.0f});
  glower->m_Sphere.velocity.Set(0, 0, -200);
  EXPECT_EQ(glower->Glow_Intensity(), 0.0f) << "no bursts at scale 0";
  Run(*glower, 0.85f);
  EXPECT_NEAR(glower->m_Collision_Radius, 48.0f, 0.5f);
  EXPECT_GT(glower->Glow_Intensity(), 0.49f);
  EXPECT_NEAR(glower->m_Position.y, 400.0f, 0.01f) << "no gravity before a hit";
  const float start_death = Run(*glower, 3.0f, [&] { return glower->m_Kill_Timer != 0.0f; });
  EXPECT_NEAR(start_death, 0.65f, 0.01f) << "300 at 200 a unit, less the 0.85 already flown";
  EXPECT_LE(glower->m_Position.z, camera.z + 0.5f);
  glower->m_Kill_Timer = 1.0f;
  EXPECT_EQ(glower->Glow_Intensity(), 0.0f) << "the bursts vanish as it dies";
}

// ---------------------------------------------------------------------------------------------
// Boomer

TEST_F(FlyerWorld, ABoomerSwingsOutOnItsHalfEllipseAndComesBackMirrored) {
  Held<CTarget_Boomer> boomer;
  const CVector3 start{camera.x + 400.0f, 450.0f, camera.z};
  ASSERT_TRUE(boomer->Spawn(3, start));
  EXPECT_TRUE(boomer->m_Right_Side);
  const CVector3 at_0 = boomer->Path_Point(0.0f);
  EXPECT_NEAR(at_0.x, start.x, 1e-3f);
  EXPECT_NEAR(at_0.z, camera.z, 1e-3f);
  const CVector3 at_pi = boomer->Path_Point(3.14159265f);
  EXPECT_NEAR(at_pi.x, camera.x - 400.0f, 1e-2f);
  const CVector3 at_half = boomer->Path_Point(1.5707963f);
  EXPECT_NEAR(at_half.z, camera.z + boomer->m_Path_Depth, 1e-2f);
  EXPECT_EQ(at_half.y, 450.0f);
  // Flying: at age 1 the phase is 0.3.
  Run(*boomer, 1.0f);
  EXPECT_NEAR(boomer->m_Phase, 0.3f, 1e-3f);
  EXPECT_NEAR(boomer->m_Position.x, boomer->Path_Point(0.3f - kTick * 0.3f).x, 2.0f);
  // A hit ends the path: it falls under gravity.
  Shot shot;
  ASSERT_TRUE(boomer->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
  const float y = boomer->m_Position.y;
  Run(*boomer, 0.5f);
  EXPECT_LT(boomer->m_Position.y, y - 5.0f);
}

TEST_F(FlyerWorld, AnUnhitBoomerBehindTheCameraDiesWithinHalfAUnit) {
  Held<CTarget_Boomer> boomer;
  ASSERT_TRUE(boomer->Spawn(0, CVector3{camera.x - 300.0f, 450.0f, camera.z}));
  Run(*boomer, 1.0f);
  boomer->m_Camera_At_Spawn.z = camera.z - 500.0f;  // its path now runs behind the camera
  boomer->m_Phase = 0.0f;
  const float gone = Run(*boomer, 2.0f, [&] { return boomer->m_Kill_Timer >= 1.0f; });
  EXPECT_TRUE(boomer->m_Fast_Fade);
  EXPECT_LT(gone, 0.52f);
}

// ---------------------------------------------------------------------------------------------
// Buster

TEST_F(FlyerWorld, ABusterDropsLiftsGlowsAndLeavesThroughTheSky) {
  Held<CTarget_Buster> buster;
  // It must be below 300 over the camera once its guard age is over, or it leaves at once.
  ASSERT_TRUE(buster->Spawn(1, CVector3{0.5f * X, camera.y + 250.0f, 0.6f * Z}));
  EXPECT_EQ(buster->m_Lift_Timer, -1.0f);
  Run(*buster, 0.5f);
  EXPECT_EQ(buster->m_Lift_Timer, -1.0f) << "no lift until within 550 of the ground";
  EXPECT_EQ(buster->Glow_Level(), 0.0f);
  Run(*buster, 10.0f, [&] { return buster->m_Lift_Timer >= 0.0f; });
  EXPECT_LT(buster->m_Position.y - kGround, 551.0f);
  // The lift timer rises to 1 (glow full at 0.5), then the strong lift carries it away.
  Run(*buster, 1.43f);
  EXPECT_GT(buster->Glow_Level(), 0.99f);
  const float left = Run(*buster, 30.0f, [&] { return buster->m_Kill_Timer != 0.0f; });
  EXPECT_LT(left, 20.0f);
  EXPECT_GT(buster->m_Position.y, camera.y + 300.0f);
  EXPECT_EQ(buster->m_Hit_Count, 0);
}

TEST_F(FlyerWorld, ABusterRefusesBustersAndPushersAndIgnoresOtherHitters) {
  Held<CTarget_Buster> buster;
  ASSERT_TRUE(buster->Spawn(0, CVector3{0.5f * X, 900.0f, 0.6f * Z}));
  buster->m_Age = 1.0f;
  Held<CTarget_Buster> other;
  ASSERT_TRUE(other->Spawn(0, CVector3{0.2f * X, 900.0f, 0.6f * Z}));
  Shot pusher(0x04), rock(kKind_Counted_Target), shot;
  EXPECT_FALSE(buster->On_Hit(&*other, nullptr));
  EXPECT_FALSE(buster->On_Hit(&pusher, nullptr));
  EXPECT_TRUE(buster->On_Hit(&rock, nullptr));
  EXPECT_EQ(buster->m_Hit_Count, 0) << "accepted but changes nothing";
  EXPECT_EQ(buster->m_Kill_Timer, 0.0f);
  EXPECT_TRUE(buster->On_Hit(&shot, nullptr));
  EXPECT_EQ(buster->m_Hit_Count, 1);
  EXPECT_GT(buster->m_Kill_Timer, 0.0f);
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
  EXPECT_EQ(buster->Get_Color().g, 1.0f) << "keeps its colour when hit";
}

// ---------------------------------------------------------------------------------------------
// Exclamation mark

TEST_F(FlyerWorld, AnUnhitExclamationMarkEscapesUpwardAtTheEndOfItsLife) {
  Held<CTarget_Exclaim> mark;
  ASSERT_TRUE(mark->Spawn(0));
  mark->Set_Position(CVector3{0.5f * X, kGround + 200.0f, 0.6f * Z});
  Run(*mark, 3.15f);
  EXPECT_NEAR(mark->m_Box.half_size.y, 100.0f, 0.5f) << "grown over 3.15 units";
  Run(*mark, 12.0f - 3.15f + 2 * kTick);
  EXPECT_TRUE(mark->m_Escape);
  const float y = mark->m_Position.y;
  const float gone = Run(*mark, 3.0f, [&] { return mark->m_Kill_Timer >= 1.0f; });
  EXPECT_LT(gone, 1.0f);
  EXPECT_GT(mark->m_Position.y, y + 100.0f) << "it shoots upward";
  EXPECT_EQ(mark->m_Kind_Flags & kKind_Excluded, 0u) << "it counts as a miss";
}

TEST_F(FlyerWorld, AnExclamationMarkTakesOnlyPlayerShotsAndNothingWhileDying) {
  Held<CTarget_Exclaim> mark;
  ASSERT_TRUE(mark->Spawn(3));
  mark->Set_Position(CVector3{0.5f * X, kGround + 200.0f, 0.6f * Z});
  Shot rock(kKind_Counted_Target), shot;
  EXPECT_FALSE(mark->On_Hit(&rock, nullptr));
  EXPECT_EQ(mark->m_Hit_Count, 0);
  EXPECT_TRUE(mark->On_Hit(&shot, nullptr)) << "no guard age";
  EXPECT_EQ(mark->m_Kill_Timer, 0.01f);
  EXPECT_EQ(mark->Get_Color().r, 0.0f);
  EXPECT_FALSE(mark->On_Hit(&shot, nullptr)) << "dying";
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
}

// ---------------------------------------------------------------------------------------------
// Flares

TEST_F(FlyerWorld, OneShotBurstsAClusterOfFlaresHalfAUnitApartEachWorthAHundred) {
  std::vector<std::unique_ptr<Held<CTarget_Flare>>> flares;
  for (int i = 0; i < 4; ++i) {
    flares.push_back(std::make_unique<Held<CTarget_Flare>>());
    CTarget_Flare& flare = **flares.back();
    ASSERT_TRUE(flare.Spawn(CVector3{0.2f * X + 300.0f * i, 900.0f, 0.6f * Z}, 0));
    flare.m_Sphere.velocity.Set(0, 0, 0);
    flare.m_Age = 1.0f;
  }
  Held<CTarget_Flare> far_flare;
  ASSERT_TRUE(far_flare->Spawn(CVector3{0.2f * X + 1300.0f, 900.0f, 0.6f * Z}, 0));
  far_flare->m_Sphere.velocity.Set(0, 0, 0);
  Shot not_only_shot(kKind_Shot | kKind_Counted_Target), shot;
  EXPECT_FALSE((*flares[0])->On_Hit(&not_only_shot, nullptr)) << "kind flags must be exactly 0x10";
  ASSERT_TRUE((*flares[0])->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
  const uint32_t popups = g_Score_Board_Mgr.m_Popup_Count;
  std::vector<float> burst_at(4, -1.0f);
  burst_at[0] = 0.0f;
  for (int step = 1; step <= static_cast<int>(3.0f / kTick); ++step) {
    for (auto& held : flares) (*held)->Update(kTick);
    far_flare->Update(kTick);
    for (int i = 0; i < 4; ++i)
      if (burst_at[i] < 0.0f && (*flares[i])->m_Kill_Timer >= 1.0f) burst_at[i] = step * kTick;
  }
  for (int i = 1; i < 4; ++i) EXPECT_NEAR(burst_at[i], 0.5f * i, 2 * kTick) << i;
  EXPECT_EQ(g_Score_Board_Mgr.m_Popup_Count - popups, 3u) << "one 100-point award per chain burst";
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u) << "chain bursts are no player hits";
  EXPECT_EQ(far_flare->m_Kill_Timer, 0.0f) << "400 beyond the last: out of reach";
  EXPECT_EQ(far_flare->m_Chain_Timer, 0.0f);
}

TEST_F(FlyerWorld, ASkyFlareThatReachesTheGroundGoesOutAndAGroundFlareDoesNot) {
  Held<CTarget_Flare> sky;
  ASSERT_TRUE(sky->Spawn(CVector3{0.5f * X, kGround + 60.0f, 0.5f * Z}, 0));
  EXPECT_LT(sky->m_Sphere.velocity.y, 0.0f);
  EXPECT_GT(sky->m_Sphere.velocity.z, 0.0f);
  EXPECT_EQ(sky->m_Colour >> 24, 0xFFu);
  const float landed = Run(*sky, 5.0f, [&] { return sky->m_Kill_Timer != 0.0f; });
  EXPECT_EQ(sky->m_Kill_Timer, 1.0f);
  EXPECT_LE(sky->m_Position.y, kGround + 20.0f + 1.0f);
  EXPECT_LT(landed, 1.0f);
  EXPECT_EQ(sky->m_Kind_Flags & kKind_Excluded, 0u) << "a landing is no hit";
  Held<CTarget_Flare> ground;
  ASSERT_TRUE(ground->Spawn(CVector3{0.3f * X, kGround + 10.0f, 0.5f * Z}, 1));
  EXPECT_GT(ground->m_Sphere.velocity.y, 0.0f);
  ground->On_Land(CVector3{1, 0, 0});
  EXPECT_EQ(ground->m_Kill_Timer, 0.0f) << "a boundary wall is no landing";
  const float out = Run(*ground, 13.0f, [&] { return ground->m_Kill_Timer != 0.0f; });
  EXPECT_NEAR(out, 12.0f, 2 * kTick) << "a ground flare burns 12 units";
}

// ---------------------------------------------------------------------------------------------
// Glower

TEST_F(FlyerWorld, ASwingingGlowerFliesItsFigureOfEightAndDiesNearTheCamera) {
  Held<CTarget_Glower> glower;
  const CVector3 point{camera.x + 300.0f, 450.0f, 0.6f * Z};
  ASSERT_TRUE(glower->Spawn(1, point, 1));
  EXPECT_EQ(glower->m_Sweep_Width, 600.0f);
  struct Sample {
    float age;
    float x_factor;  // cos(a) - 0.9 sin(2a)
    float z_factor;  // sin(a)
  };
  for (const Sample& s : {Sample{0.0f, 1.0f, 0.0f}, Sample{5.0f, -0.9f * 0.0f + 0.0f, 1.0f},
                          Sample{2.5f, 0.70710678f - 0.9f, 0.70710678f}}) {
    const CVector3 p = glower->Swing_Point(s.age);
    EXPECT_NEAR(p.x, camera.x + s.x_factor * 600.0f, 0.05f) << s.age;
    EXPECT_NEAR(p.z, camera.z + s.z_factor * glower->m_Sweep_Depth, 0.05f) << s.age;
    EXPECT_EQ(p.y, 450.0f);
  }
  const float death = Run(*glower, 12.0f, [&] { return glower->m_Kill_Timer != 0.0f; });
  EXPECT_GT(death, 1.5f);
  EXPECT_LT(glower->m_Position.z, camera.z + 450.0f + 5.0f);
}

TEST_F(FlyerWorld, OnlyASwingingGlowerDiesOnTheFloorAndNeverAtAWall) {
  struct Case {
    uint8_t swing;
    CVector3 normal;
    bool dies;
  };
  const Case cases[] = {{1, {0, 1, 0}, true}, {1, {1, 0, 0}, false}, {1, {0, 0, -1}, false}, {0, {0, 1, 0}, false}};
  for (const Case& c : cases) {
    Held<CTarget_Glower> glower;
    ASSERT_TRUE(glower->Spawn(0, CVector3{0.5f * X, 800.0f, 0.6f * Z}, c.swing));
    glower->On_Floor_Contact(1.0f, glower->m_Position, c.normal);
    EXPECT_EQ(glower->m_Kill_Timer != 0.0f, c.dies) << int(c.swing) << " " << c.normal.x;
  }
}

TEST_F(FlyerWorld, ADroppingGlowerSlowsAbove450AndClimbsBack) {
  Held<CTarget_Glower> glower;
  ASSERT_TRUE(glower->Spawn(2, CVector3{0.5f * X, kGround + 1000.0f, 0.8f * Z}, 0));
  Run(*glower, 8.0f, [&] { return glower->m_Landed && glower->m_Sphere.velocity.y > 0.0f; });
  EXPECT_TRUE(glower->m_Landed);
  EXPECT_GT(glower->m_Position.y - kGround, 100.0f) << "it turns back before the ground";
  EXPECT_EQ(glower->m_Kill_Timer, 0.0f);
  // Halo: full level at the pulse's top, alpha 0.9 of the level.
  glower->m_Pulse_Phase = 1.5707963f;
  EXPECT_NEAR(glower->Halo_Level(), 1.0f, 1e-5f);
  glower->m_Pulse_Phase = -1.5707963f;
  EXPECT_NEAR(glower->Halo_Level(), 0.5f, 1e-5f);
  glower->m_Kill_Timer = 0.5f;
  EXPECT_NEAR(glower->Halo_Level(), 0.25f, 1e-5f);
}

// ---------------------------------------------------------------------------------------------
// Leaves

TEST_F(FlyerWorld, AShotLeafAlarmsLeavesWithin500WhichBurstOnceEachForAHundred) {
  std::vector<std::unique_ptr<Held<CTarget_Leaf>>> leaves;
  const float spacing[] = {0.0f, 450.0f, 900.0f, 1700.0f};
  for (float x : spacing) {
    leaves.push_back(std::make_unique<Held<CTarget_Leaf>>());
    CTarget_Leaf& leaf = **leaves.back();
    ASSERT_TRUE(leaf.Spawn(CVector3{0.1f * X + x, kGround + 1500.0f, 0.3f * Z}));
    leaf.m_Age = 1.0f;
    // The same drift for all, so that they keep their distances.
    leaf.m_Size = 1.0f;
    leaf.m_Drift_Phase = leaf.m_Sway_Phase = 0.0f;
  }
  Shot shot;
  CTarget_Leaf& first = **leaves[0];
  ASSERT_TRUE(first.On_Hit(&shot, nullptr));
  EXPECT_EQ(first.m_Kill_Timer, 1.0f) << "dies at once";
  EXPECT_EQ(first.m_Alarm, 0.0f) << "a leaf never alarms itself";
  EXPECT_EQ((*leaves[1])->m_Alarm, 1.0f);
  EXPECT_EQ((*leaves[2])->m_Alarm, 0.0f) << "900 away";
  const uint32_t popups = g_Score_Board_Mgr.m_Popup_Count;
  // The second bursts after half a unit and alarms the third (450 from it), never the first.
  for (int step = 0; step < static_cast<int>(0.5f / kTick) + 2; ++step)
    for (int i = 1; i < 4; ++i) (*leaves[i])->Update(kTick);
  EXPECT_EQ((*leaves[1])->m_Kill_Timer, 1.0f);
  EXPECT_GT((*leaves[2])->m_Alarm, 0.9f) << "alarmed by the second's burst";
  EXPECT_EQ(g_Score_Board_Mgr.m_Popup_Count - popups, 1u);
  // An alarmed leaf is not re-armed by another burst nearby.
  (*leaves[2])->m_Alarm = 0.4f;
  Held<CTarget_Leaf> neighbour;
  ASSERT_TRUE(neighbour->Spawn((*leaves[2])->m_Position));
  neighbour->m_Age = 1.0f;
  ASSERT_TRUE(neighbour->On_Hit(nullptr, nullptr));
  EXPECT_EQ((*leaves[2])->m_Alarm, 0.4f);
  EXPECT_EQ((*leaves[3])->m_Alarm, 0.0f);
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u) << "chain bursts register no player hit";
}

TEST_F(FlyerWorld, ALeafRefusesYoungContactsAndCountsAShotAsAPlayerHitEvenWhenAlarmed) {
  Held<CTarget_Leaf> leaf, neighbour;
  ASSERT_TRUE(leaf->Spawn(CVector3{0.5f * X, kGround + 1500.0f, 0.3f * Z}));
  ASSERT_TRUE(neighbour->Spawn(CVector3{0.5f * X + 100.0f, kGround + 1500.0f, 0.3f * Z}));
  Shot shot;
  EXPECT_FALSE(leaf->On_Hit(&shot, nullptr)) << "in its first 0.5 units";
  EXPECT_EQ(neighbour->m_Alarm, 0.0f);
  leaf->m_Age = 1.0f;
  leaf->m_Alarm = 0.5f;
  const uint32_t popups = g_Score_Board_Mgr.m_Popup_Count;
  ASSERT_TRUE(leaf->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u);
  EXPECT_EQ(g_Score_Board_Mgr.m_Popup_Count - popups, 1u) << "the hit's own points, no chain award";
  const CShot_Line line{CVector3{0, 0, 0}, CVector3{0, 0, 1}};
  neighbour->m_Age = 1.0f;
  neighbour->m_Alarm = 0.0f;
  EXPECT_TRUE(neighbour->On_Hit(nullptr, &line));
  EXPECT_EQ(g_Sim_Stats.m_Hits, 1u) << "a line alone registers nothing";
  EXPECT_EQ(g_Score_Board_Mgr.m_Popup_Count - popups, 1u) << "and awards nothing";
}

TEST_F(FlyerWorld, ADriftingLeafLandsOnTheTerrainAndOtherwiseLeavesAtAge25) {
  Held<CTarget_Leaf> low, high;
  ASSERT_TRUE(low->Spawn(CVector3{0.5f * X, kGround + 120.0f, 0.2f * Z}));
  const float landed = Run(*low, 30.0f, [&] { return low->m_Kill_Timer != 0.0f; });
  EXPECT_LT(landed, 25.0f);
  EXPECT_LE(low->m_Position.y, kGround + low->m_Collision_Radius + 1.0f);
  ASSERT_TRUE(high->Spawn(CVector3{0.5f * X, kGround + 5000.0f, 0.05f * Z}));
  const float aged = Run(*high, 30.0f, [&] { return high->m_Kill_Timer != 0.0f; });
  EXPECT_NEAR(aged, 25.0f, 2 * kTick);
  EXPECT_EQ(high->m_Kill_Timer, 1.0f);
}

// ---------------------------------------------------------------------------------------------
// Guard ages of the class rows

TEST_F(FlyerWorld, EveryFlyerRefusesPlayerShotsBeforeItsRowsGuardAgeAndTakesThemAfter) {
  struct Case {
    uint32_t type;
    std::function<CWorld_Object*()> make;
    std::function<void(CWorld_Object*, float)> set_age;
  };
  std::vector<std::unique_ptr<CWorld_Object>> made;
  const auto keep = [&](CWorld_Object* object) {
    made.emplace_back(object);
    return object;
  };
  const CVector3 high{0.5f * X, 1500.0f, 0.6f * Z};
  const Case cases[] = {
      {CTarget_Bar::kType, [&] { auto* t = new CTarget_Bar; t->Spawn(0, high); return keep(t); },
       [](CWorld_Object* o, float a) { static_cast<CTarget_Bar*>(o)->m_Age = a; }},
      {CTarget_Glower_B::kType, [&] { auto* t = new CTarget_Glower_B; t->Spawn(0); t->Set_Position(high); return keep(t); },
       [](CWorld_Object* o, float a) { static_cast<CTarget_Glower_B*>(o)->m_Age = a; }},
      {CTarget_Boomer::kType, [&] { auto* t = new CTarget_Boomer; t->Spawn(0, high); return keep(t); },
       [](CWorld_Object* o, float a) { static_cast<CTarget_Boomer*>(o)->m_Age = a; }},
      {CTarget_Buster::kType, [&] { auto* t = new CTarget_Buster; t->Spawn(0, high); return keep(t); },
       [](CWorld_Object* o, float a) { static_cast<CTarget_Buster*>(o)->m_Age = a; }},
      {CTarget_Flare::kType, [&] { auto* t = new CTarget_Flare; t->Spawn(high, 0); return keep(t); },
       [](CWorld_Object* o, float a) { static_cast<CTarget_Flare*>(o)->m_Age = a; }},
      {CTarget_Glower::kType, [&] { auto* t = new CTarget_Glower; t->Spawn(0, high, 1); return keep(t); },
       [](CWorld_Object* o, float a) { static_cast<CTarget_Glower*>(o)->m_Age = a; }},
      {CTarget_Leaf::kType, [&] { auto* t = new CTarget_Leaf; t->Spawn(high); return keep(t); },
       [](CWorld_Object* o, float a) { static_cast<CTarget_Leaf*>(o)->m_Age = a; }},
  };
  for (const Case& c : cases) {
    const targets::Target_Member* row = targets::Find_Target_Member(c.type);
    ASSERT_NE(row, nullptr) << c.type;
    CWorld_Object* target = c.make();
    ASSERT_EQ(target->m_Type, c.type);
    EXPECT_EQ(target->m_Kind_Flags & kKind_Counted_Target, kKind_Counted_Target) << row->class_name;
    Shot shot;
    c.set_age(target, row->guard_age - 0.01f);
    EXPECT_FALSE(target->On_Hit(&shot, nullptr)) << row->class_name;
    EXPECT_EQ(target->m_Kind_Flags & kKind_Excluded, 0u) << row->class_name;
    c.set_age(target, row->guard_age + 0.01f);
    EXPECT_TRUE(target->On_Hit(&shot, nullptr)) << row->class_name;
    EXPECT_NE(target->m_Kind_Flags & kKind_Excluded, 0u) << row->class_name << ": the first hit excludes it";
    target->Set_Position(CVector3{NAN, NAN, NAN});
  }
  EXPECT_EQ(g_Sim_Stats.m_Hits, 7u) << "every class registers a player shot";
}

}  // namespace
