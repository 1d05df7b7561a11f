#include "game/trainer/CRank_Data.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdint>
#include <map>
#include <strings.h>

#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/Record_Bytes.h"
#include "game/trainer/Sim_Table.h"
#include "game/trainer/Store_File.h"
#include "platform/system/random.h"

namespace {

constexpr char kFile_Name[] = "rdata.dat";
constexpr int kFirst_Correspondent = 3;
constexpr int kCorrespondents = 14;

std::string g_last_score_key;
uint32_t g_last_score = 0;

float Random_Unit() { return static_cast<float>(plat::Random()) / 32768.0f; }

uint32_t Random_Correspondent() {
  return kFirst_Correspondent + static_cast<uint32_t>(plat::Random() * kCorrespondents / 32768);
}

bool Same_Name(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

void Copy_Text(char* field, size_t size, const char* text) {
  std::snprintf(field, size, "%s", text);
}

bool Is_Filled(const Rank_Entry& entry) { return entry.Name[0] != 0; }

// Empty entries lose their score, entries without a score their name; then best first, equal
// scores in the order they had.
void Tidy_Table(Rank_Table& table) {
  for (Rank_Entry& entry : table.Entries) {
    if (entry.Score == 0) entry.Name[0] = 0;
    if (entry.Name[0] == 0) {
      std::memset(entry.Name, 0, sizeof entry.Name);
      entry.Score = 0;
    }
  }
  std::stable_sort(std::begin(table.Entries), std::end(table.Entries),
                   [](const Rank_Entry& a, const Rank_Entry& b) { return a.Score > b.Score; });
}

// Why a file with this version and table count is refused; empty when they are accepted.
std::string Refusal(uint32_t version, uint32_t count, size_t table_bytes) {
  if (version != CRank_Data::kVersion) return "its version is " + std::to_string(version);
  if (count > CRank_Data::kMax_Tables) return std::to_string(count) + " score tables";
  if (table_bytes < size_t{count} * sizeof(Rank_Table))
    return "it ends inside its " + std::to_string(count) + " tables";
  return std::string();
}

}  // namespace

uint32_t CRank_Data::Name_Check_Word(const char* name) {
  const int32_t first = static_cast<int8_t>(name[0]);
  const uint32_t value = static_cast<uint32_t>(first) * 4u;
  return static_cast<uint32_t>(std::popcount(value)) ^ kName_Check_Mask;
}

uint32_t CRank_Data::Score_Check_Word(uint32_t stored_score) {
  return static_cast<uint32_t>(std::popcount(stored_score)) ^ kScore_Check_Mask;
}

void CRank_Data::Clear() {
  m_Tables.clear();
  m_Loaded = false;
}

std::vector<uint8_t> CRank_Data::Build_File_Bytes() const {
  Byte_Writer w;
  w.Write_U32(kVersion);
  w.Write_U32(static_cast<uint32_t>(m_Tables.size()));
  for (const Rank_Table& table : m_Tables) {
    w.Write_Text(table.Key);
    for (const Rank_Entry& entry : table.Entries) {
      const uint32_t stored = entry.Score ^ kScore_Mask;
      w.Write_Text(entry.Name);
      w.Write_U32(Name_Check_Word(entry.Name));
      w.Write_U32(stored);
      w.Write_U32(Score_Check_Word(stored));
    }
  }
  return w.Bytes();
}

bool CRank_Data::Parse_File_Bytes(const std::vector<uint8_t>& bytes, std::string* why) {
  m_Tables.clear();
  Byte_Reader r(bytes);
  uint32_t version = 0, count = 0;
  const std::string refusal =
      r.Read_U32(version) && r.Read_U32(count) ? Refusal(version, count, r.Remaining()) : "it ends inside its header";
  if (!refusal.empty()) {
    if (why != nullptr) *why = refusal;
    return false;
  }
  m_Tables.resize(count);
  for (Rank_Table& table : m_Tables) {
    r.Read_Text(table.Key);
    for (Rank_Entry& entry : table.Entries) {
      uint32_t stored = 0;
      r.Read_Text(entry.Name);
      r.Read_U32(entry.Name_Check);
      r.Read_U32(stored);
      r.Read_U32(entry.Score_Check);
      const bool intact = entry.Score_Check == Score_Check_Word(stored) && entry.Name_Check == Name_Check_Word(entry.Name);
      entry.Score = intact ? stored ^ kScore_Mask : 0;
      entry.Name_Check = entry.Score_Check = 0;
    }
    Tidy_Table(table);
  }
  return true;
}

bool CRank_Data::Load() {
  Clear();
  const auto parse = [this](const std::vector<uint8_t>& bytes, std::string& why) {
    return Parse_File_Bytes(bytes, &why);
  };
  const Store_Load_Result result = Load_Store_File(kFile_Name, "new score tables were started", parse, m_Store_State);
  // A file left as it is is named at the first load that finds it: it counts once.
  if (result.said &&
      (result.outcome == Store_Load::Damaged || result.outcome == Store_Load::Unkept || !result.kept_as.empty()))
    ++m_Damaged_Loads;
  if (result.outcome != Store_Load::Accepted) {
    m_Tables.clear();
    Make_Default_Tables();
  }
  m_Loaded = true;
  // The tables replace a refused file at once, so that it is kept only once.
  if (result.outcome == Store_Load::Damaged || !result.kept_as.empty()) Save();
  return true;
}

bool CRank_Data::Save() {
  if (!m_Loaded) return false;
  return Save_Store_File(kFile_Name, Build_File_Bytes(), m_Store_State);
}

void CRank_Data::Make_Default_Tables() {
  Build_Sim_Table();
  for (const Sim_Entry& row : g_Sim_Table) {
    if (row.Is_Random != 0) continue;
    char key[48];
    std::snprintf(key, sizeof key, "%d", static_cast<int>(row.Track_Id));
    const float base = 2500000.0f + Random_Unit() * 2000000.0f;
    for (int i = 0; i < Rank_Table::kEntries; ++i) {
      const uint32_t correspondent = Random_Correspondent();
      float x = std::pow(Random_Unit(), 5.0f);
      if (i >= 13) x *= 0.6f;
      if (i >= 23) x *= 0.3f;
      const uint32_t score = std::max<uint32_t>(static_cast<uint32_t>(base * x), 100u);
      Insert_Score(key, Get_Persona_Name(correspondent), score, correspondent, true);
    }
  }
}

Rank_Table* CRank_Data::Find_Table(const char* key) {
  for (Rank_Table& table : m_Tables) {
    if (Same_Name(table.Key, key)) return &table;
  }
  return nullptr;
}

const Rank_Table* CRank_Data::Find_Table(const char* key) const {
  return const_cast<CRank_Data*>(this)->Find_Table(key);
}

int CRank_Data::Insert_Score(const char* key, const char* name, uint32_t score, uint32_t correspondent, bool quiet) {
  if (key == nullptr || key[0] == 0 || score == 0) return -1;
  // Keys are kept to 47 characters; a longer one finds the table its cut form made.
  char cut_key[sizeof(Rank_Table::Key)];
  Copy_Text(cut_key, sizeof cut_key, key);
  Rank_Table* table = Find_Table(cut_key);
  if (table == nullptr) {
    if (m_Tables.size() >= kMax_Tables) return -1;  // a file could not hold another table
    Rank_Table fresh{};
    Copy_Text(fresh.Key, sizeof fresh.Key, cut_key);
    m_Tables.push_back(fresh);
    table = &m_Tables.back();
  }
  g_last_score_key = table->Key;
  g_last_score = score;
  int place = -1;
  for (int i = 0; i < Rank_Table::kEntries; ++i) {
    if (table->Entries[i].Score < score) {
      place = i;
      break;
    }
  }
  if (place < 0) return -1;
  std::move_backward(table->Entries + place, table->Entries + Rank_Table::kEntries - 1,
                     table->Entries + Rank_Table::kEntries);
  Rank_Entry& entry = table->Entries[place];
  entry = Rank_Entry{};
  Copy_Text(entry.Name, sizeof entry.Name, (name == nullptr || name[0] == 0) ? "default" : name);
  entry.Score = score;
  if (!quiet && place <= 2) {
    if (correspondent != 0)
      g_Communications_Mgr.Post_Message(kComm_Correspondent_Place, static_cast<uint32_t>(place), correspondent);
    else
      g_Communications_Mgr.Post_Message(kComm_User_Place, static_cast<uint32_t>(place), 0);
  }
  return place;
}

const Rank_Entry* CRank_Data::Get_Entry(const char* key, int place) const {
  const Rank_Table* table = Find_Table(key);
  if (table == nullptr || place < 0 || place >= Rank_Table::kEntries) return nullptr;
  return &table->Entries[place];
}

const Rank_Entry* CRank_Data::Find_Place_For_Score(const char* key, uint32_t score) const {
  const Rank_Table* table = Find_Table(key);
  if (table == nullptr) return nullptr;
  for (const Rank_Entry& entry : table->Entries) {
    if (entry.Score < score) return &entry;
  }
  return nullptr;
}

uint32_t CRank_Data::Get_Score(const char* key, const char* name) const {
  const Rank_Table* table = Find_Table(key);
  if (table == nullptr) return 0;
  for (const Rank_Entry& entry : table->Entries) {
    if (Same_Name(entry.Name, name)) return entry.Score;
  }
  return 0;
}

namespace {

// 1-based place of the first entry with the name; 51 when absent.
int Place_In(const Rank_Table& table, const char* name) {
  for (int i = 0; i < Rank_Table::kEntries; ++i) {
    if (Same_Name(table.Entries[i].Name, name)) return i + 1;
  }
  return Rank_Table::kEntries + 1;
}

int Filled_Count(const Rank_Table& table) {
  return static_cast<int>(std::count_if(std::begin(table.Entries), std::end(table.Entries), Is_Filled));
}

// The place among the filled entries; 0 when the name is not among them.
int Filled_Place_In(const Rank_Table& table, const char* name) {
  int place = 0;
  for (const Rank_Entry& entry : table.Entries) {
    if (!Is_Filled(entry)) continue;
    ++place;
    if (Same_Name(entry.Name, name)) return place;
  }
  return 0;
}

struct Case_Less {
  using is_transparent = void;
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
  bool operator()(const std::string& a, const char* b) const { return strcasecmp(a.c_str(), b) < 0; }
  bool operator()(const char* a, const std::string& b) const { return strcasecmp(a, b.c_str()) < 0; }
};

struct Name_Total {
  long long total = 0;
  size_t last_table = SIZE_MAX;  // the table whose first entry of the name was counted last
};

}  // namespace

int CRank_Data::Get_Place(const char* key, const char* name) const {
  const Rank_Table* table = Find_Table(key);
  return table == nullptr ? 0 : Place_In(*table, name);
}

int CRank_Data::Get_Best_Place(const char* name) const {
  int best = Rank_Table::kEntries + 1;
  for (const Rank_Table& table : m_Tables) {
    const int place = Filled_Place_In(table, name);
    if (place != 0) best = std::min(best, place);
  }
  return best;
}

float CRank_Data::Get_Average_Place(const char* name) const {
  if (m_Tables.empty()) return 0.0f;
  double total = 0;
  for (const Rank_Table& table : m_Tables) {
    const int place = Filled_Place_In(table, name);
    total += place != 0 ? place : Filled_Count(table) + 1;
  }
  const double average = total / static_cast<double>(m_Tables.size()) + 0.5;
  return static_cast<float>(std::clamp(average, 1.0, 51.0));
}

int CRank_Data::Get_Overall_Rank(const char* name) const {
  // Each name scores 51 - its place in every table, counted at its first entry there.
  std::map<std::string, Name_Total, Case_Less> totals;
  for (size_t t = 0; t < m_Tables.size(); ++t) {
    for (int i = 0; i < Rank_Table::kEntries; ++i) {
      const Rank_Entry& entry = m_Tables[t].Entries[i];
      if (!Is_Filled(entry)) continue;
      auto found = totals.find(entry.Name);
      if (found == totals.end()) found = totals.emplace(entry.Name, Name_Total{}).first;
      if (found->second.last_table == t) continue;
      found->second.last_table = t;
      found->second.total += Rank_Table::kEntries - i;
    }
  }
  const auto found = totals.find(name);
  if (found == totals.end()) return Rank_Table::kEntries + 1;
  int rank = 1;
  for (const auto& [other, score] : totals) {
    if (score.total > found->second.total) ++rank;
  }
  return rank;
}

void CRank_Data::Advance_Competitors(float minutes) {
  const bool was_loaded = m_Loaded;
  if (!was_loaded && !Load()) return;
  if (minutes >= 0 && !m_Tables.empty()) {
    int held_count = 0;
    for (const Rank_Table& table : m_Tables) {
      for (int i = 0; i < 5; ++i) {
        if (Is_Author_Name(table.Entries[i].Name)) ++held_count;
      }
    }
    const double held = 0.00001 + held_count;
    const double slots = 0.00001 + 5.0 * static_cast<double>(m_Tables.size());
    const double hours = std::min(static_cast<double>(minutes) / 60.0, 20.0);
    const double h = std::clamp(std::clamp(1.0 - held / slots, 0.0, 1.0) - 0.15, 0.0, 1.0);
    const double n = std::clamp(std::min(h * 20.0, hours), 0.0, 100.0);
    int count = static_cast<int>(n);
    if (h > 0.25 && minutes > 15) ++count;
    if (minutes > 360) ++count;
    for (int i = 0; i < count; ++i) {
      const size_t tables = m_Tables.size();
      const size_t index = std::min(tables * static_cast<size_t>(plat::Random()) / 32768, tables - 1);
      double sum = 0;
      for (int e = 0; e < 5; ++e) sum += m_Tables[index].Entries[e].Score;
      const double average = sum * 0.2;
      const uint32_t score = static_cast<uint32_t>(std::min((Random_Unit() * 1.9 + 0.1) * average, 4294967295.0));
      const uint32_t correspondent = Random_Correspondent();
      const std::string key = m_Tables[index].Key;
      Insert_Score(key.c_str(), Get_Persona_Name(correspondent), score, correspondent, false);
    }
    Save();
  }
  if (!was_loaded) Clear();
}

const char* Get_Last_Score_Game_Name() {
  Build_Sim_Table();
  for (const Sim_Entry& row : g_Sim_Table) {
    char key[48];
    std::snprintf(key, sizeof key, "%d", static_cast<int>(row.Track_Id));
    if (Same_Name(key, g_last_score_key.c_str())) return row.Name.c_str();
  }
  return "that game";
}

uint32_t Get_Last_Score() { return g_last_score; }

bool Is_Author_Name(const char* name) {
  for (uint32_t id = 1; id <= 16; ++id) {
    if (Same_Name(name, Get_Persona_Name(id))) return true;
  }
  return false;
}
