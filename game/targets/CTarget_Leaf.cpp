#include "game/targets/CTarget_Leaf.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Leaf::Pool() {
  static CObject_Pool_Of<CTarget_Leaf, kType> pool;
  return &pool;
}

void CTarget_Leaf::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
