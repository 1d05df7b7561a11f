// The digger, the tile, the UFO and the crystal boss in the running game: which hits they take,
// how they strike the player, how they die, and the boss's pulse.
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/enemies/CBoss_Crystal_1.h"
#include "game/enemies/CEmmo_Crystal_1.h"
#include "game/enemies/CEnemy_Digger_1.h"
#include "game/enemies/CEnemy_Tile_1.h"
#include "game/enemies/CEnemy_UFO.h"
#include "game/enemies/Enemy_Shared.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "game/sim/CMusic_Track.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "tests/game/sim/enemies_fixture.h"

namespace {

TEST_F(Enemies, TheDiggerRefusesEnemyHittersAndScoresOnlyItsFirstHit) {
  auto* digger = Take<CEnemy_Digger_1>(2);
  ASSERT_TRUE(digger->Spawn(1, Ground(0.5f, 0.8f)));
  EXPECT_FALSE(digger->On_Hit(&enemy_shot, nullptr));
  EXPECT_EQ(digger->m_Hit_Count, 0);
  EXPECT_TRUE(digger->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Points_Shown(), 250u);
  EXPECT_NE(digger->m_Kill_Timer, 0.0f) << "it drops";
  EXPECT_TRUE(digger->m_Kind_Flags & 0x40u);
  EXPECT_TRUE(digger->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Points_Shown(), 250u);
}

TEST_F(Enemies, TheDiggerStrikesAfterItsChargeEvenWithNoSparklerDebrisFree) {
  std::vector<CWorld_Object*> held;
  while (CWorld_Object* o = g_Object_Pools[CDebris_Target_Sparkler::kType]->Alloc_Object()) held.push_back(o);
  auto* digger = Take<CEnemy_Digger_1>(2);
  ASSERT_TRUE(digger->Spawn(2, Ground(0.5f, 0.8f)));
  digger->m_Homing = 1;
  Run(*digger, 3.9f);
  EXPECT_EQ(Shield_Lost(), 0.0f) << "still charging";
  EXPECT_EQ(digger->m_Kill_Timer, 0.0f);
  Run(*digger, 0.2f);
  EXPECT_NEAR(Shield_Lost(), 0.07f, 1e-5f) << "the explosion hits the player with 0.35";
  EXPECT_NE(digger->m_Kill_Timer, 0.0f);
  for (CWorld_Object* o : held) g_Object_Pools[CDebris_Target_Sparkler::kType]->Free_Object(o);
}

TEST_F(Enemies, ADiggerThatNeverFallsNeverHomesAndDiesAtTwentyFive) {
  auto* digger = Take<CEnemy_Digger_1>(2);
  ASSERT_TRUE(digger->Spawn(0, Ground(0.5f, 0.8f)));
  digger->m_State_Flags |= kState_No_Gravity;
  digger->m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
  Run(*digger, 24.9f);
  EXPECT_EQ(digger->m_Homing, 0);
  EXPECT_EQ(digger->m_Kill_Timer, 0.0f);
  Run(*digger, 0.2f);
  EXPECT_NE(digger->m_Kill_Timer, 0.0f);
  EXPECT_EQ(Shield_Lost(), 0.0f);
}

// The chase both mobile enemies share: the digger is pulled only up and down (its sideways
// speed just decays), the tile along all three axes.
TEST(Mobile_Enemy_Chase, TheDiggerSteersOnlyItsHeightAndTheTileAllThreeAxes) {
  const CVector3 position{0.0f, 0.0f, 0.0f}, target{300.0f, 400.0f, 0.0f};  // unit (0.6, 0.8, 0)
  const float dt = 0.1f;  // damping 1 - 0.5 dt = 0.95
  struct Case {
    const char* who;
    CVector3 pull;
    CVector3 expected;
  };
  const Case cases[] = {
      {"digger", CVector3{0.0f, 1000.0f, 0.0f}, CVector3{9.5f, 57.0f, 28.5f}},
      {"tile", CVector3{600.0f, 1000.0f, 600.0f}, CVector3{43.7f, 57.0f, 28.5f}},
  };
  for (const Case& c : cases) {
    CVector3 velocity{10.0f, -20.0f, 30.0f};
    enemy::Chase_Step(velocity, position, target, c.pull, dt);
    EXPECT_NEAR(velocity.x, c.expected.x, 1e-3f) << c.who;
    EXPECT_NEAR(velocity.y, c.expected.y, 1e-3f) << c.who;
    EXPECT_NEAR(velocity.z, c.expected.z, 1e-3f) << c.who;
  }
}

TEST_F(Enemies, TheTileDiesOnTheFloorOnlyAfterOnePointFive) {
  auto* tile = Take<CEnemy_Tile_1>(2);
  ASSERT_TRUE(tile->Spawn(3, Ground(0.5f, 0.8f)));
  tile->m_Age = 1.4f;
  tile->On_Floor_Contact(CVector3{0, 1, 0});
  EXPECT_EQ(tile->m_Kill_Timer, 0.0f);
  tile->m_Age = 1.5f;
  tile->On_Floor_Contact(CVector3{0, 1, 0});
  EXPECT_FLOAT_EQ(tile->m_Kill_Timer, 0.001f);
  EXPECT_EQ(Shield_Lost(), 0.0f) << "no strike";
}

TEST_F(Enemies, AShotTileNoLongerStrikesAndAStruckTileIsHidden) {
  const CVector3 eye = g_Camera.Position();
  for (bool shot_first : {true, false}) {
    g_WarRoom_Sim.m_Shield_Level = 1.0f;
    auto* tile = Take<CEnemy_Tile_1>(2);
    ASSERT_TRUE(tile->Spawn(0, Ground(0.5f, 0.8f)));
    if (shot_first) {
      EXPECT_TRUE(tile->On_Hit(&player_shot, nullptr));
    }
    tile->m_Kill_Timer = 0.0f;  // as alive, to see whether the strike needs the shot flag clear
    tile->Set_Position(CVector3{eye.x, eye.y - 20.0f, eye.z + 40.0f});
    tile->m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
    tile->Update(kStep);
    if (shot_first) {
      EXPECT_EQ(Shield_Lost(), 0.0f);
      EXPECT_EQ(tile->m_Struck, 0);
    } else {
      EXPECT_NEAR(Shield_Lost(), 0.07f, 1e-5f);
      EXPECT_EQ(tile->m_Struck, 1) << "it is no longer drawn";
      EXPECT_NE(tile->m_Kill_Timer, 0.0f);
    }
  }
}

TEST_F(Enemies, AShotTileBurstsIntoFiveSparklesNearAndTwentyFiveFar) {
  const CVector3 eye = g_Camera.Position();
  struct Case {
    float distance;
    uint32_t sparkles;
  } cases[] = {{200.0f, 5u}, {299.0f, 5u}, {301.0f, 25u}, {1200.0f, 25u}};
  for (const Case& c : cases) {
    auto* tile = Take<CEnemy_Tile_1>(2);
    ASSERT_TRUE(tile->Spawn(1, Ground(0.5f, 0.8f)));
    tile->Set_Position(CVector3{eye.x, eye.y, eye.z + c.distance});
    tile->m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
    const uint32_t before = Sparkles();
    EXPECT_TRUE(tile->On_Hit(&player_shot, nullptr));
    EXPECT_EQ(Sparkles() - before, c.sparkles) << c.distance;
    EXPECT_FALSE(tile->On_Hit(&enemy_shot, nullptr)) << "enemy hitters are refused";
    Sweep();
  }
}

TEST_F(Enemies, UFOHitsCountOnlyOnePointFiveApartAndEachResetsTheCharge) {
  auto* ufo = Take<CEnemy_UFO>(2);
  ufo->Spawn(0);
  ufo->Set_Position(CVector3{0.5f * X, 900.0f, 0.4f * Z});
  const CShot_Line line{CVector3{0.5f * X, 900.0f, 0.4f * Z - 500.0f}, CVector3{0.0f, 0.0f, 1.0f}};
  ufo->m_Age = 1.4f;
  EXPECT_FALSE(ufo->On_Hit(nullptr, &line)) << "too young";
  ufo->m_Age = 2.0f;
  ufo->m_Hit_Timer = 2.0f;
  ufo->m_Charge = 0.6f;
  EXPECT_TRUE(ufo->On_Hit(nullptr, &line));
  EXPECT_EQ(ufo->m_Hit_Count, 1);
  EXPECT_EQ(ufo->m_Charge, 0.0f) << "a counted hit resets the charge";
  ufo->m_Hit_Timer = 1.4f;
  EXPECT_FALSE(ufo->On_Hit(nullptr, &line)) << "a line within 1.5 of the last hit answers false";
  EXPECT_TRUE(ufo->On_Hit(&player_shot, nullptr)) << "a touching shot is ignored, not refused";
  EXPECT_EQ(ufo->m_Hit_Count, 1);
  ufo->m_Hit_Timer = 1.6f;
  ufo->m_Charge = 0.5f;
  EXPECT_TRUE(ufo->On_Hit(nullptr, &line));
  EXPECT_EQ(ufo->m_Hit_Count, 2);
  EXPECT_EQ(ufo->m_Charge, 0.0f);
  EXPECT_EQ(ufo->m_Kill_Timer, 0.0f);
  // The third counted hit: the death burst instead of the hit sparkles.
  ufo->m_Hit_Timer = 1.6f;
  const uint32_t before = Sparkles();
  player_shot.m_Position = line.point;
  player_shot.m_Sphere.velocity.Set(0.0f, 0.0f, 1500.0f);
  EXPECT_TRUE(ufo->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Sparkles() - before, 35u);
  EXPECT_NE(ufo->m_Kill_Timer, 0.0f);
  EXPECT_TRUE(ufo->m_Kind_Flags & 0x40u);
}

TEST_F(Enemies, TheUFOsLiftGrowsWithItsShortfallBelowThreeHundred) {
  auto* ufo = Take<CEnemy_UFO>(2);
  ufo->Spawn(0);
  const float x = 0.5f * X, z = 0.4f * Z, ground = g_World.Get_Height(x, z);
  struct Case {
    float above, lift;
  } cases[] = {{400.0f, 0.0f}, {300.0f, 0.0f}, {200.0f, 475.0f}, {0.0f, 1425.0f}};
  for (const Case& c : cases) {
    ufo->m_Position = CVector3{x, ground + c.above, z};
    EXPECT_NEAR(ufo->Steering().y, c.lift, 0.01f) << c.above;
  }
  ufo->m_Age = 26.0f;
  ufo->m_Position = CVector3{x, ground + 400.0f, z};
  EXPECT_NEAR(ufo->Steering().y, 450.0f, 0.01f) << "leaving, it climbs";
}

TEST_F(Enemies, TheUFOScoresByThePlayersGun) {
  ASSERT_NE(g_Player.m_Gun, nullptr);
  const int32_t kind = g_Player.m_Gun->m_Kind;
  struct Case {
    int32_t gun;
    uint32_t points;
  } cases[] = {{0, 500u}, {2, 125u}, {4, 125u}};
  for (const Case& c : cases) {
    g_Player.m_Gun->m_Kind = c.gun;
    auto* ufo = Take<CEnemy_UFO>(2);
    ufo->Spawn(0);
    ufo->Set_Position(CVector3{0.5f * X, 900.0f, 0.4f * Z});
    ufo->m_Age = 2.0f;
    ufo->m_Hit_Count = 2;
    ufo->m_Hit_Timer = 2.0f;
    const uint32_t before = Points_Shown();
    player_shot.m_Position = CVector3{0.5f * X, 900.0f, 0.4f * Z - 200.0f};
    player_shot.m_Sphere.velocity.Set(0.0f, 0.0f, 1500.0f);
    EXPECT_TRUE(ufo->On_Hit(&player_shot, nullptr));
    EXPECT_EQ(Points_Shown() - before, c.points) << c.gun;
    g_Score_Board_Mgr.Commit_Points();
    Sweep();
  }
  g_Player.m_Gun->m_Kind = kind;
}

TEST_F(Enemies, TheUFOStrikesWhenItsChargeIsFull) {
  auto* ufo = Take<CEnemy_UFO>(2);
  ufo->Spawn(0);
  ufo->Set_Position(CVector3{0.5f * X, 900.0f, 0.4f * Z});
  ufo->m_Charge = 0.99f;
  ufo->Update(0.1f);
  EXPECT_NEAR(Shield_Lost(), 0.07f, 1e-5f);
  EXPECT_EQ(ufo->m_Charge, 0.0f);
  EXPECT_EQ(ufo->m_Strike_Timer, 0.0f);
}

// What the tile and the UFO draw, each alone over a plain background, read back and probed.
// Set VT_ENEMY_SHOTS to a folder to keep the pictures.
class Enemy_Pictures : public Enemies {
 protected:
  // Clears to the background, draws what the callback draws and reads the picture back.
  void Draw_Alone(uint32_t background, const std::function<void()>& draw, const char* name) {
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, background, 0);
    g_pRenderDevice->BeginScene();
    g_pDrawPrim->SetTransformType(kDrawPrimWorld);
    draw();
    g_pRenderDevice->EndScene();
    ASSERT_TRUE(harness.Read_Back(pixels, width, height));
    if (const char* dir = std::getenv("VT_ENEMY_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  }
  // The pixel where the point shows; 0 off the screen.
  uint32_t At(const CVector3& point) const {
    const CVector3 s = g_Camera.World_To_Screen(point);
    if (!(s.x >= 0.0f && s.y >= 0.0f && s.x < static_cast<float>(width) && s.y < static_cast<float>(height))) return 0;
    return pixels[static_cast<size_t>(s.y) * width + static_cast<size_t>(s.x)];
  }
  static int Red(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
  static int Green(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
  static int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }

  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
};

// A shot tile's body turns black but its halo keeps twice its variant's colour (green for
// variant 0) while it shrinks away; and the UFO's mirror image hangs its red beam under the
// image of its underside, not under the saucer itself.
TEST_F(Enemy_Pictures, AShotTilesHaloStaysInItsColourAndTheUFOsMirrorImageHangsItsBeam) {
  {
    SCOPED_TRACE("the tile's halo after a hit");
    auto* tile = Take<CEnemy_Tile_1>(0);
    ASSERT_TRUE(tile->Spawn(0, Ground(0.5f, 0.6f)));
    const CVector3 at{0.5f * X, g_World.Get_Height(0.5f * X, 0.6f * Z) + 500.0f, 0.6f * Z};
    tile->Set_Position(at);
    tile->m_Homing = 1;
    ASSERT_TRUE(tile->On_Hit(&player_shot, nullptr));
    ASSERT_NE(tile->m_Kill_Timer, 0.0f);
    g_Camera.Look_At(CVector3{at.x, at.y + 450.0f, at.z - 350.0f}, at);
    Draw_Alone(0xFF808080, [&] { tile->Render(0.0f); }, "tile_halo_after_hit.png");
    // The four arms run out along the diagonals from 36 to 161 units; the body ends at 54.
    int green = 0, probes = 0;
    for (const float dx : {-1.0f, 1.0f})
      for (const float dz : {-1.0f, 1.0f})
        for (const float reach : {80.0f, 100.0f, 120.0f}) {
          const float d = reach * 0.70710678f;
          const uint32_t p = At(CVector3{at.x + dx * d, at.y, at.z + dz * d});
          ++probes;
          green += Green(p) > 0x80 + 40 && Green(p) > Red(p) + 40 && Green(p) > Blue(p) + 40;
        }
    EXPECT_EQ(green, probes) << "the arms are lit green over the grey, not darkened";
    Sweep();
  }
  {
    SCOPED_TRACE("the UFO's mirror image");
    auto* ufo = Take<CEnemy_UFO>(0);
    ufo->Spawn(0);
    const CVector3 at{0.4f * X, 900.0f, 0.4f * Z};
    ufo->Set_Position(at);
    ufo->m_Charge = 1.0f;  // the beam at full strength
    // A mirror across the plane x = at.x + 250: the image hovers 500 to the right.
    CWorld_Mirror mirror{};
    mirror.transform.Set_Identity();
    mirror.transform.m[0][0] = -1.0f;
    mirror.transform.m[3][0] = 2.0f * (at.x + 250.0f);
    mirror.turn.Set_Rows(CVector3{-1, 0, 0}, CVector3{0, 1, 0}, CVector3{0, 0, 1});
    const CVector3 image{at.x + 500.0f, at.y, at.z};
    g_Camera.Look_At(CVector3{at.x + 250.0f, at.y + 150.0f, at.z - 900.0f}, CVector3{at.x + 250.0f, at.y - 30.0f, at.z});
    Draw_Alone(0xFF000000, [&] { ufo->Render_Reflection(mirror); }, "ufo_mirror_image.png");
    // The beam runs 55 down from the underside (15 under the centre) and is brightest halfway,
    // where its five quads add up to white; the glow passes are purple and end nearer the body.
    for (const float below : {42.0f, 55.0f}) {
      const uint32_t beam = At(CVector3{image.x, image.y - below, image.z});
      EXPECT_GT(Red(beam), 200) << below;
      EXPECT_GT(Green(beam), 150) << below << ": the beam's light, not the glow's purple";
      const uint32_t saucer = At(CVector3{at.x, at.y - below, at.z});
      EXPECT_LT(Red(saucer) + Green(saucer) + Blue(saucer), 30) << below << ": nothing under the saucer itself";
    }
    Sweep();
  }
}

class Boss : public Enemies {
 protected:
  void SetUp() override {
    Enemies::SetUp();
    boss = Take<CBoss_Crystal_1>();
    ASSERT_NE(boss, nullptr);
    const CVector3 g = Ground(0.5f, 0.75f);
    boss->Spawn(CVector3{g.x, g.y + 375.0f, g.z});
    boss->Set_Position(boss->m_Start_Position);
  }
  uint32_t Total() const { return g_Score_Board_Mgr.m_Total_Score + g_Score_Board_Mgr.m_Closing_Points; }
  CBoss_Crystal_1* boss = nullptr;
};

TEST_F(Boss, HitsOutsideAPulseOnlyFlashTheCrystal) {
  EXPECT_TRUE(boss->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(boss->m_Flash, 0.5f);
  EXPECT_EQ(Points_Shown(), 0u);
  boss->m_Flash = 0.3f;
  boss->On_Hit(&player_shot, nullptr);
  EXPECT_EQ(boss->m_Flash, 0.3f) << "only a dark crystal flashes";
  EXPECT_EQ(boss->m_Kill_Timer, 0.0f);
}

TEST_F(Boss, DuringAPulseAFlashRequestIsIgnoredAndAFireRequestFiresWithoutBreakingIt) {
  boss->Start_Pulse();
  EXPECT_EQ(boss->m_Collision_Radius, 150.0f) << "a smaller sphere while it charges";
  boss->Request_Flash();
  boss->Request_Fire(1);
  boss->Update(kStep);
  EXPECT_EQ(boss->m_Flash, 0.0f);
  CWorld_Object* shard = g_World.Find_Object_By_Type(CEmmo_Crystal_1::kType, 0);
  ASSERT_NE(shard, nullptr);
  EXPECT_GT(shard->m_Sphere.velocity.x, 0.0f) << "side 1 fires towards +x";
  // The shard leaves from the boss's centre, inside the pulse sphere: it must not break it.
  EXPECT_TRUE(boss->On_Hit(shard, nullptr));
  EXPECT_GT(boss->m_Pulse, 0.0f);
  EXPECT_EQ(Points_Shown(), 0u);
  Run(*boss, 4.0f);
  EXPECT_GT(boss->m_Blast_Timer, 0.0f) << "the pulse ran out into its blast";
  EXPECT_EQ(boss->m_Collision_Radius, 275.0f);
  Run(*boss, 1.1f);
  EXPECT_NEAR(Shield_Lost(), 0.2f, 1e-5f) << "the blast hits with full strength";
}

TEST_F(Boss, ABrokenPulseScoresAndCommitsAndKillsOnlyInDisinfectionMode) {
  for (bool disinfection : {false, true}) {
    g_WarRoom_Sim.m_Disinfection_Mode = disinfection;
    const uint32_t total = Total();
    const uint32_t sparkles = Sparkles();
    while (CWorld_Object* shard = g_World.Find_Object_By_Type(34, 0)) {
      shard->m_Kill_Timer = 1.0f;
      g_World.Remove_Dead_Objects();
    }
    boss->Start_Pulse();
    boss->Update(kStep);
    EXPECT_TRUE(boss->On_Hit(&player_shot, nullptr));
    EXPECT_EQ(boss->m_Pulse, 0.0f);
    EXPECT_EQ(boss->m_Collision_Radius, 275.0f);
    EXPECT_EQ(g_Score_Board_Mgr.m_Pending_Points, 0u) << "committed at once";
    EXPECT_GE(Total() - total, 2500u) << disinfection;
    EXPECT_GT(Sparkles(), sparkles);
    EXPECT_GE(Live(34), 3) << "crystal shards";
    EXPECT_LE(Live(34), 5);
    EXPECT_EQ(boss->m_Kill_Timer != 0.0f, disinfection);
  }
}

TEST_F(Boss, ADyingBossTakesNoPulseAndTheLightComesBackAfterAPulse) {
  boss->Start_Pulse();
  Run(*boss, 2.0f);
  g_World.m_Ambient_Accumulator.Set(0, 0, 0);
  boss->Update(kStep);
  EXPECT_LT(g_World.m_Ambient_Accumulator.y, 0.0f) << "a pulse darkens the world";
  Run(*boss, 4.0f);
  ASSERT_EQ(boss->m_Pulse, 0.0f);
  ASSERT_EQ(boss->m_Blast_Timer, 0.0f);
  g_World.m_Ambient_Accumulator.Set(0, 0, 0);
  g_World.m_Diffuse_Accumulator.Set(0, 0, 0);
  boss->Update(kStep);
  EXPECT_EQ(g_World.m_Ambient_Accumulator.y, 0.0f) << "full light after the blast";
  EXPECT_EQ(g_World.m_Diffuse_Accumulator.z, 0.0f);
  boss->m_Kill_Timer = 0.1f;
  boss->Start_Pulse();
  EXPECT_EQ(boss->m_Pulse, 0.0f);
}

TEST_F(Boss, NoShakeWhilePaused) {
  boss->Start_Pulse();
  Run(*boss, 2.0f);
  EXPECT_GT(g_Camera.Shake_Angles().Length(), 0.0f);
  g_Game_Paused = true;
  boss->Update(0.0f);
  EXPECT_EQ(g_Camera.Shake_Angles().Length(), 0.0f);
}

}  // namespace
