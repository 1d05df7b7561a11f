#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "game/core/CRender_Mode_List.h"
#include "runtime/src/render/iks_render_device.h"

namespace {

// A device mode list in the order given.
struct Mode_List {
  explicit Mode_List(std::initializer_list<std::array<uint32_t, 3>> modes) {
    for (const auto& m : modes) {
      RenderMode mode{};
      mode.Width = m[0];
      mode.Height = m[1];
      mode.BitDepth = m[2];
      records.push_back(mode);
    }
    for (size_t i = 0; i + 1 < records.size(); ++i) records[i].Next = &records[i + 1];
  }
  const RenderMode* Head() const { return records.empty() ? nullptr : &records[0]; }
  std::vector<RenderMode> records;
};

void Expect_Mode(const RenderMode* mode, uint32_t width, uint32_t height, uint32_t depth) {
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->Width, width);
  EXPECT_EQ(mode->Height, height);
  EXPECT_EQ(mode->BitDepth, depth);
}

TEST(DisplayModeTest, PickFollowsTheSettingsThenTheFallbacks) {
  const Mode_List full({{640, 480, 16}, {640, 480, 32}, {800, 600, 16}, {800, 600, 32}, {1024, 768, 16},
                        {1024, 768, 32}, {1280, 1024, 32}, {1600, 1200, 24}});
  struct Case {
    int level, depth;
    uint32_t width, height, bits;
  };
  const Case cases[] = {
      {0, 1, 640, 480, 32},   {0, 0, 640, 480, 16},    {1, 1, 800, 600, 32},  {1, 0, 800, 600, 16},
      {2, 1, 1024, 768, 32},  {3, 1, 1280, 1024, 32},  {4, 1, 1600, 1200, 24},
      {3, 0, 1024, 768, 32},  // no 16-bit 1280x1024: 1024x768 of 24 bits or more
      {1, 2, 1024, 768, 32},  // a bit-depth setting other than 0 or 1 matches nothing
      {9, 1, 800, 600, 32},   // a level out of range counts as the default
      {-1, 0, 800, 600, 16},
  };
  for (const Case& c : cases) Expect_Mode(CRender_Mode_List::Pick_Mode(full.Head(), c.level, c.depth), c.width, c.height, c.bits);
}

TEST(DisplayModeTest, OnlySixteenBitModesAndMissingSizesFallBackInOrder) {
  const Mode_List only_32({{640, 480, 32}, {1024, 768, 32}});
  Expect_Mode(CRender_Mode_List::Pick_Mode(only_32.Head(), 1, 0), 1024, 768, 32);
  const Mode_List shallow({{1024, 768, 16}, {640, 480, 32}});
  Expect_Mode(CRender_Mode_List::Pick_Mode(shallow.Head(), 3, 1), 1024, 768, 16);
  const Mode_List small({{640, 480, 16}, {320, 200, 32}, {640, 480, 24}});
  Expect_Mode(CRender_Mode_List::Pick_Mode(small.Head(), 2, 1), 640, 480, 24);
  const Mode_List odd({{320, 200, 16}, {512, 384, 32}});
  Expect_Mode(CRender_Mode_List::Pick_Mode(odd.Head(), 2, 1), 320, 200, 16);
  EXPECT_EQ(CRender_Mode_List::Pick_Mode(nullptr, 1, 1), nullptr);
}

}  // namespace
