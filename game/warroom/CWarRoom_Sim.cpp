#include "game/warroom/CWarRoom_Sim.h"

CWarRoom_Sim g_WarRoom_Sim;
float g_Difficulty_Factor = 1.0f;

CWarRoom_Sim::CWarRoom_Sim() {
  CWarRoom_Site& site = m_Sites[0];
  site.flags = CWarRoom_Site::kIn_Use | CWarRoom_Site::kInfected;
  site.infection = 1.0f;
}

int CWarRoom_Sim::Pop_History() {
  if (m_History_Top < 0) return -1;
  if (m_History_Top >= kHistory_Size) m_History_Top = kHistory_Size - 1;
  return m_History[m_History_Top--];
}

void CWarRoom_Sim::Set_Target_Site(const int& site) { m_Target_Site = site; }
