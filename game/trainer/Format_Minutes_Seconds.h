#pragma once
// A whole number of time units n as "%d:%.2d" (n / 60, n mod 60), in one static buffer that the
// next call overwrites.
const char* Format_Minutes_Seconds(const int& units);
