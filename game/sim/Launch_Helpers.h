#pragma once
// Helpers of the running simulation.

// "st", "nd", "rd" or "th" for n, in one shared buffer that the next call overwrites.
const char* Get_Ordinal_Suffix(const unsigned& n);
