#include "game/player/CAttachment.h"

#include "game/player/CAttach_Bullet_Spray.h"
#include "game/player/CAttach_Energy_Pulse.h"
#include "game/player/CAttach_Laser.h"
#include "game/player/CAttach_Laser_Pointer.h"
#include "game/player/CAttach_Smart_Bomb.h"

bool CAttachment::Init() {
  m_Loaded = 1;
  return true;
}

void CAttachment::Term() { m_Loaded = 0; }

void CAttachment::Attach_Base(CPlayer_Weapon_Gun* gun, int32_t kind) {
  m_Kind = kind;
  m_Gun = gun;
  m_Orientation = CQuaternion::Identity;
  m_Offset = CVector3{0.0f, 0.0f, 0.0f};
  m_Active = 1;
}

void CAttachment::Detach() {
  m_Gun = nullptr;
  m_Active = 0;
}

void CAttachment::Set_Flag(uint8_t flag) { (void)flag; }
void CAttachment::Update(float dt) { (void)dt; }
void CAttachment::Render() {}
void CAttachment::Fire() {}
void CAttachment::Cancel_Fire() {}

CAttachment* Attachment_Of_Kind(int kind) {
  switch (kind) {
    case 1:
      return &g_Weapon_Attachment_Laser_Pointer;
    case 2:
      return &g_Weapon_Attachment_Bullet_Spray;
    case 3:
      return &g_Weapon_Attachment_Smart_Bomb;
    case 4:
      return &g_Weapon_Attachment_Energy_Pulse;
    case 5:
      return &g_Weapon_Attachment_Laser;
    default:
      return nullptr;
  }
}

const char* Attachment_Global_Name(int kind) {
  switch (kind) {
    case 1:
      return "g_Weapon_Attachment_Laser_Pointer";
    case 2:
      return "g_Weapon_Attachment_Bullet_Spray";
    case 3:
      return "g_Weapon_Attachment_Smart_Bomb";
    case 4:
      return "g_Weapon_Attachment_Energy_Pulse";
    case 5:
      return "g_Weapon_Attachment_Laser";
    default:
      return "";
  }
}
