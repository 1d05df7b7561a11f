#include "tools/writers/style_writer.h"

#include <cstring>

namespace writers {
namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutF32(std::vector<uint8_t>& out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof(bits));
  PutU32(out, bits);
}

void PutStage(std::vector<uint8_t>& out, const StyleStage& s) {
  for (uint32_t v : {s.texture_source, s.color_op, s.color_arg1, s.color_arg2, s.alpha_op, s.alpha_arg1, s.alpha_arg2,
                     s.coord_source, s.address_u, s.address_v, s.filter})
    PutU32(out, v);
  out.push_back(s.transform_on);
  out.insert(out.end(), 3, 0);
  for (float f : s.matrix) PutF32(out, f);
  out.push_back(s.projected);
  out.insert(out.end(), 3, 0);
}

void PutPass(std::vector<uint8_t>& out, const StylePass& p) {
  for (const StyleStage& s : p.stages) PutStage(out, s);
  for (uint32_t v : {p.blend, p.depth, p.cull, p.texture_factor, p.alpha_ref, p.lighting, p.alpha_test, p.fill})
    PutU32(out, v);
  out.push_back(p.bump_on);
  out.insert(out.end(), 3, 0);
  PutU32(out, p.bump_stage);
  PutF32(out, p.bump_scale);
  PutF32(out, p.bump_offset);
  out.push_back(p.has_shader ? 1 : 0);
  if (!p.has_shader) return;
  const StyleShaderBlock& b = p.shader;
  out.push_back(b.vertex);
  out.push_back(b.pixel);
  out.push_back(b.all_variants);
  out.insert(out.end(), b.rest.begin(), b.rest.end());
  if (b.vertex)
    for (const auto& code : b.vertex_code) {
      PutU32(out, static_cast<uint32_t>(code.size()));
      out.insert(out.end(), code.begin(), code.end());
    }
  if (b.pixel) {
    PutU32(out, static_cast<uint32_t>(b.pixel_code.size()));
    out.insert(out.end(), b.pixel_code.begin(), b.pixel_code.end());
  }
}

}  // namespace

StylePass DefaultStylePass() {
  StylePass p;
  p.stages[0].texture_source = 1;
  p.stages[0].color_op = p.stages[0].alpha_op = 3;
  p.stages[0].color_arg2 = p.stages[0].alpha_arg2 = 1;
  return p;
}

std::vector<uint8_t> WriteRenderStyle(const std::vector<StyleAlternative>& alternatives) {
  std::vector<uint8_t> out(20, 0);
  out[0] = 5;
  out[2] = 3;
  PutU32(out, 0);
  PutU32(out, static_cast<uint32_t>(alternatives.size()));
  for (const StyleAlternative& a : alternatives) {
    PutU32(out, 0);
    const int64_t field = a.param_field_override >= 0 ? a.param_field_override : int64_t(a.params.size()) + 2;
    PutU32(out, static_cast<uint32_t>(field));
    for (const StyleParam& p : a.params)
      for (uint32_t v : {p.key, p.target, p.pass, p.kind}) PutU32(out, v);
    for (float f : a.material) PutF32(out, f);
    PutU32(out, static_cast<uint32_t>(a.passes.size()));
    for (const StylePass& p : a.passes) PutPass(out, p);
  }
  return out;
}

}  // namespace writers
