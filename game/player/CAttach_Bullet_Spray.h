#pragma once
// Kind 2, the bullet spray: each use fires a burst of 13 machine-gun bullets, the first along
// the gun and twelve more scattered round that line at short random intervals.
#include "game/player/CAttachment_Charged.h"

class CAttach_Bullet_Spray : public CAttachment_Charged {
 public:
  static constexpr int kBurst_Bullets = 12;  // after the first

  // The bullets still to come in the running burst, and the time to the next one (0: none).
  int32_t m_Bursts_Left = 0;
  float m_Burst_Timer = 0.0f;
  // The direction of the latest burst's first bullet, which the rest scatter round.
  static CVector3 s_Burst_Direction;

  // A bullet's direction: the first of a burst fixes the burst direction.
  CVector3 Aim(bool first) const;
  void Fire_Bullet(bool first);

 protected:
  int32_t Own_Kind() const override { return 2; }
  int32_t Base_Charges() const override { return 3; }
  float Cooldown_Length() const override { return 4.0f; }
  uint32_t Icon_Texture() const override { return 0x22000176; }
  void Clear_Effects() override;
  void Update_Timers(float dt) override;
  void Use() override;
};
extern CAttach_Bullet_Spray g_Weapon_Attachment_Bullet_Spray;
