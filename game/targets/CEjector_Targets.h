#pragma once
// The bullseye tower ejector. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEjector_Targets : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 40;

  CEjector_Targets() : CMarker_Object(kType, kMarker_Ejector, 150.0f) {}

  void Spawn(const CEjector_Params& params, const CVector3& place);
  // Queues one launch.
  void Queue_Launch() { ++m_Queued_Launches; }
  uint32_t m_Queued_Launches = 0;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
