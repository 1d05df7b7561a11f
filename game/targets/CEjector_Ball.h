#pragma once
// The ball ejector. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEjector_Ball : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 38;

  CEjector_Ball() : CMarker_Object(kType, kMarker_Ejector, 150.0f) {}

  void Spawn(const CEjector_Params& params, const CVector3& place);
  // True while a launch timer runs.
  bool Is_Busy() const { return m_Busy; }
  bool m_Busy = false;
  uint8_t m_Burst_Requested = 0;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
