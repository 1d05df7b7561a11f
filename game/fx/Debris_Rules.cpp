#include "game/fx/Debris_Rules.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/core/CWorld_Object.h"
#include "game/core/WinMain.h"
#include "game/fx/CDebris_Target_Box.h"
#include "game/fx/FX_Resources.h"

namespace debris {

bool Load_Pieces(const char* owner, std::span<const uint32_t> ids, std::span<const char* const> labels,
                 std::span<CRenderableObject*> models, CD3DRenderStyle*& reflection_style) {
  const std::string name = std::string("Error in ") + owner;
  for (size_t i = 0; i < ids.size() && i < models.size(); ++i) {
    models[i] = fx::Get_Renderable(ids[i]);
    if (!models[i]) {
      const std::string label = i < labels.size() ? std::string(" ") + labels[i] : std::string();
      Show_Message("%s", (name + label + "\nUnable to create renderable object...").c_str());
      return false;
    }
  }
  reflection_style = fx::Get_Style(kReflection_Style);
  if (!reflection_style) {
    Show_Message("%s", (name + "\nUnable to load shader...").c_str());
    return false;
  }
  return true;
}

bool Load_Model(const char* owner, const char* model_label, const Model_Ids& ids, CRenderableObject*& model,
                CTextureData*& texture, CD3DRenderStyle*& style, CD3DRenderStyle** reflection_style) {
  const std::string name = std::string("Error in ") + owner;
  model = fx::Get_Renderable(ids.model);
  if (!model) {
    const std::string label = model_label ? std::string(" ") + model_label : std::string();
    Show_Message("%s", (name + label + "\nUnable to create renderable object...").c_str());
    return false;
  }
  texture = fx::Get_Texture(ids.texture);
  if (!texture) {
    Show_Message("%s", (name + "\nUnable to load texture...").c_str());
    return false;
  }
  style = fx::Get_Style(ids.style);
  if (reflection_style) *reflection_style = fx::Get_Style(kReflection_Style);
  if (!style || (reflection_style && !*reflection_style)) {
    Show_Message("%s", (name + "\nUnable to load shader...").c_str());
    return false;
  }
  return true;
}

void Borrow_Skin(const CWorld_Object* target, CTextureData*& texture, CD3DRenderStyle*& style) {
  fx::Release(texture);
  fx::Release(style);
  const auto* skin = dynamic_cast<const CDebris_Skin_Source*>(target);
  if (!skin) return;
  texture = fx::Borrow(skin->Debris_Texture());
  style = fx::Borrow(skin->Debris_Style());
}

bool Borrow_Tint(const CWorld_Object* target, CColor4& tint) {
  const auto* skin = dynamic_cast<const CDebris_Skin_Source*>(target);
  return skin && skin->Debris_Tint(tint);
}

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
