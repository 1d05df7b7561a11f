#pragma once
// The star ejector. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEjector_Stars : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 41;

  CEjector_Stars() : CMarker_Object(kType, kMarker_Ejector, 100.0f) {}

  void Spawn(const CEjector_Params& params, const CVector3& place);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
