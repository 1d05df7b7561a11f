#pragma once
// The secondary attachment a gun may carry, fired with the right mouse button: the shared base
// with its default behaviour. The five attachments are single global objects of its subclasses.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CPlayer_Weapon_Gun;

class CAttachment {
 public:
  CAttachment() = default;
  CAttachment(const CAttachment&) = delete;
  CAttachment& operator=(const CAttachment&) = delete;
  virtual ~CAttachment() = default;

  // Sets loaded.
  virtual bool Init();
  // Clears loaded.
  virtual void Term();
  // Hands the attachment to a gun; every attachment defines it.
  virtual bool Attach(CPlayer_Weapon_Gun* gun) = 0;
  // Clears the gun and active.
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

 protected:
  // The common part of every Attach: the kind, the gun, an identity mount at the origin, active.
  void Attach_Base(CPlayer_Weapon_Gun* gun, int32_t kind);
};

// The global attachment of a kind 1-5 and its name; null (empty) for any other kind.
CAttachment* Attachment_Of_Kind(int kind);
const char* Attachment_Global_Name(int kind);
