#include "game/enemies/CEjector_Enemy_Plate.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Enemy_Plate::Pool() {
  static CObject_Pool_Of<CEjector_Enemy_Plate, kType> pool;
  return &pool;
}

void CEjector_Enemy_Plate::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
