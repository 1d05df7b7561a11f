#pragma once
// The random generator's next values, for tests that check which draw went where.
#include <cstdint>
#include <vector>

#include "platform/system/random.h"

// The generator's next values (0 to 1) after seeding it with the seed; it is left seeded so
// again, so that the code under test takes these very values.
inline std::vector<float> Upcoming_Draws(uint32_t seed, int count) {
  plat::Seed_Random(seed);
  std::vector<float> draws;
  for (int i = 0; i < count; ++i) draws.push_back(static_cast<float>(plat::Random()) / 32768.0f);
  plat::Seed_Random(seed);
  return draws;
}
