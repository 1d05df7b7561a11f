#pragma once
// The cannon ball ammunition. Least form: its set-up keeps its argument and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEmmo_Ball : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 55;

  CEmmo_Ball() : CMarker_Object(kType, kMarker_Enemy_Shot, 30.0f) {}

  void Setup(const int& variant);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
