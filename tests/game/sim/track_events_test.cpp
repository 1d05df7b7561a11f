// The track's events on a running world: what each kind places and where, how slots are
// released and objects triggered, the lane lighting, and the spawn clearance shapes.
#include <algorithm>
#include <cmath>
#include <functional>
#include <type_traits>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/enemies/CBoss_Crystal_1.h"
#include "game/enemies/CEjector_Enemy_Cannon.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CEjector_Ball.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Brick.h"
#include "game/targets/CTarget_Ball.h"
#include "game/targets/CEjector_Pill.h"
#include "game/targets/CEjector_Roller.h"
#include "game/targets/CEjector_Cylinder.h"
#include "game/targets/CEjector_Sparkler.h"
#include "game/targets/CEjector_Stars.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CEjector_Targets.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "platform/system/random.h"
#include "tests/game/sim/sim_run.h"
#include "tests/support/upcoming_draws.h"

namespace {

class TrackEvents : public SimRun {
 protected:
  void SetUp() override {
    SimRun::SetUp();
    Launch();
    Replace_Track(writers::TrackSpec{1, 0, 0, 60.0f, {}});
    X = g_World.m_Terrain.size_x;
    Z = g_World.m_Terrain.size_z;
    H = g_Camera.Position().y;
  }

  CTrack_Event Event(uint32_t kind, uint32_t sub_kind, uint32_t parameter = 0) {
    CTrack_Event event;
    event.kind = kind;
    event.sub_kind = sub_kind;
    event.parameter = parameter;
    event.start = 1.0f;
    event.end = 5.0f;
    return event;
  }

  // Removes everything the last case placed.
  void Sweep() {
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n) object->m_Kill_Timer = 1.0f;
    g_World.Remove_Dead_Objects();
  }

  // A box or roller ejector set up at the origin and held in the event's slot.
  CWorld_Object* Boxed(uint32_t type, CTrack_Event& event, int slot, int32_t id) {
    CWorld_Object* object = g_Object_Pools[type]->Alloc_Object();
    const CVector3 origin{0.0f, 0.0f, 0.0f};
    if (type == CEjector_Box::kType)
      static_cast<CEjector_Box*>(object)->Spawn(0u, origin);
    else
      static_cast<CEjector_Roller*>(object)->Spawn(0u, 0u, origin);
    g_World.Add_Object(1, object);
    event.objects[slot] = object;
    event.slot_ids[slot] = id;
    return object;
  }

  // The variant an ejector was set up with, whatever its class keeps it in.
  static int Spawn_Variant(const CWorld_Object* object) {
    switch (object->m_Type) {
      case CEjector_Box::kType: return static_cast<int>(static_cast<const CEjector_Box*>(object)->Colour_Variant);
      case CEjector_Ball::kType: return static_cast<int>(static_cast<const CEjector_Ball*>(object)->Colour_Variant);
      case CEjector_Brick::kType: return static_cast<int>(static_cast<const CEjector_Brick*>(object)->Orientation_Kind);
      case CEjector_Cylinder::kType:
        return static_cast<int>(static_cast<const CEjector_Cylinder*>(object)->Variant);
      case CEjector_Targets::kType: return 0;
      case CEjector_Stars::kType: return static_cast<int>(static_cast<const CEjector_Stars*>(object)->m_Side);
      case CEjector_Roller::kType: return static_cast<int>(static_cast<const CEjector_Roller*>(object)->m_Direction);
      case CEjector_Pill::kType: return static_cast<int>(static_cast<const CEjector_Pill*>(object)->m_Side);
      case CEjector_Sparkler::kType: return static_cast<int>(static_cast<const CEjector_Sparkler*>(object)->m_Fuse_Kind);
      default: ADD_FAILURE() << "no variant known for type " << object->m_Type; return -1;
    }
  }
  // The same for the classes that set themselves up at a place: the tower and the memory board.
  template <class T>
  T* Placed(CTrack_Event& event, int slot, int32_t id) {
    auto* object = static_cast<T*>(g_Object_Pools[T::kType]->Alloc_Object());
    if constexpr (std::is_same_v<T, CEjector_Targets>) object->Spawn(0, CVector3{0.5f * X, 0.0f, 0.5f * Z});
    if constexpr (std::is_same_v<T, CEjector_Simon_1>) object->Spawn(CVector3{0.5f * X, 0.0f, 0.5f * Z});
    g_World.Add_Object(1, object);
    event.objects[slot] = object;
    event.slot_ids[slot] = id;
    return object;
  }

  float X = 0, Z = 0, H = 0;
};

TEST_F(TrackEvents, KindOnePlacesItsWallStandingEjectorBySubKind) {
  struct Row {
    uint32_t sub_kind;
    uint32_t type;
    int variant;  // -1: any in 0-3
    std::function<bool(const CVector3&, float ground, float X, float Z, float H)> place;
  } rows[] = {
      {0, 37, -1, [](const CVector3& p, float g, float X, float Z, float) {
         return p.x >= 0.1f * X && p.x <= 0.9f * X && p.z >= 0.5f * Z && p.z <= 0.9f * Z && std::fabs(p.y - (g - 201.25f)) < 0.01f;
       }},
      {1, 41, 0, [](const CVector3& p, float, float, float Z, float H) {
         return p.x == 0.1f && p.z >= 0.35f * Z && p.z <= 0.55f * Z && p.y >= H - 800.0f && p.y <= H - 500.0f;
       }},
      {2, 41, 1, [](const CVector3& p, float, float X, float, float H) { return p.x == X - 0.1f && p.y >= H - 800.0f && p.y <= H - 500.0f; }},
      {3, 44, 0, [](const CVector3& p, float, float, float, float H) { return p.x == 0.1f && p.y >= H - 800.0f && p.y <= H - 500.0f; }},
      {4, 44, 1, [](const CVector3& p, float, float X, float, float) { return p.x == X - 0.1f; }},
      {5, 44, 2, [](const CVector3& p, float, float, float, float H) { return p.y == H + 100.0f && p.z == 0.5f; }},
      {6, 44, 3, [](const CVector3& p, float g, float, float Z, float) {
         return p.z == Z - 0.5f && p.y >= g + 75.0f && p.y <= g + 300.0f;
       }},
      {7, 45, 0, [](const CVector3& p, float g, float, float, float H) { return p.x == 0.1f && p.y >= g + 95.0f && p.y <= H - 300.0f; }},
      {8, 45, 1, [](const CVector3& p, float g, float X, float, float H) { return p.x == X - 0.1f && p.y >= g + 95.0f && p.y <= H - 300.0f; }},
      {9, 45, 2, [](const CVector3& p, float g, float, float, float) { return std::fabs(p.y - g) < 0.01f; }},
  };
  for (const Row& row : rows) {
    for (int draw = 0; draw < 5; ++draw) {
      CTrack_Event event = Event(1, row.sub_kind);
      g_Music_Track.On_Event_Start(event);
      CWorld_Object* object = event.objects[0];
      ASSERT_NE(object, nullptr) << row.sub_kind;
      EXPECT_EQ(object->m_Type, row.type) << row.sub_kind;
      EXPECT_EQ(object->m_Kind_Flags, 0x04u) << row.sub_kind;
      EXPECT_EQ(object->m_List, 1) << row.sub_kind;
      EXPECT_EQ(event.slot_ids[0], -1);
      if (row.variant >= 0)
        EXPECT_EQ(Spawn_Variant(object), row.variant) << row.sub_kind;
      else
        EXPECT_TRUE(Spawn_Variant(object) >= 0 && Spawn_Variant(object) <= 3);
      const CVector3& p = object->m_Position;
      const float ground = g_World.Get_Height(p.x, p.z);
      EXPECT_TRUE(row.place(p, ground, X, Z, H)) << "sub-kind " << row.sub_kind << " at " << p.x << ", " << p.y << ", " << p.z;
      Sweep();
    }
  }
  CTrack_Event beyond = Event(1, 10);
  g_Music_Track.On_Event_Start(beyond);
  EXPECT_EQ(beyond.Occupied_Count(), 0);
}

TEST_F(TrackEvents, PointsSpawnTheirClassIntoItsListAsALaunch) {
  struct Row {
    uint32_t kind, sub_kind, action, type;
    int list;
    uint32_t kind_flags;
  } rows[] = {
      {9, 2, 0, 19, 1, 0x01},  {9, 3, 0, 20, 2, 0x01},  {9, 4, 0, 21, 1, 0x01},  {9, 5, 0, 22, 2, 0x01},
      {9, 6, 0, 23, 1, 0x01},  {9, 7, 0, 24, 2, 0x01},  {9, 9, 0, 25, 1, 0x01},  {10, 2, 0, 8, 2, 0x02},
      {10, 3, 0, 58, 2, 0x21}, {10, 4, 0, 59, 2, 0x21}, {10, 5, 0, 60, 2, 0x21}, {10, 6, 0, 61, 2, 0x21},
      {10, 7, 0, 66, 2, 0x03}, {10, 9, 0, 63, 2, 0x21}, {13, 0, 0, 26, 1, 0x01}, {13, 1, 0, 10, 2, 0x01},
      {13, 2, 0, 27, 2, 0x01}, {13, 3, 1, 28, 2, 0x01}, {13, 4, 0, 29, 2, 0x01}, {13, 5, 0, 30, 2, 0x01},
      {16, 2, 0, 56, 2, 0x21}, {16, 3, 0, 67, 2, 0x03}, {16, 4, 0, 64, 2, 0x21}, {16, 5, 0, 65, 2, 0x21},
  };
  for (const Row& row : rows) {
    CTrack_Event event = Event(row.kind, row.sub_kind);
    const uint32_t launches = g_Sim_Stats.m_Launches;
    g_Music_Track.On_Event_Point(event, CTrack_Point{row.action, 0.0f, 2});
    CWorld_Object* object = g_World.Find_Object_By_Type(row.type, 0);
    ASSERT_NE(object, nullptr) << row.kind << "/" << row.sub_kind;
    EXPECT_EQ(object->m_List, row.list) << row.type;
    EXPECT_EQ(object->m_Kind_Flags, row.kind_flags) << row.type;
    EXPECT_EQ(g_Sim_Stats.m_Launches, launches + 1) << row.type;
    // Only the bullet is kept by its event, under the point's argument.
    EXPECT_EQ(event.Occupied_Count(), row.type == 61 ? 1 : 0) << row.type;
    if (row.type == 61) { EXPECT_EQ(event.slot_ids[0], 2); }
    Sweep();
  }
}

TEST_F(TrackEvents, ABallDropsFromAboveOnArgumentOneAndIsThrownUpOtherwise) {
  CTrack_Event event = Event(13, 1);
  g_Music_Track.On_Event_Point(event, CTrack_Point{0, 0.0f, 1});
  const auto* dropped = static_cast<CTarget_Ball*>(g_World.Find_Object_By_Type(10, 0));
  ASSERT_NE(dropped, nullptr);
  EXPECT_EQ(dropped->m_Position.y, H + 200.0f);
  EXPECT_LT(dropped->m_Sphere.velocity.y, -274.0f);
  Sweep();
  g_Music_Track.On_Event_Point(event, CTrack_Point{0, 0.0f, 0});
  const auto* thrown = static_cast<CTarget_Ball*>(g_World.Find_Object_By_Type(10, 0));
  ASSERT_NE(thrown, nullptr);
  EXPECT_GE(thrown->m_Position.y, H - 200.0f);
  EXPECT_LE(thrown->m_Position.y, H - 100.0f);
  EXPECT_GT(thrown->m_Sphere.velocity.y, 2.15f * 274.0f);
  EXPECT_TRUE(thrown->m_Colour >= 0 && thrown->m_Colour <= 3) << "a colour";
}

TEST_F(TrackEvents, ReleaseSlotFindsItsObjectOrFallsBack) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int32_t>> occupied;  // slot, id
    int32_t release;
    int released_slot;  // -1: nothing; -2: any occupied one
  } cases[] = {
      {"by id", {{0, 5}, {3, 7}}, 7, 3},
      {"unknown id falls back to slot 0", {{0, 5}, {3, 7}}, 9, 0},
      {"then to the slot of that index", {{4, 5}, {9, 7}}, 9, 9},
      {"an index past the slots releases nothing", {{4, 5}}, 40, -1},
      {"a negative index releases nothing", {{4, 5}}, -7, -1},
      {"-1 finds an object stored under -1", {{2, 5}, {6, -1}}, -1, -2},
      {"-1 on a free slot takes a random occupied one", {{3, 5}}, -1, 3},
  };
  for (const Case& c : cases) {
    CTrack_Event event = Event(2, 1);
    for (const auto& [slot, id] : c.occupied) Boxed(CEjector_Box::kType, event, slot, id);
    CWorld_Object* before[CTrack_Event::kSlot_Count];
    std::copy(std::begin(event.objects), std::end(event.objects), before);
    g_Music_Track.Release_Slot(event, c.release);
    int released = -1;
    for (int i = 0; i < CTrack_Event::kSlot_Count; ++i) {
      if (before[i] && !event.objects[i]) {
        EXPECT_EQ(released, -1) << c.name << ": one release";
        released = i;
        EXPECT_FLOAT_EQ(before[i]->m_Kill_Timer, 0.001f) << c.name;
        EXPECT_EQ(event.slot_ids[i], -1) << c.name;
      }
    }
    if (c.released_slot == -2)
      EXPECT_GE(released, 0) << c.name;
    else
      EXPECT_EQ(released, c.released_slot) << c.name;
    Sweep();
  }
  // A death already under way keeps its pace.
  CTrack_Event event = Event(2, 1);
  CWorld_Object* dying = Boxed(CEjector_Box::kType, event, 0, 0);
  dying->m_Kill_Timer = 0.5f;
  g_Music_Track.Release_Slot(event, 0);
  EXPECT_EQ(dying->m_Kill_Timer, 0.5f);
}

TEST_F(TrackEvents, AnObjectSweptOutOfTheWorldLeavesEveryEventThatHeldIt) {
  Replace_Track(writers::TrackSpec{1, 0, 0, 60.0f, {{writers::TrackEvent{1, 0, 0, 0.001f, 0.9f, {}}}}});
  harness.Step(3, 40);
  CTrack_Event& event = g_Music_Track.m_Sections[0].events[0];
  CWorld_Object* ejector = event.objects[0];
  ASSERT_NE(ejector, nullptr);
  ejector->m_Kill_Timer = 1.0f;
  harness.Step(1);
  EXPECT_EQ(event.objects[0], nullptr) << "a reused pool object must not be released through a stale slot";
}

TEST_F(TrackEvents, TriggersSetTheRequestTheirClassReads) {
  CTrack_Event event = Event(12, 0);
  auto* box = static_cast<CEjector_Box*>(Boxed(CEjector_Box::kType, event, 0, 0));
  auto* targets = Placed<CEjector_Targets>(event, 1, 1);
  auto* cannon = static_cast<CEjector_Enemy_Cannon*>(g_Object_Pools[CEjector_Enemy_Cannon::kType]->Alloc_Object());
  cannon->Spawn(CVector3{0.5f * X, 0.0f, 0.6f * Z});
  g_World.Add_Object(2, cannon);
  event.objects[2] = cannon;
  event.slot_ids[2] = 2;
  auto* simon = Placed<CEjector_Simon_1>(event, 3, 3);
  EXPECT_TRUE(g_Music_Track.Trigger_Ejector(box));
  EXPECT_TRUE(box->Launch_Requested);
  EXPECT_TRUE(g_Music_Track.Trigger_Ejector(targets));
  EXPECT_EQ(targets->Queue_Count, 1u) << "the tower queues a launch instead of a request";
  EXPECT_TRUE(g_Music_Track.Trigger_Ejector(cannon));
  EXPECT_EQ(cannon->m_Fire_Requested, 1);
  EXPECT_FALSE(g_Music_Track.Trigger_Ejector(simon));
  EXPECT_FALSE(g_Music_Track.Trigger_Ejector(nullptr));
  // Kind 12's action 2 triggers by id, and nothing for an id no slot carries.
  box->Launch_Requested = false;
  g_Music_Track.On_Event_Point(event, CTrack_Point{2, 0.0f, 7});
  EXPECT_FALSE(box->Launch_Requested);
  g_Music_Track.On_Event_Point(event, CTrack_Point{2, 0.0f, 0});
  EXPECT_TRUE(box->Launch_Requested);
}

TEST_F(TrackEvents, TheMemoryBoardTakesEachPointAsOneCommand) {
  CTrack_Event event = Event(9, 8, 3);
  g_Music_Track.On_Event_Start(event);
  auto* board = static_cast<CEjector_Simon_1*>(event.objects[0]);
  ASSERT_NE(board, nullptr);
  EXPECT_FLOAT_EQ(board->m_Position.x, 0.7f * X);
  EXPECT_FLOAT_EQ(board->m_Position.z, 0.43f * Z);
  EXPECT_FLOAT_EQ(board->m_Position.y, H - 300.0f + 700.0f);
  g_Music_Track.On_Event_Point(event, CTrack_Point{2, 0.0f, 3});
  EXPECT_TRUE(board->Launch_Requested);
  EXPECT_EQ(board->Launch_Side, 3u);
  g_Music_Track.On_Event_Point(event, CTrack_Point{1, 0.0f, 2});
  EXPECT_EQ(board->Show_Side, 2u);
  EXPECT_EQ(board->Show_Timer, 1.0f);
}

TEST_F(TrackEvents, BoxFormationsStandAtTheirPlacesWithTheirColours) {
  CTrack_Event event = Event(12, 0, 4);
  g_Music_Track.On_Event_Start(event);
  const float places[4][3] = {{0.3f, 0.5f, 3}, {0.45f, 0.6f, 2}, {0.55f, 0.7f, 1}, {0.7f, 0.8f, 0}};
  for (int n = 0; n < 4; ++n) {
    CWorld_Object* box = event.objects[n];
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(event.slot_ids[n], n);
    EXPECT_FLOAT_EQ(box->m_Position.x, places[n][0] * X);
    EXPECT_FLOAT_EQ(box->m_Position.z, places[n][1] * Z);
    EXPECT_EQ(Spawn_Variant(box), static_cast<int>(places[n][2]));
  }
  // A flash at the place of slot 2.
  const size_t effects = g_Screen_FX_Mgr.Effects().size();
  g_Music_Track.On_Event_Point(event, CTrack_Point{0, 0.0f, 2});
  ASSERT_EQ(g_Screen_FX_Mgr.Effects().size(), effects + 1);
  const CScreen_FX_Record& flash = g_Screen_FX_Mgr.Effects().back();
  EXPECT_EQ(flash.kind, 14);
  EXPECT_FLOAT_EQ(flash.vector_a[0], 0.55f * X);
  EXPECT_FLOAT_EQ(flash.vector_a[2], 0.7f * Z);
  // A kind-2 row past its formation takes a random place of the same range.
  Sweep();
  CTrack_Event row = Event(2, 4, 3);
  for (uint32_t n = 0; n < 5; ++n) g_Music_Track.On_Event_Point(row, CTrack_Point{0, 0.0f, n});
  CWorld_Object* extra = row.objects[4];
  ASSERT_NE(extra, nullptr);
  EXPECT_GE(extra->m_Position.x, 0.15f * X);
  EXPECT_LE(extra->m_Position.x, 0.95f * X);
  EXPECT_TRUE(Spawn_Variant(extra) >= 0 && Spawn_Variant(extra) <= 3);
}

// Every random value of a place is a draw of its own, taken in the order the values are
// written (x before z); a place that is not random takes no draw at all.
TEST_F(TrackEvents, RandomPlacesTakeTheirOwnDrawsInOrder) {
  Sweep();
  constexpr uint32_t kSeed = 2;
  const auto draws = [](int n) { return Upcoming_Draws(kSeed, n); };
  {
    SCOPED_TRACE("a UFO: x = (0.1 + 0.8 r) X, z = (0.7 + 0.2 r') Z");
    const std::vector<float> r = draws(4);
    ASSERT_TRUE(g_Music_Track.Spawn_Target(8, CTrack_Point{0, 0.0f, 0}));
    CWorld_Object* first = g_World.Find_Object_By_Type(8, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_FLOAT_EQ(first->m_Position.x, (0.1f + 0.8f * r[0]) * X);
    EXPECT_FLOAT_EQ(first->m_Position.z, (0.7f + 0.2f * r[1]) * Z);
    // The same draws again would put a second one inside the first: it takes the next pair.
    const float x2 = (0.1f + 0.8f * r[2]) * X, z2 = (0.7f + 0.2f * r[3]) * Z;
    ASSERT_TRUE(std::fabs(x2 - first->m_Position.x) > 250.0f || std::fabs(z2 - first->m_Position.z) > 250.0f)
        << "the seed's second place is clear of the first";
    plat::Seed_Random(kSeed);
    ASSERT_TRUE(g_Music_Track.Spawn_Target(8, CTrack_Point{0, 0.0f, 0}));
    CWorld_Object* second = nullptr;
    for (int n = 0; CWorld_Object* object = g_World.Get_Object(n); ++n)
      if (object->m_Type == 8 && object != first) second = object;
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(second->m_Position.x, x2) << "drawn again where the first stands";
    EXPECT_FLOAT_EQ(second->m_Position.z, z2);
    Sweep();
  }
  {
    SCOPED_TRACE("a dropped ball: colour, speed 275 + 50 r, x = (0.1 + 0.8 r') X, z = (0.35 + 0.55 r'') Z");
    const std::vector<float> r = draws(4);
    ASSERT_TRUE(g_Music_Track.Spawn_Target(10, CTrack_Point{0, 0.0f, 1}));
    const auto* ball = static_cast<CTarget_Ball*>(g_World.Find_Object_By_Type(10, 0));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->m_Colour, std::min(static_cast<int>(r[0] * 4.0f), 3));
    EXPECT_FLOAT_EQ(ball->m_Sphere.velocity.y, -(275.0f + 50.0f * r[1]));
    EXPECT_FLOAT_EQ(ball->m_Position.x, (0.1f + 0.8f * r[2]) * X);
    EXPECT_FLOAT_EQ(ball->m_Position.z, (0.35f + 0.55f * r[3]) * Z);
    Sweep();
  }
  {
    SCOPED_TRACE("a formation's own place takes no draw");
    // The box formation of two: its first box, through the event and set up directly.
    CTrack_Event row = Event(2, 4, 2);
    plat::Seed_Random(kSeed);
    g_Music_Track.On_Event_Point(row, CTrack_Point{0, 0.0f, 0});
    ASSERT_NE(row.objects[0], nullptr);
    const int after_event = plat::Random();
    Sweep();
    CTrack_Event direct = Event(2, 4, 2);
    const CVector3 place{0.5f * X, 0.0f, 0.76f * Z};
    plat::Seed_Random(kSeed);
    g_Music_Track.Setup_Ejector(37, 0, &direct, 0, 0, -1, &place, true);
    EXPECT_EQ(after_event, plat::Random()) << "the event drew no numbers of its own";
    Sweep();
  }
}

TEST_F(TrackEvents, ScreenEffectsUseTheEventsDuration) {
  struct Row {
    uint32_t sub_kind;
    int entry, kind;
    float duration;
  } rows[] = {{0, 1, 11, 0.75f}, {1, 1, 15, 0.75f}, {2, 2, 13, 1.5f}, {5, 2, 16, 4 * 3.56f},
              {6, 2, 17, 4 * 3.56f}, {7, 1, 18, 4 * 3.56f}, {8, 5, 19, 4 * 3.56f}, {9, 2, 20, 4 * 3.56f}};
  for (const Row& row : rows) {
    CTrack_Event event = Event(4, row.sub_kind, 3);
    const size_t before = g_Screen_FX_Mgr.Effects().size();
    g_Music_Track.On_Event_Start(event);
    ASSERT_EQ(g_Screen_FX_Mgr.Effects().size(), before + 1) << row.sub_kind;
    const CScreen_FX_Record& effect = g_Screen_FX_Mgr.Effects().back();
    EXPECT_EQ(effect.kind, row.kind) << row.sub_kind;
    EXPECT_FLOAT_EQ(effect.duration, row.duration) << row.sub_kind;
    if (row.entry == 1) { EXPECT_FLOAT_EQ(effect.vector_a[0], row.kind == 11 ? 0.2f : 1.0f) << "alpha first"; }
    if (row.kind == 19) { EXPECT_EQ(effect.color_word, 0xFFFF00FFu); }
  }
  CTrack_Event zoom = Event(4, 3);
  g_Music_Track.On_Event_Start(zoom);
  EXPECT_TRUE(g_Camera.m_Zoom_Requested);
  g_Music_Track.On_Event_End(zoom);
  EXPECT_FALSE(g_Camera.m_Zoom_Requested);
}

TEST_F(TrackEvents, LanesLightInSequenceInPairsAndOnlyOnALaneTrack) {
  Replace_Track(writers::TrackSpec{1, 1, 3, 60.0f, {}});
  std::vector<CStruct_Light_Wall*> walls;
  for (int n = 0; CWorld_Object* wall = g_World.Find_Object_By_Type(CStruct_Light_Wall::kType, n); ++n)
    walls.push_back(static_cast<CStruct_Light_Wall*>(wall));
  ASSERT_EQ(walls.size(), 6u);
  const auto lit_after = [&](uint32_t action, uint32_t argument) {
    for (CStruct_Light_Wall* wall : walls) wall->m_Glow_Trigger = false;
    g_Music_Track.Light_Lane_Walls(0, CTrack_Point{action, 0.0f, argument});
    std::vector<int> lit;
    for (size_t i = 0; i < walls.size(); ++i)
      if (walls[i]->m_Glow_Trigger) lit.push_back(static_cast<int>(i));
    return lit;
  };
  for (int i = 0; i < 7; ++i) EXPECT_EQ(lit_after(0, 0), std::vector<int>{i % 6}) << i;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(lit_after(1, 0), (std::vector<int>{2 * (i % 3), 2 * (i % 3) + 1})) << i;
  EXPECT_EQ(lit_after(2, 0).size(), 1u);
  g_Sim_Stats.m_Last_Round_Perfect = false;
  EXPECT_TRUE(lit_after(0, 2).empty()) << "the last round was not perfect";
  // One launch in four hit: a ratio of 0.25.
  g_Sim_Stats.End_Round(true);
  for (int i = 0; i < 4; ++i) g_Sim_Stats.Record_Launch(walls[i]);
  g_Sim_Stats.Register_Hit(walls[0], nullptr, nullptr, 0);
  ASSERT_FLOAT_EQ(g_Sim_Stats.Get_Launch_Hit_Ratio(), 0.25f);
  EXPECT_TRUE(lit_after(0, 1).empty()) << "too few launches hit";
  // Walls stand at the two edges; the world lists them newest first, so the last one is the
  // first built: lane 0 (the farthest), side 0.
  EXPECT_FLOAT_EQ(walls[5]->m_Position.x, X - 0.1f);
  EXPECT_FLOAT_EQ(walls[4]->m_Position.x, 0.1f);
  EXPECT_GT(walls[5]->m_Position.z, walls[0]->m_Position.z);
  g_Music_Track.m_Track_Mode = 0;
  EXPECT_TRUE(lit_after(0, 0).empty()) << "no lanes";
  g_Music_Track.m_Track_Mode = 2;
  EXPECT_FALSE(g_Music_Track.Setup_Lanes());
}

TEST_F(TrackEvents, SpawnShapesAndClearance) {
  CSpawn_Shape shape;
  const CVector3 p{300.0f, 40.0f, 700.0f};
  ASSERT_TRUE(g_Music_Track.Get_Spawn_Shape(8, nullptr, p, shape));
  EXPECT_EQ(shape.centre.y, 500.0f);
  EXPECT_EQ(shape.half_size.y, 2000.0f);
  ASSERT_TRUE(g_Music_Track.Get_Spawn_Shape(20, nullptr, p, shape));
  EXPECT_EQ(shape.half_size.x, X);
  EXPECT_FALSE(g_Music_Track.Get_Spawn_Shape(9, nullptr, p, shape)) << "a type without a shape";
  CTrack_Event event = Event(1, 0);
  auto* roller = static_cast<CEjector_Roller*>(Boxed(CEjector_Roller::kType, event, 0, 0));
  roller->m_Direction = 2;
  ASSERT_TRUE(g_Music_Track.Get_Spawn_Shape(44, roller, p, shape));
  EXPECT_EQ(shape.half_size.z, 0.5f * Z) << "a roller across the field";
  roller->m_Direction = 0;
  ASSERT_TRUE(g_Music_Track.Get_Spawn_Shape(44, roller, p, shape));
  EXPECT_EQ(shape.half_size.x, 0.5f * X);
  // Any ejector as an existing object: its body (the memory board's box).
  auto* ejector = Placed<CEjector_Simon_1>(event, 1, 1);
  ejector->Set_Position(CVector3{1000.0f, 100.0f, 1000.0f});
  ASSERT_TRUE(g_Music_Track.Get_Spawn_Shape(47, ejector, ejector->m_Position, shape));
  EXPECT_EQ(shape.kind, CSpawn_Shape::kBox);
  EXPECT_EQ(shape.half_size.x, 95.0f);
  EXPECT_EQ(shape.half_size.z, 35.0f);
  EXPECT_FALSE(g_Music_Track.Get_Spawn_Shape(47, nullptr, p, shape));
  // A box ejector where the board stands is refused; far from it, accepted.
  EXPECT_FALSE(g_Music_Track.Check_Clearance(37, CVector3{1000.0f, 100.0f, 1000.0f}));
  EXPECT_TRUE(g_Music_Track.Check_Clearance(37, CVector3{1000.0f, 100.0f, 1000.0f + 2000.0f}));
}

TEST_F(TrackEvents, TheBossTakesItsActions) {
  CTrack_Event event = Event(11, 0);
  g_Music_Track.On_Event_Start(event);
  auto* boss = static_cast<CBoss_Crystal_1*>(event.objects[0]);
  ASSERT_NE(boss, nullptr);
  EXPECT_TRUE(boss->m_Kind_Flags & 0x08u) << "the flag the run's end looks for";
  EXPECT_NEAR(boss->m_Position.y, g_World.Get_Height(0.5f * X, 0.75f * Z) + 375.0f, 0.01f);
  g_Music_Track.On_Event_Point(event, CTrack_Point{0, 0.0f, 1});
  EXPECT_EQ(boss->m_Fire_Request, 1);
  EXPECT_EQ(boss->m_Fire_Side, 0);
  g_Music_Track.On_Event_Point(event, CTrack_Point{0, 0.0f, 0});
  EXPECT_EQ(boss->m_Fire_Side, 1);
  g_Music_Track.On_Event_Point(event, CTrack_Point{1, 0.0f, 0});
  EXPECT_EQ(boss->m_Pulse, 1.0f);
  g_Music_Track.On_Event_Point(event, CTrack_Point{2, 0.0f, 0});
  EXPECT_EQ(boss->m_Flash_Request, 0) << "a pulse is charging";
  boss->m_Pulse = 0.0f;
  g_Music_Track.On_Event_Point(event, CTrack_Point{2, 0.0f, 0});
  EXPECT_EQ(boss->m_Flash_Request, 1);
}

}  // namespace

namespace {

TEST_F(TrackEvents, StartsOfTheOtherKindsSetUpTheirEjectorOrEmplacement) {
  struct Row {
    uint32_t kind, sub_kind, parameter, type;
    int list;
    int32_t slot_id;
    std::function<bool(const CVector3&, float ground, float X, float Z, float H)> place;
  } rows[] = {
      {5, 0, 3, 42, 1, -1, [](const CVector3& p, float g, float, float, float) { return std::fabs(p.y - g) < 0.01f; }},
      {8, 0, 0, 43, 1, 0, [](const CVector3& p, float g, float X, float Z, float) {
         return p.x == 0.5f * X && p.z == 0.55f * Z && std::fabs(p.y - (g - 300.0f)) < 0.01f;
       }},
      {9, 0, 0, 46, 1, -1, [](const CVector3& p, float g, float, float, float H) { return p.x == 0.1f && p.y >= g + 95.0f && p.y <= H - 300.0f; }},
      {9, 1, 0, 46, 1, -1, [](const CVector3& p, float, float X, float, float) { return p.x == X - 0.1f; }},
      {10, 0, 0, 50, 2, -1, [](const CVector3& p, float g, float, float, float) { return std::fabs(p.y - g) < 0.01f; }},
      {10, 1, 0, 51, 1, -1, [](const CVector3& p, float g, float, float, float) { return std::fabs(p.y - g) < 0.01f; }},
      {10, 8, 0, 52, 1, -1, [](const CVector3& p, float g, float, float Z, float H) {
         return p.z == Z - 0.5f - 1.0f && p.y >= g + 400.0f && p.y <= H - 300.0f;
       }},
      {16, 0, 0, 53, 1, -1, [](const CVector3& p, float g, float, float, float) { return std::fabs(p.y - (g - 1550.0f)) < 0.01f; }},
      {16, 1, 0, 54, 1, -1, [](const CVector3& p, float, float, float Z, float) { return p.z == Z - 0.5f - 5.0f; }},
  };
  for (const Row& row : rows) {
    CTrack_Event event = Event(row.kind, row.sub_kind, row.parameter);
    g_Music_Track.On_Event_Start(event);
    CWorld_Object* object = event.objects[0];
    ASSERT_NE(object, nullptr) << row.kind << "/" << row.sub_kind;
    EXPECT_EQ(object->m_Type, row.type) << row.kind << "/" << row.sub_kind;
    EXPECT_EQ(object->m_List, row.list) << row.type;
    EXPECT_TRUE(object->m_Kind_Flags & 0x04u) << row.type << ": every ejector pushes";
    EXPECT_EQ(event.slot_ids[0], row.slot_id) << row.type;
    const CVector3& p = object->m_Position;
    EXPECT_TRUE(row.place(p, g_World.Get_Height(p.x, p.z), X, Z, H)) << row.type << " at " << p.x << ", " << p.y << ", " << p.z;
    if (row.type == 42) { EXPECT_EQ(static_cast<CEjector_Sparkler*>(object)->m_Colour_Value, 3u) << "colour from the parameter"; }
    Sweep();
  }
}

TEST_F(TrackEvents, RowsAndRingsPlaceTheirEjectorsByTheArgument) {
  CTrack_Event row = Event(2, 1, 3);
  for (uint32_t a = 0; a < 3; ++a) g_Music_Track.On_Event_Point(row, CTrack_Point{0, 0.0f, a});
  for (int n = 0; n < 3; ++n) {
    ASSERT_NE(row.objects[n], nullptr);
    EXPECT_FLOAT_EQ(row.objects[n]->m_Position.x, (n + 1) / 4.0f * X);
    EXPECT_FLOAT_EQ(row.objects[n]->m_Position.z, 0.85f * Z);
    EXPECT_EQ(row.slot_ids[n], n);
  }
  Sweep();
  CTrack_Event ring = Event(2, 3, 4);
  for (uint32_t a = 0; a < 4; ++a) g_Music_Track.On_Event_Point(ring, CTrack_Point{0, 0.0f, a});
  for (int n = 0; n < 4; ++n) {
    ASSERT_NE(ring.objects[n], nullptr);
    const CVector3& p = ring.objects[n]->m_Position;
    const float u = p.x / X - 0.5f, v = p.z / Z - 0.65f;
    EXPECT_NEAR(u * u + v * v, 0.0625f, 1e-4f) << "on the ring of radius 0.25";
    EXPECT_NEAR(std::fabs(u), std::fabs(v), 1e-4f) << "p 4 turns the ring by a quarter of pi";
  }
}

}  // namespace
