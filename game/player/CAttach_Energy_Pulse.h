#pragma once
// Kind 4, the energy pulse: each use flashes the screen cyan and strikes up to eight counted
// objects in the playing field from above; the first five collected get a bolt from the sky.
#include "game/fx/CFX_Lightning.h"
#include "game/player/CAttachment_Charged.h"

class CAttach_Energy_Pulse : public CAttachment_Charged {
 public:
  static constexpr int kBudget = 8;
  static constexpr int kBolts = 5;

  // One use: the sound, the flash, the bolts and the strikes; answers how many it struck.
  int Discharge();

  CFX_Lightning m_Bolts[kBolts];

 protected:
  int32_t Own_Kind() const override { return 4; }
  int32_t Base_Charges() const override { return 1; }
  float Cooldown_Length() const override { return 6.0f; }
  uint32_t Icon_Texture() const override { return 0x22000177; }
  void Clear_Effects() override;
  void Use() override { Discharge(); }
  void Update_Effects(float dt) override;
  void Render() override;
};
extern CAttach_Energy_Pulse g_Weapon_Attachment_Energy_Pulse;
