#pragma once
// The jumper target. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CTarget_Jumper : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 28;

  CTarget_Jumper() : CMarker_Object(kType, kMarker_Target, 60.0f) {}

  void Spawn(const CVector3& place, const CVector3& velocity, int argument);
  uint8_t m_Jump_Requested = 0;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
