#include "game/enemies/CEmmo_Ball_2.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Ball_2::Pool() {
  static CObject_Pool_Of<CEmmo_Ball_2, kType> pool;
  return &pool;
}

void CEmmo_Ball_2::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
