#include "game/sim/CScore_Board_Mgr.h"

#include <cstdio>

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

const char* Format_Number_Grouped(uint32_t number) {
  static char buffer[32];
  char digits[16];
  const int count = std::snprintf(digits, sizeof digits, "%u", number);
  int out = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0 && (count - i) % 3 == 0) buffer[out++] = ',';
    buffer[out++] = digits[i];
  }
  buffer[out] = 0;
  return buffer;
}
