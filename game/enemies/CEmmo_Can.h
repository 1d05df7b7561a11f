#pragma once
// The canister ammunition. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEmmo_Can : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 65;

  CEmmo_Can() : CMarker_Object(kType, kMarker_Enemy_Shot, 40.0f) {}

  void Spawn(const CVector3& place, const CVector3& velocity, int argument);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
