#pragma once
// A shard of the crystal boss: a box body that falls slowly, shrinks away once it lands.
#include "game/core/CBox_Object.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CDebris_Crystal : public CBox_Object {
 public:
  static constexpr uint32_t kType = 34;

  bool Init();
  void Term();
  // The tint's four slots are alpha, red, green, blue.
  void Spawn(float scale, const CColor4& tint);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Alive = false;
  float m_Scale = 1.0f;
  float m_Size_Factor = 1.0f;
  float m_Tint[4] = {1, 1, 1, 1};  // red, green, blue, alpha as the model draw takes it

 private:
  CMatrix4x4 World() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Reflection_Style = nullptr;
};
