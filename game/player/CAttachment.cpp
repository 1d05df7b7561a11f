#include "game/player/CAttachment.h"

namespace {

CAttachment* Make_Kind(CAttachment& attachment, int kind) {
  attachment.m_Own_Kind = kind;
  return &attachment;
}

}  // namespace

CAttachment g_Weapon_Attachment_Laser_Pointer;
CAttachment g_Weapon_Attachment_Bullet_Spray;
CAttachment g_Weapon_Attachment_Smart_Bomb;
CAttachment g_Weapon_Attachment_Energy_Pulse;
CAttachment g_Weapon_Attachment_Laser;

bool CAttachment::Init() {
  m_Loaded = 1;
  return true;
}

void CAttachment::Term() { m_Loaded = 0; }

bool CAttachment::Attach(CPlayer_Weapon_Gun* gun) {
  m_Kind = m_Own_Kind;
  m_Gun = gun;
  m_Orientation = CQuaternion::Identity;
  m_Offset = CVector3{0.0f, 0.0f, 0.0f};
  m_Active = 1;
  return true;
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
      return Make_Kind(g_Weapon_Attachment_Laser_Pointer, 1);
    case 2:
      return Make_Kind(g_Weapon_Attachment_Bullet_Spray, 2);
    case 3:
      return Make_Kind(g_Weapon_Attachment_Smart_Bomb, 3);
    case 4:
      return Make_Kind(g_Weapon_Attachment_Energy_Pulse, 4);
    case 5:
      return Make_Kind(g_Weapon_Attachment_Laser, 5);
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
