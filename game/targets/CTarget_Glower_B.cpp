#include "game/targets/CTarget_Glower_B.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Glower_B::Pool() {
  static CObject_Pool_Of<CTarget_Glower_B, kType> pool;
  return &pool;
}

void CTarget_Glower_B::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
