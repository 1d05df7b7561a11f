#include "game/targets/CTarget_Sparkler.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Sparkler::Pool() {
  static CObject_Pool_Of<CTarget_Sparkler, kType> pool;
  return &pool;
}

void CTarget_Sparkler::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
