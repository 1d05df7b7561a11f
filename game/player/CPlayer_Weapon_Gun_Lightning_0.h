#pragma once
// Gun kind 4, the lightning gun: held by the player and aimed like every gun; it fires nothing yet.
#include "game/player/CPlayer_Weapon_Gun.h"

class CPlayer_Weapon_Gun_Lightning_0 : public CPlayer_Weapon_Gun {
 public:
  ~CPlayer_Weapon_Gun_Lightning_0() override { Term(); }

  bool Init() override;
  void Term() override;
  void Update(const CFrame_Info& frame) override;
  void Render(const CFrame_Info& frame) override;

  CVector3 m_Angular_Velocity{0.0f, 0.0f, 0.0f};

 private:
  Resource_List Resources();
};

extern CPlayer_Weapon_Gun_Lightning_0 g_Gun_Lightning;
