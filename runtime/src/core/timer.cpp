#include "runtime/src/core/timer.h"

#include "platform/system/clock.h"
#include "platform/system/thread.h"

namespace {

constexpr uint32_t kMicrosPerSecond = 1000000;
constexpr uint32_t kEngineTimerStartSeconds = 10;

}  // namespace

uint32_t* g_pEngineFrameCounter = nullptr;

void Timer_GetMicroTime(CTimestamp* stamp) {
  if (stamp == nullptr) return;
  const uint64_t micros = plat::Get_Micro_Ticks();
  stamp->Seconds = static_cast<uint32_t>(micros / kMicrosPerSecond);
  stamp->Microseconds = static_cast<uint32_t>(micros % kMicrosPerSecond);
}

CTimestamp Timer_Subtract(const CTimestamp& a, const CTimestamp& b) {
  CTimestamp result;
  if (a.Microseconds < b.Microseconds) {
    result.Seconds = a.Seconds - b.Seconds - 1;
    result.Microseconds = a.Microseconds + kMicrosPerSecond - b.Microseconds;
  } else {
    result.Seconds = a.Seconds - b.Seconds;
    result.Microseconds = a.Microseconds - b.Microseconds;
  }
  return result;
}

void Timer_Sleep(uint32_t milliseconds) { plat::Sleep_Ms(milliseconds); }

void CTimer::Set(const CTimestamp& elapsed) {
  CTimestamp now;
  Timer_GetMicroTime(&now);
  m_Base = Timer_Subtract(now, elapsed);
  m_Offset = elapsed;
}

CEngineClock::CEngineClock() {
  CTimestamp start;
  start.Seconds = kEngineTimerStartSeconds;
  for (int i = 0; i < 2; ++i) {
    Timers[i].Set(start);
    StartValues[i] = static_cast<float>(kEngineTimerStartSeconds);
  }
  g_pEngineFrameCounter = &FrameCounter;
}

CEngineClock::~CEngineClock() {
  if (g_pEngineFrameCounter == &FrameCounter) g_pEngineFrameCounter = nullptr;
}

uint32_t Timer_GetFrameStamp() {
  return g_pEngineFrameCounter != nullptr ? *g_pEngineFrameCounter : 0;
}

static CEngineClock g_EngineClock;
