#include "game/targets/CTarget_Goo.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Goo::Pool() {
  static CObject_Pool_Of<CTarget_Goo, kType> pool;
  return &pool;
}

void CTarget_Goo::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
