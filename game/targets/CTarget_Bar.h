#pragma once
// A tall spinning column thrown up from its spawn point on its own lob so that it passes in front
// of the camera; it grows to full length over its first 0.85 time units and shrinks as it dies.
#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Bar : public CBox_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 22;
  static constexpr float kGuard_Age = 0.85f;

  bool Init();
  void Term();
  bool Spawn(const int& colour_index, const CVector3& position);
  // The variant colour, black once hit.
  CColor4 Get_Color() const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Fast_Fade = false;
  int32_t m_Colour_Index = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Scale = 0.0f;

  static CObject_Pool* Pool();

 private:
  CMatrix4x4 World() const;
  void Draw(const CMatrix4x4& world, CD3DRenderStyle* first, CD3DRenderStyle* second, CTextureData* first_texture,
            CTextureData* second_texture, bool tinted);

  CRenderableObject* m_Model = nullptr;
  CRenderableObject* m_Cap_Model = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Cap_Style = nullptr;
  CTextureData* m_Texture = nullptr;
  CTextureData* m_Cap_Texture = nullptr;
};
