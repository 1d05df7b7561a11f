#pragma once
// Kind 3, the smart bomb: strikes the targets in view at once.
#include "game/player/CAttachment_Charged.h"

class CAttach_Smart_Bomb : public CAttachment_Charged {
 protected:
  int32_t Own_Kind() const override { return 3; }
  int32_t Base_Charges() const override { return 1; }
  float Cooldown_Length() const override { return 6.0f; }
  uint32_t Icon_Texture() const override { return 0x22000178; }
};

extern CAttach_Smart_Bomb g_Weapon_Attachment_Smart_Bomb;
