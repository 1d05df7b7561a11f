#pragma once
// The simulated correspondence of the trainer, which owns the account record and the score
// tables. Until the forum and the prepared communications exist, a posting is only recorded.
#include <cstdint>
#include <vector>

#include "game/trainer/CClient_Data.h"
#include "game/trainer/CRank_Data.h"

enum : uint32_t {
  kComm_User_Place = 4,
  kComm_Correspondent_Place = 5,
  kComm_Promotion = 8,
};

class CCommunications_Mgr {
 public:
  struct Queued_Posting {
    uint32_t kind, key, author_filter;
  };

  void Post_Message(uint32_t kind, uint32_t key, uint32_t author_filter);

  CClient_Data& m_Client_Data = g_Client_Data;
  CRank_Data m_Rank_Data;
  std::vector<Queued_Posting> m_Queue;
};

extern CCommunications_Mgr g_Communications_Mgr;
