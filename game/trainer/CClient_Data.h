#pragma once
// The account of the user logged in at the console: access level, credits, run counters, the
// selected weapons and their upgrade levels. Each account is kept under its file name
// "client_<name>.dat"; until the file-backed store exists, saved records are kept in memory.
#include <cstdint>
#include <string>

class CClient_Data {
 public:
  static constexpr int kKind_Slots = 16;

  // The file name of an account ("client_<name>.dat", letters A-Z lowered); null or an empty
  // name is "default". One shared buffer, overwritten by the next call.
  static const char* Get_File_Name(const char* user_name);

  // Reads the account saved under the user's name (null: "default"); a name never saved is a
  // new account with the defaults. Always true.
  bool Load(const char* user_name);
  // Keeps the record as the saved account of its file name; false when none was loaded yet.
  bool Save();
  // Defaults, not loaded. The file name stays.
  void Clear();
  // Forgets every saved account (for tests).
  static void Forget_Saved();
  // Share of won missions among the recorded results, newest first up to the first empty slot;
  // weight is 0.2 per recorded result.
  float Get_Success_Rate(float& weight) const;

  bool m_Loaded = false;
  std::string m_File_Name;
  uint32_t m_Access_Level = 0;
  uint32_t m_Credits = 0;
  uint32_t m_Runs_Finished = 0;
  uint32_t m_Missions_Flown = 0;
  uint32_t m_Missions_Won = 0;
  uint8_t m_Results[5] = {255, 255, 255, 255, 255};  // newest first: 1 won, 0 lost, 255 empty
  uint32_t m_Flags = 0;
  int32_t m_Current_Gun = 4;
  int32_t m_Gun_Levels[kKind_Slots] = {};
  int32_t m_Current_Attachment = 0;
  int32_t m_Attachment_Levels[kKind_Slots] = {};
};

extern CClient_Data g_Client_Data;
