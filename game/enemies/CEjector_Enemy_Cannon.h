#pragma once
// The enemy cannon emplacement. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEjector_Enemy_Cannon : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 50;

  CEjector_Enemy_Cannon() : CMarker_Object(kType, kMarker_Ejector, 125.0f) {}

  void Spawn(const CEjector_Params& params, const CVector3& place);
  uint8_t m_Fire_Requested = 0;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
