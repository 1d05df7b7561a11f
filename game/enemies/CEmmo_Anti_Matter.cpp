#include "game/enemies/CEmmo_Anti_Matter.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Anti_Matter::Pool() {
  static CObject_Pool_Of<CEmmo_Anti_Matter, kType> pool;
  return &pool;
}

void CEmmo_Anti_Matter::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
