#pragma once
// The score tables: one table of 50 places per simulation, kept in "rdata.dat".
// Least form: no table is stored, so every look-up finds none.
#include <cstdint>
#include <string>

struct CRank_Entry {
  char name[24] = {};
  uint32_t score = 0;
  uint32_t correspondent = 0;
};

class CRank_Data {
 public:
  static constexpr int kPlaces = 50;

  // Reads the tables and marks them loaded.
  bool Load();
  // Empties the tables and marks them not loaded.
  void Clear();
  // The entry at a place 0-49 of the simulation's table; null when there is none.
  const CRank_Entry* Get_Entry(const std::string& key, const int& place) const;
  bool Is_Loaded() const { return m_Loaded; }

  bool m_Loaded = false;
};

extern CRank_Data g_Rank_Data;
