#include "game/targets/CEjector_Twirler.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Twirler::Pool() {
  static CObject_Pool_Of<CEjector_Twirler, kType> pool;
  return &pool;
}

void CEjector_Twirler::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }
