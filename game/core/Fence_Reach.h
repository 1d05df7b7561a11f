#pragma once
// How far up the edge fence anything shows. The fence quad's u runs from 0 at its foot to 1 at
// its top, scaled by its style's texture transform, and the style clamps u: where the texture's
// columns are clear from some u on, the part of the quad above it blends nothing and need not be
// drawn. Everything here answers conservatively: 1 (draw the whole quad) unless the style and
// the texture show that the part above the answer is clear.
#include <cstdint>
#include <vector>

class CD3DRenderStyle;
class CDeviceTexture;

// The u from which the fence texture's pixels (every level) are clear, that is, no sample at or
// above it reaches a pixel with alpha; 1 or more when there is none. `alpha_columns[level]`
// holds, for each column of the level, whether any pixel in it has alpha.
float Fence_Clear_U(const std::vector<std::vector<bool>>& alpha_columns);

// The columns with alpha of each level of the device texture; empty when its format is not
// one whose alpha can be read (the caller then draws the whole fence).
std::vector<std::vector<bool>> Fence_Alpha_Columns(CDeviceTexture* texture);

// The fraction of the quad's height that can show with this style, given the clear u of its
// texture (on stage 0, the caller's texture 0): 1 when the style does not clamp u, filters
// anisotropically, blends otherwise than by source alpha or takes alpha from elsewhere.
float Fence_Shown_Fraction(const CD3DRenderStyle* style, float clear_u);
