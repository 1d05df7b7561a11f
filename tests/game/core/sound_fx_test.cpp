#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/core/Sound_FX.h"

namespace {

TEST(PackColorTest, ComponentsAreTruncatedClampedAndPlacedByByte) {
  struct Case {
    CColor4 color;
    uint32_t want_rgba;
    uint32_t want_argb;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {{1.0f, 0.5f, 0.0f, 1.0f}, 0xFF7F00FFu, 0xFFFF7F00u},
      {{1.2f, -0.1f, 0.999f, 0.0f}, 0xFF00FE00u, 0x00FF00FEu},
      {{0.0f, 0.0f, 0.0f, 0.0f}, 0x00000000u, 0x00000000u},
      {{0.25f, 1.0f, 0.5f, 0.7f}, 0x3FFF7FB2u, 0xB23FFF7Fu},
      {{nan, 1e30f, -1e30f, 1.0f}, 0x00FF00FFu, 0xFF00FF00u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Pack_Color(c.color), c.want_rgba);
    EXPECT_EQ(Pack_Color_ARGB(c.color), c.want_argb);
  }
}

}  // namespace
