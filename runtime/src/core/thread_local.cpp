#include "runtime/src/core/thread_local.h"

#include "platform/system/tls.h"

int TLS_AllocSlot(uint32_t* slot, TLS_CleanupFn cleanup) {
  if (slot == nullptr) return 1;
  const uint32_t index = plat::Tls_Alloc(cleanup);
  if (index == plat::kTlsOutOfIndexes) return 1;
  *slot = index;
  return 0;
}

int TLS_FreeSlot(uint32_t slot) { return plat::Tls_Free(slot) ? 0 : 1; }

int TLS_SetValue(uint32_t slot, void* value) { return plat::Tls_Set(slot, value) ? 0 : 1; }

void* TLS_GetValue(uint32_t slot) { return plat::Tls_Get(slot); }

void TLS_RunThreadCleanups() { plat::Tls_Run_Cleanups(); }
