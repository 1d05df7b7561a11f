#include "game/enemies/CEnemy_Digger_1.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEnemy_Digger_1::Pool() {
  static CObject_Pool_Of<CEnemy_Digger_1, kType> pool;
  return &pool;
}

void CEnemy_Digger_1::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
