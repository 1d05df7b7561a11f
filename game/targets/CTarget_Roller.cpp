#include "game/targets/CTarget_Roller.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Roller::Pool() {
  static CObject_Pool_Of<CTarget_Roller, kType> pool;
  return &pool;
}

void CTarget_Roller::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
