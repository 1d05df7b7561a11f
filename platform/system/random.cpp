#include "platform/system/random.h"

#include <atomic>

namespace plat {

namespace {
std::atomic<uint32_t> g_state{1};
}

void Seed_Random(uint32_t seed) { g_state.store(seed, std::memory_order_relaxed); }

int Random() {
  uint32_t old_state = g_state.load(std::memory_order_relaxed);
  uint32_t new_state;
  do {
    new_state = old_state * 214013u + 2531011u;
  } while (!g_state.compare_exchange_weak(old_state, new_state, std::memory_order_relaxed));
  return static_cast<int>((new_state >> 16) & 0x7FFF);
}

}  // namespace plat
