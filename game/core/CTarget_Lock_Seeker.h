#pragma once
// A homing lock: it searches the world near its owner's path for a target by itself and turns
// its owner towards the target it has linked.
#include "game/core/CTarget_Lock.h"
#include "runtime/src/math/math_types.h"

class CTarget_Lock_Seeker : public CTarget_Lock {
 public:
  static constexpr uint32_t kSkipped_Type = 51;  // enemy towers are never sought

  ~CTarget_Lock_Seeker() override { CTarget_Lock::Clear(); }

  bool Start(CWorld_Object* owner);
  void Update(CBody_Motion* body, float dt) override;
  // Links the first suitable object near the owner's path and restarts the search timer.
  void Find();

  uint8_t m_Aim_Point_Flag = 0;
  float m_Search_Timer = 0.0f;
  CVector3 m_Aim_Point{0.0f, 0.0f, 0.0f};
  float m_Wobble_Phase = 0.0f;

 private:
  bool Target_Point(CVector3& point) const;
  void Steer_Towards(const CVector3& point, float dt);
};
