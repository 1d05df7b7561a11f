#include "game/fx/Debris_Rules.h"

#include <algorithm>
#include <cmath>

#include "game/core/CWorld_Object.h"
#include "game/fx/FX_Resources.h"

namespace debris {

void Expire_Life_Timer(CWorld_Object& object, float& timer) {
  if (!(timer < 0.0f)) return;
  if (object.m_Kill_Timer == 0.0f) object.m_Kill_Timer = 0.0001f;
  timer = 0.0f;
}

float Dying_Scale(CWorld_Object& object, float step, float rate, bool health_counts) {
  float& k = object.m_Kill_Timer;
  if (health_counts && k == 0.0f && object.m_Value1 <= 0.0f) k += 0.001f;
  if (k == 0.0f) return 1.0f;
  const float c = std::clamp(1.0f - k, 0.001f, 1.0f);
  k += step * rate;
  return c;
}

CMatrix4x4 World_Matrix(const CWorld_Object& object, const CVector3& scale, const CVector3& offset) {
  CMatrix4x4 m;
  m.Set_Identity();
  const CMatrix3x3& o = object.m_Orientation;
  const float s[3] = {scale.x, scale.y, scale.z};
  for (int i = 0; i < 3; ++i) {
    m.m[i][0] = o.rows[i].x * s[i];
    m.m[i][1] = o.rows[i].y * s[i];
    m.m[i][2] = o.rows[i].z * s[i];
  }
  CVector3 moved = offset;
  moved.Rotate(o);
  m.Set_Translation(CVector3{object.m_Position.x + moved.x, object.m_Position.y + moved.y,
                             object.m_Position.z + moved.z});
  return m;
}

void Draw(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
          const float* tint, const uint32_t* factor, bool renormalise) {
  if (renormalise) fx::Set_Normalize_Normals(true);
  fx::Draw_Renderable(renderable, world, style, texture, tint, factor);
  if (renormalise) fx::Set_Normalize_Normals(false);
}

CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror) {
  CMatrix4x4 out;
  world.Multiply(mirror.transform, out);
  return out;
}

bool Is_Wall(const CVector3& normal) { return std::fabs(normal.x) == 1.0f || std::fabs(normal.z) == 1.0f; }

}  // namespace debris
