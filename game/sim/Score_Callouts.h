#pragma once
// The spoken score callouts: short samples that accompany the score board's special awards.
// Each kind has a weight that falls when it is used and recovers slowly; a global threshold rises
// with every accepted callout and decays; at most 8 wait in a queue and play one after another.
#include <cstdint>

// Callout kinds, by the award that requests them.
enum : unsigned {
  kCallout_Link_3 = 0,
  kCallout_Target_Hit = 1,
  kCallout_Bonus_Hit = 2,
  kCallout_Hit_Streak = 3,
  kCallout_Perfect_Round = 4,
  kCallout_Quick_Hit = 5,
  kCallout_Multi_Hit = 6,
  kCallout_Link_6 = 7,
  kCallout_Link_12 = 8,
  kCallout_Score_Mark_1 = 9,
  kCallout_Score_Mark_2 = 10,
  kCallout_Score_Mark_3 = 11,
  kCallout_Score_Mark_4 = 12,
  kCallout_Kind_Count = 13,
};

// The queue limit every caller passes.
constexpr unsigned kCallout_Limit = 2;

struct CCallout_Row {
  uint32_t sample_id;  // 0 disables the row
  bool unique;         // not queued while its sample plays or waits
  float volume_factor;
  float play_time;  // scaled time after the start before the next callout may start
  float base_weight;
  float delay;  // scaled time between reaching the head of the queue and playing
  float weight;
};

struct CCallout_Entry {
  uint32_t sample_id;
  float volume_factor;
  float play_time;
  float delay;
  float weight;  // the row's weight when it was requested
};

struct CCallout_State {
  static constexpr int kQueue_Size = 8;
  float threshold = 0.0f;
  CCallout_Entry queue[kQueue_Size] = {};
  unsigned queue_length = 0;
  uint32_t playing = 0;  // 0: nothing playing
  float play_left = 0.0f;
};

extern CCallout_Row g_Callout_Table[kCallout_Kind_Count];
extern CCallout_State g_Callout_State;

// Queues a callout of the kind when its weight, the threshold and the queue allow it.
void Request_Callout(const unsigned& kind, const unsigned& limit);
// Decays the threshold, recovers the weights and plays the head of the queue when its time has
// come; the first step of every frame's update, in every mode.
void Update_Callouts(const float& delta);
// Puts the table and the state back as they are at start (for tests).
void Reset_Callouts();
