// Sample content of the visual effects: particle, spark, glow, beam and trail textures, the
// shadow blobs and ground marks the projectors lay on the terrain (each drawn in the middle
// third of its square, where the projection centres it), the noise and pattern veils, the
// shutter panel, and the debris models at the sizes the pieces assume.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/content/manifest.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {
namespace {

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;
// The projectors map 2/6.2 of the texture's width (from its middle) to the shadow's radius.
constexpr double kProjected_Radius = 2.0 / 6.2;

using Shade = std::function<uint32_t(double u, double v)>;

uint32_t Argb(double a, double r, double g, double b) {
  auto byte = [](double x) { return static_cast<uint32_t>(std::clamp(x, 0.0, 1.0) * 255.0 + 0.5); };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

double Smooth(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

double Centre_Distance(double u, double v) { return std::hypot(u - 0.5, v - 0.5); }

void Add_Texture(Manifest& manifest, uint32_t id, const char* name, uint32_t size, uint16_t mips, Shade shade) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = std::string("textures/") + name + ".txb";
  entry.compress = true;
  entry.generate = [size, mips, shade](Bytes& out) {
    writers::Picture picture;
    picture.width = picture.height = size;
    picture.pixels.resize(size_t(size) * size);
    for (uint32_t y = 0; y < size; ++y)
      for (uint32_t x = 0; x < size; ++x)
        picture.At(x, y) = shade((x + 0.5) / size, (y + 0.5) / size);
    return writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, mips, {picture},
                                      out);
  };
  manifest.AddResource(std::move(entry));
}

void Add_Pattern(Manifest& manifest, uint32_t id, const char* name, writers::Pattern kind, uint32_t a, uint32_t b,
                 uint32_t count, uint32_t seed = 1, uint32_t size = 64) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = std::string("textures/") + name + ".txb";
  entry.compress = true;
  entry.generate = [=](Bytes& out) {
    writers::PatternSpec spec;
    spec.pattern = kind;
    spec.width = spec.height = size;
    spec.color_a = a;
    spec.color_b = b;
    spec.count = count;
    spec.seed = seed;
    writers::Picture picture;
    return writers::DrawPattern(spec, picture) &&
           writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, kFlagsAlphaBlend, 4, {picture},
                                      out);
  };
  manifest.AddResource(std::move(entry));
}

void Add_Model(Manifest& manifest, uint32_t id, const char* name, std::function<writers::MeshGeometry()> make) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 4;
  entry.name = std::string("meshes/") + name + ".rnd";
  entry.compress = true;
  entry.generate = [make](Bytes& out) {
    out = writers::BuildRigidRenderable(writers::RigidFromGeometry(make()));
    return !out.empty();
  };
  manifest.AddResource(std::move(entry));
}

// Glows, streaks and rings keep their full colour and fade by their alpha alone: every style that
// draws them (added or blended) weighs the colour by that alpha once.

// A soft white glow with its colour, fading to transparent at the rim.
Shade Glow(double r, double g, double b, double power) {
  return [=](double u, double v) {
    const double d = std::min(1.0, Centre_Distance(u, v) * 2.0);
    return Argb(std::pow(1.0 - d, power), r, g, b);
  };
}

// White ground with a dark blob in the middle third: the multiply pass darkens where it is dark.
Shade Round_Shadow() {
  return [](double u, double v) {
    const double d = Centre_Distance(u, v) / kProjected_Radius;
    const double dark = 1.0 - Smooth(0.35, 1.0, d);
    const double level = 1.0 - 0.85 * dark;
    return Argb(1.0, level, level, level);
  };
}

Shade Square_Shadow(double softness) {
  return [=](double u, double v) {
    const double d = std::max(std::fabs(u - 0.5), std::fabs(v - 0.5)) / kProjected_Radius;
    const double dark = 1.0 - Smooth(1.0 - softness, 1.0 + softness * 0.5, d);
    const double level = 1.0 - 0.8 * dark;
    return Argb(1.0, level, level, level);
  };
}

// A ring around the middle of the square, as a ground mark or flash seen from above.
Shade Ground_Ring(double r, double g, double b) {
  return [=](double u, double v) {
    const double d = Centre_Distance(u, v) / kProjected_Radius;
    const double ring = std::exp(-std::pow((d - 0.75) / 0.18, 2.0));
    const double core = std::max(0.0, 1.0 - d) * 0.5;
    return Argb(std::min(1.0, ring + core), r, g, b);
  };
}

// Bright along the middle line across v, transparent at the edges; fading along u when asked.
Shade Band(double r, double g, double b, bool fades_along) {
  return [=](double u, double v) {
    const double across = 1.0 - std::fabs(2.0 * v - 1.0);
    const double along = fades_along ? 1.0 - u : 1.0;
    const double core = std::pow(across, 3.0);
    return Argb(std::pow(across, 1.5) * along, r + (1 - r) * core, g + (1 - g) * core, b + (1 - b) * core);
  };
}

Shade Sparkle() {
  return [](double u, double v) {
    const double dx = std::fabs(u - 0.5) * 2.0, dy = std::fabs(v - 0.5) * 2.0;
    const double rays = std::max(std::max(0.0, 1.0 - dx * 8.0) * (1.0 - dy), std::max(0.0, 1.0 - dy * 8.0) * (1.0 - dx));
    const double core = std::pow(std::max(0.0, 1.0 - std::hypot(dx, dy)), 3.0);
    return Argb(std::min(1.0, rays + core), 1.0, 1.0, 0.9);
  };
}

// A crystal standing along z: two six-sided cones tip to tip, 26 across and 160 long.
writers::MeshGeometry Crystal_Shard() {
  writers::MeshGeometry m = writers::MakeCrystal(13.0f, 160.0f);
  for (writers::MeshVertex& vertex : m.vertices) {
    std::swap(vertex.position[1], vertex.position[2]);
    std::swap(vertex.normal[1], vertex.normal[2]);
    vertex.position[2] = -vertex.position[2];
    vertex.normal[2] = -vertex.normal[2];
  }
  return m;
}

}  // namespace

void Add_Effects_Family(Manifest& manifest) {
  Add_Texture(manifest, 0x2200002F, "particle", 64, 4, Glow(1.0, 1.0, 1.0, 2.0));
  Add_Texture(manifest, 0x22000047, "sparkle", 64, 4, Sparkle());
  Add_Texture(manifest, 0x2200008A, "beam_streak", 64, 1, Band(1.0, 0.95, 0.8, false));
  Add_Texture(manifest, 0x2200005C, "glow", 64, 4, Glow(1.0, 1.0, 1.0, 1.5));
  Add_Texture(manifest, 0x2200000D, "shadow_round", 128, 1, Round_Shadow());
  Add_Texture(manifest, 0x22000086, "shadow_soft_square", 128, 1, Square_Shadow(0.6));
  Add_Texture(manifest, 0x22000046, "shadow_square", 128, 1, Square_Shadow(0.25));
  Add_Texture(manifest, 0x22000032, "flash_spoke", 64, 1, Band(1.0, 0.9, 0.6, true));
  Add_Texture(manifest, 0x22000033, "flash_ring", 128, 1, Ground_Ring(1.0, 0.95, 0.7));
  // The trail (0x22000064) and the flash glow (0x22000069) share the menus' ribbon and glow.
  Add_Pattern(manifest, 0x22000078, "shutter_panel", writers::Pattern::Stripes, 0xFF5A6470, 0xFF3A4048, 6);
  Add_Pattern(manifest, 0x2200010E, "screen_noise", writers::Pattern::Noise, 0xFFFFFFFF, 0xFF202020, 4, 7);
  Add_Pattern(manifest, 0x2200012F, "veil_pattern", writers::Pattern::Checker, 0xFF000000, 0x40000000, 4);
  Add_Pattern(manifest, 0x22000160, "dirt", writers::Pattern::Noise, 0xFF7A5A38, 0xFF3C2A18, 4, 160);
  Add_Texture(manifest, 0x22000015, "ground_mark", 128, 1, Ground_Ring(1.0, 1.0, 1.0));
  Add_Texture(manifest, 0x220000A9, "sparkler_flash", 64, 4, Glow(1.0, 1.0, 1.0, 1.0));

  Add_Model(manifest, 0x220000D6, "crystal_shard", Crystal_Shard);
  Add_Model(manifest, 0x2200015F, "dirt_clod", [] { return writers::MakeSphere(10.0f, 10, 6); });
  Add_Model(manifest, 0x22000093, "box_piece_a", [] { return writers::MakeBox(10.0f, 10.0f, 10.0f); });
  Add_Model(manifest, 0x22000094, "box_piece_b", [] { return writers::MakeBox(10.0f, 10.0f, 10.0f); });
  Add_Model(manifest, 0x22000095, "box_piece_c", [] { return writers::MakeBox(10.0f, 10.0f, 10.0f); });
  // Brick pieces at their pieces' half-sizes.
  struct Brick {
    uint32_t id;
    const char* name;
    float x, y;
  };
  const Brick bricks[] = {{0x220000B9, "brick_piece_0", 50, 50}, {0x220000BA, "brick_piece_1", 25, 25},
                          {0x220000BB, "brick_piece_2", 50, 35}, {0x220000BC, "brick_piece_4", 25, 15},
                          {0x220000BD, "brick_piece_5", 50, 50}, {0x220000BE, "brick_piece_6", 25, 25},
                          {0x220000BF, "brick_piece_7", 50, 30}, {0x220000C0, "brick_piece_9", 25, 25}};
  for (const Brick& b : bricks) {
    const float x = b.x, y = b.y;
    Add_Model(manifest, b.id, b.name, [x, y] { return writers::MakeBox(x, y, 3.75f); });
  }
}

}  // namespace content
