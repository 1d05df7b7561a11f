#pragma once
// Gun kind 2: a rotary gun with five barrels that fires while the left button is held. The
// barrels spin up while it fires; a bullet leaves each time a barrel passes its firing position.
// Each bullet heats the gun, and an overheated gun skips bullets until it cools.
#include "game/player/CPlayer_Weapon_Gun.h"

class CPlayer_Weapon_Gun_Machine_0 : public CPlayer_Weapon_Gun {
 public:
  static constexpr int kModel_Count = 6;
  static constexpr int kStyle_Count = 6;
  static constexpr int kTexture_Count = 4;
  static constexpr float kFiring_Step = 1.2566371f;  // 2 pi / 5

  ~CPlayer_Weapon_Gun_Machine_0() override { Term(); }

  bool Init() override;
  void Term() override;
  bool Begin_Fire() override;
  void End_Fire() override;
  void Update(const CFrame_Info& frame) override;
  void Render(const CFrame_Info& frame) override;

  // One bullet, unless the gun is overheated.
  void Shoot();

  uint8_t m_Trigger_Held = 0;
  uint8_t m_Release_Pending = 0;
  uint8_t m_Burst_Has_Fired = 0;
  CVector3 m_Angular_Velocity{0.0f, 0.0f, 0.0f};
  float m_Barrel_Angle = 0.0f;
  float m_Spin_Speed = 0.0f;
  float m_Idle_Time = 1000.0f;
  float m_Run_Time = 0.0f;
  float m_Flash = 0.0f;
  float m_Flash_Angle = 0.0f;
  float m_Heat = 0.0f;
  CRenderableObject* m_Models[kModel_Count] = {};
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};
  CTextureData* m_Textures[kTexture_Count] = {};

 private:
  Resource_List Resources();
  void Spin_And_Fire(float dt);
  // The gauge's place: below and left of the view's centre, 15 ahead of the eye.
  CVector3 Heat_Gauge_Position() const;
  void Draw_Heat_Gauge();
  void Draw_Muzzle_Flash(float dt);
};

extern CPlayer_Weapon_Gun_Machine_0 g_Gun_Machine;
