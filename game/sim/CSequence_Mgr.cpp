#include "game/sim/CSequence_Mgr.h"

CSequence_Mgr g_Sequence_Mgr;

bool CSequence_Mgr::Init() {
  m_Initialised = true;
  return true;
}

void CSequence_Mgr::Clear() { m_Initialised = false; }

void CSequence_Mgr::Update(const CFrame_Info& frame) { (void)frame; }
