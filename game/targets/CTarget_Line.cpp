#include "game/targets/CTarget_Line.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Line::Pool() {
  static CObject_Pool_Of<CTarget_Line, kType> pool;
  return &pool;
}

void CTarget_Line::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
