#include "game/trainer/CClient_Data.h"

CClient_Data g_Client_Data;

bool CClient_Data::Load(int which) {
  (void)which;
  if (m_Loaded) return true;
  m_Loaded = true;
  return true;
}

void CClient_Data::Clear() { *this = CClient_Data(); }
