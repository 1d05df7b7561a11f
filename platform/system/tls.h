#pragma once
// Thread-local slots: a process-wide slot index names one pointer-sized value per thread.
// A slot may carry a clean-up that receives each thread's non-null value when that thread
// ends (or when it calls Tls_Run_Cleanups). A new slot reads null on every thread, even where
// a freed slot with the same index had values.
#include <cstdint>

namespace plat {

using Tls_Cleanup = void (*)(void* value);

constexpr uint32_t kTlsOutOfIndexes = 0xFFFFFFFFu;
constexpr uint32_t kTlsSlotCount = 128;

// Returns the slot index, or kTlsOutOfIndexes when every slot is taken.
uint32_t Tls_Alloc(Tls_Cleanup cleanup = nullptr);
// False for an index that is not allocated. Values left on threads are dropped uncleaned.
bool Tls_Free(uint32_t slot);
// False for an index that is not allocated.
bool Tls_Set(uint32_t slot, void* value);
// Null for an index that is not allocated or holds nothing on this thread.
void* Tls_Get(uint32_t slot);

// Runs, on the calling thread, the clean-up of every slot in ascending index order whose
// value is not null; each value is cleared before its clean-up is called, so no clean-up runs
// twice for the same value. The same happens by itself when a thread ends.
void Tls_Run_Cleanups();

}  // namespace plat
