#include "game/core/CTarget_Link_Pool.h"

#include <functional>
#include <new>

#include "game/core/CTarget_Lock.h"
#include "game/core/CWorld_Object.h"
#include "platform/system/memory.h"

CTarget_Link_Pool g_Target_Link_Pool;

namespace {
// Plain and constant-initialised, so that objects and locks destroyed at exit can ask after
// the pool itself has gone.
bool s_Link_Pool_Alive = false;

// Unchains the link from a chain threaded through the given next field.
void Unchain(CTarget_Link*& head, CTarget_Link* link, CTarget_Link* CTarget_Link::*next) {
  for (CTarget_Link** at = &head; *at; at = &((*at)->*next)) {
    if (*at == link) {
      *at = link->*next;
      return;
    }
  }
}
}  // namespace

bool CTarget_Link_Pool::Init() {
  m_In_Use = nullptr;
  m_Free = nullptr;
  for (int i = kLink_Count - 1; i >= 0; --i) {
    m_Links[i] = CTarget_Link();
    m_Links[i].m_Next_In_Pool = m_Free;
    m_Free = &m_Links[i];
  }
  s_Link_Pool_Alive = true;
  return true;
}

void CTarget_Link_Pool::Term() { s_Link_Pool_Alive = false; }

bool CTarget_Link_Pool::Is_Alive() const { return s_Link_Pool_Alive; }

bool CTarget_Link_Pool::Is_Pool_Record(const CTarget_Link* link) const {
  const std::less<const CTarget_Link*> before;
  return !before(link, &m_Links[0]) && before(link, &m_Links[0] + kLink_Count);
}

int CTarget_Link_Pool::Links_In_Use() const {
  int count = 0;
  for (const CTarget_Link* link = m_In_Use; link; link = link->m_Next_In_Pool) ++count;
  return count;
}

CTarget_Link* CTarget_Link_Pool::Add_Link(CWorld_Object* object, CTarget_Lock* lock) {
  CTarget_Link* link = m_Free;
  if (link) {
    m_Free = link->m_Next_In_Pool;
  } else {
    void* memory = Counted_Alloc(sizeof(CTarget_Link));
    if (!memory) return nullptr;
    link = new (memory) CTarget_Link();
  }
  link->m_Object = object;
  link->m_Lock = lock;
  link->m_Next_Of_Object = object->m_Link_Chain;
  object->m_Link_Chain = link;
  link->m_Next_Of_Lock = lock->m_Link_Chain;
  lock->m_Link_Chain = link;
  link->m_Next_In_Pool = m_In_Use;
  m_In_Use = link;
  return link;
}

void CTarget_Link_Pool::Remove_Link(CTarget_Link* link) {
  if (!s_Link_Pool_Alive || !link) return;
  Unchain(m_In_Use, link, &CTarget_Link::m_Next_In_Pool);
  if (link->m_Object) Unchain(link->m_Object->m_Link_Chain, link, &CTarget_Link::m_Next_Of_Object);
  if (link->m_Lock) Unchain(link->m_Lock->m_Link_Chain, link, &CTarget_Link::m_Next_Of_Lock);
  if (Is_Pool_Record(link)) {
    *link = CTarget_Link();
    link->m_Next_In_Pool = m_Free;
    m_Free = link;
  } else {
    link->~CTarget_Link();
    Counted_Free(link);
  }
}
