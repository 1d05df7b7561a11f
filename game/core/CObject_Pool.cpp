#include "game/core/CObject_Pool.h"

// Constant-initialised: zero before any static initialiser of any file runs.
CObject_Pool* g_Object_Pools[kObject_Type_Count];

namespace {

bool s_Pools_Cleared = false;

// The table's own clearing at static initialisation; the once-only guard keeps registrations
// that other files' initialisers made before this one.
struct Clear_At_Start {
  Clear_At_Start() { Clear_Object_Pools(); }
} s_Clear_At_Start;

}  // namespace

void Clear_Object_Pools() {
  if (s_Pools_Cleared) return;
  s_Pools_Cleared = true;
  for (CObject_Pool*& pool : g_Object_Pools) pool = nullptr;
}

bool Register_Object_Pool(uint32_t type, CObject_Pool* pool) {
  Clear_Object_Pools();
  if (type >= kObject_Type_Count) return false;
  g_Object_Pools[type] = pool;
  return true;
}
