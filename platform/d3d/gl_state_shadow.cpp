#include "platform/d3d/gl_state_shadow.h"

#include <cstring>

namespace {

constexpr GLenum kGlobalCapNames[GLStateShadow::kGlobalCaps] = {
    GL_DEPTH_TEST, GL_CULL_FACE, GL_ALPHA_TEST,    GL_BLEND,          GL_STENCIL_TEST, GL_DITHER, GL_POLYGON_OFFSET_FILL,
    GL_POLYGON_OFFSET_LINE, GL_LIGHTING, GL_COLOR_MATERIAL, GL_COLOR_SUM, GL_NORMALIZE, GL_FOG};

constexpr GLenum kUnitCapNames[GLStateShadow::kUnitCaps] = {
    GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP, GL_TEXTURE_3D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R,
    GL_TEXTURE_GEN_Q};

void Switch(GLenum cap, bool on) {
  if (on) {
    glEnable(cap);
  } else {
    glDisable(cap);
  }
}

}  // namespace

uint32_t GLStateShadow::Bits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

void GLStateShadow::ForgetAll() {
  ForgetRaster();
  std::memset(unit_caps_, -1, sizeof unit_caps_);
  for (auto& unit : unit_values_)
    for (Entry& entry : unit) entry.known = false;
  active_unit_ = -1;
}

void GLStateShadow::ForgetRaster() {
  std::memset(caps_, -1, sizeof caps_);
  for (Entry& entry : values_) entry.known = false;
}

void GLStateShadow::ForgetBindings() {
  for (auto& unit : unit_values_) {
    unit[kBinding2D].known = false;
    unit[kBindingCube].known = false;
    unit[kBinding3D].known = false;
  }
}

void GLStateShadow::Enable(Cap cap, bool on) {
  const int8_t want = on ? 1 : 0;
  if (caps_[cap] == want) return;
  caps_[cap] = want;
  Switch(kGlobalCapNames[cap], on);
}

void GLStateShadow::ActiveUnit(int unit) {
  if (active_unit_ == unit) return;
  active_unit_ = unit;
  glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
}

void GLStateShadow::EnableOnUnit(int unit, Cap cap, bool on) {
  const int8_t want = on ? 1 : 0;
  int8_t& have = unit_caps_[unit][cap];
  if (have == want) return;
  have = want;
  ActiveUnit(unit);
  Switch(kUnitCapNames[cap], on);
}

bool GLStateShadow::Update(Entry& entry, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  if (entry.known && entry.words[0] == a && entry.words[1] == b && entry.words[2] == c && entry.words[3] == d)
    return false;
  entry = {{a, b, c, d}, true};
  return true;
}

bool GLStateShadow::Changed(Value value, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return Update(values_[value], a, b, c, d);
}

bool GLStateShadow::ChangedOnUnit(int unit, UnitValue value, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return Update(unit_values_[unit][value], a, b, c, d);
}
