#pragma once
// Sound effects at the user's sound-effect volume, and the two ways to pack a colour.
#include <cstdint>

#include "runtime/src/math/math_types.h"

// Plays the sound once, without looping.
void Play_Sound_FX(uint32_t id, const float& volume);
// Plays the sound once as if it came from the position (quieter with distance from the camera).
void Play_Sound_3D(uint32_t id, const CVector3& position, float scale);

// The four components in stored order, the first in the top byte: 0xRRGGBBAA for a CColor4.
uint32_t Pack_Color(const CColor4& color);
// Alpha in the top byte, then red, green, blue.
uint32_t Pack_Color_ARGB(const CColor4& color);
