#include "runtime/src/render/sys/pc/world_clump_mgr.h"

CWorldClumpMgr g_WorldClumpMgr;

// Blocks are made on demand by allocations; none exists yet at start.
bool CWorldClumpMgr::Init() {
  m_bInitialised = true;
  return true;
}

void CWorldClumpMgr::Term() { m_bInitialised = false; }
void CWorldClumpMgr::FreeForReset() {}
bool CWorldClumpMgr::Restore() { return true; }
