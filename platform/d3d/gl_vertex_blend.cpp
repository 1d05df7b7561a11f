#include "platform/d3d/gl_vertex_blend.h"

#include <algorithm>
#include <cstring>

namespace {

bool Indexed(const GLDeviceState& state, const GLVertexLayout& layout) {
  return state.render_states[D3DRS_INDEXEDVERTEXBLENDENABLE] != 0 && layout.last_beta_indices;
}

void TransformPoint(const D3DMATRIX& m, const float* p, float weight, float* out) {
  out[0] += weight * (p[0] * m.m[0][0] + p[1] * m.m[1][0] + p[2] * m.m[2][0] + m.m[3][0]);
  out[1] += weight * (p[0] * m.m[0][1] + p[1] * m.m[1][1] + p[2] * m.m[2][1] + m.m[3][1]);
  out[2] += weight * (p[0] * m.m[0][2] + p[1] * m.m[1][2] + p[2] * m.m[2][2] + m.m[3][2]);
}

void TransformNormal(const D3DMATRIX& m, const float* n, float weight, float* out) {
  out[0] += weight * (n[0] * m.m[0][0] + n[1] * m.m[1][0] + n[2] * m.m[2][0]);
  out[1] += weight * (n[0] * m.m[0][1] + n[1] * m.m[1][1] + n[2] * m.m[2][1]);
  out[2] += weight * (n[0] * m.m[0][2] + n[1] * m.m[1][2] + n[2] * m.m[2][2]);
}

}  // namespace

int BlendWeightCount(const GLDeviceState& state, const GLVertexLayout& layout) {
  const DWORD blend = state.render_states[D3DRS_VERTEXBLEND];
  const int asked = blend >= D3DVBF_1WEIGHTS && blend <= D3DVBF_3WEIGHTS ? static_cast<int>(blend) : 0;
  const int stored = layout.blend_weights - (layout.last_beta_indices ? 1 : 0);
  return std::clamp(asked, 0, std::max(stored, 0));
}

bool GLVertexBlender::IsActive(const GLDeviceState& state, const GLVertexLayout& layout) {
  if (layout.transformed || layout.weights_offset < 0) return false;
  return BlendWeightCount(state, layout) > 0 || Indexed(state, layout);
}

void GLVertexBlender::Blend(const GLDeviceState& state, const GLVertexLayout& layout, const BYTE* vertices,
                            UINT count) {
  const int weights = BlendWeightCount(state, layout);
  const bool indexed = Indexed(state, layout);
  const bool normals = layout.normal_offset >= 0;
  positions_.assign(static_cast<size_t>(count) * 3, 0.0f);
  normals_.assign(normals ? static_cast<size_t>(count) * 3 : 0, 0.0f);
  const int index_offset = layout.weights_offset + 4 * (layout.blend_weights - 1);
  for (UINT v = 0; v < count; ++v) {
    const BYTE* vertex = vertices + static_cast<size_t>(v) * layout.stride;
    float position[3];
    float w[4] = {};
    std::memcpy(position, vertex, sizeof position);
    std::memcpy(w, vertex + layout.weights_offset, sizeof(float) * static_cast<size_t>(weights));
    BYTE bones[4] = {0, 1, 2, 3};
    if (indexed) std::memcpy(bones, vertex + index_offset, 4);
    float last = 1.0f;
    for (int i = 0; i < weights; ++i) last -= w[i];
    w[weights] = last;
    float normal[3] = {};
    if (normals) std::memcpy(normal, vertex + layout.normal_offset, sizeof normal);
    for (int i = 0; i <= weights; ++i) {
      const D3DMATRIX& m = state.world[bones[i]];
      TransformPoint(m, position, w[i], &positions_[static_cast<size_t>(v) * 3]);
      if (normals) TransformNormal(m, normal, w[i], &normals_[static_cast<size_t>(v) * 3]);
    }
  }
}
