#include "runtime/src/render/sys/pc/vb_suballocator.h"

CVBSubAllocator g_VBSubAllocator;

// Blocks are made on demand by allocations; none exists yet at start.
bool CVBSubAllocator::Init() {
  m_bInitialised = true;
  return true;
}

void CVBSubAllocator::Term() { m_bInitialised = false; }
void CVBSubAllocator::FreeForReset() {}
bool CVBSubAllocator::Restore() { return true; }
