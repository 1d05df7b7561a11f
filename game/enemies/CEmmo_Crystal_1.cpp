#include "game/enemies/CEmmo_Crystal_1.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Crystal_1::Pool() {
  static CObject_Pool_Of<CEmmo_Crystal_1, kType> pool;
  return &pool;
}

void CEmmo_Crystal_1::Setup(const CVector3& position) { Start_Marker(position); }
