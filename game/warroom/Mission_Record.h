#pragma once
// What the War Room needs of the user's account: the success rate of the last missions, its
// weight and the number of missions flown. The account is loaded for the query when it is not
// loaded, and released again.
#include <cstdint>

struct Mission_Record {
  float success_rate = 0.0f;
  float weight = 0.0f;
  uint32_t missions_flown = 0;
};

Mission_Record Read_Mission_Record();
