#pragma once
// Point state before a draw: the point size, distance scaling with the factors and limits the
// device was given, and point sprites (texture coordinates running over each point).
#include "platform/d3d/d3d8.h"

class GLPointState {
 public:
  // Applies the point render states when they (or the viewport height) changed since the last
  // call, and says whether it did (it then leaves texture unit 0 active). Distance scaling
  // follows the screen-height rule: the size in pixels is height x size x
  // sqrt(1 / (a + b d + c d^2)), d the eye distance.
  // Sprites are switched on only while a point list is drawn (`points`): other primitives keep
  // their own texture coordinates whatever the sprite state says, as in Direct3D.
  bool Apply(const DWORD* render_states, int texture_units, float viewport_height, bool points);
  // The next Apply sets everything (a new context starts from OpenGL's defaults).
  void Forget() { valid_ = false; }

 private:
  static constexpr int kStates = 8;
  bool valid_ = false;
  DWORD last_[kStates] = {};
  float height_ = 0.0f;
  bool points_ = false;
};
