#pragma once
// Gun kind 1: throws steel balls from a charge that refills over time.
#include "game/player/CPlayer_Weapon_Gun.h"

class CPlayer_Weapon_Gun_SteelBall_0 : public CPlayer_Weapon_Gun {
 public:
  static constexpr int kModel_Count = 2;
  static constexpr int kStyle_Count = 3;
  static constexpr int kTexture_Count = 3;

  ~CPlayer_Weapon_Gun_SteelBall_0() override { Term(); }

  bool Init() override;
  void Term() override;
  bool Fire() override;
  void Update(const CFrame_Info& frame) override;
  void Render(const CFrame_Info& frame) override;

  float m_Charge = 0.0f;
  CVector3 m_Angular_Velocity{0.0f, 0.0f, 0.0f};
  // Body and glow models; body, inner and outer glow styles; two body textures and the glow's.
  CRenderableObject* m_Models[kModel_Count] = {};
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};
  CTextureData* m_Textures[kTexture_Count] = {};

 private:
  Resource_List Resources();
};

extern CPlayer_Weapon_Gun_SteelBall_0 g_Gun_SteelBall;
