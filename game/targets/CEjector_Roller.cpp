#include "game/targets/CEjector_Roller.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Roller::Pool() {
  static CObject_Pool_Of<CEjector_Roller, kType> pool;
  return &pool;
}

void CEjector_Roller::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
