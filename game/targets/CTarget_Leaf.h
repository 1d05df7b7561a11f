#pragma once
// The leaf target. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CTarget_Leaf : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 21;

  CTarget_Leaf() : CMarker_Object(kType, kMarker_Target, 40.0f) {}

  void Spawn(const CVector3& place, const CVector3& velocity, int argument);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
