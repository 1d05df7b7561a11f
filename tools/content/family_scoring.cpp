// The score board's twelve textures: white lettering with alpha, which the board tints when it
// draws them. The quick-hit and target-hit words fill only the left part of their texture (66 %
// and 48 % of its width), as the board expects. The plain-points word stands low in its texture:
// the board puts that texture's bottom on a row's y, and the line above it ends 7.25 texels higher
// at any screen size (a line is 30 texels, its glyphs end 22.75 below its y).
#include <string>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {

namespace {

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;
constexpr uint32_t kWidth = 128;
constexpr uint32_t kHeight = 24;

struct Board_Texture {
  uint32_t id;
  const char* name;
  const char* text;
  float used_width;  // fraction of the width the lettering fills, from the left
  bool low = false;  // the lettering in the bottom rows, wide and flat
};

const std::vector<Board_Texture>& Board_Textures() {
  static const std::vector<Board_Texture> textures = {
      {0x2200008d, "textures/board_score.txb", "SCORE", 1.0f},
      {0x22000011, "textures/board_points.txb", "POINTS", 1.0f, true},
      {0x22000010, "textures/board_link.txb", "LINK", 1.0f},
      {0x22000090, "textures/board_link_chain.txb", "CHAIN", 1.0f},
      {0x2200008e, "textures/board_link_super.txb", "SUPER LINK", 1.0f},
      {0x2200008f, "textures/board_link_mega.txb", "MEGA LINK", 1.0f},
      {0x22000091, "textures/board_quick_hit.txb", "QUICK HIT", 0.66f},
      {0x22000096, "textures/board_target_hit.txb", "TARGET", 0.48f},
      {0x22000092, "textures/board_streak.txb", "STREAK", 1.0f},
      {0x22000097, "textures/board_perfect.txb", "PERFECT", 1.0f},
      {0x22000098, "textures/board_multi_hit.txb", "MULTI HIT", 1.0f},
      {0x22000099, "textures/board_bonus_hit.txb", "BONUS", 1.0f},
  };
  return textures;
}

// Low lettering: glyphs 12 texels wide and 7 high on the bottom rows, 3 apart, ending 2 texels
// short of the right edge, where the board's lines end.
constexpr uint32_t kLow_Glyph_Width = 12;
constexpr uint32_t kLow_Glyph_Height = 7;
constexpr uint32_t kLow_Glyph_Step = 15;
constexpr uint32_t kLow_Right_Margin = 2;

bool Draw_Low_Lettering(const Board_Texture& texture, writers::Picture& picture) {
  writers::PatternSpec spec;
  spec.pattern = writers::Pattern::GlyphSheet;
  spec.width = kWidth;
  spec.height = kHeight;
  spec.color_a = 0xFFFFFFFF;
  spec.color_b = 0x00FFFFFF;
  const std::string text = texture.text;
  const uint32_t used = static_cast<uint32_t>(text.size()) * kLow_Glyph_Step - (kLow_Glyph_Step - kLow_Glyph_Width);
  const float top = static_cast<float>(kHeight - kLow_Glyph_Height) / kHeight;
  float left = static_cast<float>(kWidth - kLow_Right_Margin - used);
  for (char c : text) {
    spec.glyphs.push_back({c, left / kWidth, top, (left + kLow_Glyph_Width) / kWidth, 1.0f});
    left += kLow_Glyph_Step;
  }
  return writers::DrawPattern(spec, picture);
}

// The word drawn into the left part of a transparent picture of the full size.
bool Draw_Board_Texture(const Board_Texture& texture, writers::Picture& picture) {
  if (texture.low) return Draw_Low_Lettering(texture, picture);
  writers::PatternSpec spec;
  spec.pattern = writers::Pattern::Text;
  spec.width = static_cast<uint32_t>(kWidth * texture.used_width);
  spec.height = kHeight;
  spec.color_a = 0xFFFFFFFF;
  spec.color_b = 0x00FFFFFF;
  spec.text = texture.text;
  writers::Picture word;
  if (!writers::DrawPattern(spec, word)) return false;
  picture.width = kWidth;
  picture.height = kHeight;
  picture.pixels.assign(size_t(kWidth) * kHeight, 0x00FFFFFF);
  for (uint32_t y = 0; y < word.height; ++y)
    for (uint32_t x = 0; x < word.width; ++x) picture.At(x, y) = word.At(x, y);
  return true;
}

}  // namespace

void Add_Scoring_Family(Manifest& manifest) {
  for (const Board_Texture& texture : Board_Textures()) {
    ResourceEntry entry;
    entry.id = texture.id;
    entry.type = 2;
    entry.name = texture.name;
    entry.compress = true;
    entry.generate = [texture](Bytes& out) {
      writers::Picture picture;
      return Draw_Board_Texture(texture, picture) &&
             writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, 1, {picture},
                                        out);
    };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
