// Feeds bytes to the score-table reader. A refusal must say why; accepted tables are queried,
// saved, read again and saved again: both saves must give the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/trainer/trainer_fuzz_support.h"
#include "game/trainer/CRank_Data.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trainer_fuzz::Enter_Work_Folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CRank_Data ranks;
  std::string why;
  if (!ranks.Parse_File_Bytes(std::vector<uint8_t>(data, data + size), &why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  ranks.m_Loaded = true;
  const std::vector<uint8_t> first = ranks.Build_File_Bytes();
  CRank_Data again;
  if (!again.Parse_File_Bytes(first)) std::abort();
  trainer_fuzz::Require_Same(first, again.Build_File_Bytes());
  if (!again.m_Tables.empty()) {
    const Rank_Table& table = again.m_Tables.front();
    (void)again.Get_Overall_Rank(table.Entries[0].Name);
    (void)again.Get_Average_Place(table.Entries[0].Name);
    (void)again.Get_Best_Place(table.Entries[0].Name);
    (void)again.Find_Place_For_Score(table.Key, 1000);
  }
  return 0;
}
