// The enemy emplacements in the running game: their start-up failures, firing on requests only
// while alive, an empty ammunition pool, the bomb's puffs, the cannon's hits, the plate's and
// tower's strikes, the plate's search for a place and the tower's head.
#include <functional>
#include <string>
#include <vector>

#include "game/enemies/CBoss_Crystal_1.h"
#include "game/enemies/CEjector_Enemy_Bar.h"
#include "game/enemies/CEjector_Enemy_Bomb.h"
#include "game/enemies/CEjector_Enemy_Cannon.h"
#include "game/enemies/CEjector_Enemy_Plate.h"
#include "game/enemies/CEjector_Enemy_Tower.h"
#include "game/enemies/CEmmo_Ball.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/CEmmo_Bomb.h"
#include "game/enemies/CEnemy_Digger_1.h"
#include "game/enemies/CEnemy_Tile_1.h"
#include "game/enemies/CEnemy_UFO.h"
#include "game/fx/FX_Resources.h"
#include "tests/game/sim/enemies_fixture.h"

namespace {

template <class T>
bool Init_Once() {
  T object;
  const bool ok = object.Init();
  object.Term();
  return ok;
}

TEST_F(Enemies, EachStartUpFailureShowsItsClassMessageAndTheNextIdIsTried) {
  struct Row {
    std::function<bool()> init;
    const char* name;
    std::vector<std::pair<uint32_t, const char*>> ids;  // in load order, with the ending shown
  };
  const char* R = "\nUnable to create renderable object...";
  const char* T = "\nUnable to load texture...";
  const char* C = "\nUnable to create texture...";
  const char* S = "\nUnable to load shader...";
  const Row rows[] = {
      {Init_Once<CEjector_Enemy_Bar>, "CEjector_Enemy_Bar", {{0x22000158, R}, {0x22000045, T}, {0x2200004B, S}, {0x22000020, S}}},
      {Init_Once<CEjector_Enemy_Bomb>, "CEjector_Enemy_Bomb", {{0x22000015, C}, {0x22000031, S}}},
      {Init_Once<CEjector_Enemy_Cannon>, "CEjector_Enemy_Cannon",
       {{0x220000C7, R}, {0x220000C8, R}, {0x22000000, R}, {0x2200002A, T}, {0x22000028, T}, {0x220000A8, S},
        {0x2200003C, T}, {0x22000020, S}}},
      {Init_Once<CEjector_Enemy_Plate>, "CEjector_Enemy_Plate",
       {{0x2200015A, R}, {0x2200015B, R}, {0x22000029, T}, {0x2200003C, S}, {0x22000149, T}, {0x22000020, S}}},
      {Init_Once<CEjector_Enemy_Tower>, "CEjector_Enemy_Tower",
       {{0x22000145, R}, {0x22000148, R}, {0x22000029, T}, {0x22000069, T}, {0x22000043, S}, {0x220000A8, T},
        {0x22000149, T}, {0x22000020, S}}},
      {Init_Once<CEnemy_Digger_1>, "CEnemy_Digger_1",
       {{0x2200015C, R}, {0x2200015D, R}, {0x22000045, T}, {0x2200005C, C}, {0x2200004B, T}, {0x220000A1, T},
        {0x22000031, T}, {0x22000149, T}, {0x22000020, S}}},
      {Init_Once<CEnemy_Tile_1>, "CEnemy_Tile_1",
       {{0x22000157, R}, {0x2200002A, T}, {0x22000032, C}, {0x2200003C, T}, {0x220000C6, T}, {0x22000020, S}}},
      {Init_Once<CEnemy_UFO>, "CEnemy_UFO",
       {{0x2200002D, R}, {0x2200014B, R}, {0x2200001C, T}, {0x2200005E, T}, {0x2200005C, T}, {0x2200001E, T},
        {0x22000031, S}, {0x22000149, S}, {0x22000020, S}}},
      {Init_Once<CBoss_Crystal_1>, "CBoss_Crystal_1",
       {{0x220000D3, R}, {0x220000D5, R}, {0x22000000, R}, {0x22000029, T}, {0x220000D7, T}, {0x2200005C, T},
        {0x220000D4, S}, {0x220000D8, T}}},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(row.init()) << row.name << " loads on the sample content";
    for (const auto& [id, ending] : row.ids) {
      messages.clear();
      fx::Set_Resource_Filter([refused = id](uint32_t asked) { return asked != refused; });
      EXPECT_FALSE(row.init()) << row.name << " without " << std::hex << id;
      ASSERT_EQ(messages.size(), 1u) << row.name << " " << std::hex << id;
      EXPECT_EQ(messages[0], std::string("Error in ") + row.name + ending) << std::hex << id;
    }
    fx::Set_Resource_Filter(nullptr);
  }
}

// The three firing emplacements: how to make one, ask it to fire, and what it fires.
struct Firing {
  const char* name;
  uint32_t shot_type;
  std::function<CWorld_Object*(Enemies*, const CVector3&)> make;
  std::function<void(CWorld_Object*)> request;
  std::function<bool(CWorld_Object*)> pending;
};

class EnemiesFiring : public Enemies {
 protected:
  std::vector<Firing> Emplacements() {
    return {
        {"bar", CEmmo_Ball_2::kType,
         [](Enemies* t, const CVector3& p) {
           auto* e = t->template Take<CEjector_Enemy_Bar>();
           e->Spawn(p);
           return static_cast<CWorld_Object*>(e);
         },
         [](CWorld_Object* o) { static_cast<CEjector_Enemy_Bar*>(o)->m_Launch_Requested = 1; },
         [](CWorld_Object* o) { return static_cast<CEjector_Enemy_Bar*>(o)->m_Launch_Requested != 0; }},
        {"bomb", CEmmo_Bomb::kType,
         [](Enemies* t, const CVector3& p) {
           auto* e = t->template Take<CEjector_Enemy_Bomb>();
           e->Spawn(CVector3{p.x, p.y + 500.0f, p.z});
           return static_cast<CWorld_Object*>(e);
         },
         [](CWorld_Object* o) { static_cast<CEjector_Enemy_Bomb*>(o)->m_Launch_Requested = 1; },
         [](CWorld_Object* o) { return static_cast<CEjector_Enemy_Bomb*>(o)->m_Launch_Requested != 0; }},
        {"cannon", CEmmo_Ball::kType,
         [](Enemies* t, const CVector3& p) {
           auto* e = t->template Take<CEjector_Enemy_Cannon>(2);
           e->Spawn(p);
           return static_cast<CWorld_Object*>(e);
         },
         [](CWorld_Object* o) { static_cast<CEjector_Enemy_Cannon*>(o)->m_Fire_Requested = 1; },
         [](CWorld_Object* o) { return static_cast<CEjector_Enemy_Cannon*>(o)->m_Fire_Requested != 0; }},
    };
  }
};

TEST_F(EnemiesFiring, FireOnRequestOnlyWhileAliveAndARequestPendingAtReleaseIsNeverServed) {
  for (const Firing& f : Emplacements()) {
    CWorld_Object* e = f.make(this, Ground(0.5f, 0.6f));
    ASSERT_NE(e, nullptr) << f.name;
    Run(*e, 2.0f);
    EXPECT_EQ(Live(f.shot_type), 0) << f.name << ": nothing without a request";
    f.request(e);
    e->Update(kStep);
    EXPECT_EQ(Live(f.shot_type), 1) << f.name << ": one shot per request";
    EXPECT_FALSE(f.pending(e)) << f.name;
    Run(*e, 1.0f);
    EXPECT_EQ(Live(f.shot_type), 1) << f.name << ": a request is served once";
    // The track's release, with a request still pending.
    f.request(e);
    e->m_Kill_Timer = 0.001f;
    Run(*e, 3.0f);
    EXPECT_EQ(Live(f.shot_type), 1) << f.name << ": a dying emplacement does not fire";
    Sweep();
  }
}

TEST_F(EnemiesFiring, AnEmptyAmmunitionPoolSkipsTheShotButClearsTheRequest) {
  for (const Firing& f : Emplacements()) {
    std::vector<CWorld_Object*> held;
    while (CWorld_Object* o = g_Object_Pools[f.shot_type]->Alloc_Object()) held.push_back(o);
    CWorld_Object* e = f.make(this, Ground(0.5f, 0.6f));
    Run(*e, 2.0f);
    f.request(e);
    e->Update(kStep);
    EXPECT_FALSE(f.pending(e)) << f.name;
    EXPECT_EQ(Live(f.shot_type), 0) << f.name;
    if (auto* cannon = dynamic_cast<CEjector_Enemy_Cannon*>(e)) {
      EXPECT_LT(cannon->m_Shot_Timer, 1.0f) << "the cannon recoils";
      cannon->Update(kStep);
      EXPECT_LT(cannon->m_Rise, 1.0f) << "and dips";
    }
    for (CWorld_Object* o : held) g_Object_Pools[f.shot_type]->Free_Object(o);
    Sweep();
  }
}

TEST_F(Enemies, TheCannonPicksANewColourForEveryShotEvenWithoutAmmunition) {
  auto* cannon = Take<CEjector_Enemy_Cannon>(2);
  cannon->Spawn(Ground(0.5f, 0.6f));
  Run(*cannon, 2.0f);
  std::vector<CWorld_Object*> held;
  while (CWorld_Object* o = CEmmo_Ball::Pool()->Alloc_Object()) held.push_back(o);
  bool changed = false;
  for (int i = 0; i < 12 && !changed; ++i) {
    const uint8_t before = cannon->m_Shot_Variant;
    cannon->m_Fire_Requested = 1;
    cannon->Update(kStep);
    changed = cannon->m_Shot_Variant != before;
  }
  EXPECT_TRUE(changed) << "twelve draws of four colours that all repeat the last one";
  for (CWorld_Object* o : held) CEmmo_Ball::Pool()->Free_Object(o);
}

TEST_F(Enemies, TheBombShowsNoNewPuffsAfterElevenPointEightButKeepsFiring) {
  auto* bomb = Take<CEjector_Enemy_Bomb>();
  const CVector3 g = Ground(0.5f, 0.6f);
  bomb->Spawn(CVector3{g.x, g.y + 500.0f, g.z});
  Run(*bomb, 10.0f);
  EXPECT_GT(bomb->Puffs_In_Use(), 0) << "puffs while the glow builds";
  Run(*bomb, 2.0f);
  EXPECT_EQ(bomb->m_Glow_Intensity, 1.0f);
  Run(*bomb, 3.0f);
  EXPECT_EQ(bomb->Puffs_In_Use(), 0) << "the last puffs have faded and none follow";
  bomb->m_Launch_Requested = 1;
  bomb->Update(kStep);
  EXPECT_EQ(Live(CEmmo_Bomb::kType), 1);
}

TEST_F(Enemies, TheCannonRefusesHitsBeforeOnePointFiveScoresOnceAndFallsAsABox) {
  auto* cannon = Take<CEjector_Enemy_Cannon>(2);
  cannon->Spawn(Ground(0.5f, 0.6f));
  Run(*cannon, 1.4f);
  EXPECT_FALSE(cannon->On_Hit(&player_shot, nullptr)) << "too young";
  EXPECT_EQ(Points_Shown(), 0u);
  Run(*cannon, 1.0f);
  ASSERT_EQ(cannon->m_Rise, 1.0f);
  const float height = cannon->m_Position.y;
  EXPECT_TRUE(cannon->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Points_Shown(), 350u);
  EXPECT_TRUE(cannon->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Points_Shown(), 350u) << "a second hit scores nothing";
  EXPECT_EQ(cannon->m_Hit_Count, 2);
  EXPECT_TRUE(cannon->m_Kind_Flags & 0x40u);
  Run(*cannon, 0.5f);
  EXPECT_LT(cannon->m_Position.y, height - 5.0f) << "the hit cannon falls";
  EXPECT_LT(cannon->m_Box.half_size.z, 90.0f) << "and shrinks";
  cannon->m_Fire_Requested = 1;
  cannon->Update(kStep);
  EXPECT_EQ(Live(CEmmo_Ball::kType), 0) << "a hit cannon does not fire";
}

// What one strike added: the shield taken, and the effects raised by kind.
struct Strike_Seen {
  float shield;
  int shakes, flashes, tracers;
};

TEST_F(Enemies, PlateAndTowerStrikeThePlayerQuietlyWithTheirEffects) {
  auto* plate = Take<CEjector_Enemy_Plate>();
  plate->Spawn(2, CVector3{0.5f * X, 600.0f, 0.6f * Z});
  auto* tower = Take<CEjector_Enemy_Tower>();
  tower->Spawn(Ground(0.3f, 0.6f));
  Run(*plate, 1.0f);
  Run(*tower, 1.0f);
  for (CWorld_Object* e : {static_cast<CWorld_Object*>(plate), static_cast<CWorld_Object*>(tower)}) {
    g_Screen_FX_Mgr.Clear_Sim_Effects();
    g_WarRoom_Sim.m_Shield_Level = 1.0f;
    const int flashes = Effects_Of_Kind(11), shakes = Effects_Of_Kind(13), tracers = Effects_Of_Kind(24);
    if (e == plate) plate->m_Launch_Requested = 1;
    else tower->m_Launch_Requested = 1;
    e->Update(kStep);
    EXPECT_NEAR(Shield_Lost(), 0.07f, 1e-5f) << e->m_Type << ": a hit of 0.35";
    EXPECT_EQ(Effects_Of_Kind(13) - shakes, 1) << e->m_Type;
    EXPECT_EQ(Effects_Of_Kind(11) - flashes, 1) << e->m_Type << ": quiet: only its own flash";
    EXPECT_EQ(Effects_Of_Kind(24) - tracers, 1) << e->m_Type;
    const CScreen_FX_Record& tracer = g_Screen_FX_Mgr.Effects().back();
    ASSERT_EQ(tracer.kind, 24);
    const float head = e == tower ? 123.0f : 0.0f;
    EXPECT_FLOAT_EQ(tracer.vector_a[1], e->m_Position.y + head) << e->m_Type << ": from its body or head";
  }
  EXPECT_EQ(tower->m_Fired, 1);
  EXPECT_EQ(plate->m_Move, 0.0f) << "the plate glides after its strike";
}

TEST_F(Enemies, APlateWithNoAcceptablePlaceIn256TriesStaysWhereItIs) {
  auto* plate = Take<CEjector_Enemy_Plate>();
  // Far above the camera every place within 500 is above the ceiling of camera height − 300.
  const CVector3 high{0.5f * X, g_Camera.Position().y + 900.0f, 0.6f * Z};
  plate->Spawn(1, high);
  Run(*plate, 1.0f);
  plate->m_Launch_Requested = 1;
  plate->Update(kStep);
  EXPECT_FLOAT_EQ(plate->m_Move_To.x, high.x);
  EXPECT_FLOAT_EQ(plate->m_Move_To.y, high.y);
  Run(*plate, 3.0f);
  EXPECT_FLOAT_EQ(plate->m_Position.y, high.y);
  // Below the ceiling a place is found, 200 to 500 away.
  const CVector3 low{0.5f * X, 500.0f, 0.6f * Z};
  plate->m_Position = low;
  const CVector3 to = plate->Pick_Plate_Position();
  const float d = std::hypot(to.x - low.x, to.y - low.y);
  EXPECT_GE(d, 199.9f);
  EXPECT_LE(d, 500.1f);
}

TEST_F(Enemies, TheTowerTakesShotsOnlyThroughItsHeadAndASpentTowerScoresWithoutABurst) {
  auto* tower = Take<CEjector_Enemy_Tower>();
  tower->Spawn(Ground(0.5f, 0.6f));
  Run(*tower, 1.0f);
  const CVector3 head = tower->Head();
  struct Case {
    float miss;  // how far the line passes from the head
    bool counts;
  } cases[] = {{60.0f, false}, {50.0f, false}, {49.0f, true}};
  for (const Case& c : cases) {
    CShot_Line line{CVector3{head.x + c.miss, head.y, head.z - 1000.0f}, CVector3{0.0f, 0.0f, 1.0f}};
    EXPECT_TRUE(tower->On_Hit(nullptr, &line)) << c.miss;
    EXPECT_EQ(tower->m_Hit_Count != 0, c.counts) << c.miss;
  }
  // A line whose start is past the head measures to its start: behind the head by 30 counts.
  auto* behind = Take<CEjector_Enemy_Tower>();
  behind->Spawn(Ground(0.3f, 0.6f));
  Run(*behind, 1.0f);
  const CVector3 h2 = behind->Head();
  CShot_Line past{CVector3{h2.x, h2.y, h2.z + 30.0f}, CVector3{0.0f, 0.0f, 1.0f}};
  behind->On_Hit(nullptr, &past);
  EXPECT_EQ(behind->m_Hit_Count, 1);
  // A spent tower: it scores, but shows no burst.
  auto* spent = Take<CEjector_Enemy_Tower>();
  spent->Spawn(Ground(0.7f, 0.6f));
  Run(*spent, 1.0f);
  spent->m_Launch_Requested = 1;
  spent->Update(kStep);
  ASSERT_EQ(spent->m_Fired, 1);
  const uint32_t sparkles = Sparkles(), points = Points_Shown();
  player_shot.m_Position = CVector3{spent->Head().x, spent->Head().y, spent->Head().z - 100.0f};
  player_shot.m_Sphere.velocity.Set(0.0f, 0.0f, 2000.0f);
  EXPECT_TRUE(spent->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Points_Shown() - points, 250u);
  EXPECT_EQ(Sparkles(), sparkles) << "no burst";
  EXPECT_NE(spent->m_Kill_Timer, 0.0f);
}

TEST_F(Enemies, PlateAndTowerRefuseHitsInTheirFirstThreeQuartersAndTheShotPlateBursts) {
  auto* plate = Take<CEjector_Enemy_Plate>();
  plate->Spawn(0, CVector3{0.5f * X, 600.0f, 0.6f * Z});
  auto* tower = Take<CEjector_Enemy_Tower>();
  tower->Spawn(Ground(0.3f, 0.6f));
  Run(*plate, 0.7f);
  Run(*tower, 0.7f);
  EXPECT_FALSE(plate->On_Hit(&player_shot, nullptr));
  EXPECT_FALSE(tower->On_Hit(&player_shot, nullptr));
  Run(*plate, 0.1f);
  const uint32_t sparkles = Sparkles();
  EXPECT_TRUE(plate->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Points_Shown(), 250u);
  EXPECT_GT(Sparkles(), sparkles);
  EXPECT_EQ(plate->Colour().g, 0.0f) << "black once hit";
  EXPECT_TRUE(plate->On_Hit(&player_shot, nullptr));
  EXPECT_EQ(Points_Shown(), 250u) << "once";
}

TEST_F(Enemies, EmplacementsThatDieByThemselvesLeaveTheirTrackSlots) {
  Replace_Track(writers::TrackSpec{1, 0, 0, 60.0f,
                                   {{writers::TrackEvent{10, 0, 0, 0.001f, 0.9f, {}},
                                     writers::TrackEvent{16, 1, 0, 0.001f, 0.9f, {}}}}});
  harness.Step(3, 40);
  CTrack_Event& cannon_event = g_Music_Track.m_Sections[0].events[0];
  CTrack_Event& plate_event = g_Music_Track.m_Sections[0].events[1];
  auto* cannon = static_cast<CEjector_Enemy_Cannon*>(cannon_event.objects[0]);
  auto* plate = static_cast<CEjector_Enemy_Plate*>(plate_event.objects[0]);
  ASSERT_NE(cannon, nullptr);
  ASSERT_NE(plate, nullptr);
  ASSERT_EQ(cannon->m_Type, CEjector_Enemy_Cannon::kType);
  ASSERT_EQ(plate->m_Type, CEjector_Enemy_Plate::kType);
  // Their deaths start by themselves (health gone, a shot), not through the track's release.
  cannon->m_Value1 = 0.0f;
  plate->m_Age = 1.0f;
  plate->On_Hit(nullptr, nullptr);
  // Up to 400 frames of 40 ms, every tenth one drawn (the dead are swept in drawn frames), until
  // both have left their slots.
  for (int frame = 0; frame < 400 && (cannon_event.objects[0] || plate_event.objects[0]); frame += 10) {
    harness.Step_Undrawn(9, 40);
    harness.Step(1, 40);
  }
  EXPECT_EQ(cannon_event.objects[0], nullptr) << "the swept cannon left its slot";
  EXPECT_EQ(plate_event.objects[0], nullptr) << "the swept plate left its slot";
}

}  // namespace
