#pragma once
// The homing ball ammunition. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEmmo_Ball_2 : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 56;

  CEmmo_Ball_2() : CMarker_Object(kType, kMarker_Enemy_Shot, 40.0f) {}

  void Spawn(const CVector3& place, const CVector3& velocity, int argument);
  // The bar emplacement's set-up: the colour variant and the start point.
  bool Spawn(const int* variant, const CVector3* position);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
