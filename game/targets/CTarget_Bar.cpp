#include "game/targets/CTarget_Bar.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Bar::Pool() {
  static CObject_Pool_Of<CTarget_Bar, kType> pool;
  return &pool;
}

void CTarget_Bar::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
