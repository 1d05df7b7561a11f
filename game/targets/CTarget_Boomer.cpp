#include "game/targets/CTarget_Boomer.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Boomer::Pool() {
  static CObject_Pool_Of<CTarget_Boomer, kType> pool;
  return &pool;
}

void CTarget_Boomer::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
