// Sample content of the menu framework: the War Room map, the button glow, the list and slider
// arrows, the dialog and pop-up box tiling, the pop-up title and the in-simulation captions,
// and the menu grid's ribbon.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {

namespace {

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;

uint32_t Argb(double a, double r, double g, double b) {
  auto channel = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
  return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

writers::Picture Blank(uint32_t width, uint32_t height) {
  writers::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(size_t(width) * height, 0);
  return picture;
}

double Smooth_Step(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// Ocean with continents of soft-edged blobs and a faint latitude and longitude grid.
bool War_Room_Map(writers::Picture& picture) {
  picture = Blank(256, 128);
  struct Blob {
    double x, y, rx, ry;
  };
  const Blob land[] = {{50, 40, 30, 22}, {70, 85, 16, 26}, {125, 38, 22, 16}, {135, 75, 18, 28},
                       {185, 45, 42, 22}, {210, 90, 18, 12}, {105, 20, 12, 8},  {160, 100, 10, 8}};
  for (uint32_t y = 0; y < picture.height; ++y)
    for (uint32_t x = 0; x < picture.width; ++x) {
      double height = 0.0;
      for (const Blob& b : land) {
        const double dx = (x - b.x) / b.rx, dy = (y - b.y) / b.ry;
        height = std::max(height, 1.0 - (dx * dx + dy * dy));
      }
      const bool grid = x % 32 == 0 || y % 32 == 0;
      const double depth = std::min(-height, 1.0);  // sea deepens away from the coasts
      uint32_t colour = height > 0.0 ? Argb(1, 0.18 + 0.3 * height, 0.42 + 0.25 * height, 0.16)
                                     : Argb(1, 0.05, 0.16 - 0.08 * depth, 0.36 - 0.1 * depth);
      if (grid) colour = writers::MixColor(colour, 0xFF6080A0, 0.35);
      picture.At(x, y) = colour;
    }
  return true;
}

// White with alpha: brightest along the middle row, where it rises steadily from left to right,
// and fading toward the top and bottom.
bool Glow(writers::Picture& picture) {
  picture = Blank(64, 64);
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      const double across = 1.0 - std::fabs((y + 0.5) / 32.0 - 1.0);
      const double along = 0.25 + 0.75 * x / 63.0;
      picture.At(x, y) = Argb(std::pow(across, 1.5) * along, 1, 1, 1);
    }
  return true;
}

// Upper half: an arrow pointing up; lower half: a round-cornered thumb. White with alpha.
bool Arrows(writers::Picture& picture) {
  picture = Blank(64, 64);
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      const double half_width = (y - 5.0) * 0.95;
      const bool inside = y >= 5 && y <= 27 && std::fabs(x + 0.5 - 32.0) <= half_width;
      const bool edge = inside && std::fabs(x + 0.5 - 32.0) > half_width - 2.0;
      picture.At(x, y) = inside ? (edge ? 0xFFB0B0B0 : 0xFFFFFFFF) : 0x00FFFFFF;
    }
  for (uint32_t y = 32; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      const double dx = std::max(std::fabs(x + 0.5 - 32.0) - 20.0, 0.0);
      const double dy = std::max(std::fabs(y + 0.5 - 48.0) - 8.0, 0.0);
      const double d = std::sqrt(dx * dx + dy * dy);
      const double alpha = 1.0 - Smooth_Step(5.0, 7.0, d);
      const double shade = 0.75 + 0.25 * (1.0 - (y - 32.0) / 32.0);
      picture.At(x, y) = Argb(alpha, shade, shade, shade);
    }
  return true;
}

// A seamless brushed pattern of fine lines: the dialog and pop-up boxes tile it.
bool Box_Tile(writers::Picture& picture) {
  picture = Blank(64, 64);
  const double pi = 3.14159265358979;
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      const double lines = 0.5 + 0.5 * std::sin(2 * pi * (x + y) / 8.0);
      const double cloud = 0.5 + 0.25 * std::sin(2 * pi * x / 64.0) * std::cos(2 * pi * 2 * y / 64.0);
      const double v = 0.55 + 0.2 * lines * cloud;
      picture.At(x, y) = Argb(0.92, v * 0.85, v * 0.85, v);
    }
  return true;
}

// Bright across the middle (v = 0.5); along u a steady body up to 0.5, rising to a bright head
// at 0.75 and dark past it.
bool Grid_Ribbon(writers::Picture& picture) {
  picture = Blank(128, 32);
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 128; ++x) {
      const double v = (y + 0.5) / 32.0, u = (x + 0.5) / 128.0;
      const double across = std::exp(-std::pow((v - 0.5) / 0.1, 2.0));
      double along = 0.45 + 0.55 * Smooth_Step(0.5, 0.75, u);
      if (u > 0.75) along *= 1.0 - Smooth_Step(0.75, 0.95, u);
      const double core = std::exp(-std::pow((v - 0.5) / 0.04, 2.0));
      const double glow = across * along;  // premultiplied, so the look holds under additive blending too
      picture.At(x, y) = Argb(glow, glow * (0.6 + 0.4 * core), glow * (0.75 + 0.25 * core), glow);
    }
  return true;
}

writers::PatternSpec Caption(const char* text, uint32_t colour) {
  writers::PatternSpec spec;
  spec.pattern = writers::Pattern::Text;
  spec.width = 128;
  spec.height = 32;
  spec.color_a = colour;
  spec.color_b = 0x00000000;
  spec.text = text;
  return spec;
}

struct Menu_Texture {
  uint32_t id;
  const char* name;
  std::function<bool(writers::Picture&)> draw;
};

std::vector<Menu_Texture> Textures() {
  auto caption = [](const char* text, uint32_t colour) {
    const writers::PatternSpec spec = Caption(text, colour);
    return [spec](writers::Picture& picture) { return writers::DrawPattern(spec, picture); };
  };
  return {
      {0x22000083, "textures/warroom_map.txb", War_Room_Map},
      {0x22000069, "textures/menu_glow.txb", Glow},
      {0x2200006c, "textures/menu_arrows.txb", Arrows},
      {0x2200000c, "textures/menu_box.txb", Box_Tile},
      {0x22000064, "textures/menu_grid_ribbon.txb", Grid_Ribbon},
      {0x22000003, "textures/popup_title.txb", caption("MENU", 0xFFFFE070)},
      {0x22000004, "textures/caption_leave.txb", caption("LEAVE", 0xFFFFFFFF)},
      {0x220001cb, "textures/caption_restart.txb", caption("RESTART", 0xFFFFFFFF)},
      {0x2200017c, "textures/caption_abort.txb", caption("ABORT", 0xFFFFFFFF)},
      {0x220001cc, "textures/caption_retreat.txb", caption("RETREAT", 0xFFFFFFFF)},
  };
}

}  // namespace

void Add_Menus_Family(Manifest& manifest) {
  for (const Menu_Texture& texture : Textures()) {
    ResourceEntry entry;
    entry.id = texture.id;
    entry.type = 2;
    entry.name = texture.name;
    entry.compress = true;
    entry.generate = [texture](Bytes& out) {
      writers::Picture picture;
      return texture.draw(picture) && writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb,
                                                                  kFlagsAlphaBlend, 1, {picture}, out);
    };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
