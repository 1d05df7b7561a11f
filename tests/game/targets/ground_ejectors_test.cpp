// The pill, roller, star, sparkler and twirler ejectors in a running world: every resource's
// failure message, the launch table (direction, speed, spin) after the rise, one launch per
// update, the fuse's burn and its one launch, the sparklers it lets go, and how high the spawner
// stands a pill ejector so that its line clears the ground.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/core/CTarget_Link_Pool.h"
#include "game/targets/CEjector_Pill.h"
#include "game/targets/CEjector_Roller.h"
#include "game/targets/CEjector_Sparkler.h"
#include "game/targets/CEjector_Stars.h"
#include "game/targets/CEjector_Twirler.h"
#include "game/targets/CTarget_Goo.h"
#include "game/targets/CTarget_Jumper.h"
#include "game/targets/CTarget_Line.h"
#include "game/targets/CTarget_Pill.h"
#include "game/targets/CTarget_Roller.h"
#include "game/targets/CTarget_Sparkler.h"
#include "game/targets/CTarget_Star.h"
#include "game/targets/CTarget_Twirler.h"
#include "tests/game/targets/ground_fixture.h"

namespace ground_test {
namespace {

constexpr float kDt = 0.05f;

// Builds one object outside any pool, runs its Init with the id refused, and answers Init's result.
template <class T>
bool Init_Fresh() {
  auto object = std::make_unique<T>();
  const bool ok = object->Init();
  object->Term();
  return ok;
}

struct Failure_Case {
  uint32_t id;
  const char* message;
  std::function<bool()> init;
};

TEST_F(Ground, EachInitFailsAtEachResourceWithItsOwnMessage) {
  const std::vector<Failure_Case> cases = {
      {0x2200005E, "Error in CEjector_Pill\nUnable to create texture...", Init_Fresh<CEjector_Pill>},
      {0x2200005C, "Error in CEjector_Pill\nUnable to create texture...", Init_Fresh<CEjector_Pill>},
      {0x22000031, "Error in CEjector_Pill\nUnable to load shader...", Init_Fresh<CEjector_Pill>},
      {0x2200005C, "Error in CEjector_Roller\nUnable to create texture...", Init_Fresh<CEjector_Roller>},
      {0x22000031, "Error in CEjector_Roller\nUnable to load shader...", Init_Fresh<CEjector_Roller>},
      {0x220000AD, "Error in CEjector_Stars\nUnable to create renderable object...", Init_Fresh<CEjector_Stars>},
      {0x22000029, "Error in CEjector_Stars\nUnable to load texture...", Init_Fresh<CEjector_Stars>},
      {0x22000043, "Error in CEjector_Stars\nUnable to load shader...", Init_Fresh<CEjector_Stars>},
      {0x220000AE, "Error in CEjector_Stars\nUnable to load shader...", Init_Fresh<CEjector_Stars>},
      {0x22000064, "Error in CEjector_Sparkler\nUnable to load texture...", Init_Fresh<CEjector_Sparkler>},
      {0x2200002E, "Error in CEjector_Sparkler\nUnable to load shader...", Init_Fresh<CEjector_Sparkler>},
      {0x22000031, "Error in CEjector_Sparkler\nUnable to load shader...", Init_Fresh<CEjector_Sparkler>},
      {0x22000084, "Error in CEjector_Enemy_Mosquito\nUnable to load texture...", Init_Fresh<CEjector_Sparkler>},
      {0x22000032, "Error in CEjector_Enemy_Mosquito\nUnable to create texture...", Init_Fresh<CEjector_Sparkler>},
      {0x22000020, "Error in CEjector_Sparkler\nUnable to load shader...", Init_Fresh<CEjector_Sparkler>},
      {0x220000B2, "Error in CEjector_Twirler\nUnable to create renderable object...", Init_Fresh<CEjector_Twirler>},
      {0x220000B3, "Error in CEjector_Twirler\nUnable to create renderable object...", Init_Fresh<CEjector_Twirler>},
      {0x22000029, "Error in CEjector_Twirler\nUnable to load texture...", Init_Fresh<CEjector_Twirler>},
      {0x22000028, "Error in CEjector_Twirler\nUnable to load texture...", Init_Fresh<CEjector_Twirler>},
      {0x2200005C, "Error in CStruct_Energy_Source_Arm\nUnable to load texture...", Init_Fresh<CEjector_Twirler>},
      {0x22000047, "Error in CStruct_Energy_Source_Arm\nUnable to load texture...", Init_Fresh<CEjector_Twirler>},
      {0x2200004D, "Error in CEjector_Twirler\nUnable to load shader...", Init_Fresh<CEjector_Twirler>},
      {0x22000031, "Error in CStruct_Energy_Source_Arm\nUnable to load texture...", Init_Fresh<CEjector_Twirler>},
      {0x22000020, "Error in CEjector_Twirler\nUnable to load shader...", Init_Fresh<CEjector_Twirler>},
      {0x2200010C, "Error in CTarget_Line\nUnable to create renderable object...", Init_Fresh<CTarget_Line>},
      {0x2200003B, "Error in CTarget_Line\nUnable to load texture...", Init_Fresh<CTarget_Line>},
      {0x2200003C, "Error in CTarget_Line\nUnable to load shader...", Init_Fresh<CTarget_Line>},
      {0x22000020, "Error in CTarget_Line\nUnable to load shader...", Init_Fresh<CTarget_Line>},
      {0x220000A5, "Error in CTarget_Pill\nUnable to create renderable object...", Init_Fresh<CTarget_Pill>},
      {0x22000025, "Error in CTarget_Pill\nUnable to load texture...", Init_Fresh<CTarget_Pill>},
      {0x220000C2, "Error in CTarget_Pill\nUnable to load shader...", Init_Fresh<CTarget_Pill>},
      {0x220000AF, "Error in CTarget_Star\nUnable to create renderable object...", Init_Fresh<CTarget_Star>},
      {0x2200003B, "Error in CTarget_Star\nUnable to load texture...", Init_Fresh<CTarget_Star>},
      {0x2200003C, "Error in CTarget_Star\nUnable to load texture...", Init_Fresh<CTarget_Star>},
      {0x22000020, "Error in CTarget_Star\nUnable to load shader...", Init_Fresh<CTarget_Star>},
      {0x220000B5, "Error in CTarget_Roller\nUnable to create renderable object...", Init_Fresh<CTarget_Roller>},
      {0x2200003B, "Error in CTarget_Roller\nUnable to load texture...", Init_Fresh<CTarget_Roller>},
      {0x2200003C, "Error in CTarget_Roller\nUnable to load texture...", Init_Fresh<CTarget_Roller>},
      {0x22000020, "Error in CTarget_Roller\nUnable to load shader...", Init_Fresh<CTarget_Roller>},
      {0x22000114, "Error in CTarget_Jumper\nUnable to create renderable object...", Init_Fresh<CTarget_Jumper>},
      {0x22000044, "Error in CTarget_Jumper\nUnable to load texture...", Init_Fresh<CTarget_Jumper>},
      {0x2200005C, "Error in CTarget_Jumper\nUnable to load texture...", Init_Fresh<CTarget_Jumper>},
      {0x2200003C, "Error in CTarget_Jumper\nUnable to load shader...", Init_Fresh<CTarget_Jumper>},
      {0x22000031, "Error in CTarget_Jumper\nUnable to load shader...", Init_Fresh<CTarget_Jumper>},
      {0x22000020, "Error in CTarget_Jumper\nUnable to load shader...", Init_Fresh<CTarget_Jumper>},
      {0x22000000, "Error in CTarget_Goo\nUnable to create renderable object...", Init_Fresh<CTarget_Goo>},
      {0x2200002C, "Error in CTarget_Goo\nUnable to load texture...", Init_Fresh<CTarget_Goo>},
      {0x2200003C, "Error in CTarget_Goo\nUnable to load texture...", Init_Fresh<CTarget_Goo>},
      {0x22000020, "Error in CTarget_Goo\nUnable to load shader...", Init_Fresh<CTarget_Goo>},
      {0x22000047, "Error in CTarget_Sparkler\nUnable to load texture...", Init_Fresh<CTarget_Sparkler>},
      {0x22000031, "Error in CTarget_Sparkler\nUnable to load texture...", Init_Fresh<CTarget_Sparkler>},
      {0x22000047, "Error in CTarget_Twirler\nUnable to load texture...", Init_Fresh<CTarget_Twirler>},
      {0x22000064, "Error in CTarget_Twirler\nUnable to load texture...", Init_Fresh<CTarget_Twirler>},
      {0x22000031, "Error in CTarget_Twirler\nUnable to load texture...", Init_Fresh<CTarget_Twirler>},
  };
  for (const Failure_Case& c : cases) {
    const uint32_t refused = c.id;
    fx::Set_Resource_Filter([refused](uint32_t id) { return id != refused; });
    messages.clear();
    EXPECT_FALSE(c.init()) << std::hex << c.id << " " << c.message;
    ASSERT_FALSE(messages.empty()) << std::hex << c.id << " " << c.message;
    EXPECT_EQ(messages.front(), c.message) << std::hex << c.id;
    EXPECT_EQ(messages.size(), 1u) << "one message per failed Init";
  }
  fx::Set_Resource_Filter(nullptr);
  messages.clear();
  EXPECT_TRUE(Init_Fresh<CEjector_Sparkler>());
  EXPECT_TRUE(Init_Fresh<CTarget_Twirler>());
  EXPECT_TRUE(messages.empty());
}

// The target an ejector threw last: the newest of its type in the world.
template <class T>
T* Launched() {
  T* last = nullptr;
  for (int n = 0; CWorld_Object* object = g_World.Find_Object_By_Type(T::kType, n); ++n) last = static_cast<T*>(object);
  return last;
}

struct Launch_Case {
  const char* name;
  uint32_t argument;
  CVector3 velocity;
  CVector3 spin;
};

void Expect_Near(const CVector3& got, const CVector3& want, const char* what, const char* name) {
  EXPECT_NEAR(got.x, want.x, 1e-3f) << what << " x of " << name;
  EXPECT_NEAR(got.y, want.y, 1e-3f) << what << " y of " << name;
  EXPECT_NEAR(got.z, want.z, 1e-3f) << what << " z of " << name;
}

TEST_F(Ground, PillAndRollerEjectorsThrowAlongWorldAxesAtTheirSpeedWhateverTheirTurn) {
  const float c = std::cos(0.2f), s = std::sin(0.2f);
  const Launch_Case pills[] = {
      {"pill side 0", 0, {160.0f, 0.0f, 0.0f}, {0.0f, -2.0f * s, -2.0f * c}},
      {"pill side 1", 1, {-160.0f, 0.0f, 0.0f}, {0.0f, 2.0f * s, 2.0f * c}},
  };
  for (const Launch_Case& k : pills) {
    CEjector_Pill* ejector = Take<CEjector_Pill>();
    ASSERT_NE(ejector, nullptr);
    ejector->Spawn(k.argument, 2, On_Ground(0.5f * X, 0.5f * Z, 300.0f));
    // A turned ejector still throws along the world's x axis.
    ejector->m_Orientation.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, 1.0f);
    Place(*ejector, ejector->m_Position, 1);
    Step(*ejector, kDt, 12);
    ASSERT_EQ(ejector->m_Rise, 1.0f);
    ejector->Launch_Requested = true;
    ejector->Update(kDt);
    CTarget_Pill* pill = Launched<CTarget_Pill>();
    ASSERT_NE(pill, nullptr) << k.name;
    Expect_Near(pill->m_Box.velocity, k.velocity, "velocity", k.name);
    Expect_Near(pill->m_Box.spin, k.spin, "spin", k.name);
    EXPECT_EQ(pill->m_Variant, 2);
    EXPECT_FALSE(ejector->Launch_Requested);
    ejector->m_Kill_Timer = 1.0f;
    pill->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
  const Launch_Case rollers[] = {
      {"roller 0", 0, {160.0f, 0.0f, 0.0f}, {}}, {"roller 1", 1, {-160.0f, 0.0f, 0.0f}, {}},
      {"roller 2", 2, {0.0f, 0.0f, 160.0f}, {}}, {"roller 3", 3, {0.0f, 0.0f, -160.0f}, {}},
      {"roller 7", 7, {0.0f, 0.0f, 0.0f}, {}},
  };
  for (const Launch_Case& k : rollers) {
    CEjector_Roller* ejector = Take<CEjector_Roller>();
    ASSERT_NE(ejector, nullptr);
    ejector->Spawn(k.argument, 1, On_Ground(0.5f * X, 0.5f * Z, 100.0f));
    Place(*ejector, ejector->m_Position, 1);
    Step(*ejector, kDt, 12);
    ejector->Launch_Requested = true;
    ejector->Update(kDt);
    CTarget_Roller* roller = Launched<CTarget_Roller>();
    ASSERT_NE(roller, nullptr) << k.name;
    Expect_Near(roller->m_Sphere.velocity, k.velocity, "velocity", k.name);
    Expect_Near(roller->m_Sphere.spin, k.spin, "spin", k.name);
    EXPECT_EQ(roller->m_Direction, static_cast<int32_t>(k.argument));
    ejector->m_Kill_Timer = 1.0f;
    roller->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
}

TEST_F(Ground, RequestsWaitForTheRiseAndAreServedOnePerUpdate) {
  CEjector_Roller* ejector = Take<CEjector_Roller>();
  ASSERT_NE(ejector, nullptr);
  ejector->Spawn(0, 0, On_Ground(0.3f * X, 0.5f * Z, 100.0f));
  Place(*ejector, ejector->m_Position, 1);
  ejector->Launch_Requested = true;
  int updates = 0;
  while (Live<CTarget_Roller>() == 0 && updates < 40) {
    ejector->Update(kDt);
    ++updates;
  }
  // Rising at 2 per time unit takes 0.5 (the eleventh update sees age 0.5); the request is
  // served on the update after.
  EXPECT_EQ(updates, 12);
  for (int i = 0; i < 3; ++i) {
    ejector->Launch_Requested = true;
    ejector->Launch_Requested = true;
    ejector->Update(kDt);
  }
  EXPECT_EQ(Live<CTarget_Roller>(), 4) << "one launch per update, repeated requests are one";
  ejector->Update(kDt);
  EXPECT_EQ(Live<CTarget_Roller>(), 4) << "no request, no launch";
}

TEST_F(Ground, StarEjectorSlidesOutAndThrowsLowerFromTheBack) {
  struct Star_Case {
    const char* name;
    float z;
    float low, high;  // the speed range
    CVector3 direction;
  };
  const Star_Case cases[] = {
      {"front", 0.5f, 325.0f, 425.0f, {0.8f, 0.9f, 0.8f}},
      {"back", 0.8f, 375.0f, 445.0f, {0.8f, 0.8f, -0.8f}},
  };
  for (const Star_Case& k : cases) {
    CEjector_Stars* ejector = Take<CEjector_Stars>();
    ASSERT_NE(ejector, nullptr);
    const CVector3 base = On_Ground(0.1f * X, k.z * Z, 300.0f);
    ejector->Spawn(0, 3, base);
    Place(*ejector, base, 1);
    ejector->Update(kDt);
    ejector->Update(kDt);
    // The second update sees age 0.05: risen 0.2 (4 per time unit) of its 35 along the first axis.
    EXPECT_NEAR(ejector->m_Position.x - base.x, 0.2f * 35.0f, 1e-3f) << k.name;
    Step(*ejector, kDt, 5);
    ASSERT_EQ(ejector->m_Rise, 1.0f);
    ejector->Launch_Requested = true;
    ejector->Update(kDt);
    CTarget_Star* star = Launched<CTarget_Star>();
    ASSERT_NE(star, nullptr) << k.name;
    const CVector3 v = star->m_Box.velocity;
    const float speed = v.x / k.direction.x;
    EXPECT_GE(speed, k.low) << k.name;
    EXPECT_LT(speed, k.high) << k.name;
    EXPECT_NEAR(v.y / speed, k.direction.y, 1e-4f) << k.name;
    EXPECT_NEAR(v.z / speed, k.direction.z, 1e-4f) << k.name;
    EXPECT_NEAR(star->m_Box.spin.y, 6.0f * std::cos(0.2f), 1e-4f);
    EXPECT_NEAR(star->m_Position.x, ejector->m_Position.x + 0.85f * 35.0f, 1e-3f);
    EXPECT_EQ(star->m_Variant, 3);
    ejector->m_Kill_Timer = 1.0f;
    star->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
}

TEST_F(Ground, AStarEjectorOnTheRightWallTurnsToThrowIntoTheWorld) {
  const CVector3 place{X - 0.1f, 600.0f, 0.5f * Z};
  ASSERT_TRUE(g_Music_Track.Setup_Ejector(CEjector_Stars::kType, 0x02, nullptr, -1, 1, 0, &place, false));
  CEjector_Stars* right = Nth<CEjector_Stars>(0);
  ASSERT_NE(right, nullptr);
  EXPECT_NEAR(right->m_Orientation.rows[0].x, -1.0f, 1e-5f) << "slides towards -x";
  Step(*right, kDt, 6);
  EXPECT_LT(right->m_Position.x, X - 0.1f);
  const CVector3 left_place{0.1f, 600.0f, 0.5f * Z};
  ASSERT_TRUE(g_Music_Track.Setup_Ejector(CEjector_Stars::kType, 0x01, nullptr, -1, 0, 0, &left_place, false));
  CEjector_Stars* left = nullptr;
  for (int n = 0; CEjector_Stars* e = Nth<CEjector_Stars>(n); ++n)
    if (e != right) left = e;
  ASSERT_NE(left, nullptr);
  EXPECT_NEAR(left->m_Orientation.rows[0].x, 1.0f, 1e-5f);
}

TEST_F(Ground, TwirlerMastRisesThenReleasesTwirlersAtRestInRandomColours) {
  CEjector_Twirler* mast = Take<CEjector_Twirler>();
  ASSERT_NE(mast, nullptr);
  const CVector3 base = On_Ground(0.5f * X, 0.6f * Z, -300.0f);
  mast->Spawn(base);
  Place(*mast, base, 1);
  mast->Launch_Requested = true;
  Step(*mast, kDt, 8);
  EXPECT_EQ(Live<CTarget_Twirler>(), 0) << "the request waits for the rise";
  EXPECT_NEAR(mast->m_Position.y - base.y, 2.5f * 0.35f * 600.0f, 1e-2f);
  Step(*mast, kDt, 2);
  ASSERT_EQ(mast->m_Rise, 1.0f);
  EXPECT_NEAR(mast->m_Position.y - base.y, 600.0f, 1e-3f);
  mast->Update(kDt);
  ASSERT_EQ(Live<CTarget_Twirler>(), 1);
  std::vector<int> colours;
  for (int i = 0; i < 7; ++i) {
    mast->Launch_Requested = true;
    mast->Update(kDt);
  }
  for (int n = 0; CTarget_Twirler* t = Nth<CTarget_Twirler>(n); ++n) {
    colours.push_back(t->m_Variant);
    EXPECT_NEAR(t->m_Position.y, mast->m_Position.y + 255.0f, 1e-3f);
    EXPECT_EQ(t->m_Sphere.velocity.Length(), 0.0f);
    EXPECT_EQ(t->m_Sphere.spin.y, 3.0f);
  }
  ASSERT_EQ(colours.size(), 8u);
  EXPECT_NE(std::count(colours.begin(), colours.end(), colours[0]), 8) << "each twirler draws its own colour";
  // The light flares and fades in half a time unit.
  mast->Set_Glow(1.0f);
  EXPECT_FLOAT_EQ(mast->Halo_Size(), 355.0f);
  Step(*mast, kDt, 10);
  EXPECT_EQ(mast->m_Glow, 0.0f);
  EXPECT_FLOAT_EQ(mast->Halo_Size(), 155.0f);
}

// A fuse spawned on the ground in the middle of the world.
CEjector_Sparkler* Fuse(float x, float z, uint32_t kind, uint32_t colour) {
  CEjector_Sparkler* fuse = static_cast<CEjector_Sparkler*>(CEjector_Sparkler::Pool()->Alloc_Object());
  if (!fuse) return nullptr;
  const uint8_t flag = 1;
  if (!fuse->Spawn(flag, kind, colour, CVector3{x, 400.0f, z})) return nullptr;
  g_World.Add_Object(1, fuse);
  return fuse;
}

TEST_F(Ground, AFuseLaunchesOnceEvenBeforeItHasBurntInAndItsColourlessTwinOnlyBurns) {
  CEjector_Sparkler* fuse = Fuse(0.5f * X, 0.6f * Z, CEjector_Sparkler::kGround, 2);
  ASSERT_NE(fuse, nullptr);
  EXPECT_NEAR(fuse->m_Position.y, g_World.Get_Height(0.5f * X, 0.6f * Z) + 10.0f, 1e-3f);
  EXPECT_EQ(fuse->m_Fuse_Start.z, 0.0f);
  fuse->Launch_Requested = true;
  fuse->Update(kDt);
  ASSERT_EQ(Live<CTarget_Sparkler>(), 1) << "the launch is not held back by the burn";
  EXPECT_TRUE(fuse->m_Launched);
  CTarget_Sparkler* sparkler = Nth<CTarget_Sparkler>(0);
  EXPECT_EQ(sparkler->m_Variant, 2) << "colour value 2 is fuse colour 1, sparkler colour 2";
  EXPECT_NEAR(sparkler->m_Position.y, fuse->m_Position.y + 75.0f, 1e-3f);
  EXPECT_GE(sparkler->m_Sphere.velocity.y, 500.0f);
  EXPECT_LT(sparkler->m_Sphere.velocity.y, 1000.0f);
  fuse->Launch_Requested = true;
  fuse->Update(kDt);
  EXPECT_EQ(Live<CTarget_Sparkler>(), 1) << "a second request does nothing";

  CEjector_Sparkler* blank = Fuse(0.3f * X, 0.6f * Z, CEjector_Sparkler::kLeft_Wall, 0);
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(blank->m_Position.x, 1.0f);
  EXPECT_EQ(blank->m_Position.z, Z) << "a colourless fuse runs to the far edge";
  blank->Launch_Requested = true;
  const float step = 0.0625f;
  int updates = 0;
  while (blank->m_Kill_Timer == 0.0f && updates < 100) {
    blank->Update(step);
    ++updates;
  }
  EXPECT_EQ(Live<CTarget_Sparkler>(), 1) << "no colour, no launch";
  EXPECT_EQ(updates, 25) << "it dies on the update that sees age 1.5";
  EXPECT_NEAR(blank->m_Kill_Timer, 0.0001f + 1.25f * step, 1e-6f);
}

TEST_F(Ground, TheFuseBurnsAlongItsLengthAndTheGlowComesUpAtTheEnd) {
  CEjector_Sparkler* fuse = Fuse(0.5f * X, 0.6f * Z, CEjector_Sparkler::kRight_Wall, 1);
  ASSERT_NE(fuse, nullptr);
  EXPECT_EQ(fuse->m_Position.x, X - 1.0f);
  struct Sample {
    int updates;
    float head_share;  // how far along the head is
    float tail_share;
    float glow;
  };
  // Age after n updates is (n - 1) * dt when the segments are built.
  const Sample samples[] = {{5, 0.4f, 0.0f, 0.0f}, {15, 1.0f, 0.0f, 0.4f}, {25, 1.0f, 0.4f, 1.0f}};
  int done = 0;
  const float length = fuse->m_Fuse_End.z - fuse->m_Fuse_Start.z;
  for (const Sample& s : samples) {
    Step(*fuse, kDt, s.updates - done);
    done = s.updates;
    ASSERT_TRUE(fuse->m_Burning);
    const TexVertex& tail = fuse->m_Segments[0];
    const TexVertex& head = fuse->m_Segments[6 * CEjector_Sparkler::kSegments - 2];
    EXPECT_NEAR(head.z / length, s.head_share, 1e-3f) << s.updates;
    EXPECT_NEAR(tail.z / length, s.tail_share, 1e-3f) << s.updates;
    EXPECT_NEAR(fuse->m_Glow, s.glow, 1e-3f) << s.updates;
    EXPECT_NEAR(head.y, fuse->m_Fuse_End.y, 9.01f) << "a wall fuse stays at its height";
  }
  Step(*fuse, kDt, 10);
  EXPECT_FALSE(fuse->m_Burning);
  EXPECT_EQ(fuse->m_Glow, 1.0f);
}

TEST_F(Ground, ColourFiveLaunchesAColouredSparklerAndOtherValuesOnlyWhite) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    plat::Seed_Random(seed);
    CEjector_Sparkler* fuse = Fuse(0.5f * X, 0.6f * Z, CEjector_Sparkler::kGround, 5);
    ASSERT_NE(fuse, nullptr);
    fuse->Launch_Requested = true;
    fuse->Update(kDt);
    CTarget_Sparkler* sparkler = Nth<CTarget_Sparkler>(0);
    ASSERT_NE(sparkler, nullptr);
    EXPECT_GE(sparkler->m_Variant, 1);
    EXPECT_LE(sparkler->m_Variant, 4);
    EXPECT_EQ(sparkler->m_Variant, fuse->m_Fuse_Colour_Index + 1);
    const CColor4 c = CTarget_Sparkler::Variant_Color(sparkler->m_Variant);
    EXPECT_FALSE(c.r == 1.0f && c.g == 1.0f && c.b == 1.0f) << "a fuse colour is never white";
    fuse->m_Kill_Timer = 1.0f;
    sparkler->m_Kill_Timer = 1.0f;
    harness.Step(1);
  }
  for (int32_t other : {0, 5, -1}) {
    const CColor4 c = CTarget_Sparkler::Variant_Color(other);
    EXPECT_TRUE(c.r == 1.0f && c.g == 1.0f && c.b == 1.0f) << other;
  }
}

TEST_F(Ground, ReleasingTheFuseStartsTheFadeOfItsLiveSparklersOnly) {
  CEjector_Sparkler* fuse = Fuse(0.5f * X, 0.6f * Z, CEjector_Sparkler::kGround, 3);
  ASSERT_NE(fuse, nullptr);
  fuse->Launch_Requested = true;
  fuse->Update(kDt);
  CTarget_Sparkler* sparkler = Nth<CTarget_Sparkler>(0);
  ASSERT_NE(sparkler, nullptr);
  ASSERT_NE(fuse->m_Sparkler_Lock.m_Link_Chain, nullptr);
  const int links = g_Target_Link_Pool.Links_In_Use();
  fuse->Release_Attachments();
  EXPECT_EQ(sparkler->m_Kill_Timer, 0.001f);
  EXPECT_EQ(fuse->m_Sparkler_Lock.m_Link_Chain, nullptr);
  EXPECT_EQ(g_Target_Link_Pool.Links_In_Use(), links - 1);
  // A sparkler already fading keeps its own timer.
  CEjector_Sparkler* second = Fuse(0.4f * X, 0.6f * Z, CEjector_Sparkler::kGround, 3);
  second->Launch_Requested = true;
  second->Update(kDt);
  CTarget_Sparkler* fading = nullptr;
  for (int n = 0; CTarget_Sparkler* s = Nth<CTarget_Sparkler>(n); ++n)
    if (s != sparkler) fading = s;
  ASSERT_NE(fading, nullptr);
  fading->m_Kill_Timer = 0.4f;
  second->Release_Attachments();
  EXPECT_EQ(fading->m_Kill_Timer, 0.4f);
  // The world's sweep does the same when a released fuse has sunk away.
  harness.Step(5);
  EXPECT_GT(sparkler->m_Kill_Timer, 0.001f);
}

}  // namespace
}  // namespace ground_test

namespace ground_test {
namespace {

TEST_F(Ground, ATrackPlacedFuseThrowsItsSparklerStraightUp) {
  const CVector3 place{0.5f * X, 0.0f, 0.6f * Z};
  ASSERT_TRUE(g_Music_Track.Setup_Ejector(CEjector_Sparkler::kType, 0, nullptr, -1, 0, -1, &place, false));
  CEjector_Sparkler* fuse = Nth<CEjector_Sparkler>(0);
  ASSERT_NE(fuse, nullptr);
  EXPECT_GE(fuse->m_Colour_Value, 1u) << "a fuse without an event gets a colour";
  EXPECT_EQ(fuse->m_Orientation.rows[2].y, 1.0f);
  fuse->Launch_Requested = true;
  fuse->Update(0.05f);
  CTarget_Sparkler* sparkler = Nth<CTarget_Sparkler>(0);
  ASSERT_NE(sparkler, nullptr);
  EXPECT_EQ(sparkler->m_Sphere.velocity.x, 0.0f);
  EXPECT_EQ(sparkler->m_Sphere.velocity.z, 0.0f);
  EXPECT_GE(sparkler->m_Sphere.velocity.y, 500.0f);
}

}  // namespace
}  // namespace ground_test

namespace ground_test {
namespace {

// A pill flies level along x from its ejector, so the spawner stands the ejector high enough
// for that line to pass 95 above the terrain across the whole world: over a ridge, 95 above its
// top; where the line already clears, where the track put it.
TEST_F(Ground, APillEjectorStandsHighEnoughForItsLineToClearARidgeBy95) {
  const int vx = g_World.m_Terrain.vertices_x, vz = g_World.m_Terrain.vertices_z;
  ASSERT_GT(vx, 8);
  float* const heights = g_World.m_Heights;
  const std::vector<float> kept(heights, heights + static_cast<size_t>(vx) * static_cast<size_t>(vz));
  const float highest = *std::max_element(kept.begin(), kept.end());
  // A ridge across the world's whole depth at 0.7 of its width, its flat top wider than the
  // spacing of the samples, so that some sample stands on the top.
  const float top = highest + 700.0f;
  const int first = static_cast<int>(0.7f * static_cast<float>(vx - 1));
  const int cells = static_cast<int>(std::ceil(X / 47.0f / g_World.m_Cell_X)) + 1;
  ASSERT_LT(first + cells, vx);
  for (int j = 0; j < vz; ++j)
    for (int i = first; i <= first + cells; ++i) heights[i + vx * j] = top;

  struct Place_Case {
    const char* name;
    uint8_t flags;
    CVector3 place;
    float want_y;
  };
  const Place_Case cases[] = {
      {"on the left wall, below the ridge's top", 0x01, {0.1f, highest + 100.0f, 0.6f * Z}, top + 95.0f},
      {"on the right wall, on the ground", 0x02, {X - 0.1f, 0.0f, 0.8f * Z}, top + 95.0f},
      {"already high above the ridge", 0x01, {0.1f, top + 400.0f, 0.6f * Z}, top + 400.0f},
  };
  for (const Place_Case& c : cases) {
    ASSERT_TRUE(g_Music_Track.Setup_Ejector(CEjector_Pill::kType, c.flags, nullptr, -1, 0, 0, &c.place, false))
        << c.name;
    CEjector_Pill* pill = Nth<CEjector_Pill>(0);
    ASSERT_NE(pill, nullptr) << c.name;
    EXPECT_FLOAT_EQ(pill->m_Position.y, c.want_y) << c.name;
    EXPECT_FLOAT_EQ(pill->m_Position.x, c.place.x) << c.name;
    EXPECT_FLOAT_EQ(pill->m_Position.z, c.place.z) << c.name;
    pill->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }
  // Without the ridge the line over the lane clears at the track's height: nothing moves.
  std::copy(kept.begin(), kept.end(), heights);
  const CVector3 wall{0.1f, highest + 95.0f, 0.6f * Z};
  ASSERT_TRUE(g_Music_Track.Setup_Ejector(CEjector_Pill::kType, 0x01, nullptr, -1, 1, 0, &wall, false));
  ASSERT_NE(Nth<CEjector_Pill>(0), nullptr);
  EXPECT_FLOAT_EQ(Nth<CEjector_Pill>(0)->m_Position.y, highest + 95.0f);
}

}  // namespace
}  // namespace ground_test
