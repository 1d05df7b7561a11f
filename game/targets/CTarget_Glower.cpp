#include "game/targets/CTarget_Glower.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Glower::Pool() {
  static CObject_Pool_Of<CTarget_Glower, kType> pool;
  return &pool;
}

void CTarget_Glower::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
