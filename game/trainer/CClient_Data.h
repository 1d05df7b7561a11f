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

  bool m_Loaded = false;
  int32_t m_Current_Gun = 0;
  int32_t m_Gun_Levels[kKind_Slots] = {};
  int32_t m_Current_Attachment = 0;
  int32_t m_Attachment_Levels[kKind_Slots] = {};
  uint32_t m_Flags = 0;
};

extern CClient_Data g_Client_Data;

// True when the account's flags word has any of the bits (the record is loaded for the test).
bool Test_Client_Flags(const uint32_t& bits);
// ORs the bits into the account's flags word and saves the record.
void Set_Client_Flags(const uint32_t& bits);
