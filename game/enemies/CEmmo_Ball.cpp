#include "game/enemies/CEmmo_Ball.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEmmo_Ball::Pool() {
  static CObject_Pool_Of<CEmmo_Ball, kType> pool;
  return &pool;
}

void CEmmo_Ball::Setup(const int& variant) {
  Start_Marker(CVector3{0.0f, 0.0f, 0.0f});
  m_Spawn_Variant = variant;
}
