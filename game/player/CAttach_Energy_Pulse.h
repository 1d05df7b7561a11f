#pragma once
// Kind 4, the energy pulse: bolts from the gun to the targets around it.
#include "game/player/CAttachment_Charged.h"

class CAttach_Energy_Pulse : public CAttachment_Charged {
 protected:
  int32_t Own_Kind() const override { return 4; }
  int32_t Base_Charges() const override { return 1; }
  float Cooldown_Length() const override { return 6.0f; }
  uint32_t Icon_Texture() const override { return 0x22000177; }
};

extern CAttach_Energy_Pulse g_Weapon_Attachment_Energy_Pulse;
