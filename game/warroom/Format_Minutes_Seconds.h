#pragma once
// The War Room's minutes-and-seconds text: "%d:%.2d" of whole seconds / 60 and % 60, cut to the
// buffer (at most size - 1 characters and a terminating zero). Negative values count as 0.
#include <cstddef>

void Format_Minutes_Seconds(char* out, size_t size, int seconds);
