#include "game/enemies/CBoss_Crystal_1.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CBoss_Crystal_1::Pool() {
  static CObject_Pool_Of<CBoss_Crystal_1, kType> pool;
  return &pool;
}

void CBoss_Crystal_1::Spawn(const CVector3& place) {
  Start_Marker(place);
  m_Attack_Requested = 0;
  m_Second_Attack = 0;
  m_Attack_Timer = 0.0f;
}
