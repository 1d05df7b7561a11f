#include "game/trainer/CCommunications_Mgr.h"

CCommunications_Mgr g_Communications_Mgr;

void CCommunications_Mgr::Post_Message(uint32_t kind, uint32_t key, uint32_t author_filter) {
  m_Queue.push_back(Queued_Posting{kind, key, author_filter});
}
