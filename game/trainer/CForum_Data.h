#pragma once
// The trainer's message board: posted messages, messages on their way with a delay, and the
// set of prepared communications already delivered. Kept in "forumfile.dat".
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "game/trainer/Store_File.h"

class CClient_Data;
struct Master_Record;

enum : uint16_t { kMessage_Public = 1, kMessage_Private = 2, kMessage_Repeatable = 3 };

struct Message_Record {
  uint32_t Id;      // top byte the author id (0 the user), low 24 bits a number
  uint16_t Type;    // kMessage_*
  uint8_t Flags;    // bit 0 read
  uint8_t Unused;
  char Author[32];
  char Recipient[32];
  char Subject[128];
  char Date[32];
};
static_assert(sizeof(Message_Record) == 232);

void Clear_Message_Record(Message_Record& record);

struct Forum_Message {
  Message_Record Record{};
  std::string Text;
};

struct Pending_Message {
  Message_Record Record{};
  float Delay = 0;  // minutes
  std::string Text;
};

struct Forum_Row {
  std::string Author, Subject, Date;
};

class CForum_Data {
 public:
  static constexpr uint32_t kVersion = 1;
  static constexpr uint32_t kMax_Count = 10000;      // posted, pending or delivered entries
  static constexpr uint32_t kMax_Text = 99999;       // characters of one text
  static constexpr uint32_t kKept_Read = 10;          // read messages kept at a save
  static constexpr size_t kMax_Pending_Kept = 500;
  static constexpr int kMax_Reaction_Depth = 8;

  ~CForum_Data() { Clear(); }

  // Reads the forum; counts pending delays down by the time away, advances the competitors
  // and may ask for a long-absence message. A refused file is kept as "forumfile.dat.bad"
  // (numbered when that is taken) and the forum read from the "_tmp" copy, or a new empty
  // one, is saved over it at once. A file that is at fault itself (no read permission, not a
  // regular file, an input/output error) is moved to the next free ".bad" name and the forum
  // starts empty (or from the copy). A file that cannot be moved or kept, or that the process
  // could not open or read now (out of file handles or memory), stays as it is: the forum
  // starts empty (or from the copy) and is not saved over it until a later load reads it.
  // Always true: the forum is loaded.
  bool Load();
  // Trims and writes the forum atomically; false (nothing written) when not loaded or the
  // write fails.
  bool Save();
  void Clear();

  // Posts (delay 0) or queues the message; nothing (false) when the forum is not loaded.
  bool Post(Forum_Message message, float delay, bool redelivery);
  // Counts the pending delays down by the scaled step and posts what is due.
  void Update(float step);

  bool Has_Message(uint32_t id) const;
  Message_Record* Find_Message(uint32_t id);
  const Message_Record* Find_Message(uint32_t id) const;
  const std::string* Get_Text(uint32_t id) const;
  uint32_t Get_Id_At(size_t index) const;
  Forum_Row Get_Row(size_t index) const;
  bool Is_Private(uint32_t id) const;
  void Set_Read(uint32_t id);
  bool Has_Unread_Private(const CClient_Data& account) const;
  bool Is_Delivered(const Master_Record& record) const;

  // The file's bytes (with the given time of saving); and the parser (false, forum empty and
  // why in a few words, when malformed). Parsing sets neither the loaded flag nor the time away.
  std::vector<uint8_t> Build_File_Bytes(uint32_t saved_time) const;
  bool Parse_File_Bytes(const std::vector<uint8_t>& bytes, uint32_t& saved_time, std::string* why = nullptr);

  // How many loads found the file damaged and said so (a file left as it is counts at the first
  // load that names it); never reset.
  uint32_t m_Damaged_Loads = 0;
  // What the loads and saves found wrong with the file, kept across Clear.
  Store_State m_Store_State;

  // Removes the oldest read messages beyond ten, empties an overlong pending list and keeps
  // every list within what a file may hold.
  void Trim();

  bool m_Loaded = false;
  uint32_t m_Message_Counter = 0;
  std::vector<Forum_Message> m_Posted;
  std::vector<Pending_Message> m_Pending;
  std::set<uint32_t> m_Delivered;

 private:
  void Ask_For_Reaction(uint32_t author, uint32_t original_id);
  int m_Reaction_Depth = 0;
};
