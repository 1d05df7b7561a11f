#pragma once
// Textured quads drawn through the primitive drawer (strips along a beam, camera-facing
// sprites, fans of quads about an axis) and ground decals placed through the world's
// terrain-decal geometry. None keeps state between calls.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CD3DRenderStyle;
class CTextureData;

// One quad: centre - a + b, centre + a + b, centre + a - b, centre - a - b.
void Draw_Beam_Quad(const CVector3& centre, const CVector3& axis_a, const CVector3& axis_b, const uint32_t& colour,
                    CD3DRenderStyle* render_style, CTextureData* texture);
// A quad that faces the camera: its half sizes along the camera's side and up axes.
void Draw_Billboard(const CVector3& position, const float& half_width, const float& half_height,
                    const uint32_t& colour, CD3DRenderStyle* render_style, CTextureData* texture);
// `count` quads sharing the line through the centre along the axis, the spoke turned by
// pi / count about it from one quad to the next. Each quad spans centre +- width x spoke and
// reaches length x axis from there: width is the half spread across the axis, length how far
// the quad stands out along it. The second vector is not read.
void Draw_Axis_Quads(const CVector3& centre, CVector3 spoke, CVector3 other_vector, const CVector3& axis,
                     const unsigned& count, const float& width, const float& length, const uint32_t& colour,
                     CD3DRenderStyle* render_style, CTextureData* texture);

// The texture matrix of a decal: the square of half size `size` around the position, seen
// from above, turned by `turn` radians about the vertical.
CMatrix4x4 Decal_Texture_Matrix(const CVector3& position, float size, float turn);
// A decal on the terrain under the square of half size `size`; false when the world has no
// geometry for it.
bool Place_World_Decal(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
                       const uint32_t& colour);
bool Place_World_Decal_Random(const uint32_t& kind, const CVector3& position, const float& size, const float& life,
                              const uint32_t& colour);
