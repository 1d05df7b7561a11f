// Feeds bytes to the forum reader. A refusal must say why; an accepted forum is trimmed, saved,
// read again and saved again: both saves must give the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/trainer/trainer_fuzz_support.h"
#include "game/trainer/CForum_Data.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trainer_fuzz::Enter_Work_Folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CForum_Data forum;
  uint32_t saved = 0;
  std::string why;
  if (!forum.Parse_File_Bytes(std::vector<uint8_t>(data, data + size), saved, &why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  forum.Trim();
  const std::vector<uint8_t> first = forum.Build_File_Bytes(saved);
  CForum_Data again;
  uint32_t saved_again = 0;
  if (!again.Parse_File_Bytes(first, saved_again) || saved_again != saved) std::abort();
  again.Trim();
  trainer_fuzz::Require_Same(first, again.Build_File_Bytes(saved_again));
  for (size_t i = 0; i < again.m_Posted.size() && i < 4; ++i) (void)again.Get_Row(i);
  return 0;
}
