#include "tools/writers/texture_patterns.h"

#include <algorithm>
#include <cmath>

#include "tools/writers/texture_font.h"

namespace writers {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kMaxNoiseOctaves = 8;

uint32_t Channel(uint32_t color, int shift) { return (color >> shift) & 0xFF; }

// A hash of lattice coordinates and seed to 0..1.
double LatticeValue(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return double(h & 0xFFFF) / 65535.0;
}

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Value noise with the given lattice spacing, wrapping at period cells so the texture tiles.
double ValueNoise(double x, double y, uint32_t period, uint32_t seed) {
  const int32_t x0 = int32_t(std::floor(x)), y0 = int32_t(std::floor(y));
  const double fx = Smooth(x - x0), fy = Smooth(y - y0);
  auto at = [&](int32_t cx, int32_t cy) {
    const int32_t p = int32_t(period);
    return LatticeValue(((cx % p) + p) % p, ((cy % p) + p) % p, seed);
  };
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

// u, v: pixel centre in 0..1.
double U(uint32_t x, uint32_t width) { return (x + 0.5) / width; }

double PatternValue(const PatternSpec& spec, uint32_t x, uint32_t y) {
  const double u = U(x, spec.width), v = U(y, spec.height);
  switch (spec.pattern) {
    case Pattern::Checker: {
      const uint32_t cx = uint32_t(u * spec.count), cy = uint32_t(v * spec.count);
      return ((cx + cy) & 1) ? 1.0 : 0.0;
    }
    case Pattern::Gradient: return spec.vertical ? v : u;
    case Pattern::RadialGlow: {
      const double d = std::min(1.0, 2.0 * std::hypot(u - 0.5, v - 0.5));
      return d * d;
    }
    case Pattern::Noise: {
      double sum = 0, weight = 0, amplitude = 1;
      for (uint32_t octave = 0; octave < spec.count; ++octave) {
        const uint32_t cells = 4u << octave;
        sum += amplitude * ValueNoise(u * cells, v * cells, cells, spec.seed + octave);
        weight += amplitude;
        amplitude *= 0.5;
      }
      return sum / weight;
    }
    case Pattern::Stripes: {
      const double t = spec.vertical ? v : u;
      return (uint32_t(t * spec.count) & 1) ? 1.0 : 0.0;
    }
    case Pattern::Rings: {
      const double d = 2.0 * std::hypot(u - 0.5, v - 0.5);
      return (uint32_t(d * spec.count) & 1) ? 1.0 : 0.0;
    }
    case Pattern::Ribbons: {
      const double s = std::sin((u + v) * spec.count * kPi);
      return 1.0 - s * s;
    }
    default: return 0.0;
  }
}

// Sets the pixels covered by a character drawn into a box of the picture.
void DrawGlyph(Picture& picture, char character, double left, double top, double width,
               double height, uint32_t color) {
  const uint32_t x0 = uint32_t(std::max(0.0, std::floor(left)));
  const uint32_t y0 = uint32_t(std::max(0.0, std::floor(top)));
  const uint32_t x1 = uint32_t(std::clamp(std::ceil(left + width), 0.0, double(picture.width)));
  const uint32_t y1 = uint32_t(std::clamp(std::ceil(top + height), 0.0, double(picture.height)));
  for (uint32_t y = y0; y < y1; ++y) {
    const int row = int(std::floor((y + 0.5 - top) / height * kGlyphRows));
    for (uint32_t x = x0; x < x1; ++x) {
      const int column = int(std::floor((x + 0.5 - left) / width * kGlyphColumns));
      if (GlyphCell(character, column, row)) picture.At(x, y) = color;
    }
  }
}

// The text in one line, one cell of spacing between glyphs and around the line.
void DrawText(const PatternSpec& spec, Picture& picture) {
  if (spec.text.empty()) return;
  const double columns = 6.0 * spec.text.size() + 1.0;
  const double rows = kGlyphRows + 2.0;
  const double scale = std::min(spec.width / columns, spec.height / rows);
  const double left = (spec.width - scale * (columns - 2.0)) / 2.0;
  const double top = (spec.height - scale * kGlyphRows) / 2.0;
  for (size_t i = 0; i < spec.text.size(); ++i) {
    DrawGlyph(picture, spec.text[i], left + 6.0 * scale * i, top, 5.0 * scale,
              kGlyphRows * scale, spec.color_a);
  }
}

void DrawGlyphSheet(const PatternSpec& spec, Picture& picture) {
  for (const GlyphBox& box : spec.glyphs) {
    DrawGlyph(picture, box.character, box.u0 * spec.width, box.v0 * spec.height,
              (box.u1 - box.u0) * spec.width, (box.v1 - box.v0) * spec.height, spec.color_a);
  }
}

double Distance_To_Segment(double x, double y, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
}

// The arrow points up and left from the centre: a head and a slanted tail in the lower right.
bool Inside_Arrow(double u, double v) {
  const double x = 2.0 * u - 1.0, y = 2.0 * v - 1.0;
  const bool head = x >= 0.0 && y >= x && y <= 0.8 - 0.43 * x;
  const bool tail = Distance_To_Segment(x, y, 0.14, 0.45, 0.38, 0.86) < 0.08;
  return head || tail;
}

bool Inside_Cross_Hair(double u, double v) {
  const double x = 2.0 * u - 1.0, y = 2.0 * v - 1.0;
  const double d = std::hypot(x, y);
  const bool ring = d > 0.6 && d < 0.72;
  const bool ticks = (std::fabs(x) < 0.05 || std::fabs(y) < 0.05) && d > 0.3 && d < 0.95;
  return ring || ticks || d < 0.08;
}

// A shape in colour a with a one-pixel outline of black at a's alpha, on b.
void DrawShape(const PatternSpec& spec, Picture& picture, bool (*inside)(double, double)) {
  std::vector<uint8_t> mask(size_t(spec.width) * spec.height);
  for (uint32_t y = 0; y < spec.height; ++y)
    for (uint32_t x = 0; x < spec.width; ++x)
      mask[size_t(y) * spec.width + x] = inside(U(x, spec.width), U(y, spec.height)) ? 1 : 0;
  const uint32_t outline = spec.color_a & 0xFF000000u;
  auto covered = [&](int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < int64_t(spec.width) && y < int64_t(spec.height) &&
           mask[size_t(y) * spec.width + size_t(x)] != 0;
  };
  for (uint32_t y = 0; y < spec.height; ++y) {
    for (uint32_t x = 0; x < spec.width; ++x) {
      if (covered(x, y)) {
        picture.At(x, y) = spec.color_a;
        continue;
      }
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = covered(int64_t(x) + dx, int64_t(y) + dy);
      if (near) picture.At(x, y) = outline;
    }
  }
}

bool UsesCount(Pattern pattern) {
  return pattern == Pattern::Checker || pattern == Pattern::Noise ||
         pattern == Pattern::Stripes || pattern == Pattern::Rings || pattern == Pattern::Ribbons;
}

}  // namespace

uint32_t MixColor(uint32_t a, uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  uint32_t mixed = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double value = Channel(a, shift) + (double(Channel(b, shift)) - Channel(a, shift)) * t;
    mixed |= uint32_t(std::lround(value)) << shift;
  }
  return mixed;
}

bool DrawPattern(const PatternSpec& spec, Picture& picture) {
  if (spec.width == 0 || spec.height == 0) return false;
  if (spec.width > kMaxPatternSide || spec.height > kMaxPatternSide) return false;
  if (UsesCount(spec.pattern) && (spec.count == 0 || spec.count > kMaxPatternSide)) return false;
  if (spec.pattern == Pattern::Noise && spec.count > kMaxNoiseOctaves) return false;
  picture.width = spec.width;
  picture.height = spec.height;
  picture.pixels.assign(size_t(spec.width) * spec.height, spec.color_b);
  if (spec.pattern == Pattern::Text) {
    DrawText(spec, picture);
  } else if (spec.pattern == Pattern::GlyphSheet) {
    DrawGlyphSheet(spec, picture);
  } else if (spec.pattern == Pattern::Arrow) {
    DrawShape(spec, picture, Inside_Arrow);
  } else if (spec.pattern == Pattern::CrossHair) {
    DrawShape(spec, picture, Inside_Cross_Hair);
  } else {
    for (uint32_t y = 0; y < spec.height; ++y) {
      for (uint32_t x = 0; x < spec.width; ++x) {
        picture.At(x, y) = MixColor(spec.color_a, spec.color_b, PatternValue(spec, x, y));
      }
    }
  }
  return true;
}

}  // namespace writers
