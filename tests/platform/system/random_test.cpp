#include "platform/system/random.h"

#include <gtest/gtest.h>

TEST(Random, ClassicSequenceForSeedOne) {
  plat::Seed_Random(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int value : expected) EXPECT_EQ(plat::Random(), value);
}

TEST(Random, ValuesStayWithinFifteenBits) {
  plat::Seed_Random(0xDEADBEEF);
  for (int i = 0; i < 10000; ++i) {
    int v = plat::Random();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, plat::kRandMax);
  }
}
