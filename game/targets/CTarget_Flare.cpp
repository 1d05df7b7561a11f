#include "game/targets/CTarget_Flare.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Flare::Pool() {
  static CObject_Pool_Of<CTarget_Flare, kType> pool;
  return &pool;
}

void CTarget_Flare::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
