// The family's rules class by class: body, youth, life, reach and strength, what each hitter
// does, the fade rate and the one registration of a first hit with its points.
#include <functional>
#include <string>

#include "game/enemies/CEmmo_Anti_Matter.h"
#include "game/enemies/CEmmo_Ball.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/CEmmo_Bar_1.h"
#include "game/enemies/CEmmo_Bomb.h"
#include "game/enemies/CEmmo_Bullet_1.h"
#include "game/enemies/CEmmo_Can.h"
#include "game/enemies/CEmmo_Crystal_1.h"
#include "game/enemies/CEmmo_Discus_1.h"
#include "game/enemies/CEmmo_Missile_1.h"
#include "game/enemies/CEmmo_Roller.h"
#include "tests/game/sim/ammunition_fixture.h"

namespace ammo_test {
namespace {

// What On_Hit made of a hitter.
enum class Answer { kRefused, kIgnored, kTaken, kPushed };

const char* Name(Answer a) {
  switch (a) {
    case Answer::kRefused: return "refused";
    case Answer::kIgnored: return "ignored";
    case Answer::kTaken: return "taken";
    case Answer::kPushed: return "pushed";
  }
  return "?";
}

enum Hitter_Kind { kShot, kOther_Ammo, kBoss, kPusher, kLine, kHitter_Count };
const char* const kHitter_Names[kHitter_Count] = {"player shot", "other ammunition", "boss", "pushing object",
                                                  "line alone"};

struct Row {
  const char* name;
  uint32_t type;
  int body;              // 1 sphere, 2 box
  float reach_radius;    // the radius of the reach test
  float youth;           // hits refused while younger
  float life;            // the age at which an untouched one starts to fade
  float fade;            // the kill timer's growth per time unit
  uint32_t points;
  bool reaches;          // hurts by coming close
  Answer answers[kHitter_Count];
};

constexpr Answer R_ = Answer::kRefused, I_ = Answer::kIgnored, T_ = Answer::kTaken, P_ = Answer::kPushed;

const Row kRows[] = {
    {"CEmmo_Ball", 55, 1, 30.0f, 0.5f, 15.0f, 0.35f, 50, true, {T_, I_, T_, P_, T_}},
    {"CEmmo_Ball_2", 56, 1, 20.0f, 0.0f, 15.0f, 2.35f, 150, true, {T_, R_, I_, I_, T_}},
    {"CEmmo_Crystal_1", 57, 1, 35.0f, 0.0f, 15.0f, 2.35f, 100, true, {T_, R_, R_, T_, T_}},
    {"CEmmo_Missile_1", 58, 1, 35.0f, 0.0f, 15.0f, 0.25f, 150, true, {T_, R_, T_, T_, T_}},
    {"CEmmo_Discus_1", 59, 2, 56.885853f, 0.0f, 15.0f, 0.35f, 150, true, {T_, R_, R_, T_, T_}},
    {"CEmmo_Bar_1", 60, 2, 178.26104f, 0.0f, 15.0f, 0.5f, 200, true, {T_, R_, R_, R_, T_}},
    {"CEmmo_Bullet_1", 61, 2, 31.176914f, 0.0f, 30.0f, 0.35f, 100, true, {T_, R_, R_, R_, T_}},
    {"CEmmo_Bomb", 62, 1, 30.0f, 0.5f, 15.0f, 0.35f, 300, false, {T_, I_, T_, T_, T_}},
    {"CEmmo_Anti_Matter", 63, 1, 32.0f, 0.5f, 35.0f, 0.35f, 150, false, {T_, I_, I_, I_, T_}},
    {"CEmmo_Roller", 64, 1, 30.0f, 0.75f, 25.0f, 0.35f, 150, true, {T_, I_, I_, I_, T_}},
    {"CEmmo_Can", 65, 2, 46.335731f, 0.0f, 15.0f, 0.15f, 150, true, {T_, R_, R_, I_, T_}},
};

class Family : public Ammunition {
 protected:
  // Sets up one object of the row's class at the place, still, with no gravity to pull it away.
  CWorld_Object* Spawn(uint32_t type, const CVector3& place) {
    const int variant = 1;
    CWorld_Object* object = nullptr;
    switch (type) {
      case 55: { auto* o = Take<CEmmo_Ball>(); o->Setup(variant); object = o; break; }
      case 56: { auto* o = Take<CEmmo_Ball_2>(); o->Spawn(&variant, &place); object = o; break; }
      case 57: { auto* o = Take<CEmmo_Crystal_1>(); o->Setup(place); object = o; break; }
      case 58: { auto* o = Take<CEmmo_Missile_1>(); o->Spawn(&place); object = o; break; }
      case 59: { auto* o = Take<CEmmo_Discus_1>(); o->Spawn(&variant, &place); object = o; break; }
      case 60: { auto* o = Take<CEmmo_Bar_1>(); o->Spawn(&variant, &place); object = o; break; }
      case 61: { const int still = -1; auto* o = Take<CEmmo_Bullet_1>(); o->Spawn(&variant, &still, &place); object = o; break; }
      case 62: { auto* o = Take<CEmmo_Bomb>(); o->Setup(place); object = o; break; }
      case 63: { auto* o = Take<CEmmo_Anti_Matter>(); o->Spawn(&variant); object = o; break; }
      case 64: { auto* o = Take<CEmmo_Roller>(); o->Spawn(&variant); object = o; break; }
      case 65: { auto* o = Take<CEmmo_Can>(); o->Spawn(&variant, &place); object = o; break; }
      default: break;
    }
    if (!object) return nullptr;
    object->Set_Position(place);
    Hold_Still(*object);
    return object;
  }
  static void Hold_Still(CWorld_Object& object) {
    object.m_State_Flags |= kState_No_Gravity | kState_No_World_Contact;
    object.m_Sphere.velocity = object.m_Box.velocity = CVector3{0.0f, 0.0f, 0.0f};
  }
  // Ages the object past its youth without moving it.
  static void Grow_Up(CWorld_Object& object, float youth) {
    if (youth <= 0.0f) return;
    Run(object, youth + 0.01f);
    Hold_Still(object);
  }
};

TEST_F(Family, EachClassHasItsBodyAndPool) {
  for (const Row& row : kRows) {
    CWorld_Object* object = Spawn(row.type, Ahead(3000.0f));
    ASSERT_NE(object, nullptr) << row.name;
    EXPECT_EQ(object->m_Type, row.type) << row.name;
    EXPECT_EQ(object->m_Body_Kind, row.body) << row.name;
    EXPECT_EQ(object->m_Kind_Flags, 0x21u) << row.name << ": counted enemy ammunition";
    EXPECT_NEAR(object->m_Collision_Radius, row.reach_radius, 0.01f) << row.name;
    EXPECT_EQ(CSim_Stats::Points_For(object).points, row.points) << row.name;
  }
}

TEST_F(Family, HittersAreRefusedIgnoredOrTakenByClass) {
  Hitter shot(0x10), other_ammo(0x21, 61), boss(0x08, 68), pusher(0x04);
  CWorld_Object* hitters[kHitter_Count] = {&shot, &other_ammo, &boss, &pusher, nullptr};
  const CShot_Line line{{0, 0, 0}, {0, 0, 1}};
  for (const Row& row : kRows) {
    for (int h = 0; h < kHitter_Count; ++h) {
      CWorld_Object* object = Spawn(row.type, Ahead(3000.0f));
      ASSERT_NE(object, nullptr);
      Grow_Up(*object, row.youth);
      const float timer = object->m_Kill_Timer;
      const bool answer = object->On_Hit(hitters[h], h == kLine ? &line : nullptr);
      Answer got = answer ? Answer::kIgnored : Answer::kRefused;
      if (answer && (object->m_Kind_Flags & 0x40)) got = Answer::kTaken;
      if (answer && !(object->m_Kind_Flags & 0x40) && object->m_Kill_Timer != timer) got = Answer::kPushed;
      EXPECT_STREQ(Name(got), Name(row.answers[h])) << row.name << " hit by " << kHitter_Names[h];
      object->m_Kill_Timer = 1.0f;
    }
  }
}

TEST_F(Family, YoungAmmunitionRefusesEveryHit) {
  Hitter shot(0x10);
  for (const Row& row : kRows) {
    if (row.youth <= 0.0f) continue;
    CWorld_Object* object = Spawn(row.type, Ahead(3000.0f));
    ASSERT_NE(object, nullptr);
    Run(*object, row.youth - 0.05f);
    EXPECT_FALSE(object->On_Hit(&shot, nullptr)) << row.name << " just before its youth ends";
    Hold_Still(*object);
    Run(*object, 0.1f);
    EXPECT_TRUE(object->On_Hit(&shot, nullptr)) << row.name << " just after";
  }
}

TEST_F(Family, AFirstShotRegistersOnceWithTheClassPoints) {
  Hitter shot(0x10);
  for (const Row& row : kRows) {
    CWorld_Object* object = Spawn(row.type, Ahead(3000.0f));
    ASSERT_NE(object, nullptr);
    Grow_Up(*object, row.youth);
    const uint32_t hits = g_Sim_Stats.m_Hits;
    object->On_Hit(&shot, nullptr);
    object->On_Hit(&shot, nullptr);
    // The crystal registers nothing of its own: the boss counts its shards.
    EXPECT_EQ(g_Sim_Stats.m_Hits, hits + (row.type == 57 ? 0u : 1u)) << row.name;
  }
}

TEST_F(Family, UntouchedAmmunitionFadesAtTheEndOfItsLifeAtItsRate) {
  // No pull towards the camera: each one stays where it is until its life ends.
  g_Difficulty_Factor = 0.0f;
  for (const Row& row : kRows) {
    CWorld_Object* object = Spawn(row.type, Ahead(3000.0f));
    ASSERT_NE(object, nullptr);
    if (row.type == CEmmo_Bar_1::kType) static_cast<CEmmo_Bar_1*>(object)->m_Aim = object->m_Position;
    if (row.type == CEmmo_Missile_1::kType)
      for (CVector3& point : static_cast<CEmmo_Missile_1*>(object)->m_Waypoints) point = object->m_Position;
    const float started = Run_Until(*object, row.life + 0.1f, [&] { return object->m_Kill_Timer != 0.0f; });
    EXPECT_NEAR(started, row.life, 0.01f) << row.name;
    Hold_Still(*object);
    const float before = object->m_Kill_Timer;
    Run(*object, 0.5f);
    EXPECT_NEAR((object->m_Kill_Timer - before) / 0.5f, row.fade, 0.02f) << row.name;
  }
}

TEST_F(Family, ReachingClassesStrikeWithinTheirReachAndOthersNever) {
  for (const Row& row : kRows) {
    for (const float margin : {-1.0f, 1.0f}) {
      Clear_Flashes();
      const float reach = std::sqrt(row.reach_radius * row.reach_radius + 85.0f * 85.0f);
      CWorld_Object* object = Spawn(row.type, Ahead(3000.0f));
      ASSERT_NE(object, nullptr);
      Grow_Up(*object, row.youth);
      object->Set_Position(Ahead(1.0f, reach + margin, 0.0f));
      object->m_State_Flags |= kState_No_Gravity;
      object->Update(0.0f);
      const bool inside = margin < 0.0f && row.reaches;
      EXPECT_EQ(Player_Hits().size(), inside ? 1u : 0u) << row.name << (margin < 0 ? " inside" : " outside");
      if (inside) {
        EXPECT_FLOAT_EQ(Player_Hits().front(), 0.35f) << row.name;
        EXPECT_FLOAT_EQ(object->m_Kill_Timer, 0.001f) << row.name;
      }
      object->m_Kill_Timer = 1.0f;
    }
  }
}

}  // namespace
}  // namespace ammo_test
