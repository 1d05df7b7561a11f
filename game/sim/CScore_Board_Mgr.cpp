#include "game/sim/CScore_Board_Mgr.h"

CScore_Board_Mgr g_Score_Board_Mgr;

bool CScore_Board_Mgr::Init() {
  if (m_Refuse_Init) return false;
  m_Total_Score = 0;
  m_Pending_Points = 0;
  m_Pending_Multiplier = 0;
  m_Closing_Points = 0;
  m_Closing_Multiplier = 0;
  m_Initialised = true;
  return true;
}

void CScore_Board_Mgr::Term() { m_Initialised = false; }

void CScore_Board_Mgr::Update(const float& delta) { (void)delta; }
void CScore_Board_Mgr::Render_Frame() {}

void CScore_Board_Mgr::Flush_Staged_Points() {}

void CScore_Board_Mgr::Award_Points(const unsigned& amount, const float& duration) {
  (void)duration;
  m_Pending_Points += amount;
}

void CScore_Board_Mgr::Commit_Points() {
  m_Total_Score += m_Pending_Points;
  m_Pending_Points = 0;
  m_Pending_Multiplier = 0;
}

void CScore_Board_Mgr::Award_Multi_Hit() {}

void CScore_Board_Mgr::Award_Bonus_Hit() {}
