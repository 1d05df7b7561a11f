#pragma once
// A light-wall segment of a lane. Least form: Spawn keeps its arguments and sets up a marker body.
#include "game/targets/CMarker_Object.h"

class CStruct_Light_Wall : public CMarker_Object {
 public:
  static constexpr uint32_t kType = 69;

  CStruct_Light_Wall() : CMarker_Object(kType, 0, 40.0f) {}

  // Facing 1 or 0, the place and the colour (alpha, red, green, blue).
  void Spawn(int facing, const CVector3& place, const float colour[4]);
  // Takes a lighting (the lit flag) as a glow that fades.
  void Update(const float& dt) override;
  // The wall's colour, brighter while it glows.
  uint32_t Marker_Colour() const override;

  uint8_t m_Lit = 0;
  float m_Glow = 0.0f;
  int m_Facing = 0;
  float m_Colour[4] = {0.0f, 0.0f, 0.0f, 0.0f};

  // The class's pool, made on first use.
  static CObject_Pool* Pool();
};
