#pragma once
// Where something the game draws shows on the screen: one frame drawn twice under the same view,
// once with the thing and once without it, and the box of the pixels that differ. The view may
// be shaken by a seeded camera shake, the same for both drawings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "platform/system/random.h"
#include "tests/support/game_harness.h"

namespace view_probe {

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int count = 0;
  double sum_x = 0.0, sum_y = 0.0;
  bool Empty() const { return count == 0; }
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
  double Centre_X() const { return count ? sum_x / count : 0.0; }
  double Centre_Y() const { return count ? sum_y / count : 0.0; }
};

// A pixel differs when any channel moves by more than the threshold.
inline bool Differs(uint32_t a, uint32_t b, int threshold) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > threshold) return true;
  return false;
}

struct Frame_Pair {
  std::vector<uint32_t> shown, hidden;
  uint32_t width = 0, height = 0;
};

// Draws the next frame with the thing shown and then again with it hidden (`show(false)`), each
// under a camera shake of the strength made from the same seed (none for strength 0). The
// picture with it shown is kept under `keep` in VT_RUN_SHOTS when that is set.
inline Frame_Pair Draw_With_And_Without(vt_test::Game_Harness& harness, const std::function<void(bool)>& show,
                                        float shake, uint32_t seed, const std::string& keep = "") {
  Frame_Pair pair;
  for (const bool shown : {true, false}) {
    show(shown);
    if (shake > 0.0f) {
      plat::Seed_Random(seed);
      g_Camera.Shake(shake);
    }
    EXPECT_TRUE(harness.Step(1));
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(harness.Read_Back(shown ? pair.shown : pair.hidden, w, h));
    pair.width = w, pair.height = h;
    if (shown && !keep.empty())
      if (const char* dir = std::getenv("VT_RUN_SHOTS")) harness.Save_Png(std::string(dir) + "/" + keep);
  }
  show(true);
  return pair;
}

// A part of the screen in pixels, right and bottom excluded.
struct Region {
  int left = 0, top = 0, right = 1 << 30, bottom = 1 << 30;
};

// The box of the pixels inside the region that differ between the two drawings (the rest of the
// world goes on moving between them).
inline Box Changed(const Frame_Pair& pair, const Region& region = {}, int threshold = 24) {
  Box box;
  if (pair.shown.size() != pair.hidden.size() || pair.shown.size() != size_t(pair.width) * pair.height) return box;
  const int x0 = std::max(region.left, 0), x1 = std::min(region.right, int(pair.width));
  const int y0 = std::max(region.top, 0), y1 = std::min(region.bottom, int(pair.height));
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const size_t i = size_t(y) * pair.width + x;
      if (!Differs(pair.shown[i], pair.hidden[i], threshold)) continue;
      box.left = std::min(box.left, int(x)), box.right = std::max(box.right, int(x));
      box.top = std::min(box.top, int(y)), box.bottom = std::max(box.bottom, int(y));
      box.sum_x += x, box.sum_y += y;
      ++box.count;
    }
  return box;
}

// The seed among the first hundred whose shake of the strength moves the eye furthest sideways
// and up together: the shake of a near blast at its strongest.
inline uint32_t Strong_Shake_Seed(float strength) {
  uint32_t best = 1;
  float most = -1.0f;
  CCamera probe;
  for (uint32_t seed = 1; seed < 100; ++seed) {
    plat::Seed_Random(seed);
    probe.Shake(strength);
    const float reach = std::min(std::abs(probe.Shake_Angles().x), std::abs(probe.Shake_Angles().y));
    if (reach > most) most = reach, best = seed;
  }
  return best;
}

}  // namespace view_probe
