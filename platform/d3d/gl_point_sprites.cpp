#include "platform/d3d/gl_point_sprites.h"

#include <algorithm>

#include "platform/d3d/gl_api.h"
#include "platform/d3d/gl_device_state.h"

namespace {

constexpr D3DRENDERSTATETYPE kPointStates[] = {D3DRS_POINTSIZE,       D3DRS_POINTSIZE_MIN, D3DRS_POINTSIZE_MAX,
                                               D3DRS_POINTSCALEENABLE, D3DRS_POINTSCALE_A,  D3DRS_POINTSCALE_B,
                                               D3DRS_POINTSCALE_C,     D3DRS_POINTSPRITEENABLE};

}  // namespace

bool GLPointState::Apply(const DWORD* rs, int texture_units, float viewport_height, bool points) {
  static_assert(sizeof(kPointStates) / sizeof(kPointStates[0]) == kStates);
  bool same = valid_ && height_ == viewport_height && points_ == points;
  points_ = points;
  for (int i = 0; i < kStates; ++i) {
    same = same && last_[i] == rs[kPointStates[i]];
    last_[i] = rs[kPointStates[i]];
  }
  height_ = viewport_height;
  valid_ = true;
  if (same) return false;
  const float size = DwordToFloat(rs[D3DRS_POINTSIZE]);
  const float smallest = std::max(DwordToFloat(rs[D3DRS_POINTSIZE_MIN]), 0.0f);
  const float largest = std::max(DwordToFloat(rs[D3DRS_POINTSIZE_MAX]), smallest);
  glPointSize(std::clamp(size, 1.0f, std::max(largest, 1.0f)));
  float attenuation[3] = {1.0f, 0.0f, 0.0f};
  // Scaling matters to points only: left on for other primitives it would make the driver build
  // their vertex code anew, computing a size nothing reads.
  if (points && rs[D3DRS_POINTSCALEENABLE] != 0) {
    const float h2 = std::max(viewport_height * viewport_height, 1.0f);
    attenuation[0] = DwordToFloat(rs[D3DRS_POINTSCALE_A]) / h2;
    attenuation[1] = DwordToFloat(rs[D3DRS_POINTSCALE_B]) / h2;
    attenuation[2] = DwordToFloat(rs[D3DRS_POINTSCALE_C]) / h2;
  }
  glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, attenuation);
  glPointParameterf(GL_POINT_SIZE_MIN, smallest);
  glPointParameterf(GL_POINT_SIZE_MAX, std::max(largest, 1.0f));
  const bool sprites = points && rs[D3DRS_POINTSPRITEENABLE] != 0;
  // Rows are stored top first, so the image's top is OpenGL's lower edge.
  glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
  if (sprites) {
    glEnable(GL_POINT_SPRITE);
  } else {
    glDisable(GL_POINT_SPRITE);
  }
  for (int unit = 0; unit < texture_units; ++unit) {
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, sprites ? GL_TRUE : GL_FALSE);
  }
  glActiveTexture(GL_TEXTURE0);
  return true;
}
