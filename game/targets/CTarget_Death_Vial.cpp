#include "game/targets/CTarget_Death_Vial.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Death_Vial::Pool() {
  static CObject_Pool_Of<CTarget_Death_Vial, kType> pool;
  return &pool;
}

void CTarget_Death_Vial::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
