#pragma once
// The two clocks of the program: a millisecond tick count that wraps at 32 bits (the value the
// game measures frame steps and run time with) and a microsecond count from a monotonic clock.
// Either can be replaced by a test clock; passing nullptr puts the real clock back.
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

}  // namespace plat

// The millisecond tick count under the name the game code uses.
inline uint32_t timeGetTime() { return plat::Get_Ticks_Ms(); }
