#pragma once
// The secondary attachment a gun may carry, fired with the right mouse button. This is the
// shared base with its default behaviour; the five attachments are its global instances.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CPlayer_Weapon_Gun;

class CAttachment {
 public:
  CAttachment() = default;
  CAttachment(const CAttachment&) = delete;
  CAttachment& operator=(const CAttachment&) = delete;
  virtual ~CAttachment() = default;

  virtual bool Init();
  virtual void Term();
  // Hands the attachment to a gun: active, the kind, the gun, identity mount.
  virtual bool Attach(CPlayer_Weapon_Gun* gun);
  virtual void Detach();
  virtual void Set_Flag(uint8_t flag);
  virtual void Update(float dt);
  virtual void Render();
  virtual void Fire();
  virtual void Cancel_Fire();

  uint8_t m_Active = 0;
  uint8_t m_Loaded = 0;
  int32_t m_Kind = 0;
  CPlayer_Weapon_Gun* m_Gun = nullptr;
  CQuaternion m_Orientation = CQuaternion::Identity;
  CVector3 m_Offset{0.0f, 0.0f, 0.0f};
  // The kind this global stands for (1 laser pointer ... 5 laser).
  int32_t m_Own_Kind = 0;
};

extern CAttachment g_Weapon_Attachment_Laser_Pointer;
extern CAttachment g_Weapon_Attachment_Bullet_Spray;
extern CAttachment g_Weapon_Attachment_Smart_Bomb;
extern CAttachment g_Weapon_Attachment_Energy_Pulse;
extern CAttachment g_Weapon_Attachment_Laser;

// The global attachment of a kind 1-5 and its name; null for any other kind.
CAttachment* Attachment_Of_Kind(int kind);
const char* Attachment_Global_Name(int kind);
