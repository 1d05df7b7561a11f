#pragma once
// Kind 2, the bullet spray: a burst of machine-gun bullets fanned around the aim.
#include "game/player/CAttachment_Charged.h"

class CAttach_Bullet_Spray : public CAttachment_Charged {
 protected:
  int32_t Own_Kind() const override { return 2; }
  int32_t Base_Charges() const override { return 3; }
  float Cooldown_Length() const override { return 4.0f; }
  uint32_t Icon_Texture() const override { return 0x22000176; }
};

extern CAttach_Bullet_Spray g_Weapon_Attachment_Bullet_Spray;
