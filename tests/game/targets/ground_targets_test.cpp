// The ground and firework targets in a running world: guard ages and first hits by hitter, the
// growth of the box targets, the line's arena exit, the goo's split and splat, the wall rules of
// the jumper and the roller, the jump, the sparkler's hang and its cloud's caps, the twirler's
// orbit and its death with its mast, and what a failed sprite object leaves behind.
#include <memory>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/fx/CDebris_Target_Sparkler.h"
#include "game/targets/CEjector_Sparkler.h"
#include "game/targets/CEjector_Twirler.h"
#include "game/targets/CTarget_Exclaim.h"
#include "game/targets/CTarget_Flier.h"
#include "game/targets/CTarget_Goo.h"
#include "game/targets/CTarget_Jumper.h"
#include "game/targets/CTarget_Line.h"
#include "game/targets/CTarget_Pill.h"
#include "game/targets/CTarget_Roller.h"
#include "game/targets/CTarget_Sparkler.h"
#include "game/targets/CTarget_Star.h"
#include "game/targets/CTarget_Twirler.h"
#include "game/targets/Ejector_Shared.h"
#include "tests/support/recording_sound_mgr.h"
#include "tests/game/targets/ground_fixture.h"
#include "tests/support/harness_spawn.h"

namespace ground_test {
namespace {

constexpr float kDt = 0.05f;
constexpr uint32_t kShot = 0x10;

// A shot line straight through the centre, from the camera's side.
CShot_Line Through(const CWorld_Object& target) {
  return CShot_Line{CVector3{target.m_Position.x, target.m_Position.y, target.m_Position.z - 500.0f},
                    CVector3{0.0f, 0.0f, 1.0f}};
}

TEST_F(Ground, EachClassRefusesHitsUntilItsGuardAgeAndThenCountsTheFirstShotOnce) {
  std::vector<Guard_Case> cases = Growing_Box_Cases();
  cases.insert(cases.end(), {
      {"roller", [](const CVector3& at) -> CWorld_Object* {
         CTarget_Roller* t = Take<CTarget_Roller>();
         t->Spawn(1, 0);
         Place(*t, at);
         return t;
       }, 0.5f},
      {"jumper", [](const CVector3& at) -> CWorld_Object* {
         CTarget_Jumper* t = Take<CTarget_Jumper>();
         t->Spawn(3, 1);
         Place(*t, at);
         return t;
       }, 0.5f},
      {"goo", [](const CVector3& at) -> CWorld_Object* {
         CTarget_Goo* t = Take<CTarget_Goo>();
         t->Spawn(2, 0);
         Place(*t, at);
         return t;
       }, 0.5f},
  });
  for (const Guard_Case& c : cases) {
    CWorld_Object* target = c.make(Sky());
    ASSERT_NE(target, nullptr) << c.name;
    Hitter shot(3, kShot, target->m_Position);
    const float step = c.guard / 10.0f;
    Step(*target, step, 9);
    const uint32_t hits = Hits();
    CShot_Line line = Through(*target);
    EXPECT_FALSE(target->On_Hit(&shot, &line)) << c.name << " is refused before its guard age";
    EXPECT_EQ(Hits(), hits);
    Step(*target, step, 2);
    line = Through(*target);
    const uint32_t awards = Awards();
    EXPECT_TRUE(target->On_Hit(&shot, &line)) << c.name;
    EXPECT_EQ(Hits(), hits + 1) << c.name << " registers its first hit";
    EXPECT_EQ(Awards(), awards + 1) << c.name << " earns the precision award through the centre";
    EXPECT_TRUE(target->m_Kind_Flags & 0x40) << c.name;
    EXPECT_TRUE(target->On_Hit(&shot, &line)) << c.name;
    EXPECT_EQ(Hits(), hits + 1) << c.name << " counts once";
    EXPECT_EQ(Awards(), awards + 1) << c.name;
    target->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
}

TEST_F(Ground, HittersThatAreNotShotsAreLeftAloneByTheLineJumperAndRoller) {
  CTarget_Line* line = Take<CTarget_Line>();
  line->Spawn(0);
  Place(*line, Sky(-300.0f), 1);
  CTarget_Jumper* jumper = Take<CTarget_Jumper>();
  jumper->Spawn(0, 0);
  Place(*jumper, Sky());
  CTarget_Roller* roller = Take<CTarget_Roller>();
  roller->Spawn(0, 0);
  Place(*roller, Sky(300.0f));
  Step(*line, 0.2f, 6);
  Step(*jumper, 0.2f, 6);
  Step(*roller, 0.2f, 6);
  Hitter ball(10, 0x01, Sky());
  EXPECT_FALSE(line->On_Hit(&ball, nullptr)) << "the line refuses what is not a shot";
  EXPECT_TRUE(jumper->On_Hit(&ball, nullptr));
  EXPECT_EQ(jumper->m_Hit_Count, 0) << "the jumper takes it without effect";
  Hitter other_roller(CTarget_Roller::kType, 0x01, Sky());
  EXPECT_TRUE(roller->On_Hit(&other_roller, nullptr));
  EXPECT_EQ(roller->m_Hit_Count, 0) << "two rollers leave each other alone";
  // A shot line without an object takes full effect but registers nothing.
  const uint32_t hits = Hits();
  const CShot_Line through = Through(*jumper);
  EXPECT_TRUE(jumper->On_Hit(nullptr, &through));
  EXPECT_EQ(Hits(), hits);
  EXPECT_EQ(jumper->m_Hit_Count, 1);
  EXPECT_GT(jumper->m_Kill_Timer, 0.0f);
}

TEST_F(Ground, BoxTargetsGrowToTheirSizeAndAHitOneFallsWhileAHitLineFades) {
  CTarget_Star* star = Take<CTarget_Star>();
  ASSERT_TRUE(star->Spawn(0));
  Place(*star, Sky());
  EXPECT_EQ(star->m_Box.half_size.x, 1.0f);
  Step(*star, 0.125f, 3);
  // The third update sees age 0.25: half grown, (1 + 0.5 × 84).
  EXPECT_NEAR(star->m_Box.half_size.x, 43.0f, 1e-3f);
  Step(*star, 0.125f, 3);
  EXPECT_NEAR(star->m_Box.half_size.x, 85.0f, 1e-3f);
  EXPECT_NEAR(star->m_Box.half_size.y, 20.0f, 1e-3f);
  CTarget_Star* odd = Take<CTarget_Star>();
  ASSERT_TRUE(odd->Spawn(7));
  EXPECT_EQ(odd->Full_Half_Size().x, 1.0f) << "an unknown variant stays small";
  odd->m_Kill_Timer = 1.0f;
  Place(*odd, Sky(200.0f));

  CTarget_Pill* pill = Take<CTarget_Pill>();
  ASSERT_TRUE(pill->Spawn(1));
  Place(*pill, Sky(-400.0f));
  pill->m_Box.velocity.Set(160.0f, 0.0f, 0.0f);
  Step(*pill, 0.1f, 10);
  EXPECT_NEAR(pill->m_Box.velocity.y, 0.0f, 1e-3f) << "no gravity before the hit";
  Hitter shot(3, kShot, pill->m_Position);
  ASSERT_TRUE(pill->On_Hit(&shot, nullptr));
  EXPECT_EQ(pill->m_Kill_Timer, 0.0f) << "a hit pill flies on";
  EXPECT_FALSE(pill->m_State_Flags & 0x40);
  Step(*pill, 0.1f, 3);
  EXPECT_LT(pill->m_Box.velocity.y, -1.0f) << "and falls";
  const CColor4 black = pill->Get_Color();
  EXPECT_EQ(black.r + black.g + black.b, 0.0f);

  CTarget_Line* line = Take<CTarget_Line>();
  ASSERT_TRUE(line->Spawn(2));
  Place(*line, Sky(0.0f, 300.0f), 1);
  Step(*line, 0.125f, 10);
  Hitter line_shot(3, kShot, line->m_Position);
  ASSERT_TRUE(line->On_Hit(&line_shot, nullptr));
  EXPECT_EQ(line->m_Kill_Timer, 0.01f) << "a hit line fades at once";
}

TEST_F(Ground, ALineDiesWhenItLeavesTheArenaButNotBeforeItHasGrown) {
  struct Exit_Case {
    const char* name;
    CVector3 at;
    bool dies;
  };
  const float cz = g_Camera.Position().z;
  const Exit_Case cases[] = {
      {"inside", {0.5f * X, 600.0f, 0.5f * Z}, false},
      {"past the right wall", {X - 100.0f, 600.0f, 0.5f * Z}, true},
      {"past the left wall", {100.0f, 600.0f, 0.5f * Z}, true},
      {"at the far end", {0.5f * X, 600.0f, Z - 100.0f}, true},
      {"behind the camera", {0.5f * X, 600.0f, cz - 10.0f}, true},
  };
  for (const Exit_Case& c : cases) {
    CTarget_Line* line = Take<CTarget_Line>();
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(line->Spawn(0));
    Place(*line, c.at, 1);
    Step(*line, 0.125f, 9);
    EXPECT_EQ(line->m_Kill_Timer, 0.0f) << c.name << ": not while growing";
    Step(*line, 0.125f, 2);
    EXPECT_EQ(line->m_Kill_Timer > 0.0f, c.dies) << c.name;
    line->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
}

TEST_F(Ground, ALandingLargeBlobSplitsIntoThreeOrFourButAShotOneOnlySplats) {
  std::vector<int> counts;
  for (uint32_t seed = 1; seed <= 10; ++seed) {
    plat::Seed_Random(seed);
    CTarget_Goo* goo = Take<CTarget_Goo>();
    ASSERT_NE(goo, nullptr);
    ASSERT_TRUE(goo->Spawn(1, 0));
    Place(*goo, On_Ground(0.5f * X, 0.5f * Z, 45.0f));
    goo->On_Floor_Contact(1.0f, goo->m_Position, CVector3{0.0f, 1.0f, 0.0f});
    EXPECT_EQ(goo->m_Kill_Timer, 1.0f) << "a landed large blob goes at once";
    const int small = Live<CTarget_Goo>() - 1;
    counts.push_back(small);
    for (int n = 0; CTarget_Goo* g = Nth<CTarget_Goo>(n); ++n) {
      if (g == goo) continue;
      EXPECT_TRUE(g->Is_Small());
      EXPECT_EQ(g->m_Variant, 1);
      EXPECT_GT(g->m_Sphere.velocity.y, 99.0f);
      g->m_Kill_Timer = 1.0f;
    }
    harness.Step(1);
  }
  EXPECT_NE(std::find(counts.begin(), counts.end(), 3), counts.end());
  EXPECT_NE(std::find(counts.begin(), counts.end(), 4), counts.end());
  for (int n : counts) EXPECT_TRUE(n == 3 || n == 4) << n;

  // Shot in the air: it splats and fades, and lands later without splitting.
  CTarget_Goo* shot_goo = Take<CTarget_Goo>();
  ASSERT_TRUE(shot_goo->Spawn(2, 0));
  Place(*shot_goo, Sky());
  Step(*shot_goo, 0.1f, 6);
  Hitter shot(3, kShot, shot_goo->m_Position);
  ASSERT_TRUE(shot_goo->On_Hit(&shot, nullptr));
  EXPECT_EQ(shot_goo->m_Kill_Timer, 0.01f);
  Step(*shot_goo, 0.5f, 2);
  ASSERT_GE(shot_goo->m_Kill_Timer, CTarget_Goo::kSplit_Before);
  shot_goo->On_Floor_Contact(1.0f, shot_goo->m_Position, CVector3{0.0f, 1.0f, 0.0f});
  EXPECT_EQ(Live<CTarget_Goo>(), 1) << "no split after the fade has gone far";
  // A small blob ignores the floor.
  CTarget_Goo* small = Take<CTarget_Goo>();
  ASSERT_TRUE(small->Spawn(0, 1));
  Place(*small, Sky(100.0f));
  small->On_Floor_Contact(1.0f, small->m_Position, CVector3{0.0f, 1.0f, 0.0f});
  EXPECT_EQ(small->m_Kill_Timer, 0.0f);
  EXPECT_TRUE(small->Score_Flag());
}

TEST_F(Ground, ASplitNearAFullPoolYieldsFewerBlobs) {
  std::vector<CTarget_Goo*> taken;
  while (CTarget_Goo* g = Take<CTarget_Goo>()) taken.push_back(g);
  ASSERT_EQ(taken.size(), 12u);
  // Leave two free: the splitting blob and one more.
  CObject_Pool* pool = CTarget_Goo::Pool();
  pool->Free_Object(taken[11]);
  CTarget_Goo* goo = Take<CTarget_Goo>();
  ASSERT_TRUE(goo->Spawn(3, 0));
  Place(*goo, On_Ground(0.5f * X, 0.5f * Z, 45.0f));
  pool->Free_Object(taken[10]);
  goo->Split();
  EXPECT_EQ(Live<CTarget_Goo>(), 2) << "one small blob: the pool had one left";
  EXPECT_FALSE(pool->Has_Free_Object());
  for (size_t i = 0; i < 10; ++i) pool->Free_Object(taken[i]);
}

struct Wall_Case {
  int direction;
  CVector3 normal;
  bool jumper_survives;
};

TEST_F(Ground, AtTheBoundaryWallsTheJumperSurvivesOnlyTheOneBehindItAndTheRollerNone) {
  const Wall_Case cases[] = {
      {0, {1.0f, 0.0f, 0.0f}, true},   {0, {-1.0f, 0.0f, 0.0f}, false}, {0, {0.0f, 0.0f, -1.0f}, false},
      {1, {-1.0f, 0.0f, 0.0f}, true},  {1, {1.0f, 0.0f, 0.0f}, false},  {1, {0.0f, 0.0f, 1.0f}, false},
      {2, {0.0f, 0.0f, -1.0f}, true},  {2, {0.0f, 0.0f, 1.0f}, false},  {2, {1.0f, 0.0f, 0.0f}, false},
  };
  for (const Wall_Case& c : cases) {
    CTarget_Jumper* jumper = Take<CTarget_Jumper>();
    ASSERT_TRUE(jumper->Spawn(0, c.direction));
    CTarget_Roller* roller = Take<CTarget_Roller>();
    ASSERT_TRUE(roller->Spawn(0, c.direction));
    Place(*jumper, Sky());
    Place(*roller, Sky(200.0f));
    jumper->On_Floor_Contact(1.0f, jumper->m_Position, c.normal);
    roller->On_Floor_Contact(1.0f, roller->m_Position, c.normal);
    EXPECT_EQ(jumper->m_Kill_Timer, 0.0f) << "ignored while young";
    EXPECT_EQ(roller->m_Kill_Timer, 0.0f) << "ignored while young";
    Step(*jumper, 0.1f, 6);
    Step(*roller, 0.1f, 6);
    jumper->m_Kill_Timer = roller->m_Kill_Timer = 0.0f;
    jumper->On_Floor_Contact(1.0f, jumper->m_Position, c.normal);
    roller->On_Floor_Contact(1.0f, roller->m_Position, c.normal);
    EXPECT_EQ(jumper->m_Kill_Timer == 0.0f, c.jumper_survives) << "jumper direction " << c.direction;
    EXPECT_EQ(roller->m_Kill_Timer, 0.01f) << "roller direction " << c.direction;
    // The floor itself never kills them.
    jumper->m_Kill_Timer = roller->m_Kill_Timer = 0.0f;
    jumper->On_Floor_Contact(1.0f, jumper->m_Position, CVector3{0.0f, 1.0f, 0.0f});
    roller->On_Floor_Contact(1.0f, roller->m_Position, CVector3{0.0f, 1.0f, 0.0f});
    EXPECT_EQ(jumper->m_Kill_Timer, 0.0f);
    EXPECT_EQ(roller->m_Kill_Timer, 0.0f);
    jumper->m_Kill_Timer = roller->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
}

TEST_F(Ground, AJumperJumpsOnlyWhenNearTheGroundAndTheRequestIsUsedEitherWay) {
  CTarget_Jumper* low = Take<CTarget_Jumper>();
  ASSERT_TRUE(low->Spawn(0, 0));
  Place(*low, On_Ground(0.4f * X, 0.5f * Z, 50.0f + 100.0f));
  CTarget_Jumper* high = Take<CTarget_Jumper>();
  ASSERT_TRUE(high->Spawn(0, 0));
  Place(*high, On_Ground(0.6f * X, 0.5f * Z, 50.0f + 140.0f));
  low->Request_Jump();
  high->Request_Jump();
  const float low_before = low->m_Sphere.velocity.y, high_before = high->m_Sphere.velocity.y;
  low->Update(kDt);
  high->Update(kDt);
  EXPECT_FALSE(low->m_Jump_Request);
  EXPECT_FALSE(high->m_Jump_Request);
  EXPECT_GT(low->m_Sphere.velocity.y - low_before, 300.0f) << "a jump near the ground";
  EXPECT_LT(high->m_Sphere.velocity.y - high_before, 0.0f) << "too high to jump";
  EXPECT_NEAR(low->m_Jump_Glow, 1.0f - 0.45f * kDt, 1e-5f);
  EXPECT_EQ(high->m_Jump_Glow, 0.0f);
}

TEST_F(Ground, ASparklerHangsAtItsApexAndItsCloudStopsEmittingAt64ButABurstFills95) {
  CTarget_Sparkler* sparkler = Take<CTarget_Sparkler>();
  ASSERT_NE(sparkler, nullptr);
  ASSERT_TRUE(sparkler->Spawn(3));
  Place(*sparkler, On_Ground(0.5f * X, 0.5f * Z, 200.0f), 1);
  sparkler->m_Sphere.velocity.Set(0.0f, 600.0f, 0.0f);
  int updates = 0;
  while (!sparkler->m_Hanging && updates < 400) {
    sparkler->Update(kDt);
    ++updates;
  }
  ASSERT_TRUE(sparkler->m_Hanging);
  const CVector3 apex = sparkler->m_Position;
  Step(*sparkler, kDt, 40);
  EXPECT_NEAR(sparkler->m_Position.y, apex.y, 1e-3f) << "it stays where it turned";
  EXPECT_EQ(sparkler->m_Sphere.velocity.Length(), 0.0f);

  for (int i = 0; i < 300; ++i) sparkler->Update_Sparkles(0.05f);
  EXPECT_LE(sparkler->m_Cloud.Live_Count(), CTarget_Sparkler::kEmission_Limit);
  for (int i = 0; i < 80; ++i) sparkler->Add_Sparkle(sparkler->m_Position, CVector3{0, 0, 0}, false);
  EXPECT_EQ(sparkler->m_Cloud.Live_Count(), 64u) << "emission stops at 64";
  EXPECT_FALSE(sparkler->Add_Sparkle(sparkler->m_Position, CVector3{0, 0, 0}, false));
  Hitter shot(3, kShot, sparkler->m_Position);
  const uint32_t hits = Hits();
  ASSERT_TRUE(sparkler->On_Hit(&shot, nullptr));
  EXPECT_EQ(sparkler->m_Cloud.Live_Count(), 95u) << "a burst fills the cloud to 95";
  EXPECT_EQ(Hits(), hits + 1);
  EXPECT_EQ(sparkler->m_Kill_Timer, 0.001f);
  EXPECT_EQ(Live<CTarget_Sparkler>(CDebris_Target_Sparkler::kType), 1) << "and leaves a flash";
  EXPECT_TRUE(sparkler->On_Hit(&shot, nullptr));
  EXPECT_EQ(Hits(), hits + 1) << "a second hit does nothing";
  // Once hit it emits no more: only the burst's sparkles age away.
  for (int i = 0; i < 400; ++i) sparkler->Update_Sparkles(0.05f);
  EXPECT_EQ(sparkler->m_Cloud.Live_Count(), 0u);
}

TEST_F(Ground, SparklesBounceOffTheTerrainAndKeepMostOfTheirSpeed) {
  CTarget_Sparkler* sparkler = Take<CTarget_Sparkler>();
  ASSERT_TRUE(sparkler->Spawn(1));
  const CVector3 above = On_Ground(0.5f * X, 0.5f * Z, 5.0f);
  Place(*sparkler, above, 1);
  ASSERT_TRUE(sparkler->m_Cloud.Add(above, CVector3{0.0f, -200.0f, 0.0f}, 200.0f, 95));
  const uint32_t slot = sparkler->m_Cloud.In_Use(1) ? 1u : 0u;
  ASSERT_EQ(slot, 1u);
  sparkler->m_Cloud.Step(0.1f, 40.0f, true);
  EXPECT_NEAR(sparkler->m_Cloud.Velocity(1).y, 170.0f, 1.0f) << "reflected and kept 0.85";
  EXPECT_EQ(sparkler->m_Cloud.Position(1).y, above.y) << "it does not move on the bouncing step";
}

// A twirler ejector risen at a place, with one twirler linked to it.
CEjector_Twirler* Risen_Mast(const CVector3& base) {
  CEjector_Twirler* mast = static_cast<CEjector_Twirler*>(CEjector_Twirler::Pool()->Alloc_Object());
  mast->Spawn(base);
  mast->Set_Position(base);
  g_World.Add_Object(1, mast);
  for (int i = 0; i < 10; ++i) mast->Update(kDt);
  return mast;
}

TEST_F(Ground, ATwirlerCirclesItsMastOnItsSpringAndDiesWhenTheMastGoes) {
  CEjector_Twirler* mast = Risen_Mast(On_Ground(0.5f * X, 0.6f * Z, -300.0f));
  ASSERT_EQ(mast->m_Rise, 1.0f);
  CTarget_Twirler* twirler = Take<CTarget_Twirler>();
  ASSERT_NE(twirler, nullptr);
  const CVector3 top{mast->m_Position.x, mast->m_Position.y + 255.0f, mast->m_Position.z};
  const int32_t colour = 2;
  ASSERT_TRUE(twirler->Spawn(colour, mast, top));
  Place(*twirler, top);
  EXPECT_EQ(twirler->Find_Ejector(), mast);
  for (int i = 0; i < 400; ++i) twirler->Update(kDt);
  const CVector3 aim = twirler->Orbit_Point(*mast);
  const float dx = twirler->m_Position.x - mast->m_Position.x, dz = twirler->m_Position.z - mast->m_Position.z;
  EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), twirler->m_Orbit_Radius, 0.2f * twirler->m_Orbit_Radius)
      << "it circles at its orbit radius";
  EXPECT_LT(std::fabs(twirler->m_Position.y - aim.y), 250.0f);
  EXPECT_EQ(twirler->m_Kill_Timer, 0.0f);
  // The trail follows it: the newest point is within one spacing of travel.
  EXPECT_LE(twirler->m_Trail[twirler->m_Trail_Head].age, CTarget_Twirler::kTrail_Spacing + kDt);

  mast->m_Kill_Timer = 1.0f;
  harness.Step(1);
  EXPECT_EQ(twirler->Find_Ejector(), nullptr);
  twirler->Update(kDt);
  EXPECT_GT(twirler->m_Kill_Timer, 0.0f) << "it starts to fade on its next update";
}

TEST_F(Ground, ATwirlersExhaustHoldsAtMost63SparklesAndItsLifeEndsAt200) {
  CEjector_Twirler* mast = Risen_Mast(On_Ground(0.5f * X, 0.6f * Z, -300.0f));
  CTarget_Twirler* twirler = Take<CTarget_Twirler>();
  const int32_t colour = 0;
  ASSERT_TRUE(twirler->Spawn(colour, mast, mast->m_Position));
  Place(*twirler, mast->m_Position);
  for (int i = 0; i < 200; ++i) twirler->Update_Sparkles(0.2f);
  EXPECT_LE(twirler->m_Cloud.Live_Count(), 63u);
  while (twirler->Add_Sparkle(twirler->m_Position, CVector3{0, 0, 0})) {
  }
  EXPECT_EQ(twirler->m_Cloud.Live_Count(), 63u);
  twirler->m_Life = 0.01f;
  twirler->Update(kDt);
  EXPECT_EQ(twirler->m_Kill_Timer, 0.0001f + 0.2f * kDt);
}

TEST_F(Ground, ANewTwirlerReflectsNoRibbonsUntilItsOwnAreBuilt) {
  CEjector_Twirler* mast = Risen_Mast(On_Ground(0.5f * X, 0.6f * Z, -300.0f));
  CTarget_Twirler* twirler = Take<CTarget_Twirler>();
  const int32_t colour = 1;
  ASSERT_TRUE(twirler->Spawn(colour, mast, mast->m_Position));
  Place(*twirler, mast->m_Position);
  twirler->Render(kDt);
  EXPECT_TRUE(twirler->m_Ribbons_Built);
  // Gone and spawned again elsewhere: the old ribbons must not be reflected.
  twirler->m_Kill_Timer = 1.0f;
  harness.Step(1);
  CTarget_Twirler* again = Take<CTarget_Twirler>();
  ASSERT_EQ(again, twirler) << "the pool hands out the same object";
  ASSERT_TRUE(again->Spawn(colour, mast, CVector3{100.0f, 900.0f, 100.0f}));
  EXPECT_FALSE(again->m_Ribbons_Built);
  again->Render(kDt);
  EXPECT_TRUE(again->m_Ribbons_Built);
  EXPECT_NEAR(again->m_Ribbon[0].x, 100.0f, 30.0f) << "the ribbons start where it is now";
  again->m_Kill_Timer = 1.0f;
}

TEST_F(Ground, AFailedSpriteObjectLeavesThePooledObjectUsableAndDestroysNothingTwice) {
  CEjector_Sparkler* fuse = static_cast<CEjector_Sparkler*>(CEjector_Sparkler::Pool()->Alloc_Object());
  const uint8_t flag = 1;
  ASSERT_TRUE(fuse->Spawn(flag, CEjector_Sparkler::kGround, 1, On_Ground(0.5f * X, 0.5f * Z, 0.0f)));
  g_World.Add_Object(1, fuse);
  CSparkle_Cloud::Set_Create_Filter([] { return false; });
  fuse->Launch_Requested = true;
  fuse->Update(kDt);
  EXPECT_TRUE(fuse->m_Launched) << "the one launch is used";
  EXPECT_EQ(Live<CTarget_Sparkler>(), 0);
  CObject_Pool* pool = CTarget_Sparkler::Pool();
  // Every sparkler is free again and still holds its resources.
  std::vector<CTarget_Sparkler*> all;
  while (CTarget_Sparkler* s = Take<CTarget_Sparkler>()) all.push_back(s);
  ASSERT_EQ(all.size(), 8u);
  for (CTarget_Sparkler* s : all) {
    EXPECT_TRUE(s->m_Initialised);
    EXPECT_FALSE(s->m_Cloud.Is_Created());
    EXPECT_EQ(s->m_State_Flags & kState_In_Grid, 0u) << "a failed spawn leaves nothing filed in the world's grid";
  }
  // A twirler the same way.
  CEjector_Twirler* mast = Risen_Mast(On_Ground(0.3f * X, 0.6f * Z, -300.0f));
  mast->Launch_Requested = true;
  mast->Update(kDt);
  EXPECT_EQ(Live<CTarget_Twirler>(), 0);
  EXPECT_TRUE(CTarget_Twirler::Pool()->Has_Free_Object());
  EXPECT_EQ(mast->m_Link_Chain, nullptr) << "a failed twirler holds no link to its mast";
  // Nothing at the mast's top for shots and balls to meet: the freed twirler is out of the grid.
  const CVector3 top{mast->m_Position.x, mast->m_Position.y + 255.0f, mast->m_Position.z};
  EXPECT_EQ(g_World.Find_Object_In_Radius_By_Type(CTarget_Twirler::kType, top, 100.0f), nullptr);
  CTarget_Twirler* failed = Take<CTarget_Twirler>();  // the lowest free slot: the one just given back
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->m_State_Flags & kState_In_Grid, 0u);
  CTarget_Twirler::Pool()->Free_Object(failed);
  // Any launcher's object whose set-up failed after placing it (a flier whose exhaust object
  // could not be made, say) leaves the grid as it goes back to its pool.
  CTarget_Flier* flier = Take<CTarget_Flier>();
  ASSERT_NE(flier, nullptr);
  flier->Setup_Object(CTarget_Flier::kType, 100.0f, 100.0f, 0, kKind_Counted_Target);
  ASSERT_TRUE(flier->Setup_Sphere_Body(1.0f, 60.0f, 0.25f));
  flier->Set_Position(Sky());
  ASSERT_NE(flier->m_State_Flags & kState_In_Grid, 0u);
  ejectors::Give_Back_Unspawned(flier);
  EXPECT_EQ(flier->m_State_Flags & kState_In_Grid, 0u);
  EXPECT_EQ(g_World.Find_Object_In_Radius_By_Type(CTarget_Flier::kType, Sky(), 200.0f), nullptr);
  EXPECT_EQ(Take<CTarget_Flier>(), flier) << "and is free again";
  CTarget_Flier::Pool()->Free_Object(flier);

  CSparkle_Cloud::Set_Create_Filter(nullptr);
  const int32_t colour = 2;
  ASSERT_TRUE(all[0]->Spawn(colour));
  EXPECT_TRUE(all[0]->m_Cloud.Is_Created());
  // Spawned again over a live cloud: the old sprite object is destroyed first, not leaked.
  ASSERT_TRUE(all[0]->Spawn(colour));
  all[0]->Release_Attachments();
  EXPECT_FALSE(all[0]->m_Cloud.Is_Created());
  all[0]->Release_Attachments();
  all[0]->Term();
  all[0]->Term();
  EXPECT_TRUE(all[0]->Init()) << "a terminated sparkler can be started again";
  for (CTarget_Sparkler* s : all) pool->Free_Object(s);
  mast->Launch_Requested = true;
  mast->Update(kDt);
  EXPECT_EQ(Live<CTarget_Twirler>(), 1) << "with the device back, the next launch works";
}

}  // namespace
}  // namespace ground_test

namespace ground_test {
namespace {

TEST_F(Ground, AShotSparklerStopsWhereItBurstsWhateverTheShotsPush) {
  std::string why;
  CWorld_Object* object = vt_test::Spawn_Object(CTarget_Sparkler::kType, 0.5f * X, 400.0f, 0.4f * Z, {2}, &why);
  ASSERT_NE(object, nullptr) << why;
  auto* sparkler = static_cast<CTarget_Sparkler*>(object);
  harness.Step(20);
  const CVector3 at = sparkler->m_Position;
  ASSERT_TRUE(vt_test::Shoot_At(CTarget_Sparkler::kType, 0, CVector3{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(sparkler->m_Cloud.Live_Count(), 95u);
  harness.Step(3);
  EXPECT_LT(std::fabs(sparkler->m_Position.z - at.z), 5.0f);
  EXPECT_LT(std::fabs(sparkler->m_Position.y - at.y), 20.0f) << "it only starts to sink";
}

}  // namespace
}  // namespace ground_test

namespace ground_test {
namespace {

TEST_F(Ground, ATwirlerIsHittableAfterOneAndAHalfAndThenFallsThroughTheWorldLeavingAFlash) {
  CEjector_Twirler* mast = static_cast<CEjector_Twirler*>(CEjector_Twirler::Pool()->Alloc_Object());
  mast->Spawn(On_Ground(0.5f * X, 0.6f * Z, 0.0f));
  g_World.Add_Object(1, mast);
  CTarget_Twirler* twirler = Take<CTarget_Twirler>();
  const int32_t colour = 3;
  ASSERT_TRUE(twirler->Spawn(colour, mast, Sky()));
  Place(*twirler, Sky());
  Hitter shot(3, kShot, twirler->m_Position);
  Hitter other(CTarget_Twirler::kType, 0x01, twirler->m_Position);
  Step(*twirler, 0.1f, 14);
  EXPECT_FALSE(twirler->On_Hit(&shot, nullptr)) << "refused before 1.5";
  Step(*twirler, 0.1f, 2);
  EXPECT_TRUE(twirler->On_Hit(&other, nullptr));
  EXPECT_EQ(twirler->m_Hit_Count, 0) << "another twirler is left alone";
  const uint32_t hits = Hits();
  CShot_Line line = Through(*twirler);
  ASSERT_TRUE(twirler->On_Hit(&shot, &line));
  EXPECT_EQ(Hits(), hits + 1);
  EXPECT_GT(twirler->m_Kill_Timer, 0.0f);
  EXPECT_TRUE(twirler->m_State_Flags & 0x20) << "it stops touching the world";
  EXPECT_FALSE(twirler->m_State_Flags & 0x40) << "and falls";
  EXPECT_EQ(Live<CTarget_Twirler>(CDebris_Target_Sparkler::kType), 1);
  // A twirler already hit by a counted target that was itself hit counts too.
  CTarget_Twirler* second = Take<CTarget_Twirler>();
  ASSERT_TRUE(second->Spawn(colour, mast, Sky(300.0f)));
  Place(*second, Sky(300.0f));
  Step(*second, 0.1f, 16);
  Hitter hit_ball(10, 0x41, second->m_Position);
  ASSERT_TRUE(second->On_Hit(&hit_ball, nullptr));
  EXPECT_EQ(Hits(), hits + 2);
}

}  // namespace
}  // namespace ground_test

namespace ground_test {
namespace {

// A strike with neither hitter nor shot line (the smart bomb's) marks the line, pill and star as
// not counted, registers and bursts nothing, and is heard: the plain hit sound, as for the
// exclamation mark.
TEST_F(Ground, AStrikeWithoutHitterOrShotLineIsHeardButNeitherCountedNorBurst) {
  constexpr uint32_t kPlain_Hit = 0x220000F0;
  Recording_Sound_Mgr recorder;
  g_Game_State.SoundFX_Volume = 1.0f;
  std::vector<Guard_Case> cases = Growing_Box_Cases();
  cases.push_back(
      {"exclamation mark", [](const CVector3& at) -> CWorld_Object* {
         CTarget_Exclaim* t = Take<CTarget_Exclaim>();
         t->Spawn(1);
         Place(*t, at);
         return t;
       }, 0.0f});
  for (const Guard_Case& c : cases) {
    CWorld_Object* target = c.make(Sky());
    ASSERT_NE(target, nullptr) << c.name;
    Step(*target, c.guard / 10.0f + 0.01f, 11);
    const uint32_t hits = Hits(), awards = Awards(), sparkles = g_Particle_Sparkle_Mgr.Live_Count();
    recorder.Clear();
    EXPECT_TRUE(target->On_Hit(nullptr, nullptr)) << c.name;
    EXPECT_EQ(recorder.Played(), std::vector<uint32_t>{kPlain_Hit}) << c.name << " plays its plain hit sound once";
    EXPECT_NE(target->m_Kind_Flags & kKind_Excluded, 0u) << c.name;
    EXPECT_EQ(Hits(), hits) << c.name;
    EXPECT_EQ(Awards(), awards) << c.name;
    EXPECT_EQ(g_Particle_Sparkle_Mgr.Live_Count(), sparkles) << c.name << " bursts nothing";
    recorder.Clear();
    target->On_Hit(nullptr, nullptr);
    EXPECT_TRUE(recorder.Played().empty()) << c.name << ": a later strike is silent";
    target->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
}

}  // namespace
}  // namespace ground_test
