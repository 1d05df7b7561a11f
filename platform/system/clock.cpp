#include "platform/system/clock.h"

#include <atomic>
#include <ctime>

namespace plat {

namespace {

std::atomic<Ms_Clock_Fn> g_ms_clock{nullptr};
std::atomic<Micro_Clock_Fn> g_micro_clock{nullptr};
std::atomic<Calendar_Clock_Fn> g_calendar_clock{nullptr};

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

int64_t Get_Calendar_Time() {
  Calendar_Clock_Fn clock = g_calendar_clock.load(std::memory_order_acquire);
  return clock ? clock() : static_cast<int64_t>(std::time(nullptr));
}

void Set_Calendar_Clock(Calendar_Clock_Fn clock) { g_calendar_clock.store(clock, std::memory_order_release); }

Local_Time Get_Local_Time(int64_t calendar_time) {
  Local_Time result;
  const time_t seconds = static_cast<time_t>(calendar_time);
  tm fields{};
  if (localtime_r(&seconds, &fields) == nullptr) return result;
  result.year = fields.tm_year + 1900;
  result.month = fields.tm_mon + 1;
  result.day = fields.tm_mday;
  result.hour = fields.tm_hour;
  result.minute = fields.tm_min;
  result.second = fields.tm_sec;
  return result;
}

}  // namespace plat
