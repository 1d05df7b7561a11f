#pragma once
// What the beam effects (laser, lightning) share: the strip texture, glow texture and render
// style they load together, the quad of one strip, the fade over the beam's life and the glow
// sprites drawn toward the beam's end.
#include <cstdint>

#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CTextureData;
class CD3DRenderStyle;

namespace beam {

struct Resources {
  CTextureData* strip = nullptr;
  CTextureData* glow = nullptr;
  CD3DRenderStyle* style = nullptr;
};

// Takes the three; on a failure shows "Error in <owner>\nUnable to load texture..." (or
// "...shader...") and answers false, leaving the caller to give back what was taken.
bool Load(const char* owner, Resources& resources);
void Release(Resources& resources);

// Six vertices (two triangles) of the flat strip from a to b, offset ±w across it; the strip's
// v coordinate runs 0 on the - side to 1 on the + side.
void Fill_Strip_Quad(TexVertex* six, const CVector3& a, const CVector3& b, const CVector3& w);

// Counts the life down by the step: false (and inactive) once it is over, false also for a
// zero step (nothing to fade), true when the colours want refreshing.
bool Count_Down(float& remaining, float step, bool& active);
// The colour with its alpha faded as the square root of the life left, times the alpha factor.
uint32_t Faded_Colour(float remaining, float life, float alpha_factor, uint32_t colour);

// Draws the glow toward the end point: two sprites of half size `size` at alpha `alpha` and one
// of half size `big` at 0.35 × alpha, 10 units from the eye along the line to the end.
void Draw_End_Glow(const CVector3& end, float size, float big, float alpha, uint32_t rgb,
                   const Resources& resources);

}  // namespace beam
