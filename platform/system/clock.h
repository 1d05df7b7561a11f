#pragma once
// The two clocks of the program: a millisecond tick count that wraps at 32 bits (the value the
// game measures frame steps and run time with) and a microsecond count from a monotonic clock.
// Either can be replaced by a test clock; passing nullptr puts the real clock back.
// Beside them, the calendar clock: seconds since 1970 and the local date and time, also
// replaceable by tests.
#include <cstdint>

namespace plat {

using Ms_Clock_Fn = uint32_t (*)();
using Micro_Clock_Fn = uint64_t (*)();

// Milliseconds since an arbitrary start; wraps from 0xFFFFFFFF to 0, so callers take
// differences as unsigned 32-bit values.
uint32_t Get_Ticks_Ms();

// Microseconds since an arbitrary start, never going backwards.
uint64_t Get_Micro_Ticks();

void Set_Ms_Clock(Ms_Clock_Fn clock);
void Set_Micro_Clock(Micro_Clock_Fn clock);

// The real clocks, whatever is installed.
uint32_t Real_Ticks_Ms();
uint64_t Real_Micro_Ticks();

// Calendar time: seconds since 1970-01-01 00:00 UTC, as the runtime's `time` gives it.
using Calendar_Clock_Fn = int64_t (*)();
int64_t Get_Calendar_Time();
void Set_Calendar_Clock(Calendar_Clock_Fn clock);

// A calendar time broken into local date and time fields.
struct Local_Time {
  int year = 1970;   // four digits
  int month = 1;     // 1-12
  int day = 1;       // 1-31
  int hour = 0;      // 0-23
  int minute = 0;
  int second = 0;
};
// The local date and time of a calendar time; the epoch's fields when it cannot be converted.
Local_Time Get_Local_Time(int64_t calendar_time);

}  // namespace plat

// The millisecond tick count under the name the game code uses.
inline uint32_t timeGetTime() { return plat::Get_Ticks_Ms(); }
