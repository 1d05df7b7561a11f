#include "game/fx/CParticle_Mgr.h"

bool CParticle_Mgr::Init() {
  m_Initialised = true;
  return true;
}

void CParticle_Mgr::Term() { m_Initialised = false; }
