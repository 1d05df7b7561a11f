#include "game/targets/CEjector_Targets.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Targets::Pool() {
  static CObject_Pool_Of<CEjector_Targets, kType> pool;
  return &pool;
}

void CEjector_Targets::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
