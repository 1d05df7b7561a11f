#pragma once
// Minutes-and-seconds text: "%d:%.2d" of a whole number n as n / 60 and n mod 60.
#include <cstddef>

// In one static buffer that the next call overwrites.
const char* Format_Minutes_Seconds(const int& units);
// Into the caller's buffer, cut to it (at most size - 1 characters and a terminating zero).
// Negative values count as 0.
void Format_Minutes_Seconds(char* out, size_t size, int seconds);
