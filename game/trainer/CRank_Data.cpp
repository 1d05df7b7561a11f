#include "game/trainer/CRank_Data.h"

CRank_Data g_Rank_Data;

bool CRank_Data::Load() {
  m_Loaded = true;
  return true;
}

void CRank_Data::Clear() { m_Loaded = false; }

const CRank_Entry* CRank_Data::Get_Entry(const std::string& key, const int& place) const {
  (void)key;
  (void)place;
  return nullptr;
}
