#include "game/enemies/CEmmo_Roller.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Roller::Pool() {
  static CObject_Pool_Of<CEmmo_Roller, kType> pool;
  return &pool;
}

void CEmmo_Roller::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
