// The track's events: what an event does at its start, at each of its points and at its end,
// and how it drives the objects it holds.
#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/enemies/CBoss_Crystal_1.h"
#include "game/enemies/CEjector_Enemy_Bar.h"
#include "game/enemies/CEjector_Enemy_Bomb.h"
#include "game/enemies/CEjector_Enemy_Cannon.h"
#include "game/enemies/CEjector_Enemy_Plate.h"
#include "game/enemies/CEjector_Enemy_Tower.h"
#include "game/enemies/CEmmo_Bullet_1.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CEjector_Ball.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Brick.h"
#include "game/targets/CEjector_Cylinder.h"
#include "game/targets/CEjector_Pill.h"
#include "game/targets/CEjector_Roller.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CEjector_Sparkler.h"
#include "game/targets/CEjector_Stars.h"
#include "game/targets/CEjector_Targets.h"
#include "game/targets/CEjector_Twirler.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "game/targets/CTarget_Jumper.h"
#include "game/targets/CTarget_Twirler.h"
#include "game/targets/Ejector_Shared.h"
#include "platform/system/random.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kEffect_Time_Scale = 3.56f;
constexpr float kReleased_Timer = 0.001f;
constexpr int kRandom_Choice = 255;
constexpr int kBusy_Repicks = 8;

// Kind 1: one wall-standing ejector by sub-kind.
struct Ejector_Row {
  uint32_t type;
  uint8_t flags;
  int variant;
};
constexpr Ejector_Row kKind_1_Ejectors[10] = {
    {37, 0x00, -1}, {41, 0x25, 0}, {41, 0x26, 1}, {44, 0x21, 0}, {44, 0x22, 1},
    {44, 0xB0, 2},  {44, 0x28, 3}, {45, 0x41, 0}, {45, 0x42, 1}, {45, 0x00, 2},
};

// A place as fractions of the world's sizes, with the colour or side of the ejector there.
struct Formation_Place {
  float x, z;
  int variant;
};

// Kind 12's four-formation, also the places of its flashes.
constexpr Formation_Place kFour_Formation[4] = {{0.3f, 0.5f, 3}, {0.45f, 0.6f, 2}, {0.55f, 0.7f, 1}, {0.7f, 0.8f, 0}};

constexpr Formation_Place kBox_P2[] = {{0.5f, 0.76f, 0}, {0.7f, 0.5f, 1}, {0.3f, 0.5f, 1}};
constexpr Formation_Place kBox_P3[] = {{0.5f, 0.5f, 0}, {0.7f, 0.76f, 1}, {0.3f, 0.76f, 1}};
constexpr Formation_Place kBox_P4[] = {{0.4f, 0.7f, 0}, {0.7f, 0.45f, 1}, {0.3f, 0.45f, 1}, {0.6f, 0.7f, 0}};
constexpr Formation_Place kBox_P5[] = {
    {0.5f, 0.5f, 0}, {0.7f, 0.8f, 1}, {0.3f, 0.8f, 1}, {0.8f, 0.55f, 2}, {0.2f, 0.55f, 2}};
constexpr Formation_Place kBall_P3[] = {{0.5f, 0.75f, 2}, {0.7f, 0.55f, 1}, {0.3f, 0.55f, 0}};
constexpr Formation_Place kBall_P4[] = {{0.65f, 0.75f, 2}, {0.65f, 0.55f, 1}, {0.35f, 0.55f, 2}, {0.35f, 0.75f, 1}};
constexpr Formation_Place kBall_P5[] = {
    {0.2f, 0.55f, 0}, {0.35f, 0.75f, 1}, {0.5f, 0.6f, 3}, {0.65f, 0.75f, 1}, {0.8f, 0.55f, 0}};
constexpr Formation_Place kCylinder_P4[] = {{0.15f, 0.86f, 1}, {0.85f, 0.86f, 1}, {0.15f, 0.4f, 1}, {0.85f, 0.4f, 1}};
constexpr Formation_Place kCylinder_P6[] = {{0.15f, 0.86f, 1}, {0.15f, 0.63f, 1}, {0.15f, 0.4f, 1},
                                            {0.85f, 0.86f, 1}, {0.85f, 0.63f, 1}, {0.85f, 0.4f, 1}};

struct Formation {
  const Formation_Place* places;
  uint32_t count;
};

template <size_t N>
constexpr Formation Of(const Formation_Place (&places)[N]) {
  return Formation{places, static_cast<uint32_t>(N)};
}

Formation Box_Formation(uint32_t p) {
  switch (p) {
    case 2: return Of(kBox_P2);
    case 3: return Of(kBox_P3);
    case 4: return Of(kBox_P4);
    case 5: return Of(kBox_P5);
    default: return Formation{nullptr, 0};
  }
}

Formation Ball_Formation(uint32_t p) {
  switch (p) {
    case 3: return Of(kBall_P3);
    case 4: return Of(kBall_P4);
    case 5: return Of(kBall_P5);
    default: return Formation{nullptr, 0};
  }
}

// Kind 2 sub-kind 5: star ejectors on the side walls, (x as 0 or 1 of X, height below H, z of Z).
struct Wall_Place {
  float x, below, z;
  int side, colour;
};
constexpr Wall_Place kStars_P4[] = {
    {0, 700, 0.45f, 0, 0}, {1, 700, 0.45f, 1, 0}, {0, 600, 0.4f, 0, 2}, {1, 600, 0.4f, 1, 2}};
constexpr Wall_Place kStars_P6[] = {{0, 700, 0.9f, 0, 0},  {1, 700, 0.9f, 1, 0},  {0, 600, 0.85f, 0, 2},
                                    {1, 600, 0.85f, 1, 2}, {0, 500, 0.8f, 0, 1}, {1, 500, 0.8f, 1, 1}};

// Kind 4's and kind 14's effect records.
uint32_t Kind_19_Colour(uint32_t parameter) {
  switch (parameter) {
    case 2: return 0xFF00FFFF;
    case 3: return 0xFFFF00FF;
    case 4: return 0xFF0000FF;
    case 5: return 0xFF00FF00;
    case 6: return 0xFFFF0000;
    default: return 0xFFFFFF00;
  }
}

// A colour effect; the four values go in the record's order: alpha, red, green, blue.
void Add_Colour_Effect(int kind, float duration, float a, float r, float g, float b) {
  const CColor4 colour{a, r, g, b};
  g_Screen_FX_Mgr.Add_Effect(kind, duration, colour, CColor4::Zero, 0.0f, 0.0f);
}

void Add_Value_Effect(int kind, float duration, float value) { g_Screen_FX_Mgr.Add_Effect_2(kind, duration, value); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Start

void CMusic_Track::On_Event_Start(CTrack_Event& event) {
  const bool store = true;
  switch (event.kind) {
    case 1: Start_Ejector(event); break;
    case 3:
      event.parameter = 0;
      if (g_Sim_Stats.Check_Perfect_Round()) event.parameter = 1;
      break;
    case 4: Start_Effect(event); break;
    case 5:
      if (event.sub_kind == 0) Setup_Ejector(42, 0, &event, -1, -1, -1, nullptr, store);
      break;
    case 8: {
      if (event.Occupied_Count() == 0) event.placement_depth = 0.55f * World_Z();
      const CVector3 place{0.5f * World_X(), 0.0f, event.placement_depth};
      Setup_Ejector(43, 0, &event, 0, -1, -1, &place, store);
      break;
    }
    case 9: Start_Kind_9(event); break;
    case 10:
      if (event.sub_kind == 0) Setup_Ejector(50, 0, &event, -1, -1, -1, nullptr, store);
      if (event.sub_kind == 1) Setup_Ejector(51, 0, &event, -1, -1, -1, nullptr, store);
      if (event.sub_kind == 8) Setup_Ejector(52, 0x08, &event, -1, -1, -1, nullptr, store);
      break;
    case 11:
      if (event.sub_kind == 0) Spawn_Into_Slot(CBoss_Crystal_1::kType, event);
      break;
    case 12:
      if (event.sub_kind == 0) Start_Box_Formation(event);
      break;
    case 14: Start_Screen_Effect(event); break;
    case 15: m_End_Requested = true; break;
    case 16:
      if (event.sub_kind == 0) Setup_Ejector(53, 0, &event, -1, -1, -1, nullptr, store);
      if (event.sub_kind == 1) Setup_Ejector(54, 0x08, &event, -1, -1, -1, nullptr, store);
      break;
    default: break;
  }
}

void CMusic_Track::Start_Ejector(CTrack_Event& event) {
  if (event.sub_kind >= 10) return;
  const Ejector_Row& row = kKind_1_Ejectors[event.sub_kind];
  Setup_Ejector(row.type, row.flags, &event, -1, row.variant, -1, nullptr, true);
}

void CMusic_Track::Start_Effect(const CTrack_Event& event) {
  const float duration = (event.end - event.start) * kEffect_Time_Scale;
  const float c = static_cast<float>(event.parameter) + 1.0f;
  switch (event.sub_kind) {
    case 0: Add_Colour_Effect(11, 0.75f, c * 0.05f, 1.0f, 1.0f, 1.0f); break;
    case 1: Add_Colour_Effect(15, 0.75f, 1.0f, c * 0.1f, c * 0.1f, c * 0.1f); break;
    case 2: Add_Value_Effect(13, 1.5f, c * 0.05f); break;
    case 3:
      g_Camera.m_Zoom_Requested = true;
      g_Camera.m_Zoom_Phase = 0.0f;
      break;
    case 4:
      g_Camera.m_Overlay_Requested = true;
      g_Camera.m_Overlay_Level = 0.0f;
      break;
    case 5: Add_Value_Effect(16, duration, 0.0f); break;
    case 6: Add_Value_Effect(17, duration, 0.0f); break;
    case 7: Add_Colour_Effect(18, duration, 1.0f, c * 0.1f, c * 0.1f, c * 0.1f); break;
    case 8: {
      const int kind = 19;
      g_Screen_FX_Mgr.Add_Effect_5(kind, duration, Kind_19_Colour(event.parameter));
      break;
    }
    case 9: Add_Value_Effect(20, duration, c * 0.1f); break;
    default: break;
  }
}

void CMusic_Track::Start_Screen_Effect(const CTrack_Event& event) {
  const float duration = (event.end - event.start) * kEffect_Time_Scale;
  const float c = static_cast<float>(event.parameter) + 1.0f;
  if (event.sub_kind == 0) Add_Value_Effect(21, duration, 0.0f);
  if (event.sub_kind == 1) Add_Value_Effect(22, duration, c * 0.1f);
  if (event.sub_kind == 2) Add_Value_Effect(23, duration, 0.0f);
}

void CMusic_Track::Start_Kind_9(CTrack_Event& event) {
  const bool store = true;
  if (event.sub_kind == 0) Setup_Ejector(46, 0x41, &event, -1, 0, -1, nullptr, store);
  if (event.sub_kind == 1) Setup_Ejector(46, 0x42, &event, -1, 1, -1, nullptr, store);
  if (event.sub_kind != 8) return;
  float x = 0.5f, z = 0.43f;
  switch (event.parameter) {
    case 2: case 4: x = 0.3f; z = 0.43f; break;
    case 3: x = 0.7f; z = 0.43f; break;
    case 5: case 6: x = 0.7f; z = 0.33f; break;
    case 7: x = 0.3f; z = 0.33f; break;
    default: break;
  }
  const CVector3 place{x * World_X(), Camera_Height() - 300.0f, z * World_Z()};
  Setup_Ejector(47, 0x40, &event, -1, -1, -1, &place, store);
}

void CMusic_Track::Start_Box_Formation(CTrack_Event& event) {
  const float X = World_X(), Z = World_Z();
  const bool store = true;
  if (event.parameter == 3) {
    for (int n = 0; n < 3; ++n) {
      const CVector3 place{(n + 1) * 0.25f * X, 0.0f, 0.75f * Z};
      Setup_Ejector(37, 0, &event, n, 0, -1, &place, store);
    }
  } else if (event.parameter == 4) {
    for (int n = 0; n < 4; ++n) {
      const CVector3 place{kFour_Formation[n].x * X, 0.0f, kFour_Formation[n].z * Z};
      Setup_Ejector(37, 0, &event, n, kFour_Formation[n].variant, -1, &place, store);
    }
  } else if (event.parameter == 5) {
    for (int n = 0; n < 5; ++n) {
      const CVector3 place{(n + 1) / 6.0f * X, 0.0f, 0.525f * Z};
      Setup_Ejector(37, 0, &event, n, 1, -1, &place, store);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// End

void CMusic_Track::On_Event_End(CTrack_Event& event) {
  if (event.kind == 3 && event.parameter == 0) {
    const bool reset = true;
    g_Sim_Stats.End_Round(reset);
    event.parameter = 1;
  }
  if (event.kind == 4 && event.sub_kind == 3) g_Camera.m_Zoom_Requested = false;
  if (event.kind == 4 && event.sub_kind == 4) g_Camera.m_Overlay_Requested = false;
  for (int32_t id = 0; id < CTrack_Event::kSlot_Count; ++id) Release_Slot(event, id);
}

// ---------------------------------------------------------------------------------------------
// Points

void CMusic_Track::On_Event_Point(CTrack_Event& event, const CTrack_Point& point) {
  switch (event.kind) {
    case 1: Trigger_Slot(event, 0); break;
    case 2:
      if (point.action == 0) Place_Row_Ejector(event, point);
      if (point.action == 1) Release_Slot(event, static_cast<int32_t>(point.argument));
      if (point.action == 2) Trigger_By_Argument(event, point);
      break;
    case 3:
      if (event.parameter == 0 && g_Sim_Stats.Check_Perfect_Round()) event.parameter = 1;
      break;
    case 5:
      if (event.sub_kind == 0) Trigger_Slot(event, 0);
      if (event.sub_kind == 1) Sparkler_Point(event, point);
      break;
    case 7: Light_Lane_Walls(event.sub_kind, point); break;
    case 8: Twirler_Point(event, point); break;
    case 9: Spawn_Kind_9(event, point); break;
    case 10: Spawn_Kind_10(event, point); break;
    case 11: Boss_Action(event.objects[0], point); break;
    case 12:
      if (point.action == 1) Release_Slot(event, static_cast<int32_t>(point.argument));
      if (point.action == 2) {
        const int slot = event.Find_Slot(static_cast<int32_t>(point.argument));
        if (slot >= 0) Trigger_Slot(event, slot);
      }
      if (point.action == 0 && event.sub_kind == 0) Formation_Flash(event, point);
      break;
    case 13: Spawn_Kind_13(event, point); break;
    case 16: Spawn_Kind_16(event, point); break;
    default: break;
  }
}

bool CMusic_Track::Trigger_Slot(CTrack_Event& event, int slot) { return Trigger_Ejector(event.objects[slot]); }

void CMusic_Track::Place_Row_Ejector(CTrack_Event& event, const CTrack_Point& point) {
  const float X = World_X(), Z = World_Z(), H = Camera_Height();
  const int n = event.Occupied_Count();
  const int64_t p = event.parameter;
  const int32_t slot_id = static_cast<int32_t>(point.argument);
  const bool store = true;
  // x of a row with p places: the argument's place, the last one for a larger argument.
  const auto row_x = [&]() {
    const int64_t place = std::min<int64_t>(point.argument, p - 1) + 1;
    return static_cast<float>(place) / static_cast<float>(p + 1) * X;
  };
  const auto row = [&](uint32_t type, float depth, int variant) {
    if (n == 0) event.placement_depth = depth * Z;
    const CVector3 place{row_x(), 0.0f, event.placement_depth};
    Setup_Ejector(type, 0, &event, slot_id, variant, -1, &place, store);
  };
  const auto formation = [&](uint32_t type, const Formation& f, uint32_t index, float x_low, float z_low) {
    // A formation's own places take no random draw; past its end (or without one) the place is
    // drawn, x before z.
    int variant = kRandom_Choice;
    CVector3 place{0.0f, 0.0f, 0.0f};
    if (index < f.count) {
      variant = f.places[index].variant;
      place.Set(f.places[index].x * X, 0.0f, f.places[index].z * Z);
    } else {
      place = CVector3{(x_low + 0.8f * Random_Fraction()) * X, 0.0f, (0.4f + 0.55f * Random_Fraction()) * Z};
    }
    (void)z_low;
    Setup_Ejector(type, 0, &event, slot_id, variant, -1, &place, store);
  };
  switch (event.sub_kind) {
    case 1: row(37, 0.85f, n); break;
    case 2: row(40, 0.45f, n); break;
    case 3: {
      const float q = p == 0 ? 1.0f : static_cast<float>(p);
      const float angle = (p == 4 ? kPi / 4.0f : 0.0f) + 2.0f * kPi / q * static_cast<float>(n);
      CVector3 direction{0.0f, 0.0f, -1.0f};
      CMatrix3x3 turn;
      direction.Rotate(turn.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, angle));
      const CVector3 place{(direction.x * 0.25f + 0.5f) * X, 0.0f, (direction.z * 0.25f + 0.65f) * Z};
      Setup_Ejector(37, 0, &event, slot_id, -1, -1, &place, store);
      break;
    }
    case 4: formation(37, Box_Formation(event.parameter), static_cast<uint32_t>(n), 0.15f, 0.4f); break;
    case 5: {
      const Wall_Place* places = event.parameter == 4 ? kStars_P4 : event.parameter == 6 ? kStars_P6 : nullptr;
      const int count = event.parameter == 4 ? 4 : event.parameter == 6 ? 6 : 0;
      CVector3 place{0.0f, 0.0f, 0.0f};
      int side = kRandom_Choice, colour = kRandom_Choice;
      uint8_t flags = 0x02;
      if (n < count) {
        const Wall_Place& at = places[n];
        place.Set(at.x * X, H - at.below, at.z * Z);
        side = at.side;
        colour = at.colour;
        flags = side == 0 ? 0x01 : 0x02;
      } else {
        place = CVector3{0.5f * X, H - (400.0f + 200.0f * Random_Fraction()), (0.4f + 0.1f * Random_Fraction()) * Z};
      }
      Setup_Ejector(41, flags, &event, slot_id, side, colour, &place, store);
      break;
    }
    case 6: row(39, 0.65f, 0); break;
    case 7: formation(38, Ball_Formation(event.parameter), static_cast<uint32_t>(n), 0.1f, 0.4f); break;
    case 8: row(40, 0.85f, n); break;
    case 9: {
      const Formation f = event.parameter == 4 ? Of(kCylinder_P4) : event.parameter == 6 ? Of(kCylinder_P6)
                                                                                        : Formation{nullptr, 0};
      CVector3 place{0.0f, 0.0f, 0.0f};
      if (!f.places)
        place = CVector3{(0.1f + 0.8f * Random_Fraction()) * X, 0.0f, (0.4f + 0.55f * Random_Fraction()) * Z};
      else if (point.argument < f.count)
        place.Set(f.places[point.argument].x * X, 0.0f, f.places[point.argument].z * Z);
      else
        place.Set(0.0f, 0.0f, event.placement_depth);
      Setup_Ejector(39, 0, &event, slot_id, 1, -1, &place, store);
      break;
    }
    default: break;
  }
}

void CMusic_Track::Trigger_By_Argument(CTrack_Event& event, const CTrack_Point& point) {
  CWorld_Object* chosen = nullptr;
  if (point.argument <= 8) {
    const int slot = event.Find_Slot(static_cast<int32_t>(point.argument));
    if (slot >= 0) chosen = event.objects[slot];
  } else {
    int slot = Random_Occupied_Slot(event);
    for (int tries = 0; slot >= 0 && tries < kBusy_Repicks; ++tries) {
      CWorld_Object* object = event.objects[slot];
      if (object->m_Type != CEjector_Ball::kType || !static_cast<CEjector_Ball*>(object)->Is_Busy()) break;
      slot = Random_Occupied_Slot(event);
    }
    if (slot >= 0) chosen = event.objects[slot];
  }
  if (point.argument == 9 && chosen && chosen->m_Type == CEjector_Ball::kType) {
    static_cast<CEjector_Ball*>(chosen)->Decoy_Requested = true;
    return;
  }
  Trigger_Ejector(chosen);
}

void CMusic_Track::Twirler_Point(CTrack_Event& event, const CTrack_Point& point) {
  const int32_t argument = static_cast<int32_t>(point.argument);
  if (point.action == 0) {
    const CWorld_Object* first = g_World.Find_Object_By_Type(CTarget_Twirler::kType, 0);
    if (argument == 9 && first && first->m_Kill_Timer == 0.0f) return;
    const int slot = Random_Occupied_Slot(event);
    if (slot >= 0) Trigger_Slot(event, slot);
  } else if (point.action == 1) {
    CWorld_Object* twirler = g_World.Find_Object_By_Type(CTarget_Twirler::kType, argument == -1 ? 0 : argument);
    if (twirler && twirler->m_Kill_Timer == 0.0f) twirler->m_Kill_Timer = kReleased_Timer;
  } else if (point.action == 2 && argument == -1) {
    const int slot = event.Find_Slot(0);
    CWorld_Object* object = slot >= 0 ? event.objects[slot] : nullptr;
    if (object && object->m_Type == CEjector_Twirler::kType) static_cast<CEjector_Twirler*>(object)->Set_Glow(1.0f);
  }
}

void CMusic_Track::Sparkler_Point(CTrack_Event& event, const CTrack_Point& point) {
  if (point.argument >= 1 && point.argument <= 4) return;
  uint8_t flags = 0;
  int variant = -1;
  if (point.action == 0) {
    flags = 1;
    variant = 1;
  } else if (point.action == 1) {
    flags = 2;
    variant = 2;
  }
  Setup_Ejector(42, flags, &event, -1, variant, -1, nullptr, false);
}

void CMusic_Track::Simon_Point(CTrack_Event& event, const CTrack_Point& point) {
  CWorld_Object* object = event.objects[0];
  if (!object || object->m_Type != CEjector_Simon_1::kType) return;
  static_cast<CEjector_Simon_1*>(object)->Command(point.action, point.argument);
}

void CMusic_Track::Spawn_Kind_9(CTrack_Event& event, const CTrack_Point& point) {
  static constexpr uint32_t kTypes[10] = {0, 0, 19, 20, 21, 22, 23, 24, 0, 25};
  if (event.sub_kind == 8) {
    Simon_Point(event, point);
  } else if (event.sub_kind < 10 && kTypes[event.sub_kind] != 0) {
    Spawn_Target(kTypes[event.sub_kind], point);
  } else {
    Trigger_Slot(event, 0);
  }
}

void CMusic_Track::Spawn_Kind_10(CTrack_Event& event, const CTrack_Point& point) {
  static constexpr uint32_t kTypes[10] = {0, 0, 8, 58, 59, 60, 0, 66, 0, 63};
  if (event.sub_kind == 6) {
    if (point.action != 1) {
      Spawn_Target(CEmmo_Bullet_1::kType, point, &event);
      return;
    }
    int slot = event.Find_Slot(static_cast<int32_t>(point.argument));
    if (slot < 0) slot = 0;
    CWorld_Object* object = event.objects[slot];
    if (object && object->m_Type == CEmmo_Bullet_1::kType) static_cast<CEmmo_Bullet_1*>(object)->Play_Sound_Once();
  } else if (event.sub_kind < 10 && kTypes[event.sub_kind] != 0) {
    Spawn_Target(kTypes[event.sub_kind], point);
  } else {
    Trigger_Slot(event, 0);
  }
}

void CMusic_Track::Spawn_Kind_13(CTrack_Event& event, const CTrack_Point& point) {
  static constexpr uint32_t kTypes[6] = {26, 10, 27, 0, 29, 30};
  if (event.sub_kind == 3) {
    if (point.action != 0) {
      Spawn_Target(CTarget_Jumper::kType, point);
      return;
    }
    for (int n = 0;; ++n) {
      CWorld_Object* jumper = g_World.Find_Object_By_Type(CTarget_Jumper::kType, n);
      if (!jumper) break;
      static_cast<CTarget_Jumper*>(jumper)->Request_Jump();
    }
  } else if (event.sub_kind < 6) {
    Spawn_Target(kTypes[event.sub_kind], point);
  } else {
    Trigger_Slot(event, 0);
  }
}

void CMusic_Track::Spawn_Kind_16(CTrack_Event& event, const CTrack_Point& point) {
  static constexpr uint32_t kTypes[6] = {0, 0, 56, 67, 64, 65};
  if (event.sub_kind < 6 && kTypes[event.sub_kind] != 0)
    Spawn_Target(kTypes[event.sub_kind], point);
  else
    Trigger_Slot(event, 0);
}

void CMusic_Track::Formation_Flash(const CTrack_Event& event, const CTrack_Point& point) {
  const float X = World_X(), Z = World_Z();
  const uint32_t a = point.argument;
  float x = 0.0f, z = 0.0f;
  if (event.parameter == 3) {
    x = (std::min<uint32_t>(a, 2) + 1) * 0.25f * X;
    z = 0.75f * Z;
  } else if (event.parameter == 4 && a <= 3) {
    x = kFour_Formation[a].x * X;
    z = kFour_Formation[a].z * Z;
  } else if (event.parameter == 5) {
    x = (std::min<uint32_t>(a, 4) + 1) / 6.0f * X;
    z = 0.525f * Z;
  }
  const CVector3 place{x, Ground(x, z), z};
  CVector3 colour;
  colour.x = 0.2f + 0.8f * Random_Fraction();
  colour.y = 0.2f + 0.8f * Random_Fraction();
  colour.z = 0.2f + 0.8f * Random_Fraction();
  const int kind = 14;
  const float duration = 2.0f, value1 = 1.0f, value2 = 0.15f;
  g_Screen_FX_Mgr.Add_Effect_3(kind, duration, place, colour, value1, value2);
}

// ---------------------------------------------------------------------------------------------
// Driving the event's objects

void CMusic_Track::Release_Object(CTrack_Event& event, int slot) {
  CWorld_Object* object = event.objects[slot];
  // A death already under way keeps its pace.
  object->m_Kill_Timer = std::max(object->m_Kill_Timer, kReleased_Timer);
  event.objects[slot] = nullptr;
  event.slot_ids[slot] = -1;
}

void CMusic_Track::Release_Slot(CTrack_Event& event, int32_t id) {
  int slot = event.Find_Slot(id);
  if (slot < 0) slot = 0;
  if (event.objects[slot]) {
    Release_Object(event, slot);
    return;
  }
  if (id == -1) {
    const int random_slot = Random_Occupied_Slot(event);
    if (random_slot >= 0) Release_Object(event, random_slot);
  } else if (id >= 0 && id < CTrack_Event::kSlot_Count && event.objects[id]) {
    Release_Object(event, id);
  }
}

bool CMusic_Track::Trigger_Ejector(CWorld_Object* object) {
  if (!object || object->m_Type < 37 || object->m_Type > 54) return false;
  switch (object->m_Type) {
    case CEjector_Targets::kType: static_cast<CEjector_Targets*>(object)->Queue_Launch(); return true;
    case 47: case 48: case 49: return false;
    case CEjector_Enemy_Cannon::kType: static_cast<CEjector_Enemy_Cannon*>(object)->m_Fire_Requested = 1; return true;
    default: break;
  }
  // Ejectors that keep the common flags take the request there.
  if (auto* flags = dynamic_cast<ejectors::Ejector_Flags*>(object)) {
    flags->Launch_Requested = true;
    return true;
  }
  switch (object->m_Type) {
    case CEjector_Enemy_Tower::kType: static_cast<CEjector_Enemy_Tower*>(object)->m_Launch_Requested = 1; return true;
    case CEjector_Enemy_Bomb::kType: static_cast<CEjector_Enemy_Bomb*>(object)->m_Launch_Requested = 1; return true;
    case CEjector_Enemy_Bar::kType: static_cast<CEjector_Enemy_Bar*>(object)->m_Launch_Requested = 1; return true;
    case CEjector_Enemy_Plate::kType: static_cast<CEjector_Enemy_Plate*>(object)->m_Launch_Requested = 1; return true;
    default: return false;
  }
}

void CMusic_Track::Light_Lane_Walls(uint32_t sub_kind, const CTrack_Point& point) {
  if (m_Track_Mode != 1 || sub_kind != 0) return;
  if (point.argument == 1 && g_Sim_Stats.Get_Launch_Hit_Ratio() < 0.5f) return;
  if (point.argument == 2 && !g_Sim_Stats.m_Last_Round_Perfect) return;
  const uint64_t walls = 2ull * m_Lane_Count;
  if (walls == 0) return;
  const auto light = [](uint64_t n) {
    if (n > 0x7FFFFFFF) return;
    CWorld_Object* wall = g_World.Find_Object_By_Type(kLight_Wall_Type, static_cast<int>(n));
    if (wall) static_cast<CStruct_Light_Wall*>(wall)->Trigger_Glow();
  };
  const auto advance = [walls](uint32_t& index) { index = static_cast<uint32_t>((index + 1ull) % walls); };
  if (point.action == 0) {
    light(m_Lane_Light_Index % walls);
    advance(m_Lane_Light_Index);
  } else if (point.action == 1) {
    light(m_Lane_Pair_Index % walls);
    advance(m_Lane_Pair_Index);
    light(m_Lane_Pair_Index);
    advance(m_Lane_Pair_Index);
  } else if (point.action == 2) {
    light(static_cast<uint64_t>(plat::Random()) * walls / 32768u);
  }
}

void CMusic_Track::Boss_Action(CWorld_Object* object, const CTrack_Point& point) {
  if (!object || object->m_Type != CBoss_Crystal_1::kType) return;
  CBoss_Crystal_1* boss = static_cast<CBoss_Crystal_1*>(object);
  if (point.action == 0) {
    bool side = point.argument == 0;
    if (point.argument > 1) side = Random_Fraction() < 0.5f;
    boss->Request_Fire(side ? 1 : 0);
  } else if (point.action == 1) {
    boss->Start_Pulse();
  } else if (point.action == 2) {
    boss->Request_Flash();
  }
}
