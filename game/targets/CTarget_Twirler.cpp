#include "game/targets/CTarget_Twirler.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CTarget_Twirler::Pool() {
  static CObject_Pool_Of<CTarget_Twirler, kType> pool;
  return &pool;
}

void CTarget_Twirler::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}
