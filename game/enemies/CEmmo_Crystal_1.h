#pragma once
// The crystal shard ammunition. Least form: its set-up keeps its argument and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEmmo_Crystal_1 : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 57;

  CEmmo_Crystal_1() : CMarker_Object(kType, kMarker_Enemy_Shot, 30.0f) {}

  void Setup(const CVector3& position);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
