#include "game/enemies/CEnemy_Tile_1.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEnemy_Tile_1::Pool() {
  static CObject_Pool_Of<CEnemy_Tile_1, kType> pool;
  return &pool;
}

void CEnemy_Tile_1::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
