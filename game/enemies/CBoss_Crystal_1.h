#pragma once
// The crystal boss. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CBoss_Crystal_1 : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 68;

  CBoss_Crystal_1() : CMarker_Object(kType, kMarker_Boss, 200.0f) {}

  void Spawn(const CVector3& place);
  // Starts the pulse.
  void Start_Pulse() { ++m_Pulse_Count; }
  uint8_t m_Attack_Requested = 0;
  uint8_t m_Attack_Side = 0;
  uint8_t m_Second_Attack = 0;
  float m_Attack_Timer = 0.0f;
  uint32_t m_Pulse_Count = 0;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
