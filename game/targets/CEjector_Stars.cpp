#include "game/targets/CEjector_Stars.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Stars::Pool() {
  static CObject_Pool_Of<CEjector_Stars, kType> pool;
  return &pool;
}

void CEjector_Stars::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
