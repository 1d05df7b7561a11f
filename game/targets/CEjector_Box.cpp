#include "game/targets/CEjector_Box.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Box::Pool() {
  static CObject_Pool_Of<CEjector_Box, kType> pool;
  return &pool;
}

void CEjector_Box::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
