#pragma once
// Taking and giving back the renderables, render styles and textures of the guns and their
// ammunition, drawing a model with them, and rewriting a style's first pass.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

namespace arsenal {

// Which sort of resource a load failed on.
enum class Resource_Sort { None, Model, Style, Texture };

CRenderableObject* Get_Model(uint32_t id);
CD3DRenderStyle* Get_Style(uint32_t id);
CTextureData* Get_Texture(uint32_t id);
void Release(CRenderableObject*& model);
void Release(CD3DRenderStyle*& style);
void Release(CTextureData*& texture);

// Loads models, then styles, then textures by id, stopping at the first failure, whose sort is
// answered (None when everything loaded).
Resource_Sort Load_All(const uint32_t* model_ids, CRenderableObject** models, int model_count,
                       const uint32_t* style_ids, CD3DRenderStyle** styles, int style_count,
                       const uint32_t* texture_ids, CTextureData** textures, int texture_count);
void Release_All(CRenderableObject** models, int model_count, CD3DRenderStyle** styles, int style_count,
                 CTextureData** textures, int texture_count);

// Draws the model at the world matrix with the style and up to two textures; the colour, when
// given, replaces the style's texture factor for this draw.
void Draw_Model(CRenderableObject* model, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* first,
                CTextureData* second = nullptr, const uint32_t* color = nullptr);
// Writes a value (the alpha reference, 0-1 of 255) and a colour (the texture factor) into the
// style's first pass.
void Set_First_Pass(CD3DRenderStyle* style, float value, uint32_t color);
// Sets only the value of the style's first pass.
void Set_First_Pass_Value(CD3DRenderStyle* style, float value);
// Sets only the colour of the style's first pass; its alpha reference stays as it is.
void Set_First_Pass_Colour(CD3DRenderStyle* style, uint32_t color);
// Switches the device's normal normalising on or off around a scaled draw.
void Normalize_Normals(bool on);

}  // namespace arsenal
