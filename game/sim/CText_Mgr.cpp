#include "game/sim/CText_Mgr.h"

CText_Mgr g_Text_Mgr;

bool CText_Mgr::Init() {
  m_Initialised = true;
  return true;
}

void CText_Mgr::Term() { m_Initialised = false; }

void CText_Mgr::Update(float delta, float unpaused_delta) {
  (void)delta;
  (void)unpaused_delta;
}

void CText_Mgr::Render() {}
