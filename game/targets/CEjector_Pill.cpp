#include "game/targets/CEjector_Pill.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Pill::Pool() {
  static CObject_Pool_Of<CEjector_Pill, kType> pool;
  return &pool;
}

void CEjector_Pill::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
