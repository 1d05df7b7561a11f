#include "game/targets/CTarget_Ball.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Ball::Pool() {
  static CObject_Pool_Of<CTarget_Ball, kType> pool;
  return &pool;
}

void CTarget_Ball::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
