#include "game/trainer/CRank_Data.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "game/trainer/CCommunications_Mgr.h"

namespace {

std::vector<Rank_Table>& Saved_Tables() {
  static std::vector<Rank_Table> saved;
  return saved;
}

void Copy_Text(char* out, size_t size, const char* text) { std::snprintf(out, size, "%s", text ? text : ""); }

}  // namespace

bool CRank_Data::Load() {
  Clear();
  m_Tables = Saved_Tables();
  m_Loaded = true;
  return true;
}

bool CRank_Data::Save() {
  if (!m_Loaded) return false;
  Saved_Tables() = m_Tables;
  return true;
}

void CRank_Data::Clear() {
  m_Tables.clear();
  m_Loaded = false;
}

void CRank_Data::Forget_Saved() { Saved_Tables().clear(); }

Rank_Table* CRank_Data::Find_Table(const char* key) {
  for (Rank_Table& table : m_Tables)
    if (key && strcasecmp(table.Key, key) == 0) return &table;
  return nullptr;
}

const Rank_Table* CRank_Data::Find_Table(const char* key) const {
  return const_cast<CRank_Data*>(this)->Find_Table(key);
}

int CRank_Data::Insert_Score(const char* key, const char* name, uint32_t score, uint32_t correspondent, bool quiet) {
  if (!key || !*key || score == 0) return -1;
  Rank_Table* table = Find_Table(key);
  if (!table) {
    Rank_Table fresh{};
    Copy_Text(fresh.Key, sizeof fresh.Key, key);
    m_Tables.push_back(fresh);
    table = &m_Tables.back();
  }
  Rank_Entry* entries = table->Entries;
  int place = 0;
  while (place < Rank_Table::kEntries && entries[place].Score >= score) ++place;
  if (place == Rank_Table::kEntries) return -1;
  std::copy_backward(entries + place, entries + Rank_Table::kEntries - 1, entries + Rank_Table::kEntries);
  entries[place] = Rank_Entry{};
  Copy_Text(entries[place].Name, sizeof entries[place].Name, name && *name ? name : "default");
  entries[place].Score = score;
  if (!quiet && place <= 2) {
    const uint32_t kind = correspondent != 0 ? kComm_Correspondent_Place : kComm_User_Place;
    g_Communications_Mgr.Post_Message(kind, static_cast<uint32_t>(place), correspondent);
  }
  return place;
}

const Rank_Entry* CRank_Data::Get_Entry(const char* key, int place) const {
  const Rank_Table* table = Find_Table(key);
  if (!table || place < 0 || place >= Rank_Table::kEntries) return nullptr;
  return &table->Entries[place];
}

const Rank_Entry* CRank_Data::Find_Place_For_Score(const char* key, uint32_t score) const {
  const Rank_Table* table = Find_Table(key);
  if (!table) return nullptr;
  for (const Rank_Entry& entry : table->Entries)
    if (entry.Score < score) return &entry;
  return nullptr;
}
