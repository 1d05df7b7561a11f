#include "game/targets/CTarget_Ball.h"

#include "game/core/CObject_Pool.h"
#include "game/targets/Target_Shared.h"

CObject_Pool* CTarget_Ball::Pool() {
  static CObject_Pool_Of<CTarget_Ball, kType> pool;
  return &pool;
}

void CTarget_Ball::Spawn(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Thrown(place, velocity, argument);
}

bool CTarget_Ball::Spawn(const int32_t* colour) {
  Start_Thrown(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 0.0f}, colour ? *colour : 0);
  m_Spawn_Colour = colour ? *colour : 0;
  return true;
}

CColor4& CTarget_Ball::Get_Color(CColor4& out) const { return out = targets::Get_Variant_Color(m_Spawn_Colour); }
