// Feeds bytes to the account reader. A refusal must say why; an accepted account is saved, read
// again and saved again: both saves must give the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/trainer/trainer_fuzz_support.h"
#include "game/trainer/CClient_Data.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trainer_fuzz::Enter_Work_Folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CClient_Data account;
  std::string why;
  if (!account.Parse_File_Bytes(std::vector<uint8_t>(data, data + size), &why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  const std::vector<uint8_t> first = account.Build_File_Bytes();
  CClient_Data again;
  if (!again.Parse_File_Bytes(first)) std::abort();
  trainer_fuzz::Require_Same(first, again.Build_File_Bytes());
  float weight = 0;
  (void)again.Get_Success_Rate(weight);
  return 0;
}
