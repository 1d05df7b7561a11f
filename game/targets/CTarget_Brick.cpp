#include "game/targets/CTarget_Brick.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Brick::Pool() {
  static CObject_Pool_Of<CTarget_Brick, kType> pool;
  return &pool;
}

void CTarget_Brick::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
