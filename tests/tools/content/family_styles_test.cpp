// The generated render styles: every entry is a well-formed style resource of type 1, the same
// bytes on every run, and no style id is taken by another family's resource; the marker style
// draws its texture in the caller's colour.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "tools/content/manifest.h"

namespace {

uint32_t U32(const content::Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

TEST(StylesFamily, EveryStyleIsAWellFormedResourceWithAnIdOfItsOwn) {
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  std::map<uint32_t, int> owners;
  for (const content::ResourceEntry& e : manifest.Resources()) ++owners[e.id];
  int styles = 0;
  for (const content::ResourceEntry& e : manifest.Resources()) {
    if (e.type != 1) continue;
    ++styles;
    EXPECT_EQ(owners[e.id], 1) << std::hex << e.id << " is used by another resource too";
    content::Bytes bytes, again;
    ASSERT_TRUE(e.generate(bytes)) << std::hex << e.id;
    ASSERT_TRUE(e.generate(again));
    EXPECT_EQ(bytes, again) << std::hex << e.id;
    ASSERT_GE(bytes.size(), 28u + 4 + 4 + 84 + 4 + 512 + 1);
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(bytes[2] | (bytes[3] << 8), 3);
    const uint32_t alternatives = U32(bytes, 24);
    EXPECT_GE(alternatives, 1u);
    EXPECT_LE(alternatives, 32u);
    EXPECT_GE(U32(bytes, 32), 2u) << "parameter count field";
  }
  EXPECT_GE(styles, 40);
}

// The first pass of a style's first alternative: its stage 0 and its pass-level fields, and the
// style's parameters, read at the offsets of the resource format.
struct First_Pass {
  uint32_t texture_source, colour_op, colour_args[2], alpha_op, alpha_args[2];
  uint32_t blend, depth, lighting;
  std::vector<std::array<uint32_t, 4>> params;  // key, target, pass, kind
};

bool Read_First_Pass(const content::Bytes& b, First_Pass& out) {
  constexpr size_t kParams = 36, kParam_Size = 16, kMaterial = 84, kPass_Size = 512;
  if (b.size() < kParams) return false;
  const uint32_t count = U32(b, 32) - 2;
  const size_t pass = kParams + count * kParam_Size + kMaterial + 4;
  if (count > 10 || b.size() < pass + kPass_Size) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = kParams + i * kParam_Size;
    out.params.push_back({U32(b, at), U32(b, at + 4), U32(b, at + 8), U32(b, at + 12)});
  }
  out.texture_source = U32(b, pass);
  out.colour_op = U32(b, pass + 4);
  out.colour_args[0] = U32(b, pass + 8);
  out.colour_args[1] = U32(b, pass + 12);
  out.alpha_op = U32(b, pass + 16);
  out.alpha_args[0] = U32(b, pass + 20);
  out.alpha_args[1] = U32(b, pass + 24);
  out.blend = U32(b, pass + 464);
  out.depth = U32(b, pass + 468);
  out.lighting = U32(b, pass + 484);
  return true;
}

// Lock markers, flashes, tracers and glows are drawn with one style in the colour each call
// writes as the texture factor: the texture times that colour, alpha too, added over the scene
// by its alpha, without writing depth.
TEST(StylesFamily, TheMarkerStyleDrawsItsTextureInTheCallersColourAndAlpha) {
  constexpr uint32_t kMarker_Style = 0x22000050;
  constexpr uint32_t kModulate = 3, kTexture = 2, kFactor = 3;
  constexpr uint32_t kSource_Alpha_Added = 9, kTest_Without_Write = 1;
  constexpr uint32_t kColour_Key = 0x6F6C6F63, kTexture_Factor = 1, kVector = 0;
  content::Manifest manifest;
  content::Build_Manifest(manifest);
  const content::ResourceEntry* entry = nullptr;
  for (const content::ResourceEntry& e : manifest.Resources())
    if (e.id == kMarker_Style && e.type == 1) entry = &e;
  ASSERT_NE(entry, nullptr);
  content::Bytes bytes;
  ASSERT_TRUE(entry->generate(bytes));
  First_Pass pass{};
  ASSERT_TRUE(Read_First_Pass(bytes, pass));
  const auto texture_by_factor = [&](const uint32_t (&args)[2]) {
    return (args[0] == kTexture && args[1] == kFactor) || (args[0] == kFactor && args[1] == kTexture);
  };
  EXPECT_EQ(pass.texture_source, 1u) << "the caller's texture";
  EXPECT_EQ(pass.colour_op, kModulate);
  EXPECT_TRUE(texture_by_factor(pass.colour_args)) << pass.colour_args[0] << "," << pass.colour_args[1];
  EXPECT_EQ(pass.alpha_op, kModulate);
  EXPECT_TRUE(texture_by_factor(pass.alpha_args)) << pass.alpha_args[0] << "," << pass.alpha_args[1];
  EXPECT_EQ(pass.blend, kSource_Alpha_Added);
  EXPECT_EQ(pass.depth, kTest_Without_Write);
  EXPECT_EQ(pass.lighting, 0u);
  // The cursor writes a marker's whole colour, alpha included, through the parameter.
  ASSERT_EQ(pass.params.size(), 1u);
  EXPECT_EQ(pass.params[0], (std::array<uint32_t, 4>{kColour_Key, kTexture_Factor, 0, kVector}));
}

}  // namespace
