#pragma once
// A glowing sphere that swells in over 0.85 time units and shines two pulsing light bursts from
// its sides; it flies without gravity until a hit or the floor makes it fall.
#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Glower_B : public CSphere_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 27;
  static constexpr float kGuard_Age = 0.85f;

  bool Init();
  void Term();
  bool Spawn(const int& colour_index);
  CColor4 Get_Color() const;
  // The burst intensity now: (1 - kill timer) × (p² × 0.5 + 0.5) × scale, p the pulse.
  float Glow_Intensity() const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Spawned = false;
  int32_t m_Colour_Index = 0;
  int32_t m_Hit_Count = 0;
  float m_Scale = 0.0f;
  float m_Age = 0.0f;
  float m_Life = 0.0f;
  float m_Pulse_Phase = 0.0f;

  static CObject_Pool* Pool();

 private:
  CMatrix4x4 World() const;
  void Draw_Bursts(const CWorld_Mirror* mirror);

  CRenderableObject* m_Model = nullptr;
  CRenderableObject* m_Core_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
