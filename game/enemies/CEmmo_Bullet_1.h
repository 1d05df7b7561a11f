#pragma once
// The cube bullet ammunition. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CEmmo_Bullet_1 : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 61;

  CEmmo_Bullet_1() : CMarker_Object(kType, kMarker_Enemy_Shot, 30.0f) {}

  void Spawn(const CVector3& place, const CVector3& velocity, int argument);
  // Plays the bullet's sound once at its position.
  void Play_Sound_Once() { ++m_Sound_Count; }
  uint32_t m_Sound_Count = 0;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
