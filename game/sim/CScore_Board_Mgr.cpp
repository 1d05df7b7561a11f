#include "game/sim/CScore_Board_Mgr.h"

#include "game/core/CGame_State.h"
#include "game/sim/CBrain_Game_Basic.h"

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
  const uint32_t amount = m_Pending_Points;
  m_Total_Score += amount;
  m_Pending_Points = 0;
  m_Pending_Multiplier = 0;
  CBrain* brain = g_Game_State.m_Brain;
  if (amount != 0 && brain && brain->m_Kind == CBrain::kGame_Rules)
    static_cast<CBrain_Game_Basic*>(brain)->On_Points_Committed(amount);
}

void CScore_Board_Mgr::Set_Stat_Sources(const uint32_t& tenth, const uint32_t& third, const uint32_t& second,
                                        const uint32_t& first) {
  m_Score_Marks[0] = tenth;
  m_Score_Marks[1] = third;
  m_Score_Marks[2] = second;
  m_Score_Marks[3] = first;
}
