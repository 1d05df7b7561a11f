#include "game/targets/CEjector_Simon_1.h"

#include "game/core/CObject_Pool.h"

CObject_Pool* CEjector_Simon_1::Pool() {
  static CObject_Pool_Of<CEjector_Simon_1, kType> pool;
  return &pool;
}

void CEjector_Simon_1::Spawn(const CEjector_Params& params, const CVector3& place) { Start_Ejector(params, place); }

void CEjector_Simon_1::Command(uint32_t action, uint32_t argument) {
  m_Last_Action = action;
  m_Last_Argument = argument;
  ++m_Command_Count;
}
