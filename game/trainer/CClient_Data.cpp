#include "game/trainer/CClient_Data.h"

CClient_Data g_Client_Data;

bool CClient_Data::Load(int which) {
  (void)which;
  if (m_Loaded) return true;
  m_Loaded = true;
  return true;
}

void CClient_Data::Clear() { *this = CClient_Data(); }

float CClient_Data::Get_Success_Rate(float& weight) const {
  int walked = 0;
  int won = 0;
  for (const uint8_t result : m_Results) {
    if (result == 255) break;
    ++walked;
    if (result != 0) ++won;
  }
  weight = static_cast<float>(walked) * 0.2f;
  if (walked == 0) return 0.0f;
  return static_cast<float>(won) / static_cast<float>(walked);
}
