#include "game/targets/CEjector_Ball.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Ball::Pool() {
  static CObject_Pool_Of<CEjector_Ball, kType> pool;
  return &pool;
}

void CEjector_Ball::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
