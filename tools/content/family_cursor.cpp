// The game's mouse cursor and marker textures: an arrow for the menus, a cross-hair for the
// simulations and a ring marker, each drawn centred on the point it marks. Their render styles
// come with the styles family.
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {

namespace {

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;
constexpr uint32_t kCursorSide = 64;

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
      {0x2200005F, "textures/lock_marker.txb", writers::Pattern::Rings, 0xFFFFFFFF, 0x00FFFFFF, 3},
  };
}

}  // namespace

void Add_Cursor_Family(Manifest& manifest) {
  for (const CursorTexture& texture : CursorTextures()) {
    ResourceEntry entry;
    entry.id = texture.id;
    entry.type = 2;
    entry.name = texture.name;
    entry.compress = true;
    entry.generate = [texture](Bytes& out) {
      writers::PatternSpec spec;
      spec.pattern = texture.pattern;
      spec.width = spec.height = kCursorSide;
      spec.color_a = texture.color_a;
      spec.color_b = texture.color_b;
      spec.count = texture.count;
      writers::Picture picture;
      return writers::DrawPattern(spec, picture) &&
             writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, 1, {picture},
                                        out);
    };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
