#pragma once
// Where each element of a flexible-vertex-format vertex lies.
#include "platform/d3d/d3d8.h"

struct GLVertexLayout {
  static constexpr int kAbsent = -1;
  static constexpr int kMaxTexSets = 8;

  UINT stride = 0;             // bytes per vertex
  bool transformed = false;    // XYZRHW: screen position plus reciprocal w
  int blend_weights = 0;       // floats between the position and the normal (XYZB1..XYZB5)
  bool last_beta_indices = false;  // the last blend "weight" holds four bone-index bytes
  int weights_offset = kAbsent;
  int normal_offset = kAbsent;
  int point_size_offset = kAbsent;
  int diffuse_offset = kAbsent;
  int specular_offset = kAbsent;
  int tex_sets = 0;
  int tex_offset[kMaxTexSets] = {};
  int tex_size[kMaxTexSets] = {};  // floats per set: 1..4

  // Decodes an FVF code; false for codes without a position or with unknown bits.
  bool Parse(DWORD fvf);
};
