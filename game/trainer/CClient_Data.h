#pragma once
// The account of the user logged in at the console: access level, credits, owned and selected
// weapons with their upgrade levels, the last missions, help flags, the simulator screen's
// remembered list positions and the sets of forum messages read or deleted. Each account lives
// in its own file "client_<name>.dat"; the one record of the program is a member of the
// communications manager.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "game/trainer/Store_File.h"

class CForum_Data;

class CClient_Data {
 public:
  static constexpr int kKind_Slots = 16;
  static constexpr uint32_t kVersion = 2;
  static constexpr uint32_t kMax_Set_Size = 14999;  // ids per set that a file may hold
  static constexpr size_t kHeader_Bytes = 28;
  static constexpr size_t kData_Bytes = 96;
  static constexpr uint8_t kNo_Result = 255;

  // Header words.
  enum : int {
    kHeader_Version = 0,
    kHeader_First_Message = 1,
    kHeader_Selected_Message = 2,
    kHeader_First_Sim_Row = 3,
    kHeader_Selected_Sim_Row = 4,
    kHeader_Read_Count = 5,
    kHeader_Deleted_Count = 6,
    kHeader_Words = 7,
  };

  CClient_Data() { Clear(); }
  ~CClient_Data() { Clear(); }

  // The file name of an account ("client_<name>.dat", letters A-Z lowered); null takes the
  // console's current user, an empty name is "default". A name holding '/', '\\' or ".." gives
  // an empty text: it names no account. One shared buffer, overwritten by the next call.
  static const char* Get_File_Name(const char* user_name);

  // Reads the account (null: the console's current user). A missing file (and copy) is a new
  // account. A refused file is kept as "<file>.bad" (numbered when that is taken), and the
  // account read from the "_tmp" copy, or a new one, is saved over it at once. A file that is
  // at fault itself (no read permission, not a regular file, an input/output error) is moved to
  // the next free ".bad" name and the account starts new (or from the copy). A file that cannot
  // be moved or kept, or that the process could not open or read now (out of file handles or
  // memory), stays as it is: the account starts new (or from the copy) and is not saved over it
  // until a later load reads it. A name that is no file name gives a new account that is never
  // saved. Always true: the record is loaded.
  bool Load(const char* user_name);
  // Writes the account atomically. False (nothing written) when it is not loaded, no file name
  // is known or the write fails (the old file stays as it was).
  bool Save();
  // Defaults, empty sets, not loaded. The file name stays.
  void Clear();
  // Whether the record is loaded with the account of the user (null: the console's current
  // user).
  bool Holds(const char* user_name) const;

  // Share of won missions among the recorded results, newest first up to the first empty slot;
  // weight is 0.2 per recorded result.
  float Get_Success_Rate(float& weight) const;
  // Shifts the results one place towards the oldest and stores the newest (1 won, 0 lost).
  void Push_Mission_Result(bool won);

  bool Mark_Read(uint32_t id, CForum_Data& forum);
  bool Mark_Deleted(uint32_t id);
  // Drops from both sets every id that the forum no longer holds.
  void Prune_Message_Sets(const CForum_Data& forum);

  // Runs work on this record, loading the console's current user first when no account is
  // loaded and clearing the record again afterwards, so an unloaded record stays unloaded.
  // False (work not run) when that load fails.
  bool Use_Loaded(const std::function<void(CClient_Data&)>& work);

  // The checksum word of the three first data words.
  static uint32_t Compute_Checksum(uint32_t access_level, uint32_t credits, uint32_t story_counter);

  // The file's bytes for this record (as Save writes them, with the sets' counts and the
  // checksum filled in).
  std::vector<uint8_t> Build_File_Bytes();
  // Parses a file's bytes into the record; false (the record at its defaults, and why in a few
  // words) when refused.
  bool Parse_File_Bytes(const std::vector<uint8_t>& bytes, std::string* why = nullptr);

  bool m_Loaded = false;
  std::string m_File_Name;
  uint32_t m_Header[kHeader_Words] = {};

  // The data block, in file order.
  uint32_t m_Access_Level = 0;
  uint32_t m_Credits = 0;
  uint32_t m_Story_Counter = 0;
  uint32_t m_Runs_Finished = 0;
  uint32_t m_Pacing = 0;
  uint32_t m_Missions_Flown = 0;
  uint32_t m_Missions_Won = 0;
  uint8_t m_Results[5] = {};
  uint8_t m_Reserved[3] = {};
  uint32_t m_Forum_Posts = 0;
  uint32_t m_Current_Gun = 0;
  uint32_t m_Owned_Guns = 0;
  uint8_t m_Gun_Levels[kKind_Slots] = {};
  uint32_t m_Current_Attachment = 0;
  uint32_t m_Owned_Attachments = 0;
  uint8_t m_Attachment_Levels[kKind_Slots] = {};
  uint32_t m_Flags = 0;
  uint32_t m_Checksum = 0;

  std::set<uint32_t> m_Read_Set;
  std::set<uint32_t> m_Deleted_Set;

  // What the account's loads and saves found wrong with its files, kept across Clear.
  Store_State m_Store_State;

 private:
  void Reset_Record();
  void Write_Data_Block(std::vector<uint8_t>& out) const;
  bool Read_Data_Block(const uint8_t* block);
  std::string Refusal() const;
};

// Whether any of the bits is set in the current account's flags word.
bool Test_Client_Flags(uint32_t bits);
// Sets the bits in the current account's flags word and saves the account.
void Set_Client_Flags(uint32_t bits);

// The console's current user name, "default" when nobody has logged in.
std::string Current_User_Name();
