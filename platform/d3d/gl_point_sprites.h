#pragma once
// Point state before a draw: the point size, distance scaling with the factors and limits the
// device was given, and point sprites (texture coordinates running over each point).
#include "platform/d3d/d3d8.h"

// Applies the point render states. Distance scaling follows the screen-height rule: the size
// in pixels is height x size x sqrt(1 / (a + b d + c d^2)), d the eye distance.
void ApplyPointState(const DWORD* render_states, int texture_units, float viewport_height);
