#include "game/targets/CTarget_Jumper.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Jumper::Pool() {
  static CObject_Pool_Of<CTarget_Jumper, kType> pool;
  return &pool;
}

void CTarget_Jumper::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
