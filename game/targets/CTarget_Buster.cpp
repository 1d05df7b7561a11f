#include "game/targets/CTarget_Buster.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Buster::Pool() {
  static CObject_Pool_Of<CTarget_Buster, kType> pool;
  return &pool;
}

void CTarget_Buster::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
