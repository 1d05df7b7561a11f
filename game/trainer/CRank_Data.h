#pragma once
// The score tables: the 50 best scores of every training simulation, shared by the users and
// the simulated correspondents, kept in "rdata.dat". Scores are stored scrambled with check
// words, so an entry edited in the file loads empty.
#include <cstdint>
#include <string>
#include <vector>

#include "game/trainer/Store_File.h"

struct Rank_Entry {
  char Name[24];         // at most 23 characters
  uint32_t Name_Check;   // file only; 0 in memory
  uint32_t Score;        // scrambled in the file
  uint32_t Score_Check;  // file only; 0 in memory
};
static_assert(sizeof(Rank_Entry) == 36);

struct Rank_Table {
  static constexpr int kEntries = 50;
  char Key[48];  // the simulation's track id in decimal
  Rank_Entry Entries[kEntries];
};
static_assert(sizeof(Rank_Table) == 1848);

class CRank_Data {
 public:
  static constexpr uint32_t kVersion = 1;
  static constexpr uint32_t kMax_Tables = 4999;  // tables a file may hold
  static constexpr uint32_t kScore_Mask = 0x6b1d42c9;
  static constexpr uint32_t kScore_Check_Mask = 0x19e6f35a;
  static constexpr uint32_t kName_Check_Mask = 0x4a7c0d2e;

  ~CRank_Data() { Clear(); }

  // Reads the tables (the "_tmp" copy when the file is missing, cannot be opened or is
  // refused); default tables when neither is there. A refused file is kept as "rdata.dat.bad"
  // (numbered when that is taken) and the tables of the "_tmp" copy, or default ones, are saved
  // over it at once. A file that is at fault itself (no read permission, not a regular file, an
  // input/output error) is moved to the next free ".bad" name and the tables start from the
  // defaults (or the copy). A file that cannot be moved or kept, or that the process could not
  // open or read now (out of file handles or memory), stays as it is: the tables start from the
  // defaults (or the copy) and are not saved over it until a later load reads it. Always true:
  // the tables are loaded.
  bool Load();
  // Writes the tables atomically; false (nothing written) when not loaded or the write fails.
  bool Save();
  void Clear();

  // Places the score in the key's table (created when missing); the place 0-49, or -1 when
  // the score is 0, the key empty or the score does not enter. A new place among the first
  // three posts a message unless quiet.
  int Insert_Score(const char* key, const char* name, uint32_t score, uint32_t correspondent, bool quiet);

  const Rank_Entry* Get_Entry(const char* key, int place) const;
  const Rank_Entry* Find_Place_For_Score(const char* key, uint32_t score) const;
  uint32_t Get_Score(const char* key, const char* name) const;
  int Get_Place(const char* key, const char* name) const;
  int Get_Best_Place(const char* name) const;
  float Get_Average_Place(const char* name) const;
  int Get_Overall_Rank(const char* name) const;

  // Adds correspondent scores for the minutes that passed, then saves.
  void Advance_Competitors(float minutes);

  // Fills the default tables from the simulation table.
  void Make_Default_Tables();

  // The file's bytes for the tables; and the parser of a file's bytes (false, tables empty and
  // why in a few words, when malformed).
  std::vector<uint8_t> Build_File_Bytes() const;
  bool Parse_File_Bytes(const std::vector<uint8_t>& bytes, std::string* why = nullptr);

  static uint32_t Name_Check_Word(const char* name);
  static uint32_t Score_Check_Word(uint32_t stored_score);

  Rank_Table* Find_Table(const char* key);
  const Rank_Table* Find_Table(const char* key) const;

  bool m_Loaded = false;
  std::vector<Rank_Table> m_Tables;
  // How many loads found the file damaged and said so (a file left as it is counts at the first
  // load that names it); never reset.
  uint32_t m_Damaged_Loads = 0;
  // What the loads and saves found wrong with the file, kept across Clear.
  Store_State m_Store_State;
};

// The title of the simulation of the last inserted score, "that game" when none matches.
const char* Get_Last_Score_Game_Name();
// The last score given to Insert_Score.
uint32_t Get_Last_Score();
// Whether the name is one of the sixteen author names, without regard to case.
bool Is_Author_Name(const char* name);
