#include "game/targets/CTarget_Exclaim.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Exclaim::Pool() {
  static CObject_Pool_Of<CTarget_Exclaim, kType> pool;
  return &pool;
}

void CTarget_Exclaim::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
