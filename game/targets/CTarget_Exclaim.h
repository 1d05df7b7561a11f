#pragma once
// An exclamation-mark block that turns slowly about its vertical axis while it falls and
// bounces, growing in over about three time units. One player hit destroys it; unhit at the end
// of its life it rockets upward and vanishes.
#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Exclaim : public CBox_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 30;

  bool Init();
  void Term();
  bool Spawn(const int& colour_index);
  // Its own light table, black once hit.
  CColor4 Get_Color() const;
  // The orientation becomes the turn about the vertical axis by the angle.
  void Set_Turn(float angle);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(const CVector3& normal) override { (void)normal; }

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Escape = false;
  int32_t m_Colour_Index = 0;
  int32_t m_Hit_Count = 0;
  float m_Scale = 0.0f;
  float m_Age = 0.0f;
  float m_Life = 0.0f;
  float m_Turn_Phase = 0.0f;

  static CObject_Pool* Pool();

 private:
  CMatrix4x4 World() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
