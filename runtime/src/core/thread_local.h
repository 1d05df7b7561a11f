#pragma once
// Thread-local slots: a slot index names one pointer-sized value per thread, and a slot's
// clean-up receives each thread's non-null value when that thread ends. Results are 0 on
// success and 1 on failure.
#include <cstdint>

using TLS_CleanupFn = void (*)(void* value);

// Allocates a slot into *slot with its clean-up (may be null).
int TLS_AllocSlot(uint32_t* slot, TLS_CleanupFn cleanup);
int TLS_FreeSlot(uint32_t slot);
int TLS_SetValue(uint32_t slot, void* value);
// Null when the slot holds nothing on this thread.
void* TLS_GetValue(uint32_t slot);
// Runs, on the calling thread, the clean-up of every slot in ascending order whose value is
// set; each value is cleared first, so no clean-up runs twice for it.
void TLS_RunThreadCleanups();
