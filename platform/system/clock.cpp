#include "platform/system/clock.h"

#include <atomic>
#include <ctime>

namespace plat {

namespace {

std::atomic<Ms_Clock_Fn> g_ms_clock{nullptr};
std::atomic<Micro_Clock_Fn> g_micro_clock{nullptr};

uint64_t Monotonic_Nanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

uint32_t Real_Ticks_Ms() { return static_cast<uint32_t>(Monotonic_Nanoseconds() / 1000000u); }

uint64_t Real_Micro_Ticks() { return Monotonic_Nanoseconds() / 1000u; }

uint32_t Get_Ticks_Ms() {
  Ms_Clock_Fn clock = g_ms_clock.load(std::memory_order_acquire);
  return clock ? clock() : Real_Ticks_Ms();
}

uint64_t Get_Micro_Ticks() {
  Micro_Clock_Fn clock = g_micro_clock.load(std::memory_order_acquire);
  return clock ? clock() : Real_Micro_Ticks();
}

void Set_Ms_Clock(Ms_Clock_Fn clock) { g_ms_clock.store(clock, std::memory_order_release); }

void Set_Micro_Clock(Micro_Clock_Fn clock) { g_micro_clock.store(clock, std::memory_order_release); }

}  // namespace plat
