#include "game/enemies/CEnemy_UFO.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEnemy_UFO::Pool() {
  static CObject_Pool_Of<CEnemy_UFO, kType> pool;
  return &pool;
}

void CEnemy_UFO::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
