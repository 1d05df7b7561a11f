#include "game/fx/CSpark_Mgr.h"

CSpark_Mgr g_Spark_Mgr;

bool CSpark_Mgr::Init() {
  m_Initialised = true;
  return true;
}

void CSpark_Mgr::Term() { m_Initialised = false; }

void CSpark_Mgr::Update(const CFrame_Info& frame) { (void)frame; }
void CSpark_Mgr::Render() {}
