#pragma once
// Kind 5, the laser: each use fires an instant beam along the gun that strikes the first object
// in its path; a beam that meets a side or far wall is reflected, for at most three segments.
#include "game/fx/CFX_Laser.h"
#include "game/player/CAttachment_Charged.h"

class CWorld_Object;

class CAttach_Laser : public CAttachment_Charged {
 public:
  static constexpr int kBeams = 3;

  // One use from the gun.
  void Shoot();
  // Reflects off the wall at the hit point and shoots on with `segments_left` (none: nothing).
  void Reflect(const CVector3& hit, const CVector3& direction, int segments_left);
  void Shoot_Segment(const CVector3& start, const CVector3& direction, int segments_left);

  int32_t m_Shot_Counter = 0;
  CFX_Laser m_Beams[kBeams];

 protected:
  int32_t Own_Kind() const override { return 5; }
  int32_t Base_Charges() const override { return 4; }
  float Cooldown_Length() const override { return 4.0f; }
  uint32_t Icon_Texture() const override { return 0x2200017B; }
  void Clear_Effects() override;
  void Use() override { Shoot(); }
  void Update_Effects(float dt) override;
  void Render() override;

 private:
  CFX_Laser* Free_Beam();
  void Strike(CWorld_Object* object, const CVector3& start, const CVector3& hit);
};
extern CAttach_Laser g_Weapon_Attachment_Laser;
