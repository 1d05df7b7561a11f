#pragma once
// Vertex blending done on the processor: positions and normals of vertices that carry blend
// weights are mixed between several world matrices (the first ones, or the ones the four index
// bytes of an indexed vertex name), so that OpenGL then draws them with the view alone.
#include <vector>

#include "platform/d3d/d3d8.h"
#include "platform/d3d/gl_device_state.h"
#include "platform/d3d/gl_vertex_layout.h"

class GLVertexBlender {
 public:
  // True when the device state asks for blending and the layout carries weights.
  static bool IsActive(const GLDeviceState& state, const GLVertexLayout& layout);
  // Blends `count` vertices into world-space positions (and normals, when the layout has them).
  void Blend(const GLDeviceState& state, const GLVertexLayout& layout, const BYTE* vertices, UINT count);

  const float* Positions() const { return positions_.data(); }
  const float* Normals() const { return normals_.data(); }

 private:
  std::vector<float> positions_;
  std::vector<float> normals_;
};

// How many weights a blend draw reads (matrices used - 1), from the state and the layout.
int BlendWeightCount(const GLDeviceState& state, const GLVertexLayout& layout);
