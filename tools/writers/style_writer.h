#pragma once
// Writer of render-style resources: a 20-byte header, then alternatives, each with its
// parameter table, material and passes (512-byte pass records, optional shader blocks with
// their code). Used by the content builder, tests, fuzz seeds and benchmarks.
#include <array>
#include <cstdint>
#include <vector>

namespace writers {

struct StyleStage {
  uint32_t texture_source = 0, color_op = 0, color_arg1 = 2, color_arg2 = 0;
  uint32_t alpha_op = 0, alpha_arg1 = 2, alpha_arg2 = 0, coord_source = 0;
  uint32_t address_u = 0, address_v = 0, filter = 2;
  uint8_t transform_on = 0;
  std::array<float, 16> matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  uint8_t projected = 0;
};

struct StyleShaderBlock {
  uint8_t vertex = 0, pixel = 0, all_variants = 0;
  std::array<uint8_t, 264> rest{};  // bytes 4-267 of the block
  std::array<std::vector<uint8_t>, 4> vertex_code;
  std::vector<uint8_t> pixel_code;
};

struct StylePass {
  std::array<StyleStage, 4> stages;
  uint32_t blend = 0, depth = 0, cull = 1, texture_factor = 0x80808080u, alpha_ref = 128, lighting = 1;
  uint32_t alpha_test = 0, fill = 1;
  uint8_t bump_on = 0;
  uint32_t bump_stage = 1;
  float bump_scale = 1.0f, bump_offset = 0.0f;
  bool has_shader = false;
  StyleShaderBlock shader;
};

struct StyleParam {
  uint32_t key, target, pass, kind;
};

struct StyleAlternative {
  std::vector<StyleParam> params;
  // Ambient, spare, diffuse, spare, emissive, spare, specular, spare (colours blue, green, red,
  // alpha), then the specular power.
  std::array<float, 21> material{1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20};
  std::vector<StylePass> passes;
  // When set, written in place of params.size() + 2 (to make damaged resources).
  int64_t param_field_override = -1;
};

// A pass as a fresh style has it: stage 0 modulates the caller's texture 0 with the diffuse
// colour, the other stages are off.
StylePass DefaultStylePass();

std::vector<uint8_t> WriteRenderStyle(const std::vector<StyleAlternative>& alternatives);

}  // namespace writers
