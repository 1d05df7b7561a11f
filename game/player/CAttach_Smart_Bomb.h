#pragma once
// Kind 3, the smart bomb: each use flashes the screen violet and destroys up to six counted
// objects anywhere in the playing field, each with a scorch mark and a ground flash.
#include "game/player/CAttachment_Charged.h"

class CAttach_Smart_Bomb : public CAttachment_Charged {
 public:
  static constexpr int kBudget = 6;

  // One use: the sound, the flash and the strikes; answers how many objects it struck.
  int Detonate();

 protected:
  int32_t Own_Kind() const override { return 3; }
  int32_t Base_Charges() const override { return 1; }
  float Cooldown_Length() const override { return 6.0f; }
  uint32_t Icon_Texture() const override { return 0x22000178; }
  void Use() override { Detonate(); }
};
extern CAttach_Smart_Bomb g_Weapon_Attachment_Smart_Bomb;
