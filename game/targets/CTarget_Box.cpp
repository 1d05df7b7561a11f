#include "game/targets/CTarget_Box.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Box::Pool() {
  static CObject_Pool_Of<CTarget_Box, kType> pool;
  return &pool;
}

void CTarget_Box::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
