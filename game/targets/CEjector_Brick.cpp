#include "game/targets/CEjector_Brick.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Brick::Pool() {
  static CObject_Pool_Of<CEjector_Brick, kType> pool;
  return &pool;
}

void CEjector_Brick::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
