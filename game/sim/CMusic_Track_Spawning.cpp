// Putting the objects that track events ask for into the world: ejectors and emplacements,
// targets, enemies and enemy shots, the boss; and the clearance test for drawn places.
#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/enemies/CBoss_Crystal_1.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Ball.h"
#include "game/targets/CEjector_Cylinder.h"
#include "game/targets/CEjector_Targets.h"
#include "game/targets/CEjector_Stars.h"
#include "game/targets/CEjector_Sparkler.h"
#include "game/targets/CEjector_Twirler.h"
#include "game/targets/CEjector_Brick.h"
#include "game/targets/CEjector_Pill.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CTarget_Ball.h"
#include "game/targets/CTarget_Flier.h"
#include "game/targets/Flyer_Spawning.h"
#include "game/targets/CTarget_Boomer.h"
#include "game/targets/CTarget_Leaf.h"
#include "game/targets/CTarget_Bar.h"
#include "game/targets/CTarget_Flare.h"
#include "game/targets/CTarget_Goo.h"
#include "game/targets/CTarget_Glower.h"
#include "game/targets/CTarget_Line.h"
#include "game/targets/CTarget_Glower_B.h"
#include "game/targets/CTarget_Jumper.h"
#include "game/targets/CTarget_Buster.h"
#include "game/targets/CTarget_Exclaim.h"
#include "game/enemies/CEjector_Enemy_Cannon.h"
#include "game/enemies/CEjector_Enemy_Tower.h"
#include "game/enemies/CEjector_Enemy_Bomb.h"
#include "game/enemies/CEjector_Enemy_Bar.h"
#include "game/enemies/CEjector_Enemy_Plate.h"
#include "game/enemies/CEnemy_UFO.h"
#include "game/enemies/CEnemy_Tile_1.h"
#include "game/enemies/Emmo_Spawning.h"
#include "game/enemies/CEnemy_Digger_1.h"
#include "game/enemies/Enemy_Pools.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CEjector_Roller.h"
#include "game/targets/Ejector_Shared.h"
#include "platform/system/random.h"
#include "runtime/src/math/geometry.h"

namespace {

constexpr int kPlace_Draws = 32;
constexpr float kPi = 3.14159265f;

// What the track hands an ejector's Spawn: its variant (side, wall, form or colour by class), its
// colour index and, for the sparkler ejector, the sparkler count.
struct CEjector_Params {
  int variant = 0;
  int colour = 0;
  int count = 0;
};

// The range of an ejector's variant and colour by type (count 0: the class takes none).
struct Ejector_Ranges {
  uint32_t type;
  int variants;
  int colours;
};
constexpr Ejector_Ranges kRanges[] = {
    {37, 4, 0}, {38, 4, 0}, {39, 2, 0}, {40, 0, 0}, {41, 2, 4}, {42, 3, 0}, {43, 0, 0}, {44, 4, 4}, {45, 3, 4},
    {46, 2, 4}, {47, 0, 0}, {50, 0, 0}, {51, 0, 0}, {52, 0, 0}, {53, 0, 0}, {54, 0, 4},
};

Ejector_Ranges Ranges_Of(uint32_t type) {
  for (const Ejector_Ranges& ranges : kRanges)
    if (ranges.type == type) return ranges;
  return Ejector_Ranges{type, 0, 0};
}

// A value in range stays; any other becomes a random one in range.
int Clamp_Choice(int value, int count) {
  if (count <= 0) return 0;
  if (value >= 0 && value < count) return value;
  return std::min(plat::Random() * count / 32768, count - 1);
}

CMatrix3x3 Turn_About_Y(float angle) {
  CMatrix3x3 turn;
  turn.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, angle);
  return turn;
}

CMatrix3x3 Turn_About_X(float angle) {
  CMatrix3x3 turn;
  turn.From_Axis_Angle(CVector3{1.0f, 0.0f, 0.0f}, angle);
  return turn;
}

// The types that go to the world's fixed-step list.
bool Goes_To_List_2(uint32_t type) {
  switch (type) {
    case 19: case 21: case 23: case 25: case 26: return false;
    default: return true;
  }
}

float Distance_Sq_To_Box(const CSpawn_Shape& box, const CVector3& point) {
  CVector3 offset;
  point.Subtract(box.centre, offset);
  const float half[3] = {box.half_size.x, box.half_size.y, box.half_size.z};
  float sum = 0.0f;
  for (int i = 0; i < 3; ++i) {
    const float along = offset.Dot(box.axes.rows[i]);
    const float outside = std::fabs(along) - half[i];
    if (outside > 0.0f) sum += outside * outside;
  }
  return sum;
}

bool Shapes_Overlap(const CSpawn_Shape& candidate, const CSpawn_Shape& existing) {
  if (candidate.kind == CSpawn_Shape::kBox && existing.kind == CSpawn_Shape::kBox) {
    return BoxBoxOverlap(candidate.centre, candidate.axes.rows[0], candidate.axes.rows[1], candidate.axes.rows[2],
                         candidate.half_size, existing.centre, existing.axes.rows[0], existing.axes.rows[1],
                         existing.axes.rows[2], existing.half_size);
  }
  if (candidate.kind == CSpawn_Shape::kBox)
    return Distance_Sq_To_Box(candidate, existing.centre) < existing.radius * existing.radius;
  if (existing.kind == CSpawn_Shape::kBox)
    return Distance_Sq_To_Box(existing, candidate.centre) < candidate.radius * candidate.radius;
  CVector3 between;
  candidate.centre.Subtract(existing.centre, between);
  const float reach = 2.0f * existing.radius;
  return between.Length_Squared() < reach * reach;
}


// A target's colour from the point's argument: 0-3 stays, anything else is drawn.
int32_t Target_Colour(int argument) {
  return argument >= 0 && argument <= 3 ? argument : std::min(plat::Random() * 4 / 32768, 3);
}

// Each class's own Spawn, by type.
void Spawn_Ejector(uint32_t type, CWorld_Object* object, const CEjector_Params& params, const CVector3& place) {
  switch (type) {
    case CEjector_Box::kType: {
      const uint32_t variant = static_cast<uint32_t>(params.variant);
      static_cast<CEjector_Box*>(object)->Spawn(variant, place);
      return;
    }
    case CEjector_Ball::kType: {
      const uint32_t colour = static_cast<uint32_t>(params.variant);
      static_cast<CEjector_Ball*>(object)->Spawn(colour, place);
      return;
    }
    case CEjector_Cylinder::kType:
      static_cast<CEjector_Cylinder*>(object)->Spawn(static_cast<uint32_t>(params.variant), place);
      return;
    case CEjector_Targets::kType: static_cast<CEjector_Targets*>(object)->Spawn(0, place); return;
    case CEjector_Stars::kType: {
      const uint32_t side = static_cast<uint32_t>(params.variant), colour = static_cast<uint32_t>(params.colour);
      static_cast<CEjector_Stars*>(object)->Spawn(side, colour, place);
      return;
    }
    case CEjector_Sparkler::kType: {
      const uint8_t flag = 1;
      const uint32_t kind = static_cast<uint32_t>(params.variant), value = static_cast<uint32_t>(params.count);
      static_cast<CEjector_Sparkler*>(object)->Spawn(flag, kind, value, place);
      return;
    }
    case CEjector_Twirler::kType: static_cast<CEjector_Twirler*>(object)->Spawn(place); return;
    case CEjector_Roller::kType: {
      const uint32_t direction = static_cast<uint32_t>(params.variant), colour = static_cast<uint32_t>(params.colour);
      static_cast<CEjector_Roller*>(object)->Spawn(direction, colour, place);
      return;
    }
    case CEjector_Brick::kType: {
      const uint32_t kind = static_cast<uint32_t>(params.variant), colour = static_cast<uint32_t>(params.colour);
      static_cast<CEjector_Brick*>(object)->Spawn(kind, colour, place);
      return;
    }
    case CEjector_Pill::kType: {
      const uint32_t side = static_cast<uint32_t>(params.variant), colour = static_cast<uint32_t>(params.colour);
      static_cast<CEjector_Pill*>(object)->Spawn(side, colour, place);
      return;
    }
    case CEjector_Simon_1::kType: static_cast<CEjector_Simon_1*>(object)->Spawn(place); return;
    default: return;
  }
}

// False when the class's Spawn failed: the object is then not put in the world.
bool Spawn_Target_Class(uint32_t type, CWorld_Object* object, const CVector3& place, const CVector3& velocity,
                        int argument) {
  switch (type) {
    case CTarget_Ball::kType: {
      auto* ball = static_cast<CTarget_Ball*>(object);
      const int32_t colour = argument;
      if (!ball->Spawn(colour)) return false;
      ball->m_Sphere.velocity = velocity;
      return true;
    }
    case CTarget_Goo::kType: {
      const int32_t colour = Target_Colour(argument);
      const uint8_t small = 0;
      return static_cast<CTarget_Goo*>(object)->Spawn(colour, small);
    }
    case CTarget_Line::kType: {
      auto* line = static_cast<CTarget_Line*>(object);
      const int32_t colour = Target_Colour(argument);
      if (!line->Spawn(colour)) return false;
      line->m_Box.velocity = velocity;
      return true;
    }
    case CTarget_Jumper::kType: {
      const int32_t colour = std::min(plat::Random() * 4 / 32768, 3);
      const int32_t direction = std::min(plat::Random() * 3 / 32768, 2);
      return static_cast<CTarget_Jumper*>(object)->Spawn(colour, direction);
    }
    default: return true;
  }
}

bool Spawns_As_Target(uint32_t type) {
  switch (type) {
    case 10:
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
    case 28:
    case 29:
    case 30:
    case 8:
    case 56:
    case 58:
    case 59:
    case 60:
    case 61:
    case 63:
    case 64:
    case 65:
    case 66:
    case 67:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Ejectors and emplacements

bool CMusic_Track::Setup_Ejector(uint32_t type, uint8_t flags, CTrack_Event* event, int32_t slot_id, int variant,
                                 int colour, const CVector3* position, bool store) {
  int slot = -1;
  if (store) {
    slot = event ? event->Free_Slot() : -1;
    if (slot < 0) return false;
  }
  CObject_Pool* pool = type < kObject_Type_Count ? g_Object_Pools[type] : nullptr;
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return true;
  if (slot >= 0) {
    event->objects[slot] = object;
    event->slot_ids[slot] = slot_id;
  }
  CVector3 place;
  if (position) {
    place = *position;
    if (place.y == 0.0f) place.y = Ground(place.x, place.z);
  } else {
    for (int draw = 0; draw < kPlace_Draws; ++draw) {
      place = Draw_Ejector_Place(flags);
      if (Check_Clearance(type, place)) break;
    }
  }
  Set_Up_By_Type(type, object, event, variant, colour, place);
  g_World.Add_Object(type == 50 ? 2 : 1, object);
  return true;
}

CVector3 CMusic_Track::Draw_Ejector_Place(uint8_t flags) const {
  const float X = World_X(), Z = World_Z(), H = Camera_Height();
  CVector3 place{0.1f * X + Random_Fraction() * 0.8f * X, 0.0f, 0.5f * Z + Random_Fraction() * 0.4f * Z};
  float band_low = H - 700.0f, band_high = H;
  if (flags & 0x04) place.z = 0.35f * Z + Random_Fraction() * 0.2f * Z;
  if (flags & 0x20) {
    band_low = H - 800.0f;
    band_high = H - 500.0f;
  }
  const auto in_band = [&]() { return band_low + Random_Fraction() * (band_high - band_low); };
  if (flags & 0x01) {
    place.x = 0.1f;
    place.y = in_band();
  } else if (flags & 0x02) {
    place.y = in_band();
    place.x = X - 0.1f;
  } else if (flags & 0x80) {
    place.y = H + 100.0f;
  } else {
    place.y = Ground(place.x, place.z);
  }
  if (flags & 0x40) {
    band_low = Ground(place.x, place.z) + 95.0f;
    band_high = H - 300.0f;
    place.y = in_band();
  }
  if (flags & 0x08) {
    place.z = Z - 0.5f;
    place.y = Ground(place.x, place.z) + 75.0f + Random_Fraction() * 225.0f;
  } else if (flags & 0x10) {
    place.z = 0.5f;
  }
  return place;
}

void CMusic_Track::Set_Up_By_Type(uint32_t type, CWorld_Object* object, const CTrack_Event* event, int variant,
                                  int colour, CVector3 place) {
  if (type == 48 || type == 49) return;
  const Ejector_Ranges ranges = Ranges_Of(type);
  CEjector_Params params;
  params.variant = Clamp_Choice(variant, ranges.variants);
  params.colour = Clamp_Choice(colour, ranges.colours);
  CMatrix3x3 orientation = g_Base_Orientation;
  switch (type) {
    case 37: {
      place.y -= 201.25f;
      CQuaternion tilt{std::sin(-0.86393803f), 0.0f, 0.0f, std::cos(-0.86393803f)};
      orientation.From_Quaternion(tilt);
      break;
    }
    case 38: place.y -= 163.75f; break;
    case 39: {
      place.y -= 42.0f;
      const CQuaternion tilt{std::sin(-0.06f), 0.0f, 0.0f, std::cos(-0.06f)};
      orientation.From_Quaternion(tilt);
      break;
    }
    case 40: {
      // The tower's third axis runs from the camera to it, as the memory board faces.
      place.y -= 525.0f;
      const CVector3& eye = g_Camera.Position();
      orientation = Turn_About_Y(std::atan2(place.x - eye.x, place.z - eye.z));
      break;
    }
    case 42: {
      params.variant = (variant >= 0 && variant <= 2) ? variant : 0;
      const uint32_t parameter = event ? event->parameter : 0;
      params.count = static_cast<int>(std::min<uint32_t>(parameter, 5));
      if (parameter == 0) params.count = 1 + Random_Below(4);
      if (event && event->sub_kind == 1) params.count = 0;
      if (params.variant != 0) place.z = World_Z();
      break;
    }
    case 41:
      // A star ejector on the right-hand wall turns to slide into the world.
      if (params.variant == 1) orientation = Turn_About_Y(kPi);
      break;
    case 43: place.y -= 300.0f; break;
    case 45:
      if (params.variant == 1) orientation = Turn_About_Y(kPi);
      break;
    case 46: place.y = CEjector_Pill::Clearing_Height(place); break;
    case 52:
      place.z -= 1.0f;
      place.y = Ground(place.x, place.z) + 400.0f +
                Random_Fraction() * (Camera_Height() - 300.0f - Ground(place.x, place.z) - 400.0f);
      break;
    case 53: place.y -= 1550.0f; break;
    case 54:
      place.z -= 5.0f;
      params.colour = std::min(Random_Below(4), 3);
      break;
    default: break;
  }
  if (Spawn_Enemy_Emplacement(type, object, params.colour, place)) {
    if (type == 53 || type == 54) object->m_Orientation = orientation;
    object->Set_Position(place);
    return;
  }
  Spawn_Ejector(type, object, params, place);
  // The fuse keeps the frame its set-up gave it: its third axis points up, the way it launches.
  if (type != CEjector_Sparkler::kType) object->m_Orientation = orientation;
  if (type == 47) place.y += 700.0f;
  object->Set_Position(place);
}

// ---------------------------------------------------------------------------------------------
// Targets, enemies and enemy shots

bool CMusic_Track::Spawn_Target(uint32_t type, const CTrack_Point& point, CTrack_Event* event) {
  CObject_Pool* pool = type < kObject_Type_Count ? g_Object_Pools[type] : nullptr;
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return false;
  int list = 1;
  // A class that cannot be set up goes back to its pool; nothing is placed.
  if (!Set_Up_Target(type, object, point, list)) return false;
  if (event) {
    const int slot = event->Free_Slot();
    if (slot >= 0) {
      event->objects[slot] = object;
      event->slot_ids[slot] = static_cast<int32_t>(point.argument);
    }
  }
  g_Sim_Stats.Record_Launch(object);
  g_World.Add_Object(list, object);
  return true;
}

CVector3 CMusic_Track::Draw_Ground_Place(uint32_t type, float x_low, float x_high, float z_low, float z_high) {
  const float X = World_X(), Z = World_Z();
  CVector3 place{0.0f, 0.0f, 0.0f};
  for (int draw = 0; draw < kPlace_Draws; ++draw) {
    place.x = (x_low + (x_high - x_low) * Random_Fraction()) * X;
    place.z = (z_low + (z_high - z_low) * Random_Fraction()) * Z;
    place.y = Ground(place.x, place.z);
    if (Check_Clearance(type, place)) break;
  }
  return place;
}

bool CMusic_Track::Set_Up_Target(uint32_t type, CWorld_Object* object, const CTrack_Point& point, int& list) {
  const float X = World_X(), Z = World_Z(), H = Camera_Height();
  CVector3 place{0.5f * X, Ground(0.5f * X, 0.75f * Z), 0.75f * Z};
  CVector3 velocity{0.0f, 0.0f, 0.0f};
  int argument = static_cast<int>(point.argument);
  CMatrix3x3 orientation = g_Base_Orientation;
  list = 1;
  if (!Spawns_As_Target(type)) {
    object->Set_Position(place);
    return true;
  }
  list = Goes_To_List_2(type) ? 2 : 1;
  if (type == 8) {
    // Drawn until the place is clear, at most 32 times; x before z (a braced list keeps the
    // order in which its values are drawn, where call arguments would leave it to the compiler).
    for (int draw = 0; draw < kPlace_Draws; ++draw) {
      place = CVector3{(0.1f + 0.8f * Random_Fraction()) * X, H + 200.0f, (0.7f + 0.2f * Random_Fraction()) * Z};
      if (Check_Clearance(type, place)) break;
    }
    argument = 0;
    orientation = Turn_About_X(kPi / 2.0f);
  } else if (type == 10) {
    argument = std::min(Random_Below(4), 3);
    const float speed = 275.0f + 50.0f * Random_Fraction();
    if (point.argument == 1) {
      place = CVector3{(0.1f + 0.8f * Random_Fraction()) * X, H + 200.0f, (0.35f + 0.55f * Random_Fraction()) * Z};
      velocity.Set(0.0f, -speed, 0.0f);
    } else {
      place = Draw_Ground_Place(type, 0.1f, 0.9f, 0.5f, 0.9f);
      place.y = H - 200.0f + 100.0f * Random_Fraction();
      velocity.Set(0.0f, 2.15f * speed, 0.0f);
    }
  } else if (type == 67) {
    place = Draw_Ground_Place(type, 0.1f, 0.9f, 0.7f, 0.9f);
  } else if (type == CTarget_Goo::kType) {
    // A blob floats down from above the view.
    place = Draw_Ground_Place(type, 0.15f, 0.85f, 0.45f, 0.85f);
    place.y = H + 100.0f;
  } else if (type == CTarget_Line::kType) {
    // A line crosses from the back of the arena towards the camera.
    place = Draw_Ground_Place(type, 0.35f, 0.65f, 0.75f, 0.8f);
    place.y += 150.0f + 250.0f * Random_Fraction();
    velocity.Set(0.0f, 0.0f, -(150.0f + 100.0f * Random_Fraction()));
  } else if (type == CTarget_Jumper::kType) {
    place = Draw_Ground_Place(type, 0.2f, 0.8f, 0.5f, 0.85f);
    place.y += 50.0f;
  } else {
    place = Draw_Ground_Place(type, 0.1f, 0.9f, 0.5f, 0.9f);
  }
  if (Is_Flyer_Target(type)) {
    if (!Spawn_Flyer_Target(type, object, argument, place)) {
      ejectors::Give_Back_Unspawned(object);
      return false;
    }
    return true;
  }
  if (Is_Track_Ammunition(type)) {
    if (Spawn_Track_Ammunition(type, object, place, argument)) return true;
    ejectors::Give_Back_Unspawned(object);
    return false;
  }
  if (!Spawn_Mobile_Enemy(type, object, argument, place) &&
      !Spawn_Target_Class(type, object, place, velocity, argument)) {
    ejectors::Give_Back_Unspawned(object);
    return false;
  }
  object->m_Orientation = orientation;
  object->Set_Position(place);
  return true;
}

// ---------------------------------------------------------------------------------------------
// The boss

bool CMusic_Track::Spawn_Into_Slot(uint32_t type, CTrack_Event& event) {
  const int slot = event.Free_Slot();
  if (slot < 0) return false;
  CObject_Pool* pool = type < kObject_Type_Count ? g_Object_Pools[type] : nullptr;
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return true;
  event.objects[slot] = object;
  event.slot_ids[slot] = -1;
  const float X = World_X(), Z = World_Z();
  CVector3 place{0.5f * X, Ground(0.5f * X, 0.75f * Z), 0.75f * Z};
  if (type == CBoss_Crystal_1::kType) {
    place.y += 375.0f;
    CBoss_Crystal_1* boss = static_cast<CBoss_Crystal_1*>(object);
    boss->Spawn(place);
    boss->m_Orientation = g_Base_Orientation;
  }
  object->Set_Position(place);
  g_World.Add_Object(1, object);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Clearance

bool CMusic_Track::Check_Clearance(uint32_t type, const CVector3& position) {
  CSpawn_Shape candidate;
  if (!Get_Spawn_Shape(type, nullptr, position, candidate)) return true;
  for (int n = 0;; ++n) {
    const CWorld_Object* object = g_World.Get_Object(n);
    if (!object) break;
    CSpawn_Shape existing;
    if (!Get_Spawn_Shape(object->m_Type, object, object->m_Position, existing)) continue;
    if (Shapes_Overlap(candidate, existing)) return false;
  }
  return true;
}

bool CMusic_Track::Get_Spawn_Shape(uint32_t type, const CWorld_Object* object, const CVector3& p,
                                   CSpawn_Shape& shape) {
  const float X = World_X(), Z = World_Z(), H = Camera_Height();
  shape = CSpawn_Shape();
  shape.kind = CSpawn_Shape::kBox;
  shape.axes = g_Base_Orientation;
  const auto box = [&](const CVector3& centre, const CVector3& half) {
    shape.centre = centre;
    shape.half_size = half;
    return true;
  };
  switch (type) {
    case 8: case 64: case 65: case 66: case 67:
      return box(CVector3{p.x, 500.0f, p.z}, CVector3{125.0f, 2000.0f, 125.0f});
    case 29: case 30: case 50: case 51:
      return box(CVector3{p.x, 500.0f, p.z}, CVector3{125.0f, 1000.0f, 125.0f});
    case 53: return box(CVector3{p.x, 500.0f, p.z}, CVector3{225.0f, 1000.0f, 225.0f});
    case 19: case 25: return box(p, CVector3{75.0f, H, 75.0f});
    case 20: return box(p, CVector3{X, 100.0f, Z});
    case 21: return box(p, CVector3{100.0f, 100.0f, Z});
    case 26: return box(CVector3{0.5f * X, p.y, 0.5f * Z}, CVector3{X, 25.0f, Z});
    case 27: return box(CVector3{0.5f * X, p.y, 0.5f * Z}, CVector3{X, 50.0f, Z});
    case 37: return box(p, CVector3{150.0f, 150.0f, 150.0f});
    case 42: return box(CVector3{p.x, p.y, 0.5f * Z}, CVector3{25.0f, 25.0f, Z});
    case 44: {
      const bool across = object && static_cast<const CEjector_Roller*>(object)->m_Direction > 1;
      if (across) return box(CVector3{p.x, 200.0f, 0.5f * Z}, CVector3{150.0f, 200.0f, 0.5f * Z});
      return box(CVector3{0.5f * X, 200.0f, p.z}, CVector3{0.5f * X, 200.0f, 150.0f});
    }
    case 45: return box(p, CVector3{100.0f, 100.0f, 100.0f});
    case 46: return box(CVector3{0.5f * X, p.y, p.z}, CVector3{0.5f * X, 100.0f, 100.0f});
    case 61: return box(CVector3{0.5f * X, p.y, 0.5f * Z}, CVector3{0.5f * X, 50.0f, 0.5f * Z});
    case kLight_Wall_Type:
      if (object) shape.axes = object->m_Orientation;
      return box(object ? object->m_Position : p, CVector3{37.5f, 37.5f, 13.5f});
    default: break;
  }
  if (!object || (object->m_Kind_Flags & 0x04) == 0) return false;
  shape.centre = object->m_Position;
  shape.axes = object->m_Orientation;
  switch (object->m_Body_Kind) {
    case 1: case 4:
      shape.kind = CSpawn_Shape::kSphere;
      shape.radius = object->m_Collision_Radius;
      return true;
    case 2:
      shape.half_size = object->m_Box.half_size;
      return true;
    case 5:
      shape.half_size = object->m_Fixed.half_size;
      return true;
    default: return false;
  }
}
