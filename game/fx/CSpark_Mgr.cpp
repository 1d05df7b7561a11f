#include "game/fx/CSpark_Mgr.h"

CSpark_Mgr g_Spark_Mgr;

bool CSpark_Mgr::Init() {
  m_Count = 0;
  m_Initialised = true;
  return true;
}

void CSpark_Mgr::Term() { m_Initialised = false; }

void CSpark_Mgr::Update(const CFrame_Info& frame) { (void)frame; }
void CSpark_Mgr::Render() {}

bool CSpark_Mgr::Add_Spark(const CVector3& position, const CVector3& velocity, const uint32_t& color) {
  (void)position;
  (void)velocity;
  (void)color;
  if (m_Count >= kMax_Sparks) return false;
  ++m_Count;
  return true;
}
