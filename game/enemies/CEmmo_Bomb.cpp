#include "game/enemies/CEmmo_Bomb.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Bomb::Pool() {
  static CObject_Pool_Of<CEmmo_Bomb, kType> pool;
  return &pool;
}

bool CEmmo_Bomb::Setup(const CVector3& start) {
  Start_Marker(start);
  return true;
}
