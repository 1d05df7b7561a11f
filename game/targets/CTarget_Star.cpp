#include "game/targets/CTarget_Star.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Star::Pool() {
  static CObject_Pool_Of<CTarget_Star, kType> pool;
  return &pool;
}

void CTarget_Star::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
