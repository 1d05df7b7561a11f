#pragma once
// What the debris classes share: taking their piece models, borrowing a broken target's skin,
// the death rule on the kill timer, the world matrix of a scaled piece and its draw (plain,
// mirrored or with a caller's style).
#include <cstdint>
#include <span>

#include "runtime/src/math/math_types.h"

class CWorld_Object;
struct CWorld_Mirror;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

namespace debris {

constexpr uint32_t kReflection_Style = 0x22000020;

// Takes the piece models by id and the reflection style. On a failure shows "Error in <owner>
// <label>\nUnable to create renderable object..." (the label of that model, if labels are
// given) or "...\nUnable to load shader..." and answers false, leaving the caller to give back
// what was taken.
bool Load_Pieces(const char* owner, std::span<const uint32_t> ids, std::span<const char* const> labels,
                 std::span<CRenderableObject*> models, CD3DRenderStyle*& reflection_style);
// The ids of a one-model piece's model, texture and style.
struct Model_Ids {
  uint32_t model;
  uint32_t texture;
  uint32_t style;
};
// Takes a one-model piece's model, texture and style, and the reflection style when asked for
// (non-null). On a failure shows "Error in <owner>\nUnable to create renderable object..." (the
// model's label after the owner, when given), "...load texture..." or "...load shader..." and
// answers false, leaving the caller to give back what was taken.
bool Load_Model(const char* owner, const char* model_label, const Model_Ids& ids, CRenderableObject*& model,
                CTextureData*& texture, CD3DRenderStyle*& style, CD3DRenderStyle** reflection_style);
// Gives back the texture and style held, then borrows the target's when it is a
// CDebris_Skin_Source.
void Borrow_Skin(const CWorld_Object* target, CTextureData*& texture, CD3DRenderStyle*& style);
// Copies the target's skin tint when it is a CDebris_Skin_Source that has one.
bool Borrow_Tint(const CWorld_Object* target, CColor4& tint);

// A life timer that fell below 0 starts the death (k = 0.0001 when it was 0) and is held at 0.
void Expire_Life_Timer(CWorld_Object& object, float& timer);
// Starts the death of an object whose health is gone, and then, while the object dies, answers
// its size factor c = clamp(1 - k, 0.001, 1) and lets k grow by step × rate (1 while alive).
float Dying_Scale(CWorld_Object& object, float step, float rate, bool health_counts);

// Scale × the object's orientation, at its position (moved by an offset in its own axes).
CMatrix4x4 World_Matrix(const CWorld_Object& object, const CVector3& scale, const CVector3& offset = {0, 0, 0});
// Draws the renderable with normals renormalised (when asked) around the draw.
void Draw(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
          const float* tint = nullptr, const uint32_t* factor = nullptr, bool renormalise = true);
CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror);
// A contact normal of a boundary wall (|x| = 1 or |z| = 1).
bool Is_Wall(const CVector3& normal);

}  // namespace debris
