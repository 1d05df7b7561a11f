#pragma once
// What every effect shares: taking and giving back textures, render styles and renderables by
// resource id, the two device switches the effects turn (fog, normal renormalisation), writes
// into a render style's first pass, and the packing of four-float colours.
#include <cstdint>
#include <functional>

#include "runtime/src/math/math_types.h"

class CTextureData;
class CD3DRenderStyle;
class CRenderableObject;
class CDeviceTexture;
struct RenderPassDesc;

namespace fx {

CTextureData* Get_Texture(uint32_t id);
CD3DRenderStyle* Get_Style(uint32_t id);
CRenderableObject* Get_Renderable(uint32_t id);
// Each gives back what is held (if anything) and clears the pointer.
void Release(CTextureData*& texture);
void Release(CD3DRenderStyle*& style);
void Release(CRenderableObject*& renderable);
// A borrowed reference: one more on an object someone else loaded.
CTextureData* Borrow(CTextureData* texture);
CD3DRenderStyle* Borrow(CD3DRenderStyle* style);

CDeviceTexture* Device_Texture(const CTextureData* texture);
// Draws a renderable's model with the world matrix, style, texture (stage 0) and an optional
// colour (r, g, b, a); false when it holds no drawable model.
bool Draw_Renderable(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style,
                     CTextureData* texture, const float* colour = nullptr, const uint32_t* texture_factor = nullptr);

// Tests refuse chosen ids: while set, a get whose id the filter refuses returns none.
void Set_Resource_Filter(std::function<bool(uint32_t)> accept);

// Fog and normal renormalisation, written through the render-state manager so that its
// shadow copy stays true.
void Set_Fog(bool on);
void Set_Normalize_Normals(bool on);

// Blend settings of a style pass: blend mode, stage 0's colour and alpha operations.
struct Pass_Blend {
  uint32_t blend_mode;
  uint32_t color_op;
  uint32_t alpha_op;
};
constexpr Pass_Blend kShadow_Blend{10, 8, 3};
constexpr Pass_Blend kReplacement_Blend{3, 1, 1};

// Writes the texture transform of stage 0 (on, projected, from camera-space positions), the
// colour (the pass's texture factor) into the style's first pass, and makes it count.
void Write_Projection_Pass(CD3DRenderStyle* style, const CMatrix4x4& transform, uint32_t colour);
void Edit_Projection_Pass(RenderPassDesc& pass, const CMatrix4x4& transform, uint32_t colour);
// Writes the pass's value: the alpha reference, value × 255 clamped to 0-255, tested "greater".
void Write_Pass_Value(CD3DRenderStyle* style, float value);
void Write_Pass_Blend(CD3DRenderStyle* style, const Pass_Blend& blend);
void Edit_Pass_Blend(RenderPassDesc& pass, const Pass_Blend& blend);

// Alpha, red, green, blue (each 0-1) packed as ARGB: × 255, truncated, limited to 0-255; not a
// number gives 0.
uint32_t Pack_Color(const float argb[4]);
uint32_t Channel_Byte(float value01);
// A byte count limited to 0-255 from a float (NaN gives 0).
uint32_t Clamp_Byte(float value);

// The rand-style unit draw r = rand / 32768.
float Random_Unit();

}  // namespace fx
