#include "game/warroom/CWarRoom_Sim.h"

CWarRoom_Sim g_WarRoom_Sim;

bool CWarRoom_Sim::Init(const int& region) {
  if (region < 1 || region > 8) return false;
  m_Region_Id = region;
  m_Current_Site = -1;
  m_Target_Site = -1;
  m_Attachment_Carry = -1;
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

int32_t CWarRoom_Sim::Pop_History() { return -1; }

void CWarRoom_Sim::Set_Target_Site(const int& site) { m_Target_Site = site; }
