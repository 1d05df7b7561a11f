#include "game/targets/CStruct_Light_Wall.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"

CObject_Pool* CStruct_Light_Wall::Pool() {
  static CObject_Pool_Of<CStruct_Light_Wall, kType> pool;
  return &pool;
}

void CStruct_Light_Wall::Spawn(int facing, const CVector3& place, const float colour[4]) {
  Start_Marker(place);
  m_Facing = facing;
  m_Lit = 0;
  m_Glow = 0.0f;
  for (int i = 0; i < 4; ++i) m_Colour[i] = colour[i];
}

void CStruct_Light_Wall::Update(const float& dt) {
  CMarker_Object::Update(dt);
  if (m_Lit) m_Glow = 1.0f;
  m_Lit = 0;
  m_Glow = std::max(m_Glow - 0.5f * dt, 0.0f);
}

uint32_t CStruct_Light_Wall::Marker_Colour() const {
  const float level = 0.3f + 0.7f * m_Glow;
  uint32_t colour = 0xFF000000;
  for (int channel = 1; channel < 4; ++channel) {
    const float value = std::clamp(m_Colour[channel] * level, 0.0f, 1.0f) * 255.0f;
    colour |= static_cast<uint32_t>(value) << (8 * (3 - channel));
  }
  return colour;
}
