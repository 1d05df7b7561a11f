#include "platform/system/tls.h"

#include <mutex>

namespace plat {

namespace {

// A slot's generation changes whenever it is allocated or freed, so values a thread stored
// under an earlier allocation of the same index read as empty.
struct Slot {
  bool in_use = false;
  uint32_t generation = 0;
  Tls_Cleanup cleanup = nullptr;
};

struct Stored_Value {
  void* value = nullptr;
  uint32_t generation = 0;
};

struct Thread_Values {
  Stored_Value values[kTlsSlotCount];
};

// Clean-ups may store new values; a thread gives them this many rounds before it drops them.
constexpr int kCleanupRounds = 4;

std::mutex& Slots_Mutex() {
  static std::mutex* mutex = new std::mutex;  // kept to the very end: exiting threads use it
  return *mutex;
}

Slot g_slots[kTlsSlotCount];

thread_local Thread_Values* t_values = nullptr;
thread_local bool t_exited = false;

bool Current_Generation(uint32_t slot, uint32_t* generation, Tls_Cleanup* cleanup) {
  std::lock_guard<std::mutex> hold(Slots_Mutex());
  if (slot >= kTlsSlotCount || !g_slots[slot].in_use) return false;
  *generation = g_slots[slot].generation;
  if (cleanup) *cleanup = g_slots[slot].cleanup;
  return true;
}

// Runs one round of clean-ups; true when at least one ran.
bool Run_Cleanup_Round(Thread_Values& values) {
  bool ran = false;
  for (uint32_t slot = 0; slot < kTlsSlotCount; ++slot) {
    Stored_Value& stored = values.values[slot];
    if (stored.value == nullptr) continue;
    void* value = stored.value;
    const uint32_t stored_generation = stored.generation;
    stored.value = nullptr;
    uint32_t generation = 0;
    Tls_Cleanup cleanup = nullptr;
    if (!Current_Generation(slot, &generation, &cleanup)) continue;
    if (generation != stored_generation || cleanup == nullptr) continue;
    cleanup(value);
    ran = true;
  }
  return ran;
}

// Runs the clean-ups of the ending thread and frees its value table.
struct Thread_Exit_Guard {
  ~Thread_Exit_Guard() {
    if (t_values == nullptr) return;
    for (int round = 0; round < kCleanupRounds && Run_Cleanup_Round(*t_values); ++round) {
    }
    delete t_values;
    t_values = nullptr;
    t_exited = true;
  }
};

Thread_Values* Values_For_Writing() {
  if (t_values != nullptr) return t_values;
  if (t_exited) return nullptr;
  thread_local Thread_Exit_Guard guard;
  (void)guard;
  t_values = new Thread_Values;
  return t_values;
}

}  // namespace

uint32_t Tls_Alloc(Tls_Cleanup cleanup) {
  std::lock_guard<std::mutex> hold(Slots_Mutex());
  for (uint32_t slot = 0; slot < kTlsSlotCount; ++slot) {
    if (g_slots[slot].in_use) continue;
    g_slots[slot].in_use = true;
    g_slots[slot].generation += 1;
    g_slots[slot].cleanup = cleanup;
    return slot;
  }
  return kTlsOutOfIndexes;
}

bool Tls_Free(uint32_t slot) {
  std::lock_guard<std::mutex> hold(Slots_Mutex());
  if (slot >= kTlsSlotCount || !g_slots[slot].in_use) return false;
  g_slots[slot].in_use = false;
  g_slots[slot].generation += 1;
  g_slots[slot].cleanup = nullptr;
  return true;
}

bool Tls_Set(uint32_t slot, void* value) {
  uint32_t generation = 0;
  if (!Current_Generation(slot, &generation, nullptr)) return false;
  Thread_Values* values = Values_For_Writing();
  if (values == nullptr) return false;
  values->values[slot] = Stored_Value{value, generation};
  return true;
}

void* Tls_Get(uint32_t slot) {
  if (t_values == nullptr || slot >= kTlsSlotCount) return nullptr;
  const Stored_Value& stored = t_values->values[slot];
  if (stored.value == nullptr) return nullptr;
  uint32_t generation = 0;
  if (!Current_Generation(slot, &generation, nullptr)) return nullptr;
  return generation == stored.generation ? stored.value : nullptr;
}

void Tls_Run_Cleanups() {
  if (t_values != nullptr) Run_Cleanup_Round(*t_values);
}

}  // namespace plat
