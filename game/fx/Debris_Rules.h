#pragma once
// What the debris classes share: the death rule on the kill timer, the world matrix of a
// scaled piece and its draw (plain, mirrored or with a caller's style).
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CWorld_Object;
struct CWorld_Mirror;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

namespace debris {

constexpr uint32_t kReflection_Style = 0x22000020;

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
