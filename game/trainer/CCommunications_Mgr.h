#pragma once
// The simulated correspondence of the trainer. It owns the forum, the account record and the
// score tables, and a master list of prepared communications ("chat/master_com.dat"). A
// posting of a kind with a key picks a matching communication at random, reads its subject
// and text from its author's file ("chat/com_<Name>.act"), fills in the placeholders and posts
// it into the forum. Postings made while the manager is stopped wait in its queue.
#include <cstdint>
#include <string>
#include <vector>

#include "game/trainer/CClient_Data.h"
#include "game/trainer/CForum_Data.h"
#include "game/trainer/CRank_Data.h"

struct Master_Record {
  uint32_t Id;      // top byte the author id, low 24 bits a number
  uint32_t Unused;
  uint32_t Key;     // the value a posting must match
  float Weight;     // of the random choice
  uint32_t Offset;  // of the communication in its author's file
};
static_assert(sizeof(Master_Record) == 20);

// The header of one communication in an author's file.
struct Communication_Header {
  uint32_t Flags = 0;  // 2 private, 4 repeatable
  float Delay = 0;     // minutes
  char Subject[128] = {};
};

enum : uint32_t {
  kComm_Story = 2,
  kComm_Given = 3,
  kComm_User_Place = 4,
  kComm_Correspondent_Place = 5,
  kComm_User_Post = 6,
  kComm_Reaction = 7,
  kComm_Promotion = 8,
  kComm_Absence = 9,
  kComm_Briefing = 10,
  kComm_Mission_Won = 11,
  kComm_Mission_Lost = 12,
  kComm_Kinds = 13,
};

class CCommunications_Mgr {
 public:
  static constexpr uint32_t kMax_Records = 10000;
  static constexpr uint32_t kMax_Text = 99999;
  static constexpr size_t kHeader_Bytes = 164;

  // The destructor clears the stores without saving them.
  ~CCommunications_Mgr() = default;

  // Loads the master list, the forum, the current user's account and the score tables, then
  // delivers the queued postings. A failure shows its message and stops. A damaged forum or
  // score file does not stop it: the store starts anew and its message shows this time only.
  bool Init();
  // Saves the loaded stores, clears them, frees the master list and stops.
  void Term();
  bool Load_Master_Data();

  void Post_Message(uint32_t kind, uint32_t key, uint32_t author_filter);
  const Master_Record* Pick_Record(uint32_t kind, uint32_t key, float weight_total, uint32_t author_filter,
                                   bool allow_repeat);
  void Expand_Text(std::string& text) const;
  void Update(float step);
  static const char* Get_Date_Stamp();

  // Reads a communication of an author's file: its header and text. False when the file is
  // missing, of another version, or the communication does not lie inside it. The author
  // files lie in the given folder.
  static bool Read_Communication(const Master_Record& record, Communication_Header& header, std::string& text,
                                 const std::string& folder = "chat");
  // Parses master-list bytes; false (the list empty) when malformed.
  bool Parse_Master_Bytes(const std::vector<uint8_t>& bytes);

  bool Is_Running() const { return m_Running; }

  struct Queued_Posting {
    uint32_t kind, key, author_filter;
  };

  uint32_t m_Kind_Table[kComm_Kinds][2] = {};  // first record, record count
  uint32_t m_Record_Count = 0;
  std::vector<Master_Record> m_Records;
  bool m_Running = false;
  CForum_Data m_Forum_Data;
  CClient_Data m_Client_Data;
  CRank_Data m_Rank_Data;
  std::vector<Queued_Posting> m_Queue;

 private:
  void Fail_Init(const char* message);
  void Free_Master_Data();
};

// The author names: 1 "Administrator", 2 "AutoNotify", 3-16 the correspondents, any other
// id "Unknown". One shared buffer of 16 bytes.
const char* Get_Persona_Name(uint32_t author_id);

extern CCommunications_Mgr g_Communications_Mgr;
