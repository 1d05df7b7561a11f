#include "game/targets/CEjector_Roller.h"

#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Roller.h"
#include "game/targets/Target_Shared.h"

CObject_Pool* CEjector_Roller::Pool() {
  static CObject_Pool_Of<CEjector_Roller, kType> pool;
  return &pool;
}

void CEjector_Roller::Spawn(const uint32_t& direction, const uint32_t& colour, const CVector3& position) {
  m_Direction = direction;
  Start(kType, colour, position);
}

CVector3 CEjector_Roller::Launch_Direction() const {
  switch (m_Direction) {
    case 0: return CVector3{1.0f, 0.0f, 0.0f};
    case 1: return CVector3{-1.0f, 0.0f, 0.0f};
    case 2: return CVector3{0.0f, 0.0f, 1.0f};
    case 3: return CVector3{0.0f, 0.0f, -1.0f};
    default: return CVector3{0.0f, 0.0f, 0.0f};
  }
}

CColor4 CEjector_Roller::Marker_Colour() const {
  return targets::Get_Variant_Color(static_cast<int>(m_Colour_Variant));
}

void CEjector_Roller::Launch() {
  const int32_t variant = ejectors::Launch_Colour_Variant(m_Colour_Variant);
  const CVector3 at = ejectors::Raised_Position(m_Position, m_Orientation.rows[0], 0.85f * m_Fixed.half_size.x);
  CVector3 velocity;
  Launch_Direction().Scale(kLaunch_Speed, velocity);
  CObject_Pool* pool = g_Object_Pools[CTarget_Roller::kType];
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return;
  auto* roller = static_cast<CTarget_Roller*>(object);
  const int32_t direction = static_cast<int32_t>(m_Direction);
  if (!roller->Spawn(variant, direction)) {
    ejectors::Give_Back_Unspawned(object);
    return;
  }
  g_World.Add_Object(2, roller);
  // Tilted 0.2 radian about x.
  const float c = std::cos(0.2f), s = std::sin(0.2f);
  roller->m_Orientation.rows[0].Set(1.0f, 0.0f, 0.0f);
  roller->m_Orientation.rows[1].Set(0.0f, c, -s);
  roller->m_Orientation.rows[2].Set(0.0f, s, c);
  roller->Set_Position(at);
  roller->m_Sphere.velocity = velocity;
  roller->m_Sphere.spin.Set(0.0f, 0.0f, 0.0f);
  g_Sim_Stats.Record_Launch(roller);
  Puff(at, velocity, roller->Get_Color());
}
