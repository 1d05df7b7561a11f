// The score board's generated textures: each is lettered, and the quick-hit and target-hit
// words stay inside the part of the width that the board shows them in.
#include <gtest/gtest.h>

#include "tools/content/manifest.h"

namespace {

struct Ink {
  uint32_t width = 0, height = 0;
  int pixels = 0;
  uint32_t rightmost = 0;
};

Ink Ink_Of(const content::Bytes& bytes) {
  constexpr size_t kTexels = 38;  // 20-byte header, three 32-bit fields, three 16-bit sizes
  Ink ink;
  if (bytes.size() < kTexels || bytes[0] != 18) return ink;
  ink.width = bytes[32] | (bytes[33] << 8);
  ink.height = bytes[34] | (bytes[35] << 8);
  if (bytes.size() < kTexels + size_t(ink.width) * ink.height * 4) return ink;
  for (uint32_t y = 0; y < ink.height; ++y)
    for (uint32_t x = 0; x < ink.width; ++x)
      if (bytes[kTexels + (size_t(y) * ink.width + x) * 4 + 3] >= 128) {
        ++ink.pixels;
        ink.rightmost = std::max(ink.rightmost, x);
      }
  return ink;
}

TEST(Board_Content, EveryBoardTextureIsLetteredWithinItsShownWidth) {
  const struct {
    uint32_t id;
    float shown;
  } textures[] = {{0x2200008d, 1.0f}, {0x22000011, 1.0f}, {0x22000010, 1.0f}, {0x22000090, 1.0f},
                  {0x2200008e, 1.0f}, {0x2200008f, 1.0f}, {0x22000091, 0.66f}, {0x22000096, 0.48f},
                  {0x22000092, 1.0f}, {0x22000097, 1.0f}, {0x22000098, 1.0f}, {0x22000099, 1.0f}};
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  for (const auto& t : textures) {
    const content::ResourceEntry* entry = nullptr;
    for (const content::ResourceEntry& e : manifest.Resources())
      if (e.id == t.id) entry = &e;
    ASSERT_NE(entry, nullptr) << std::hex << t.id;
    EXPECT_EQ(entry->type, 2u);
    content::Bytes bytes;
    ASSERT_TRUE(entry->generate(bytes)) << std::hex << t.id;
    const Ink ink = Ink_Of(bytes);
    EXPECT_GT(ink.width, 2 * ink.height) << "a word-shaped label: " << std::hex << t.id;
    EXPECT_GT(ink.pixels, 40) << std::hex << t.id;
    EXPECT_LT(ink.rightmost, static_cast<uint32_t>(t.shown * ink.width)) << std::hex << t.id;
    if (t.shown < 1.0f)
      EXPECT_GT(ink.rightmost, static_cast<uint32_t>(0.5f * t.shown * ink.width)) << "it fills its part";
  }
}

}  // namespace
