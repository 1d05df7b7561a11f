#pragma once
// A glowing, pulsing light ball of a random pale colour that flies straight, up from a ground
// launch or down and forward from the sky. A hit bursts it and every flare within 350 catches
// fire half a time unit later; a flare that reaches the ground leaves a mark and goes out.
#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Flare : public CSphere_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 23;
  static constexpr float kGuard_Age = 0.5f;
  static constexpr float kChain_Reach = 350.0f;
  static constexpr unsigned kChain_Points = 100;

  bool Init();
  void Term();
  bool Spawn(const CVector3& start, const uint8_t& ground_launch);
  // The landing: the flare goes out and leaves a ground mark (not at a boundary wall).
  void On_Land(const CVector3& normal);
  // The core and halo brightness now, with the size factor.
  float Brightness() const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Ground_Launch = false;
  float m_Age = 0.0f;
  CVector3 m_Start{0, 0, 0};
  uint32_t m_Colour = 0;
  float m_Size_Factor = 1.0f;
  float m_Pulse_Phase = 0.0f;
  float m_Chain_Timer = 0.0f;

  static CObject_Pool* Pool();

 private:
  // A ground mark in the flare's colour at the point: slot 1 grows in at a launch, slot 0 at a
  // landing.
  void Leave_Mark(int slot, const CVector3& point) const;

  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
