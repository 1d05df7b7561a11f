#pragma once
// A glowing orb with three orbiting glow sprites. In swing mode it sweeps across the view on a
// figure-of-eight path in front of the camera; in drop mode it sinks from above and bobs back up.
#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Glower : public CSphere_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 25;
  static constexpr float kGuard_Age = 0.5f;
  static constexpr float kRadius = 90.0f;

  bool Init();
  void Term();
  bool Spawn(const int& variant, const CVector3& point, const uint8_t& swing);
  // The glower's light table (white outside 0-3).
  CColor4 Get_Color() const;
  // The halo's level now: (1 - kill timer) × (0.5 + 0.5 × pulse²).
  float Halo_Level() const;
  // The swing path's point at an age.
  CVector3 Swing_Point(float age) const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Swing = false;
  bool m_Right_Of_Camera = false;
  bool m_Landed = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Spin_Phase = 0.0f;
  float m_Pulse_Phase = 0.0f;
  CVector3 m_Start{0, 0, 0};
  CVector3 m_Centre{0, 0, 0};
  float m_Sweep_Width = 0.0f;
  float m_Sweep_Depth = 0.0f;
  CMatrix3x3 m_Glow_Frame = CMatrix3x3::Identity;

  static CObject_Pool* Pool();

 private:
  CMatrix4x4 World() const;
  void Draw_Halo(const CWorld_Mirror* mirror, float alpha_factor);

  CRenderableObject* m_Model = nullptr;
  CRenderableObject* m_Shell_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
