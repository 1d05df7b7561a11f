#pragma once
// The one random generator of the whole program: the classic 15-bit linear
// congruential generator (state = state * 214013 + 2531011, value = bits 16..30).
// Formulas throughout the game divide its values by 32768.
#include <cstdint>

namespace plat {

constexpr int kRandMax = 0x7FFF;

void Seed_Random(uint32_t seed);
int Random();  // 0 .. kRandMax

}  // namespace plat
