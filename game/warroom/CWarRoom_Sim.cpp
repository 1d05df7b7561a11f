#include "game/warroom/CWarRoom_Sim.h"

CWarRoom_Sim g_WarRoom_Sim;
float g_Difficulty_Factor = 1.0f;

CWarRoom_Sim::CWarRoom_Sim() { Set_Up_One_Site(); }

void CWarRoom_Sim::Set_Up_One_Site() {
  m_Sites[0] = CWarRoom_Site();
  m_Sites[0].flags = CWarRoom_Site::kIn_Use | CWarRoom_Site::kInfected;
  m_Sites[0].infection = 1.0f;
  m_Current_Site = 0;
  m_Infected_Site = 0;
  m_History_Top = -1;
}

bool CWarRoom_Sim::Init(const int& region) {
  if (region < 1 || region > 8) return false;
  m_Region_Id = region;
  Set_Up_One_Site();
  m_Target_Site = -1;
  m_Shield_Level = 1.0f;
  m_Initialised = true;
  return true;
}

void CWarRoom_Sim::Clear_Region() {
  m_Region_Id = -1;
  m_Target_Site = -1;
  m_Initialised = false;
}

void CWarRoom_Sim::Update_Timers(float dt) { (void)dt; }

int32_t CWarRoom_Sim::Pop_History() {
  if (m_History_Top < 0) return -1;
  if (m_History_Top >= kHistory_Size) m_History_Top = kHistory_Size - 1;
  return m_History[m_History_Top--];
}

void CWarRoom_Sim::Set_Target_Site(const int& site) { m_Target_Site = site; }
