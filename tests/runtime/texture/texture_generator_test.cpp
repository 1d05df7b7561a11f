// The sample-texture generator: patterns, the bitmap font, and deterministic files.
#include <gtest/gtest.h>

#include "tools/writers/texture_font.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"
#include "tools/writers/tga_writer.h"

namespace {

using writers::Pattern;
using writers::PatternSpec;
using writers::Picture;

Picture Draw(const PatternSpec& spec) {
  Picture picture;
  EXPECT_TRUE(writers::DrawPattern(spec, picture));
  return picture;
}

PatternSpec Spec(Pattern pattern, uint32_t width = 64, uint32_t height = 64, uint32_t count = 4) {
  PatternSpec spec;
  spec.pattern = pattern;
  spec.width = width;
  spec.height = height;
  spec.count = count;
  spec.color_a = 0xFFFF0000;
  spec.color_b = 0x000000FF;
  return spec;
}

TEST(TextureGeneratorTest, EveryPatternGivesTheSameBytesEveryTime) {
  PatternSpec text = Spec(Pattern::Text, 128, 32);
  text.text = "QOR 42";
  PatternSpec sheet = Spec(Pattern::GlyphSheet, 64, 64);
  sheet.glyphs = {{'7', 0.1f, 0.1f, 0.4f, 0.4f}, {'x', 0.6f, 0.6f, 0.9f, 0.9f}};
  const PatternSpec specs[] = {
      Spec(Pattern::Checker), Spec(Pattern::Gradient), Spec(Pattern::RadialGlow),
      Spec(Pattern::Noise),   Spec(Pattern::Stripes),  Spec(Pattern::Rings),
      Spec(Pattern::Ribbons), text,                    sheet,
  };
  for (const PatternSpec& spec : specs) {
    SCOPED_TRACE(int(spec.pattern));
    const Picture first = Draw(spec);
    EXPECT_EQ(Draw(spec).pixels, first.pixels);
    for (uint8_t version : {18, 21, 23}) {
      const std::vector<Picture> pictures(version == 21 ? 6 : version == 23 ? 2 : 1, first);
      for (uint32_t format : {1u, 3u, 5u, 7u, 9u, 10u, 11u, 15u}) {
        writers::Bytes a, b;
        ASSERT_TRUE(writers::EncodeTextureData(version, format, 0x2033, 4, pictures, a));
        ASSERT_TRUE(writers::EncodeTextureData(version, format, 0x2033, 4, pictures, b));
        ASSERT_EQ(a, b) << int(version) << " format " << format;
      }
    }
    writers::Bytes a, b;
    writers::TgaSpec tga;
    tga.image_type = 1;
    tga.depth = 8;
    ASSERT_TRUE(writers::EncodeTga(first, tga, a));
    ASSERT_TRUE(writers::EncodeTga(first, tga, b));
    EXPECT_EQ(a, b);
  }
}

TEST(TextureGeneratorTest, PatternsPutTheirColoursWhereExpected) {
  const Picture checker = Draw(Spec(Pattern::Checker, 64, 64, 4));
  EXPECT_EQ(checker.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(checker.At(15, 15), 0xFFFF0000u);
  EXPECT_EQ(checker.At(16, 0), 0x000000FFu);
  EXPECT_EQ(checker.At(16, 16), 0xFFFF0000u);

  const Picture gradient = Draw(Spec(Pattern::Gradient, 256, 4));
  EXPECT_EQ(gradient.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(gradient.At(255, 3), 0x000000FFu);
  EXPECT_EQ(gradient.At(128, 0) >> 24, 0x7Fu);

  const Picture glow = Draw(Spec(Pattern::RadialGlow, 65, 65));
  EXPECT_EQ(glow.At(32, 32), 0xFFFF0000u);
  EXPECT_EQ(glow.At(0, 0), 0x000000FFu);
  EXPECT_GT(glow.At(32, 16) >> 24, glow.At(32, 4) >> 24);

  const Picture stripes = Draw(Spec(Pattern::Stripes, 64, 8, 8));
  EXPECT_EQ(stripes.At(7, 0), 0xFFFF0000u);
  EXPECT_EQ(stripes.At(8, 7), 0x000000FFu);
  PatternSpec across = Spec(Pattern::Stripes, 8, 64, 8);
  across.vertical = true;
  EXPECT_EQ(Draw(across).At(7, 8), 0x000000FFu);

  const Picture rings = Draw(Spec(Pattern::Rings, 64, 64, 4));
  EXPECT_EQ(rings.At(32, 32), 0xFFFF0000u);
  EXPECT_EQ(rings.At(32, 32 + 10), 0x000000FFu);

  PatternSpec noise = Spec(Pattern::Noise, 64, 64, 3);
  const Picture n1 = Draw(noise);
  noise.seed = 2;
  const Picture n2 = Draw(noise);
  EXPECT_NE(n1.pixels, n2.pixels);
  uint32_t low = 255, high = 0;
  for (uint32_t pixel : n1.pixels) {
    low = std::min(low, pixel >> 24);
    high = std::max(high, pixel >> 24);
  }
  EXPECT_LT(low, high);

  const Picture ribbons = Draw(Spec(Pattern::Ribbons, 64, 64, 2));
  EXPECT_LT(ribbons.At(0, 0) >> 24, 8u);     // between bands: colour b
  EXPECT_GT(ribbons.At(8, 8) >> 24, 0xF0u);  // on the first band: colour a
}

TEST(TextureGeneratorTest, GlyphsLandInsideTheirBoxes) {
  PatternSpec sheet = Spec(Pattern::GlyphSheet, 100, 100);
  sheet.color_b = 0;
  sheet.glyphs = {{'1', 0.1f, 0.1f, 0.35f, 0.45f}, {'-', 0.5f, 0.5f, 0.75f, 0.85f}};
  const Picture picture = Draw(sheet);
  uint32_t inside = 0;
  for (uint32_t y = 0; y < 100; ++y) {
    for (uint32_t x = 0; x < 100; ++x) {
      if (picture.At(x, y) == 0) continue;
      const bool in_one = x >= 10 && x < 35 && y >= 10 && y < 45;
      const bool in_dash = x >= 50 && x < 75 && y >= 50 && y < 85;
      ASSERT_TRUE(in_one || in_dash) << x << "," << y;
      ++inside;
    }
  }
  EXPECT_GT(inside, 100u);
  EXPECT_EQ(picture.At(22, 40), 0xFFFF0000u);  // the stem of the 1
  EXPECT_EQ(picture.At(62, 67), 0xFFFF0000u);  // the dash
  EXPECT_EQ(picture.At(62, 55), 0u);

  PatternSpec text = Spec(Pattern::Text, 13, 9);  // one pixel a cell, a cell of margin
  text.color_b = 0;
  text.text = "T1";
  const Picture line = Draw(text);
  for (int column = 0; column < 5; ++column) EXPECT_EQ(line.At(1 + column, 1), 0xFFFF0000u);
  EXPECT_EQ(line.At(3, 7), 0xFFFF0000u);  // foot of the T
  EXPECT_EQ(line.At(1, 7), 0u);
}

TEST(TextureGeneratorTest, FontCoversDigitsLettersAndSigns) {
  for (const char* set : {"0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "+-.,:x/!?%"}) {
    for (const char* c = set; *c; ++c) {
      SCOPED_TRACE(*c);
      EXPECT_TRUE(writers::HasGlyph(*c));
      int cells = 0;
      for (int row = 0; row < writers::kGlyphRows; ++row) {
        for (int column = 0; column < writers::kGlyphColumns; ++column) {
          cells += writers::GlyphCell(*c, column, row);
        }
      }
      EXPECT_GT(cells, 0);
    }
  }
  EXPECT_TRUE(writers::GlyphCell('q', 0, 1) == writers::GlyphCell('Q', 0, 1));
  EXPECT_FALSE(writers::HasGlyph('~'));
  EXPECT_FALSE(writers::GlyphCell('8', 5, 0));
  EXPECT_FALSE(writers::GlyphCell('8', 0, -1));
}

TEST(TextureGeneratorTest, UnfitSpecsAreRefused) {
  Picture picture;
  EXPECT_FALSE(writers::DrawPattern(Spec(Pattern::Checker, 0, 4), picture));
  EXPECT_FALSE(writers::DrawPattern(Spec(Pattern::Checker, 4097, 4), picture));
  EXPECT_FALSE(writers::DrawPattern(Spec(Pattern::Stripes, 4, 4, 0), picture));
  EXPECT_FALSE(writers::DrawPattern(Spec(Pattern::Noise, 4, 4, 9), picture));
  const Picture good = Draw(Spec(Pattern::Checker, 4, 4));
  writers::Bytes out;
  EXPECT_FALSE(writers::EncodeTextureData(18, 12, 0x2033, 1, {good}, out));   // DXT1
  EXPECT_FALSE(writers::EncodeTextureData(18, 1, 0x2033, 0, {good}, out));    // no level
  EXPECT_FALSE(writers::EncodeTextureData(21, 1, 0x2033, 1, {good}, out));    // one face
  EXPECT_FALSE(writers::EncodeTextureData(19, 1, 0x2033, 1, {good}, out));    // no such version
  EXPECT_FALSE(writers::EncodeTextureData(23, 1, 0x2033, 1,
                                          {good, Draw(Spec(Pattern::Checker, 8, 4))}, out));
  writers::TgaSpec tga;
  tga.depth = 16;
  EXPECT_FALSE(writers::EncodeTga(good, tga, out));
  tga.image_type = 10;
  tga.depth = 32;
  EXPECT_FALSE(writers::EncodeTga(good, tga, out));
}

TEST(TextureGeneratorTest, ManyColoursFallBackToTheFixedPalette) {
  Picture many;
  many.width = 300;
  many.height = 1;
  for (uint32_t i = 0; i < 300; ++i) many.pixels.push_back(0xFF000000u | (i * 4099u));
  const writers::Bytes palette = writers::PaletteOf(many);
  ASSERT_EQ(palette.size(), 1024u);
  EXPECT_EQ(palette[4 * 255], 255);      // 3-3-2: entry 255 is white
  EXPECT_EQ(palette[4 * 255 + 2], 255);
  EXPECT_EQ(palette[4 * 0 + 3], 255);    // opaque black
  const writers::Bytes few = writers::PaletteOf(Draw(Spec(Pattern::Checker)));
  EXPECT_EQ(few[0], 255);                // first colour seen: red
  EXPECT_EQ(few[3], 255);
  EXPECT_EQ(few[4 + 2], 255);            // then blue with alpha 0
  EXPECT_EQ(few[4 + 3], 0);
}

}  // namespace
