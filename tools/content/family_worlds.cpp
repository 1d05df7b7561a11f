// The four environment worlds that simulations are launched in: raw world resources (stored
// uncompressed, opened as files) with terrain of different character; the ground, detail and
// fence textures of their launches; the render styles of the ground, its reflections, the
// flash pass, the edge fences and the mirror walls; and the five ground-mark textures.
#include <string>
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/style_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"
#include "tools/writers/world_writer.h"

namespace content {
namespace {

struct WorldDef {
  uint32_t id;
  const char* name;
  writers::WorldShape shape;
  float baseHeight;
  float amplitude;
};

const WorldDef kWorlds[] = {
    {0x22000048, "worlds/meadow.wld", writers::WorldShape::Rolling, 0.0f, 60.0f},
    {0x2200000b, "worlds/plain.wld", writers::WorldShape::Flat, 20.0f, 0.0f},
    {0x22000108, "worlds/basin.wld", writers::WorldShape::Bowl, 0.0f, 240.0f},
    {0x22000107, "worlds/dunes.wld", writers::WorldShape::Rolling, 10.0f, 140.0f},
};

// ---- textures

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;

struct TextureDef {
  uint32_t id;
  const char* name;
  writers::Pattern pattern;
  uint32_t size;
  uint32_t color_a;
  uint32_t color_b;
  uint32_t count;
  uint32_t seed;
  uint16_t mips;
};

const TextureDef kTextures[] = {
    // Ground of each environment, and the detail laid over it.
    {0x22000104, "textures/world/meadow_ground.txb", writers::Pattern::Noise, 128, 0xFF5E9A44, 0xFF2E5A24, 4, 11, 4},
    {0x2200000a, "textures/world/site_ground.txb", writers::Pattern::Noise, 128, 0xFFC8A070, 0xFF8A6A48, 4, 12, 4},
    {0x22000105, "textures/world/basin_ground.txb", writers::Pattern::Checker, 128, 0xFF8890A0, 0xFF586070, 8, 1, 4},
    {0x22000106, "textures/world/dunes_ground.txb", writers::Pattern::Noise, 128, 0xFFE0C890, 0xFFB09860, 3, 13, 4},
    {0x22000008, "textures/world/meadow_detail.txb", writers::Pattern::Noise, 64, 0xFFFFFFFF, 0xFFB8B8B8, 3, 21, 4},
    {0x220000b0, "textures/world/rough_detail.txb", writers::Pattern::Noise, 64, 0xFFFFFFFF, 0xFFA8A8A8, 4, 22, 4},
    {0x220000b6, "textures/world/tile_detail.txb", writers::Pattern::Checker, 64, 0xFFFFFFFF, 0xFFD0D0D0, 2, 1, 4},
    {0x22000144, "textures/world/fence_glow.txb", writers::Pattern::Stripes, 64, 0xFFFFE0A0, 0xFF000000, 4, 1, 1},
    // Marks on the ground: scorch, impact, pock (bullet holes and blast dust), burn and glow.
    {0x22000021, "textures/world/decal_scorch.txb", writers::Pattern::RadialGlow, 64, 0xFF101008, 0x00000000, 8, 1, 1},
    {0x22000014, "textures/world/decal_impact.txb", writers::Pattern::Rings, 64, 0xFF302818, 0x00302818, 3, 1, 1},
    {0x22000053, "textures/world/decal_pock.txb", writers::Pattern::RadialGlow, 64, 0xFF2A2620, 0x002A2620, 8, 1, 1},
    {0x220000EB, "textures/world/decal_burn.txb", writers::Pattern::RadialGlow, 64, 0xFFFF6010, 0x00401000, 8, 1, 1},
    {0x22000118, "textures/world/decal_glow.txb", writers::Pattern::RadialGlow, 64, 0xFF80FF80, 0x0000FF00, 8, 1, 1},
};

// Edge fences: a chain-link wire fence between posts, with a rail along its foot and its top.
// The fence quad's u runs up the fence (one texture width is about 350 units at the launch's
// texture scale) and its v along it; the fence style clamps u, so above the top rail the fence
// is clear and the sky shows over it.
struct FenceDef {
  uint32_t id;
  const char* name;
  uint32_t wire;  // ARGB
  uint32_t rail;
};

const FenceDef kFences[] = {
    {0x2200006d, "textures/world/training_fence.txb", 0xC8B0C8F0, 0xFFD0E0FF},
    {0x22000009, "textures/world/site_fence.txb", 0xC8E0C060, 0xFFFFD040},
    {0x2200001B, "textures/world/plain_fence.txb", 0xC0E8E8E8, 0xFFFFFFFF},
};

constexpr uint32_t kFence_Side = 128;
constexpr uint32_t kFence_Top_Rail = 100, kFence_Rail_Width = 6, kFence_Post_Width = 4, kFence_Wire_Width = 3;

writers::Picture Draw_Wire_Fence(uint32_t wire, uint32_t rail) {
  writers::Picture picture;
  picture.width = picture.height = kFence_Side;
  picture.pixels.assign(size_t(kFence_Side) * kFence_Side, 0x00000000u);
  for (uint32_t y = 0; y < kFence_Side; ++y)      // along the fence
    for (uint32_t x = 0; x < kFence_Side; ++x) {  // up the fence
      const bool above = x >= kFence_Top_Rail + kFence_Rail_Width;
      const bool rails = x < kFence_Rail_Width || (x >= kFence_Top_Rail && !above);
      const bool post = y < kFence_Post_Width && !above;
      // Two families of diagonal wires, 16 texels apart up the fence and 8 along it.
      const bool wires = !above && ((x + 2 * y) % 16 < kFence_Wire_Width || (x + 256 - 2 * y) % 16 < kFence_Wire_Width);
      uint32_t& pixel = picture.At(x, y);
      if (rails || post)
        pixel = rail;
      else if (wires)
        pixel = wire;
    }
  return picture;
}

// ---- styles

enum class Look { Ground, Reflected_Ground, Ground_Flash, Fence, Fence_Flash, Mirror_Wall };

struct StyleDef {
  uint32_t id;
  const char* name;
  Look look;
};

const StyleDef kStyles[] = {
    {0x22000017, "styles/world/ground.sty", Look::Ground},
    {0x22000018, "styles/world/reflected_ground.sty", Look::Reflected_Ground},
    {0x22000142, "styles/world/ground_flash.sty", Look::Ground_Flash},
    {0x22000019, "styles/world/fence.sty", Look::Fence},
    {0x22000143, "styles/world/fence_flash.sty", Look::Fence_Flash},
    {0x22000016, "styles/world/mirror_wall.sty", Look::Mirror_Wall},
};

// Style codes: operations 1 first argument, 3 modulate, 9 add; arguments 0 current, 1 diffuse,
// 2 texture, 3 texture factor; blends 1 additive, 3 alpha; depth 1 tested but not written;
// cull 0 none.
constexpr uint32_t kOp_Select = 1, kOp_Modulate = 3, kOp_Add = 9;
constexpr uint32_t kArg_Current = 0, kArg_Diffuse = 1, kArg_Texture = 2, kArg_Factor = 3;
constexpr uint32_t kBlend_Add = 1, kBlend_Alpha = 3;
constexpr uint32_t kDepth_Test_Only = 1;
constexpr uint32_t kAddress_Clamp = 1;

writers::StyleStage Stage(uint32_t source, uint32_t op, uint32_t arg1, uint32_t arg2) {
  writers::StyleStage s;
  s.texture_source = source;
  s.color_op = s.alpha_op = op;
  s.color_arg1 = s.alpha_arg1 = arg1;
  s.color_arg2 = s.alpha_arg2 = arg2;
  return s;
}

writers::StylePass Pass_Of(Look look) {
  writers::StylePass p;
  p.cull = 0;
  switch (look) {
    case Look::Ground:
      p.stages[0] = Stage(1, kOp_Modulate, kArg_Texture, kArg_Diffuse);
      p.stages[1] = Stage(2, kOp_Modulate, kArg_Texture, kArg_Current);
      break;
    case Look::Reflected_Ground:
      p.stages[0] = Stage(1, kOp_Modulate, kArg_Texture, kArg_Diffuse);
      p.stages[1] = Stage(0, kOp_Modulate, kArg_Factor, kArg_Current);
      p.texture_factor = 0xFF8898C0u;
      break;
    case Look::Ground_Flash:
      p.stages[0] = Stage(1, kOp_Modulate, kArg_Texture, kArg_Diffuse);
      p.blend = kBlend_Add;
      p.depth = kDepth_Test_Only;
      break;
    // The fences are drawn with the fence texture on stage 0 and the glow on stage 1.
    case Look::Fence:
      p.stages[0] = Stage(1, kOp_Modulate, kArg_Texture, kArg_Diffuse);
      p.stages[0].address_u = kAddress_Clamp;
      p.blend = kBlend_Alpha;
      p.depth = kDepth_Test_Only;
      p.lighting = 0;
      break;
    case Look::Fence_Flash:
      p.stages[0] = Stage(1, kOp_Modulate, kArg_Texture, kArg_Diffuse);
      p.stages[0].address_u = kAddress_Clamp;
      p.stages[1] = Stage(2, kOp_Add, kArg_Texture, kArg_Current);
      p.stages[1].alpha_op = kOp_Select;
      p.stages[1].alpha_arg1 = kArg_Current;
      p.blend = kBlend_Alpha;
      p.depth = kDepth_Test_Only;
      p.lighting = 0;
      break;
    case Look::Mirror_Wall:
      p.stages[0] = Stage(0, kOp_Select, kArg_Diffuse, kArg_Current);
      p.blend = kBlend_Alpha;
      p.depth = kDepth_Test_Only;
      p.lighting = 0;
      break;
  }
  return p;
}

}  // namespace

void Add_Worlds_Family(Manifest& manifest) {
  for (const WorldDef& def : kWorlds) {
    writers::WorldSpec spec;
    spec.shape = def.shape;
    spec.baseHeight = def.baseHeight;
    spec.amplitude = def.amplitude;
    ResourceEntry entry;
    entry.id = def.id;
    entry.type = 0;
    entry.name = def.name;
    entry.compress = false;
    entry.generate = [spec](Bytes& out) { return writers::WriteWorld(spec, out); };
    manifest.AddResource(std::move(entry));
  }
  for (const TextureDef& def : kTextures) {
    writers::PatternSpec pattern;
    pattern.pattern = def.pattern;
    pattern.width = pattern.height = def.size;
    pattern.color_a = def.color_a;
    pattern.color_b = def.color_b;
    pattern.count = def.count;
    pattern.seed = def.seed;
    ResourceEntry entry;
    entry.id = def.id;
    entry.type = 2;
    entry.name = def.name;
    entry.compress = true;
    const uint16_t mips = def.mips;
    entry.generate = [pattern, mips](Bytes& out) {
      writers::Picture picture;
      return writers::DrawPattern(pattern, picture) &&
             writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, mips,
                                        {picture}, out);
    };
    manifest.AddResource(std::move(entry));
  }
  for (const FenceDef& def : kFences) {
    ResourceEntry entry;
    entry.id = def.id;
    entry.type = 2;
    entry.name = def.name;
    entry.compress = true;
    const uint32_t wire = def.wire, rail = def.rail;
    entry.generate = [wire, rail](Bytes& out) {
      return writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, 1,
                                        {Draw_Wire_Fence(wire, rail)}, out);
    };
    manifest.AddResource(std::move(entry));
  }
  for (const StyleDef& def : kStyles) {
    ResourceEntry entry;
    entry.id = def.id;
    entry.type = 1;
    entry.name = def.name;
    entry.compress = true;
    const Look look = def.look;
    entry.generate = [look](Bytes& out) {
      writers::StyleAlternative alternative;
      alternative.passes.push_back(Pass_Of(look));
      out = writers::WriteRenderStyle({alternative});
      return !out.empty();
    };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
