#include "game/enemies/CEmmo_Ball_2.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Ball_2::Pool() {
  static CObject_Pool_Of<CEmmo_Ball_2, kType> pool;
  return &pool;
}

void CEmmo_Ball_2::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}

bool CEmmo_Ball_2::Spawn(const int* variant, const CVector3* position) {
  Start_Marker(position ? *position : CVector3{0.0f, 0.0f, 0.0f});
  m_Spawn_Variant = variant ? *variant : 0;
  return true;
}
