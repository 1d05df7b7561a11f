#include "game/targets/CEjector_Cylinder.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Cylinder::Pool() {
  static CObject_Pool_Of<CEjector_Cylinder, kType> pool;
  return &pool;
}

void CEjector_Cylinder::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
