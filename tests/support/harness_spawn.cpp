#include "tests/support/harness_spawn.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/World_Queries.h"
#include "game/enemies/CBoss_Crystal_1.h"
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
#include "game/sim/CMusic_Track.h"
#include "game/targets/CEjector_Box.h"
#include "game/targets/CEjector_Twirler.h"
#include "game/targets/CStruct_Light_Wall.h"
#include "game/targets/CTarget_Ball.h"
#include "game/targets/CTarget_Box.h"
#include "game/targets/CTarget_Brick.h"
#include "game/targets/CEjector_Simon_1.h"
#include "game/targets/CTarget_Death_Vial.h"
#include "game/targets/CTarget_Goo.h"
#include "game/targets/CTarget_Jumper.h"
#include "game/targets/CTarget_Line.h"
#include "game/targets/CTarget_Pill.h"
#include "game/targets/CTarget_Roller.h"
#include "game/targets/CTarget_Sparkler.h"
#include "game/targets/CTarget_Star.h"
#include "game/targets/CTarget_Twirler.h"
#include "game/targets/Ejector_Shared.h"

namespace vt_test {

namespace {

float Arg(const Spawn_Args& args, size_t index, float fallback) {
  return index < args.size() ? args[index] : fallback;
}

// Enemy ammunition, set up from its place: the variant first where the class has one, then a
// start velocity where the class leaves it to its launcher (none given: the class's own).
CVector3 Velocity_Arg(const Spawn_Args& args, size_t first) {
  return CVector3{Arg(args, first, 0.0f), Arg(args, first + 1, 0.0f), Arg(args, first + 2, 0.0f)};
}
bool Spawn_Emmo_Ball(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  auto* ball = static_cast<CEmmo_Ball*>(object);
  ball->Setup(static_cast<int>(Arg(args, 0, 0.0f)));
  ball->Set_Position(place);
  ball->m_Sphere.velocity = Velocity_Arg(args, 1);
  list = 2;
  return true;
}
bool Spawn_Emmo_Ball_2(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  const int variant = static_cast<int>(Arg(args, 0, 0.0f));
  auto* ball = static_cast<CEmmo_Ball_2*>(object);
  if (!ball->Spawn(&variant, &place)) return false;
  ball->m_Sphere.velocity = Velocity_Arg(args, 1);
  list = 2;
  return true;
}
bool Spawn_Emmo_Crystal(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  auto* crystal = static_cast<CEmmo_Crystal_1*>(object);
  crystal->Setup(place);
  crystal->m_Sphere.velocity = Velocity_Arg(args, 0);
  list = 2;
  return true;
}
bool Spawn_Emmo_Missile(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  (void)args;
  list = 2;
  return static_cast<CEmmo_Missile_1*>(object)->Spawn(&place);
}
bool Spawn_Emmo_Disc(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  const int variant = static_cast<int>(Arg(args, 0, 0.0f));
  list = 2;
  return static_cast<CEmmo_Discus_1*>(object)->Spawn(&variant, &place);
}
bool Spawn_Emmo_Bar(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  const int variant = static_cast<int>(Arg(args, 0, 0.0f));
  list = 2;
  return static_cast<CEmmo_Bar_1*>(object)->Spawn(&variant, &place);
}
// Bullet: variant, drift direction, fired (1) or waiting (0).
bool Spawn_Emmo_Bullet(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  const int variant = static_cast<int>(Arg(args, 0, 0.0f));
  const int direction = static_cast<int>(Arg(args, 1, 0.0f));
  auto* bullet = static_cast<CEmmo_Bullet_1*>(object);
  if (!bullet->Spawn(&variant, &direction, &place)) return false;
  if (Arg(args, 2, 0.0f) != 0.0f) bullet->Play_Sound_Once();
  list = 2;
  return true;
}
bool Spawn_Emmo_Bomb(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  auto* bomb = static_cast<CEmmo_Bomb*>(object);
  if (!bomb->Setup(place)) return false;
  bomb->Set_Position(place);
  bomb->m_Sphere.velocity = Velocity_Arg(args, 0);
  list = 2;
  return true;
}
bool Spawn_Emmo_Anti_Matter(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  const int variant = static_cast<int>(Arg(args, 0, 0.0f));
  auto* blob = static_cast<CEmmo_Anti_Matter*>(object);
  if (!blob->Spawn(&variant)) return false;
  blob->Set_Position(place);
  if (args.size() > 1) blob->m_Sphere.velocity = Velocity_Arg(args, 1);
  list = 2;
  return true;
}
bool Spawn_Emmo_Roller(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  const int variant = static_cast<int>(Arg(args, 0, 0.0f));
  auto* roller = static_cast<CEmmo_Roller*>(object);
  roller->Spawn(&variant);
  roller->Set_Position(place);
  roller->m_Sphere.velocity = Velocity_Arg(args, 1);
  list = 2;
  return true;
}
bool Spawn_Emmo_Can(CWorld_Object* object, const CVector3& place, const Spawn_Args& args, int& list) {
  const int variant = static_cast<int>(Arg(args, 0, 0.0f));
  list = 2;
  return static_cast<CEmmo_Can*>(object)->Spawn(&variant, &place);
}

// The classes whose set-up the harness calls itself (targets that ejectors launch, or that a
// script wants with chosen values). Each row: its type and its set-up.
// Ball: colour, motion mode, velocity x y z.
bool Spawn_Ball(CWorld_Object* object, const Spawn_Args& args, int& list) {
  auto* ball = static_cast<CTarget_Ball*>(object);
  const int32_t colour = static_cast<int32_t>(Arg(args, 0, 0.0f));
  if (!ball->Spawn(colour)) return false;
  ball->m_Motion_Mode = static_cast<int32_t>(Arg(args, 1, 0.0f));
  ball->m_Sphere.velocity = CVector3{Arg(args, 2, 0.0f), Arg(args, 3, 0.0f), Arg(args, 4, 0.0f)};
  list = 2;
  return true;
}

// Box: size variant (its colour and size), launch flags (1: floating).
bool Spawn_Box(CWorld_Object* object, const Spawn_Args& args, int& list) {
  const uint32_t variant = static_cast<uint32_t>(std::max(0.0f, Arg(args, 0, 0.0f)));
  const int32_t colour = static_cast<int32_t>(variant), flags = static_cast<int32_t>(Arg(args, 1, 1.0f));
  if (!static_cast<CTarget_Box*>(object)->Spawn(colour, flags, CEjector_Box::Size_Of(variant).box_half_size))
    return false;
  list = 2;
  return true;
}

// Brick (without a post): colour.
bool Spawn_Brick(CWorld_Object* object, const Spawn_Args& args, int& list) {
  const int32_t colour = static_cast<int32_t>(Arg(args, 0, 0.0f));
  if (!static_cast<CTarget_Brick*>(object)->Spawn(colour, nullptr)) return false;
  list = 2;
  return true;
}

// A death vial with the velocity of the arguments (straight up at 550 without them).
bool Spawn_Death_Vial(CWorld_Object* object, const Spawn_Args& args, int& list) {
  auto* vial = static_cast<CTarget_Death_Vial*>(object);
  const int32_t colour = 0;
  if (!vial->Spawn(&colour)) return false;
  vial->m_Box.velocity.Set(Arg(args, 0, 0.0f), Arg(args, 1, 550.0f), Arg(args, 2, 0.0f));
  list = 2;
  return true;
}

// Arguments after the colour, read as a velocity.
CVector3 Velocity_Args(const Spawn_Args& args, size_t first) {
  return CVector3{Arg(args, first, 0.0f), Arg(args, first + 1, 0.0f), Arg(args, first + 2, 0.0f)};
}

// Box targets: colour, then velocity.
template <class T>
bool Spawn_Box_Target(CWorld_Object* object, const Spawn_Args& args, int& list) {
  auto* target = static_cast<T*>(object);
  const int32_t colour = static_cast<int32_t>(Arg(args, 0, 0.0f));
  if (!target->Spawn(colour)) return false;
  target->m_Box.velocity = Velocity_Args(args, 1);
  list = T::kType == CTarget_Line::kType ? 1 : 2;
  return true;
}

// Rolling balls: colour, direction.
template <class T>
bool Spawn_Rolling_Target(CWorld_Object* object, const Spawn_Args& args, int& list) {
  const int32_t colour = static_cast<int32_t>(Arg(args, 0, 0.0f));
  const int32_t direction = static_cast<int32_t>(Arg(args, 1, 0.0f));
  list = 2;
  return static_cast<T*>(object)->Spawn(colour, direction);
}

// Goo: colour, small (0 or 1), then velocity.
bool Spawn_Goo(CWorld_Object* object, const Spawn_Args& args, int& list) {
  auto* goo = static_cast<CTarget_Goo*>(object);
  const int32_t colour = static_cast<int32_t>(Arg(args, 0, 0.0f));
  const uint8_t small = Arg(args, 1, 0.0f) != 0.0f ? 1 : 0;
  if (!goo->Spawn(colour, small)) return false;
  goo->m_Sphere.velocity = Velocity_Args(args, 2);
  list = 2;
  return true;
}

// Sparkler: colour 1-4, then velocity.
bool Spawn_Sparkler(CWorld_Object* object, const Spawn_Args& args, int& list) {
  auto* sparkler = static_cast<CTarget_Sparkler*>(object);
  const int32_t colour = static_cast<int32_t>(Arg(args, 0, 1.0f));
  if (!sparkler->Spawn(colour)) return false;
  sparkler->m_Sphere.velocity = Velocity_Args(args, 1);
  list = 1;
  return true;
}

// Twirler: colour; it circles the first twirler ejector in the world (or dies without one).
bool Spawn_Twirler(CWorld_Object* object, const Spawn_Args& args, int& list) {
  const int32_t colour = static_cast<int32_t>(Arg(args, 0, 0.0f));
  CWorld_Object* mast = g_World.Find_Object_By_Type(43, 0);
  const CVector3 at = mast ? mast->m_Position : CVector3{0.0f, 0.0f, 0.0f};
  list = 2;
  return static_cast<CTarget_Twirler*>(object)->Spawn(colour, mast, at);
}

// The boss, pinned where the script puts it.
bool Spawn_Boss(CWorld_Object* object, const CVector3& place, const Spawn_Args&, int& list) {
  static_cast<CBoss_Crystal_1*>(object)->Spawn(place);
  list = 1;
  return object->m_Type == CBoss_Crystal_1::kType;
}

// The track's boss actions: 0 fire (the argument picks the side), 1 pulse, 2 flash.
bool Command_Boss(CWorld_Object* object, int action, int argument) {
  CTrack_Point point;
  point.action = static_cast<uint32_t>(action);
  point.argument = static_cast<uint32_t>(argument);
  g_Music_Track.Boss_Action(object, point);
  return true;
}

const Harness_Spawner kSpawners[] = {
    {CTarget_Ball::kType, &Spawn_Ball},
    {CTarget_Box::kType, &Spawn_Box},
    {CTarget_Brick::kType, &Spawn_Brick},
    {CEmmo_Ball::kType, nullptr, &Spawn_Emmo_Ball},
    {CEmmo_Ball_2::kType, nullptr, &Spawn_Emmo_Ball_2},
    {CEmmo_Crystal_1::kType, nullptr, &Spawn_Emmo_Crystal},
    {CEmmo_Missile_1::kType, nullptr, &Spawn_Emmo_Missile},
    {CEmmo_Discus_1::kType, nullptr, &Spawn_Emmo_Disc},
    {CEmmo_Bar_1::kType, nullptr, &Spawn_Emmo_Bar},
    {CEmmo_Bullet_1::kType, nullptr, &Spawn_Emmo_Bullet},
    {CEmmo_Bomb::kType, nullptr, &Spawn_Emmo_Bomb},
    {CEmmo_Anti_Matter::kType, nullptr, &Spawn_Emmo_Anti_Matter},
    {CEmmo_Roller::kType, nullptr, &Spawn_Emmo_Roller},
    {CEmmo_Can::kType, nullptr, &Spawn_Emmo_Can},
    {CTarget_Death_Vial::kType, &Spawn_Death_Vial},
    {CTarget_Pill::kType, &Spawn_Box_Target<CTarget_Pill>},
    {CTarget_Star::kType, &Spawn_Box_Target<CTarget_Star>},
    {CTarget_Line::kType, &Spawn_Box_Target<CTarget_Line>},
    {CTarget_Roller::kType, &Spawn_Rolling_Target<CTarget_Roller>},
    {CTarget_Jumper::kType, &Spawn_Rolling_Target<CTarget_Jumper>},
    {CTarget_Goo::kType, &Spawn_Goo},
    {CTarget_Sparkler::kType, &Spawn_Sparkler},
    {CTarget_Twirler::kType, &Spawn_Twirler},
    {CBoss_Crystal_1::kType, nullptr, &Spawn_Boss},
};

bool Command_Memory_Board(CWorld_Object* object, int action, int argument) {
  static_cast<CEjector_Simon_1*>(object)->Command(static_cast<uint32_t>(action), static_cast<uint32_t>(argument));
  return true;
}

// The track's beat: the jumper jumps (any action).
bool Command_Jump(CWorld_Object* object, int action, int argument) {
  (void)action;
  (void)argument;
  static_cast<CTarget_Jumper*>(object)->Request_Jump();
  return true;
}

// The twirler mast's light flares to the argument in hundredths (100 when 0).
bool Command_Glow(CWorld_Object* object, int action, int argument) {
  (void)action;
  static_cast<CEjector_Twirler*>(object)->Set_Glow(argument == 0 ? 1.0f : static_cast<float>(argument) / 100.0f);
  return true;
}

// Light wall: any command triggers its glow, as the track's lane events do.
bool Glow_Light_Wall(CWorld_Object* object, int action, int argument) {
  (void)action;
  (void)argument;
  static_cast<CStruct_Light_Wall*>(object)->Trigger_Glow();
  return true;
}

const Harness_Commander kCommanders[] = {
    {0, nullptr},
    {CEjector_Simon_1::kType, &Command_Memory_Board},
    {CTarget_Jumper::kType, &Command_Jump},
    {CEjector_Twirler::kType, &Command_Glow},
    {CBoss_Crystal_1::kType, Command_Boss},
    {CStruct_Light_Wall::kType, Glow_Light_Wall},
};

const Harness_Spawner* Find_Spawner(uint32_t type) {
  for (const Harness_Spawner& row : kSpawners)
    if ((row.spawn || row.spawn_at) && row.type == type) return &row;
  return nullptr;
}

bool Is_Ejector_Type(uint32_t type) { return type >= 37 && type <= 54; }

CWorld_Object* Nth_Live(uint32_t type, int n) {
  int live = 0;
  for (int i = 0;; ++i) {
    CWorld_Object* object = g_World.Find_Object_By_Type(type, i);
    if (!object) return nullptr;
    if (object->m_Kill_Timer != 0.0f) continue;
    if (live++ == n) return object;
  }
}

}  // namespace

CWorld_Object* Spawn_Object(uint32_t type, float x, float height, float z, const Spawn_Args& args,
                            std::string* why) {
  auto fail = [&](const std::string& reason) -> CWorld_Object* {
    if (why) *why = reason;
    return nullptr;
  };
  if (type >= static_cast<uint32_t>(kObject_Type_Count) || !g_Object_Pools[type])
    return fail("no pool for type " + std::to_string(type));
  CObject_Pool* pool = g_Object_Pools[type];
  if (!pool->Is_Initialised()) return fail("the pool of type " + std::to_string(type) + " is not initialised");
  const CVector3 place{x, g_World.Get_Height(x, z) + height, z};
  if (Is_Ejector_Type(type)) {
    const CWorld_Object* before = g_World.Find_Object_By_Type(type, 0);
    const int variant = static_cast<int>(Arg(args, 0, 0.0f));
    const int colour = static_cast<int>(Arg(args, 1, 0.0f));
    if (!pool->Has_Free_Object()) return fail("the pool of type " + std::to_string(type) + " is empty");
    g_Music_Track.Setup_Ejector(type, 0, nullptr, -1, variant, colour, &place, false);
    CWorld_Object* added = g_World.Find_Object_By_Type(type, 0);
    if (!added || added == before) return fail("the ejector of type " + std::to_string(type) + " was not placed");
    return added;
  }
  if (const Harness_Spawner* row = Find_Spawner(type)) {
    CWorld_Object* object = pool->Alloc_Object();
    if (!object) return fail("the pool of type " + std::to_string(type) + " is empty");
    int list = 2;
    const bool spawned = row->spawn_at ? row->spawn_at(object, place, args, list) : row->spawn(object, args, list);
    if (!spawned) {
      ejectors::Give_Back_Unspawned(object);
      return fail("the Spawn of type " + std::to_string(type) + " failed");
    }
    object->Set_Position(place);
    g_World.Add_Object(list, object);
    return object;
  }
  CTrack_Point point;
  point.argument = static_cast<uint32_t>(Arg(args, 0, 0.0f));
  const CWorld_Object* before = g_World.Find_Object_By_Type(type, 0);
  if (!g_Music_Track.Spawn_Target(type, point)) return fail("the track could not spawn type " + std::to_string(type));
  CWorld_Object* added = g_World.Find_Object_By_Type(type, 0);
  if (!added || added == before) return fail("type " + std::to_string(type) + " was not added");
  added->Set_Position(place);
  return added;
}

int Trigger_Objects(uint32_t type, int n) {
  if (n >= 0) return g_Music_Track.Trigger_Ejector(Nth_Live(type, n)) ? 1 : 0;
  int taken = 0;
  for (int i = 0; CWorld_Object* object = Nth_Live(type, i); ++i) taken += g_Music_Track.Trigger_Ejector(object) ? 1 : 0;
  return taken;
}

bool Command_Object(uint32_t type, int n, int action, int argument) {
  CWorld_Object* object = Nth_Live(type, n);
  if (!object) return false;
  for (const Harness_Commander& row : kCommanders)
    if (row.command && row.type == type) return row.command(object, action, argument);
  return false;
}

bool Shoot_At(uint32_t type, int n, const CVector3& offset) {
  CWorld_Object* object = Nth_Live(type, n);
  if (!object) return false;
  const CVector3 start = g_Camera.Position();
  const CVector3 aim{object->m_Position.x + offset.x, object->m_Position.y + offset.y, object->m_Position.z + offset.z};
  CVector3 delta{aim.x - start.x, aim.y - start.y, aim.z - start.z};
  const float length = delta.Length();
  if (!(length > 0.0f)) return false;
  // Past the aim point by a margin, so that the segment crosses the whole object.
  delta.Scale_Assign((length + 2.0f * object->m_Collision_Radius + 100.0f) / length);
  CVector3 point;
  int variant = 0;
  return World_Strike_Object(object, start, delta, point, variant, 0);
}

}  // namespace vt_test
