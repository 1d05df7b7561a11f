#pragma once
// The cylinder ejector. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEjector_Cylinder : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 39;

  CEjector_Cylinder() : CMarker_Object(kType, kMarker_Ejector, 120.0f) {}

  void Spawn(const CEjector_Params& params, const CVector3& place);
  // Set by a ball that lands on the cylinder from above.
  float Catch_Timer = 0.0f;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
