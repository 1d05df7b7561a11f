#pragma once
// Marks laid on the terrain by shots and blasts.
#include <cstdint>

#include "runtime/src/math/math_types.h"

// Lays a decal of the kind (decal texture index) on the terrain around the position, covering
// the square of half size `size`; false when no terrain geometry could be cut there.
bool Place_World_Decal(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
                       const uint32_t& color);
// The same, turned by a random angle about the vertical axis.
bool Place_World_Decal_Random(const uint32_t& kind, const CVector3& position, const float& size,
                              const float& life, const uint32_t& color);
