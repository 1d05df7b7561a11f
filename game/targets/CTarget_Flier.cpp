#include "game/targets/CTarget_Flier.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Flier::Pool() {
  static CObject_Pool_Of<CTarget_Flier, kType> pool;
  return &pool;
}

void CTarget_Flier::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
