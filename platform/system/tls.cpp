#include "platform/system/tls.h"

#include <atomic>
#include <mutex>

namespace plat {

namespace {

// A slot's generation counts its allocations and releases: odd while allocated. Values a
// thread stored under an earlier allocation of the same index therefore read as empty. The
// generation is read without the lock; allocation, release and the clean-up take the lock.
struct Slot {
  std::atomic<uint32_t> generation{0};
  Tls_Cleanup cleanup = nullptr;
};

bool Is_Allocated(uint32_t generation) { return (generation & 1u) != 0; }

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

// The slot's generation while it is allocated; false for a free or invalid slot.
bool Current_Generation(uint32_t slot, uint32_t* generation) {
  if (slot >= kTlsSlotCount) return false;
  *generation = g_slots[slot].generation.load(std::memory_order_acquire);
  return Is_Allocated(*generation);
}

// The clean-up for a value stored under the given generation, or null.
Tls_Cleanup Cleanup_For(uint32_t slot, uint32_t stored_generation) {
  std::lock_guard<std::mutex> hold(Slots_Mutex());
  if (g_slots[slot].generation.load() != stored_generation) return nullptr;
  return g_slots[slot].cleanup;
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
    const Tls_Cleanup cleanup = Cleanup_For(slot, stored_generation);
    if (cleanup == nullptr) continue;
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
    if (Is_Allocated(g_slots[slot].generation.load())) continue;
    g_slots[slot].cleanup = cleanup;
    g_slots[slot].generation.fetch_add(1, std::memory_order_release);
    return slot;
  }
  return kTlsOutOfIndexes;
}

bool Tls_Free(uint32_t slot) {
  std::lock_guard<std::mutex> hold(Slots_Mutex());
  if (slot >= kTlsSlotCount || !Is_Allocated(g_slots[slot].generation.load())) return false;
  g_slots[slot].generation.fetch_add(1, std::memory_order_release);
  g_slots[slot].cleanup = nullptr;
  return true;
}

bool Tls_Set(uint32_t slot, void* value) {
  uint32_t generation = 0;
  if (!Current_Generation(slot, &generation)) return false;
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
  if (!Current_Generation(slot, &generation)) return nullptr;
  return generation == stored.generation ? stored.value : nullptr;
}

void Tls_Run_Cleanups() {
  if (t_values != nullptr) Run_Cleanup_Round(*t_values);
}

}  // namespace plat
