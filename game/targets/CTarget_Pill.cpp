#include "game/targets/CTarget_Pill.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Pill::Pool() {
  static CObject_Pool_Of<CTarget_Pill, kType> pool;
  return &pool;
}

void CTarget_Pill::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
