#pragma once
// The bomb ammunition. Least form: its set-up keeps its argument and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEmmo_Bomb : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 62;

  CEmmo_Bomb() : CMarker_Object(kType, kMarker_Enemy_Shot, 30.0f) {}

  bool Setup(const CVector3& start);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
