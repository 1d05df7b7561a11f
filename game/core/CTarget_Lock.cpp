#include "game/core/CTarget_Lock.h"

#include "game/core/CTarget_Link_Pool.h"

void CTarget_Lock::Clear() {
  Clear_Links();
  m_Active = 0;
}

void CTarget_Lock::Clear_Links() {
  while (m_Link_Chain) {
    CTarget_Link* first = m_Link_Chain;
    g_Target_Link_Pool.Remove_Link(first);
    if (m_Link_Chain == first) break;  // the pool has ended; nothing can be given back
  }
}

CWorld_Object* CTarget_Lock::First_Object() const { return m_Link_Chain ? m_Link_Chain->m_Object : nullptr; }
