#pragma once
// Gun kind 5: a single-shot cannon that throws an explosive shell and reloads between shots.
// The barrel jumps back at a shot and slides home as the cannon reloads; a glow shows the reload.
#include "game/player/CPlayer_Weapon_Gun.h"

class CPlayer_Weapon_Gun_Cannon_0 : public CPlayer_Weapon_Gun {
 public:
  static constexpr int kModel_Count = 3;
  static constexpr int kStyle_Count = 4;
  static constexpr int kTexture_Count = 4;

  ~CPlayer_Weapon_Gun_Cannon_0() override { Term(); }

  bool Init() override;
  void Term() override;
  bool Fire() override;
  void Update(const CFrame_Info& frame) override;
  void Render(const CFrame_Info& frame) override;

  float m_Reload = 0.0f;
  float m_Glow_Level = 0.0f;
  CVector3 m_Angular_Velocity{0.0f, 0.0f, 0.0f};
  CRenderableObject* m_Models[kModel_Count] = {};
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};
  CTextureData* m_Textures[kTexture_Count] = {};

  // Moves the glow level towards the reload for one frame.
  void Follow_Reload(float dt);

 private:
  Resource_List Resources();
};

extern CPlayer_Weapon_Gun_Cannon_0 g_Gun_Cannon;
