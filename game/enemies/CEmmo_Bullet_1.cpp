#include "game/enemies/CEmmo_Bullet_1.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Bullet_1::Pool() {
  static CObject_Pool_Of<CEmmo_Bullet_1, kType> pool;
  return &pool;
}

void CEmmo_Bullet_1::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
