// The game's mouse cursor and marker textures: an arrow for the menus, a cross-hair for the
// simulations and a ring marker, each drawn centred on the point it marks. Their render styles
// come with the styles family.
#include <cmath>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/content/mesh_entry.h"
#include "tools/writers/texture_patterns.h"

namespace content {

namespace {

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;
constexpr uint32_t kCursorSide = 64;
constexpr uint32_t kMarkerId = 0x2200005F;
constexpr uint16_t kMarkerMips = 4;
// The marker's ring, as shares of the half side.
constexpr double kMarkerRingRadius = 0.8, kMarkerRingWidth = 0.045;

struct CursorTexture {
  uint32_t id;
  const char* name;
  writers::Pattern pattern;
  uint32_t color_a;
  uint32_t color_b;
  uint32_t count;
};

std::vector<CursorTexture> CursorTextures() {
  return {
      {0x22000006, "textures/cursor_arrow.txb", writers::Pattern::Arrow, 0xFFFFFFFF, 0x00000000, 1},
      {0x22000005, "textures/cursor_cross_hair.txb", writers::Pattern::CrossHair, 0xFFFFFFFF, 0x00000000, 1},
  };
}

// The lock marker: a soft ring in white with alpha, clear in the middle and outside, so that the
// marker style's colour tints the ring alone. The launcher draws its trail as markers nested
// smaller and smaller on one point; a thin ring keeps them apart as concentric rings.
bool DrawLockMarker(writers::Picture& picture) {
  picture.width = picture.height = kCursorSide;
  picture.pixels.resize(size_t(kCursorSide) * kCursorSide);
  for (uint32_t y = 0; y < kCursorSide; ++y)
    for (uint32_t x = 0; x < kCursorSide; ++x) {
      const double d = 2.0 * std::hypot((x + 0.5) / kCursorSide - 0.5, (y + 0.5) / kCursorSide - 0.5);
      const double alpha = std::exp(-std::pow((d - kMarkerRingRadius) / kMarkerRingWidth, 2.0));
      picture.At(x, y) = uint32_t(std::lround(alpha * 255.0)) << 24 | 0x00FFFFFFu;
    }
  return true;
}

}  // namespace

void Add_Cursor_Family(Manifest& manifest) {
  for (const CursorTexture& texture : CursorTextures()) {
    writers::PatternSpec spec;
    spec.pattern = texture.pattern;
    spec.width = spec.height = kCursorSide;
    spec.color_a = texture.color_a;
    spec.color_b = texture.color_b;
    spec.count = texture.count;
    Add_Pattern_Texture_Resource(manifest, texture.id, texture.name, spec, kFormatArgb, kFlagsAlphaBlend);
  }
  Add_Drawn_Texture_Resource(manifest, kMarkerId, "textures/lock_marker.txb", kMarkerMips, DrawLockMarker);
}

}  // namespace content
