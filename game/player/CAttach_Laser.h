#pragma once
// Kind 5, the laser: a beam that reflects off walls and strikes what it crosses.
#include "game/player/CAttachment_Charged.h"

class CAttach_Laser : public CAttachment_Charged {
 protected:
  int32_t Own_Kind() const override { return 5; }
  int32_t Base_Charges() const override { return 4; }
  float Cooldown_Length() const override { return 4.0f; }
  uint32_t Icon_Texture() const override { return 0x2200017B; }
};

extern CAttach_Laser g_Weapon_Attachment_Laser;
