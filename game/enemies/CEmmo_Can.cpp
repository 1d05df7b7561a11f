#include "game/enemies/CEmmo_Can.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Can::Pool() {
  static CObject_Pool_Of<CEmmo_Can, kType> pool;
  return &pool;
}

void CEmmo_Can::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
