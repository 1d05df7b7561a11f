#pragma once
// Shared set-up of the trainer-store fuzz targets: a working folder of their own, a set
// calendar clock and silent messages; and the check every accepted input must pass: what is
// saved loads again and saves to the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "platform/system/message_box.h"

namespace trainer_fuzz {

inline int64_t Set_Clock() { return 1700000000; }

inline void Enter_Work_Folder() {
  char pattern[] = "/tmp/vt_trainer_fuzz_XXXXXX";
  if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) std::abort();
  setenv("TZ", "UTC", 1);
  plat::Set_Calendar_Clock(&Set_Clock);
  plat::Set_Message_Recorder([](const std::string&, const std::string&) {});
}

// Aborts (a finding) when two saves of the same store differ.
inline void Require_Same(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a != b) std::abort();
}

}  // namespace trainer_fuzz
