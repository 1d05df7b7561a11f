#include "game/player/CAttach_Laser_Pointer.h"

CAttach_Laser_Pointer g_Weapon_Attachment_Laser_Pointer;

bool CAttach_Laser_Pointer::Attach(CPlayer_Weapon_Gun* gun) {
  m_On = 0;
  Attach_Base(gun, 1);
  return true;
}

void CAttach_Laser_Pointer::Fire() { m_On = 1; }

void CAttach_Laser_Pointer::Cancel_Fire() { m_On = 0; }
