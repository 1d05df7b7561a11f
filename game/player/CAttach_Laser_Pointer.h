#pragma once
// Kind 1, the laser pointer: a beam from the gun with a dot where it meets something, bright
// while the right button is held. It has no charges and no display.
#include "game/player/CAttachment.h"

class CAttach_Laser_Pointer : public CAttachment {
 public:
  bool Attach(CPlayer_Weapon_Gun* gun) override;
  // Switches the beam on.
  void Fire() override;
  // Switches the beam off.
  void Cancel_Fire() override;

  uint8_t m_On = 0;
};

extern CAttach_Laser_Pointer g_Weapon_Attachment_Laser_Pointer;
