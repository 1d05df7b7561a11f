#pragma once
// The microsecond clock and the engine clock. A timestamp splits a monotonic microsecond count
// into seconds and microseconds. The engine clock carries the frame counter that the resource
// manager reads as its frame stamp.
#include <cstdint>

struct CTimestamp {
  uint32_t Seconds = 0;
  uint32_t Microseconds = 0;  // 0 .. 999999
};

// Fills a timestamp with the current time of the monotonic microsecond clock.
void Timer_GetMicroTime(CTimestamp* stamp);
// a - b, borrowing a second when a's microseconds are smaller.
CTimestamp Timer_Subtract(const CTimestamp& a, const CTimestamp& b);
// Sleeps the calling thread.
void Timer_Sleep(uint32_t milliseconds);

// A timer started some seconds in the past: its base is now minus the elapsed value.
class CTimer {
 public:
  void Set(const CTimestamp& elapsed);
  const CTimestamp& GetBase() const { return m_Base; }
  const CTimestamp& GetOffset() const { return m_Offset; }

 private:
  CTimestamp m_Base;
  CTimestamp m_Offset;
};

// The one engine clock: the frame counter, then two timers both set 10 seconds back.
class CEngineClock {
 public:
  CEngineClock();
  ~CEngineClock();
  CEngineClock(const CEngineClock&) = delete;
  CEngineClock& operator=(const CEngineClock&) = delete;

  uint32_t FrameCounter = 0;
  CTimer Timers[2];
  float StartValues[2] = {0.0f, 0.0f};
};

// The engine clock's frame counter while the clock exists, else null.
extern uint32_t* g_pEngineFrameCounter;
// The current frame stamp: the frame counter, 0 while there is no engine clock.
uint32_t Timer_GetFrameStamp();
