#pragma once
// The ball target. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CTarget_Ball : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 10;

  CTarget_Ball() : CMarker_Object(kType, kMarker_Target, 60.0f) {}

  void Spawn(const CVector3& place, const CVector3& velocity, int argument);
  // An ejector's launch: the colour index; false when the body cannot be set up.
  bool Spawn(const int32_t* colour);
  // The ball's colour by its colour index.
  CColor4& Get_Color(CColor4& out) const;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
