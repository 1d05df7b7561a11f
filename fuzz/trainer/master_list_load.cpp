// Feeds bytes to the master-list reader. Every kind of an accepted list is then picked from
// with every key the list holds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/trainer/trainer_fuzz_support.h"
#include "game/trainer/CCommunications_Mgr.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trainer_fuzz::Enter_Work_Folder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CCommunications_Mgr& mgr = g_Communications_Mgr;
  if (!mgr.Parse_Master_Bytes(std::vector<uint8_t>(data, data + size))) return 0;
  for (uint32_t kind = 0; kind < kComm_Kinds; ++kind) {
    for (size_t i = 0; i < mgr.m_Records.size() && i < 8; ++i) {
      (void)mgr.Pick_Record(kind, mgr.m_Records[i].Key, 0.0f, 0, true);
      (void)mgr.Pick_Record(kind, mgr.m_Records[i].Key, 1.0f, mgr.m_Records[i].Id >> 24, false);
    }
  }
  mgr.Parse_Master_Bytes({});
  return 0;
}
