#pragma once
// The score tables: the 50 best scores of every training simulation, by the simulation's key
// (its track id in decimal). Until the file-backed store exists, the saved tables are kept in
// memory.
#include <cstdint>
#include <vector>

struct Rank_Entry {
  char Name[24];         // at most 23 characters
  uint32_t Name_Check;   // file only; 0 in memory
  uint32_t Score;
  uint32_t Score_Check;  // file only; 0 in memory
};

struct Rank_Table {
  static constexpr int kEntries = 50;
  char Key[48];  // at most 47 characters
  Rank_Entry Entries[kEntries];
};

class CRank_Data {
 public:
  // Reads back the saved tables (none saved: no tables). Always true.
  bool Load();
  // Keeps the tables as the saved ones; false when they are not loaded.
  bool Save();
  // Empties the tables; not loaded.
  void Clear();
  // Forgets the saved tables (for tests).
  static void Forget_Saved();

  // Places the score in the key's table (created when missing); the place 0-49, or -1 when
  // the score is 0, the key empty or the score does not enter.
  int Insert_Score(const char* key, const char* name, uint32_t score, uint32_t correspondent, bool quiet);
  // The entry at a place of the key's table; null when the table is missing or the place is
  // 50 or more.
  const Rank_Entry* Get_Entry(const char* key, int place) const;
  // The first entry of the key's table whose score is below the score; null when none is.
  const Rank_Entry* Find_Place_For_Score(const char* key, uint32_t score) const;

  Rank_Table* Find_Table(const char* key);
  const Rank_Table* Find_Table(const char* key) const;

  bool m_Loaded = false;
  std::vector<Rank_Table> m_Tables;
};
