#include "game/targets/CEjector_Pill.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Pill.h"
#include "game/targets/Target_Shared.h"

CObject_Pool* CEjector_Pill::Pool() {
  static CObject_Pool_Of<CEjector_Pill, kType> pool;
  return &pool;
}

float CEjector_Pill::Clearing_Height(const CVector3& point) {
  if (!g_World.Has_Terrain()) return point.y;
  const float X = g_World.m_Terrain.size_x;
  float height = point.y;
  for (int i = 0; i < kLine_Samples; ++i) {
    const float x = X * static_cast<float>(i) / static_cast<float>(kLine_Samples - 1);
    height = std::max(height, g_World.Get_Height(x, point.z) + kLine_Clearance);
  }
  return height;
}

void CEjector_Pill::Spawn(const uint32_t& side, const uint32_t& colour, const CVector3& position) {
  m_Side = side;
  Start(kType, colour, position);
}

CVector3 CEjector_Pill::Launch_Direction() const {
  return m_Side == 1 ? CVector3{-1.0f, 0.0f, 0.0f} : CVector3{1.0f, 0.0f, 0.0f};
}

CColor4 CEjector_Pill::Marker_Colour() const { return targets::Get_Variant_Color(static_cast<int>(m_Colour_Variant)); }

void CEjector_Pill::Launch() {
  const int32_t variant = ejectors::Launch_Colour_Variant(m_Colour_Variant);
  const CVector3 at = ejectors::Raised_Position(m_Position, m_Orientation.rows[0], 0.85f * m_Fixed.half_size.x);
  CVector3 velocity;
  Launch_Direction().Scale(kLaunch_Speed, velocity);
  // Spin about z, tilted 0.2 radian about x.
  const float turn = m_Side == 1 ? 2.0f : -2.0f;
  const CVector3 spin{0.0f, std::sin(0.2f) * turn, std::cos(0.2f) * turn};
  CObject_Pool* pool = g_Object_Pools[CTarget_Pill::kType];
  CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
  if (!object) return;
  auto* pill = static_cast<CTarget_Pill*>(object);
  if (!pill->Spawn(variant)) {
    ejectors::Give_Back_Unspawned(object);
    return;
  }
  g_World.Add_Object(2, pill);
  pill->m_Orientation.rows[0].Set(0.0f, 0.0f, -1.0f);
  pill->m_Orientation.rows[1].Set(0.0f, 1.0f, 0.0f);
  pill->m_Orientation.rows[2].Set(1.0f, 0.0f, 0.0f);
  pill->Set_Position(at);
  pill->m_Box.velocity = velocity;
  pill->m_Box.spin = spin;
  g_Sim_Stats.Record_Launch(pill);
  Puff(at, velocity, pill->Get_Color());
}
