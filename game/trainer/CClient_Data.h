#pragma once
// The current user's account record: weapons owned, their levels, credits.
#include <cstdint>

class CClient_Data {
 public:
  static constexpr int kKind_Slots = 16;

  // Loads the current user's record when none is loaded.
  bool Load(int which);
  // Empties the record.
  void Clear();
  // Share of won missions among the recorded results, newest first up to the first empty slot;
  // weight is 0.2 per recorded result.
  float Get_Success_Rate(float& weight) const;

  bool m_Loaded = false;
  uint32_t m_Missions_Flown = 0;
  uint32_t m_Missions_Won = 0;
  uint8_t m_Results[5] = {255, 255, 255, 255, 255};  // newest first: 1 won, 0 lost, 255 empty
  int32_t m_Current_Gun = 0;
  int32_t m_Gun_Levels[kKind_Slots] = {};
  int32_t m_Current_Attachment = 0;
  int32_t m_Attachment_Levels[kKind_Slots] = {};
};

extern CClient_Data g_Client_Data;
