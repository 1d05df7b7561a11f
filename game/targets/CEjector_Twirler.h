#pragma once
// The twirler ejector. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEjector_Twirler : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 43;

  CEjector_Twirler() : CMarker_Object(kType, kMarker_Ejector, 150.0f) {}

  void Spawn(const CEjector_Params& params, const CVector3& place);
  float m_Trigger = 0.0f;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
