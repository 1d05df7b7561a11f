// What each class does of its own: anti-matter seeking and annihilation, the bomb's landing and
// defusing, the bullet's drift, firing and track slot, the canister's ground, the disc's aims
// and facing, the missile's waypoints and thrust, the roller's leap and lanes, and no position
// that is not a number.
#include <cmath>
#include <functional>
#include <initializer_list>

#include "game/core/CObject_Pool.h"
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
#include "game/enemies/Emmo_Shared.h"
#include "game/fx/CDebris_Dirt.h"
#include "tests/game/sim/ammunition_fixture.h"

namespace ammo_test {
namespace {

using Behaviour = Ammunition;

// ---------------------------------------------------------------------------------------------
// Anti-matter

CEmmo_Anti_Matter* Blob(CEmmo_Anti_Matter* blob, int variant, const CVector3& place) {
  blob->Spawn(&variant);
  blob->Set_Position(place);
  blob->m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.0f};
  blob->m_State_Flags |= kState_No_Gravity | kState_No_World_Contact;
  return blob;
}

TEST_F(Behaviour, OnlyBlobsOfTheOtherVariantSeekEachOther) {
  struct Case {
    int a, b;
    bool seek;
  } cases[] = {{0, 0, false}, {1, 1, false}, {0, 1, true}, {1, 0, true}};
  for (const Case& c : cases) {
    CEmmo_Anti_Matter* a = Blob(Take<CEmmo_Anti_Matter>(), c.a, Ahead(2000.0f));
    CEmmo_Anti_Matter* b = Blob(Take<CEmmo_Anti_Matter>(), c.b, Ahead(2000.0f, 400.0f));
    for (int i = 0; i < 10; ++i) {
      a->Update(kStep);
      b->Update(kStep);
    }
    EXPECT_EQ(a->Sought() == b, c.seek) << c.a << " and " << c.b;
    EXPECT_EQ(b->Sought() == a, c.seek) << c.a << " and " << c.b;
    Retire(a);
    Retire(b);
  }
}

TEST_F(Behaviour, OnlyABlueBlobAnnihilatesAndTheStrikeComesLaterAnywhere) {
  CEmmo_Anti_Matter* red = Blob(Take<CEmmo_Anti_Matter>(), 0, Ahead(4000.0f));
  CEmmo_Anti_Matter* blue = Blob(Take<CEmmo_Anti_Matter>(), 1, Ahead(4000.0f, 300.0f));
  Run(*red, 0.6f);
  Run(*blue, 0.6f);
  Clear_Flashes();
  EXPECT_TRUE(red->On_Hit(blue, nullptr));
  EXPECT_EQ(red->m_Pulse, 0.0f) << "a red blob does not annihilate";
  EXPECT_EQ(blue->m_Kill_Timer, 0.0f);
  EXPECT_TRUE(blue->On_Hit(red, nullptr));
  EXPECT_FLOAT_EQ(red->m_Kill_Timer, 0.01f);
  EXPECT_FLOAT_EQ(blue->m_Pulse, 0.01f);
  EXPECT_TRUE(blue->m_Pushed) << "its body is no longer drawn";
  const float struck = Run_Until(*blue, 2.0f, [&] { return !Player_Hits().empty(); });
  EXPECT_NEAR(struck, 0.66f, 0.01f) << "4000 units away";
  ASSERT_EQ(Player_Hits().size(), 1u);
  EXPECT_FLOAT_EQ(Player_Hits()[0], 0.45f);
  Run(*blue, 2.0f);
  EXPECT_EQ(Player_Hits().size(), 1u) << "one strike";
}

// ---------------------------------------------------------------------------------------------
// Bomb

CEmmo_Bomb* Landing_Bomb(CEmmo_Bomb* bomb, const CVector3& place) {
  bomb->Setup(place);
  bomb->Set_Position(place);
  for (float t = 0.0f; t < 0.6f; t += kStep) bomb->Update(kStep);
  return bomb;
}

const CVector3 kUp{0.0f, 1.0f, 0.0f};

TEST_F(Behaviour, ALandedBombStrikesOnceAboutTwoThirdsOfAUnitLater) {
  CEmmo_Bomb* bomb = Landing_Bomb(Take<CEmmo_Bomb>(), Ahead(3000.0f, 0.0f, 200.0f));
  bomb->m_State_Flags |= kState_No_Gravity | kState_No_World_Contact;
  Clear_Flashes();
  bomb->On_Floor_Contact(1.0f, bomb->m_Position, kUp);
  EXPECT_TRUE(bomb->m_Exploded);
  EXPECT_FLOAT_EQ(bomb->m_Kill_Timer, 0.01f);
  const float struck = Run_Until(*bomb, 3.0f, [&] { return !Player_Hits().empty(); });
  EXPECT_NEAR(struck, 0.66f, 0.01f);
  ASSERT_EQ(Player_Hits().size(), 1u);
  EXPECT_FLOAT_EQ(Player_Hits()[0], 0.5f);
  Run(*bomb, 3.0f);
  EXPECT_EQ(Player_Hits().size(), 1u);
}

TEST_F(Behaviour, AShotBombIsDefusedAndWallsAreIgnored) {
  Hitter shot(0x10);
  CEmmo_Bomb* shot_bomb = Landing_Bomb(Take<CEmmo_Bomb>(), Ahead(3000.0f, 0.0f, 200.0f));
  const uint32_t hits = g_Sim_Stats.m_Hits;
  EXPECT_TRUE(shot_bomb->On_Hit(&shot, nullptr));
  EXPECT_EQ(g_Sim_Stats.m_Hits, hits + 1);
  Clear_Flashes();
  shot_bomb->On_Floor_Contact(1.0f, shot_bomb->m_Position, kUp);
  EXPECT_FALSE(shot_bomb->m_Exploded);
  Run(*shot_bomb, 3.0f);
  EXPECT_TRUE(Player_Hits().empty()) << "defused";

  CEmmo_Bomb* bomb = Landing_Bomb(Take<CEmmo_Bomb>(), Ahead(3000.0f, 0.0f, 200.0f));
  const uint32_t flags = bomb->m_State_Flags;
  for (const CVector3& wall : {CVector3{1, 0, 0}, CVector3{-1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, 0, -1}}) {
    bomb->On_Floor_Contact(1.0f, bomb->m_Position, wall);
    EXPECT_FALSE(bomb->m_Exploded);
    EXPECT_EQ(bomb->m_Kill_Timer, 0.0f);
    EXPECT_EQ(bomb->m_State_Flags, flags) << "the wall neither explodes nor slows it";
  }
}

// ---------------------------------------------------------------------------------------------
// Bullet

CEmmo_Bullet_1* Bullet(CEmmo_Bullet_1* bullet, int direction, const CVector3& place) {
  const int variant = 2;
  bullet->Spawn(&variant, &direction, &place);
  return bullet;
}

TEST_F(Behaviour, AnUnfiredBulletDriftsAtHalfBrightnessAndNeverHomes) {
  struct Case {
    int direction;
    CVector3 velocity;
  } cases[] = {{0, {65, 0, 0}}, {1, {-65, 0, 0}}, {2, {0, -45.5f, 0}}, {3, {0, 45.5f, 0}}, {4, {0, 0, -65}},
               {7, {0, 0, 0}}};
  for (const Case& c : cases) {
    CEmmo_Bullet_1* bullet = Bullet(Take<CEmmo_Bullet_1>(), c.direction, Ahead(2500.0f, 0.0f, 300.0f));
    Run(*bullet, 2.0f);
    EXPECT_NEAR(bullet->m_Box.velocity.x, c.velocity.x, 0.01f) << c.direction;
    EXPECT_NEAR(bullet->m_Box.velocity.y, c.velocity.y, 0.01f) << c.direction;
    EXPECT_NEAR(bullet->m_Box.velocity.z, c.velocity.z, 0.01f) << c.direction;
    const CColor4 full = emmo::Variant_Color(2, false);
    EXPECT_FLOAT_EQ(bullet->Body_Colour().g, 0.5f * full.g) << c.direction;
    bullet->Play_Sound_Once();
    EXPECT_FLOAT_EQ(bullet->Body_Colour().g, full.g) << "fired, it lights up";
    bullet->m_Kill_Timer = 1.0f;
  }
}

TEST_F(Behaviour, FiringPlaysTheSoundOnceAndHomes) {
  CEmmo_Bullet_1* bullet = Bullet(Take<CEmmo_Bullet_1>(), 0, Ahead(2500.0f, 0.0f, 300.0f));
  sounds().played.clear();
  bullet->Play_Sound_Once();
  bullet->Play_Sound_Once();
  EXPECT_EQ(sounds().Count(0x22000156), 1);
  Run(*bullet, 1.0f);
  EXPECT_LT(bullet->m_Box.velocity.z, -100.0f) << "homing on the camera";
}

TEST_F(Behaviour, EveryWayABulletStartsToDieLeavesItsTrackSlot) {
  Hitter shot(0x10);
  struct Case {
    const char* name;
    std::function<void(CEmmo_Bullet_1&)> kill;
  };
  const Case cases[] = {
      {"shot", [&](CEmmo_Bullet_1& b) { b.On_Hit(&shot, nullptr); }},
      {"reached the player", [&](CEmmo_Bullet_1& b) { b.Set_Position(eye); b.Update(kStep); }},
      {"old", [&](CEmmo_Bullet_1& b) { Run(b, 30.1f); }},
      {"passed the camera", [&](CEmmo_Bullet_1& b) { b.Set_Position(Ahead(-5.0f, 500.0f)); b.Update(kStep); }},
      {"landed", [&](CEmmo_Bullet_1& b) { Run(b, 1.6f); b.On_Floor_Contact(kUp); }},
      {"not a number", [&](CEmmo_Bullet_1& b) { b.m_Position.x = std::nanf(""); b.Update(kStep); }},
      {"swept by the world", [&](CEmmo_Bullet_1& b) {
         g_World.Add_Object(2, &b);
         b.m_Kill_Timer = 1.0f;
         g_World.Remove_Dead_Objects();
       }},
  };
  for (const Case& c : cases) {
    g_Music_Track.m_Sections.clear();
    g_Music_Track.m_Clock = 2.0f;
    CTrack_Section section;
    section.events.emplace_back();
    section.events[0].start = 1.0f;
    section.events[0].end = 50.0f;
    CEmmo_Bullet_1* bullet = Bullet(Take<CEmmo_Bullet_1>(), 7, Ahead(2500.0f, 0.0f, 300.0f));
    section.events[0].objects[0] = bullet;
    g_Music_Track.m_Sections.push_back(section);
    c.kill(*bullet);
    EXPECT_NE(bullet->m_Kill_Timer, 0.0f) << c.name;
    EXPECT_EQ(g_Music_Track.m_Sections[0].events[0].objects[0], nullptr) << c.name;
    if (bullet->m_List >= 0) m_Taken.pop_back();  // the world gave it back already
    bullet->m_Kill_Timer = 1.0f;
  }
  g_Music_Track.m_Sections.clear();
}

TEST_F(Behaviour, ABulletIgnoresTheGroundForItsFirstUnitAndAHalf) {
  CEmmo_Bullet_1* bullet = Bullet(Take<CEmmo_Bullet_1>(), 7, Ahead(2500.0f, 0.0f, 300.0f));
  Run(*bullet, 1.4f);
  bullet->On_Floor_Contact(kUp);
  EXPECT_EQ(bullet->m_Kill_Timer, 0.0f);
  Run(*bullet, 0.2f);
  bullet->On_Floor_Contact(kUp);
  EXPECT_FLOAT_EQ(bullet->m_Kill_Timer, 0.001f);
}

// ---------------------------------------------------------------------------------------------
// Canister

TEST_F(Behaviour, ACanIgnoresTheGroundUntilItsAgeIsPastOneFifteen) {
  const int variant = 0;
  CEmmo_Can* can = Take<CEmmo_Can>();
  const CVector3 ground{eye.x, g_World.Get_Height(eye.x, eye.z + 2000.0f), eye.z + 2000.0f};
  ASSERT_TRUE(can->Spawn(&variant, &ground));
  EXPECT_NE(can->m_State_Flags & 0x20u, 0u) << "out of terrain contact at first";
  Run(*can, 1.1f);
  can->On_Floor_Contact(kUp);
  EXPECT_EQ(can->m_Kill_Timer, 0.0f);
  Run(*can, 0.1f);
  EXPECT_EQ(can->m_State_Flags & 0x20u, 0u) << "terrain contact from 1.15 on";
  can->On_Floor_Contact(kUp);
  EXPECT_FLOAT_EQ(can->m_Kill_Timer, 0.001f);
}

TEST_F(Behaviour, ACanSpawnsWithoutClodsWhenTheDirtPoolIsEmpty) {
  CObject_Pool* dirt = g_Object_Pools[CDebris_Dirt::kType];
  ASSERT_NE(dirt, nullptr);
  std::vector<CWorld_Object*> held;
  while (CWorld_Object* clod = dirt->Alloc_Object()) held.push_back(clod);
  const int variant = 1;
  const CVector3 ground{eye.x, g_World.Get_Height(eye.x, eye.z + 2000.0f), eye.z + 2000.0f};
  CEmmo_Can* can = Take<CEmmo_Can>();
  EXPECT_TRUE(can->Spawn(&variant, &ground));
  EXPECT_GT(can->m_Box.velocity.Length(), 0.0f) << "launched all the same";
  for (CWorld_Object* clod : held) dirt->Free_Object(clod);
  const int before = static_cast<int>(held.size());
  CEmmo_Can* second = Take<CEmmo_Can>();
  EXPECT_TRUE(second->Spawn(&variant, &ground));
  int thrown = 0;
  while (g_World.Find_Object_By_Type(CDebris_Dirt::kType, thrown) != nullptr) ++thrown;
  EXPECT_EQ(thrown, 4) << "with clods free, four are thrown (" << before << " were held)";
}

// ---------------------------------------------------------------------------------------------
// Disc

TEST_F(Behaviour, AboutOneDiscInTenAimsWideToEachSide) {
  int left = 0, right = 0, near = 0;
  const int kSpawns = 400;
  const int variant = 0;
  const CVector3 start = Ahead(2500.0f, 0.0f, 600.0f);
  for (int i = 0; i < kSpawns; ++i) {
    CEmmo_Discus_1* disc = Take<CEmmo_Discus_1>();
    disc->Spawn(&variant, &start);
    const float dx = disc->m_Aim.x - eye.x;
    EXPECT_LE(std::fabs(disc->m_Aim.y - eye.y), 100.0f);
    if (dx < -50.0f) {
      ++left;
      EXPECT_GE(dx, -255.0f);
    } else if (dx > 50.0f) {
      ++right;
      EXPECT_LE(dx, 255.0f);
    } else {
      ++near;
      EXPECT_LE(std::fabs(dx), 20.0f);
    }
    Retire(disc);
  }
  EXPECT_NEAR(left / float(kSpawns), 0.1f, 0.04f);
  EXPECT_NEAR(right / float(kSpawns), 0.1f, 0.04f);
}

TEST_F(Behaviour, ADiscFallingStraightDownTurnsWithoutFlipping) {
  const int variant = 0;
  const CVector3 start = Ahead(2500.0f, 0.0f, 2000.0f);
  CEmmo_Discus_1* disc = Take<CEmmo_Discus_1>();
  disc->Spawn(&variant, &start);
  disc->m_Aim = CVector3{start.x, start.y - 100000.0f, start.z};
  disc->m_State_Flags |= kState_No_World_Contact;
  disc->m_Box.spin = CVector3{0.0f, 0.0f, 0.0f};
  CVector3 previous = disc->m_Orientation.rows[2];
  float largest_turn = 0.0f;
  for (int i = 0; i < 600; ++i) {
    disc->Update(kStep);
    const CVector3& z = disc->m_Orientation.rows[2];
    ASSERT_TRUE(Finite(z)) << "step " << i;
    CVector3 change;
    z.Subtract(previous, change);
    largest_turn = std::fmax(largest_turn, change.Length());
    previous = z;
  }
  EXPECT_LT(disc->m_Orientation.rows[2].y, -0.95f) << "facing along its fall";
  EXPECT_LT(largest_turn, 0.1f) << "no sudden flip";
}

// ---------------------------------------------------------------------------------------------
// Passing the camera

// The bar starts an ordinary fade once it is nearer than the camera; the disc is removed at once.
TEST_F(Behaviour, PastTheCameraABarFadesWhileADiscIsRemovedAtOnce) {
  const int variant = 0;
  const CVector3 start = Ahead(2500.0f);
  // Well to the side of the camera, so that neither reaches the player.
  const CVector3 behind = Ahead(-200.0f, 400.0f);
  CEmmo_Bar_1* bar = Take<CEmmo_Bar_1>();
  CEmmo_Discus_1* disc = Take<CEmmo_Discus_1>();
  bar->Spawn(&variant, &start);
  disc->Spawn(&variant, &start);
  for (CBox_Object* ammo : std::initializer_list<CBox_Object*>{bar, disc}) {
    ammo->Set_Position(behind);
    ammo->m_State_Flags |= kState_No_World_Contact;
    ammo->Update(kStep);
  }
  EXPECT_GE(disc->m_Kill_Timer, 1.0f);
  EXPECT_GT(bar->m_Kill_Timer, 0.0f);
  EXPECT_LT(bar->m_Kill_Timer, 0.02f);
  EXPECT_FALSE(bar->m_Hit_Player);
  EXPECT_FALSE(disc->m_Hit_Player);
  EXPECT_TRUE(Player_Hits().empty());
}

// ---------------------------------------------------------------------------------------------
// Missile

TEST_F(Behaviour, AMissileFliesAtTheWaypointOfItsDepth) {
  CEmmo_Missile_1* missile = Take<CEmmo_Missile_1>();
  const CVector3 start = Ahead(2500.0f, 0.0f, 100.0f);
  ASSERT_TRUE(missile->Spawn(&start));
  const CVector3* w = missile->m_Waypoints;
  EXPECT_FLOAT_EQ(w[0].y, start.y + 200.0f);
  EXPECT_FLOAT_EQ(w[0].z, start.z - 100.0f);
  EXPECT_FLOAT_EQ(w[4].z, eye.z);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_LT(w[i].z, w[i - 1].z) << i;
    EXPECT_GT(w[i].z, eye.z) << i;
  }
  EXPECT_FLOAT_EQ(w[3].z, 0.5f * (w[2].z + eye.z));
  struct Case {
    float z;
    int waypoint;
  } cases[] = {{w[0].z + 1.0f, 0}, {w[0].z - 1.0f, 1}, {w[1].z + 1.0f, 1}, {w[1].z - 1.0f, 4}, {eye.z + 5.0f, 4}};
  for (const Case& c : cases) {
    missile->m_Position.z = c.z;
    EXPECT_EQ(missile->Target_Waypoint(), c.waypoint) << c.z;
  }
}

TEST_F(Behaviour, AMissileThrustsOnlyBelowTwoHundredFifty) {
  CEmmo_Missile_1* missile = Take<CEmmo_Missile_1>();
  const CVector3 start = Ahead(2500.0f, 0.0f, 100.0f);
  ASSERT_TRUE(missile->Spawn(&start));
  struct Case {
    float speed;
    bool thrust;
  } cases[] = {{300.0f, false}, {250.0f / (1.0f - 2.0f * kStep) + 1.0f, false}, {100.0f, true}};
  for (const Case& c : cases) {
    missile->m_Orientation = CMatrix3x3::Identity;
    missile->m_Waypoints[0] = CVector3{start.x, start.y, start.z + 1.0e6f};
    missile->m_Position = start;
    missile->m_Sphere.velocity = CVector3{0.0f, 0.0f, c.speed};
    missile->Steer(kStep);
    const float dragged = c.speed * (1.0f - 2.0f * kStep);
    if (c.thrust)
      EXPECT_NEAR(missile->m_Sphere.velocity.z, dragged + 2000.0f * kStep, 0.01f) << c.speed;
    else
      EXPECT_NEAR(missile->m_Sphere.velocity.z, dragged, 0.01f) << c.speed;
  }
}

// ---------------------------------------------------------------------------------------------
// Roller

TEST_F(Behaviour, ARollerLeapsOnceWhenNearerThan850) {
  const int variant = 3;
  CEmmo_Roller* roller = Take<CEmmo_Roller>();
  roller->Spawn(&variant);
  roller->Set_Position(CVector3{eye.x, 200.0f, 900.0f});
  roller->m_State_Flags |= kState_No_World_Contact;
  roller->Update(kStep);
  EXPECT_FALSE(roller->m_Jumped);
  roller->Set_Position(CVector3{eye.x, 200.0f, 849.0f});
  roller->Update(kStep);
  ASSERT_TRUE(roller->m_Jumped);
  EXPECT_LT(roller->m_Sphere.velocity.z, 0.0f) << "at the camera";
  EXPECT_NE(roller->m_State_Flags & 0x80u, 0u);
  const CVector3 leap = roller->m_Sphere.velocity;
  roller->Update(kStep);
  EXPECT_NEAR(roller->m_Sphere.velocity.z, leap.z, 1.0f) << "no second leap";
}

TEST_F(Behaviour, ARollerIsSteeredBackIntoTheMiddleHalf) {
  struct Case {
    float fraction;
    int sign;  // of the spin it gains about z
  } cases[] = {{0.1f, -1}, {0.2f, -1}, {0.5f, 0}, {0.8f, 1}, {0.95f, 1}};
  for (const Case& c : cases) {
    const int variant = 0;
    CEmmo_Roller* roller = Take<CEmmo_Roller>();
    roller->Spawn(&variant);
    roller->Set_Position(CVector3{c.fraction * X, 600.0f, 3000.0f});
    roller->m_State_Flags |= kState_No_World_Contact | kState_No_Gravity;
    roller->Update(kStep);
    const float spin_z = roller->m_Sphere.spin.z;
    if (c.sign == 0)
      EXPECT_EQ(spin_z, 0.0f) << c.fraction;
    else
      EXPECT_EQ(spin_z > 0.0f ? 1 : -1, c.sign) << c.fraction;
    roller->m_Kill_Timer = 1.0f;
  }
}

// ---------------------------------------------------------------------------------------------
// Every class: no position that is not a number

TEST_F(Behaviour, NoClassReachesANonNumberFromRestOrAtTheCamera) {
  const int variant = 1, still = -1;
  const std::function<CWorld_Object*(const CVector3&)> makers[] = {
      [&](const CVector3& p) { auto* o = Take<CEmmo_Ball>(); o->Setup(variant); o->Set_Position(p); return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Ball_2>(); o->Spawn(&variant, &p); return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Crystal_1>(); o->Setup(p); return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Missile_1>(); o->Spawn(&p); return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Discus_1>(); o->Spawn(&variant, &p); o->m_Aim = p; return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Bar_1>(); o->Spawn(&variant, &p); o->m_Aim = p; return o; },
      [&](const CVector3& p) {
        auto* o = Take<CEmmo_Bullet_1>();
        o->Spawn(&variant, &still, &p);
        o->m_Aim = p;
        o->Play_Sound_Once();
        return o;
      },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Bomb>(); o->Setup(p); o->Set_Position(p); return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Anti_Matter>(); o->Spawn(&variant); o->Set_Position(p); return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Roller>(); o->Spawn(&variant); o->Set_Position(p); return o; },
      [&](const CVector3& p) { auto* o = Take<CEmmo_Can>(); o->Spawn(&variant, &p); return o; },
  };
  for (const CVector3& place : {eye, Ahead(0.001f)}) {
    for (const auto& make : makers) {
      CWorld_Object* object = make(place);
      object->m_Sphere.velocity = object->m_Box.velocity = CVector3{0.0f, 0.0f, 0.0f};
      object->m_Sphere.spin = object->m_Box.spin = CVector3{0.0f, 0.0f, 0.0f};
      for (int i = 0; i < 50; ++i) object->Update(kStep);
      EXPECT_TRUE(Finite(object->m_Position)) << object->m_Type;
      for (const CVector3& row : object->m_Orientation.rows) EXPECT_TRUE(Finite(row)) << object->m_Type;
      object->m_Kill_Timer = 1.0f;
    }
  }
}

}  // namespace
}  // namespace ammo_test
