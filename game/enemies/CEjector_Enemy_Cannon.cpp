#include "game/enemies/CEjector_Enemy_Cannon.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Enemy_Cannon::Pool() {
  static CObject_Pool_Of<CEjector_Enemy_Cannon, kType> pool;
  return &pool;
}

void CEjector_Enemy_Cannon::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
