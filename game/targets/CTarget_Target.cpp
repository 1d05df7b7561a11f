#include "game/targets/CTarget_Target.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Target::Pool() {
  static CObject_Pool_Of<CTarget_Target, kType> pool;
  return &pool;
}

void CTarget_Target::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
