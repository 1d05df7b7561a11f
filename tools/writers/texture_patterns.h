#pragma once
// Procedural pictures for the sample textures: checkers, gradients, glows with alpha, noise,
// stripes, rings, ribbons, and text or glyph sheets drawn with the built-in bitmap font. The
// same spec always gives the same pixels.
#include <cstdint>
#include <string>
#include <vector>

namespace writers {

// A picture of 0xAARRGGBB pixels, top row first.
struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint32_t> pixels;

  uint32_t& At(uint32_t x, uint32_t y) { return pixels[size_t(y) * width + x]; }
  uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t(y) * width + x]; }
};

enum class Pattern {
  Checker,     // count x count cells of colours a and b
  Gradient,    // a at the left (top when vertical) to b at the other side
  RadialGlow,  // a in the centre fading to b at the rim, alpha included
  Noise,       // smooth value noise between a and b, count octaves, from the seed
  Stripes,     // count stripes alternating a and b (horizontal ones when vertical)
  Rings,       // count concentric rings alternating a and b
  Ribbons,     // count soft diagonal bands of a over b
  Text,        // the text in colour a on b, centred and scaled to fit
  GlyphSheet,  // each glyph's character drawn in colour a on b inside its box
  Arrow,       // a pointer in colour a, tip at the centre, outlined in a's alpha with black, on b
  CrossHair,   // a ring with four ticks and a centre dot in colour a, outlined likewise, on b
};

// A character and the box it fills, in texture coordinates (0..1, v down).
struct GlyphBox {
  char character = ' ';
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

struct PatternSpec {
  Pattern pattern = Pattern::Checker;
  uint32_t width = 64;
  uint32_t height = 64;
  uint32_t color_a = 0xFFFFFFFF;
  uint32_t color_b = 0xFF000000;
  uint32_t count = 8;
  uint32_t seed = 1;
  bool vertical = false;
  std::string text;
  std::vector<GlyphBox> glyphs;
};

// The largest side a pattern is drawn at.
constexpr uint32_t kMaxPatternSide = 4096;

// Draws the pattern; false for a zero or too large size, or a count of 0 where one is used.
bool DrawPattern(const PatternSpec& spec, Picture& picture);

// Mixes two 0xAARRGGBB colours channel by channel, t from 0 (a) to 1 (b).
uint32_t MixColor(uint32_t a, uint32_t b, double t);

}  // namespace writers
