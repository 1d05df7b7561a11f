#include "game/trainer/CClient_Data.h"

CClient_Data g_Client_Data;

bool CClient_Data::Load(int which) {
  (void)which;
  if (m_Loaded) return true;
  m_Loaded = true;
  return true;
}

void CClient_Data::Clear() { *this = CClient_Data(); }

bool Test_Client_Flags(const uint32_t& bits) {
  if (!g_Client_Data.m_Loaded) g_Client_Data.Load(0);
  return (g_Client_Data.m_Flags & bits) != 0;
}

void Set_Client_Flags(const uint32_t& bits) {
  if (!g_Client_Data.m_Loaded) g_Client_Data.Load(0);
  g_Client_Data.m_Flags |= bits;
}
