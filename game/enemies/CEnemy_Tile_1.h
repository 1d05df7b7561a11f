#pragma once
// The tile enemy. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEnemy_Tile_1 : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 66;

  CEnemy_Tile_1() : CMarker_Object(kType, kMarker_Target, 100.0f) {}

  void Spawn(const CVector3& place, const CVector3& velocity, int argument);

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
