#pragma once
// A large sphere that drops from above at a marked spot, brakes and bobs above the ground on a
// lifting force, flares up and shoots back into the sky.
#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Buster : public CSphere_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 29;
  static constexpr float kGuard_Age = 0.5f;

  bool Init();
  void Term();
  bool Spawn(const int& colour_index, const CVector3& start);
  // The light colour of its index; it keeps it when hit.
  CColor4 Get_Color() const;
  // The glow's brightness M: rises with the lift timer to 1 at 0.5, falls back to 0 at 2, and
  // fades with the death; 0 while the lift timer is negative.
  float Glow_Level() const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;
  void Render_Glow(const CWorld_Mirror* mirror);

  bool m_Initialised = false;
  bool m_Spawned = false;
  int32_t m_Colour_Index = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Lift_Timer = -1.0f;
  float m_Spin_Phase = 0.0f;
  CVector3 m_Start{0, 0, 0};

  static CObject_Pool* Pool();

 private:
  CMatrix4x4 World() const;

  CRenderableObject* m_Model = nullptr;
  CRenderableObject* m_Band_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
