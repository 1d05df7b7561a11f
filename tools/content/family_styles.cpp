// Sample render styles: every style id the game requests, each one of a few kinds (opaque lit,
// vertex colour, additive glow, alpha blend, alpha test, mirror reflection, fade, gauge value,
// two-pass, texture factor, tinted glow), stored compressed in pack set 0.
#include <vector>

#include "tools/content/manifest.h"
#include "tools/writers/style_writer.h"

namespace content {
namespace {

using writers::StyleAlternative;
using writers::StylePass;

// Texture operations and arguments as the style format numbers them.
constexpr uint32_t kOpSelect1 = 1, kOpSelect2 = 2, kOpModulate = 3, kOpBlendCurrentAlpha = 7, kOpBumpEnvMap = 12;
constexpr uint32_t kArgCurrent = 0, kArgDiffuse = 1, kArgTexture = 2, kArgFactor = 3;
constexpr uint32_t kOpBlendFactorAlpha = 8;
constexpr uint32_t kCoordCameraPosition = 5;
constexpr uint32_t kBlendAdditive = 1, kBlendAlpha = 3, kBlendAlphaAdd = 9, kBlendMultiply = 10;
constexpr uint32_t kDepthTestNoWrite = 1;
constexpr uint32_t kCullNone = 0;
constexpr uint32_t kAlphaGreater = 3;
constexpr uint32_t kCoordReflection = 6;
constexpr uint32_t kClamp = 1;

enum class Kind {
  OpaqueLit, VertexColour, Additive, AlphaAdditive, AdditiveLit, AdditiveFactor, AlphaBlendLit, AdditiveClampU, AlphaBlend, AlphaTest, Reflection, Fade, FadeLit, Value, TwoPass,
  Factor, TintedGlow, Shadow, Projector, ProjectorAdd, Stain, Map
};

struct StyleSpec {
  uint32_t id;
  const char* name;
  Kind kind;
};

// Stage 0 takes texture 0 and modulates it with the diffuse colour, alpha too.
StylePass TexturedUnlit() {
  StylePass pass = writers::DefaultStylePass();
  pass.lighting = 0;
  pass.stages[0].alpha_op = kOpModulate;
  return pass;
}

StylePass Translucent(uint32_t blend) {
  StylePass pass = TexturedUnlit();
  pass.blend = blend;
  pass.depth = kDepthTestNoWrite;
  pass.cull = kCullNone;
  return pass;
}

// Stage 0's texture modulated by the texture factor, colour and alpha, rather than by the
// diffuse colour; the factor starts white.
StylePass TintedByFactor(StylePass pass) {
  pass.stages[0].color_arg2 = kArgFactor;
  pass.stages[0].alpha_arg2 = kArgFactor;
  pass.texture_factor = 0xFFFFFFFFu;
  return pass;
}

// A second stage that adds a reflection of texture 1, looked up by the camera-space reflection
// vector and blended by the first stage's alpha.
void AddReflectionStage(StylePass& pass, uint32_t op) {
  writers::StyleStage& s = pass.stages[1];
  s.texture_source = 2;
  s.color_op = op;
  s.color_arg1 = kArgTexture;
  s.color_arg2 = kArgCurrent;
  s.alpha_op = kOpSelect2;
  s.alpha_arg2 = kArgCurrent;
  s.coord_source = kCoordReflection;
  s.address_u = s.address_v = kClamp;
  s.transform_on = 1;
  s.matrix = {0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1};
}

// Stage 0 looks the texture up by the camera-space position through a projected transform
// that the game writes (shadows and ground projections), clamped at the edges.
StylePass Projected(uint32_t blend) {
  StylePass pass = Translucent(blend);
  writers::StyleStage& s = pass.stages[0];
  s.coord_source = kCoordCameraPosition;
  s.transform_on = 1;
  s.projected = 1;
  s.address_u = s.address_v = kClamp;
  return pass;
}

std::vector<StyleAlternative> Alternatives(Kind kind) {
  StyleAlternative alt;
  switch (kind) {
    case Kind::OpaqueLit:
      alt.passes = {writers::DefaultStylePass()};
      break;
    case Kind::VertexColour:
      alt.passes = {TexturedUnlit()};
      break;
    case Kind::Additive:
      alt.passes = {Translucent(kBlendAdditive)};
      break;
    case Kind::AlphaAdditive:
      // Added over the scene weighed by its alpha (texture times colour), so that a glow drawn
      // at a lower alpha shines less and one that fades out fades smoothly.
      alt.passes = {Translucent(kBlendAlphaAdd)};
      break;
    case Kind::AdditiveLit: {
      // A glow that takes the colour the game draws it in: lit, so the material colour counts.
      StylePass pass = Translucent(kBlendAdditive);
      pass.lighting = 1;
      alt.passes = {pass};
      break;
    }
    case Kind::AdditiveFactor: {
      // A glow in the colour the game writes as the texture factor, added over the scene.
      alt.passes = {TintedByFactor(Translucent(kBlendAdditive))};
      break;
    }
    case Kind::AlphaBlendLit: {
      // Translucent and lit, so that the colour the game draws it in (its material) counts.
      StylePass pass = Translucent(kBlendAlpha);
      pass.lighting = 1;
      alt.passes = {pass};
      break;
    }
    case Kind::AdditiveClampU: {
      // Coordinates below 0 repeat the texture's first column rather than wrapping.
      StylePass pass = Translucent(kBlendAdditive);
      pass.stages[0].address_u = kClamp;
      alt.passes = {pass};
      break;
    }
    case Kind::AlphaBlend:
      alt.passes = {Translucent(kBlendAlpha)};
      break;
    case Kind::AlphaTest: {
      StylePass pass = TexturedUnlit();
      pass.alpha_test = kAlphaGreater;
      pass.alpha_ref = 128;
      pass.cull = kCullNone;
      alt.passes = {pass};
      break;
    }
    case Kind::Reflection: {
      // Preferred: a bump-mapped reflection; devices without bump mapping take the second.
      StyleAlternative bumped;
      StylePass bump = writers::DefaultStylePass();
      bump.stages[1].texture_source = 2;
      bump.stages[1].color_op = kOpBumpEnvMap;
      bump.bump_on = 1;
      bump.bump_stage = 1;
      bumped.passes = {bump};
      StylePass pass = writers::DefaultStylePass();
      AddReflectionStage(pass, kOpBlendCurrentAlpha);
      alt.passes = {pass};
      return {bumped, alt};
    }
    case Kind::Fade: {
      // The texture in the colour the game writes as the pass's factor, faded by its alpha:
      // the memory board's face glows in its flash colour. Unseen until the game writes one.
      StylePass pass = TintedByFactor(Translucent(kBlendAlpha));
      pass.texture_factor = 0x00FFFFFFu;
      alt.passes = {pass};
      alt.params = {{0x61646166u /* "fada" */, 1, 0, 2}};
      break;
    }
    case Kind::FadeLit: {
      // Lit like a solid, blended by the texture factor's alpha: a body fading in takes its
      // opacity from the factor the game writes; without one it draws opaque.
      StylePass pass = writers::DefaultStylePass();
      pass.blend = kBlendAlpha;
      pass.stages[0].alpha_arg2 = kArgFactor;
      pass.texture_factor = 0xFFFFFFFFu;
      alt.passes = {pass};
      break;
    }
    case Kind::Value: {
      // Gauge fill: texture alpha against the reference, coloured by the texture factor.
      StylePass pass = TintedByFactor(Translucent(kBlendAlpha));
      pass.alpha_test = kAlphaGreater;
      pass.alpha_ref = 0x40;
      alt.passes = {pass};
      alt.params = {{0x6F6C6F63u /* "colo" */, 1, 0, 1}, {0x756C6176u /* "valu" */, 1, 0, 2}};
      break;
    }
    case Kind::TwoPass: {
      // Lit: the first texture shaded by the lights, then the second added by its alpha in
      // the lights' colour.
      StylePass base = writers::DefaultStylePass();
      StylePass glow = Translucent(kBlendAlphaAdd);
      glow.lighting = 1;
      glow.stages[0].texture_source = 2;
      alt.passes = {base, glow};
      break;
    }
    case Kind::Stain: {
      // The vertex colour, blended by the texture's alpha times the vertex alpha.
      StylePass pass = Translucent(kBlendAlpha);
      pass.stages[0].color_op = kOpSelect1;
      pass.stages[0].color_arg1 = kArgDiffuse;
      alt.passes = {pass};
      break;
    }
    case Kind::Map: {
      // Texture 0 modulated by the vertex colour and by texture 1, blended by alpha. Both
      // stages carry a texture transform the game writes: the tiling of the first texture and
      // the scrolling offset of the second.
      StylePass pass = Translucent(kBlendAlpha);
      pass.stages[0].transform_on = 1;
      writers::StyleStage& detail = pass.stages[1];
      detail.transform_on = 1;
      detail.texture_source = 2;
      detail.color_op = kOpModulate;
      detail.color_arg1 = kArgTexture;
      detail.color_arg2 = kArgCurrent;
      detail.alpha_op = kOpSelect2;
      detail.alpha_arg2 = kArgCurrent;
      alt.passes = {pass};
      break;
    }
    case Kind::Factor: {
      StylePass pass = Translucent(kBlendAlpha);
      pass.stages[0].color_op = kOpSelect1;
      pass.stages[0].color_arg1 = kArgFactor;
      pass.stages[0].alpha_op = kOpSelect1;
      pass.stages[0].alpha_arg1 = kArgFactor;
      pass.texture_factor = 0xFFFFFFFFu;
      alt.passes = {pass};
      alt.params = {{0x6F6C6F63u /* "colo" */, 1, 0, 1}};
      break;
    }
    case Kind::TintedGlow: {
      // The texture tinted by the factor, colour and alpha both, added over the scene weighed
      // by that alpha: the caller's colour (the factor it writes) tints and fades it. The
      // parameter sets all four bytes of the factor (alpha, red, green, blue).
      alt.passes = {TintedByFactor(Translucent(kBlendAlphaAdd))};
      alt.params = {{0x6F6C6F63u /* "colo" */, 1, 0, 0}};
      break;
    }
    case Kind::Shadow: {
      // Multiplied into the ground: the texture's darkness weighed by the factor's alpha.
      StylePass pass = Projected(kBlendMultiply);
      pass.stages[0].color_op = kOpBlendFactorAlpha;
      pass.stages[0].color_arg1 = kArgTexture;
      pass.stages[0].color_arg2 = kArgDiffuse;
      pass.texture_factor = 0;
      alt.passes = {pass};
      break;
    }
    case Kind::Projector:
    case Kind::ProjectorAdd: {
      // The texture tinted by the factor's colour and faded by its alpha.
      alt.passes = {TintedByFactor(Projected(kind == Kind::Projector ? kBlendAlpha : kBlendAlphaAdd))};
      break;
    }
  }
  return {alt};
}

std::vector<StyleSpec> Styles() {
  return {
      {0x22000007, "dialog_box", Kind::AlphaBlend},
      {0x22000002, "dirt", Kind::OpaqueLit},
      {0x2200000E, "shadow", Kind::Shadow},
      {0x22000012, "decal_opaque", Kind::AlphaTest},
      {0x22000013, "decal", Kind::AlphaBlend},
      {0x2200001E, "target_glass", Kind::AlphaBlend},
      {0x2200001F, "ejector_trim", Kind::OpaqueLit},
      {0x22000020, "mirror", Kind::Reflection},
      {0x2200002B, "gun_body", Kind::OpaqueLit},
      {0x2200002E, "menu_quad", Kind::AlphaBlend},
      // The shared glow: sprites, beams, halos, particles and menu glows, faded by their alpha.
      {0x22000031, "glow", Kind::AlphaAdditive},
      {0x22000034, "projector", Kind::Projector},
      {0x22000035, "projector_add", Kind::ProjectorAdd},
      {0x22000038, "shield_gauge", Kind::Value},
      {0x22000039, "shield_gauge_glow", Kind::Value},
      {0x2200003C, "target", Kind::OpaqueLit},
      // The anti-matter annihilation pulse: a sphere glowing in its blend colour.
      {0x2200003F, "target_pulse", Kind::AdditiveFactor},
      // The box target's fade-in styles, for its own pass and its mirror pass.
      {0x22000040, "box_face", Kind::FadeLit},
      {0x22000041, "box_edge", Kind::FadeLit},
      {0x22000043, "panel", Kind::OpaqueLit},
      {0x2200004B, "machinegun_body", Kind::OpaqueLit},
      {0x2200004D, "metal_part", Kind::OpaqueLit},
      // Markers and glows drawn in the caller's colour: lock markers, flashes, tracers, the
      // console's and the simulator's glows, the memory board's lit side.
      {0x22000050, "marker", Kind::TintedGlow},
      {0x22000058, "enemy_body", Kind::OpaqueLit},
      {0x22000061, "ejector", Kind::OpaqueLit},
      {0x22000065, "menu_grid", Kind::AdditiveClampU},
      {0x2200006B, "frame_piece", Kind::VertexColour},
      {0x2200006E, "frame_highlight", Kind::Additive},
      {0x22000074, "globe", Kind::TwoPass},
      {0x22000080, "map", Kind::Map},
      {0x2200009C, "ejector_simon", Kind::Fade},
      // Lights in the colour the game writes as the texture factor (white unless it writes one).
      {0x220000A1, "light", Kind::AdditiveFactor},
      {0x220000A2, "death_vial", Kind::AlphaBlend},
      {0x220000A8, "enemy_part", Kind::OpaqueLit},
      {0x220000AC, "light_wall", Kind::Additive},
      {0x220000AE, "panel_mirror", Kind::Reflection},
      // The pill target and the enemy canister: glowing shapes in their variant's colour.
      {0x220000C2, "coloured_glow", Kind::AdditiveLit},
      // The sparks and the War Room's infection stain: the vertex colour, blended by the texture's alpha.
      {0x220000C6, "sparks_and_stain", Kind::Stain},
      {0x220000CA, "launcher_body", Kind::OpaqueLit},
      {0x220000CE, "infection_gauge", Kind::Value},
      {0x220000D1, "report_glow", Kind::AlphaBlend},
      // Crystal glass: the boss's crystal and core, its shards and their debris, in their colours.
      {0x220000D4, "enemy_glass", Kind::AlphaBlendLit},
      {0x220000D8, "boss_glow", Kind::Additive},
      // The leaf: lit, its skin tinted by each leaf's own colour.
      {0x220000E6, "leaf", Kind::OpaqueLit},
      {0x22000149, "glow_shell", Kind::Factor},
  };
}

}  // namespace

void Add_Styles_Family(Manifest& manifest) {
  for (const StyleSpec& style : Styles()) {
    ResourceEntry entry;
    entry.id = style.id;
    entry.type = 1;
    entry.name = std::string("styles/") + style.name + ".sty";
    entry.compress = true;
    const Kind kind = style.kind;
    entry.generate = [kind](Bytes& out) {
      out = writers::WriteRenderStyle(Alternatives(kind));
      return !out.empty();
    };
    manifest.AddResource(std::move(entry));
  }
}

}  // namespace content
