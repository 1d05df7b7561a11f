#include "game/targets/CEjector_Sparkler.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Sparkler::Pool() {
  static CObject_Pool_Of<CEjector_Sparkler, kType> pool;
  return &pool;
}

void CEjector_Sparkler::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
