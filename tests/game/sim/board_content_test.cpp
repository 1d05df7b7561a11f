// The score board's generated textures: each is lettered, and the quick-hit and target-hit
// words stay inside the part of the width that the board shows them in.
#include <algorithm>

#include "tests/game/sim/generated_texture.h"

namespace {

TEST(Board_Content, EveryBoardTextureIsLetteredWithinItsShownWidth) {
  const struct {
    uint32_t id;
    float shown;
  } textures[] = {{0x2200008d, 1.0f}, {0x22000011, 1.0f}, {0x22000010, 1.0f}, {0x22000090, 1.0f},
                  {0x2200008e, 1.0f}, {0x2200008f, 1.0f}, {0x22000091, 0.66f}, {0x22000096, 0.48f},
                  {0x22000092, 1.0f}, {0x22000097, 1.0f}, {0x22000098, 1.0f}, {0x22000099, 1.0f}};
  for (const auto& t : textures) {
    Generated_Texture texture;
    ASSERT_TRUE(Generate_Texture(t.id, texture));
    int ink = 0;
    uint32_t rightmost = 0;
    for (uint32_t y = 0; y < texture.height; ++y)
      for (uint32_t x = 0; x < texture.width; ++x)
        if (texture.Alpha(x, y) >= 128) ++ink, rightmost = std::max(rightmost, x);
    EXPECT_GT(texture.width, 2 * texture.height) << "a word-shaped label: " << std::hex << t.id;
    EXPECT_GT(ink, 40) << std::hex << t.id;
    EXPECT_LT(rightmost, static_cast<uint32_t>(t.shown * texture.width)) << std::hex << t.id;
    if (t.shown < 1.0f) {
      EXPECT_GT(rightmost, static_cast<uint32_t>(0.5f * t.shown * texture.width)) << "it fills its part";
    }
  }
}

}  // namespace
