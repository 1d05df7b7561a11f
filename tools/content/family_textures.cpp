// Sample textures: procedural pictures written as version-18 texture data. Each entry maps a
// texture id the game requests to a pattern.
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {

namespace {

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;

struct TextureSpec {
  uint32_t id;
  const char* name;
  writers::PatternSpec pattern;
  uint16_t mip_count;
};

writers::PatternSpec Pattern(writers::Pattern kind, uint32_t size, uint32_t color_a,
                             uint32_t color_b, uint32_t count = 8, uint32_t seed = 1) {
  writers::PatternSpec spec;
  spec.pattern = kind;
  spec.width = size;
  spec.height = size;
  spec.color_a = color_a;
  spec.color_b = color_b;
  spec.count = count;
  spec.seed = seed;
  return spec;
}

// The in-game number glyphs: a 4 x 4 grid, each glyph drawn into the box the text layout
// samples.
writers::PatternSpec ScoreDigits() {
  writers::PatternSpec spec = Pattern(writers::Pattern::GlyphSheet, 256, 0xFFFFFFFF, 0x00FFFFFF);
  const char characters[] = "0123456789+-.,:x";
  for (int i = 0; i < 16; ++i) {
    const float u = 0.25f * float(i % 4), v = 0.25f * float(i / 4);
    const bool narrow = characters[i] == '.' || characters[i] == ',';
    spec.glyphs.push_back({characters[i], u + (narrow ? 0.11f : 0.08f), v + 0.05f,
                           u + (narrow ? 0.16f : 0.17f), v + 0.2f});
  }
  return spec;
}

// A line of text on a clear ground, for labels drawn on quads.
writers::PatternSpec Label(const char* text, uint32_t ink, uint32_t ground) {
  writers::PatternSpec spec = Pattern(writers::Pattern::Text, 128, ink, ground);
  spec.height = 64;
  spec.text = text;
  return spec;
}

std::vector<TextureSpec> Textures() {
  return {
      {0x2200000f, "textures/score_digits.txb", ScoreDigits(), 1},
      {0x22000028, "textures/light_glow.txb",
       Pattern(writers::Pattern::RadialGlow, 64, 0xFFFFFFFF, 0x00FFFFFF), 4},
      // Light grey: the launcher's and the guns' metal, and a base that tints keep true.
      {0x22000029, "textures/brushed_metal.txb",
       Pattern(writers::Pattern::Noise, 128, 0xFFDCE0E6, 0xFF8A919A, 4, 29), 5},
      {0x220000cb, "textures/shield_label.txb", Label("SHIELDS", 0xFFB0E0F0, 0x00102030), 1},
      {0x22000084, "textures/charge_glow.txb",
       Pattern(writers::Pattern::RadialGlow, 64, 0xFFC0D0FF, 0x002040FF), 4},
  };
}

}  // namespace

void Add_Textures_Family(Manifest& manifest) {
  for (const TextureSpec& texture : Textures()) {
    ResourceEntry entry;
    entry.id = texture.id;
    entry.type = 2;
    entry.name = texture.name;
    entry.compress = true;
    entry.generate = [texture](Bytes& out) {
      writers::Picture picture;
      return writers::DrawPattern(texture.pattern, picture) &&
             writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb,
                                        kFlagsAlphaBlend, texture.mip_count, {picture}, out);
    };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
